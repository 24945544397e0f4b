// Free notification between script objects and their containers: the
// two-way peer links, the telling of peers at destruction, and the counted
// links of a container that holds one object several times.
#include "engine/core/notify.h"

#include <algorithm>

#include "engine/core/object.h"

const TClassInfo TJNotify::classInfo = makeClassInfo("TJNotify", &TPersistent::classInfo);

// ==== Peer sets ====

TJPeerSet::~TJPeerSet() {
    if (hashed()) delete[] Table_.Slots;
}

// Fibonacci hashing: the top bits of the product, which every address bit reaches.
std::uint32_t TJPeerSet::home(TJNotify* peer) const {
    constexpr auto golden = static_cast<std::uintptr_t>(sizeof(std::uintptr_t) == 8 ? 0x9E3779B97F4A7C15ull : 0x9E3779B9u);
    return static_cast<std::uint32_t>((reinterpret_cast<std::uintptr_t>(peer) * golden) >> Table_.Shift);
}

// The slot that holds peer, or the free one where it would go (at most three
// quarters of the slots are used, so there is always one).
TJPeerSet::Entry* TJPeerSet::slotOf(TJNotify* peer) const {
    std::uint32_t mask = Capacity_ - 1;
    for (std::uint32_t i = home(peer);; i = (i + 1) & mask) {
        Entry* slot = &Table_.Slots[i];
        if (slot->Peer == peer || !slot->Peer) return slot;
    }
}

const TJPeerSet::Entry* TJPeerSet::find(TJNotify* peer) const {
    if (hashed()) {
        const Entry* slot = slotOf(peer);
        return slot->Peer ? slot : nullptr;
    }
    for (std::uint32_t i = 0; i < Count_; ++i)
        if (Inline_[i].Peer == peer) return &Inline_[i];
    return nullptr;
}

TJPeerSet::Entry& TJPeerSet::add(TJNotify* peer) {
    if (Entry* entry = find(peer)) return *entry;
    if (!hashed() && Count_ < inlineCount) {
        Inline_[Count_] = {peer, 0};
        return Inline_[Count_++];
    }
    if (!hashed()) rehash(firstCapacity);
    else if ((Count_ + 1) * 4 > Capacity_ * 3) rehash(Capacity_ * 2);
    Entry* slot = slotOf(peer);
    *slot = {peer, 0};
    ++Count_;
    return *slot;
}

void TJPeerSet::remove(TJNotify* peer) {
    if (hashed()) {
        Entry* slot = slotOf(peer);
        if (slot->Peer) erase(slot);
        return;
    }
    for (std::uint32_t i = 0; i < Count_; ++i) {
        if (Inline_[i].Peer != peer) continue;
        for (--Count_; i < Count_; ++i) Inline_[i] = Inline_[i + 1];  // keeps the link order
        return;
    }
}

TJNotify* TJPeerSet::take() {
    if (Count_ == 0) return nullptr;
    if (!hashed()) return Inline_[--Count_].Peer;
    // Slots before Next were empty when last looked at; one linked meanwhile
    // is found when the search wraps around.
    std::uint32_t mask = Capacity_ - 1;
    for (;; Table_.Next = (Table_.Next + 1) & mask) {
        Entry* slot = &Table_.Slots[Table_.Next];
        if (!slot->Peer) continue;
        TJNotify* peer = slot->Peer;
        erase(slot);
        return peer;
    }
}

// Takes a used slot out, moving later entries of its run back so that every
// search still reaches them; a table that is mostly empty shrinks.
void TJPeerSet::erase(Entry* slot) {
    std::uint32_t mask = Capacity_ - 1;
    auto hole = static_cast<std::uint32_t>(slot - Table_.Slots);
    for (std::uint32_t i = (hole + 1) & mask; Table_.Slots[i].Peer; i = (i + 1) & mask) {
        // The entry may move back unless the hole lies before its home.
        if (((i - home(Table_.Slots[i].Peer)) & mask) >= ((i - hole) & mask)) {
            Table_.Slots[hole] = Table_.Slots[i];
            hole = i;
        }
    }
    Table_.Slots[hole].Peer = nullptr;
    --Count_;
    if (Count_ == 0) {
        delete[] Table_.Slots;
        Capacity_ = 0;
    } else if (Capacity_ > firstCapacity && Count_ * 8 < Capacity_) {
        rehash(Capacity_ / 2);
    }
}

// Moves the entries (inline or in a table) to a table of the capacity, a power of two.
void TJPeerSet::rehash(std::uint32_t capacity) {
    auto* slots = new Entry[capacity]();
    Entry* old = hashed() ? Table_.Slots : nullptr;
    std::uint32_t oldCapacity = Capacity_;
    Entry moved[inlineCount];
    if (!old) std::copy(Inline_, Inline_ + Count_, moved);
    int bits = 0;
    while ((1u << bits) < capacity) ++bits;
    Capacity_ = capacity;
    Table_ = {slots, 0, static_cast<int>(sizeof(std::uintptr_t) * 8) - bits};
    if (!old) {
        for (std::uint32_t i = 0; i < Count_; ++i) *slotOf(moved[i].Peer) = moved[i];
        return;
    }
    for (std::uint32_t i = 0; i < oldCapacity; ++i)
        if (old[i].Peer) *slotOf(old[i].Peer) = old[i];
    delete[] old;
}

// ==== Notifiers ====

TJNotify::~TJNotify() { notifyPeers(); }

void TJNotify::notifyPeers() {
    // Each peer is taken out before it hears, so a peer that unlinks or
    // links others meanwhile cannot make us skip one.
    while (TJNotify* peer = Peers_.take()) peer->FreeNotify(this);
}

void TJNotify::AddFreeNotify(TJNotify* peer) {
    if (!peer || peer == this) return;
    Peers_.add(peer);
    peer->Peers_.add(this);
}

void TJNotify::RemoveFreeNotify(TJNotify* peer) { Peers_.remove(peer); }

void TJNotify::FreeNotify(TJNotify* peer) { RemoveFreeNotify(peer); }

void TJNotifyLink::FreeNotify(TJNotify* peer) {
    TJNotify::FreeNotify(peer);
    OnFreeNotify(this, peer);
}

bool TJNotify::IsLinked(TJNotify* peer) const { return Peers_.find(peer) != nullptr; }

// ==== Counted links of a container ====

void TJObjectLinks::link(TJObject* object) { ++object->Peers_.add(notify_).Count; }

void TJObjectLinks::unlink(TJObject* object) {
    TJPeerSet::Entry* entry = object->Peers_.find(notify_);
    // Gone when the object has told of its death.
    if (!entry || entry->Count == 0 || --entry->Count > 0) return;
    object->Peers_.remove(notify_);
}

int TJObjectLinks::count(TJObject* object) const {
    const TJPeerSet::Entry* entry = object->Peers_.find(notify_);
    return entry ? entry->Count : 0;
}
