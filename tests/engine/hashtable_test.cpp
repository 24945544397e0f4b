// Tests of the hash table family: lookups per kind and case rule, key
// identity on the bytes, bucket order and the key list, item disposal and its
// event, the missing-key error, owned objects, and a subclass with its own
// item type.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/support/hashtable.h"

namespace {

std::vector<std::string> keysOf(TCustomHashTable& table) {
    std::vector<std::string> keys;
    for (const AnsiString& key : table.GetKeyList()) keys.push_back(key.str());
    return keys;
}

using Keys = std::vector<std::string>;

std::string lowerAscii(std::string key) {
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return key;
}

}  // namespace

// ==== Lookups ====

TEST(HashTable, EachKindAnswersItsEmptyValueForMissingKeys) {
    TStringHashTable strings(13, false);
    TIntegerHashTable integers(13, false);
    TPointerHashTable pointers(13, false);
    TObjectHashTable<std::string> objects(13, false);
    EXPECT_EQ(strings.GetValue("x"), "");
    EXPECT_EQ(integers.GetValue("x"), 0);
    EXPECT_EQ(pointers.GetValue("x"), nullptr);
    EXPECT_EQ(objects.GetValue("x"), nullptr);
    EXPECT_EQ(strings.FindItem("x"), nullptr);
    EXPECT_FALSE(strings.HasKey("x"));
    EXPECT_FALSE(strings.Remove("x"));
}

TEST(HashTable, StoresAndReplacesValues) {
    TStringHashTable strings(13, false);
    strings.SetValue("Content-Type", "text/html");
    strings.SetValue("Host", "example");
    strings.SetValue("Content-Type", "text/plain");
    EXPECT_EQ(strings.GetValue("Content-Type"), "text/plain");
    EXPECT_EQ(strings.GetValue("Host"), "example");
    EXPECT_EQ(keysOf(strings).size(), 2u);

    TIntegerHashTable integers(100, false);
    integers.SetValue("var", 257);
    integers.SetValue("", -5);
    EXPECT_EQ(integers.GetValue("var"), 257);
    EXPECT_EQ(integers.GetValue(""), -5);
    EXPECT_TRUE(integers.HasKey(""));

    int target = 0;
    TPointerHashTable pointers(53, false);
    pointers.SetValue("p", &target);
    EXPECT_EQ(pointers.GetValue("p"), &target);
}

TEST(HashTable, CaseRuleIsFixedAtCreation) {
    TIntegerHashTable sensitive(10, false);
    sensitive.SetValue("Foo", 1);
    sensitive.SetValue("foo", 2);
    EXPECT_EQ(sensitive.GetValue("Foo"), 1);
    EXPECT_EQ(sensitive.GetValue("foo"), 2);
    EXPECT_EQ(sensitive.GetValue("FOO"), 0);

    TIntegerHashTable ignoring(10, true);
    ignoring.SetValue("Foo", 1);
    EXPECT_EQ(ignoring.GetValue("FOO"), 1);
    EXPECT_TRUE(ignoring.HasKey("foo"));
    EXPECT_EQ(keysOf(ignoring), Keys{"Foo"});  // the stored key keeps its case
    ignoring.SetValue("FOO", 3);               // the same key: the new item takes its place
    EXPECT_EQ(keysOf(ignoring), Keys{"FOO"});
    EXPECT_EQ(ignoring.GetValue("foo"), 3);
    EXPECT_TRUE(ignoring.Remove("fOo"));
    EXPECT_FALSE(ignoring.HasKey("Foo"));
}

TEST(HashTable, IgnoreCaseFoldsFullWidthLettersButKeepsOtherDoubleByteText) {
    TIntegerHashTable table(13, true);
    table.SetValue("\x82\x60\x82\x61", 1);  // full-width "AB"
    EXPECT_EQ(table.GetValue("\x82\x81\x82\x82"), 1);  // full-width "ab"
    table.SetValue("\x83\x5C", 2);  // katakana "so": trail byte 0x5C, no case
    table.SetValue("\x95\x5C", 3);  // kanji "hyou"
    EXPECT_EQ(table.GetValue("\x83\x5C"), 2);
    EXPECT_EQ(table.GetValue("\x95\x5C"), 3);
    EXPECT_EQ(table.GetValue("\x83\x7C"), 0);  // what an ASCII-only fold of 0x5C would not touch either
}

// Keys that the locale comparison cannot tell apart stay distinct keys.
TEST(HashTable, DifferentBytesAreNeverOneKey) {
    const std::vector<AnsiString> sameCharacter = {
        "\xFA\x40",  // small Roman numeral one, IBM row
        "\xEE\xEF",  // the same character, NEC-selected IBM row
        "\x81",      // lone lead bytes
        "\x82",
        "a\x81",
        "a\x82",
    };
    std::vector<AnsiString> caseSensitive = sameCharacter;
    caseSensitive.push_back("\x87\x54");  // capital Roman numeral one, NEC row
    caseSensitive.push_back("\xFA\x4A");  // the same, IBM row (one key when case is ignored)
    for (bool ignoreCase : {false, true}) {
        SCOPED_TRACE(ignoreCase);
        const auto& keys = ignoreCase ? sameCharacter : caseSensitive;
        int n = static_cast<int>(keys.size());
        TIntegerHashTable table(1, ignoreCase);  // one bucket: every key meets every other
        for (int i = 0; i < n; ++i) table.SetValue(keys[i], i + 1);
        EXPECT_EQ(keysOf(table).size(), keys.size());
        for (int i = 0; i < n; ++i) EXPECT_EQ(table.GetValue(keys[i]), i + 1) << i;
        // The order is total: the same keys given the other way round list alike.
        TIntegerHashTable reversed(1, ignoreCase);
        for (int i = n - 1; i >= 0; --i) reversed.SetValue(keys[i], i + 1);
        EXPECT_EQ(keysOf(reversed), keysOf(table));
        EXPECT_TRUE(table.Remove(keys[1]));
        EXPECT_EQ(table.GetValue(keys[0]), 1);
        EXPECT_FALSE(table.HasKey(keys[1]));
    }
}

TEST(HashTable, ManyKeysInFewBuckets) {
    for (bool ignoreCase : {false, true}) {
        SCOPED_TRACE(ignoreCase);
        TIntegerHashTable table(7, ignoreCase);
        auto key = [](int i) {
            return AnsiString((i % 3 == 0 ? "Key" : i % 3 == 1 ? "\x83\x41-" : "-key") + std::to_string(i * 7919 % 2000));
        };
        for (int i = 0; i < 2000; ++i) table.SetValue(key(i), i);
        EXPECT_EQ(table.GetKeyList().size(), 2000u);
        for (int i = 0; i < 2000; i += 2) ASSERT_TRUE(table.Remove(key(i))) << i;
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(table.HasKey(key(i)), i % 2 == 1) << i;
        for (int i = 1; i < 2000; i += 2) ASSERT_EQ(table.GetValue(key(i)), i) << i;
        // Replaced items and keys stored again after their removal.
        for (int i = 0; i < 2000; ++i) table.SetValue(key(i), -i);
        EXPECT_EQ(table.GetKeyList().size(), 2000u);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(table.GetValue(key(i)), -i) << i;
    }
}

TEST(HashTable, BadBucketCountIsRefused) {
    EXPECT_THROW(TIntegerHashTable(0, false), EHashTableError);
    EXPECT_THROW(TIntegerHashTable(-3, false), EHashTableError);
}

// ==== Hashing and the key list ====

TEST(HashTable, HashRotatesLeftByTwoAndXorsUnsignedBytes) {
    EXPECT_EQ(TCustomHashTable::HashOf(""), 0u);
    EXPECT_EQ(TCustomHashTable::HashOf("a"), 97u);
    EXPECT_EQ(TCustomHashTable::HashOf("ab"), (97u << 2) ^ 98u);
    EXPECT_EQ(TCustomHashTable::HashOf("\xFF"), 255u);
    // Sixteen bytes of 1 set every even bit; a seventeenth rotates the top bits round.
    EXPECT_EQ(TCustomHashTable::HashOf(std::string(16, '\x01')), 0x55555555u);
    EXPECT_EQ(TCustomHashTable::HashOf(std::string(17, '\x01')), 0x55555554u);
}

TEST(HashTable, KeyListGoesByBucketThenByLocaleOrderWithinTheBucket) {
    TIntegerHashTable table(10, false);
    // Buckets of 10: "a" 7, "b" 8, "d" 0, "n" 0 (110).
    for (const char* key : {"b", "n", "a", "d"}) table.SetValue(key, 1);
    EXPECT_EQ(keysOf(table), (Keys{"d", "n", "a", "b"}));
    EXPECT_EQ(table.GetKeyText(), "d\r\nn\r\na\r\nb");

    TIntegerHashTable single(1, false);
    for (const char* key : {"b", "C", "a"}) single.SetValue(key, 1);
    EXPECT_EQ(keysOf(single), (Keys{"a", "b", "C"}));  // the locale's order, not the bytes'
}

// Keys of ASCII letters and digits are ordered without the platform's
// comparison; among themselves and beside other keys the order must still be
// the locale's, case by case.
TEST(HashTable, LettersAndDigitsKeepTheLocaleOrder) {
    const std::string alphabet = "09aAbBmMzZ";
    const std::string others[] = {"_", "-", "'", "\x83\x8A", "\xC5"};
    unsigned seed = 12345;
    auto next = [&](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (bool ignoreCase : {false, true}) {
        SCOPED_TRACE(ignoreCase);
        TIntegerHashTable table(1, ignoreCase);  // one bucket: every key meets every other
        Keys expected;
        for (int i = 0; i < 3000; ++i) {
            std::string key;
            for (unsigned n = next(6); n > 0; --n) key += next(12) ? std::string(1, alphabet[next(10)]) : others[next(5)];
            table.SetValue(AnsiString(key), i);
            expected.push_back(ignoreCase ? lowerAscii(key) : key);
        }
        auto localeThenBytes = [&](const std::string& a, const std::string& b) {
            int r = CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(),
                                   static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
            return r != CSTR_EQUAL ? r == CSTR_LESS_THAN : a < b;
        };
        std::sort(expected.begin(), expected.end(), localeThenBytes);
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        Keys listed = keysOf(table);
        if (ignoreCase) std::transform(listed.begin(), listed.end(), listed.begin(), lowerAscii);
        EXPECT_EQ(listed, expected);
    }
}

TEST(HashTable, KeyListFollowsInsertsAndRemovals) {
    TIntegerHashTable table(10, false);
    table.SetValue("a", 1);
    EXPECT_EQ(keysOf(table), Keys{"a"});
    table.SetValue("b", 1);
    EXPECT_EQ(keysOf(table), (Keys{"a", "b"}));
    table.Remove("a");
    EXPECT_EQ(keysOf(table), Keys{"b"});
    table.Remove("b");  // the bucket goes; a new insert makes it again
    EXPECT_TRUE(keysOf(table).empty());
    table.SetValue("b", 2);
    EXPECT_EQ(table.GetValue("b"), 2);
    table.Clear();
    EXPECT_TRUE(keysOf(table).empty());
    EXPECT_FALSE(table.HasKey("b"));
}

// A small table keeps its items in one list until it outgrows it: the key
// list and the disposal order are the buckets' before, across and after that.
TEST(HashTable, OrdersStayTheBucketsAsTheTableGrows) {
    auto bucket = [](const std::string& key) { return TCustomHashTable::HashOf(key) % 5; };
    auto bucketThenKey = [&](const std::string& a, const std::string& b) {
        return bucket(a) != bucket(b) ? bucket(a) < bucket(b) : a < b;
    };
    for (int size : {1, 3, 8, 9, 20}) {
        SCOPED_TRACE(size);
        Keys freed;
        TIntegerHashTable table(5, false);
        table.OnFreeItem = [&](TCustomHashTable&, THashItem& item) { freed.push_back(item.Key.str()); };
        Keys added;
        for (int i = 0; i < size; ++i) {
            added.push_back("k" + std::to_string(i * 7 % size));
            table.SetValue(AnsiString(added.back()), i);
            table.SetValue(AnsiString(added.back()), i);  // stored again
            Keys expected = added;
            std::sort(expected.begin(), expected.end(), bucketThenKey);
            ASSERT_EQ(keysOf(table), expected) << i;
        }
        for (int i = 0; i < size; ++i) ASSERT_EQ(table.GetValue(AnsiString(added[i])), i);
        freed.clear();
        table.Clear();
        // Bucket by bucket, the last of each first.
        Keys expected = added;
        std::sort(expected.begin(), expected.end(), bucketThenKey);
        for (auto run = expected.begin(); run != expected.end();) {
            auto end = run;
            while (end != expected.end() && bucket(*end) == bucket(*run)) ++end;
            std::reverse(run, end);
            run = end;
        }
        EXPECT_EQ(freed, expected);
    }
}

TEST(HashTable, KeyTextDropsTrailingBlanksAndLineBreaks) {
    TIntegerHashTable table(1, false);
    table.SetValue("x ", 1);
    EXPECT_EQ(table.GetKeyText(), "x");
    table.SetValue("", 1);  // sorts first
    EXPECT_EQ(table.GetKeyText(), "\r\nx");
    TIntegerHashTable empty(3, false);
    EXPECT_EQ(empty.GetKeyText(), "");
}

// ==== Disposal ====

TEST(HashTable, ReplacingAStringValueDisposesTheOldItemOnce) {
    TStringHashTable table(13, false);
    std::vector<std::string> freed;
    table.OnFreeItem = [&](TCustomHashTable& sender, THashItem& item) {
        EXPECT_EQ(&sender, &table);
        freed.push_back(item.Key.str() + "=" + static_cast<TStringHashItem&>(item).Value.str());
    };
    table.SetValue("k", "old");
    table.SetValue("k", "new");
    EXPECT_EQ(freed, Keys{"k=old"});
    table.Remove("k");
    EXPECT_EQ(freed, (Keys{"k=old", "k=new"}));
}

TEST(HashTable, ClearDisposesEveryItemLastFirstWithinABucket) {
    std::vector<std::string> freed;
    {
        TIntegerHashTable table(1, false);
        table.OnFreeItem = [&](TCustomHashTable&, THashItem& item) { freed.push_back(item.Key.str()); };
        for (const char* key : {"b", "a", "c"}) table.SetValue(key, 1);
        table.Clear();
        EXPECT_EQ(freed, (Keys{"c", "b", "a"}));
        table.SetValue("z", 1);
    }
    EXPECT_EQ(freed.back(), "z");  // destruction disposes what is left
}

TEST(HashTable, DisposalHandlersMayUseTheTable) {
    TIntegerHashTable table(3, false);
    for (const char* key : {"a", "b", "c", "d"}) table.SetValue(key, 1);
    bool sawKey = true;
    table.OnFreeItem = [&](TCustomHashTable&, THashItem& item) {
        if (item.Key == "a") {
            sawKey = table.HasKey("a");
            table.Remove("b");  // already gone when clearing, present when removing "a"
            table.SetValue("later", 7);
        }
    };
    table.Remove("a");
    EXPECT_FALSE(sawKey);
    EXPECT_FALSE(table.HasKey("b"));
    EXPECT_EQ(table.GetValue("later"), 7);
    table.SetValue("a", 1);
    table.Clear();
    EXPECT_EQ(table.GetValue("later"), 7);  // stored after the clear began
    EXPECT_EQ(keysOf(table), Keys{"later"});
}

TEST(HashTable, AFailingDisposalHandlerStillDisposesEveryItem) {
    int calls = 0;
    TIntegerHashTable table(5, false);
    for (const char* key : {"a", "b", "c"}) table.SetValue(key, 1);
    table.OnFreeItem = [&](TCustomHashTable&, THashItem&) {
        ++calls;
        throw EHashTableError("handler failed");
    };
    EXPECT_THROW(table.Clear(), EHashTableError);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(keysOf(table).empty());
    table.OnFreeItem = nullptr;
}

// ==== Missing keys ====

TEST(HashTable, RaiseOnMissingMakesLookupsOfMissingKeysFail) {
    TStringHashTable table(13, true);
    table.SetValue("Have", "1");
    table.RaiseOnMissing = true;
    EXPECT_EQ(table.GetValue("HAVE"), "1");
    try {
        table.GetValue("none");
        FAIL() << "no error";
    } catch (const EHashTableError& e) {
        EXPECT_EQ(e.message(), "dont has key");
        EXPECT_STREQ(e.className(), "EHashTableError");
    }
    EXPECT_THROW(table.FindItem("none"), EHashTableError);
    EXPECT_FALSE(table.HasKey("none"));
    EXPECT_FALSE(table.Remove("none"));
}

// ==== Objects ====

namespace {

struct Tracked {
    explicit Tracked(int& alive) : alive_(alive) { ++alive_; }
    ~Tracked() { --alive_; }
    int& alive_;
};

}  // namespace

TEST(HashTable, OwningObjectTableFreesRemovedReplacedAndClearedObjects) {
    int alive = 0;
    {
        TObjectHashTable<Tracked> table(53, false);
        EXPECT_TRUE(table.OwnsObjects);
        auto* first = new Tracked(alive);
        table.SetValue("a", first);
        table.SetValue("b", new Tracked(alive));
        table.SetValue("c", new Tracked(alive));
        EXPECT_EQ(table.GetValue("a"), first);
        table.SetValue("a", first);  // the same object again stays alive
        EXPECT_EQ(alive, 3);
        EXPECT_EQ(table.GetValue("a"), first);
        table.SetValue("a", new Tracked(alive));
        EXPECT_EQ(alive, 3);
        table.Remove("b");
        EXPECT_EQ(alive, 2);
        table.Clear();
        EXPECT_EQ(alive, 0);
        table.SetValue("d", new Tracked(alive));
    }
    EXPECT_EQ(alive, 0);
}

TEST(HashTable, ObjectTableThatDoesNotOwnLeavesObjectsAlone) {
    int alive = 0;
    Tracked a(alive), b(alive);
    {
        TObjectHashTable<Tracked> table(53, true);
        table.OwnsObjects = false;
        table.SetValue("A", &a);
        table.SetValue("a", &b);  // the same key in an ignore-case table
        EXPECT_EQ(table.GetValue("A"), &b);
        table.SetValue("A", &b);  // same object, the key's case changes
        EXPECT_EQ(keysOf(table), Keys{"A"});
    }
    EXPECT_EQ(alive, 2);
}

// ==== Subclasses ====

namespace {

// A table with an item type of its own, as the script member table has.
class PairTable : public TCustomHashTable {
public:
    struct Item : THashItem {
        Item(AnsiString key, std::string first, std::string second)
            : THashItem(std::move(key)), First(std::move(first)), Second(std::move(second)) {}
        std::string First, Second;
    };
    PairTable() : TCustomHashTable(5, false) {}
    ~PairTable() override { Clear(); }
    void Set(const AnsiString& key, std::string a, std::string b) {
        StoreItem(std::make_unique<Item>(key, std::move(a), std::move(b)));
    }
    std::string Joined() const {
        std::string all;
        for (THashItem* item : items()) all += static_cast<Item*>(item)->First + static_cast<Item*>(item)->Second + ";";
        return all;
    }
    std::vector<std::string>* disposed = nullptr;

protected:
    void DoFreeItem(THashItem& item) override {
        TCustomHashTable::DoFreeItem(item);
        if (disposed) disposed->push_back(static_cast<Item&>(item).First);
    }
};

}  // namespace

TEST(HashTable, SubclassesStoreTheirOwnItemsAndSeeEveryDisposal) {
    std::vector<std::string> disposed;
    int events = 0;
    {
        PairTable table;
        table.disposed = &disposed;
        table.OnFreeItem = [&](TCustomHashTable&, THashItem&) { ++events; };
        table.Set("a", "1", "x");  // bucket 97 % 5 = 2
        table.Set("b", "2", "y");  // bucket 3
        table.Set("a", "3", "z");
        EXPECT_EQ(table.Joined(), "3z;2y;");
        EXPECT_EQ(static_cast<PairTable::Item*>(table.FindItem("b"))->Second, "y");
    }
    EXPECT_EQ(disposed, (Keys{"1", "3", "2"}));
    EXPECT_EQ(events, 3);
}
