// TJNotify: the base of objects that tell each other when they are freed
// (script objects, member tables, value lists, scope tables, the object
// factory), and TJObjectLinks, the counted links of a container to the objects
// its values refer to.
#pragma once

#include <unordered_map>

#include "rtl/persistent.h"

class TBinList;
class TJNotify;
class TJObject;

using TJFreeNotifyEvent = TEvent<void(TJNotify* sender, TJNotify* freed)>;

class TJNotify : public TPersistent {
    RTL_DECLARE_CLASS()
    TJNotify() = default;
    TJNotify(const TJNotify&) = delete;
    TJNotify& operator=(const TJNotify&) = delete;
    // Tells every linked peer, the last linked first.
    ~TJNotify() override;

    // Links both ways; nothing happens when already linked.
    void AddFreeNotify(TJNotify* peer);
    // Removes the peer from this object's list only.
    void RemoveFreeNotify(TJNotify* peer);
    // The peer is being destroyed: forget it, then tell OnFreeNotify.
    virtual void FreeNotify(TJNotify* peer);
    bool IsLinked(TJNotify* peer) const;

    // Set by the owner of an auxiliary notifier.
    TJFreeNotifyEvent OnFreeNotify;

protected:
    // Tells every peer now (a descendant that must notify before it releases
    // its own parts calls this first in its destructor).
    void notifyPeers();

private:
    TBinList* Peers_ = nullptr;  // created on the first link, freed when empty
};

// The free-notification links of one container (a member table, a value list)
// to the objects its values refer to. A container may hold several values that
// refer to one object: the link stands while any of them does.
class TJObjectLinks {
public:
    explicit TJObjectLinks(TJNotify* notify) : notify_(notify) {}
    TJObjectLinks(const TJObjectLinks&) = delete;
    TJObjectLinks& operator=(const TJObjectLinks&) = delete;

    // One more value refers to the object: link on the first.
    void link(TJObject* object);
    // One value less refers to the object: unlink both ways after the last.
    void unlink(TJObject* object);
    // The object is being freed (the link is already gone on its side).
    void forget(TJNotify* object) { counts_.erase(object); }
    int count(TJNotify* object) const;

private:
    TJNotify* notify_;
    std::unordered_map<TJNotify*, int> counts_;
};
