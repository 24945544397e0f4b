// What the list view's and the tree view's wrappers share about the items
// their controls keep (list items, tree nodes): one wrapper per item for the
// item's whole life, kept in the item's Data and linked to the view's
// wrapper, which lets every one it gave out go before the items or the
// control go, whatever order the platform tells of it in.
#pragma once

#include <unordered_set>

#include "bridge/controls.h"
#include "bridge/vclpersistent.h"

class TJVCLIssuedItems;

// An item's wrapper: the link to its view's wrapper and the script's Data,
// held, and dropped by free notification when the script frees it.
class TJVCLViewItem : public TJVCLPersistent {
public:
    using TJVCLPersistent::TJVCLPersistent;

    // "vcl is null" also once the view let it go.
    void CheckVCL(TJValueList* args, int minimum) override;
    // Also the view's link and the script Data.
    void DetachVCL() override;
    void FreeNotify(TJNotify* peer) override;

    TObject* DataProperty() const { return Data_; }
    void SetDataProperty(TObject* data);

protected:
    // The view's wrapper; nil once unlinked.
    TJVCLWinControl* View() const { return View_; }

private:
    friend class TJVCLIssuedItems;
    TJVCLWinControl* View_ = nullptr;
    TJVCLIssuedItems* Issuer_ = nullptr;
    bool Kept_ = false;         // its item's Data holds it, with the view's reference
    TJObject* Data_ = nullptr;  // held, and linked for its free notification
};

// The item wrappers a view's wrapper has given out: those the items keep
// (held) and those it makes anew each time (an owner-data row's, not held).
// A dying control's are let go from here, without touching its items.
class TJVCLIssuedItems {
public:
    explicit TJVCLIssuedItems(TJVCLWinControl& view) : View_(view) {}
    TJVCLIssuedItems(const TJVCLIssuedItems&) = delete;
    TJVCLIssuedItems& operator=(const TJVCLIssuedItems&) = delete;

    // The item's wrapper (nil for nil): the one its Data keeps, made on first
    // use; with keep false a new one each time, kept nowhere.
    template <class Wrapper, class Item>
    Wrapper* WrapperOf(Item* item, bool keep) {
        if (!item) return nullptr;
        if (item->Data()) return static_cast<Wrapper*>(static_cast<TJVCLViewItem*>(item->Data()));
        auto* wrapper = createObject<Wrapper>(View_.Runtime(), true, nullptr);
        wrapper->AttachVCL(item, false);
        issue(wrapper, keep);
        if (keep) item->SetData(static_cast<TJVCLViewItem*>(wrapper));
        return wrapper;
    }
    // A deleted item's wrapper lets it go.
    template <class Item>
    void Deleted(Item* item) {
        auto* wrapper = static_cast<TJVCLViewItem*>(item->Data());
        if (!wrapper) return;
        item->SetData(nullptr);
        release(wrapper);
    }
    // Every wrapper given out lets its item go.
    void ReleaseAll();
    // A wrapper unlinked by other means.
    void Forget(TJVCLViewItem* wrapper) { Items_.erase(wrapper); }

private:
    void issue(TJVCLViewItem* wrapper, bool keep);
    // Unlinks the wrapper and drops the reference a kept one had.
    void release(TJVCLViewItem* wrapper);

    TJVCLWinControl& View_;
    std::unordered_set<TJVCLViewItem*> Items_;
};

// Null gives nil; a linked wrapper of the class its item; anything else fails.
template <class Item>
bool valueToViewItem(const TJValue& value, const TClassInfo* wrapperClass, Item*& item) {
    item = nullptr;
    if (IsNullValue(value)) return true;
    TJVCLPersistent* wrapper = WrapperOfValue(value);
    if (!wrapper || !wrapper->InheritsFrom(wrapperClass) || !wrapper->HasVCL()) return false;
    item = static_cast<Item*>(wrapper->VCL());
    return true;
}

// The OnDeletion of a view's items: the script hears of a deletion while the
// item is whole (not while the control itself goes); then the item's wrapper
// lets it go, also when the handler raises.
template <class View, class Event, class Item>
void viewItemDeletion(void* data, TObject* sender, Item* item) {
    auto& view = *static_cast<View*>(data);
    TJDispatchHold hold(view);
    struct Unlink {
        TJVCLIssuedItems& issued;
        Item* item;
        ~Unlink() { issued.Deleted(item); }
    } unlink{view.Issued(), item};
    if (view.HasVCL() && !static_cast<TComponent*>(view.VCL())->IsDestroying())
        TJEventThunk<"OnDeletion", typename Event::Signature>::Call(data, sender, item);
}
