// TListPlus with its three sorts, and TBinList. Every sort only swaps or
// copies whole entries, so a comparator that raises or answers inconsistently
// leaves the list a permutation of its items and never reads outside it.
#include "engine/support/lists.h"

#include <cstdint>
#include <functional>
#include <utility>

#include "rtl/exceptions.h"

namespace {

struct Sorter {
    void** items;
    TListSortCompare compare;
    void* context;

    int cmp(void* a, void* b) const { return compare(context, a, b); }

    // Each item moves left past every earlier item that compares greater.
    void insertionSort(int count) const {
        for (int i = 1; i < count; ++i) {
            for (int j = i; j > 0 && cmp(items[j - 1], items[j]) > 0; --j) std::swap(items[j - 1], items[j]);
        }
    }

    // Hoare partition around the middle item. The scans stop at the range's
    // ends, and both sides are strictly smaller than the range, so even a
    // comparator that is no order ends; the smaller side recurses (depth log n).
    void quickSort(int lo, int hi) const {
        while (lo < hi) {
            int i = lo;
            int j = hi;
            void* pivot = items[lo + (hi - lo) / 2];
            do {
                while (i < hi && cmp(items[i], pivot) < 0) ++i;
                while (j > lo && cmp(items[j], pivot) > 0) --j;
                if (i <= j) {
                    std::swap(items[i], items[j]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - lo < hi - i) {
                quickSort(lo, j);
                lo = i;
            } else {
                quickSort(i, hi);
                hi = j;
            }
        }
    }
};

}  // namespace

// ==== TListPlus ====

void* TListPlus::Items(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return items_[static_cast<size_t>(index)];
}

void TListPlus::SetItems(int index, void* item) {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    items_[static_cast<size_t>(index)] = item;
}

int TListPlus::Add(void* item) {
    items_.push_back(item);
    return Count() - 1;
}

void TListPlus::Insert(int index, void* item) {
    if (index < 0 || index > Count()) raiseListIndexError(index);
    items_.insert(items_.begin() + index, item);
}

void TListPlus::Delete(int index) {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    items_.erase(items_.begin() + index);
}

void TListPlus::Sort(TListSortCompare compare, void* context) {
    if (items_.empty()) return;
    int last = Count() - 1;
    if (OnSort) {
        OnSort(items_.data(), 0, compare, context, last);
        return;
    }
    Sorter sorter{items_.data(), compare, context};
    if (SortType == stMerge) {
        std::vector<void*> work(items_.size());
        MergeSort(items_.data(), work.data(), 0, last, [&sorter](void* a, void* b) { return sorter.cmp(a, b); });
    } else if (SortType == stInsertion) {
        sorter.insertionSort(Count());
    } else {
        sorter.quickSort(0, last);
    }
}

// ==== TBinList ====

int TBinList::search(void* item) const {
    auto key = reinterpret_cast<std::uintptr_t>(item);
    int lo = 0;
    int hi = Count() - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        auto at = reinterpret_cast<std::uintptr_t>(items_[static_cast<size_t>(mid)]);
        if (at == key) return mid;
        if (at < key) lo = mid + 1;
        else hi = mid - 1;
    }
    return -lo - 1;
}

int TBinList::Add(void* item) {
    int index = search(item);
    if (index >= 0) return index;
    index = -index - 1;
    items_.insert(items_.begin() + index, item);
    return index;
}

int TBinList::IndexOf(void* item) const {
    int index = search(item);
    return index >= 0 ? index : -1;
}

int TBinList::Remove(void* item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void TBinList::Delete(int index) {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    void* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    FreeItem(item);
}

void TBinList::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

void* TBinList::Items(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return items_[static_cast<size_t>(index)];
}
