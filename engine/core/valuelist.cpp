// The script value list: copies of values in one block, object values
// counted and linked, index errors raised as script errors, and the bound on
// how far a list may grow.
#include "engine/core/valuelist.h"

#include <algorithm>

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "rtl/numtext.h"

void raiseIndexError(long long index) { raiseScriptError("EIndexError", intToText(index)); }

TJValueList::TJValueList() : links_(&Notify) {
    Notify.OnFreeNotify = TJFreeNotifyEvent::bind<&TJValueList::ObjectFreed>(this);
}

TJValueList::~TJValueList() {
    try {
        Clear();
    } catch (...) {
        // Releasing values cannot fail in a way a destructor could report.
    }
}

void TJValueList::checkIndex(int index, int limit) const {
    if (index < 0 || index >= limit) raiseIndexError(index);
}

// The list's side of storing a value: link an object, and count it when asked.
void TJValueList::adopt(const TJValue& value, bool takeReference) {
    if (!IsObjectValue(value)) return;
    if (takeReference) value.ObjValue->IncRef();
    links_.link(value.ObjValue);
}

// The list's side of a value leaving: unlink and release an object.
void TJValueList::release(TJValue& value) {
    if (!IsObjectValue(value)) return;
    TJObject* object = value.ObjValue;
    MakeUndefined(value);
    links_.unlink(object);
    object->DecRef();
}

int TJValueList::Add(const TJValue& value, bool takeReference) {
    if (Count() >= MaxCount) raiseIndexError(Count());
    if (Tail_ == 0 && Entries_.size() < Entries_.capacity()) {
        // Room after the stored values: the block stays where the value may be.
        adopt(value, takeReference);
        Entries_.push_back(value);
        return stored() - 1;
    }
    return addGrowing(value, takeReference);
}

[[gnu::noinline]] int TJValueList::addGrowing(const TJValue& value, bool takeReference) {
    TJValue copy = value;  // the value may be one of ours, which growing moves
    reserveFor(Count() + 1);
    store(Count());
    adopt(copy, takeReference);
    Entries_.push_back(std::move(copy));
    return Count() - 1;
}

int TJValueList::AddBool(bool b) { TJValue v; MakeBool(b, v); return Add(v); }
int TJValueList::AddInteger(int32_t i) { TJValue v; MakeInteger(i, v); return Add(v); }
int TJValueList::AddDouble(double d) { TJValue v; MakeDouble(d, v); return Add(v); }
int TJValueList::AddString(const AnsiString& s) { TJValue v; MakeString(s, v); return Add(v); }

int TJValueList::AddObject(TJObject* object, bool takeReference) {
    TJValue v;
    MakeObject(object, v);
    return Add(v, takeReference);
}

void TJValueList::Reserve(size_t count) { reserveFor(static_cast<int>(std::min<size_t>(count, MaxCount))); }

void TJValueList::Insert(int index, const TJValue& value) {
    checkIndex(index, Count() + 1);
    if (Count() >= MaxCount) raiseIndexError(Count());
    TJValue copy = value;
    if (index == 0 && Head_ > 0) {
        adopt(copy, true);
        --Head_;
        entry(0) = std::move(copy);
        return;
    }
    reserveFor(std::max(index, stored()) + 1);
    store(index);
    adopt(copy, true);
    Entries_.insert(Entries_.begin() + Head_ + index, std::move(copy));
}

void TJValueList::GetItem(int index, TJValue& value) const { value = At(index); }

const TJValue& TJValueList::At(int index) const {
    static const TJValue undefined;
    checkIndex(index, Count());
    return index < stored() ? entry(index) : undefined;
}

void TJValueList::SetItem(int index, const TJValue& value) {
    checkIndex(index, Count());
    if (index >= stored()) {
        setInTail(index, value);
        return;
    }
    adopt(value, true);
    TJValue& slot = entry(index);
    TJValue old = slot;
    slot = value;
    release(old);
}

[[gnu::noinline]] void TJValueList::setInTail(int index, const TJValue& value) {
    TJValue copy = value;  // storing the tail may move the block the value is in
    store(index + 1);
    SetItem(index, copy);
}

void TJValueList::Delete(int index) {
    checkIndex(index, Count());
    if (index >= stored()) {
        --Tail_;
        return;
    }
    TJValue removed;
    removeEntry(index, removed);
    release(removed);
}

void TJValueList::Take(int index, TJValue& value) {
    checkIndex(index, Count());
    if (index >= stored()) {
        --Tail_;
        MakeUndefined(value);
        return;
    }
    removeEntry(index, value);
    if (!IsObjectValue(value)) return;
    links_.unlink(value.ObjValue);
    value.ObjValue->ReleaseToHolder();
}

void TJValueList::MoveTo(int index, int count, TJValueList& other) {
    checkIndex(index, Count() + 1);
    if (count < 0 || count > Count() - index) raiseIndexError(count);
    if (count > MaxCount - other.Count()) raiseIndexError(other.Count());
    store(index + count);
    other.reserveFor(other.Count() + count);
    other.store(other.Count());
    for (int i = index; i < index + count; ++i) {
        other.adopt(entry(i), true);
        other.Entries_.push_back(entry(i));
    }
    // The other list holds each object now, so releasing ours frees nothing.
    for (int i = index; i < index + count; ++i) release(entry(i));
    Entries_.erase(Entries_.begin() + Head_ + index, Entries_.begin() + Head_ + index + count);
    trim();
}

void TJValueList::Reverse() {
    store(Count());
    std::reverse(Entries_.begin() + Head_, Entries_.end());
}

void TJValueList::Clear() {
    releaseAll();
    trim();
}

// The last first, as Delete(Count() - 1) would; the block stays.
void TJValueList::releaseAll() {
    for (Tail_ = 0; stored() > 0; Tail_ = 0) {
        TJValue removed = std::move(Entries_.back());
        Entries_.pop_back();
        release(removed);
    }
    closeGap();
}

void TJValueList::SetCount(int count) {
    if (count < 0 || count > MaxCount) raiseIndexError(count);
    if (count >= Count()) {
        Tail_ += count - Count();
        return;
    }
    Tail_ -= std::min(Tail_, Count() - count);
    while (Count() > count) Delete(Count() - 1);
}

void TJValueList::CopyFrom(const TJValueList* other) {
    if (other == this) return;
    releaseAll();  // the block serves the copy
    if (other) {
        reserveFor(other->stored());
        for (int i = 0; i < other->stored(); ++i) {
            const TJValue& value = other->entry(i);
            adopt(value, true);
            Entries_.push_back(value);  // room reserved: cannot fail
        }
        Tail_ = other->Tail_;
    }
    trim();
}

// A comparator that raises leaves the list as it was. Values without an
// object are sorted as a copy, in place (a pointer into a large list misses
// the cache at nearly every comparison), which then replaces the block; the
// others as pointers into the block, where a freed object still turns
// undefined, then moved into their new order once.
void TJValueList::Sort(TListSortCompare compare, void* context) {
    store(Count());
    bool objects = std::any_of(Entries_.begin() + Head_, Entries_.end(),
                               [](const TJValue& value) { return value.ValueType == vtObject; });
    if (!objects) {
        std::vector<TJValue> values(Entries_.begin() + Head_, Entries_.end());
        std::vector<TJValue> work(values.size());
        MergeSort(values.data(), work.data(), 0, static_cast<int>(values.size()) - 1,
                  [compare, context](TJValue& a, TJValue& b) { return compare(context, &a, &b); });
        Entries_.swap(values);
        Head_ = 0;
        return;
    }
    TListPlus order;
    for (int i = 0; i < Count(); ++i) order.Add(&entry(i));
    order.Sort(compare, context);
    std::vector<TJValue> sorted;
    sorted.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < order.Count(); ++i) sorted.push_back(std::move(*static_cast<TJValue*>(order.Items(i))));
    Entries_.swap(sorted);
    Head_ = 0;
}

// ==== Storage ====

// Room for count stored values: at least double the block (a gap at the
// front is closed first), but not beyond limit. Closing a gap moves every
// stored value, so it leaves room for as many values again: a list used as a
// queue (push, shift) then moves each of its values about once.
void TJValueList::reserveFor(int count, int limit) {
    if (static_cast<size_t>(Head_ + count) <= Entries_.capacity()) return;
    size_t needed = static_cast<size_t>(count);
    if (Head_ > 0) needed = std::max(needed, std::min<size_t>(needed * 2, static_cast<size_t>(limit)));
    closeGap();
    if (needed <= Entries_.capacity()) return;
    Entries_.reserve(std::clamp<size_t>(Entries_.size() * 2, needed, static_cast<size_t>(limit)));
}

// Stores the undefined values of the tail before index count; the block grows
// no further than the count, which an array given its length first is filled
// to. Writing the one value just past the stored ones at the end appends,
// though, and doubles the block as Add does: held to the count, each such
// write would move the whole block.
void TJValueList::store(int count) {
    if (count <= stored()) return;
    bool append = count == Count() && count == stored() + 1;
    reserveFor(count, append ? MaxCount : Count());
    Tail_ -= count - stored();
    Entries_.resize(static_cast<size_t>(Head_ + count));
}

// Takes the value out of the block; a first value leaves a gap at the front.
void TJValueList::removeEntry(int index, TJValue& removed) {
    removed = std::move(entry(index));
    if (index == 0) {
        entry(0) = TJValue();
        ++Head_;
    } else {
        Entries_.erase(Entries_.begin() + Head_ + index);
    }
    trim();
}

void TJValueList::moveToFront() {
    Entries_.erase(Entries_.begin(), Entries_.begin() + Head_);
    Head_ = 0;
}

// Closes a front gap once it is as long as the values after it, and gives
// back most of a large block that has emptied.
void TJValueList::trim() {
    if (Head_ > 0 && Head_ >= stored()) closeGap();
    if (Entries_.capacity() > 1024 && Entries_.size() * 4 < Entries_.capacity()) Entries_.shrink_to_fit();
}

void TJValueList::ObjectFreed(TJNotify*, TJNotify* freed) {
    for (int i = 0; i < stored(); ++i) {
        TJValue& v = entry(i);
        if (v.ValueType == vtObject && v.ObjValue == freed) MakeUndefined(v);
    }
}
