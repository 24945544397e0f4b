// TTreeView over the system's tree view control: its nodes (TTreeNode, kept
// here in their order under one hidden root), a map from the window's item
// handles to nodes, the absolute index in depth-first order (numbered once
// after a change, not walked for each read), sorting, moving, editing in
// place, custom draw, and the tab-indented text file of a tree in code page
// 932. The GUI bridge (bridge/treeview.h) wraps all of it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "ui/listview.h"

class TTreeNodes;
class TTreeView;

// A tree operation the tree cannot do (a node moved under itself, a bad file).
RTL_EXCEPTION(ETreeViewError, Exception);

enum TNodeAttachMode : uint8_t { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
extern const TEnumInfo NodeAttachModeInfo;

class TTreeNode;

using TTVNotifyEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVAllowEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& Allow)>;
using TTVCompareEvent = TEvent<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVEditedEvent = TEvent<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;
using TTVCustomDrawItemEvent =
    TEvent<void(TObject* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    TEvent<void(TObject* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                bool& PaintImages, bool& DefaultDraw)>;
extern const TMethodTypeInfo TVNotifyEventType, TVChangingEventType, TVCollapsingEventType, TVExpandingEventType,
    TVEditingEventType, TVCompareEventType, TVEditedEventType, TVCustomDrawItemEventType,
    TVAdvancedCustomDrawItemEventType;

// ==== Nodes ====

class TTreeNode : public TPersistent {
    RTL_DECLARE_CLASS()
    // The item state the control draws a focus frame for (TVIS_FOCUSED of
    // newer headers).
    static constexpr UINT focusedState = 0x0001;

    TTreeNode(TTreeNodes* owner, TTreeNode* parent);
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return Owner_; }
    TTreeView* TreeView() const;
    // Nil for a top-level node.
    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(Children_.size()); }
    // The child at an index; the list index error outside 0..Count-1.
    TTreeNode* Item(int index) const;
    int Index() const;
    int AbsoluteIndex() const;
    int Level() const;
    // The window's item (the window is made when there is none yet).
    HTREEITEM ItemId() const;
    HWND Handle() const;
    bool Deleting() const { return Deleting_; }

    AnsiString Text() const { return Text_; }
    void SetText(const AnsiString& value);
    void* Data() const { return Data_; }
    void SetData(void* value) { Data_ = value; }
    int ImageIndex() const { return ImageIndex_; }
    void SetImageIndex(int value);
    int SelectedIndex() const { return SelectedIndex_; }
    void SetSelectedIndex(int value);
    int StateIndex() const { return StateIndex_; }
    void SetStateIndex(int value);
    int OverlayIndex() const { return OverlayIndex_; }
    void SetOverlayIndex(int value);
    // Children, or the button of a node whose children come later.
    bool HasChildren() const { return HasChildren_ || !Children_.empty(); }
    void SetHasChildren(bool value);

    bool Expanded() const;
    void SetExpanded(bool value);
    bool Selected() const { return state(TVIS_SELECTED); }
    void SetSelected(bool value);
    bool Focused() const { return state(focusedState); }
    void SetFocused(bool value) { setState(focusedState, value); }
    bool Cut() const { return state(TVIS_CUT); }
    void SetCut(bool value) { setState(TVIS_CUT, value); }
    bool DropTarget() const { return state(TVIS_DROPHILITED); }
    void SetDropTarget(bool value) { setState(TVIS_DROPHILITED, value); }
    // Its ancestors are expanded.
    bool IsVisible() const;

    // ---- Walks ----
    TTreeNode* GetFirstChild() const { return Children_.empty() ? nullptr : Children_.front(); }
    TTreeNode* GetLastChild() const { return Children_.empty() ? nullptr : Children_.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // Depth-first order over the whole tree.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    TTreeNode* GetNextChild(const TTreeNode* child) const;
    TTreeNode* GetPrevChild(const TTreeNode* child) const;
    bool HasAsParent(const TTreeNode* node) const;
    int IndexOf(const TTreeNode* child) const;

    // ---- Actions ----
    // Sorts the children (with recurse every level below); true when sorted.
    bool AlphaSort(bool recurse = false);
    void Collapse(bool recurse);
    void Expand(bool recurse);
    void Delete();
    void DeleteChildren();
    TRect DisplayRect(bool textOnly) const;
    bool EditText();
    void EndEdit(bool cancel);
    void MakeVisible();
    // Moves the node (with its subtree) beside or under the destination (nil:
    // the top level); into its own subtree ETreeViewError, the tree unchanged.
    void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
    // Text, images, states and Data of another node.
    void Assign(const TPersistent* source) override;

private:
    friend class TTreeNodes;
    friend class TTreeView;
    bool state(UINT mask) const;
    void setState(UINT mask, bool value);
    void changed();
    bool isRoot() const { return Parent_ == nullptr; }

    TTreeNodes* Owner_;
    TTreeNode* Parent_;  // the hidden root for a top-level node; nil for the root
    std::vector<TTreeNode*> Children_;
    AnsiString Text_;
    void* Data_ = nullptr;
    HTREEITEM ItemId_ = nullptr;
    int ImageIndex_ = -1, SelectedIndex_ = -1, StateIndex_ = -1, OverlayIndex_ = -1;
    int Index_ = 0, AbsoluteIndex_ = 0;  // numbered by TTreeNodes::number
    UINT States_ = 0;                     // kept while there is no window
    bool HasChildren_ = false;
    bool Expanded_ = false;
    bool Deleting_ = false;
};

class TTreeNodes : public TPersistent {
    RTL_DECLARE_CLASS()
    explicit TTreeNodes(TTreeView* owner);
    ~TTreeNodes() override;
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TTreeView* Owner() const { return Owner_; }
    HWND Handle() const;
    int Count() const { return Count_; }
    // The node of an absolute index; the list index error outside 0..Count-1.
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstNode() const { return Root_->GetFirstChild(); }
    // The node of one of the window's items; nil for a handle the tree does
    // not hold (it is never handed to the window).
    TTreeNode* GetNode(HTREEITEM item) const;

    // Beside a sibling (nil: at the top level) or under a parent (nil: top level).
    TTreeNode* Add(TTreeNode* sibling, const AnsiString& text);
    TTreeNode* AddFirst(TTreeNode* sibling, const AnsiString& text);
    TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
    TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
    // Before the node (nil: last at the top level).
    TTreeNode* Insert(TTreeNode* before, const AnsiString& text);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();

    // The tree as lines of text, each node's depth in leading tabs.
    AnsiString SaveToText() const;
    // Replaces the nodes with those of such a text; a line indented more than
    // one level below the one before, or holding bytes that are not text
    // (NUL, a broken double-byte character), raises ETreeViewError and
    // leaves the tree as it was.
    void LoadFromText(std::string_view text);

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* insertNode(TTreeNode* parent, int position, const AnsiString& text);
    // Makes the window's items of the node and its subtree.
    void insertItems(TTreeNode* node);
    void forgetItems(TTreeNode* node);
    void deleteNode(TTreeNode* node);
    // Numbers the nodes once after a change: the absolute and sibling indexes.
    void number() const;
    void changedOrder() { Numbered_ = false; }

    TTreeView* Owner_;
    std::unique_ptr<TTreeNode> Root_;
    std::unordered_map<HTREEITEM, TTreeNode*> Map_;
    mutable std::vector<TTreeNode*> Flat_;
    mutable bool Numbered_ = true;
    int Count_ = 0;
    TUpdateCount Updates_;
};

// ==== The tree view ====

class TTreeView : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TTreeView(TComponent* owner);

    TTreeNodes* Items() const { return Items_.get(); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    TTreeNode* DropTarget() const;
    void SetDropTarget(TTreeNode* node);
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* node);

    bool ReadOnly() const { return ReadOnly_; }
    void SetReadOnly(bool value);
    bool ShowButtons() const { return ShowButtons_; }
    void SetShowButtons(bool value);
    bool ShowLines() const { return ShowLines_; }
    void SetShowLines(bool value);
    bool ShowRoot() const { return ShowRoot_; }
    void SetShowRoot(bool value);
    bool HideSelection() const { return HideSelection_; }
    void SetHideSelection(bool value);

    // Sorts every level; true when sorted.
    bool AlphaSort();
    void FullCollapse();
    void FullExpand();
    THitTests GetHitTestInfoAt(int x, int y) const;
    TTreeNode* GetNodeAt(int x, int y) const;
    bool IsEditing() const;
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName) const;

    TTVNotifyEvent OnDeletion;
    TTVCompareEvent OnCompare;
    TTVNotifyEvent OnChange;
    TTVAllowEvent OnChanging;
    TTVNotifyEvent OnCollapsed;
    TTVAllowEvent OnCollapsing;
    TTVNotifyEvent OnExpanded;
    TTVAllowEvent OnExpanding;
    TTVAllowEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVNotifyEvent OnGetImageIndex;
    TTVNotifyEvent OnGetSelectedIndex;
    TLVCustomDrawEvent OnCustomDraw;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

protected:
    // Every node is deleted (OnDeletion for each) while the control is whole.
    ~TTreeView() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    TTreeNode* nodeOf(HTREEITEM item) const { return Items_->GetNode(item); }
    void notify(TMessage& message);
    template <class Item>
    void dispInfo(Item& item);
    LRESULT customDraw(NMTVCUSTOMDRAW& draw);
    bool endEdit(HTREEITEM item, const std::optional<AnsiString>& text);
    bool sortChildren(TTreeNode* parent, bool recurse);
    // The window's level in the nodes' new order (the sort's compare callback).
    static int CALLBACK compareSiblings(LPARAM a, LPARAM b, LPARAM);

    std::unique_ptr<TTreeNodes> Items_;
    bool ReadOnly_ = false;
    bool ShowButtons_ = true;
    bool ShowLines_ = true;
    bool ShowRoot_ = true;
    bool HideSelection_ = true;
    bool Sorting_ = false;
};
