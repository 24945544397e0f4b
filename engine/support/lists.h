// Pointer lists: TListPlus, a list that sorts with a caller's comparator by
// merge, insertion or quick sort (the script value list and Array.sort use
// it), and TBinList, a set of pointers kept in address order (the engine's
// object list derives from it).
#pragma once

#include <functional>
#include <utility>
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

// Top-down merge sort of items[lo..hi] through work (as long as items), the
// list sort of stMerge; the left item wins ties, so it is stable. cmp(a, b)
// compares two items in place, negative, zero or positive. Items are moved:
// a sort of whole values reads them in order instead of through pointers. A
// raising cmp leaves items as it was only where moves are copies (pointers).
template <class T, class Compare>
void MergeSort(T* items, T* work, int lo, int hi, const Compare& cmp) {
    if (hi <= lo) return;
    int mid = hi / 2 + lo / 2;  // halved apart so the sum cannot overflow; within [lo, hi-1]
    MergeSort(items, work, lo, mid, cmp);
    MergeSort(items, work, mid + 1, hi, cmp);
    int i = lo;
    int j = mid + 1;
    int k = lo;
    while (i <= mid && j <= hi) work[k++] = cmp(items[i], items[j]) <= 0 ? std::move(items[i++]) : std::move(items[j++]);
    while (i <= mid) work[k++] = std::move(items[i++]);
    while (j <= hi) work[k++] = std::move(items[j++]);
    for (k = lo; k <= hi; ++k) items[k] = std::move(work[k]);
}

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
