// TJPoint ("Point") and TJRect ("Rect"): the coordinates and rectangles the
// GUI bridge hands to scripts and takes back. Both read and write a text form
// ("{x:1,y:2}", "{left:0,top:0,right:4,bottom:3}"); a text that does not
// parse changes nothing. A rectangle's corners are two points it holds, handed
// out shared, so a script that changes a corner changes the rectangle. They
// are not registered by name: only native code makes them.
#pragma once

#include <windows.h>

#include "engine/core/object.h"

class TJPoint : public TJObject {
    RTL_DECLARE_CLASS()
    TJPoint(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int32_t X() const { return X_; }
    void SetX(int32_t x) { X_ = x; }
    int32_t Y() const { return Y_; }
    void SetY(int32_t y) { Y_ = y; }
    // Copies the members "x" and "y" of any object (0 for absent ones).
    void Assign(TJObject* source);

    AnsiString ToString(const TJValue* = nullptr) override { return pointText(); }

    // ---- Published properties ----
    AnsiString pointText() const;
    void setPointText(const AnsiString& text);

private:
    int32_t X_ = 0;
    int32_t Y_ = 0;
};

class TJRect : public TJObject {
    RTL_DECLARE_CLASS()
    TJRect(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJRect() override;

    void CopyToRect(RECT& rect) const;
    void CopyFromRect(const RECT& rect);

    AnsiString ToString(const TJValue* = nullptr) override { return rectText(); }

    // ---- Published properties ----
    int32_t Left() const { return TopLeft_->X(); }
    void SetLeft(int32_t v) { TopLeft_->SetX(v); }
    int32_t Top() const { return TopLeft_->Y(); }
    void SetTop(int32_t v) { TopLeft_->SetY(v); }
    int32_t Right() const { return BottomRight_->X(); }
    void SetRight(int32_t v) { BottomRight_->SetX(v); }
    int32_t Bottom() const { return BottomRight_->Y(); }
    void SetBottom(int32_t v) { BottomRight_->SetY(v); }
    TJObject* topLeftProperty() const { return TopLeft_; }
    // Copies "x" and "y" of the object into the corner; nil changes nothing.
    void setTopLeftProperty(TJObject* source) { TopLeft_->Assign(source); }
    TJObject* bottomRightProperty() const { return BottomRight_; }
    void setBottomRightProperty(TJObject* source) { BottomRight_->Assign(source); }
    AnsiString rectText() const;
    void setRectText(const AnsiString& text);

private:
    TJPoint* TopLeft_;
    TJPoint* BottomRight_;
};
