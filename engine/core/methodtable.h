// TJMethodTable: the script surface of one built-in class - its native
// methods by name with the number of arguments each needs and, for a class
// whose every failure names the method, the error each raises - read once per
// class and shared by every object of the class (TJObject::Methods). A
// class's surface is one array of rows in its .cpp, `{"indexOf", 1, &indexOf}`,
// its size deduced by the compiler, its functions static there; a class's
// table falls back to its parent class's. An object binds a method to itself
// when a script first reads it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class TJObject;
class TJValueList;
struct TJValue;

// The result of a call before the method's code runs, which is also the
// result when the call has fewer arguments than the method needs (the code
// then does not run).
enum class TJMethodResult : uint8_t {
    Undefined,
    Self,   // the object itself
    False,  // a method that answers whether it acted
};

// The code of a native method of class T: the object, the arguments (at
// least the row's minimum; nil when there are none) and the result.
template <class T>
using TJNative = void (*)(T& self, TJValueList* args, TJValue& result);

// The script error every failure of a method becomes, for the classes whose
// every failure names the method: "ESocketError" with "HTTP.get error". A
// script's abort or exit passes as it is. With MissingFails a call with
// fewer arguments than the row needs is such a failure too; without, it
// gives the starting result, as for any row.
struct TJMethodError {
    const char* Name = nullptr;     // none: failures pass as they are
    const char* Message = nullptr;
    bool MissingFails = false;
};

// One row of a class's surface. A class with a static RunNative(code, self,
// args, result) runs its rows' code through it (the network objects raise
// again what their clients' hooks raised).
template <class T>
struct TJMethod {
    const char* Name;
    int MinArgs;
    TJNative<T> Code;
    TJMethodResult Result = TJMethodResult::Undefined;
    TJMethodError Error = {};

    void Call(TJObject& self, TJValueList* args, TJValue& result) const {
        T& object = static_cast<T&>(self);
        if constexpr (requires { T::RunNative(Code, object, args, result); }) T::RunNative(Code, object, args, result);
        else Code(object, args, result);
    }
};

class TJMethodTable {
public:
    // One method of the surface, whatever the class and form of its row.
    struct Entry {
        const char* Name;
        int MinArgs;
        TJMethodResult Result;
        TJMethodError Error;
        const void* Row;
        void (*Invoke)(const void* row, TJObject& self, TJValueList* args, TJValue& result);

        // Sets the starting result, then runs the code when the arguments
        // suffice, turning its failures into the row's error when it has one.
        void Call(TJObject& self, TJValueList* args, TJValue& result) const;
    };

    // The surface of a class with no methods at all.
    TJMethodTable() = default;
    // The rows: any row type with Name, MinArgs, Result and Call (and Error,
    // when it may have one).
    template <class Row, size_t N>
    explicit TJMethodTable(const Row (&rows)[N]) {
        Own_.reserve(N);
        for (const Row& row : rows) {
            TJMethodError error;
            if constexpr (requires { row.Error; }) error = row.Error;
            Own_.push_back({row.Name, row.MinArgs, row.Result, error, &row, &invoke<Row>});
        }
        index(Own_);
    }
    // The rows, then the parent class's surface.
    template <class Row, size_t N>
    TJMethodTable(const Row (&rows)[N], const TJMethodTable& parent) : TJMethodTable(rows) {
        for (const Entry* entry : parent.All_) add(*entry);
    }
    TJMethodTable(const TJMethodTable&) = delete;
    TJMethodTable& operator=(const TJMethodTable&) = delete;

    // The method of the name, the class's own before its parent's; nil when none.
    const Entry* Find(std::string_view name) const;
    // Every method the class answers to, one per name.
    const std::vector<const Entry*>& Entries() const { return All_; }
    // The class's own rows, in table order.
    const std::vector<Entry>& OwnEntries() const { return Own_; }
    // The entry is one of the class's own rows, not its parent's.
    bool IsOwn(const Entry* entry) const { return !Own_.empty() && entry >= &Own_.front() && entry <= &Own_.back(); }

private:
    template <class Row>
    static void invoke(const void* row, TJObject& self, TJValueList* args, TJValue& result) {
        static_cast<const Row*>(row)->Call(self, args, result);
    }
    void index(const std::vector<Entry>& entries);
    void add(const Entry& entry);
    // An open-addressing index of All_ by name: at most half full, probed
    // from the slot the name's hash picks. Scope lookups ask every object in
    // their chain for each name, so a miss must be cheap.
    struct Slot {
        std::string_view Name;
        unsigned Hash = 0;
        const Entry* Method = nullptr;
    };
    size_t slotOf(unsigned hash) const;
    const Entry* find(std::string_view name, unsigned hash) const;
    void place(const Entry* entry, unsigned hash);

    std::vector<Entry> Own_;
    std::vector<const Entry*> All_;
    std::vector<Slot> Slots_;
};
