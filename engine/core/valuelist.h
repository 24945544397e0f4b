// TJValueList: an ordered list of script values - call arguments, array
// elements, a scope's temporaries. Object values are counted and linked for
// free notification, so a freed object leaves undefined behind, never a
// dangling reference. Also the argument-count helpers of native methods.
#pragma once

#include "engine/support/lists.h"
#include "engine/core/notify.h"
#include "engine/core/value.h"

class TJValueList {
public:
    // The largest count a list grows to; asking for more is an index error.
    static constexpr int MaxCount = 16 * 1024 * 1024;

    TJValueList();
    ~TJValueList();
    TJValueList(const TJValueList&) = delete;
    TJValueList& operator=(const TJValueList&) = delete;

    // Appends a copy; an object value is linked and, when asked, counted. The
    // list releases one reference when the value leaves it in any case.
    int Add(const TJValue& value, bool takeReference = true);
    int AddBool(bool b);
    int AddInteger(int32_t i);
    int AddDouble(double d);
    int AddString(const AnsiString& s);
    int AddObject(TJObject* object, bool takeReference = true);  // nil adds null
    // Inserts a copy at index (0..Count); an object gains a reference.
    void Insert(int index, const TJValue& value);
    // Copies the value at index; an index outside the list raises "EIndexError".
    void GetItem(int index, TJValue& value) const;
    // The value at index itself, checked the same way.
    const TJValue& At(int index) const;
    // Replaces the value at index: the new object is counted first, then the old released.
    void SetItem(int index, const TJValue& value);
    // Removes the value at index, releasing an object.
    void Delete(int index);
    // Deletes every value, the last first.
    void Clear();
    int Count() const { return Entries_.Count(); }
    // Grows with undefined values or deletes from the end; a negative or too
    // large count raises "EIndexError".
    void SetCount(int count);
    // Clears, then appends copies of the other's values (each object counted).
    void CopyFrom(const TJValueList* other);
    // Sorts the entries (TJValue*) with the list sort.
    void Sort(TListSortCompare compare, void* context);

    TJNotify Notify;

private:
    TJValue* entry(int index) const { return static_cast<TJValue*>(Entries_.Items(index)); }
    void checkIndex(int index, int limit) const;
    void adopt(const TJValue& value, bool takeReference);
    void release(TJValue& value);
    void ObjectFreed(TJNotify* sender, TJNotify* freed);

    TListPlus Entries_;
    TJObjectLinks links_;
};

// Raises "EIndexError" with the index as the message.
[[noreturn]] void raiseIndexError(long long index);

// ==== Argument counts ====

inline int ArgCount(const TJValueList* args) { return args ? args->Count() : 0; }
inline bool HasArgs(const TJValueList* args) { return ArgCount(args) >= 1; }
inline bool HasTwoArgs(const TJValueList* args) { return ArgCount(args) >= 2; }
inline bool HasThreeArgs(const TJValueList* args) { return ArgCount(args) >= 3; }
inline bool HasFourArgs(const TJValueList* args) { return ArgCount(args) >= 4; }
