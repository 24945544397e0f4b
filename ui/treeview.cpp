// The tree view: nodes kept here and shown through text callbacks, the item
// handle map, the depth-first numbering, sorting and moving, the tree file,
// editing in place, custom draw, and the window's notifications in both
// character forms.
#include "ui/treeview.h"

#include <algorithm>
#include <cstring>

#include "rtl/codepage.h"
#include "rtl/fileio.h"
#include "ui/controlprops.h"

namespace {

const char* const attachModeNames[] = {"naAdd", "naAddFirst", "naAddChild", "naAddChildFirst", "naInsert"};

}  // namespace

const TEnumInfo NodeAttachModeInfo{"TNodeAttachMode", attachModeNames, 5};
const TMethodTypeInfo TVNotifyEventType{"TTVExpandedEvent"}, TVChangingEventType{"TTVChangingEvent"},
    TVCollapsingEventType{"TTVCollapsingEvent"}, TVExpandingEventType{"TTVExpandingEvent"},
    TVEditingEventType{"TTVEditingEvent"}, TVCompareEventType{"TTVCompareEvent"},
    TVEditedEventType{"TTVEditedEvent"}, TVCustomDrawItemEventType{"TTVCustomDrawItemEvent"},
    TVAdvancedCustomDrawItemEventType{"TTVAdvancedCustomDrawItemEvent"};

// ==== Nodes ====

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : Owner_(owner), Parent_(parent) {}

TTreeView* TTreeNode::TreeView() const { return Owner_->Owner(); }

TTreeNode* TTreeNode::Parent() const { return Parent_ && !Parent_->isRoot() ? Parent_ : nullptr; }

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return Children_[static_cast<size_t>(index)];
}

int TTreeNode::Index() const {
    Owner_->number();
    return Index_;
}

int TTreeNode::AbsoluteIndex() const {
    Owner_->number();
    return AbsoluteIndex_;
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* parent = Parent(); parent; parent = parent->Parent()) ++level;
    return level;
}

HTREEITEM TTreeNode::ItemId() const {
    TreeView()->HandleNeeded();
    return ItemId_;
}

HWND TTreeNode::Handle() const { return TreeView()->HandleAllocated() ? TreeView()->Handle() : nullptr; }

void TTreeNode::SetText(const AnsiString& value) {
    if (value == Text_) return;
    Text_ = value;
    changed();
}

void TTreeNode::SetImageIndex(int value) {
    ImageIndex_ = value;
    changed();
}

void TTreeNode::SetSelectedIndex(int value) {
    SelectedIndex_ = value;
    changed();
}

void TTreeNode::SetStateIndex(int value) {
    StateIndex_ = value;
    changed();
}

void TTreeNode::SetOverlayIndex(int value) {
    OverlayIndex_ = value;
    changed();
}

void TTreeNode::SetHasChildren(bool value) {
    HasChildren_ = value;
    changed();
}

// The window asks for the text and images again.
void TTreeNode::changed() {
    if (!ItemId_) return;
    RECT rect{};
    std::memcpy(&rect, &ItemId_, sizeof ItemId_);  // the item goes in as the rectangle's first bytes
    if (TreeView()->send(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(TreeView()->Handle(), &rect, TRUE);
}

bool TTreeNode::state(UINT mask) const {
    if (!ItemId_) return States_ & mask;
    return TreeView()->send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(ItemId_), mask) & mask;
}

void TTreeNode::setState(UINT mask, bool value) {
    States_ = value ? States_ | mask : States_ & ~mask;
    if (!ItemId_) return;
    TVITEMA item{};
    item.mask = TVIF_STATE;
    item.hItem = ItemId_;
    item.stateMask = mask;
    item.state = value ? mask : 0;
    TreeView()->send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetSelected(bool value) {
    if (ItemId_ && value) TreeView()->send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemId_));
    else setState(TVIS_SELECTED, value);
}

bool TTreeNode::Expanded() const {
    if (ItemId_) return state(TVIS_EXPANDED);
    return Expanded_ && HasChildren();
}

void TTreeNode::SetExpanded(bool value) {
    Expanded_ = value;
    if (ItemId_) TreeView()->send(TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(ItemId_));
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* parent = Parent(); parent; parent = parent->Parent())
        if (!parent->Expanded()) return false;
    return true;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    if (isRoot()) return nullptr;
    int index = Index();
    return index + 1 < Parent_->Count() ? Parent_->Children_[static_cast<size_t>(index + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    if (isRoot()) return nullptr;
    int index = Index();
    return index > 0 ? Parent_->Children_[static_cast<size_t>(index - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    int index = AbsoluteIndex();
    return index + 1 < Owner_->Count() ? Owner_->Flat_[static_cast<size_t>(index + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    int index = AbsoluteIndex();
    return index > 0 ? Owner_->Flat_[static_cast<size_t>(index - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    for (TTreeNode* node = GetNext(); node; node = node->GetNext())
        if (node->IsVisible()) return node;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    for (TTreeNode* node = GetPrev(); node; node = node->GetPrev())
        if (node->IsVisible()) return node;
    return nullptr;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* child) const {
    return IndexOf(child) >= 0 ? child->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* child) const {
    return IndexOf(child) >= 0 ? child->GetPrevSibling() : nullptr;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
    if (!node) return false;
    for (TTreeNode* parent = Parent(); parent; parent = parent->Parent())
        if (parent == node) return true;
    return false;
}

int TTreeNode::IndexOf(const TTreeNode* child) const {
    return child && child->Parent_ == this ? child->Index() : -1;
}

bool TTreeNode::AlphaSort(bool recurse) { return TreeView()->sortChildren(this, recurse); }

void TTreeNode::Collapse(bool recurse) {
    SetExpanded(false);
    if (recurse)
        for (TTreeNode* child : Children_) child->Collapse(true);
}

void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (TTreeNode* child : Children_) child->Expand(true);
}

void TTreeNode::Delete() { Owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!Children_.empty()) Owner_->Delete(Children_.back());
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    RECT rect{};
    HTREEITEM item = ItemId();
    std::memcpy(&rect, &item, sizeof item);
    if (!TreeView()->send(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect))) rect = {};
    return rect;
}

bool TTreeNode::EditText() {
    HTREEITEM item = ItemId();
    TreeView()->SetFocus();
    return TreeView()->send(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

void TTreeNode::EndEdit(bool cancel) {
    if (TreeView()->HandleAllocated()) TreeView()->send(TVM_ENDEDITLABELNOW, cancel);
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* parent = Parent(); parent; parent = parent->Parent()) parent->SetExpanded(true);
    TreeView()->send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ItemId()));
}

// The subtree leaves the window and comes back at its new place, with the
// expansion it had; the nodes stay the same objects.
void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
    if (destination == this && (mode == naAddChild || mode == naAddChildFirst))
        throw ETreeViewError(AnsiString("A node cannot be moved into its own subtree"));
    if (destination && destination->HasAsParent(this))
        throw ETreeViewError(AnsiString("A node cannot be moved into its own subtree"));
    if (destination && destination->Owner_ != Owner_) throw ETreeViewError(AnsiString("The node is of another tree"));
    if (destination == this) return;
    TTreeNode* root = Owner_->Root_.get();
    TTreeNode* parent = mode == naAddChild || mode == naAddChildFirst ? (destination ? destination : root)
                                                                     : (destination ? destination->Parent_ : root);
    Owner_->number();
    for (TTreeNode* node = this; node; node = node->GetNext()) {
        if (node != this && !node->HasAsParent(this)) break;
        node->Expanded_ = node->Expanded();
    }
    if (ItemId_) {
        HTREEITEM item = ItemId_;
        Owner_->forgetItems(this);
        TreeView()->send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
    auto& from = Parent_->Children_;
    from.erase(std::find(from.begin(), from.end(), this));
    auto& to = parent->Children_;
    size_t position = to.size();
    if (mode == naAddFirst || mode == naAddChildFirst) position = 0;
    else if (mode == naInsert && destination) position = static_cast<size_t>(std::find(to.begin(), to.end(), destination) - to.begin());
    to.insert(to.begin() + static_cast<std::ptrdiff_t>(position), this);
    Parent_ = parent;
    Owner_->changedOrder();
    if (TreeView()->HandleAllocated()) Owner_->insertItems(this);
}

void TTreeNode::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&classInfo)) return TPersistent::Assign(source);
    auto* node = static_cast<const TTreeNode*>(source);
    if (node == this) return;
    Text_ = node->Text_;
    Data_ = node->Data_;
    ImageIndex_ = node->ImageIndex_;
    SelectedIndex_ = node->SelectedIndex_;
    StateIndex_ = node->StateIndex_;
    OverlayIndex_ = node->OverlayIndex_;
    HasChildren_ = node->HasChildren_;
    for (UINT mask : {UINT(TVIS_CUT), UINT(TVIS_DROPHILITED)}) setState(mask, node->state(mask));
    changed();
}

// ==== The node list ====

TTreeNodes::TTreeNodes(TTreeView* owner) : Owner_(owner), Root_(std::make_unique<TTreeNode>(this, nullptr)) {}

TTreeNodes::~TTreeNodes() {
    std::vector<TTreeNode*> stack(Root_->Children_);
    while (!stack.empty()) {
        TTreeNode* node = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), node->Children_.begin(), node->Children_.end());
        delete node;
    }
}

HWND TTreeNodes::Handle() const { return Owner_->HandleAllocated() ? Owner_->Handle() : nullptr; }

void TTreeNodes::number() const {
    if (Numbered_) return;
    Flat_.clear();
    Flat_.reserve(static_cast<size_t>(Count_));
    std::vector<TTreeNode*> stack;
    for (auto child = Root_->Children_.rbegin(); child != Root_->Children_.rend(); ++child) stack.push_back(*child);
    while (!stack.empty()) {
        TTreeNode* node = stack.back();
        stack.pop_back();
        node->AbsoluteIndex_ = static_cast<int>(Flat_.size());
        Flat_.push_back(node);
        for (size_t i = node->Children_.size(); i-- > 0;) {
            node->Children_[i]->Index_ = static_cast<int>(i);
            stack.push_back(node->Children_[i]);
        }
    }
    for (size_t i = 0; i < Root_->Children_.size(); ++i) Root_->Children_[i]->Index_ = static_cast<int>(i);
    Numbered_ = true;
}

TTreeNode* TTreeNodes::Item(int index) const {
    if (index < 0 || index >= Count_) raiseListIndexError(index);
    number();
    return Flat_[static_cast<size_t>(index)];
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM item) const {
    auto found = Map_.find(item);
    return found == Map_.end() ? nullptr : found->second;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const AnsiString& text) {
    TTreeNode* parent = sibling ? sibling->Parent_ : Root_.get();
    return insertNode(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const AnsiString& text) {
    return insertNode(sibling ? sibling->Parent_ : Root_.get(), 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const AnsiString& text) {
    if (!parent) parent = Root_.get();
    return insertNode(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) {
    return insertNode(parent ? parent : Root_.get(), 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* before, const AnsiString& text) {
    if (!before) return Add(nullptr, text);
    return insertNode(before->Parent_, before->Index(), text);
}

// A node that comes last in depth-first order joins the numbering as it
// stands: a tree built from top to bottom is numbered once.
TTreeNode* TTreeNodes::insertNode(TTreeNode* parent, int position, const AnsiString& text) {
    if (Owner_->Sorting_) throw ETreeViewError(AnsiString("The tree is being sorted"));
    auto* node = new TTreeNode(this, parent);
    node->Text_ = text;
    bool last = position == parent->Count();
    for (TTreeNode* up = parent; last && !up->isRoot(); up = up->Parent_)
        last = up->Parent_->Children_.back() == up;
    parent->Children_.insert(parent->Children_.begin() + position, node);
    ++Count_;
    if (Numbered_ && last) {
        node->Index_ = position;
        node->AbsoluteIndex_ = static_cast<int>(Flat_.size());
        Flat_.push_back(node);
    } else {
        changedOrder();
    }
    if (Owner_->HandleAllocated()) insertItems(node);
    return node;
}

void TTreeNodes::insertItems(TTreeNode* node) {
    TVINSERTSTRUCTA insert{};
    TTreeNode* parent = node->Parent_;
    insert.hParent = parent->isRoot() ? TVI_ROOT : parent->ItemId_;
    auto& siblings = parent->Children_;
    auto at = std::find(siblings.begin(), siblings.end(), node);
    insert.hInsertAfter = at == siblings.begin() ? TVI_FIRST : (*(at - 1))->ItemId_;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = LPSTR_TEXTCALLBACKA;
    insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    insert.item.stateMask = TVIS_CUT | TVIS_DROPHILITED;
    insert.item.state = node->States_ & insert.item.stateMask;
    node->ItemId_ =
        reinterpret_cast<HTREEITEM>(Owner_->send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node->ItemId_) Map_[node->ItemId_] = node;
    for (TTreeNode* child : node->Children_) insertItems(child);
    if (node->Expanded_ && !node->Children_.empty())
        Owner_->send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->ItemId_));
}

void TTreeNodes::forgetItems(TTreeNode* node) {
    Map_.erase(node->ItemId_);
    node->ItemId_ = nullptr;
    for (TTreeNode* child : node->Children_) forgetItems(child);
}

// The children go first, each told to OnDeletion while whole; a handler
// that deletes a node again finds it going and leaves it.
void TTreeNodes::Delete(TTreeNode* node) {
    if (!node || node->Owner_ != this || node->isRoot() || node->Deleting_) return;
    if (Owner_->Sorting_) throw ETreeViewError(AnsiString("The tree is being sorted"));
    node->Deleting_ = true;
    while (!node->Children_.empty()) Delete(node->Children_.back());
    Owner_->OnDeletion(Owner_, node);
    deleteNode(node);
}

void TTreeNodes::deleteNode(TTreeNode* node) {
    while (!node->Children_.empty()) {
        TTreeNode* child = node->Children_.back();
        child->Deleting_ = true;
        deleteNode(child);
    }
    if (node->ItemId_) {
        HTREEITEM item = node->ItemId_;
        Map_.erase(item);
        node->ItemId_ = nullptr;
        Owner_->send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
    auto& siblings = node->Parent_->Children_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    --Count_;
    changedOrder();
    delete node;
}

void TTreeNodes::Clear() {
    Updates_.Around(*Owner_, [this] {
        while (!Root_->Children_.empty()) Delete(Root_->Children_.back());
    });
}

void TTreeNodes::BeginUpdate() { Updates_.Begin(*Owner_); }

void TTreeNodes::EndUpdate() { Updates_.End(*Owner_); }

// ==== The tree file ====

AnsiString TTreeNodes::SaveToText() const {
    number();
    std::string text;
    for (TTreeNode* node : Flat_) {
        text.append(static_cast<size_t>(node->Level()), '\t');
        text.append(node->Text_.view());
        text.append("\r\n");
    }
    return AnsiString(text);
}

void TTreeNodes::LoadFromText(std::string_view text) {
    struct TLine {
        int Level;
        AnsiString Text;
    };
    std::vector<TLine> lines;
    int lineNumber = 0, previous = -1;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        size_t level = line.find_first_not_of('\t');
        if (level == std::string_view::npos) continue;  // an empty line
        std::string_view nodeText = line.substr(level);
        if (!keepsWideForm(nodeText))
            throw ETreeViewError(AnsiString("Line " + std::to_string(lineNumber) +
                                            " of the tree holds bytes that are not text"));
        if (static_cast<int>(level) > previous + 1)
            throw ETreeViewError(AnsiString("Line " + std::to_string(lineNumber) + " of the tree is indented " +
                                            std::to_string(level) + " levels, more than one below the line before"));
        previous = static_cast<int>(level);
        lines.push_back({previous, AnsiString(nodeText)});
    }
    Updates_.Around(*Owner_, [&] {
        Clear();
        std::vector<TTreeNode*> parents;
        for (const TLine& line : lines) {
            parents.resize(static_cast<size_t>(line.Level));
            parents.push_back(AddChild(line.Level ? parents.back() : nullptr, line.Text));
        }
    });
}

// ==== The tree view ====

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), Items_(std::make_unique<TTreeNodes>(this)) {
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
    Destroying();
    Items_->Clear();
}

LRESULT TTreeView::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(const_cast<TTreeView*>(this)->Handle(), message, wParam, lParam);
}

void TTreeView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = WC_TREEVIEWA;
    params.Style |= WS_BORDER;
    if (!ReadOnly_) params.Style |= TVS_EDITLABELS;
    if (ShowButtons_) params.Style |= TVS_HASBUTTONS;
    if (ShowLines_) params.Style |= TVS_HASLINES;
    if (ShowRoot_) params.Style |= TVS_LINESATROOT;
    if (!HideSelection_) params.Style |= TVS_SHOWSELALWAYS;
}

void TTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    for (TTreeNode* node : Items_->Root_->Children_) Items_->insertItems(node);
}

// The next window shows the nodes as this one left them.
void TTreeView::DestroyWnd() {
    Items_->number();
    for (TTreeNode* node : Items_->Flat_) {
        node->Expanded_ = node->Expanded();
        node->States_ = static_cast<UINT>(send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->ItemId_),
                                               TVIS_CUT | TVIS_DROPHILITED));
    }
    for (TTreeNode* node : Items_->Root_->Children_) Items_->forgetItems(node);
    TWinControl::DestroyWnd();
}

void TTreeView::SetReadOnly(bool value) { setWindowStyle(*this, ReadOnly_, value); }
void TTreeView::SetShowButtons(bool value) { setWindowStyle(*this, ShowButtons_, value); }
void TTreeView::SetShowLines(bool value) { setWindowStyle(*this, ShowLines_, value); }
void TTreeView::SetShowRoot(bool value) { setWindowStyle(*this, ShowRoot_, value); }
void TTreeView::SetHideSelection(bool value) { setWindowStyle(*this, HideSelection_, value); }

TTreeNode* TTreeView::Selected() const {
    if (!HandleAllocated()) return nullptr;
    return nodeOf(reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET)));
}

void TTreeView::SetSelected(TTreeNode* node) {
    send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
}

TTreeNode* TTreeView::DropTarget() const {
    if (!HandleAllocated()) return nullptr;
    return nodeOf(reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_DROPHILITE)));
}

void TTreeView::SetDropTarget(TTreeNode* node) {
    send(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
}

TTreeNode* TTreeView::TopItem() const {
    if (!HandleAllocated()) return nullptr;
    return nodeOf(reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE)));
}

void TTreeView::SetTopItem(TTreeNode* node) {
    if (node) send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(node->ItemId()));
}

// The window sorts the level by the nodes' new places.
int CALLBACK TTreeView::compareSiblings(LPARAM a, LPARAM b, LPARAM) {
    return reinterpret_cast<TTreeNode*>(a)->Index_ - reinterpret_cast<TTreeNode*>(b)->Index_;
}

bool TTreeView::sortChildren(TTreeNode* parent, bool recurse) {
    if (Sorting_) return false;
    sortByText(parent->Children_, &TTreeNode::Text_, this, OnCompare, Sorting_);
    Items_->changedOrder();
    Items_->number();
    if (HandleAllocated()) {
        TVSORTCB sort{};
        sort.hParent = parent->isRoot() ? TVI_ROOT : parent->ItemId_;
        sort.lpfnCompare = &compareSiblings;
        send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
    if (recurse)
        for (TTreeNode* child : std::vector<TTreeNode*>(parent->Children_)) sortChildren(child, true);
    return true;
}

bool TTreeView::AlphaSort() { return sortChildren(Items_->Root_.get(), true); }

void TTreeView::FullCollapse() {
    for (TTreeNode* node : std::vector<TTreeNode*>(Items_->Root_->Children_)) node->Collapse(true);
}

void TTreeView::FullExpand() {
    for (TTreeNode* node : std::vector<TTreeNode*>(Items_->Root_->Children_)) node->Expand(true);
}

THitTests TTreeView::GetHitTestInfoAt(int x, int y) const {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    static const TFlagElement<THitTest> flags[] = {
        {TVHT_ABOVE, htAbove},           {TVHT_BELOW, htBelow},           {TVHT_NOWHERE, htNowhere},
        {TVHT_ONITEM, htOnItem},         {TVHT_ONITEMBUTTON, htOnButton}, {TVHT_ONITEMICON, htOnIcon},
        {TVHT_ONITEMINDENT, htOnIndent}, {TVHT_ONITEMLABEL, htOnLabel},   {TVHT_ONITEMRIGHT, htOnRight},
        {TVHT_ONITEMSTATEICON, htOnStateIcon}, {TVHT_TOLEFT, htToLeft},   {TVHT_TORIGHT, htToRight}};
    return flagsToSet<THitTests>(hit.flags, flags);
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    HTREEITEM item = reinterpret_cast<HTREEITEM>(send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & TVHT_ONITEM) ? nodeOf(item) : nullptr;
}

bool TTreeView::IsEditing() const { return HandleAllocated() && send(TVM_GETEDITCONTROL) != 0; }

void TTreeView::LoadFromFile(const AnsiString& fileName) { Items_->LoadFromText(readFileBytes(fileName)); }

void TTreeView::SaveToFile(const AnsiString& fileName) const { writeFileBytes(fileName, Items_->SaveToText().view()); }

// ==== Notifications ====

void TTreeView::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY) return notify(message);
    TWinControl::WndProc(message);
}

// The two forms of each notification share the layout but for the text
// pointer's type.
void TTreeView::notify(TMessage& message) {
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    auto* tree = reinterpret_cast<NMTREEVIEWA*>(header);
    switch (header->code) {
    case TVN_GETDISPINFOA: return dispInfo(reinterpret_cast<NMTVDISPINFOA*>(header)->item);
    case TVN_GETDISPINFOW: return dispInfo(reinterpret_cast<NMTVDISPINFOW*>(header)->item);
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        TTreeNode* node = nodeOf(tree->itemNew.hItem);
        bool allow = true;
        if (node && tree->action == TVE_EXPAND) OnExpanding(this, node, allow);
        else if (node && tree->action == TVE_COLLAPSE) OnCollapsing(this, node, allow);
        message.Result = allow ? FALSE : TRUE;
        return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
        TTreeNode* node = nodeOf(tree->itemNew.hItem);
        if (!node) return;
        node->Expanded_ = tree->action == TVE_EXPAND;
        if (tree->action == TVE_EXPAND) OnExpanded(this, node);
        else if (tree->action == TVE_COLLAPSE) OnCollapsed(this, node);
        return;
    }
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: {
        TTreeNode* node = nodeOf(tree->itemNew.hItem);
        bool allow = true;
        if (node) OnChanging(this, node, allow);
        message.Result = allow ? FALSE : TRUE;
        return;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: return OnChange(this, nodeOf(tree->itemNew.hItem));
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
        TTreeNode* node = nodeOf(reinterpret_cast<NMTVDISPINFOA*>(header)->item.hItem);
        bool allow = !ReadOnly_ && node;
        if (allow) OnEditing(this, node, allow);
        message.Result = allow ? FALSE : TRUE;
        return;
    }
    case TVN_ENDLABELEDITA: {
        TVITEMA& item = reinterpret_cast<NMTVDISPINFOA*>(header)->item;
        message.Result = endEdit(item.hItem, editedText(item.pszText));
        return;
    }
    case TVN_ENDLABELEDITW: {
        TVITEMW& item = reinterpret_cast<NMTVDISPINFOW*>(header)->item;
        message.Result = endEdit(item.hItem, editedText(item.pszText));
        return;
    }
    case NM_CUSTOMDRAW: message.Result = customDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(header)); return;
    default: TWinControl::WndProc(message);
    }
}

template <class Item>
void TTreeView::dispInfo(Item& info) {
    auto* node = reinterpret_cast<TTreeNode*>(info.lParam);
    if (!node) return;
    if (info.mask & TVIF_TEXT) {
        copyDispText(info.pszText, info.cchTextMax, node->Text_);
    }
    if (info.mask & TVIF_IMAGE) {
        OnGetImageIndex(this, node);
        info.iImage = node->ImageIndex_;
    }
    if (info.mask & TVIF_SELECTEDIMAGE) {
        OnGetSelectedIndex(this, node);
        info.iSelectedImage = node->SelectedIndex_;
    }
    if (info.mask & TVIF_CHILDREN) info.cChildren = node->HasChildren() ? 1 : 0;
}

bool TTreeView::endEdit(HTREEITEM item, const std::optional<AnsiString>& text) {
    TTreeNode* node = nodeOf(item);
    if (!node || !text) return false;
    AnsiString caption = *text;
    OnEdited(this, node, caption);
    if (Items_->GetNode(item) == node) node->SetText(caption);
    return false;
}

LRESULT TTreeView::customDraw(NMTVCUSTOMDRAW& draw) {
    DWORD stage = draw.nmcd.dwDrawStage;
    if (!(stage & CDDS_ITEM)) {
        bool itemLevel = OnCustomDrawItem || OnAdvancedCustomDrawItem;
        return customDrawControl(this, draw.nmcd, OnCustomDraw, OnAdvancedCustomDraw, itemLevel);
    }
    bool defaultDraw = true, paintImages = true;
    TCustomDrawStage drawStage = customDrawStage(stage);
    auto* node = reinterpret_cast<TTreeNode*>(draw.nmcd.lItemlParam);
    if (!node) return CDRF_DODEFAULT;
    TCustomDrawState state = customDrawState(draw.nmcd.uItemState);
    if (drawStage == cdPrePaint) OnCustomDrawItem(this, node, state, defaultDraw);
    if (defaultDraw) OnAdvancedCustomDrawItem(this, node, state, drawStage, paintImages, defaultDraw);
    return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
}

// ==== Published properties ====

namespace {

using namespace published;


const TPropInfo treeNodeProperties[] = {
    IntegerProperty<&TTreeNode::AbsoluteIndex>("AbsoluteIndex"),
    IntegerProperty<&TTreeNode::Count>("Count"),
    BoolProperty<&TTreeNode::Cut, &TTreeNode::SetCut>("Cut"),
    BoolProperty<&TTreeNode::Deleting>("Deleting"),
    BoolProperty<&TTreeNode::DropTarget, &TTreeNode::SetDropTarget>("DropTarget"),
    BoolProperty<&TTreeNode::Expanded, &TTreeNode::SetExpanded>("Expanded"),
    BoolProperty<&TTreeNode::Focused, &TTreeNode::SetFocused>("Focused"),
    BoolProperty<&TTreeNode::HasChildren, &TTreeNode::SetHasChildren>("HasChildren"),
    IntegerProperty<&TTreeNode::ImageIndex, &TTreeNode::SetImageIndex>("ImageIndex"),
    IntegerProperty<&TTreeNode::Index>("Index"),
    BoolProperty<&TTreeNode::IsVisible>("IsVisible"),
    IntegerProperty<&TTreeNode::Level>("Level"),
    IntegerProperty<&TTreeNode::OverlayIndex, &TTreeNode::SetOverlayIndex>("OverlayIndex"),
    BoolProperty<&TTreeNode::Selected, &TTreeNode::SetSelected>("Selected"),
    IntegerProperty<&TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex>("SelectedIndex"),
    IntegerProperty<&TTreeNode::StateIndex, &TTreeNode::SetStateIndex>("StateIndex"),
    StringProperty<&TTreeNode::Text, &TTreeNode::SetText>("Text"),
};

const TPropInfo treeNodesProperties[] = {
    IntegerProperty<&TTreeNodes::Count>("Count"),
};

#define TV_EVENT(Name, Type) MethodProperty<&TTreeView::Name, &TTreeView::Name>(#Name, &Type)

const TPropInfo treeViewProperties[] = {
    Left, Top, Width, Height, Align, Anchors, WindowColor, Cursor, Enabled, Font,
    BoolProperty<&TTreeView::HideSelection, &TTreeView::SetHideSelection>("HideSelection", 1),
    Hint, WindowParentColor, ParentFont, ParentShowHint, PopupMenu,
    BoolProperty<&TTreeView::ReadOnly, &TTreeView::SetReadOnly>("ReadOnly", 0),
    BoolProperty<&TTreeView::ShowButtons, &TTreeView::SetShowButtons>("ShowButtons", 1),
    ShowHint,
    BoolProperty<&TTreeView::ShowLines, &TTreeView::SetShowLines>("ShowLines", 1),
    BoolProperty<&TTreeView::ShowRoot, &TTreeView::SetShowRoot>("ShowRoot", 1),
    TabOrder, TabStop, Visible,
    TV_EVENT(OnAdvancedCustomDraw, LVAdvancedCustomDrawEventType),
    TV_EVENT(OnAdvancedCustomDrawItem, TVAdvancedCustomDrawItemEventType),
    TV_EVENT(OnChange, TVNotifyEventType),
    TV_EVENT(OnChanging, TVChangingEventType),
    OnClick,
    TV_EVENT(OnCollapsed, TVNotifyEventType),
    TV_EVENT(OnCollapsing, TVCollapsingEventType),
    TV_EVENT(OnCompare, TVCompareEventType),
    OnContextPopup,
    TV_EVENT(OnCustomDraw, LVCustomDrawEventType),
    TV_EVENT(OnCustomDrawItem, TVCustomDrawItemEventType),
    OnDblClick,
    TV_EVENT(OnDeletion, TVNotifyEventType),
    OnDragDrop, OnDragOver,
    TV_EVENT(OnEdited, TVEditedEventType),
    TV_EVENT(OnEditing, TVEditingEventType),
    OnEndDock, OnEndDrag, OnEnter, OnExit,
    TV_EVENT(OnExpanded, TVNotifyEventType),
    TV_EVENT(OnExpanding, TVExpandingEventType),
    TV_EVENT(OnGetImageIndex, TVNotifyEventType),
    TV_EVENT(OnGetSelectedIndex, TVNotifyEventType),
    OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

#undef TV_EVENT

}  // namespace

const TClassInfo TTreeNode::classInfo = makeClassInfo("TTreeNode", &TPersistent::classInfo, treeNodeProperties);
const TClassInfo TTreeNodes::classInfo = makeClassInfo("TTreeNodes", &TPersistent::classInfo, treeNodesProperties);
const TClassInfo TTreeView::classInfo =
    makeClassInfo("TTreeView", &TWinControl::classInfo, treeViewProperties, &componentCreator<TTreeView>);
