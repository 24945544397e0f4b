// The panel: bevels drawn as lines of the two shadow colours, the caption in
// the middle, the children inside the frame.
#include "ui/panel.h"

#include "ui/controlprops.h"
#include "ui/forms.h"

namespace {

const char* const bevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const char* const borderStyleNames[] = {"bsNone", "bsSingle"};

// Draws one bevel of the given width inside the rectangle and shrinks the
// rectangle by it.
void drawBevel(TCanvas* canvas, TRect& r, TBevelCut cut, int width, TColor face) {
    TColor topLeft = cut == bvLowered ? clBtnShadow : cut == bvRaised ? clBtnHighlight : face;
    TColor bottomRight = cut == bvLowered ? clBtnHighlight : cut == bvRaised ? clBtnShadow : face;
    for (int i = 0; i < width; ++i) {
        canvas->Brush()->SetColor(topLeft);
        canvas->FillRect({r.left, r.top, r.right - 1, r.top + 1});
        canvas->FillRect({r.left, r.top, r.left + 1, r.bottom - 1});
        canvas->Brush()->SetColor(bottomRight);
        canvas->FillRect({r.left, r.bottom - 1, r.right, r.bottom});
        canvas->FillRect({r.right - 1, r.top, r.right, r.bottom});
        InflateRect(&r, -1, -1);
    }
    canvas->Brush()->SetColor(face);
}

}  // namespace

const TEnumInfo BevelCutInfo{"TBevelCut", bevelCutNames, 4};
const TEnumInfo BorderStyleInfo{"TBorderStyle", borderStyleNames, 2};

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) {
    ControlStyle_ |= csAcceptsControls | csCustomPaint;
    SetColor(clBtnFace);
    UpdateBoundsFields(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    if (BorderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::PaintWindow(HDC dc) {
    TCanvasPaint paint(Canvas(), dc, this);
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->FillRect(r);
    if (BevelOuter_ != bvNone) drawBevel(canvas, r, BevelOuter_, BevelWidth_, Color());
    InflateRect(&r, -BorderWidth_, -BorderWidth_);
    if (BevelInner_ != bvNone) drawBevel(canvas, r, BevelInner_, BevelWidth_, Color());
    if (Caption().empty()) return;
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    HDC handle = canvas->Handle();
    SetBkMode(handle, TRANSPARENT);
    SetTextColor(handle, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(handle, Caption().c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | alignments[Alignment_]);
}

void TCustomPanel::AlignControls(TRect& rect) {
    int inset = BorderWidth_ + (BevelOuter_ != bvNone ? BevelWidth_ : 0) + (BevelInner_ != bvNone ? BevelWidth_ : 0);
    InflateRect(&rect, -inset, -inset);
    TWinControl::AlignControls(rect);
}

void TCustomPanel::frameChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (value == BevelInner_) return;
    BevelInner_ = value;
    frameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (value == BevelOuter_) return;
    BevelOuter_ = value;
    frameChanged();
}

void TCustomPanel::SetBevelWidth(int value) {
    if (value < 1 || value == BevelWidth_) return;
    BevelWidth_ = value;
    frameChanged();
}

void TCustomPanel::SetBorderWidth(int value) {
    if (value < 0 || value == BorderWidth_) return;
    BorderWidth_ = value;
    frameChanged();
}

void TCustomPanel::SetBorderStyle(uint8_t value) {
    if (value > bsSingle || value == BorderStyle_) return;
    BorderStyle_ = value;
    RecreateWnd();
}

namespace {

using namespace published;

const TPropInfo panelProperties[] = {
    Left, Top, Width, Height, Align,
    EnumProperty<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment", &AlignmentInfo, taCenter),
    Anchors,
    EnumProperty<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner", &BevelCutInfo, bvNone),
    EnumProperty<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter", &BevelCutInfo, bvRaised),
    IntegerProperty<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth", 1),
    EnumProperty<&TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle>("BorderStyle", &BorderStyleInfo, bsNone),
    IntegerProperty<&TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth>("BorderWidth", 0),
    Caption, Color, Cursor, Enabled, Font, Hint,
    BoolProperty<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor", 0),
    ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop, Visible,
    OnCanResize, OnClick, OnConstrainedResize, OnContextPopup, OnDblClick, OnDockDrop, OnDockOver, OnDragDrop,
    OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnGetSiteInfo, OnMouseDown, OnMouseMove, OnMouseUp, OnResize,
    OnStartDock, OnStartDrag, OnUnDock,
};

}  // namespace

const TClassInfo TCustomPanel::classInfo = makeClassInfo("TCustomPanel", &TWinControl::classInfo);
const TClassInfo TPanel::classInfo =
    makeClassInfo("TPanel", &TCustomPanel::classInfo, panelProperties, &componentCreator<TPanel>);
