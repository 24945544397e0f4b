// The list view's wrappers: the control ("VCLListView"), its items
// ("VCLListItems"), its columns ("VCLListColumns") and one item
// ("VCLListItem"). An item of an ordinary list keeps its one wrapper in its
// Data from the first time it reaches a script (at once when a script adds
// it) until it is deleted; the wrapper is unlinked before the item goes,
// whoever deletes it. An owner-data row is wrapped anew each time. The caster
// (bridge/caster.cpp) reaches item wrappers through ListItemWrapperOf.
#pragma once

#include "bridge/viewitems.h"
#include "bridge/wrapper.h"
#include "ui/listview.h"

template <>
inline constexpr const TEnumInfo* enumInfoOf<TItemChange> = &ItemChangeInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TItemFind> = &ItemFindInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TSearchDirection> = &SearchDirectionInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TCustomDrawStage> = &CustomDrawStageInfo;

class TJBaseStringsObject;
class TJVCLBaseListItem;
class TJVCLBaseListItems;
class TJVCLBaseListColumns;

class TJVCLBaseListView : public TJVCLFamily<TJVCLWinControl, TListView, "VCLListView"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    ~TJVCLBaseListView() override;

    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
    bool AttachVCL(TPersistent* object, bool owned) override;
    // Every item wrapper given out lets its item go first.
    void DetachVCL() override;

    // The item's wrapper (nil for nil): the one its Data keeps, made and
    // kept there on first use; an owner-data row's, new each time.
    TJVCLBaseListItem* ItemWrapper(TListItem* item);
    TJVCLIssuedItems& Issued() { return Issued_; }

    // ---- Published ----
    TObject* ItemsProperty() const;
    TObject* ColumnsProperty() const;

protected:
    void InitWrapper() override;
    void Unlinked() override;

private:
    TJVCLBaseListItems* Items_ = nullptr;
    TJVCLBaseListColumns* Columns_ = nullptr;
    TJVCLIssuedItems Issued_{*this};
};
using TJVCLListView = TJVCLLeaf<"TJVCLListView", TJVCLBaseListView, TListView>;

class TJVCLBaseListItems : public TJVCLPersistent {
    RTL_DECLARE_CLASS()
    TJVCLBaseListItems(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // "vcl is null" also without a list view.
    void CheckVCL(TJValueList* args, int minimum) override;
    const TClassInfo* VCLClass() const override { return &TListItems::classInfo; }
    const TJMethodTable& Methods() const override;
    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override;
    void GetItem(int32_t index, TJValue& value) override;

    TListItems& List() { return *static_cast<TListItems*>(VCL()); }
    TJVCLBaseListView* ListView() const { return ListView_; }
    void SetListView(TJVCLBaseListView* view) { ListView_ = view; }
    // The item at the index, null outside the items.
    void ItemAt(int32_t index, TJValue& result);
    // Copies the value's item onto the item at the index, which keeps its
    // own wrapper and takes the value's script Data; null outside the items.
    void AssignItem(int32_t index, const TJValue& value, TJValue& result);
    TObject* OwnerProperty() const { return ListView_; }
    int32_t LengthProperty() const;

private:
    TJVCLBaseListView* ListView_ = nullptr;  // cleared by the list view's wrapper
};

class TJVCLBaseListColumns : public TJVCLPersistent {
    RTL_DECLARE_CLASS()
    TJVCLBaseListColumns(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    const TClassInfo* VCLClass() const override { return &TListColumns::classInfo; }
    const TJMethodTable& Methods() const override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override;
    void GetItem(int32_t index, TJValue& value) override;
    int32_t CountProperty() const;
};

class TJVCLBaseListItem : public TJVCLViewItem {
    RTL_DECLARE_CLASS()
    TJVCLBaseListItem(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLBaseListItem() override;

    const TClassInfo* VCLClass() const override { return &TListItem::classInfo; }
    const TJMethodTable& Methods() const override;
    // Also the sub-items' target.
    void DetachVCL() override;

    TListItem& Item() { return *static_cast<TListItem*>(VCL()); }
    TJVCLBaseListView* ListView() const { return static_cast<TJVCLBaseListView*>(View()); }

    // ---- Published ----
    TObject* ListViewProperty() const { return ListView(); }
    TObject* OwnerProperty() const;
    TObject* PositionProperty() const;
    void SetPositionProperty(TObject* point);
    TObject* SubItemsProperty() const;

protected:
    void InitWrapper() override;

private:
    TJBaseStringsObject* SubItems_ = nullptr;  // held
};

// The kept (or new) wrapper of a list item for the caster; nil for any
// other object.
TJVCLPersistent* ListItemWrapperOf(TPersistent* object, TJRuntime* runtime);
