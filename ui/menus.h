// Menus: TMenuItem (an entry and the list of its sub-entries, with the menu
// handle built from them), TMenu with its two kinds TMainMenu (a form's menu
// bar) and TPopupMenu (a context menu), and the dispatch of menu commands and
// of submenus opening. A submenu's OnClick fires as it opens, so its handler
// can fill it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "rtl/component.h"

class TActionLink;
class TBasicAction;
class TMenu;
class TMenuItem;

// A key with modifiers: the virtual key in the low byte, Shift 0x2000,
// Ctrl 0x4000, Alt 0x8000.
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
// The platform's name of a key ("A", "F5", "Page Up": the keys that have a
// twin on the number pad are named as the extended ones).
AnsiString KeyName(unsigned virtualKey);
// "Ctrl+Shift+A": the modifiers, then the key's name.
AnsiString ShortCutToText(TShortCut shortCut);

enum TMenuBreak : uint8_t { mbNone, mbBreak, mbBarBreak };
extern const TEnumInfo MenuBreakInfo;
enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };
extern const TEnumInfo PopupAlignmentInfo;
enum TFindItemKind : uint8_t { fkCommand, fkHandle, fkShortCut };
extern const TEnumInfo FindItemKindInfo;

// A change in a menu: the item changed (nil for the menu itself) and whether
// the menu was rebuilt.
using TMenuChangeEvent = TEvent<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;
extern const TMethodTypeInfo MenuChangeEventType;

// ==== TMenuItem ====

class TMenuItem : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TMenuItem(TComponent* owner);

    // ---- Sub-items (a parent frees its sub-items with itself) ----
    int Count() const { return static_cast<int>(Items_.size()); }
    // Raises the list index error outside 0..Count-1.
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item);
    // Appends several items with one rebuild of the menu.
    void Add(std::span<TMenuItem* const> items);
    void Add(std::initializer_list<TMenuItem*> items) { Add(std::span(items.begin(), items.size())); }
    void Insert(int index, TMenuItem* item);
    // Takes the sub-item at the index out (it is not freed).
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The sub-item whose caption equals the text, ignoring "&" and case.
    TMenuItem* Find(std::string_view caption) const;
    TMenuItem* Parent() const { return Parent_; }
    // In a form stream an item lies inside its parent item, or inside its
    // menu when at the top of one.
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    // The sub-items a form stream writes inside the item: those of the root.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    int MenuIndex() const;
    void SetMenuIndex(int value);
    // The menu at the root of the item's tree; nil when none.
    TMenu* GetParentMenu() const;

    // ---- Separators and accelerators ----
    bool IsLine() const { return Caption_ == "-"; }
    // Adds a separator at the top or bottom of the sub-items; its index.
    int NewTopLine();
    int NewBottomLine();
    // A separator before or after a sub-item; its index, -1 when the item is
    // not a sub-item.
    int InsertNewLineBefore(TMenuItem* item);
    int InsertNewLineAfter(TMenuItem* item);
    // Gives every visible sub-item without one an accelerator ("&") that no
    // sibling uses; true when a caption changed.
    bool RethinkHotkeys();
    // Hides separators at either end and after another separator, shows the
    // others; true when one changed.
    bool RethinkLines();

    // ---- Properties ----
    const AnsiString& Caption() const { return Caption_; }
    void SetCaption(const AnsiString& value);
    bool Checked() const { return Checked_; }
    // Checking a radio item unchecks the radio items of its group.
    void SetChecked(bool value);
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return Visible_; }
    void SetVisible(bool value);
    bool Default() const { return Default_; }
    void SetDefault(bool value);
    bool RadioItem() const { return RadioItem_; }
    void SetRadioItem(bool value);
    bool AutoCheck() const { return AutoCheck_; }
    void SetAutoCheck(bool value) { AutoCheck_ = value; }
    uint8_t GroupIndex() const { return GroupIndex_; }
    void SetGroupIndex(uint8_t value);
    TMenuBreak Break() const { return Break_; }
    void SetBreak(TMenuBreak value);
    TShortCut ShortCut() const { return ShortCut_; }
    void SetShortCut(TShortCut value);
    const AnsiString& Hint() const { return Hint_; }
    void SetHint(const AnsiString& value) { Hint_ = value; }
    // The help topic of the item; 0 takes its parent's.
    int HelpContext() const { return HelpContext_; }
    void SetHelpContext(int value) { HelpContext_ = value; }

    // The action whose state the item follows (caption, checked, enabled,
    // hint, visible, short-cut, help context) and whose execute step its
    // click runs when it has no OnClick; nil when none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);
    // Lets the action update the item (its update step).
    void InitiateAction();
    // The action is new or changed (its link calls).
    void ActionChange(TBasicAction* action);

    // The command number the menu reports for the item.
    UINT Command() const { return Command_; }
    // The handle of the item's submenu (the menu bar for a main menu's root),
    // its entries brought up to date.
    HMENU Handle();

    // Runs OnClick (and toggles an AutoCheck item) as a user click does; an
    // item with an action and no OnClick runs the action instead.
    virtual void Click();
    TNotifyEvent OnClick;

protected:
    ~TMenuItem() override;

private:
    friend class TMenu;
    void insertItem(int index, TMenuItem* item);
    void takeItem(TMenuItem* item);
    // The item itself changed: its entry in its parent's handle.
    void changed(bool rebuild);
    // The sub-items or their order changed: the item's own handle, and its
    // parent's entry only when that gains or loses its submenu, so that a
    // submenu's change leaves the menu bar as it is.
    void itemsChanged();
    void rebuildHandle();
    // The handle's entries changed: a menu bar's are made again at once (it
    // is always in view), a submenu's when next asked for or opened, so that
    // adding many items costs one rebuild.
    void handleChanged();
    // The submenu's handle for its parent's entry, made when missing.
    HMENU subHandle();
    void appendEntry(TMenuItem* item);
    // The entries the handle shows: the visible sub-items, and on a menu
    // bar with a merged menu that menu's in place of their groups.
    std::vector<TMenuItem*> shownItems() const;

    std::vector<TMenuItem*> Items_;
    std::unique_ptr<TActionLink> ActionLink_;  // made with the first action
    TMenuItem* Parent_ = nullptr;
    TMenu* Menu_ = nullptr;  // set on a menu's root item
    HMENU Handle_ = nullptr;
    bool Stale_ = false;  // the handle's entries wait for a rebuild
    bool EntryHasSubmenu_ = false;  // the entry last made for the item holds its submenu
    UINT Command_;
    AnsiString Caption_;
    AnsiString Hint_;
    int HelpContext_ = 0;
    TShortCut ShortCut_ = 0;
    uint8_t GroupIndex_ = 0;
    TMenuBreak Break_ = mbNone;
    bool Checked_ = false;
    bool Enabled_ = true;
    bool Visible_ = true;
    bool Default_ = false;
    bool RadioItem_ = false;
    bool AutoCheck_ = false;
};

// ==== TMenu ====

class TMenu : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TMenu(TComponent* owner);

    // The root item, whose sub-items are the menu's entries.
    TMenuItem* Items() const { return Items_; }
    HMENU Handle() { return Items_->Handle(); }
    // The entries a form stream writes inside the menu: those of the root.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    // The item of the command, submenu handle or shortcut, a merged menu's
    // items included; nil when none.
    TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind) const;
    // The help context of the item of the command (byCommand) or submenu
    // handle, or of its nearest parent that has one; 0 when none.
    int GetHelpContext(UINT_PTR value, bool byCommand) const;
    // Clicks the item of the command; false when the menu has none.
    bool DispatchCommand(UINT command);
    // Clicks the item whose submenu is opening; false when none.
    bool DispatchPopup(HMENU handle);
    // The window whose menu bar shows the menu; redrawn on changes.
    HWND WindowHandle() const { return WindowHandle_; }
    void SetWindowHandle(HWND value) { WindowHandle_ = value; }

    TMenuChangeEvent OnChange;

protected:
    ~TMenu() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The menu bar's root handle is a bar, the others popups.
    virtual bool IsMenuBar() const { return false; }

    // The menu shown among this one's entries, and the one this is shown in.
    TMenu* Merged_ = nullptr;
    TMenu* MergedInto_ = nullptr;
    void setMerged(TMenu* menu);

private:
    friend class TMenuItem;
    void menuChanged(TMenuItem* source, bool rebuild);

    TMenuItem* Items_;
    HWND WindowHandle_ = nullptr;
};

class TMainMenu : public TMenu {
    RTL_DECLARE_CLASS()
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

    // Shows the menu's entries among this one's: each of its groups
    // (GroupIndex) takes the place of this menu's entries of that group,
    // the others go in by group order. One menu is merged at a time; nil
    // or the menu itself undoes the merge.
    void Merge(TMainMenu* menu);
    // Undoes the merge of that menu.
    void Unmerge(TMainMenu* menu);

protected:
    ~TMainMenu() override = default;
    bool IsMenuBar() const override { return true; }
};

class TPopupMenu : public TMenu {
    RTL_DECLARE_CLASS()
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

    // Shows the menu at the screen point and waits until it closes; then the
    // chosen item is clicked.
    virtual void Popup(int x, int y);
    // The component whose context menu the popup is (set before it opens).
    TComponent* PopupComponent() const { return PopupComponent_; }
    void SetPopupComponent(TComponent* value);
    // Whether a right click on a control opens the menu by itself.
    bool AutoPopup() const { return AutoPopup_; }
    void SetAutoPopup(bool value) { AutoPopup_ = value; }
    TPopupAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TPopupAlignment value) { Alignment_ = value; }

    TNotifyEvent OnPopup;

protected:
    ~TPopupMenu() override = default;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TComponent* PopupComponent_ = nullptr;
    TPopupAlignment Alignment_ = paLeft;
    bool AutoPopup_ = true;
};

// ==== Dispatch for windows that show menus ====

// The item of a command number anywhere; nil when none.
TMenuItem* FindMenuItemByCommand(UINT command);
// A submenu of ours is opening (WM_INITMENUPOPUP): its item is clicked.
bool DispatchMenuPopup(HMENU handle);
// A menu entry is selected (WM_MENUSELECT): its hint becomes the application's.
void DispatchMenuSelect(WPARAM wParam, LPARAM lParam);
// The hidden window that owns popup menus while they show.
HWND PopupListWindow();
