// The list view's wrappers: the control's properties, methods and events,
// the items and columns collections, and the item wrapper with its script
// Data, kept for the item's whole life.
#include "bridge/listview.h"

#include "bridge/caster.h"
#include "engine/core/array.h"
#include "engine/core/published.h"
#include "stdlib/rectobject.h"
#include "stdlib/strings.h"

namespace {

TJVCLBaseListView& viewOf(TJVCLComponent& self) { return static_cast<TJVCLBaseListView&>(self); }
TListView& listOf(TJVCLComponent& self) { return *static_cast<TListView*>(self.VCL()); }

void itemResult(TJVCLBaseListView& view, TListItem* item, TJValue& result) {
    if (TJVCLBaseListItem* wrapper = view.ItemWrapper(item)) MakeObject(wrapper, result);
    else MakeNull(result);
}

bool valueToListItem(const TJValue& value, TListItem*& item) {
    return valueToViewItem(value, &TJVCLBaseListItem::classInfo, item);
}

// ==== List view properties ====

template <TListItem* (TListView::*Get)() const>
void getItemProperty(const TObject* instance, TPropValue& value) {
    auto& view = const_cast<TJVCLBaseListView&>(*static_cast<const TJVCLBaseListView*>(instance));
    TListView& list = bridge_detail::linked<TListView>(view);
    TListItem* item = nullptr;
    view.GuardVCL([&] { item = (list.*Get)(); });
    value.Object = view.ItemWrapper(item);
}

template <void (TListView::*Set)(TListItem*)>
void setItemProperty(TObject* instance, const TPropValue& value) {
    auto& view = *static_cast<TJVCLBaseListView*>(instance);
    TListView& list = bridge_detail::linked<TListView>(view);
    TJValue given;
    if (value.Object) MakeObject(static_cast<TJObject*>(value.Object), given);
    else MakeNull(given);
    TListItem* item;
    if (!valueToListItem(given, item)) view.RaiseArgumentsError();
    view.GuardVCL([&] { (list.*Set)(item); });
}

template <class T, T (TListView::*Get)() const>
void getBoxProperty(const TObject* instance, TPropValue& value) {
    auto& view = const_cast<TJVCLBaseListView&>(*static_cast<const TJVCLBaseListView*>(instance));
    TListView& list = bridge_detail::linked<TListView>(view);
    view.GuardVCL([&] {
        if constexpr (std::is_same_v<T, TPoint>) value.Object = NewPointObject(view.Runtime(), (list.*Get)());
        else value.Object = NewRectObject(view.Runtime(), (list.*Get)());
    });
}

template <TListItem* (TListView::*Get)() const, void (TListView::*Set)(TListItem*) = nullptr>
constexpr TPropInfo ItemProperty(const char* name) {
    TPropSetter set = nullptr;
    if constexpr (Set != nullptr) set = &setItemProperty<Set>;
    return {name, TTypeKind::Class, &TJObject::classInfo, &getItemProperty<Get>, set};
}

const TPropInfo listViewProperties[] = {
    ClassProperty<&TJVCLBaseListView::ItemsProperty>("items", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseListView::ColumnsProperty>("column", &TJObject::classInfo),
    ItemProperty<&TListView::Selected, &TListView::SetSelected>("Selected"),
    ItemProperty<&TListView::ItemFocused, &TListView::SetItemFocused>("ItemFocused"),
    ItemProperty<&TListView::DropTarget, &TListView::SetDropTarget>("DropTarget"),
    ItemProperty<&TListView::TopItem>("TopItem"),
    Forward<&TListView::ItemIndex, &TListView::SetItemIndex>("ItemIndex"),
    Forward<&TListView::SelCount>("SelCount"),
    Forward<&TListView::VisibleRowCount>("VisibleRowCount"),
    {"ViewOrigin", TTypeKind::Class, &TJObject::classInfo, &getBoxProperty<TPoint, &TListView::ViewOrigin>, nullptr},
    {"BoundingRect", TTypeKind::Class, &TJObject::classInfo, &getBoxProperty<TRect, &TListView::BoundingRect>,
     nullptr},
};

// ==== List view methods ====

void alphaSort(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { MakeBool(listOf(self).AlphaSort(), result); });
}

void arrange(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    auto code = EnumArgument<TListArrangement>(self, &ListArrangementInfo, args->At(0));
    self.GuardVCL([&] { listOf(self).Arrange(code); });
}

void findCaption(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 5);
    TListItem* item = nullptr;
    self.GuardVCL([&] {
        item = listOf(self).FindCaption(ValueToInteger(args->At(0)), ValueToString(args->At(1)),
                                        ValueToBool(args->At(2)), ValueToBool(args->At(3)), ValueToBool(args->At(4)));
    });
    itemResult(viewOf(self), item, result);
}

void findData(TJVCLComponent&, TJValueList*, TJValue&) {}

void getHitTestInfoAt(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    self.GuardVCL([&] {
        THitTests hits = listOf(self).GetHitTestInfoAt(ValueToInteger(args->At(0)), ValueToInteger(args->At(1)));
        MakeString(SetToNameList(&HitTestsInfo, hits), result);
    });
}

void getItemAt(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    TListItem* item = nullptr;
    self.GuardVCL([&] { item = listOf(self).GetItemAt(ValueToInteger(args->At(0)), ValueToInteger(args->At(1))); });
    itemResult(viewOf(self), item, result);
}

void getNearestItem(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    TPoint point = PointArgument(self, args->At(0));
    auto direction = EnumArgument<TSearchDirection>(self, &SearchDirectionInfo, args->At(1));
    TListItem* item = nullptr;
    self.GuardVCL([&] { item = listOf(self).GetNearestItem(point, direction); });
    itemResult(viewOf(self), item, result);
}

void getNextItem(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 3);
    TListItem* start;
    if (!valueToListItem(args->At(0), start) || !start) self.RaiseArgumentsError();
    auto direction = EnumArgument<TSearchDirection>(self, &SearchDirectionInfo, args->At(1));
    auto states = static_cast<TItemStates>(NameListToSet(&ItemStatesInfo, ValueToString(args->At(2)).view()));
    TListItem* item = nullptr;
    self.GuardVCL([&] { item = listOf(self).GetNextItem(start, direction, states); });
    itemResult(viewOf(self), item, result);
}

void scroll(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 2);
    self.GuardVCL([&] { listOf(self).Scroll(ValueToInteger(args->At(0)), ValueToInteger(args->At(1))); });
}

const TJWrapperMethod listViewMethods[] = {
    {"alphaSort", 0, &alphaSort},
    {"arrange", 0, &arrange, TJMethodResult::Self},
    {"findCaption", 0, &findCaption},
    {"findData", 0, &findData},
    {"getHitTestInfoAt", 0, &getHitTestInfoAt},
    {"getItemAt", 0, &getItemAt},
    {"getNearestItem", 0, &getNearestItem},
    {"getNextItem", 0, &getNextItem},
    Call<&TListView::GetSearchString>("getSearchString"),
    Call<&TListView::IsEditing>("isEditing"),
    {"scroll", 0, &scroll, TJMethodResult::Self},
    Call<&TListView::StringWidth>("stringWidth"),
    Call<&TListView::UpdateItems>("updateItems"),
};

// ==== Events ====

// A new item gets its wrapper before the script hears of it.
void insertThunk(void* data, TObject* sender, TListItem* item) {
    auto& view = *static_cast<TJVCLBaseListView*>(data);
    view.ItemWrapper(item);
    TJEventThunk<"OnInsert", TLVNotifyEvent::Signature>::Call(data, sender, item);
}

const TJHook listViewRows[] = {
    OnWith<"OnInsert", TLVNotifyEvent>(&insertThunk),
    OnWith<"OnDeletion", TLVNotifyEvent>(&viewItemDeletion<TJVCLBaseListView, TLVNotifyEvent, TListItem>),
    On<"OnAdvancedCustomDraw", TLVAdvancedCustomDrawEvent>(),
    On<"OnAdvancedCustomDrawItem", TLVAdvancedCustomDrawItemEvent>(),
    On<"OnAdvancedCustomDrawSubItem", TLVAdvancedCustomDrawSubItemEvent>(),
    On<"OnChange", TLVChangeEvent>(),
    On<"OnColumnClick", TLVColumnClickEvent>(),
    On<"OnCompare", TLVCompareEvent>(),
    On<"OnCustomDraw", TLVCustomDrawEvent>(),
    On<"OnCustomDrawItem", TLVCustomDrawItemEvent>(),
    On<"OnCustomDrawSubItem", TLVCustomDrawSubItemEvent>(),
    On<"OnData", TLVNotifyEvent>(),
    On<"OnDataFind", TLVOwnerDataFindEvent>(),
    On<"OnDataHint", TLVOwnerDataHintEvent>(),
    On<"OnEdited", TLVEditedEvent>(),
    On<"OnEditing", TLVEditingEvent>(),
    On<"OnSelectItem", TLVSelectItemEvent>(),
    On<"OnResize", TNotifyEvent>(),
};
const TJHookPart listViewHooks[] = {listViewRows, ClickHooks, DragHooks, FocusHooks, KeyHooks, MouseHooks, StartHooks};

}  // namespace

// ==== The list view wrapper ====

const TClassInfo TJVCLBaseListView::classInfo = makeClassInfo("TJVCLBaseListView", &TJVCLWinControl::classInfo,
                                                              listViewProperties, &scriptCreator<TJVCLBaseListView>);

const TJMethodTable& TJVCLBaseListView::Methods() const {
    static const TJMethodTable table(listViewMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseListView::Hooks() const { return listViewHooks; }

// The collections' wrappers live by their counts alone, outside the
// runtime's object list (which frees in its own order at the end).
void TJVCLBaseListView::InitWrapper() {
    TJVCLWinControl::InitWrapper();
    Items_ = createObject<TJVCLBaseListItems>(Runtime(), false, nullptr);
    Items_->IncRef();
    Columns_ = createObject<TJVCLBaseListColumns>(Runtime(), false, nullptr);
    Columns_->IncRef();
}

TJVCLBaseListView::~TJVCLBaseListView() {
    DetachVCL();
    if (Items_) {
        Items_->SetListView(nullptr);
        Items_->DecRef();
    }
    if (Columns_) Columns_->DecRef();
}

bool TJVCLBaseListView::AttachVCL(TPersistent* object, bool owned) {
    if (!TJVCLWinControl::AttachVCL(object, owned)) return false;
    auto* list = static_cast<TListView*>(object);
    Items_->AttachVCL(list->Items(), false);
    Items_->SetListView(this);
    Columns_->AttachVCL(list->Columns(), false);
    return true;
}

// The items stay with the control; their wrappers go from them.
void TJVCLBaseListView::DetachVCL() {
    if (auto* list = static_cast<TListView*>(HasVCL() ? VCL() : nullptr); list && !list->OwnerData()) {
        for (int i = 0; i < list->Items()->Count(); ++i) Issued_.Deleted(list->Items()->Item(i));
    }
    Issued_.ReleaseAll();
    if (Items_) {
        Items_->DetachVCL();
        Items_->SetListView(nullptr);
    }
    if (Columns_) Columns_->DetachVCL();
    TJVCLWinControl::DetachVCL();
}

// The control is dying (its items may be gone already): the wrappers let
// go of them from this side.
void TJVCLBaseListView::Unlinked() {
    TJVCLWinControl::Unlinked();
    Issued_.ReleaseAll();
    Items_->DetachVCL();
    Items_->SetListView(nullptr);
    Columns_->DetachVCL();
}

TJVCLBaseListItem* TJVCLBaseListView::ItemWrapper(TListItem* item) {
    return Issued_.WrapperOf<TJVCLBaseListItem>(item, item && !item->ListView()->OwnerData());
}

TObject* TJVCLBaseListView::ItemsProperty() const { return Items_; }
TObject* TJVCLBaseListView::ColumnsProperty() const { return Columns_; }

// ==== Items ====

namespace {

void itemsAdd(TJVCLBaseListItems& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    TListItem* item = nullptr;
    self.ListView()->GuardVCL([&] { item = self.List().Add(); });
    itemResult(*self.ListView(), item, result);
}

void itemsInsert(TJVCLBaseListItems& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TListItem* item = nullptr;
    self.ListView()->GuardVCL([&] { item = self.List().Insert(ValueToInteger(args->At(0))); });
    itemResult(*self.ListView(), item, result);
}

template <void (TListItems::*M)()>
void itemsCall(TJVCLBaseListItems& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    self.ListView()->GuardVCL([&] { (self.List().*M)(); });
}

void itemsDelete(TJVCLBaseListItems& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.ListView()->GuardVCL([&] { self.List().Delete(ValueToInteger(args->At(0))); });
}

void itemsIndexOf(TJVCLBaseListItems& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TListItem* item;
    if (!valueToListItem(args->At(0), item)) self.RaiseArgumentsError();
    MakeInteger(self.List().IndexOf(item), result);
}

void itemsItem(TJVCLBaseListItems& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    if (HasTwoArgs(args)) self.AssignItem(ValueToInteger(args->At(0)), args->At(1), result);
    else self.ItemAt(ValueToInteger(args->At(0)), result);
}

const TJMethod<TJVCLBaseListItems> listItemsMethods[] = {
    {"add", 0, &itemsAdd},
    {"beginUpdate", 0, &itemsCall<&TListItems::BeginUpdate>, TJMethodResult::Self},
    {"clear", 0, &itemsCall<&TListItems::Clear>, TJMethodResult::Self},
    {"delete", 0, &itemsDelete, TJMethodResult::Self},
    {"endUpdate", 0, &itemsCall<&TListItems::EndUpdate>, TJMethodResult::Self},
    {"indexOf", 0, &itemsIndexOf},
    {"insert", 0, &itemsInsert},
    {"item", 0, &itemsItem},
};

const TPropInfo listItemsProperties[] = {
    ClassProperty<&TJVCLBaseListItems::OwnerProperty>("Owner", &TJObject::classInfo),
    IntegerProperty<&TJVCLBaseListItems::LengthProperty>("length"),
};

}  // namespace

const TClassInfo TJVCLBaseListItems::classInfo = makeClassInfo(
    "TJVCLBaseListItems", &TJVCLPersistent::classInfo, listItemsProperties, &scriptCreator<TJVCLBaseListItems>);

TJVCLBaseListItems::TJVCLBaseListItems(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLPersistent(key, runtime, args) {
    SetClassName("VCLListItems");
}

const TJMethodTable& TJVCLBaseListItems::Methods() const {
    static const TJMethodTable table(listItemsMethods, TJVCLPersistent::Methods());
    return table;
}

void TJVCLBaseListItems::CheckVCL(TJValueList* args, int minimum) {
    TJVCLPersistent::CheckVCL(args, minimum);
    if (!ListView_) RaiseVCLError("vcl is null");
}

int32_t TJVCLBaseListItems::LengthProperty() const {
    return HasVCL() ? static_cast<TListItems*>(VCL())->Count() : 0;
}

int32_t TJVCLBaseListItems::GetLength() { return LengthProperty(); }

void TJVCLBaseListItems::GetItem(int32_t index, TJValue& value) { ItemAt(index, value); }

void TJVCLBaseListItems::ItemAt(int32_t index, TJValue& result) {
    CheckVCL(nullptr, 0);
    MakeNull(result);
    if (index < 0 || index >= List().Count()) return;
    TListItem* item = nullptr;
    ListView_->GuardVCL([&] { item = List().Item(index); });
    itemResult(*ListView_, item, result);
}

// A target without a wrapper (an owner-data row) takes only the item's copy.
void TJVCLBaseListItems::AssignItem(int32_t index, const TJValue& value, TJValue& result) {
    CheckVCL(nullptr, 0);
    MakeNull(result);
    if (index < 0 || index >= List().Count()) return;
    TListItem* source;
    if (!valueToListItem(value, source)) RaiseArgumentsError();
    ListView_->GuardVCL([&] {
        TListItem* target = List().Item(index);
        void* kept = target->Data();
        target->Assign(source);
        target->SetData(kept);
        auto* targetWrapper = static_cast<TJVCLViewItem*>(kept);
        auto* sourceWrapper = static_cast<TJVCLBaseListItem*>(WrapperOfValue(value));
        if (targetWrapper) targetWrapper->SetDataProperty(sourceWrapper->DataProperty());
    });
    result = value;
}

bool TJVCLBaseListItems::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    int32_t index;
    if (HasVCL() && ReadDecimalIndex(name, index)) {
        ItemAt(index, value);
        return true;
    }
    return TJVCLPersistent::GetValueImpl(name, value, args);
}

bool TJVCLBaseListItems::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (HasVCL() && ReadDecimalIndex(name, index)) {
        TJValue result;
        AssignItem(index, value, result);
        return true;
    }
    return TJVCLPersistent::SetValueImpl(name, value, args);
}

// ==== Columns ====

namespace {

void columnResult(TJVCLBaseListColumns& self, TListColumn* column, TJValue& result) {
    if (TJVCLPersistent* wrapper = Cast(column, self.Runtime())) MakeObject(wrapper, result);
    else MakeNull(result);
}

void columnsItems(TJVCLBaseListColumns& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int32_t index = ValueToInteger(args->At(0));
    auto& columns = *static_cast<TListColumns*>(self.VCL());
    if (index < 0 || index >= columns.Count()) self.RaiseArgumentsError();
    columnResult(self, columns.Items(index), result);
}

void columnsAdd(TJVCLBaseListColumns& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    columnResult(self, static_cast<TListColumns*>(self.VCL())->Add(), result);
}

const TJMethod<TJVCLBaseListColumns> listColumnsMethods[] = {
    {"items", 0, &columnsItems},
    {"add", 0, &columnsAdd},
};

const TPropInfo listColumnsProperties[] = {
    IntegerProperty<&TJVCLBaseListColumns::CountProperty>("Count"),
    IntegerProperty<&TJVCLBaseListColumns::CountProperty>("length"),
};

}  // namespace

const TClassInfo TJVCLBaseListColumns::classInfo =
    makeClassInfo("TJVCLBaseListColumns", &TJVCLPersistent::classInfo, listColumnsProperties,
                  &scriptCreator<TJVCLBaseListColumns>);

TJVCLBaseListColumns::TJVCLBaseListColumns(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLPersistent(key, runtime, args) {
    SetClassName("VCLListColumns");
}

const TJMethodTable& TJVCLBaseListColumns::Methods() const {
    static const TJMethodTable table(listColumnsMethods, TJVCLPersistent::Methods());
    return table;
}

int32_t TJVCLBaseListColumns::CountProperty() const {
    return HasVCL() ? static_cast<TListColumns*>(VCL())->Count() : 0;
}

int32_t TJVCLBaseListColumns::GetLength() { return CountProperty(); }

void TJVCLBaseListColumns::GetItem(int32_t index, TJValue& value) {
    MakeNull(value);
    if (index >= 0 && index < CountProperty()) columnResult(*this, static_cast<TListColumns*>(VCL())->Items(index), value);
}

// ==== One item ====

namespace {

template <void (TListItem::*M)()>
void itemCall(TJVCLBaseListItem& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { (self.Item().*M)(); });
}

void itemDelete(TJVCLBaseListItem& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TJDispatchHold hold(self);
    self.GuardVCL([&] { self.Item().Delete(); });
}

void itemDisplayRect(TJVCLBaseListItem& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeNull(result);
    int code;
    if (!ValueToEnum(&DisplayCodeInfo, args->At(0), code)) return;
    self.GuardVCL([&] { MakeObject(NewRectObject(self.Runtime(), self.Item().DisplayRect(TDisplayCode(code))), result); });
}

void itemEditCaption(TJVCLBaseListItem& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { MakeBool(self.Item().EditCaption(), result); });
}

void itemMakeVisible(TJVCLBaseListItem& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { self.Item().MakeVisible(ValueToBool(args->At(0))); });
}

void itemWorkArea(TJVCLBaseListItem& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    MakeInteger(self.Item().WorkArea(), result);
}

// Outside the sub-items -1, and nothing set.
void itemSubItemImages(TJVCLBaseListItem& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int index = ValueToInteger(args->At(0));
    TListItem& item = self.Item();
    if (index < 0 || index >= item.SubItems()->Count()) return MakeInteger(-1, result);
    if (!HasTwoArgs(args)) return MakeInteger(item.SubItemImages(index), result);
    self.GuardVCL([&] { item.SetSubItemImages(index, ValueToInteger(args->At(1))); });
    result = args->At(1);
}

const TJMethod<TJVCLBaseListItem> listItemMethods[] = {
    {"cancelEdit", 0, &itemCall<&TListItem::CancelEdit>, TJMethodResult::Self},
    {"delete", 0, &itemDelete},
    {"displayRect", 0, &itemDisplayRect},
    {"editCaption", 0, &itemEditCaption},
    {"makeVisible", 0, &itemMakeVisible, TJMethodResult::Self},
    {"update", 0, &itemCall<&TListItem::Update>, TJMethodResult::Self},
    {"workArea", 0, &itemWorkArea},
    {"subItemImages", 0, &itemSubItemImages},
};

const TPropInfo listItemProperties[] = {
    ClassProperty<&TJVCLBaseListItem::DataProperty, &TJVCLBaseListItem::SetDataProperty>("Data",
                                                                                         &TJObject::classInfo),
    ClassProperty<&TJVCLBaseListItem::ListViewProperty>("ListView", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseListItem::OwnerProperty>("Owner", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseListItem::PositionProperty, &TJVCLBaseListItem::SetPositionProperty>(
        "Position", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseListItem::SubItemsProperty>("SubItems", &TJObject::classInfo),
};

}  // namespace

const TClassInfo TJVCLBaseListItem::classInfo = makeClassInfo(
    "TJVCLBaseListItem", &TJVCLPersistent::classInfo, listItemProperties, &scriptCreator<TJVCLBaseListItem>);

TJVCLBaseListItem::TJVCLBaseListItem(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLViewItem(key, runtime, args) {
    SetClassName("VCLListItem");
}

void TJVCLBaseListItem::InitWrapper() {
    TJVCLViewItem::InitWrapper();
    SubItems_ = createObject<TJBaseStringsObject>(Runtime(), false, nullptr);
    SubItems_->IncRef();
}

// A wrapper freed while still linked (at the end of a run) leaves its
// item's Data empty: a linked item lives.
TJVCLBaseListItem::~TJVCLBaseListItem() {
    if (HasVCL() && Item().Data() == static_cast<TJVCLViewItem*>(this)) Item().SetData(nullptr);
    DetachVCL();
    if (SubItems_) SubItems_->DecRef();
}

const TJMethodTable& TJVCLBaseListItem::Methods() const {
    static const TJMethodTable table(listItemMethods, TJVCLPersistent::Methods());
    return table;
}

void TJVCLBaseListItem::DetachVCL() {
    if (SubItems_) SubItems_->SetStrings(nullptr);
    TJVCLViewItem::DetachVCL();
}

TObject* TJVCLBaseListItem::OwnerProperty() const { return ListView() ? ListView()->ItemsProperty() : nullptr; }

TObject* TJVCLBaseListItem::PositionProperty() const {
    auto& self = const_cast<TJVCLBaseListItem&>(*this);
    self.CheckVCL(nullptr, 0);
    TJObject* point = nullptr;
    self.GuardVCL([&] { point = NewPointObject(self.Runtime(), self.Item().Position()); });
    return point;
}

void TJVCLBaseListItem::SetPositionProperty(TObject* point) {
    CheckVCL(nullptr, 0);
    if (!point) RaiseVCLError("");
    TJValue value;
    MakeObject(static_cast<TJObject*>(point), value);
    TPoint position = PointArgument(*this, value);
    GuardVCL([&] { Item().SetPosition(position); });
}

TObject* TJVCLBaseListItem::SubItemsProperty() const {
    auto& self = const_cast<TJVCLBaseListItem&>(*this);
    self.CheckVCL(nullptr, 0);
    SubItems_->SetStrings(self.Item().SubItems());
    return SubItems_;
}

TJVCLPersistent* ListItemWrapperOf(TPersistent* object, TJRuntime* runtime) {
    if (!object || !object->InheritsFrom(&TListItem::classInfo)) return nullptr;
    auto* item = static_cast<TListItem*>(object);
    TJVCLPersistent* view = Cast(item->ListView(), runtime);
    if (!view || !view->InheritsFrom(&TJVCLBaseListView::classInfo)) return nullptr;
    return static_cast<TJVCLBaseListView*>(view)->ItemWrapper(item);
}
