// Pointer lists: TListPlus, a list that sorts with a caller's comparator by
// merge, insertion or quick sort (the script value list and Array.sort use
// it), and TBinList, a set of pointers kept in address order (the engine's
// object list derives from it).
#pragma once

#include <functional>
#include <vector>

// Compares two items for a sort: negative, zero or positive. context is the
// caller's, passed through unchanged.
using TListSortCompare = int (*)(void* context, void* item1, void* item2);
// Replaces the built-in sorts: (items, first index 0, comparator, context, last index).
using TListSortEvent = std::function<void(void** items, int lo, TListSortCompare compare, void* context, int hi)>;

enum TListSortType : int {
    stMerge = 0,      // stable, the default
    stInsertion = 2,  // stable
    stQuick = 1,      // not stable; so is every other value
};

class TListPlus {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void* Items(int index) const;
    void SetItems(int index, void* item);
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    void Clear() { items_.clear(); }

    // Sorts with compare, or hands the items to OnSort when it is set.
    void Sort(TListSortCompare compare, void* context);

    int SortType = stMerge;
    TListSortEvent OnSort;

private:
    std::vector<void*> items_;
};

class TBinList {
public:
    TBinList() = default;
    // A subclass whose FreeItem does something must Clear in its own destructor.
    virtual ~TBinList() = default;
    TBinList(const TBinList&) = delete;
    TBinList& operator=(const TBinList&) = delete;

    // Adds item when absent; returns its index either way.
    int Add(void* item);
    int IndexOf(void* item) const;
    // Deletes item; returns its former index, or -1 when absent.
    int Remove(void* item);
    // Takes the entry out of the list, then calls FreeItem with it.
    void Delete(int index);
    // Deletes from the last index to the first.
    virtual void Clear();
    void* Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

protected:
    virtual void FreeItem(void* /*item*/) {}

private:
    // Index of item, or -(insertion point) - 1.
    int search(void* item) const;

    std::vector<void*> items_;
};
