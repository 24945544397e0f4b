// The hash table family: bucket hashing, the sorted buckets, insertion,
// removal, clearing and the key list. Keys are equal only when their bytes are
// (after lower-casing in an ignore-case table); the platform's locale-aware
// comparison orders the keys within a bucket, which the key list shows.
#include "engine/support/hashtable.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <exception>

#include "rtl/codepage.h"

namespace {

// Lower-cases one double-byte character in place when the code page has a
// lower-case form of the same size for it; anything else stays as it is.
void lowerDoubleByte(char* pair) {
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pair, 2, &wide, 1) != 1) return;
    wchar_t lower = wide;
    CharLowerBuffW(&lower, 1);
    if (lower == wide) return;
    char back[2];
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, &lower, 1, back, 2, nullptr, &usedDefault) == 2 && !usedDefault) {
        pair[0] = back[0];
        pair[1] = back[1];
    }
}

// The code page's lower-casing, byte-safe: invalid sequences are kept, so two
// different keys never fold into one by conversion loss.
AnsiString lowerCaseKey(const AnsiString& key) {
    AnsiString lower = key;
    size_t n = lower.length();
    char* p = nullptr;
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = key.byte(i);
        if (b >= 'A' && b <= 'Z') {
            if (!p) p = lower.mutableData();
            p[i] = static_cast<char>(b + ('a' - 'A'));
        } else if (b >= 0x80 && i + 1 < n && isLeadByte(b)) {
            if (!p) p = lower.mutableData();
            lowerDoubleByte(p + i);
            ++i;
        }
    }
    return lower;
}

// The order of match keys within a bucket: the locale's, ties broken by the
// bytes, so it is total and agrees with byte equality.
int compareMatch(const AnsiString& a, const AnsiString& b, bool ignoreCase) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.c_str(),
                           static_cast<int>(a.length()), b.c_str(), static_cast<int>(b.length()));
    if (r == CSTR_LESS_THAN) return -1;
    if (r == CSTR_GREATER_THAN) return 1;
    return a.view().compare(b.view());
}

// The weight of an ASCII letter or digit in the locale's order (digits first,
// then the letters, case aside), or none for any other byte.
constexpr unsigned char noWeight = 0xFF;
constexpr auto plainWeights = [] {
    std::array<unsigned char, 256> weights{};
    weights.fill(noWeight);
    for (int c = '0'; c <= '9'; ++c) weights[c] = static_cast<unsigned char>(c - '0');
    for (int c = 'a'; c <= 'z'; ++c) {
        weights[c] = static_cast<unsigned char>(10 + c - 'a');
        weights[c - 'a' + 'A'] = weights[c];
    }
    return weights;
}();

// The Japanese locale orders keys of ASCII letters and digits alone by their
// weights; keys alike but for case by their first difference, lower case
// first. compareMatch's answer without the platform's comparison, when both
// keys are such and the user's locale is that one (others, such as those that
// sort letter pairs as one letter, order these keys otherwise).
bool plainOrder(const AnsiString& a, const AnsiString& b, bool ignoreCase, int& order) {
    static const bool known = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_JAPANESE;
    if (!known) return false;
    size_t common = std::min(a.length(), b.length());
    int weightOrder = 0;
    for (size_t i = 0; i < common; ++i) {
        unsigned char wa = plainWeights[a.byte(i)];
        unsigned char wb = plainWeights[b.byte(i)];
        if (wa == noWeight || wb == noWeight) return false;
        if (!weightOrder && wa != wb) weightOrder = wa < wb ? -1 : 1;
    }
    const AnsiString& longer = a.length() > common ? a : b;
    for (size_t i = common; i < longer.length(); ++i)
        if (plainWeights[longer.byte(i)] == noWeight) return false;
    if (!weightOrder && a.length() != b.length()) weightOrder = a.length() < b.length() ? -1 : 1;
    if (weightOrder) {
        order = weightOrder;
        return true;
    }
    // Alike but for case: a lower-case letter is the greater byte.
    int bytes = a.view().compare(b.view());
    order = ignoreCase ? bytes : -bytes;
    return true;
}

// compareMatch for keys of up to this many bytes remembers its answers.
constexpr size_t rememberedKeySize = 64;

// The platform's comparison is slow, and the objects of one class fill their
// tables with the same names in the same order: the answers for short keys
// are kept, one per slot of a small table, the keys copied (a shared buffer
// may be lent out and written). The order cannot change during a run anyway:
// the buckets are searched by it.
int rememberedOrder(const AnsiString& a, const AnsiString& b, bool ignoreCase) {
    if (int order; plainOrder(a, b, ignoreCase, order)) return order;
    if (a.length() > rememberedKeySize || b.length() > rememberedKeySize) return compareMatch(a, b, ignoreCase);
    struct Answer {
        AnsiString a, b;
        bool ignoreCase = false;
        int order = 0;  // the answer for two empty keys, which an unused slot holds
    };
    static Answer answers[64];
    Answer& answer = answers[(TCustomHashTable::HashOf(a) * 31 + TCustomHashTable::HashOf(b)) % 64];
    if (answer.ignoreCase != ignoreCase || answer.a != a || answer.b != b)
        answer = {AnsiString(a.view()), AnsiString(b.view()), ignoreCase, compareMatch(a, b, ignoreCase)};
    return answer.order;
}

// A table indexes its items from this many on.
constexpr int indexedFrom = 256;

// The index's hash (FNV-1a): unlike the bucket hash, it keeps similar keys
// (m1, m2 ...) apart.
unsigned strongHash(std::string_view key) {
    unsigned h = 2166136261u;
    for (unsigned char b : key) h = (h ^ b) * 16777619u;
    return h;
}

uint64_t lastChangeStamp = 0;  // NewChangeStamp's sequence

}  // namespace

uint64_t NewChangeStamp() { return ++lastChangeStamp; }

uint64_t LastChangeStamp() { return lastChangeStamp; }

// ==== Buckets ====

int TBinaryItemList::indexOf(const AnsiString& match, unsigned hash) const {
    for (int i = 0; i < count(); ++i) {
        const Entry& entry = entries_[static_cast<size_t>(i)];
        if (entry.Hash == hash && entry.Item->match(ignoreCase_) == match) return i;
    }
    return -1;
}

int TBinaryItemList::insertionPoint(const AnsiString& match) const {
    int lo = 0;
    int hi = count() - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (rememberedOrder(at(mid)->match(ignoreCase_), match, ignoreCase_) < 0) lo = mid + 1;
        else hi = mid - 1;
    }
    return lo;
}

void TBinaryItemList::insert(int index, unsigned hash, std::unique_ptr<THashItem> item) {
    entries_.insert(entries_.begin() + index, Entry{hash, std::move(item)});
}

std::unique_ptr<THashItem> TBinaryItemList::replace(int index, std::unique_ptr<THashItem> item) {
    entries_[static_cast<size_t>(index)].Item.swap(item);
    return item;
}

std::unique_ptr<THashItem> TBinaryItemList::take(int index) {
    std::unique_ptr<THashItem> item = std::move(entries_[static_cast<size_t>(index)].Item);
    entries_.erase(entries_.begin() + index);
    return item;
}

// ==== Table ====

TCustomHashTable::TCustomHashTable(int bucketCount, bool ignoreCase)
    : ignoreCase_(ignoreCase), bucketCount_(bucketCount), few_(ignoreCase) {
    if (bucketCount < 1) throw EHashTableError("bucket count must be positive");
}

TCustomHashTable::~TCustomHashTable() {
    try {
        Clear();
    } catch (...) {
        // A destructor cannot pass an OnFreeItem handler's error on.
    }
}

unsigned TCustomHashTable::HashOf(std::string_view key) {
    unsigned h = 0;
    for (unsigned char b : key) h = ((h << 2) | (h >> 30)) ^ b;
    return h;
}

AnsiString TCustomHashTable::matchKey(const AnsiString& key) const {
    return ignoreCase_ ? lowerCaseKey(key) : key;
}

THashItem* TCustomHashTable::find(const AnsiString& match, unsigned hash) const {
    if (!(filter_ & filterBit(hash))) return nullptr;
    if (!index_.empty()) return index_[indexSlotOf(match, strongHash(match))].Item;
    const TBinaryItemList* bucket = buckets_.empty() ? &few_ : buckets_[bucketOf(hash)].get();
    if (!bucket) return nullptr;
    int index = bucket->indexOf(match, hash);
    return index >= 0 ? bucket->at(index) : nullptr;
}

THashItem* TCustomHashTable::lookup(const AnsiString& key) const {
    if (count_ == 0) return nullptr;
    if (!ignoreCase_) return find(key, HashOf(key));
    AnsiString match = lowerCaseKey(key);
    return find(match, HashOf(match));
}

THashItem* TCustomHashTable::lookupHashed(const AnsiString& key, unsigned hash) const {
    return count_ == 0 ? nullptr : find(key, hash);
}

void TCustomHashTable::raiseMissingKey() {
    throw EHashTableError("dont has key");
}

bool TCustomHashTable::HasKey(const AnsiString& key) const {
    return lookup(key) != nullptr;
}

THashItem* TCustomHashTable::FindItem(const AnsiString& key) const {
    THashItem* item = lookup(key);
    if (!item && RaiseOnMissing) raiseMissingKey();
    return item;
}

THashItem* TCustomHashTable::StoreItem(std::unique_ptr<THashItem> item) {
    if (ignoreCase_) item->lowered_ = lowerCaseKey(item->Key);
    const AnsiString& match = item->match(ignoreCase_);
    unsigned hash = HashOf(match);
    if (buckets_.empty() && count_ >= fewItems && few_.indexOf(match, hash) < 0) spread();
    size_t b = bucketOf(hash);
    TBinaryItemList* list = &few_;
    if (!buckets_.empty()) {
        auto& slot = buckets_[b];
        if (!slot) slot = std::make_unique<TBinaryItemList>(ignoreCase_);
        list = slot.get();
    }
    THashItem* stored = item.get();
    // An indexed table tells a new key without a walk of its bucket.
    int index = index_.empty() || find(match, hash) ? list->indexOf(match, hash) : -1;
    keysStale_ = true;
    Touch();
    if (index >= 0) {
        replaceIndexed(list->at(index), stored);
        disposeItem(list->replace(index, std::move(item)));
    } else {
        reserveIndex(count_ + 1);
        if (list == &few_ && count_ == 0) few_.reserve(fewItems / 2);
        int place = list == &few_ ? fewInsertionPoint(match, hash) : list->insertionPoint(match);
        filter_ |= filterBit(hash);
        usedLow_ = std::min(usedLow_, b);
        usedHigh_ = std::max(usedHigh_, b);
        list->insert(place, hash, std::move(item));
        ++count_;
        indexItem(stored);
    }
    return stored;
}

bool TCustomHashTable::Remove(const AnsiString& key) {
    AnsiString match = matchKey(key);
    unsigned hash = HashOf(match);
    TBinaryItemList* list = buckets_.empty() ? &few_ : buckets_[bucketOf(hash)].get();
    if (!list) return false;
    keysStale_ = true;
    int index = list->indexOf(match, hash);
    if (index < 0) return false;
    std::unique_ptr<THashItem> item = list->take(index);
    unindexItem(item.get());
    if (--count_ == 0) filter_ = 0;
    Touch();
    if (list != &few_ && list->count() == 0) buckets_[bucketOf(hash)].reset();
    disposeItem(std::move(item));
    return true;
}

void TCustomHashTable::DoFreeItem(THashItem& item) {
    if (OnFreeItem) OnFreeItem(*this, item);
}

void TCustomHashTable::disposeItem(std::unique_ptr<THashItem> item) {
    DoFreeItem(*item);
}

void TCustomHashTable::Clear() {
    keys_.clear();
    keysStale_ = false;
    if (count_ == 0) return;
    // Detach everything first, in the order of disposal, so handlers that
    // touch the table see it empty. The emptied buckets stay for the next
    // filling: a table cleared and filled again (a call's scope) allocates
    // only its items.
    constexpr int inPlace = 16;
    THashItem* local[inPlace];
    std::vector<THashItem*> many;
    if (count_ > inPlace) many.resize(static_cast<size_t>(count_));
    THashItem** detached = count_ > inPlace ? many.data() : local;
    int taken = count_;
    detachAll(detached);
    count_ = 0;
    filter_ = 0;
    std::vector<IndexSlot>().swap(index_);
    usedLow_ = SIZE_MAX;
    usedHigh_ = 0;
    Touch();
    std::exception_ptr firstError;
    for (int i = 0; i < taken; ++i) {
        try {
            disposeItem(std::unique_ptr<THashItem>(detached[i]));
        } catch (...) {
            if (!firstError) firstError = std::current_exception();
        }
    }
    if (firstError) std::rethrow_exception(firstError);
}

void TCustomHashTable::detachAll(THashItem** detached) {
    int taken = 0;
    if (buckets_.empty()) {
        for (int start = 0, end; start < few_.count(); start = end) {
            end = fewBucketEnd(start);
            for (int i = end - 1; i >= start; --i) detached[taken++] = few_.replace(i, nullptr).release();
        }
        few_.clear();
        return;
    }
    for (size_t b = usedLow_; b <= usedHigh_ && taken < count_; ++b) {
        TBinaryItemList* bucket = buckets_[b].get();
        while (bucket && bucket->count() > 0) detached[taken++] = bucket->take(bucket->count() - 1).release();
    }
}

// ==== Few items ====

int TCustomHashTable::fewBucketEnd(int start) const {
    size_t b = bucketOf(few_.hashAt(start));
    int end = start + 1;
    while (end < few_.count() && bucketOf(few_.hashAt(end)) == b) ++end;
    return end;
}

// After the buckets before the key's, and in its bucket's run by key order.
int TCustomHashTable::fewInsertionPoint(const AnsiString& match, unsigned hash) const {
    size_t b = bucketOf(hash);
    int i = 0;
    while (i < few_.count() && bucketOf(few_.hashAt(i)) < b) ++i;
    while (i < few_.count() && bucketOf(few_.hashAt(i)) == b &&
           rememberedOrder(few_.at(i)->match(ignoreCase_), match, ignoreCase_) < 0)
        ++i;
    return i;
}

// The lists are made first, each with room for its run: moving the items
// over cannot fail then.
void TCustomHashTable::spread() {
    std::vector<std::unique_ptr<TBinaryItemList>> buckets(static_cast<size_t>(bucketCount_));
    for (int start = 0, end; start < few_.count(); start = end) {
        end = fewBucketEnd(start);
        auto list = std::make_unique<TBinaryItemList>(ignoreCase_);
        list->reserve(end - start);
        buckets[bucketOf(few_.hashAt(start))] = std::move(list);
    }
    for (int i = 0; i < few_.count(); ++i) {
        TBinaryItemList& list = *buckets[bucketOf(few_.hashAt(i))];
        list.insert(list.count(), few_.hashAt(i), few_.replace(i, nullptr));
    }
    few_.clear();
    buckets_.swap(buckets);
}

// ==== Index ====

// The slot of the item with the match key, else the empty slot where it
// would go (linear probing; the index is never full).
size_t TCustomHashTable::indexSlotOf(const AnsiString& match, unsigned strong) const {
    size_t mask = index_.size() - 1;
    for (size_t i = strong & mask;; i = (i + 1) & mask) {
        const IndexSlot& slot = index_[i];
        if (!slot.Item || (slot.Strong == strong && slot.Item->match(ignoreCase_) == match)) return i;
    }
}

// Made, or grown, before an item is added: what can fail happens while the
// table is unchanged. At most three quarters of the slots are used.
void TCustomHashTable::reserveIndex(int count) {
    if (index_.empty() && count < indexedFrom) return;
    if (static_cast<size_t>(count) * 4 <= index_.size() * 3) return;
    size_t size = 1;
    while (size < static_cast<size_t>(count) * 2) size *= 2;
    std::vector<IndexSlot> grown(size);
    std::vector<THashItem*> all = items();
    index_.swap(grown);
    for (THashItem* item : all) indexItem(item);
}

void TCustomHashTable::indexItem(THashItem* item) {
    if (index_.empty()) return;
    const AnsiString& match = item->match(ignoreCase_);
    unsigned strong = strongHash(match);
    index_[indexSlotOf(match, strong)] = {strong, item};
}

void TCustomHashTable::replaceIndexed(THashItem* old, THashItem* item) {
    if (index_.empty()) return;
    index_[indexSlotOf(old->match(ignoreCase_), strongHash(old->match(ignoreCase_)))].Item = item;
}

// The slots after the emptied one move back over it where their probes allow.
void TCustomHashTable::unindexItem(THashItem* item) {
    if (index_.empty()) return;
    size_t mask = index_.size() - 1;
    size_t hole = indexSlotOf(item->match(ignoreCase_), strongHash(item->match(ignoreCase_)));
    index_[hole] = {};
    for (size_t i = (hole + 1) & mask; index_[i].Item; i = (i + 1) & mask) {
        size_t home = index_[i].Strong & mask;
        // The slot stays when its home lies cyclically within (hole, i].
        bool stays = hole < i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (stays) continue;
        index_[hole] = index_[i];
        index_[i] = {};
        hole = i;
    }
}

std::vector<THashItem*> TCustomHashTable::items() const {
    std::vector<THashItem*> result;
    result.reserve(static_cast<size_t>(count_));
    for (int i = 0; i < few_.count(); ++i) result.push_back(few_.at(i));
    for (const auto& bucket : buckets_) {
        if (!bucket) continue;
        for (int i = 0; i < bucket->count(); ++i) result.push_back(bucket->at(i));
    }
    return result;
}

const std::vector<AnsiString>& TCustomHashTable::GetKeyList() {
    if (keysStale_) {
        keys_.clear();
        for (THashItem* item : items()) keys_.push_back(item->Key);
        keysStale_ = false;
    }
    return keys_;
}

AnsiString TCustomHashTable::GetKeyText() {
    AnsiString text;
    const std::vector<AnsiString>& keys = GetKeyList();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += keys[i];
    }
    size_t end = text.length();
    while (end > 0 && text.byte(end - 1) <= ' ') --end;
    return text.substr(0, end);
}

// ==== Kinds ====

AnsiString TStringHashTable::GetValue(const AnsiString& key) const {
    auto* item = static_cast<TStringHashItem*>(FindItem(key));
    return item ? item->Value : AnsiString();
}

void TStringHashTable::SetValue(const AnsiString& key, const AnsiString& value) {
    StoreItem(std::make_unique<TStringHashItem>(key, value));
}

int TIntegerHashTable::GetValue(const AnsiString& key) const {
    auto* item = static_cast<TIntegerHashItem*>(FindItem(key));
    return item ? item->Value : 0;
}

void TIntegerHashTable::SetValue(const AnsiString& key, int value) {
    StoreItem(std::make_unique<TIntegerHashItem>(key, value));
}

void* TPointerHashTable::GetValue(const AnsiString& key) const {
    auto* item = static_cast<TPointerHashItem*>(FindItem(key));
    return item ? item->Value : nullptr;
}

void TPointerHashTable::SetValue(const AnsiString& key, void* value) {
    StoreItem(std::make_unique<TPointerHashItem>(key, value));
}
