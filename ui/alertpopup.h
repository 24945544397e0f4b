// TAlertPopUp, the alert popup component, and TfrmAlertPopUp, the window each
// show builds: a small always-on-top note with a title and a text on a
// gradient that slides out of the screen edge where the taskbar lies, stays
// for its time-out, slides back in and closes; a click on the text can open
// its link. Popups shown while others are open cascade away from the taskbar.
// The placement rules are free functions, tested without windows.
#pragma once

#include <algorithm>
#include <optional>

#include "ui/bitmap.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

class TImage;
class TPanel;
class TTimer;
class TfrmAlertPopUp;

// ==== Placement ====

// The screen edge the taskbar lies on; teUnknown when the shell does not say.
enum TTaskbarEdge : int { teUnknown = -1, teLeft = 0, teTop = 1, teRight = 2, teBottom = 3 };

// The edge of a taskbar rectangle: left or top when its left equals its top
// (by its longer side), else bottom when its left is less than its top, else right.
TTaskbarEdge TaskbarEdgeOf(const TRect& taskbar);
// Asks the shell where its taskbar is.
TTaskbarEdge GetTaskbarEdge();

// Whether a popup still fits `offset` pixels away from the taskbar. With no
// known edge nothing cascades, so it always fits.
bool AlertPopupFits(TTaskbarEdge edge, const TRect& workArea, int height, int startY, int offset);
// A popup's bounds at full size: by the taskbar's corner of the work area,
// `start` in from its edges and `offset` further from the taskbar. With no
// known edge there is no such corner: nothing, and the window stays where a
// new form is put.
std::optional<TRect> AlertPopupBounds(TTaskbarEdge edge, const TRect& workArea, SIZE size, TPoint start, int offset);
// The bounds `delta` pixels further out of the taskbar's edge (less, when
// negative): the side toward the middle of the screen moves.
TRect SlideAlertPopup(TTaskbarEdge edge, TRect bounds, int delta);
// The extent that slides: the width beside a left or right taskbar, else the height.
int SlideExtent(TTaskbarEdge edge, const TRect& bounds);
// Row `row` of a gradient `rows` high: per channel c1 + MulDiv(row, c2 - c1, rows).
TColor GradientRowColor(TColor c1, TColor c2, int row, int rows);

// ==== The component ====

enum TMsnOption : uint8_t { msnAutoOpenURL, msnSystemFont, msnCascadePopups, msnAllowScroll, msnAllowHyperlink };
using TMsnOptions = uint8_t;  // bit i: TMsnOption i
enum TGradientOrientation : uint8_t { goHorizontal, goVertical };
enum TDefaultMonitor : uint8_t { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
// A click on the text of a popup with a link: the popup and its URL.
using TURLClickEvent = TEvent<void(TObject* Sender, const AnsiString& URL)>;

class TAlertPopUp : public TComponent {
    RTL_DECLARE_CLASS()
    // The settings the program shows its alerts with.
    explicit TAlertPopUp(TComponent* owner);

    // Builds and shows one popup from the settings now; false when no other
    // cascaded popup fits on the screen.
    bool ShowPopUp();
    int OpenCount() const { return OpenCount_; }

    AnsiString Title = "title";
    AnsiString Text = "text";
    AnsiString URL = " ";  // opened by a click on the text (msnAutoOpenURL)
    int Width = 148;
    int Height = 121;
    int TimeOut = 10;  // seconds between sliding out and sliding back
    uint8_t ScrollSpeed = 9;  // pixels per slide step
    TColor GradientColor1 = 0xFFCC99;
    TColor GradientColor2 = clWhite;
    TGradientOrientation GradientOrientation = goVertical;  // vertical: top to bottom
    TMsnOptions Options = setOf(msnAutoOpenURL, msnCascadePopups, msnAllowScroll, msnAllowHyperlink);
    int PopupMarge = 2;  // the gap between cascaded popups
    int PopupStartX = 16;
    int PopupStartY = 2;
    TCursor TextCursor = crDefault;  // over the text
    // Drawn transparently at (IconLeft, IconTop); empty: no icon, the title
    // takes its place.
    TBitmap* IconBitmap() { return &IconBitmap_; }
    int IconLeft = 8;
    int IconTop = 8;
    // Stretched over the popup; empty: the gradient.
    TBitmap* BackgroundImage() { return &BackgroundImage_; }
    // Kept for form descriptions: popups go by the desktop's work area
    // whatever it names.
    TDefaultMonitor DefaultMonitor = dmDesktop;
    TFont* Font() { return &Font_; }
    TFont* HoverFont() { return &HoverFont_; }  // the text under the mouse
    TFont* TitleFont() { return &TitleFont_; }

    // Sender is the popup window. A popup closed while they run is only
    // hidden; it closes for good once they return.
    TNotifyEvent OnClick;  // a click on the popup (on the text: without msnAllowHyperlink)
    TURLClickEvent OnURLClick;  // a click on the text, with msnAllowHyperlink

protected:
    ~TAlertPopUp() override = default;

private:
    friend class TfrmAlertPopUp;
    // A popup of ours has closed.
    void popupClosed() { OpenCount_ = std::max(0, OpenCount_ - 1); }

    TFont Font_, HoverFont_, TitleFont_;
    TBitmap IconBitmap_, BackgroundImage_;
    int OpenCount_ = 0;
    int Offset_ = 0;  // of the next cascaded popup, in pixels from the taskbar
    TTaskbarEdge Edge_ = teLeft;  // at the last show
};

// ==== The popup window ====

// A label that tells when the mouse comes over it and leaves it.
class TMouseLabel : public TLabel {
    RTL_DECLARE_CLASS()
    using TLabel::TLabel;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    ~TMouseLabel() override = default;
    void MouseEnter() override { OnMouseEnter(this); }
    void MouseLeave() override { OnMouseLeave(this); }
};

class TfrmAlertPopUp : public TForm {
    RTL_DECLARE_CLASS()
    // A hidden popup with the component's settings of this moment.
    TfrmAlertPopUp(TComponent* owner, TAlertPopUp* component);

    // Places the popup `offset` pixels from the taskbar's edge and shows it
    // sliding out without taking the focus.
    void ShowPopUp(TTaskbarEdge edge, int offset);

protected:
    ~TfrmAlertPopUp() override = default;
    void CreateParams(TCreateParams& params) override;
    int ShowCommand() const override { return SW_SHOWNOACTIVATE; }
    void Notification(TComponent* component, TOperation operation) override;
    // Frees the popup and counts it closed; only hides it while an event
    // handler of the component runs.
    void DoClose(TCloseAction& action) override;

private:
    void paintBackground();
    void paintGradient(TBitmap* bitmap);
    // Calls an event of the component (when it still exists), marked as
    // running a handler.
    template <class Event, class... A>
    void callHandler(Event TAlertPopUp::* event, const A&... args);
    void layoutText(TFont* font);
    void waitExit();

    void tmrExitTimer(TObject*);
    void tmrScrollFullTimer(TObject*);
    void tmrScrollLessTimer(TObject*);
    void lblTextClick(TObject*);
    void lblTextMouseEnter(TObject*);
    void lblTextMouseLeave(TObject*);
    void backgroundMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    TAlertPopUp* Component_;
    TPanel* pnlBorder;
    TImage* imgGradient;
    TImage* imgStrip = nullptr;
    TMouseLabel* lblText;
    TLabel* lblTitle;
    TTimer* tmrExit;
    TTimer* tmrScrollFull;  // sliding out
    TTimer* tmrScrollLess;  // sliding back in
    TFont Font_, HoverFont_;
    AnsiString URL_;
    TColor GradientColor1_, GradientColor2_;
    TGradientOrientation GradientOrientation_;
    TBitmap IconBitmap_, BackgroundImage_;
    int IconLeft_, IconTop_;
    int TimeOut_;
    TMsnOptions Options_;
    uint8_t ScrollSpeed_;
    TTaskbarEdge Edge_ = teUnknown;
    std::optional<TRect> Placed_;  // the full bounds by the taskbar
    bool InHandler_ = false;  // an event of the component runs
    bool Closing_ = false;
};
