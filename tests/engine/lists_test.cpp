// Tests of TListPlus (its three sorts, stability, OnSort, comparators that are
// no order or that raise, index errors) and TBinList (address order, no
// duplicates, FreeItem on deletion).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/support/lists.h"
#include "rtl/exceptions.h"

namespace {

struct Entry {
    int key;
    int seq;  // position before the sort
};

int byKey(void* context, void* a, void* b) {
    if (context) ++*static_cast<int*>(context);
    return static_cast<Entry*>(a)->key - static_cast<Entry*>(b)->key;
}

std::vector<Entry> makeEntries(int count, int distinctKeys, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) entries.push_back({static_cast<int>(random() % distinctKeys), i});
    return entries;
}

void fill(TListPlus& list, std::vector<Entry>& entries) {
    for (Entry& e : entries) list.Add(&e);
}

std::vector<Entry*> itemsOf(const TListPlus& list) {
    std::vector<Entry*> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(static_cast<Entry*>(list.Items(i)));
    return items;
}

// The list holds every entry exactly once.
bool isPermutationOf(const TListPlus& list, std::vector<Entry>& entries) {
    std::vector<Entry*> items = itemsOf(list);
    std::vector<Entry*> expected;
    for (Entry& e : entries) expected.push_back(&e);
    std::sort(items.begin(), items.end());
    return items == expected;
}

}  // namespace

// ==== Sorting ====

TEST(ListPlus, EachSortOrdersTheItems) {
    for (int type : {int(stMerge), int(stInsertion), int(stQuick), 7}) {
        for (int count : {1, 2, 3, 17, 500}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " count " << count);
            std::vector<Entry> entries = makeEntries(count, 1000, 42u + count);
            TListPlus list;
            list.SortType = type;
            fill(list, entries);
            int calls = 0;
            list.Sort(byKey, &calls);  // the context reaches the comparator
            EXPECT_EQ(calls > 0, count > 1);
            std::vector<Entry*> items = itemsOf(list);
            ASSERT_TRUE(isPermutationOf(list, entries));
            for (size_t i = 1; i < items.size(); ++i) ASSERT_LE(items[i - 1]->key, items[i]->key) << i;
        }
    }
}

TEST(ListPlus, MergeAndInsertionSortsKeepEqualItemsInOrder) {
    for (int type : {int(stMerge), int(stInsertion)}) {
        SCOPED_TRACE(type);
        std::vector<Entry> entries = makeEntries(300, 5, 7u);
        TListPlus list;
        list.SortType = type;
        fill(list, entries);
        list.Sort(byKey, nullptr);
        std::vector<Entry*> items = itemsOf(list);
        for (size_t i = 1; i < items.size(); ++i) {
            if (items[i - 1]->key == items[i]->key) {
                ASSERT_LT(items[i - 1]->seq, items[i]->seq) << i;
            }
        }
    }
}

TEST(ListPlus, SortingAnEmptyListDoesNothing) {
    TListPlus list;
    bool called = false;
    list.OnSort = [&](void**, int, TListSortCompare, void*, int) { called = true; };
    list.Sort(byKey, nullptr);
    EXPECT_FALSE(called);
}

TEST(ListPlus, OnSortReplacesTheBuiltInSorts) {
    std::vector<Entry> entries = {{3, 0}, {1, 1}, {2, 2}};
    TListPlus list;
    fill(list, entries);
    int context = 0;
    list.OnSort = [&](void** items, int lo, TListSortCompare compare, void* ctx, int hi) {
        EXPECT_EQ(items[0], &entries[0]);
        EXPECT_EQ(lo, 0);
        EXPECT_EQ(hi, 2);
        EXPECT_EQ(compare, &byKey);
        EXPECT_EQ(ctx, &context);
        std::swap(items[0], items[2]);
    };
    list.Sort(byKey, &context);
    EXPECT_EQ(context, 0);  // the built-in sort did not run
    EXPECT_EQ(list.Items(0), &entries[2]);
}

// Comparators that are no order: constant answers and random ones. Every sort
// ends with the same items, and never reads outside the list.
TEST(ListPlus, SortsSurviveComparatorsThatAreNoOrder) {
    static std::mt19937 random(1);
    TListSortCompare comparators[] = {
        [](void*, void*, void*) { return 1; },
        [](void*, void*, void*) { return -1; },
        [](void*, void*, void*) { return 0; },
        [](void*, void*, void*) { return static_cast<int>(random() % 3) - 1; },
    };
    for (int type : {int(stMerge), int(stInsertion), int(stQuick)}) {
        for (size_t c = 0; c < std::size(comparators); ++c) {
            SCOPED_TRACE(testing::Message() << "type " << type << " comparator " << c);
            std::vector<Entry> entries = makeEntries(type == stMerge ? 20000 : 2000, 100, 3u);
            TListPlus list;
            list.SortType = type;
            fill(list, entries);
            list.Sort(comparators[c], nullptr);
            ASSERT_TRUE(isPermutationOf(list, entries));
        }
    }
}

TEST(ListPlus, AComparatorThatRaisesLeavesEveryItemInTheList) {
    for (int type : {int(stMerge), int(stInsertion), int(stQuick)}) {
        SCOPED_TRACE(type);
        std::vector<Entry> entries = makeEntries(200, 50, 9u);
        TListPlus list;
        list.SortType = type;
        fill(list, entries);
        int calls = 0;
        auto raising = [](void* context, void* a, void* b) {
            if (++*static_cast<int*>(context) == 150) throw Exception("compare failed");
            return byKey(nullptr, a, b);
        };
        EXPECT_THROW(list.Sort(raising, &calls), Exception);
        EXPECT_TRUE(isPermutationOf(list, entries));
    }
}

// ==== Editing ====

TEST(ListPlus, EditsAndIndexErrors) {
    int a = 0, b = 0, c = 0;
    TListPlus list;
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&c), 1);
    list.Insert(1, &b);
    list.Insert(3, &a);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(1), &b);
    list.SetItems(3, &c);
    list.Delete(0);
    EXPECT_EQ(list.Items(0), &b);
    EXPECT_EQ(list.Items(2), &c);
    try {
        list.Items(3);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.message(), "List index out of bounds (3)");
    }
    EXPECT_THROW(list.Items(-1), EListError);
    EXPECT_THROW(list.SetItems(3, &a), EListError);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.Insert(4, &a), EListError);
    EXPECT_THROW(list.Insert(-1, &a), EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

// ==== TBinList ====

namespace {

class RecordingList : public TBinList {
public:
    ~RecordingList() override { Clear(); }
    std::vector<void*> freed;
    bool presentWhenFreed = false;

protected:
    void FreeItem(void* item) override {
        freed.push_back(item);
        presentWhenFreed = presentWhenFreed || IndexOf(item) >= 0;
    }
};

}  // namespace

TEST(BinList, KeepsPointersInAddressOrderWithoutDuplicates) {
    std::vector<int> storage(50);
    std::vector<int*> pointers;
    for (int& slot : storage) pointers.push_back(&slot);
    std::shuffle(pointers.begin(), pointers.end(), std::mt19937(5));
    TBinList list;
    for (int* p : pointers) list.Add(p);
    ASSERT_EQ(list.Count(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(list.Items(i), &storage[static_cast<size_t>(i)]);
    EXPECT_EQ(list.Add(&storage[7]), 7);  // present: nothing changes
    EXPECT_EQ(list.Count(), 50);
    EXPECT_EQ(list.IndexOf(&storage[49]), 49);
    int other = 0;
    EXPECT_EQ(list.IndexOf(&other), -1);
    EXPECT_THROW(list.Items(50), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
}

TEST(BinList, DeletionCallsFreeItemWithTheEntryAlreadyOut) {
    int a[4] = {};
    std::vector<void*> freed;
    {
        RecordingList list;
        for (int& x : a) list.Add(&x);
        EXPECT_EQ(list.Remove(&a[1]), 1);
        EXPECT_EQ(list.Remove(&a[1]), -1);
        list.Delete(0);
        EXPECT_EQ(list.freed, (std::vector<void*>{&a[1], &a[0]}));
        EXPECT_FALSE(list.presentWhenFreed);
        list.Clear();  // last first
        EXPECT_EQ(list.freed, (std::vector<void*>{&a[1], &a[0], &a[3], &a[2]}));
        EXPECT_EQ(list.Count(), 0);
        list.Add(&a[0]);
        freed = list.freed;
    }
    EXPECT_EQ(freed.size(), 4u);
}
