// Menu items and their menu handles, command numbers, the menus, popups shown
// through a hidden owner window, and the published tables of the menu classes.
#include "ui/menus.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "ui/actions.h"
#include "ui/wndproc.h"

// ==== Type tables and registries ====

namespace {

const char* const menuBreakNames[] = {"mbNone", "mbBreak", "mbBarBreak"};
const char* const popupAlignmentNames[] = {"paLeft", "paRight", "paCenter"};
const char* const findItemKindNames[] = {"fkCommand", "fkHandle", "fkShortCut"};

// Every live item by command number, every built submenu by handle.
std::unordered_map<UINT, TMenuItem*> commandItems;
std::unordered_map<HMENU, TMenuItem*> handleItems;

// Command numbers are 16 bits wide (1 to 65535), handed out in turn.
UINT allocateCommand(TMenuItem* item) {
    static UINT next = 0;
    if (commandItems.size() >= 0xFFFF) throw EComponentError("Too many menu items");
    do {
        next = next % 0xFFFF + 1;
    } while (commandItems.count(next));
    commandItems[next] = item;
    return next;
}

// The windows whose menu bars changed, drawn at the next turn of the message
// loop: a run of changes from a script draws the bar once, not once each.
std::vector<HWND> changedBars;

void redrawBarLater(HWND window) {
    if (std::find(changedBars.begin(), changedBars.end(), window) != changedBars.end()) return;
    if (changedBars.empty()) PostMessageA(PopupListWindow(), CM_REDRAWMENUBARS, 0, 0);
    changedBars.push_back(window);
}

void redrawBars() {
    for (HWND window : std::exchange(changedBars, {}))
        if (IsWindow(window)) DrawMenuBar(window);
}

AnsiString stripHotkey(std::string_view caption) {
    AnsiString text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        text += caption[i];
    }
    return text;
}

bool isLeadByte(char c) { return IsDBCSLeadByteEx(932, static_cast<BYTE>(c)); }

// The accelerator of a caption: the character after a single "&", upper
// case; 0 without one.
char hotkeyOf(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (isLeadByte(caption[i])) {
            ++i;
            continue;
        }
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return static_cast<char>(toupper(static_cast<unsigned char>(caption[i + 1])));
        ++i;  // "&&" stands for "&" itself
    }
    return 0;
}

}  // namespace

const TEnumInfo MenuBreakInfo{"TMenuBreak", menuBreakNames, 3};
const TEnumInfo PopupAlignmentInfo{"TPopupAlignment", popupAlignmentNames, 3};
const TEnumInfo FindItemKindInfo{"TFindItemKind", findItemKindNames, 3};
const TMethodTypeInfo MenuChangeEventType{"TMenuChangeEvent"};

AnsiString KeyName(unsigned virtualKey) {
    LONG code = static_cast<LONG>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    // Page Up to arrow down, Insert and Delete are the extended keys of their names.
    if ((virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN) || virtualKey == VK_INSERT || virtualKey == VK_DELETE)
        code |= 1L << 24;
    char name[64];
    int length = GetKeyNameTextA(code, name, sizeof name);
    return AnsiString(name, length > 0 ? static_cast<size_t>(length) : 0);
}

AnsiString ShortCutToText(TShortCut shortCut) {
    AnsiString text;
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scAlt) text += "Alt+";
    return text + KeyName(shortCut & 0xFF);
}

// ==== TMenuItem: life ====

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), Command_(allocateCommand(this)) {}

TMenuItem::~TMenuItem() {
    Destroying();
    while (!Items_.empty()) {
        TMenuItem* item = Items_.back();
        Items_.pop_back();
        item->Parent_ = nullptr;
        item->Free();
    }
    if (TMenuItem* parent = Parent_) {
        parent->Remove(this);
        if (Handle_) parent->rebuildHandle();  // its entry must not keep the submenu destroyed below
    }
    commandItems.erase(Command_);
    if (Handle_) {
        handleItems.erase(Handle_);
        // The submenus belong to their items: detach them before the handle goes.
        while (GetMenuItemCount(Handle_) > 0) RemoveMenu(Handle_, 0, MF_BYPOSITION);
        DestroyMenu(Handle_);
    }
}

TComponent* TMenuItem::GetParentComponent() const {
    if (Parent_ && Parent_->Menu_) return Parent_->Menu_;
    if (Parent_) return Parent_;
    return Menu_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (!parent) return;
    if (parent->InheritsFrom(&TMenu::classInfo)) static_cast<TMenu*>(parent)->Items()->Add(this);
    else if (parent->InheritsFrom(&TMenuItem::classInfo)) static_cast<TMenuItem*>(parent)->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TMenuItem* item : Items_)
        if (item->Owner() == root) proc(item);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->Parent_) root = root->Parent_;
    return root->Menu_;
}

// ==== TMenuItem: sub-items ====

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return Items_[index];
}

void TMenuItem::insertItem(int index, TMenuItem* item) {
    if (!item) return;
    if (item->Parent_) throw EComponentError("Menu inserted twice");
    for (TMenuItem* p = this; p; p = p->Parent_)
        if (p == item) throw EComponentError("A menu item cannot contain itself");
    index = std::clamp(index, 0, Count());
    Items_.insert(Items_.begin() + index, item);
    item->Parent_ = this;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Add(std::span<TMenuItem* const> items) {
    for (TMenuItem* item : items) insertItem(Count(), item);
    itemsChanged();
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    insertItem(index, item);
    itemsChanged();
}

void TMenuItem::takeItem(TMenuItem* item) {
    Items_.erase(std::find(Items_.begin(), Items_.end(), item));
    item->Parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
    takeItem(Items(index));
    itemsChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    if (!item || item->Parent_ != this) return;
    takeItem(item);
    itemsChanged();
}

void TMenuItem::Clear() {
    while (!Items_.empty()) {
        TMenuItem* item = Items_.back();
        takeItem(item);
        item->Free();
    }
    itemsChanged();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(Items_.begin(), Items_.end(), item);
    return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
    AnsiString wanted = stripHotkey(caption);
    for (TMenuItem* item : Items_)
        if (lstrcmpiA(stripHotkey(item->Caption_).c_str(), wanted.c_str()) == 0) return item;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return Parent_ ? Parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int value) {
    if (!Parent_) return;
    TMenuItem* parent = Parent_;
    parent->takeItem(this);
    parent->insertItem(value, this);
    parent->itemsChanged();
}

// ==== TMenuItem: separators and accelerators ====

namespace {

TMenuItem* newLine(TMenuItem* parent) {
    TMenuItem* line = new TMenuItem(parent->Owner());
    line->SetCaption("-");
    return line;
}

}  // namespace

int TMenuItem::NewTopLine() {
    Insert(0, newLine(this));
    return 0;
}

int TMenuItem::NewBottomLine() {
    Add(newLine(this));
    return Count() - 1;
}

int TMenuItem::InsertNewLineBefore(TMenuItem* item) {
    int index = IndexOf(item);
    if (index < 0) return -1;
    Insert(index, newLine(this));
    return index;
}

int TMenuItem::InsertNewLineAfter(TMenuItem* item) {
    int index = IndexOf(item);
    if (index < 0) return -1;
    Insert(index + 1, newLine(this));
    return index + 1;
}

bool TMenuItem::RethinkHotkeys() {
    std::string used;
    for (TMenuItem* item : Items_)
        if (char key = hotkeyOf(item->Caption_)) used += key;
    bool changedAny = false;
    for (TMenuItem* item : Items_) {
        if (!item->Visible_ || item->IsLine() || hotkeyOf(item->Caption_)) continue;
        const AnsiString& caption = item->Caption_;
        for (size_t i = 0; i < caption.length(); ++i) {
            if (isLeadByte(caption[i])) { ++i; continue; }
            char key = static_cast<char>(toupper(caption.byte(i)));
            if (!isalnum(static_cast<unsigned char>(key)) || used.find(key) != std::string::npos) continue;
            used += key;
            item->Caption_ = caption.substr(0, i) + "&" + caption.substr(i);
            changedAny = true;
            break;
        }
    }
    if (changedAny) itemsChanged();
    return changedAny;
}

// A separator is wanted between two visible entries; at either end, or after
// another separator, it is hidden.
bool TMenuItem::RethinkLines() {
    bool changedAny = false;
    TMenuItem* pendingLine = nullptr;
    bool entryBefore = false;
    for (TMenuItem* item : Items_) {
        if (item->IsLine()) {
            bool wanted = entryBefore && !pendingLine;
            if (wanted) pendingLine = item;
            else if (item->Visible_) item->Visible_ = false, changedAny = true;
            continue;
        }
        if (!item->Visible_) continue;
        if (pendingLine && !pendingLine->Visible_) pendingLine->Visible_ = true, changedAny = true;
        pendingLine = nullptr;
        entryBefore = true;
    }
    if (pendingLine && pendingLine->Visible_) pendingLine->Visible_ = false, changedAny = true;
    if (changedAny) itemsChanged();
    return changedAny;
}

// ==== TMenuItem: properties ====

void TMenuItem::SetCaption(const AnsiString& value) {
    if (value == Caption_) return;
    Caption_ = value;
    changed(false);
}

void TMenuItem::SetChecked(bool value) {
    if (value == Checked_) return;
    Checked_ = value;
    if (value && RadioItem_ && Parent_)
        for (TMenuItem* sibling : Parent_->Items_)
            if (sibling != this && sibling->RadioItem_ && sibling->GroupIndex_ == GroupIndex_) sibling->Checked_ = false;
    changed(false);
}

void TMenuItem::SetEnabled(bool value) {
    if (value == Enabled_) return;
    Enabled_ = value;
    changed(false);
}

void TMenuItem::SetVisible(bool value) {
    if (value == Visible_) return;
    Visible_ = value;
    changed(true);
}

void TMenuItem::SetDefault(bool value) {
    if (value == Default_) return;
    if (value && Parent_)
        for (TMenuItem* sibling : Parent_->Items_) sibling->Default_ = false;
    Default_ = value;
    changed(false);
}

void TMenuItem::SetRadioItem(bool value) {
    if (value == RadioItem_) return;
    RadioItem_ = value;
    changed(false);
}

void TMenuItem::SetGroupIndex(uint8_t value) {
    if (value == GroupIndex_) return;
    GroupIndex_ = value;
    changed(false);
}

void TMenuItem::SetBreak(TMenuBreak value) {
    if (value == Break_) return;
    Break_ = value;
    changed(false);
}

void TMenuItem::SetShortCut(TShortCut value) {
    if (value == ShortCut_) return;
    ShortCut_ = value;
    changed(false);
}

void TMenuItem::Click() {
    TKeepAlive hold(this);
    if (!OnClick && ActionLink_ && ActionLink_->Execute()) return;
    if (AutoCheck_) SetChecked(!Checked_);
    OnClick(this);
}

// ==== TMenuItem: action ====

namespace {

class TMenuActionLink : public TActionLink {
public:
    explicit TMenuActionLink(TMenuItem* item) : Item_(item) {}
    void ActionChanged(TBasicAction* action) override { Item_->ActionChange(action); }

private:
    TMenuItem* Item_;
};

}  // namespace

TBasicAction* TMenuItem::Action() const { return ActionLink_ ? ActionLink_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* value) {
    if (!ActionLink_) {
        if (!value) return;
        ActionLink_ = std::make_unique<TMenuActionLink>(this);
    }
    ActionLink_->SetAction(value);
}

void TMenuItem::InitiateAction() {
    if (TBasicAction* action = Action()) action->Update();
}

void TMenuItem::ActionChange(TBasicAction* action) {
    if (!action->InheritsFrom(&TCustomAction::classInfo)) return;
    auto* custom = static_cast<TCustomAction*>(action);
    SetCaption(custom->Caption());
    SetChecked(custom->Checked());
    SetEnabled(custom->Enabled());
    SetHint(custom->Hint());
    SetVisible(custom->Visible());
    SetShortCut(custom->ShortCut());
    SetHelpContext(custom->HelpContext());
}

// ==== TMenuItem: the menu handle ====

HMENU TMenuItem::subHandle() {
    if (!Handle_) {
        TMenu* menu = Parent_ ? nullptr : Menu_;
        Handle_ = menu && menu->IsMenuBar() ? CreateMenu() : CreatePopupMenu();
        if (!Handle_) raiseLastOSError();
        handleItems[Handle_] = this;
        rebuildHandle();
    }
    return Handle_;
}

HMENU TMenuItem::Handle() {
    subHandle();
    if (Stale_) rebuildHandle();
    return Handle_;
}

void TMenuItem::handleChanged() {
    bool root = !Parent_ && Menu_;
    // A merged menu's entries are shown on the bar of the menu it is merged into.
    if (root && Menu_->MergedInto_) Menu_->MergedInto_->Items_->handleChanged();
    if (!Handle_) return;
    if (root && Menu_->IsMenuBar()) rebuildHandle();
    else Stale_ = true;
}

// The handle keeps its identity (a submenu being opened may be rebuilt by its
// own OnClick); its entries are made afresh from the visible sub-items.
void TMenuItem::rebuildHandle() {
    if (!Handle_ || IsDestroying()) return;
    Stale_ = false;
    while (GetMenuItemCount(Handle_) > 0) RemoveMenu(Handle_, 0, MF_BYPOSITION);
    for (TMenuItem* item : shownItems()) appendEntry(item);
    if (!Parent_ && Menu_ && Menu_->IsMenuBar() && Menu_->WindowHandle_) redrawBarLater(Menu_->WindowHandle_);
}

std::vector<TMenuItem*> TMenuItem::shownItems() const {
    std::vector<TMenuItem*> shown;
    auto visible = [](const std::vector<TMenuItem*>& items) {
        std::vector<TMenuItem*> list;
        for (TMenuItem* item : items)
            if (item->Visible_) list.push_back(item);
        return list;
    };
    shown = visible(Items_);
    TMenu* merged = !Parent_ && Menu_ ? Menu_->Merged_ : nullptr;
    if (!merged) return shown;
    std::vector<TMenuItem*> incoming = visible(merged->Items_->Items_);
    auto hasGroup = [&](uint8_t group) {
        return std::any_of(incoming.begin(), incoming.end(), [&](TMenuItem* m) { return m->GroupIndex_ == group; });
    };
    std::erase_if(shown, [&](TMenuItem* item) { return hasGroup(item->GroupIndex_); });
    for (TMenuItem* item : incoming) {
        auto at = std::find_if(shown.begin(), shown.end(), [&](TMenuItem* own) { return own->GroupIndex_ > item->GroupIndex_; });
        shown.insert(at, item);
    }
    return shown;
}

void TMenuItem::appendEntry(TMenuItem* item) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    AnsiString text = item->Caption_;
    if (item->IsLine()) {
        info.fType = MFT_SEPARATOR;
    } else {
        if (item->ShortCut_) text += "\t" + ShortCutToText(item->ShortCut_);
        info.dwTypeData = const_cast<char*>(text.c_str());
    }
    if (item->RadioItem_) info.fType |= MFT_RADIOCHECK;
    if (item->Break_ == mbBreak) info.fType |= MFT_MENUBREAK;
    if (item->Break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    if (item->Checked_) info.fState |= MFS_CHECKED;
    if (!item->Enabled_) info.fState |= MFS_DISABLED;
    if (item->Default_) info.fState |= MFS_DEFAULT;
    info.wID = item->Command_;
    item->EntryHasSubmenu_ = !item->Items_.empty();
    if (item->EntryHasSubmenu_) info.hSubMenu = item->subHandle();
    InsertMenuItemA(Handle_, GetMenuItemCount(Handle_), TRUE, &info);
}

void TMenuItem::changed(bool rebuild) {
    if (IsDestroying()) return;
    if (Parent_) Parent_->handleChanged();
    if (TMenu* menu = GetParentMenu()) menu->menuChanged(this, rebuild);
}

void TMenuItem::itemsChanged() {
    if (IsDestroying()) return;
    handleChanged();
    if (Parent_ && Items_.empty() == EntryHasSubmenu_) Parent_->handleChanged();
    if (TMenu* menu = GetParentMenu()) menu->menuChanged(this, true);
}

// ==== Menus ====

TMenu::TMenu(TComponent* owner) : TComponent(owner), Items_(new TMenuItem(this)) { Items_->Menu_ = this; }

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    Items_->GetChildren(proc, root);
}

TMenu::~TMenu() {
    Destroying();
    setMerged(nullptr);
    if (MergedInto_) MergedInto_->setMerged(nullptr);
    TMenuItem* root = Items_;
    root->Menu_ = nullptr;
    root->Free();
}

// Commands and submenu handles are unique: the item of one is looked up and
// kept when it lies in this menu or one merged into it.
TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) const {
    if (kind != fkShortCut) {
        TMenuItem* item = nullptr;
        if (kind == fkCommand && value <= 0xFFFF) item = FindMenuItemByCommand(static_cast<UINT>(value));
        if (kind == fkHandle) {
            auto it = handleItems.find(reinterpret_cast<HMENU>(value));
            if (it != handleItems.end()) item = it->second;
        }
        TMenu* menu = item ? item->GetParentMenu() : nullptr;
        for (const TMenu* shown = this; shown && menu; shown = shown->Merged_)
            if (shown == menu) return item;
        return nullptr;
    }
    auto search = [&](TMenuItem* item, auto&& self) -> TMenuItem* {
        if (item->ShortCut_ && item->ShortCut_ == value) return item;
        for (TMenuItem* child : item->Items_)
            if (TMenuItem* found = self(child, self)) return found;
        return nullptr;
    };
    if (TMenuItem* found = search(Items_, search)) return found;
    return Merged_ ? Merged_->FindItem(value, kind) : nullptr;
}

int TMenu::GetHelpContext(UINT_PTR value, bool byCommand) const {
    for (TMenuItem* item = FindItem(value, byCommand ? fkCommand : fkHandle); item; item = item->Parent_)
        if (item->HelpContext_) return item->HelpContext_;
    return 0;
}

// ==== Merging ====

void TMenu::setMerged(TMenu* menu) {
    if (menu == this) menu = nullptr;
    if (menu == Merged_) return;
    // A menu this one is merged into cannot be merged into it: the loop would
    // search and rebuild without end.
    for (TMenu* host = MergedInto_; menu && host; host = host->MergedInto_)
        if (host == menu) return;
    if (Merged_) {
        Merged_->MergedInto_ = nullptr;
        RemoveFreeNotification(Merged_);
    }
    if (menu && menu->MergedInto_) menu->MergedInto_->setMerged(nullptr);
    Merged_ = menu;
    if (menu) {
        menu->MergedInto_ = this;
        FreeNotification(menu);
    }
    Items_->handleChanged();
    menuChanged(nullptr, true);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == Merged_) setMerged(nullptr);
}

void TMainMenu::Merge(TMainMenu* menu) { setMerged(menu); }

void TMainMenu::Unmerge(TMainMenu* menu) {
    if (menu && menu == Merged_) setMerged(nullptr);
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command, fkCommand);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU handle) {
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(handle), fkHandle);
    if (!item) return false;
    item->Click();
    item->rebuildHandle();
    return true;
}

void TMenu::menuChanged(TMenuItem* source, bool rebuild) {
    if (IsDestroying()) return;
    if (MergedInto_) MergedInto_->menuChanged(source, rebuild);
    OnChange(this, source, rebuild);
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
    if (value == PopupComponent_) return;
    if (PopupComponent_) RemoveFreeNotification(PopupComponent_);
    PopupComponent_ = value;
    if (value) FreeNotification(value);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TMenu::Notification(component, operation);
    if (operation == opRemove && component == PopupComponent_) PopupComponent_ = nullptr;
}

// The chosen command comes back from the platform call and is clicked here,
// after the menu has closed, so a click handler runs outside the menu loop.
void TPopupMenu::Popup(int x, int y) {
    TKeepAlive hold(this);
    OnPopup(this);
    HMENU handle = Handle();
    static const UINT alignments[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | alignments[Alignment_];
    HWND owner = PopupListWindow();
    UINT command = callPlatform([&] { return static_cast<UINT>(TrackPopupMenu(handle, flags, x, y, 0, owner, nullptr)); });
    if (command) DispatchCommand(command);
}

// ==== Dispatch ====

TMenuItem* FindMenuItemByCommand(UINT command) {
    auto it = commandItems.find(command);
    return it == commandItems.end() ? nullptr : it->second;
}

bool DispatchMenuPopup(HMENU handle) {
    auto it = handleItems.find(handle);
    if (it == handleItems.end()) return false;
    TMenuItem* item = it->second;
    TMenu* menu = item->GetParentMenu();
    if (menu) return menu->DispatchPopup(handle);
    item->Handle();  // an item of no menu shows its entries as they are now
    return false;
}

void DispatchMenuSelect(WPARAM wParam, LPARAM lParam) {
    UINT flags = HIWORD(wParam);
    TMenuItem* item = nullptr;
    if (flags == 0xFFFF && !lParam) {
        item = nullptr;  // the menu closed
    } else if (flags & MF_POPUP) {
        auto it = handleItems.find(GetSubMenu(reinterpret_cast<HMENU>(lParam), LOWORD(wParam)));
        if (it != handleItems.end()) item = it->second;
    } else {
        item = FindMenuItemByCommand(LOWORD(wParam));
    }
    Application->SetHint(item ? ClientHint(item->Hint(), item->Action()) : AnsiString());
}

namespace {

void popupListMessage(void*, TMessage& message, bool& handled) {
    switch (message.Msg) {
    case WM_INITMENUPOPUP: handled = DispatchMenuPopup(reinterpret_cast<HMENU>(message.WParam)); break;
    case CM_REDRAWMENUBARS:
        redrawBars();
        handled = true;
        break;
    case WM_MENUSELECT:
        DispatchMenuSelect(message.WParam, message.LParam);
        handled = true;
        break;
    }
}

}  // namespace

HWND PopupListWindow() {
    static TMessageWindow window(TMessageWindow::THandler(&popupListMessage, nullptr), nullptr, true);
    return window.Handle();
}

// ==== Published properties ====

namespace {

const TPropInfo menuItemProperties[] = {
    ClassProperty<&TMenuItem::Action, &TMenuItem::SetAction>("Action", &TBasicAction::classInfo),
    BoolProperty<&TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck>("AutoCheck", 0),
    EnumProperty<&TMenuItem::Break, &TMenuItem::SetBreak>("Break", &MenuBreakInfo, mbNone),
    StringProperty<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption"),
    BoolProperty<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked", 0),
    BoolProperty<&TMenuItem::Default, &TMenuItem::SetDefault>("Default", 0),
    BoolProperty<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled", 1),
    IntegerProperty<&TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex>("GroupIndex", 0),
    IntegerProperty<&TMenuItem::HelpContext, &TMenuItem::SetHelpContext>("HelpContext", 0),
    StringProperty<&TMenuItem::Hint, &TMenuItem::SetHint>("Hint"),
    BoolProperty<&TMenuItem::RadioItem, &TMenuItem::SetRadioItem>("RadioItem", 0),
    IntegerProperty<&TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut", 0),
    BoolProperty<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible", 1),
    MethodProperty<&TMenuItem::OnClick, &TMenuItem::OnClick>("OnClick", &NotifyEventType),
};

const TPropInfo mainMenuProperties[] = {
    MethodProperty<&TMenu::OnChange, &TMenu::OnChange>("OnChange", &MenuChangeEventType),
};

const TPropInfo popupMenuProperties[] = {
    EnumProperty<&TPopupMenu::Alignment, &TPopupMenu::SetAlignment>("Alignment", &PopupAlignmentInfo, paLeft),
    BoolProperty<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup", 1),
    MethodProperty<&TMenu::OnChange, &TMenu::OnChange>("OnChange", &MenuChangeEventType),
    MethodProperty<&TPopupMenu::OnPopup, &TPopupMenu::OnPopup>("OnPopup", &NotifyEventType),
};

}  // namespace

const TClassInfo TMenuItem::classInfo =
    makeClassInfo("TMenuItem", &TComponent::classInfo, menuItemProperties, &componentCreator<TMenuItem>);
const TClassInfo TMenu::classInfo = makeClassInfo("TMenu", &TComponent::classInfo);
const TClassInfo TMainMenu::classInfo =
    makeClassInfo("TMainMenu", &TMenu::classInfo, mainMenuProperties, &componentCreator<TMainMenu>);
const TClassInfo TPopupMenu::classInfo =
    makeClassInfo("TPopupMenu", &TMenu::classInfo, popupMenuProperties, &componentCreator<TPopupMenu>);
