// Free notification between script objects and their containers: the
// two-way peer links, the telling of peers at destruction, and the counted
// links of a container that holds one object several times.
#include "engine/core/notify.h"

#include "engine/support/lists.h"
#include "engine/core/object.h"

const TClassInfo TJNotify::classInfo = makeClassInfo("TJNotify", &TPersistent::classInfo);

TJNotify::~TJNotify() { notifyPeers(); }

void TJNotify::notifyPeers() {
    // The last linked peer first; each is taken out before it hears, so a
    // peer that unlinks or links others meanwhile cannot make us skip one.
    while (Peers_ && Peers_->Count() > 0) {
        auto* peer = static_cast<TJNotify*>(Peers_->Items(Peers_->Count() - 1));
        Peers_->Delete(Peers_->Count() - 1);
        peer->FreeNotify(this);
    }
    delete Peers_;
    Peers_ = nullptr;
}

void TJNotify::AddFreeNotify(TJNotify* peer) {
    if (!peer || peer == this) return;
    if (!Peers_) Peers_ = new TBinList();
    Peers_->Add(peer);
    if (!peer->Peers_) peer->Peers_ = new TBinList();
    peer->Peers_->Add(this);
}

void TJNotify::RemoveFreeNotify(TJNotify* peer) {
    if (!Peers_) return;
    Peers_->Remove(peer);
    if (Peers_->Count() == 0) {
        delete Peers_;
        Peers_ = nullptr;
    }
}

void TJNotify::FreeNotify(TJNotify* peer) {
    RemoveFreeNotify(peer);
    OnFreeNotify(this, peer);
}

bool TJNotify::IsLinked(TJNotify* peer) const { return Peers_ && Peers_->IndexOf(peer) >= 0; }

// ==== Counted links of a container ====

void TJObjectLinks::link(TJObject* object) {
    if (++counts_[object] == 1) notify_->AddFreeNotify(object);
}

void TJObjectLinks::unlink(TJObject* object) {
    auto it = counts_.find(object);
    if (it == counts_.end()) return;  // already told the object is gone
    if (--it->second > 0) return;
    counts_.erase(it);
    object->RemoveFreeNotify(notify_);
    notify_->RemoveFreeNotify(object);
}

int TJObjectLinks::count(TJNotify* object) const {
    auto it = counts_.find(object);
    return it == counts_.end() ? 0 : it->second;
}
