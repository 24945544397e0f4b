// The alert popup: where the taskbar is and where popups go, the component
// that counts and cascades them, and the popup window that slides out, waits,
// slides back in and closes, driven by its timers.
#include "ui/alertpopup.h"

#include <shellapi.h>

#include <cmath>
#include <utility>

#include "ui/image.h"
#include "ui/panel.h"
#include "ui/timer.h"

// ==== Placement ====

TTaskbarEdge TaskbarEdgeOf(const TRect& taskbar) {
    if (taskbar.left == taskbar.top) {
        if (taskbar.right < taskbar.bottom) return teLeft;
        if (taskbar.bottom < taskbar.right) return teTop;
    }
    return taskbar.left < taskbar.top ? teBottom : teRight;
}

TTaskbarEdge GetTaskbarEdge() {
    APPBARDATA data{};
    data.cbSize = sizeof data;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data)) return teUnknown;
    return TaskbarEdgeOf(data.rc);
}

bool AlertPopupFits(TTaskbarEdge edge, const TRect& workArea, int height, int startY, int offset) {
    switch (edge) {
    case teUnknown: return true;
    case teTop: return offset + height + startY <= workArea.bottom;
    default: return workArea.bottom - offset - height - startY >= 0;
    }
}

std::optional<TRect> AlertPopupBounds(TTaskbarEdge edge, const TRect& workArea, SIZE size, TPoint start, int offset) {
    int left = workArea.right - size.cx - start.x;
    int top = workArea.bottom - start.y - size.cy - offset;
    switch (edge) {
    case teUnknown: return std::nullopt;
    case teLeft: left = workArea.left + start.x; break;
    case teTop: top = workArea.top + start.y + offset; break;
    default: break;
    }
    return TRect{left, top, left + size.cx, top + size.cy};
}

TRect SlideAlertPopup(TTaskbarEdge edge, TRect bounds, int delta) {
    switch (edge) {
    case teLeft: bounds.right += delta; break;
    case teTop: bounds.bottom += delta; break;
    case teRight: bounds.left -= delta; break;
    case teBottom: bounds.top -= delta; break;
    case teUnknown: break;
    }
    return bounds;
}

int SlideExtent(TTaskbarEdge edge, const TRect& bounds) {
    return edge == teLeft || edge == teRight ? bounds.right - bounds.left : bounds.bottom - bounds.top;
}

TColor GradientRowColor(TColor c1, TColor c2, int row, int rows) {
    TColor color = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int from = c1 >> shift & 0xFF, to = c2 >> shift & 0xFF;
        color |= static_cast<TColor>(from + MulDiv(row, to - from, rows)) << shift;
    }
    return color;
}

// ==== The component ====

namespace {

// "ＭＳ Ｐゴシック" in code page 932.
constexpr const char* kPopupFontName = "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

void setPopupFont(TFont& font, TColor color, TFontStyles style) {
    font.SetCharset(SHIFTJIS_CHARSET);
    font.SetHeight(-12);
    font.SetName(kPopupFontName);
    font.SetColor(color);
    font.SetStyle(style);
}

}  // namespace

const TClassInfo TAlertPopUp::classInfo = makeClassInfo("TAlertPopUp", &TComponent::classInfo);

TAlertPopUp::TAlertPopUp(TComponent* owner) : TComponent(owner) {
    setPopupFont(Font_, clWindowText, 0);
    setPopupFont(HoverFont_, clBlue, fontStyle(fsUnderline));
    setPopupFont(TitleFont_, clWindowText, fontStyle(fsBold));
}

bool TAlertPopUp::ShowPopUp() {
    TTaskbarEdge edge = GetTaskbarEdge();
    if (edge != Edge_) {
        Edge_ = edge;
        OpenCount_ = 0;
    }
    if (OpenCount_ <= 0) Offset_ = 0;
    else if (!AlertPopupFits(edge, Screen->WorkAreaRect(), Height, PopupStartY, Offset_)) return false;
    auto* popup = new TfrmAlertPopUp(Owner(), this);
    popup->ShowPopUp(edge, Offset_);
    ++OpenCount_;
    bool cascades = inSet(Options, msnCascadePopups) && edge != teUnknown;
    Offset_ = cascades ? Offset_ + Height + PopupMarge : 0;
    return true;
}

// ==== The popup window ====

const TClassInfo TMouseLabel::classInfo = makeClassInfo("TMouseLabel", &TLabel::classInfo);
const TClassInfo TfrmAlertPopUp::classInfo = makeClassInfo("TfrmAlertPopUp", &TForm::classInfo);

namespace {

constexpr UINT kSlideInterval = 25;  // ms a slide step

TTimer* newTimer(TComponent* owner, uint32_t interval, TNotifyEvent onTimer) {
    auto* timer = new TTimer(owner);
    timer->SetEnabled(false);
    timer->SetInterval(interval);
    timer->SetOnTimer(onTimer);
    return timer;
}

// The version of an NT platform; 0.0 on any other.
std::pair<DWORD, DWORD> ntVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return {0, 0};
    return {info.dwMajorVersion, info.dwMinorVersion};
}

int roundHalf(int difference) { return static_cast<int>(std::nearbyint(difference / 2.0)); }

}  // namespace

TfrmAlertPopUp::TfrmAlertPopUp(TComponent* owner, TAlertPopUp* component)
    : TForm(owner),
      Component_(component),
      URL_(component->URL),
      GradientColor1_(component->GradientColor1),
      GradientColor2_(component->GradientColor2),
      GradientOrientation_(component->GradientOrientation),
      IconLeft_(component->IconLeft),
      IconTop_(component->IconTop),
      TimeOut_(component->TimeOut),
      Options_(component->Options),
      ScrollSpeed_(component->ScrollSpeed) {
    FreeNotification(component);
    SetBorderStyle(bsNone);
    SetBounds(Left(), Top(), component->Width, component->Height);
    Font_.Assign(component->Font());
    HoverFont_.Assign(component->HoverFont());
    IconBitmap_.Assign(component->IconBitmap());
    BackgroundImage_.Assign(component->BackgroundImage());

    pnlBorder = new TPanel(this);
    pnlBorder->SetParent(this);
    pnlBorder->SetAlign(alClient);
    pnlBorder->SetBevelWidth(2);
    pnlBorder->SetBevelOuter(bvLowered);
    pnlBorder->OnMouseUp = TMouseEvent::bind<&TfrmAlertPopUp::backgroundMouseUp>(this);

    imgGradient = new TImage(this);
    imgGradient->SetParent(pnlBorder);
    imgGradient->SetAlign(alClient);
    imgGradient->OnMouseUp = TMouseEvent::bind<&TfrmAlertPopUp::backgroundMouseUp>(this);

    lblText = new TMouseLabel(this);
    lblText->SetParent(pnlBorder);
    lblText->SetShowAccelChar(false);
    lblText->SetLayout(tlCenter);
    lblText->SetWordWrap(true);
    lblText->SetTransparent(true);
    lblText->SetAlignment(taCenter);
    lblText->SetBounds(9, 49, 3, 13);
    lblText->SetCaption(component->Text);
    lblText->SetCursor(component->TextCursor);
    lblText->OnClick = TNotifyEvent::bind<&TfrmAlertPopUp::lblTextClick>(this);
    lblText->OnMouseEnter = TNotifyEvent::bind<&TfrmAlertPopUp::lblTextMouseEnter>(this);
    lblText->OnMouseLeave = TNotifyEvent::bind<&TfrmAlertPopUp::lblTextMouseLeave>(this);
    lblText->OnMouseUp = TMouseEvent::bind<&TfrmAlertPopUp::backgroundMouseUp>(this);

    // Without an icon the title takes its place at the left.
    lblTitle = new TLabel(this);
    lblTitle->SetParent(pnlBorder);
    lblTitle->SetTransparent(true);
    lblTitle->SetShowAccelChar(false);
    lblTitle->SetBounds(IconBitmap_.Empty() ? 8 : 48, 8, lblTitle->Width(), lblTitle->Height());
    lblTitle->SetFont(component->TitleFont());
    lblTitle->SetCaption(component->Title);
    lblTitle->OnMouseUp = TMouseEvent::bind<&TfrmAlertPopUp::backgroundMouseUp>(this);

    tmrExit = newTimer(this, 10000, TNotifyEvent::bind<&TfrmAlertPopUp::tmrExitTimer>(this));
    tmrScrollFull = newTimer(this, kSlideInterval, TNotifyEvent::bind<&TfrmAlertPopUp::tmrScrollFullTimer>(this));
    tmrScrollLess = newTimer(this, kSlideInterval, TNotifyEvent::bind<&TfrmAlertPopUp::tmrScrollLessTimer>(this));
}

void TfrmAlertPopUp::Notification(TComponent* component, TOperation operation) {
    TForm::Notification(component, operation);
    if (operation == opRemove && component == Component_) Component_ = nullptr;
}

// A captionless tool window owned by the desktop that takes no focus (but on
// NT 3.51 and 4.0, which lack the bit) and casts a shadow. The shadow comes
// from Windows XP (5.1) on, not only on versions whose minor number is above
// 0: Vista (6.0) and Windows 10 (10.0) have it too.
void TfrmAlertPopUp::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    auto [major, minor] = ntVersion();
    params.Style = (params.Style & ~WS_CAPTION) | WS_POPUP;
    params.ExStyle |= WS_EX_TOOLWINDOW;
    if (!(major > 0 && major <= 4 && (minor == 0 || minor == 51))) params.ExStyle |= WS_EX_NOACTIVATE;
    if (major > 5 || (major == 5 && minor >= 1)) params.ClassStyle |= CS_DROPSHADOW;
    params.WndParent = GetDesktopWindow();
}

void TfrmAlertPopUp::ShowPopUp(TTaskbarEdge edge, int offset) {
    imgStrip = new TImage(this);
    imgStrip->SetParent(pnlBorder);
    imgStrip->SetBounds(0, 0, Width() - 10, 3);
    imgStrip->SetAlign(alBottom);
    imgStrip->SetStretch(true);
    imgStrip->OnMouseUp = TMouseEvent::bind<&TfrmAlertPopUp::backgroundMouseUp>(this);
    if (BackgroundImage_.Empty()) LoadBitmapResource(*imgStrip->Picture(), "POPUPSTRIP");

    Edge_ = edge;
    Placed_ = AlertPopupBounds(edge, Screen->WorkAreaRect(), {Width(), Height()},
                               {Component_->PopupStartX, Component_->PopupStartY}, offset);
    if (Placed_) SetBounds(Placed_->left, Placed_->top, Width(), Height());
    paintBackground();
    // Laid out at full size: a window collapsed toward a left or right
    // taskbar would leave the text no width.
    layoutText(&Font_);

    if (inSet(Options_, msnAllowScroll) && Placed_) {
        TRect collapsed = SlideAlertPopup(edge, *Placed_, 1 - SlideExtent(edge, *Placed_));
        SetBounds(collapsed.left, collapsed.top, collapsed.right - collapsed.left, collapsed.bottom - collapsed.top);
        tmrScrollFull->SetEnabled(true);
    } else {
        waitExit();
    }
    SetFormStyle(fsStayOnTop);
    Show();
}

// The background image or the gradient, as large as the image, and the icon
// over it; an icon with no transparent colour of its own leaves out the colour
// of its bottom-left pixel.
void TfrmAlertPopUp::paintBackground() {
    TBitmap* bitmap = imgGradient->Picture()->Bitmap();
    bitmap->SetSize(imgGradient->Width(), imgGradient->Height());
    if (BackgroundImage_.Empty()) paintGradient(bitmap);
    else bitmap->Canvas()->StretchDraw({0, 0, bitmap->Width(), bitmap->Height()}, &BackgroundImage_);
    if (!IconBitmap_.Empty()) {
        if (!IconBitmap_.Transparent() && !IconBitmap_.HasAlpha())
            IconBitmap_.SetTransparentColor(pixelColor(IconBitmap_.ScanLine(IconBitmap_.Height() - 1)[0]));
        bitmap->Canvas()->Draw(IconLeft_, IconTop_, &IconBitmap_);
    }
    bitmap->Changed();
}

// From the first gradient colour to the second: top to bottom, or left to
// right when horizontal.
void TfrmAlertPopUp::paintGradient(TBitmap* bitmap) {
    int width = bitmap->Width(), height = bitmap->Height();
    bool vertical = GradientOrientation_ == goVertical;
    int steps = vertical ? height : width;
    for (int step = 0; step < steps; ++step) {
        TColor color = GradientRowColor(ColorToRGB(GradientColor1_), ColorToRGB(GradientColor2_), step, steps);
        uint32_t pixel = makePixel(GetRValue(color), GetGValue(color), GetBValue(color));
        if (vertical) std::fill_n(bitmap->ScanLine(step), width, pixel);
        else
            for (int row = 0; row < height; ++row) bitmap->ScanLine(row)[step] = pixel;
    }
}

// The text wrapped to the panel's width less 15 and centred in the panel.
void TfrmAlertPopUp::layoutText(TFont* font) {
    lblText->SetWidth(pnlBorder->Width() - 15);
    lblText->SetFont(font);
    // Fits the height to the new width even when the font stays the same.
    lblText->SetAutoSize(false);
    lblText->SetAutoSize(true);
    lblText->SetBounds(roundHalf(pnlBorder->Width() - lblText->Width()),
                       roundHalf(pnlBorder->Height() - lblText->Height()), lblText->Width(), lblText->Height());
}

// A time-out of 0 or less slides back as soon as the popup is out: the wait
// ends at once, as a wait of 0 seconds does.
void TfrmAlertPopUp::waitExit() {
    if (TimeOut_ <= 0) return tmrScrollLess->SetEnabled(true);
    tmrExit->SetInterval(static_cast<uint32_t>(std::min<int64_t>(int64_t{TimeOut_} * 1000, int64_t{USER_TIMER_MAXIMUM})));
    tmrExit->SetEnabled(true);
}

void TfrmAlertPopUp::DoClose(TCloseAction& action) {
    TForm::DoClose(action);
    if (InHandler_) {
        action = caHide;
        return;
    }
    action = Closing_ ? caNone : caFree;  // counted and freed once
    if (action == caNone) return;
    Closing_ = true;
    for (TTimer* timer : {tmrExit, tmrScrollFull, tmrScrollLess}) timer->SetEnabled(false);
    if (Component_) Component_->popupClosed();
}

template <class Event, class... A>
void TfrmAlertPopUp::callHandler(Event TAlertPopUp::* event, const A&... args) {
    if (!Component_) return;
    Event handler = Component_->*event;  // the component may go while it runs
    InHandler_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{InHandler_};
    handler(this, args...);
}

void TfrmAlertPopUp::tmrExitTimer(TObject*) {
    tmrExit->SetEnabled(false);
    tmrScrollLess->SetEnabled(true);
}

void TfrmAlertPopUp::tmrScrollFullTimer(TObject*) {
    TRect next = SlideAlertPopup(Edge_, BoundsRect(), ScrollSpeed_);
    if (SlideExtent(Edge_, next) >= SlideExtent(Edge_, *Placed_)) {
        next = *Placed_;
        tmrScrollFull->SetEnabled(false);
        waitExit();
    }
    SetBounds(next.left, next.top, next.right - next.left, next.bottom - next.top);
}

// Without a taskbar edge there is nothing to slide: the popup closes.
void TfrmAlertPopUp::tmrScrollLessTimer(TObject*) {
    TRect next = SlideAlertPopup(Edge_, BoundsRect(), -ScrollSpeed_);
    if (!Placed_ || SlideExtent(Edge_, next) <= 0) return Close();
    SetBounds(next.left, next.top, next.right - next.left, next.bottom - next.top);
}

void TfrmAlertPopUp::lblTextClick(TObject*) {
    TKeepAlive hold(this);
    if (!inSet(Options_, msnAllowHyperlink)) {
        callHandler(&TAlertPopUp::OnClick);
    } else {
        callHandler(&TAlertPopUp::OnURLClick, URL_);
        if (inSet(Options_, msnAutoOpenURL)) ShellExecuteA(nullptr, nullptr, URL_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    Close();
}

void TfrmAlertPopUp::lblTextMouseEnter(TObject*) {
    if (inSet(Options_, msnAllowHyperlink)) layoutText(&HoverFont_);
}

void TfrmAlertPopUp::lblTextMouseLeave(TObject*) {
    if (inSet(Options_, msnAllowHyperlink)) layoutText(&Font_);
}

// The right button over the text, any button elsewhere.
void TfrmAlertPopUp::backgroundMouseUp(TObject* sender, TMouseButton button, TShiftState, int, int) {
    if (sender != lblText || button == mbRight) {
        TKeepAlive hold(this);
        callHandler(&TAlertPopUp::OnClick);
        Close();
    }
}
