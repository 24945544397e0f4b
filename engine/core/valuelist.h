// TJValueList: an ordered list of script values - call arguments, array
// elements, a scope's temporaries - kept in one block of values. Object values
// are counted and linked for free notification, so a freed object leaves
// undefined behind, never a dangling reference. Also the argument-count
// helpers of native methods.
#pragma once

#include <vector>

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
    // Room for count values in all (MaxCount at most), so that a list about
    // to be filled value by value allocates once.
    void Reserve(size_t count);
    // Inserts a copy at index (0..Count); an object gains a reference.
    void Insert(int index, const TJValue& value);
    // Copies the value at index; an index outside the list raises "EIndexError".
    void GetItem(int index, TJValue& value) const;
    // The value at index itself, checked the same way; valid until the list
    // next changes its count.
    const TJValue& At(int index) const;
    // Replaces the value at index: the new object is counted first, then the old released.
    void SetItem(int index, const TJValue& value);
    // Removes the value at index, releasing an object.
    void Delete(int index);
    // Removes the value at index and hands it to the caller: an object loses
    // the list's reference but is not freed when that was its last, so it
    // lives, as a new object does, until the holder it is handed to counts it.
    void Take(int index, TJValue& value);
    // Moves count values from index to the end of the other list; their
    // references move with them.
    void MoveTo(int index, int count, TJValueList& other);
    // Reverses the order of the values.
    void Reverse();
    // Deletes every value, the last first.
    void Clear();
    int Count() const { return stored() + Tail_; }
    // Grows with undefined values or deletes from the end; a negative or too
    // large count raises "EIndexError".
    void SetCount(int count);
    // Clears, then appends copies of the other's values (each object counted).
    void CopyFrom(const TJValueList* other);
    // Sorts the values with the list sort (the comparator gets TJValue*).
    void Sort(TListSortCompare compare, void* context);

    TJNotifyLink Notify;

private:
    int stored() const { return static_cast<int>(Entries_.size()) - Head_; }
    TJValue& entry(int index) { return Entries_[static_cast<size_t>(Head_ + index)]; }
    const TJValue& entry(int index) const { return Entries_[static_cast<size_t>(Head_ + index)]; }
    void checkIndex(int index, int limit) const;
    // The rarer steps of Add and SetItem, out of line so that the common
    // ones save and restore few registers: an Add that must grow or store
    // the tail first, a SetItem of a value in the tail.
    int addGrowing(const TJValue& value, bool takeReference);
    void setInTail(int index, const TJValue& value);
    void reserveFor(int count, int limit = MaxCount);
    // Moves the values to the front of the block when a gap lies there; the
    // test is inline, as most lists (every cleared one) have none.
    void closeGap() {
        if (Head_ > 0) moveToFront();
    }
    void moveToFront();
    void releaseAll();
    void store(int count);
    void adopt(const TJValue& value, bool takeReference);
    void release(TJValue& value);
    void removeEntry(int index, TJValue& removed);
    void trim();
    void ObjectFreed(TJNotify* sender, TJNotify* freed);

    // The values are Entries_[Head_..], then Tail_ undefined values that are
    // not stored until one of them is written, so growing a list costs
    // nothing. Values shifted off the front leave a gap there, closed once it
    // is as long as the rest, so taking the first value repeatedly does not
    // move the others each time.
    std::vector<TJValue> Entries_;
    int Head_ = 0;
    int Tail_ = 0;
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
