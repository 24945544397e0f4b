// The tree view's wrappers: the control's properties, methods and events,
// the nodes collection, and the node wrapper with its script Data, kept for
// the node's whole life.
#include "bridge/treeview.h"

#include "bridge/caster.h"
#include "engine/core/array.h"
#include "engine/core/published.h"

namespace {

TTreeView& treeOf(TJVCLComponent& self) { return *static_cast<TTreeView*>(self.VCL()); }

void nodeResult(TJVCLBaseTreeView& view, TTreeNode* node, TJValue& result) {
    if (TJVCLBaseTreeNode* wrapper = view.NodeWrapper(node)) MakeObject(wrapper, result);
    else MakeNull(result);
}

bool valueToTreeNode(const TJValue& value, TTreeNode*& node) {
    return valueToViewItem(value, &TJVCLBaseTreeNode::classInfo, node);
}

TTreeNode* nodeArgument(TJVCLPersistent& self, const TJValue& value) {
    TTreeNode* node;
    if (!valueToTreeNode(value, node)) self.RaiseArgumentsError();
    return node;
}

// ==== Tree view ====

template <TTreeNode* (TTreeView::*Get)() const>
void getNodeProperty(const TObject* instance, TPropValue& value) {
    auto& view = const_cast<TJVCLBaseTreeView&>(*static_cast<const TJVCLBaseTreeView*>(instance));
    TTreeView& tree = bridge_detail::linked<TTreeView>(view);
    TTreeNode* node = nullptr;
    view.GuardVCL([&] { node = (tree.*Get)(); });
    value.Object = view.NodeWrapper(node);
}

template <void (TTreeView::*Set)(TTreeNode*)>
void setNodeProperty(TObject* instance, const TPropValue& value) {
    auto& view = *static_cast<TJVCLBaseTreeView*>(instance);
    TTreeView& tree = bridge_detail::linked<TTreeView>(view);
    TJValue given;
    if (value.Object) MakeObject(static_cast<TJObject*>(value.Object), given);
    else MakeNull(given);
    TTreeNode* node = nodeArgument(view, given);
    view.GuardVCL([&] { (tree.*Set)(node); });
}

template <TTreeNode* (TTreeView::*Get)() const, void (TTreeView::*Set)(TTreeNode*)>
constexpr TPropInfo NodeProperty(const char* name) {
    return {name, TTypeKind::Class, &TJObject::classInfo, &getNodeProperty<Get>, &setNodeProperty<Set>};
}

const TPropInfo treeViewProperties[] = {
    ClassProperty<&TJVCLBaseTreeView::ItemsProperty>("Items", &TJObject::classInfo),
    NodeProperty<&TTreeView::Selected, &TTreeView::SetSelected>("Selected"),
    NodeProperty<&TTreeView::DropTarget, &TTreeView::SetDropTarget>("DropTarget"),
    NodeProperty<&TTreeView::TopItem, &TTreeView::SetTopItem>("TopItem"),
};

void treeAlphaSort(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { MakeBool(treeOf(self).AlphaSort(), result); });
}

void treeHitTest(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    self.GuardVCL([&] {
        THitTests hits = treeOf(self).GetHitTestInfoAt(ValueToInteger(args->At(0)), ValueToInteger(args->At(1)));
        MakeString(SetToNameList(&HitTestsInfo, hits), result);
    });
}

void treeNodeAt(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    TTreeNode* node = nullptr;
    self.GuardVCL([&] { node = treeOf(self).GetNodeAt(ValueToInteger(args->At(0)), ValueToInteger(args->At(1))); });
    nodeResult(static_cast<TJVCLBaseTreeView&>(self), node, result);
}

const TJWrapperMethod treeViewMethods[] = {
    {"alphaSort", 0, &treeAlphaSort},
    Call<&TTreeView::FullCollapse>("fullCollapse"),
    Call<&TTreeView::FullExpand>("fullExpand"),
    {"getHitTestInfoAt", 0, &treeHitTest},
    {"getNodeAt", 0, &treeNodeAt},
    Call<&TTreeView::IsEditing>("isEditing"),
    Call<&TTreeView::LoadFromFile>("loadFromFile"),
    Call<&TTreeView::SaveToFile>("saveToFile"),
};

const TJHook treeViewRows[] = {
    OnWith<"OnDeletion", TTVNotifyEvent>(&viewItemDeletion<TJVCLBaseTreeView, TTVNotifyEvent, TTreeNode>),
    On<"OnAdvancedCustomDraw", TLVAdvancedCustomDrawEvent>(),
    On<"OnAdvancedCustomDrawItem", TTVAdvancedCustomDrawItemEvent>(),
    On<"OnChange", TTVNotifyEvent>(),
    On<"OnChanging", TTVAllowEvent>(),
    On<"OnCollapsed", TTVNotifyEvent>(),
    On<"OnCollapsing", TTVAllowEvent>(),
    On<"OnCompare", TTVCompareEvent>(),
    On<"OnCustomDraw", TLVCustomDrawEvent>(),
    On<"OnCustomDrawItem", TTVCustomDrawItemEvent>(),
    On<"OnEdited", TTVEditedEvent>(),
    On<"OnEditing", TTVAllowEvent>(),
    On<"OnExpanded", TTVNotifyEvent>(),
    On<"OnExpanding", TTVAllowEvent>(),
    On<"OnGetImageIndex", TTVNotifyEvent>(),
    On<"OnGetSelectedIndex", TTVNotifyEvent>(),
};
const TJHookPart treeViewHooks[] = {treeViewRows, ClickHooks, DragHooks, FocusHooks, KeyHooks, MouseHooks, StartHooks};

}  // namespace

const TClassInfo TJVCLBaseTreeView::classInfo = makeClassInfo("TJVCLBaseTreeView", &TJVCLWinControl::classInfo,
                                                              treeViewProperties, &scriptCreator<TJVCLBaseTreeView>);

const TJMethodTable& TJVCLBaseTreeView::Methods() const {
    static const TJMethodTable table(treeViewMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseTreeView::Hooks() const { return treeViewHooks; }

// The nodes' wrapper lives by its count alone, outside the runtime's object
// list (which frees in its own order at the end).
void TJVCLBaseTreeView::InitWrapper() {
    TJVCLWinControl::InitWrapper();
    Items_ = createObject<TJVCLBaseTreeNodes>(Runtime(), false, nullptr);
    Items_->IncRef();
}

TJVCLBaseTreeView::~TJVCLBaseTreeView() {
    DetachVCL();
    if (Items_) {
        Items_->SetTreeView(nullptr);
        Items_->DecRef();
    }
}

bool TJVCLBaseTreeView::AttachVCL(TPersistent* object, bool owned) {
    if (!TJVCLWinControl::AttachVCL(object, owned)) return false;
    Items_->AttachVCL(static_cast<TTreeView*>(object)->Items(), false);
    Items_->SetTreeView(this);
    return true;
}

// The nodes stay with the control; their wrappers go from them.
void TJVCLBaseTreeView::DetachVCL() {
    if (auto* tree = static_cast<TTreeView*>(HasVCL() ? VCL() : nullptr)) {
        for (int i = 0; i < tree->Items()->Count(); ++i) Issued_.Deleted(tree->Items()->Item(i));
    }
    Issued_.ReleaseAll();
    if (Items_) {
        Items_->DetachVCL();
        Items_->SetTreeView(nullptr);
    }
    TJVCLWinControl::DetachVCL();
}

// The control is dying (its nodes may be gone already): the wrappers let
// go of them from this side.
void TJVCLBaseTreeView::Unlinked() {
    TJVCLWinControl::Unlinked();
    Issued_.ReleaseAll();
    Items_->DetachVCL();
    Items_->SetTreeView(nullptr);
}

TJVCLBaseTreeNode* TJVCLBaseTreeView::NodeWrapper(TTreeNode* node) {
    return Issued_.WrapperOf<TJVCLBaseTreeNode>(node, true);
}

TObject* TJVCLBaseTreeView::ItemsProperty() const { return Items_; }

// ==== Nodes ====

namespace {

using TAdder = TTreeNode* (TTreeNodes::*)(TTreeNode*, const AnsiString&);

// add, addFirst, addChild, addChildFirst, insert and their "Object" forms:
// the new node's wrapper, with the third argument as its Data when that is
// a script object.
template <TAdder Add, bool WithObject>
void nodesAdd(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, WithObject ? 3 : 2);
    TTreeNode* at = nodeArgument(self, args->At(0));
    TTreeNode* node = nullptr;
    self.GuardVCL([&] { node = (self.Nodes().*Add)(at, ValueToString(args->At(1))); });
    TJVCLBaseTreeNode* wrapper = self.TreeView()->NodeWrapper(node);
    if (WithObject && IsObjectValue(args->At(2))) wrapper->SetDataProperty(args->At(2).ObjValue);
    MakeObject(wrapper, result);
}

template <void (TTreeNodes::*M)()>
void nodesCall(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { (self.Nodes().*M)(); });
}

void nodesDelete(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    TTreeNode* node;
    if (!valueToTreeNode(args->At(0), node) || !node) return;
    self.GuardVCL([&] { self.Nodes().Delete(node); });
}

void nodesFirst(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    nodeResult(*self.TreeView(), self.Nodes().GetFirstNode(), result);
}

// The id is looked up among the tree's own items; it never reaches the
// window as a handle.
void nodesGetNode(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    auto id = static_cast<intptr_t>(ValueToDouble(args->At(0)));
    nodeResult(*self.TreeView(), self.Nodes().GetNode(reinterpret_cast<HTREEITEM>(id)), result);
}

void nodesItem(TJVCLBaseTreeNodes& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int32_t index = ValueToInteger(args->At(0));
    if (index < 0 || index >= self.Nodes().Count()) self.RaiseArgumentsError();
    nodeResult(*self.TreeView(), self.Nodes().Item(index), result);
}

const TJMethod<TJVCLBaseTreeNodes> treeNodesMethods[] = {
    {"add", 0, &nodesAdd<&TTreeNodes::Add, false>},
    {"addFirst", 0, &nodesAdd<&TTreeNodes::AddFirst, false>},
    {"addChild", 0, &nodesAdd<&TTreeNodes::AddChild, false>},
    {"addChildFirst", 0, &nodesAdd<&TTreeNodes::AddChildFirst, false>},
    {"insert", 0, &nodesAdd<&TTreeNodes::Insert, false>},
    {"addObject", 0, &nodesAdd<&TTreeNodes::Add, true>},
    {"addObjectFirst", 0, &nodesAdd<&TTreeNodes::AddFirst, true>},
    {"addChildObject", 0, &nodesAdd<&TTreeNodes::AddChild, true>},
    {"addChildObjectFirst", 0, &nodesAdd<&TTreeNodes::AddChildFirst, true>},
    {"insertObject", 0, &nodesAdd<&TTreeNodes::Insert, true>},
    {"beginUpdate", 0, &nodesCall<&TTreeNodes::BeginUpdate>, TJMethodResult::Self},
    {"endUpdate", 0, &nodesCall<&TTreeNodes::EndUpdate>, TJMethodResult::Self},
    {"clear", 0, &nodesCall<&TTreeNodes::Clear>, TJMethodResult::Self},
    {"delete", 0, &nodesDelete, TJMethodResult::Self},
    {"getFirstNode", 0, &nodesFirst},
    {"getNode", 0, &nodesGetNode},
    {"item", 0, &nodesItem},
};

const TPropInfo treeNodesProperties[] = {
    ClassProperty<&TJVCLBaseTreeNodes::OwnerProperty>("Owner", &TJObject::classInfo),
    IntegerProperty<&TJVCLBaseTreeNodes::LengthProperty>("length"),
};

}  // namespace

const TClassInfo TJVCLBaseTreeNodes::classInfo = makeClassInfo(
    "TJVCLBaseTreeNodes", &TJVCLPersistent::classInfo, treeNodesProperties, &scriptCreator<TJVCLBaseTreeNodes>);

TJVCLBaseTreeNodes::TJVCLBaseTreeNodes(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLPersistent(key, runtime, args) {
    SetClassName("VCLTreeNodes");
}

const TJMethodTable& TJVCLBaseTreeNodes::Methods() const {
    static const TJMethodTable table(treeNodesMethods, TJVCLPersistent::Methods());
    return table;
}

void TJVCLBaseTreeNodes::CheckVCL(TJValueList* args, int minimum) {
    TJVCLPersistent::CheckVCL(args, minimum);
    if (!TreeView_) RaiseVCLError("vcl is null");
}

int32_t TJVCLBaseTreeNodes::LengthProperty() const {
    return HasVCL() ? static_cast<TTreeNodes*>(VCL())->Count() : 0;
}

void TJVCLBaseTreeNodes::GetItem(int32_t index, TJValue& value) {
    MakeNull(value);
    if (TreeView_ && index >= 0 && index < LengthProperty()) nodeResult(*TreeView(), Nodes().Item(index), value);
}

bool TJVCLBaseTreeNodes::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    int32_t index;
    if (HasVCL() && ReadDecimalIndex(name, index)) {
        GetItem(index, value);
        return true;
    }
    return TJVCLPersistent::GetValueImpl(name, value, args);
}

// ==== One node ====

namespace {

using TNodeWalk = TTreeNode* (TTreeNode::*)() const;

template <TNodeWalk Walk>
void nodeWalk(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    nodeResult(*self.TreeView(), (self.Node().*Walk)(), result);
}

template <TTreeNode* (TTreeNode::*Walk)(const TTreeNode*) const>
void nodeChildWalk(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TTreeNode* child = nodeArgument(self, args->At(0));
    nodeResult(*self.TreeView(), (self.Node().*Walk)(child), result);
}

void nodeAlphaSort(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { MakeBool(self.Node().AlphaSort(false), result); });
}

template <void (TTreeNode::*M)(bool)>
void nodeFlagCall(TJVCLBaseTreeNode& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { (self.Node().*M)(ValueToBool(args->At(0))); });
}

template <void (TTreeNode::*M)()>
void nodeCall(TJVCLBaseTreeNode& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TJDispatchHold hold(self);
    self.GuardVCL([&] { (self.Node().*M)(); });
}

void nodeDisplayRect(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] {
        MakeObject(NewRectObject(self.Runtime(), self.Node().DisplayRect(ValueToBool(args->At(0)))), result);
    });
}

void nodeEditText(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { MakeBool(self.Node().EditText(), result); });
}

void nodeHasAsParent(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeBool(self.Node().HasAsParent(nodeArgument(self, args->At(0))), result);
}

void nodeIndexOf(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeInteger(self.Node().IndexOf(nodeArgument(self, args->At(0))), result);
}

void nodeMoveTo(TJVCLBaseTreeNode& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 2);
    TTreeNode* destination = nodeArgument(self, args->At(0));
    auto mode = EnumArgument<TNodeAttachMode>(self, &NodeAttachModeInfo, args->At(1));
    self.GuardVCL([&] { self.Node().MoveTo(destination, mode); });
}

void nodeItem(TJVCLBaseTreeNode& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int32_t index = ValueToInteger(args->At(0));
    if (!HasTwoArgs(args)) return self.ChildAt(index, result);
    self.AssignChild(index, args->At(1));
    result = args->At(1);
}

const TJMethod<TJVCLBaseTreeNode> treeNodeMethods[] = {
    {"alphaSort", 0, &nodeAlphaSort},
    {"collapse", 0, &nodeFlagCall<&TTreeNode::Collapse>, TJMethodResult::Self},
    {"expand", 0, &nodeFlagCall<&TTreeNode::Expand>, TJMethodResult::Self},
    {"delete", 0, &nodeCall<&TTreeNode::Delete>},
    {"deleteChildren", 0, &nodeCall<&TTreeNode::DeleteChildren>, TJMethodResult::Self},
    {"displayRect", 0, &nodeDisplayRect},
    {"editText", 0, &nodeEditText},
    {"endEdit", 0, &nodeFlagCall<&TTreeNode::EndEdit>, TJMethodResult::Self},
    {"getFirstChild", 0, &nodeWalk<&TTreeNode::GetFirstChild>},
    {"getLastChild", 0, &nodeWalk<&TTreeNode::GetLastChild>},
    {"getNext", 0, &nodeWalk<&TTreeNode::GetNext>},
    {"getPrev", 0, &nodeWalk<&TTreeNode::GetPrev>},
    {"getNextSibling", 0, &nodeWalk<&TTreeNode::GetNextSibling>},
    {"getPrevSibling", 0, &nodeWalk<&TTreeNode::GetPrevSibling>},
    {"getNextVisible", 0, &nodeWalk<&TTreeNode::GetNextVisible>},
    {"getPrevVisible", 0, &nodeWalk<&TTreeNode::GetPrevVisible>},
    {"getNextChild", 0, &nodeChildWalk<&TTreeNode::GetNextChild>},
    {"getPrevChild", 0, &nodeChildWalk<&TTreeNode::GetPrevChild>},
    {"hasAsParent", 0, &nodeHasAsParent},
    {"indexOf", 0, &nodeIndexOf},
    {"makeVisible", 0, &nodeCall<&TTreeNode::MakeVisible>, TJMethodResult::Self},
    {"moveTo", 0, &nodeMoveTo, TJMethodResult::Self},
    {"item", 0, &nodeItem},
};

const TPropInfo treeNodeProperties[] = {
    ClassProperty<&TJVCLBaseTreeNode::DataProperty, &TJVCLBaseTreeNode::SetDataProperty>("Data",
                                                                                         &TJObject::classInfo),
    Int64Property<&TJVCLBaseTreeNode::ItemIdProperty>("ItemId"),
    ClassProperty<&TJVCLBaseTreeNode::OwnerProperty>("Owner", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseTreeNode::ParentProperty>("Parent", &TJObject::classInfo),
    ClassProperty<&TJVCLBaseTreeNode::TreeViewProperty>("TreeView", &TJObject::classInfo),
    IntegerProperty<&TJVCLBaseTreeNode::LengthProperty>("length"),
};

}  // namespace

const TClassInfo TJVCLBaseTreeNode::classInfo = makeClassInfo(
    "TJVCLBaseTreeNode", &TJVCLPersistent::classInfo, treeNodeProperties, &scriptCreator<TJVCLBaseTreeNode>);

TJVCLBaseTreeNode::TJVCLBaseTreeNode(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLViewItem(key, runtime, args) {
    SetClassName("VCLTreeNode");
}

// A wrapper freed while still linked (at the end of a run) leaves its node's
// Data empty: a linked node lives.
TJVCLBaseTreeNode::~TJVCLBaseTreeNode() {
    if (HasVCL() && Node().Data() == static_cast<TJVCLViewItem*>(this)) Node().SetData(nullptr);
    DetachVCL();
}

const TJMethodTable& TJVCLBaseTreeNode::Methods() const {
    static const TJMethodTable table(treeNodeMethods, TJVCLPersistent::Methods());
    return table;
}

TObject* TJVCLBaseTreeNode::OwnerProperty() const { return TreeView() ? TreeView()->ItemsProperty() : nullptr; }

TObject* TJVCLBaseTreeNode::ParentProperty() const {
    auto& self = const_cast<TJVCLBaseTreeNode&>(*this);
    self.CheckVCL(nullptr, 0);
    return TreeView()->NodeWrapper(self.Node().Parent());
}

int64_t TJVCLBaseTreeNode::ItemIdProperty() const {
    auto& self = const_cast<TJVCLBaseTreeNode&>(*this);
    self.CheckVCL(nullptr, 0);
    return reinterpret_cast<intptr_t>(self.Node().ItemId());
}

void TJVCLBaseTreeNode::ChildAt(int32_t index, TJValue& result) {
    CheckVCL(nullptr, 0);
    if (index < 0 || index >= Node().Count()) RaiseArgumentsError();
    nodeResult(*TreeView(), Node().Item(index), result);
}

void TJVCLBaseTreeNode::AssignChild(int32_t index, const TJValue& value) {
    CheckVCL(nullptr, 0);
    if (index < 0 || index >= Node().Count()) RaiseArgumentsError();
    TTreeNode* source = nodeArgument(*this, value);
    GuardVCL([&] {
        TTreeNode* target = Node().Item(index);
        TJVCLBaseTreeNode* targetWrapper = TreeView()->NodeWrapper(target);
        target->Assign(source);
        target->SetData(targetWrapper);
        targetWrapper->SetDataProperty(static_cast<TJVCLBaseTreeNode*>(WrapperOfValue(value))->DataProperty());
    });
}

void TJVCLBaseTreeNode::GetItem(int32_t index, TJValue& value) {
    MakeNull(value);
    if (TreeView() && HasVCL() && index >= 0 && index < Node().Count())
        nodeResult(*TreeView(), Node().Item(index), value);
}

bool TJVCLBaseTreeNode::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    int32_t index;
    if (HasVCL() && ReadDecimalIndex(name, index)) {
        ChildAt(index, value);
        return true;
    }
    return TJVCLPersistent::GetValueImpl(name, value, args);
}

bool TJVCLBaseTreeNode::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (HasVCL() && ReadDecimalIndex(name, index)) {
        AssignChild(index, value);
        return true;
    }
    return TJVCLPersistent::SetValueImpl(name, value, args);
}

TJVCLPersistent* TreeNodeWrapperOf(TPersistent* object, TJRuntime* runtime) {
    if (!object || !object->InheritsFrom(&TTreeNode::classInfo)) return nullptr;
    auto* node = static_cast<TTreeNode*>(object);
    TJVCLPersistent* view = Cast(node->TreeView(), runtime);
    if (!view || !view->InheritsFrom(&TJVCLBaseTreeView::classInfo)) return nullptr;
    return static_cast<TJVCLBaseTreeView*>(view)->NodeWrapper(node);
}
