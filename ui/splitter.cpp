// The splitter: finding the neighbour it resizes, the size a drag asks for
// between the limits, the inverted bar of a drag in progress, and the
// published table.
#include "ui/splitter.h"

#include <algorithm>

#include "ui/controlprops.h"

namespace {

const char* const resizeStyleNames[] = {"rsNone", "rsLine", "rsUpdate", "rsPattern"};

}  // namespace

const TEnumInfo ResizeStyleInfo{"TResizeStyle", resizeStyleNames, 4};
const TMethodTypeInfo SplitterCanResizeEventType{"TSplitterCanResizeEvent"};

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetAlign(alLeft);
    SetCursor(crSizeWE);
    UpdateBoundsFields(0, 0, 3, 100);
}

void TSplitter::SetMinSize(int value) { MinSize_ = std::max(value, 1); }

void TSplitter::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == Control_) Control_ = nullptr;
}

void TSplitter::Paint() {
    Canvas()->FillRect(ClientRect());
    OnPaint(this);
}

// The point just outside the edge away from the splitter's own; a control of
// no width (or height) still counts as one pixel there.
TControl* TSplitter::findControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    TPoint p{Left(), Top()};
    switch (Align()) {
    case alLeft: --p.x; break;
    case alRight: p.x += Width(); break;
    case alTop: --p.y; break;
    case alBottom: p.y += Height(); break;
    default: return nullptr;
    }
    bool before = Align() == alLeft || Align() == alTop;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* control = parent->Controls(i);
        if (control == this || !control->Visible() || !control->Enabled()) continue;
        TRect r = control->BoundsRect();
        if (r.right == r.left) (before ? r.left : r.right) += before ? -1 : 1;
        if (r.bottom == r.top) (before ? r.top : r.bottom) += before ? -1 : 1;
        if (PtInRect(&r, p)) return control;
    }
    return nullptr;
}

int TSplitter::controlSize() const { return horizontal() ? Control_->Width() : Control_->Height(); }

int TSplitter::sizeAt(int x, int y) const {
    int split = horizontal() ? x - DownPos_.x : y - DownPos_.y;
    int size = Align() == alLeft || Align() == alTop ? controlSize() + split : controlSize() - split;
    return size < MinSize_ ? MinSize_ : std::min(size, MaxSize_);
}

bool TSplitter::DoCanResize(int& newSize) {
    bool accept = true;
    OnCanResize(this, newSize, accept);
    if (accept && AutoSnap_ && newSize <= MinSize_) newSize = 0;
    return accept;
}

// The most the control may take: the parent's room less MinSize and less the
// other controls aligned across the same axis (the splitter among them).
void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || Control_) return;
    TControl* control = findControl();
    if (!control) return;
    Control_ = control;
    FreeNotification(control);
    DownPos_ = {x, y};
    TWinControl* parent = Parent();
    MaxSize_ = (horizontal() ? parent->ClientWidth() : parent->ClientHeight()) - MinSize_;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        if (horizontal() && (c->Align() == alLeft || c->Align() == alRight)) MaxSize_ -= c->Width();
        if (!horizontal() && (c->Align() == alTop || c->Align() == alBottom)) MaxSize_ -= c->Height();
    }
    MaxSize_ += controlSize();
    NewSize_ = controlSize();
    showLine(true);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!inSet(shift, ssLeft) || !Control_) return;
    int newSize = sizeAt(x, y);
    if (!DoCanResize(newSize) || !Control_) return;
    showLine(false);
    NewSize_ = newSize;
    if (ResizeStyle_ == rsUpdate) updateControlSize();
    showLine(true);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    showLine(false);
    if (button != mbLeft || !Control_) return;
    try {
        updateControlSize();
    } catch (...) {
        stopSizing();
        throw;
    }
    stopSizing();
}

// The control keeps its outer edge; the parent's alignment moves the splitter.
void TSplitter::updateControlSize() {
    if (!Control_ || NewSize_ == controlSize()) return;
    TRect b = Control_->BoundsRect();
    int width = b.right - b.left, height = b.bottom - b.top;
    switch (Align()) {
    case alLeft: Control_->SetBounds(b.left, b.top, NewSize_, height); break;
    case alRight: Control_->SetBounds(b.right - NewSize_, b.top, NewSize_, height); break;
    case alTop: Control_->SetBounds(b.left, b.top, width, NewSize_); break;
    case alBottom: Control_->SetBounds(b.left, b.bottom - NewSize_, width, NewSize_); break;
    default: return;
    }
    Moved();
}

void TSplitter::stopSizing() {
    if (Control_) RemoveFreeNotification(Control_);
    Control_ = nullptr;
}

// The bar is inverted on the parent's surface, and inverted back at the same
// place to hide it.
void TSplitter::showLine(bool show) {
    TWinControl* parent = Parent();
    if (show == LineShown_ || (ResizeStyle_ != rsLine && ResizeStyle_ != rsPattern) || !parent ||
        !parent->HandleAllocated() || (show && !Control_))
        return;
    LineShown_ = show;
    if (show) {
        LineBar_ = BoundsRect();
        int offset = NewSize_ - controlSize();
        if (Align() == alRight || Align() == alBottom) offset = -offset;
        if (horizontal()) OffsetRect(&LineBar_, offset, 0);
        else OffsetRect(&LineBar_, 0, offset);
    }
    const TRect& bar = LineBar_;
    HDC dc = GetDCEx(parent->Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (ResizeStyle_ == rsPattern) {
        static const WORD hatch[] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, hatch);
        HBRUSH brush = CreatePatternBrush(pattern);
        HGDIOBJ old = SelectObject(dc, brush);
        PatBlt(dc, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, PATINVERT);
        SelectObject(dc, old);
        DeleteObject(brush);
        DeleteObject(pattern);
    } else {
        PatBlt(dc, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, DSTINVERT);
    }
    ReleaseDC(parent->Handle(), dc);
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo splitterProperties[] = {
    Left, Top, Width, Height,
    EnumProperty<&TControl::Align, &TControl::SetAlign>("Align", &AlignInfo, alLeft),
    BoolProperty<&TSplitter::AutoSnap, &TSplitter::SetAutoSnap>("AutoSnap", 1),
    Color, Cursor, Hint,
    IntegerProperty<&TSplitter::MinSize, &TSplitter::SetMinSize>("MinSize", 30),
    ParentColor, ParentShowHint,
    EnumProperty<&TSplitter::ResizeStyle, &TSplitter::SetResizeStyle>("ResizeStyle", &ResizeStyleInfo, rsPattern),
    ShowHint, Visible,
    MethodProperty<&TSplitter::OnCanResize, &TSplitter::OnCanResize>("OnCanResize", &SplitterCanResizeEventType),
    MethodProperty<&TSplitter::OnMoved, &TSplitter::OnMoved>("OnMoved", &NotifyEventType),
    MethodProperty<&TSplitter::OnPaint, &TSplitter::OnPaint>("OnPaint", &NotifyEventType),
};

}  // namespace

const TClassInfo TSplitter::classInfo =
    makeClassInfo("TSplitter", &TGraphicControl::classInfo, splitterProperties, &componentCreator<TSplitter>);
