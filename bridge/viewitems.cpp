// The item wrappers of the list and tree views: the view's link, the script
// Data, and the view's record of every wrapper it gave out.
#include "bridge/viewitems.h"

void TJVCLViewItem::CheckVCL(TJValueList* args, int minimum) {
    TJVCLPersistent::CheckVCL(args, minimum);
    if (!View_) RaiseVCLError("vcl is null");
}

void TJVCLViewItem::DetachVCL() {
    if (Issuer_) Issuer_->Forget(this);
    Issuer_ = nullptr;
    View_ = nullptr;
    SetDataProperty(nullptr);
    TJVCLPersistent::DetachVCL();
}

void TJVCLViewItem::SetDataProperty(TObject* data) {
    auto* object = static_cast<TJObject*>(data);
    if (object == Data_) return;
    if (object) {
        object->IncRef();
        AddFreeNotify(object);
    }
    if (TJObject* old = Data_) {
        Data_ = nullptr;
        RemoveFreeNotify(old);
        old->RemoveFreeNotify(this);
        old->DecRef();
    }
    Data_ = object;
}

void TJVCLViewItem::FreeNotify(TJNotify* peer) {
    TJVCLPersistent::FreeNotify(peer);
    if (peer == Data_) Data_ = nullptr;
}

void TJVCLIssuedItems::issue(TJVCLViewItem* wrapper, bool keep) {
    wrapper->View_ = &View_;
    wrapper->Issuer_ = this;
    Items_.insert(wrapper);
    if (!keep) return;
    wrapper->IncRef();
    wrapper->Kept_ = true;
}

void TJVCLIssuedItems::release(TJVCLViewItem* wrapper) {
    bool kept = wrapper->Kept_;
    wrapper->Kept_ = false;
    wrapper->DetachVCL();
    if (kept) wrapper->DecRef();
}

void TJVCLIssuedItems::ReleaseAll() {
    while (!Items_.empty()) release(*Items_.begin());
}
