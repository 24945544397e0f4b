// String-keyed hash tables: TCustomHashTable and its kinds for string, integer,
// pointer and object values. Buckets are small lists kept in the locale's key
// order. Used by the lexer, the parser, the script member table TJHash, the
// object factory and the library and network modules.
#pragma once

#include <cstdint>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "rtl/ansistring.h"
#include "rtl/exceptions.h"

RTL_EXCEPTION(EHashTableError, Exception);

// The next number of one process-wide sequence: no two calls give the same
// number, so a stamp drawn from it never comes back for another table or
// object (unlike an address, which a new one may reuse).
uint64_t NewChangeStamp();
// The number NewChangeStamp gave last: while it stays, no table or object has
// drawn a stamp (no names were added or removed anywhere).
uint64_t LastChangeStamp();

// One entry of a table. A table kind derives its own item type that adds the
// value; the bucket owns the item and deletes it through this base.
class THashItem {
public:
    explicit THashItem(AnsiString key) : Key(std::move(key)) {}
    virtual ~THashItem() = default;
    THashItem(const THashItem&) = delete;
    THashItem& operator=(const THashItem&) = delete;

    const AnsiString Key;  // as the caller gave it

private:
    friend class TBinaryItemList;
    friend class TCustomHashTable;
    // The key equality and order are decided on: the key itself, or its
    // lower-cased form in a table that ignores case.
    const AnsiString& match(bool ignoreCase) const { return ignoreCase ? lowered_ : Key; }
    AnsiString lowered_;  // only in a table that ignores case
};

class TCustomHashTable;
using THashItemEvent = std::function<void(TCustomHashTable& sender, THashItem& item)>;

// A bucket: items in ascending key order. Internal to the table.
class TBinaryItemList {
public:
    explicit TBinaryItemList(bool ignoreCase) : ignoreCase_(ignoreCase) {}
    // Index of the item with this match key and hash, or -1. Equality is on
    // the bytes alone, so a scan serves and spares the locale comparison.
    int indexOf(const AnsiString& match, unsigned hash) const;
    // Where a new match key goes in the order (bisection).
    int insertionPoint(const AnsiString& match) const;
    THashItem* at(int index) const { return entries_[static_cast<size_t>(index)].Item.get(); }
    unsigned hashAt(int index) const { return entries_[static_cast<size_t>(index)].Hash; }
    int count() const { return static_cast<int>(entries_.size()); }
    void reserve(int count) { entries_.reserve(static_cast<size_t>(count)); }
    // The hash is HashOf the item's match key.
    void insert(int index, unsigned hash, std::unique_ptr<THashItem> item);
    // An item of the same match key takes the place.
    std::unique_ptr<THashItem> replace(int index, std::unique_ptr<THashItem> item);
    std::unique_ptr<THashItem> take(int index);
    // Forgets every entry, keeping the space (their items taken out before).
    void clear() { entries_.clear(); }

private:
    // The hash sits beside its item: a scan of a long bucket (an object of
    // thousands of members) compares hashes without reaching into the items.
    struct Entry {
        unsigned Hash;
        std::unique_ptr<THashItem> Item;
    };
    bool ignoreCase_;
    std::vector<Entry> entries_;
};

class TCustomHashTable {
public:
    TCustomHashTable(int bucketCount, bool ignoreCase);
    virtual ~TCustomHashTable();
    TCustomHashTable(const TCustomHashTable&) = delete;
    TCustomHashTable& operator=(const TCustomHashTable&) = delete;

    bool HasKey(const AnsiString& key) const;
    // The item under key; nil when absent, or EHashTableError when RaiseOnMissing.
    THashItem* FindItem(const AnsiString& key) const;
    // True when a key was removed (its item disposed).
    bool Remove(const AnsiString& key);
    // Disposes every item, the last of each bucket first.
    virtual void Clear();
    // The table's own key list: bucket by bucket, each bucket in key order.
    const std::vector<AnsiString>& GetKeyList();
    // The key list joined with CR LF, trailing blanks and line breaks removed.
    AnsiString GetKeyText();

    // Changes, to a new NewChangeStamp, whenever an item is added, removed or
    // replaced (a value updated in place keeps its item): while it stays, an
    // item found in the table is still there and still the one for its key.
    uint64_t Stamp() const { return stamp_; }
    // A new stamp without a change of items (the owner changed something
    // that caches of the table's items depend on).
    void Touch() { stamp_ = NewChangeStamp(); }

    int Count() const { return count_; }
    int BucketCount() const { return bucketCount_; }
    bool IgnoreCase() const { return ignoreCase_; }
    bool RaiseOnMissing = false;
    THashItemEvent OnFreeItem;  // fired before an item is disposed

    // The bucket hash of a key as stored (before any lower-casing).
    static unsigned HashOf(std::string_view key);

protected:
    // Disposal hook, run for every item leaving the table (removal, replacement,
    // clearing). The base fires OnFreeItem; kinds release their value after it.
    // The base destructor cannot reach an override: a kind whose DoFreeItem
    // does more must call Clear() in its own destructor.
    virtual void DoFreeItem(THashItem& item);
    // Stores item under item->Key; an item with an equal key is disposed and
    // the new one takes its place. Returns the stored item.
    THashItem* StoreItem(std::unique_ptr<THashItem> item);
    // The items in key-list order (a snapshot; removal invalidates its pointers).
    std::vector<THashItem*> items() const;
    // Visits the items in the order Clear disposes of them: bucket by bucket,
    // the last of each first. The visit must not add or remove items.
    template <class Visit>
    void forEachItemLastFirst(Visit visit) const {
        if (buckets_.empty()) {
            for (int start = 0, end; start < few_.count(); start = end) {
                end = fewBucketEnd(start);
                for (int i = end - 1; i >= start; --i) visit(*few_.at(i));
            }
            return;
        }
        for (size_t b = usedLow_; b <= usedHigh_ && b < buckets_.size(); ++b) {
            const TBinaryItemList* bucket = buckets_[b].get();
            for (int i = bucket ? bucket->count() - 1 : -1; i >= 0; --i) visit(*bucket->at(i));
        }
    }
    // FindItem without the missing-key error.
    THashItem* lookup(const AnsiString& key) const;
    // The same for a key whose HashOf is known, in a table that regards case
    // (where a key is its own match key): a chain of tables hashes it once.
    THashItem* lookupHashed(const AnsiString& key, unsigned hash) const;
    [[noreturn]] static void raiseMissingKey();

private:
    AnsiString matchKey(const AnsiString& key) const;
    void disposeItem(std::unique_ptr<THashItem> item);
    THashItem* find(const AnsiString& match, unsigned hash) const;
    // The few items' side: where the run of items of the bucket at start
    // ends, where a new match key goes, and the move into the buckets.
    size_t bucketOf(unsigned hash) const { return hash % static_cast<unsigned>(bucketCount_); }
    int fewBucketEnd(int start) const;
    int fewInsertionPoint(const AnsiString& match, unsigned hash) const;
    void spread();
    // The items detached for disposal, in the order Clear disposes of them.
    void detachAll(THashItem** detached);
    static uint32_t filterBit(unsigned hash) { return 1u << (hash % 32); }
    // The index's side of the changes of items.
    void reserveIndex(int count);
    void indexItem(THashItem* item);
    void replaceIndexed(THashItem* old, THashItem* item);
    void unindexItem(THashItem* item);
    size_t indexSlotOf(const AnsiString& match, unsigned strong) const;

    bool ignoreCase_;
    int bucketCount_;
    // A table of at most fewItems items (most objects' members) keeps them
    // in few_, in key-list order, and has no buckets: it allocates only its
    // items and one list. The buckets are made when it grows past that and
    // stay from then on.
    static constexpr int fewItems = 8;
    TBinaryItemList few_;
    std::vector<std::unique_ptr<TBinaryItemList>> buckets_;
    int count_ = 0;  // items stored
    // The buckets that items went into since the table was last empty lie
    // within this range: a clearing looks only there.
    size_t usedLow_ = SIZE_MAX;
    size_t usedHigh_ = 0;
    uint64_t stamp_ = NewChangeStamp();
    // A bit for each hash class (HashOf modulo 32) stored since the table was
    // last empty: most misses end here, without a bucket or a comparison.
    uint32_t filter_ = 0;
    std::vector<AnsiString> keys_;
    bool keysStale_ = false;
    // Once the table holds far more items than it has buckets (an object of
    // thousands of members), every item is also found here, by a stronger
    // hash of its match key in open addressing: a lookup scans no long
    // bucket. The buckets still keep the key order. Empty until then.
    struct IndexSlot {
        unsigned Strong = 0;
        THashItem* Item = nullptr;
    };
    std::vector<IndexSlot> index_;
};

// ==== Kinds ====

class TStringHashTable : public TCustomHashTable {
public:
    using TCustomHashTable::TCustomHashTable;
    AnsiString GetValue(const AnsiString& key) const;  // "" when absent
    void SetValue(const AnsiString& key, const AnsiString& value);
};

class TIntegerHashTable : public TCustomHashTable {
public:
    using TCustomHashTable::TCustomHashTable;
    int GetValue(const AnsiString& key) const;  // 0 when absent
    void SetValue(const AnsiString& key, int value);
};

class TPointerHashTable : public TCustomHashTable {
public:
    using TCustomHashTable::TCustomHashTable;
    void* GetValue(const AnsiString& key) const;  // nil when absent
    void SetValue(const AnsiString& key, void* value);
};

// The item types of the kinds above, for code that walks FindItem results.
struct TStringHashItem : THashItem {
    TStringHashItem(AnsiString key, AnsiString value) : THashItem(std::move(key)), Value(std::move(value)) {}
    AnsiString Value;
};
struct TIntegerHashItem : THashItem {
    TIntegerHashItem(AnsiString key, int value) : THashItem(std::move(key)), Value(value) {}
    int Value;
};
struct TPointerHashItem : THashItem {
    TPointerHashItem(AnsiString key, void* value) : THashItem(std::move(key)), Value(value) {}
    void* Value;
};

// A table of objects of class T, which it frees while OwnsObjects is true.
template <class T>
class TObjectHashTable : public TCustomHashTable {
public:
    struct Item : THashItem {
        Item(AnsiString key, T* value) : THashItem(std::move(key)), Value(value) {}
        T* Value;
    };

    using TCustomHashTable::TCustomHashTable;
    ~TObjectHashTable() override {
        try {
            Clear();
        } catch (...) {
            // A destructor cannot pass an OnFreeItem handler's error on.
        }
    }

    bool OwnsObjects = true;

    T* GetValue(const AnsiString& key) const {
        auto* item = static_cast<Item*>(FindItem(key));
        return item ? item->Value : nullptr;
    }
    void SetValue(const AnsiString& key, T* value) {
        // Storing the object already held under the key must not free it.
        if (auto* item = static_cast<Item*>(lookup(key)); item && item->Value == value) {
            if (item->Key != key) StoreItem(std::make_unique<Item>(key, detach(*item)));
            return;
        }
        StoreItem(std::make_unique<Item>(key, value));
    }

protected:
    void DoFreeItem(THashItem& item) override {
        TCustomHashTable::DoFreeItem(item);
        auto& held = static_cast<Item&>(item);
        if (OwnsObjects) delete detach(held);
    }

private:
    static T* detach(Item& item) {
        T* value = item.Value;
        item.Value = nullptr;
        return value;
    }
};
