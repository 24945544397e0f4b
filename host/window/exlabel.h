// TExLabel: the text element of a widget window (script class "label"). It
// keeps its full text and shows it, or with `autoEllipsis` the longest start
// of it that fits followed by "...", refitted after every font change; below
// full `transparency` it blends itself over what lies beneath.
#pragma once

#include <functional>

#include "host/window/fontfaces.h"
#include "host/window/translucent.h"
#include "ui/stdctrls.h"

// The text a label `width` pixels wide shows with `autoEllipsis`: the text when
// `measure` finds it no wider, else the first n characters and "..." for the
// largest n (from the character count minus one down to 0) that fits, "..."
// alone at the end. A double-byte character is never cut.
AnsiString EllipsisText(const AnsiString& text, int width, const std::function<int(const AnsiString&)>& measure);

// The script's alignment words of a label or an edit: "left", "center",
// "right". A text that is none of them after trimming gives false.
AnsiString AlignmentWord(TAlignment alignment);
bool AlignmentOfWord(const AnsiString& text, TAlignment& alignment);

class TExLabel : public TFontFaces<TLabel, TStyleRule::AnyCase> {
    RTL_DECLARE_CLASS()
    explicit TExLabel(TComponent* owner);

    // ---- Published ----
    const AnsiString& Text() const { return Text_; }
    void SetText(const AnsiString& text);
    bool AutoEllipsis() const { return AutoEllipsis_; }
    void SetAutoEllipsis(bool value);
    int Transparency() const { return Transparency_; }
    void SetTransparency(int value);  // clamped to 0..255
    // "left", "center" or "right", exactly after trimming; other texts change
    // nothing. (The script's `align`, which the label wrapper publishes: the
    // inherited Align would answer to the name first.)
    AnsiString AlignText() const;
    void SetAlignText(const AnsiString& text);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    ~TExLabel() override = default;
    void Paint() override;
    void FontChanged() override;
    void MouseEnter() override { OnMouseEnter(this); }
    void MouseLeave() override { OnMouseLeave(this); }

private:
    AnsiString Text_;
    int Transparency_ = 255;
    bool AutoEllipsis_ = false;
    TTranslucentBuffers Buffers_;
};
