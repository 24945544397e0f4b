// Common controls the host's dialogs need: TCustomTabControl (the system's tab
// control: tabs, hit tests, the area below the tabs), TPageControl with its
// TTabSheet pages, and THotKey, the hotkey editor, whose value is written
// the way shortcuts are (Shift 0x2000, Ctrl 0x4000, Alt 0x8000 plus the
// virtual key: Alt+A is 32833).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "ui/menus.h"
#include "ui/stdctrls.h"

class TCustomTabControl;
class TTabSheet;

enum TTabPosition : uint8_t { tpTop, tpBottom, tpLeft, tpRight };
extern const TEnumInfo TabPositionInfo;
enum TTabStyle : uint8_t { tsTabs, tsButtons, tsFlatButtons };
extern const TEnumInfo TabStyleInfo;
enum THitTest : uint8_t {
    htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
    htToLeft, htToRight
};
using THitTests = uint16_t;
extern const TSetInfo HitTestsInfo;

using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;
using TTabGetImageEvent = TEvent<void(TObject* Sender, int TabIndex, int& ImageIndex)>;
using TDrawTabEvent = TEvent<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
extern const TMethodTypeInfo TabChangingEventType, TabGetImageEventType, DrawTabEventType;

// ==== TCustomTabControl ====

// The tab and image events (OnDrawTab, OnGetImageIndex) are published for
// scripts to assign; tabs here are drawn by the system, with the images of
// their pages from Images.
class TCustomTabControl : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomTabControl(TComponent* owner);

    // The tab at a client point; -1 when none.
    int IndexOfTabAt(int x, int y);
    // What lies at a client point: over a tab htOnItem (or its icon or label
    // part); nothing elsewhere.
    THitTests GetHitTestInfoAt(int x, int y);
    TRect TabRect(int index);
    // Scrolls a single row of tabs by delta tabs (its arrow buttons' job).
    void ScrollTabs(int delta);
    // The client area below the tabs.
    TRect DisplayRect();
    int RowCount();

    TTabPosition TabPosition() const { return TabPosition_; }
    void SetTabPosition(TTabPosition value);
    bool MultiLine() const { return MultiLine_; }
    void SetMultiLine(bool value);
    // Tabs, or push buttons in place of tabs.
    TTabStyle Style() const { return Style_; }
    void SetStyle(TTabStyle value);
    // The image list the tabs' images come from (not owned); none by default.
    HIMAGELIST Images() const { return Images_; }
    void SetImages(HIMAGELIST value);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabGetImageEvent OnGetImageIndex;
    TDrawTabEvent OnDrawTab;

protected:
    ~TCustomTabControl() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(TRect& rect) override;
    void KeyDown(WORD& key, TShiftState shift) override;

    // The tab selected by the user is about to change: OnChanging decides.
    virtual bool CanChange();
    // The user selected another tab.
    virtual void Change() { OnChange(this); }
    // The tabs, in order, and the selected one.
    struct TTabItem {
        AnsiString Text;
        int ImageIndex;
    };
    virtual std::vector<TTabItem> TabItems() const = 0;
    virtual int SelectedTab() const = 0;
    // Makes the tabs again from TabItems.
    void UpdateTabs();
    int TabIndex();

private:
    TTabPosition TabPosition_ = tpTop;
    bool MultiLine_ = false;
    TTabStyle Style_ = tsTabs;
    HIMAGELIST Images_ = nullptr;
};

// ==== TPageControl and TTabSheet ====

class TPageControl : public TCustomTabControl {
    RTL_DECLARE_CLASS()
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return static_cast<int>(Pages_.size()); }
    // Raises the list index error outside 0..PageCount-1.
    TTabSheet* Pages(int index) const;
    // Showing a page hides the one shown before (OnHide, then OnShow).
    TTabSheet* ActivePage() const { return ActivePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The page after (or before) the current one, wrapping; only pages with a
    // visible tab when checkTabVisible. nil when there is none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Shows the next page as a tab click would (OnChanging, OnChange).
    void SelectNextPage(bool goForward, bool checkTabVisible = true);

protected:
    ~TPageControl() override;
    void Change() override;
    std::vector<TTabItem> TabItems() const override;
    int SelectedTab() const override;
    void AlignControls(TRect& rect) override;

private:
    friend class TTabSheet;
    void insertPage(TTabSheet* page);
    void removePage(TTabSheet* page);

    std::vector<TTabSheet*> Pages_;
    TTabSheet* ActivePage_ = nullptr;
};

class TTabSheet : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TTabSheet(TComponent* owner);

    // Moves the sheet onto the page control (as its last page).
    TPageControl* PageControl() const { return PageControl_; }
    void SetPageControl(TPageControl* value);
    void SetParent(TWinControl* parent) override;
    int PageIndex() const;
    void SetPageIndex(int value);
    // The index of its tab among the visible tabs; -1 without a tab.
    int TabIndex() const;
    bool TabVisible() const { return TabVisible_; }
    void SetTabVisible(bool value);
    // Its tab's image in the page control's Images.
    int ImageIndex() const { return ImageIndex_; }
    void SetImageIndex(int value);

    TNotifyEvent OnHide;
    TNotifyEvent OnShow;

protected:
    ~TTabSheet() override;
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* PageControl_ = nullptr;
    bool TabVisible_ = true;
    int ImageIndex_ = 0;
};

// ==== THotKey ====

enum THKInvalidKey : uint8_t {
    hcNone, hcShift, hcCtrl, hcAlt, hcShiftCtrl, hcShiftAlt, hcCtrlAlt, hcShiftCtrlAlt
};
using THKInvalidKeys = uint8_t;
extern const TSetInfo HKInvalidKeysInfo;
enum THKModifier : uint8_t { hkShift, hkCtrl, hkAlt, hkExt };
using THKModifiers = uint8_t;
extern const TSetInfo HKModifiersInfo;

// The value of the system's hotkey control (the key in the low byte, the
// HOTKEYF_ flags in the high byte) and a shortcut value, both ways.
TShortCut hotKeyControlToShortCut(WORD value);
WORD shortCutToHotKeyControl(TShortCut shortCut);

class THotKey : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit THotKey(TComponent* owner);

    TShortCut HotKey() const;
    void SetHotKey(TShortCut value);
    // The modifier combinations the editor refuses, replacing them with
    // Modifiers.
    THKInvalidKeys InvalidKeys() const { return InvalidKeys_; }
    void SetInvalidKeys(THKInvalidKeys value);
    THKModifiers Modifiers() const { return Modifiers_; }
    void SetModifiers(THKModifiers value);

protected:
    ~THotKey() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void applyRules();

    TShortCut HotKey_ = scAlt | 'A';
    THKInvalidKeys InvalidKeys_ = setOf(hcNone, hcShift);
    THKModifiers Modifiers_ = setOf(hkAlt);
};
