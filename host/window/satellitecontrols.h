// The controls that live on satellite windows (host/window/ownedform.h): TExMemo,
// the text box of the script class "edit", and TExWeb, the web view of the
// script class "web". Their script faces are in host/script/editweb.h.
#pragma once

#include "host/window/fontfaces.h"
#include "ui/edits.h"
#include "ui/webbrowser.h"

class TExMemo : public TFontFaces<TMemo, TStyleRule::Capitalised> {
    RTL_DECLARE_CLASS()
    explicit TExMemo(TComponent* owner);

    // ---- Published ----
    // False (the default) keeps the text to one line: Return inserts
    // nothing, and a text given or pasted with line breaks keeps its first line.
    bool Multiline() const { return Multiline_; }
    void SetMultiline(bool value);
    // "left", "center" or "right", exactly after trimming; other texts change
    // nothing. (The script's `align`, which the edit wrapper publishes: the
    // inherited Align would answer to the name first.)
    AnsiString AlignText() const;
    void SetAlignText(const AnsiString& text);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    ~TExMemo() override = default;
    void Change() override;
    void KeyPress(char& key) override;
    void MouseEnter() override { OnMouseEnter(this); }
    void MouseLeave() override { OnMouseLeave(this); }

private:
    bool Multiline_ = false;
};

// The options of a widget's web view: no text selection, no 3-D border, and
// scroll bars unless `scrollBar` is false.
class TExWeb : public TWebBrowser {
    RTL_DECLARE_CLASS()
    explicit TExWeb(TComponent* owner);

    bool ScrollBar() const;
    void SetScrollBar(bool value);

protected:
    ~TExWeb() override = default;
    // A control inside the page keeps the browser's own menu; anywhere else
    // the widget window's menu opens instead.
    void ContextMenu(int kind, TPoint screenPos, bool& handled) override;
};
