// The tree view's wrappers: the control ("VCLTreeView"), its nodes
// ("VCLTreeNodes") and one node ("VCLTreeNode"). A node keeps its one wrapper
// in its Data from the first time it reaches a script (at once when a script
// adds it) until it is deleted; the wrapper is unlinked before the node goes,
// whoever deletes it. The caster (bridge/caster.cpp) reaches node wrappers
// through TreeNodeWrapperOf.
#pragma once

#include "bridge/listview.h"  // the custom-draw types and their names
#include "ui/treeview.h"

class TJVCLBaseTreeNode;
class TJVCLBaseTreeNodes;

class TJVCLBaseTreeView : public TJVCLFamily<TJVCLWinControl, TTreeView, "VCLTreeView"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    ~TJVCLBaseTreeView() override;

    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
    bool AttachVCL(TPersistent* object, bool owned) override;
    void DetachVCL() override;

    // The node's wrapper (nil for nil), made and kept in its Data on first use.
    TJVCLBaseTreeNode* NodeWrapper(TTreeNode* node);
    TJVCLIssuedItems& Issued() { return Issued_; }

    TObject* ItemsProperty() const;

protected:
    void InitWrapper() override;
    void Unlinked() override;

private:
    TJVCLBaseTreeNodes* Items_ = nullptr;
    TJVCLIssuedItems Issued_{*this};
};
using TJVCLTreeView = TJVCLLeaf<"TJVCLTreeView", TJVCLBaseTreeView, TTreeView>;

class TJVCLBaseTreeNodes : public TJVCLPersistent {
    RTL_DECLARE_CLASS()
    TJVCLBaseTreeNodes(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    void CheckVCL(TJValueList* args, int minimum) override;
    const TClassInfo* VCLClass() const override { return &TTreeNodes::classInfo; }
    const TJMethodTable& Methods() const override;
    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return LengthProperty(); }
    void GetItem(int32_t index, TJValue& value) override;

    TTreeNodes& Nodes() { return *static_cast<TTreeNodes*>(VCL()); }
    TJVCLBaseTreeView* TreeView() const { return TreeView_; }
    void SetTreeView(TJVCLBaseTreeView* view) { TreeView_ = view; }
    TObject* OwnerProperty() const { return TreeView_; }
    int32_t LengthProperty() const;

private:
    TJVCLBaseTreeView* TreeView_ = nullptr;
};

class TJVCLBaseTreeNode : public TJVCLViewItem {
    RTL_DECLARE_CLASS()
    TJVCLBaseTreeNode(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLBaseTreeNode() override;

    const TClassInfo* VCLClass() const override { return &TTreeNode::classInfo; }
    const TJMethodTable& Methods() const override;
    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return LengthProperty(); }
    void GetItem(int32_t index, TJValue& value) override;

    TTreeNode& Node() { return *static_cast<TTreeNode*>(VCL()); }
    TJVCLBaseTreeView* TreeView() const { return static_cast<TJVCLBaseTreeView*>(View()); }
    // The child at the index; the arguments error outside the children.
    void ChildAt(int32_t index, TJValue& result);
    // Copies the value's node onto the child at the index, which keeps its
    // own wrapper and takes the value's script Data.
    void AssignChild(int32_t index, const TJValue& value);

    // ---- Published ----
    TObject* TreeViewProperty() const { return TreeView(); }
    TObject* OwnerProperty() const;
    TObject* ParentProperty() const;
    int64_t ItemIdProperty() const;
    int32_t LengthProperty() const { return HasVCL() ? static_cast<TTreeNode*>(VCL())->Count() : 0; }
};

// The kept wrapper of a tree node for the caster; nil for any other object.
TJVCLPersistent* TreeNodeWrapperOf(TPersistent* object, TJRuntime* runtime);
