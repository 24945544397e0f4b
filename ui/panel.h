// TCustomPanel and TPanel: a container that paints its own background, bevels
// and caption; the host's widget windows put their elements on one.
#pragma once

#include "ui/stdctrls.h"

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
extern const TEnumInfo BevelCutInfo;
// A panel's border: the two first values of TFormBorderStyle (bsNone, bsSingle).
extern const TEnumInfo BorderStyleInfo;

class TCustomPanel : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomPanel(TComponent* owner);

    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);
    TBevelCut BevelInner() const { return BevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return BevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return BevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return BorderWidth_; }
    void SetBorderWidth(int value);
    // bsSingle gives the panel a sunken client edge.
    uint8_t BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(uint8_t value);

protected:
    ~TCustomPanel() override = default;
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void AlignControls(TRect& rect) override;
    void TextChanged() override { Invalidate(); }

private:
    // Applies a change of the frame: the children move inside it.
    void frameChanged();

    TAlignment Alignment_ = taCenter;
    TBevelCut BevelInner_ = bvNone;
    TBevelCut BevelOuter_ = bvRaised;
    int BevelWidth_ = 1;
    int BorderWidth_ = 0;
    uint8_t BorderStyle_ = 0;
};

class TPanel : public TCustomPanel {
    RTL_DECLARE_CLASS()
    using TCustomPanel::TCustomPanel;

protected:
    ~TPanel() override = default;
};
