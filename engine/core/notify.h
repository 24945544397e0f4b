// TJNotify: the base of objects that tell each other when they are freed
// (script objects, member tables, value lists, scope tables, the object
// factory), and TJObjectLinks, the counted links of a container to the objects
// its values refer to.
#pragma once

#include <cstdint>
#include <utility>

#include "rtl/persistent.h"

class TJNotify;
class TJObject;

// The peers of one notifier, each with a count (a container's number of
// values that refer to the peer). The first few sit inline in link order, so
// most objects link without allocating; more go to an open-addressed table,
// so that one with very many peers still finds each at once.
class TJPeerSet {
public:
    // Packed: the inline entries sit in every script object.
    struct __attribute__((packed, aligned(4))) Entry {
        TJNotify* Peer;
        int Count;
    };

    TJPeerSet() = default;
    TJPeerSet(const TJPeerSet&) = delete;
    TJPeerSet& operator=(const TJPeerSet&) = delete;
    ~TJPeerSet();

    const Entry* find(TJNotify* peer) const;
    Entry* find(TJNotify* peer) { return const_cast<Entry*>(std::as_const(*this).find(peer)); }
    // The peer's entry, added with count 0 when absent.
    Entry& add(TJNotify* peer);
    void remove(TJNotify* peer);
    // Takes out one peer (while few, the last linked); null when none is left.
    TJNotify* take();
    int count() const { return static_cast<int>(Count_); }

private:
    static constexpr int inlineCount = 3;
    static constexpr std::uint32_t firstCapacity = 16;

    bool hashed() const { return Capacity_ != 0; }
    std::uint32_t home(TJNotify* peer) const;
    Entry* slotOf(TJNotify* peer) const;
    void erase(Entry* slot);
    void rehash(std::uint32_t capacity);

    struct Table {
        Entry* Slots;        // Capacity_ entries, a null peer marks a free one
        std::uint32_t Next;  // where take looks first
        int Shift;           // of the hash, for Capacity_ slots
    };
    union {
        Entry Inline_[inlineCount];
        Table Table_;
    };
    std::uint32_t Count_ = 0;
    std::uint32_t Capacity_ = 0;  // 0 while inline
};

using TJFreeNotifyEvent = TEvent<void(TJNotify* sender, TJNotify* freed)>;

class TJNotify : public TPersistent {
    RTL_DECLARE_CLASS()
    TJNotify() = default;
    TJNotify(const TJNotify&) = delete;
    TJNotify& operator=(const TJNotify&) = delete;
    // Tells every linked peer (while few, the last linked first).
    ~TJNotify() override;

    // Links both ways; nothing happens when already linked.
    void AddFreeNotify(TJNotify* peer);
    // Removes the peer from this object's list only.
    void RemoveFreeNotify(TJNotify* peer);
    // The peer is being destroyed: forget it.
    virtual void FreeNotify(TJNotify* peer);
    bool IsLinked(TJNotify* peer) const;
    int PeerCount() const { return Peers_.count(); }

protected:
    // Tells every peer now (a descendant that must notify before it releases
    // its own parts calls this first in its destructor).
    void notifyPeers();
    // Takes one peer out of this object's list only (see TJPeerSet::take).
    TJNotify* takePeer() { return Peers_.take(); }

private:
    friend class TJObjectLinks;  // keeps its counts in the objects' entries
    TJPeerSet Peers_;
};

// An auxiliary notifier: the part of a container or an observer that hears of
// its peers' deaths and hands each on to its owner. Script objects, of which
// there are very many, carry no such event.
class TJNotifyLink : public TJNotify {
public:
    // Forgets the peer, then tells OnFreeNotify.
    void FreeNotify(TJNotify* peer) override;

    TJFreeNotifyEvent OnFreeNotify;
};

// The free-notification links of one container (a member table, a value list)
// to the objects its values refer to. A container may hold several values that
// refer to one object: the link stands while any of them does. The links go
// one way: the object's peer entry for the container holds the count, and the
// container keeps no entry of its own - its values name every object it links,
// and it unlinks each as the value leaves (so it must release every value
// before it goes). A container of a million objects so holds no table of them.
class TJObjectLinks {
public:
    explicit TJObjectLinks(TJNotify* notify) : notify_(notify) {}
    TJObjectLinks(const TJObjectLinks&) = delete;
    TJObjectLinks& operator=(const TJObjectLinks&) = delete;

    // One more value refers to the object: link on the first.
    void link(TJObject* object);
    // One value less refers to the object: unlink after the last.
    void unlink(TJObject* object);
    int count(TJObject* object) const;

private:
    TJNotify* notify_;
};
