// TSplitter: a windowless bar aligned to an edge of its parent, right beside
// the control aligned to the same edge before it; dragging the bar resizes
// that control.
#pragma once

#include "ui/controls.h"

// How a drag shows: rsUpdate resizes as the mouse moves; rsLine and
// rsPattern draw the edge where it will go (a line, a hatched bar) and resize
// at the release; rsNone resizes at the release only.
enum TResizeStyle : uint8_t { rsNone, rsLine, rsUpdate, rsPattern };
extern const TEnumInfo ResizeStyleInfo;

// The new size of the control a splitter resizes; Accept false refuses it.
using TSplitterCanResizeEvent = TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;
extern const TMethodTypeInfo SplitterCanResizeEventType;

// The control it resizes is the visible, enabled sibling that touches it on
// the side away from its edge (left of a left-aligned splitter). A drag asks
// OnCanResize for each new size of it, which lies between MinSize and what
// leaves MinSize to the rest of the parent; with AutoSnap a size up to
// MinSize becomes 0. A resize, once it is made, is OnMoved.
class TSplitter : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TSplitter(TComponent* owner);

    // At least 1.
    int MinSize() const { return MinSize_; }
    void SetMinSize(int value);
    bool AutoSnap() const { return AutoSnap_; }
    void SetAutoSnap(bool value) { AutoSnap_ = value; }
    TResizeStyle ResizeStyle() const { return ResizeStyle_; }
    void SetResizeStyle(TResizeStyle value) { ResizeStyle_ = value; }

    // The splitter's own, in place of the control's size question.
    TSplitterCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    // After the bar is painted in its colour.
    TNotifyEvent OnPaint;

protected:
    ~TSplitter() override = default;
    void Notification(TComponent* component, TOperation operation) override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual bool DoCanResize(int& newSize);
    virtual void Moved() { OnMoved(this); }

private:
    bool horizontal() const { return Align() == alLeft || Align() == alRight; }
    TControl* findControl() const;
    // The resized control's size now, and the size the mouse at (x, y) asks for.
    int controlSize() const;
    int sizeAt(int x, int y) const;
    void updateControlSize();
    // Shows the bar where the edge will go (rsLine, rsPattern) or hides it.
    void showLine(bool show);
    void stopSizing();

    TControl* Control_ = nullptr;  // the control being resized, while a drag lasts
    TPoint DownPos_{};
    int NewSize_ = 0;
    int MaxSize_ = 0;
    int MinSize_ = 30;
    TResizeStyle ResizeStyle_ = rsPattern;
    bool AutoSnap_ = true;
    TRect LineBar_{};  // where the bar is shown
    bool LineShown_ = false;
};
