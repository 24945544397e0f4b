// Text boxes made from the system's edit class: TCustomEdit (the text as the
// window holds it, what the user typed included, the selection counted in
// bytes of the code page, the modified flag, undo, the clipboard, a password
// character and OnChange), TEdit (one line), and TCustomMemo with TMemo
// (several lines, scroll bars, word wrap, alignment). The text and selection
// outlive a re-creation of the window.
#pragma once

#include "ui/stdctrls.h"

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo ScrollStyleInfo;

// ==== TCustomEdit ====

class TCustomEdit : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomEdit(TComponent* owner);

    // ---- Text and selection (byte offsets into Text) ----
    AnsiString Text() const;
    void SetText(const AnsiString& value);
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    AnsiString SelText() const;
    // Replaces the selection (undoably, as typing does).
    void SetSelText(const AnsiString& value);
    // Set by every change the user makes; the program clears it.
    bool Modified() const;
    void SetModified(bool value);
    // A border line around the box (bsSingle) or none (bsNone).
    uint8_t BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(uint8_t value);
    // Shown for every character instead of the text; 0 shows the text.
    char PasswordChar() const { return PasswordChar_; }
    void SetPasswordChar(char value);

    // ---- Operations ----
    bool CanUndo() const;
    void Undo();
    void ClearUndo();
    void Clear() { SetText(AnsiString()); }
    void ClearSelection();
    void SelectAll();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    TNotifyEvent OnChange;

protected:
    ~TCustomEdit() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // The text changed, by the user or the program.
    virtual void Change() { OnChange(this); }

private:
    // The selection as the window gives it (characters), in bytes.
    void windowSelection(int& start, int& end) const;
    void select(int start, int end);
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Kept while there is no window (and across a re-creation).
    AnsiString Text_;
    int SelStart_ = 0;
    int SelEnd_ = 0;
    bool Modified_ = false;
    bool Setting_ = false;  // SetText is writing the window: its own change is told once
    uint8_t BorderStyle_ = 1;  // bsSingle
    char PasswordChar_ = 0;
};

class TEdit : public TCustomEdit {
    RTL_DECLARE_CLASS()
    using TCustomEdit::TCustomEdit;

protected:
    ~TEdit() override = default;
};

// ==== TCustomMemo ====

class TCustomMemo : public TCustomEdit {
    RTL_DECLARE_CLASS()
    explicit TCustomMemo(TComponent* owner);

    // The lines joined by CR LF. Setting takes lines ended by CR LF, LF or CR.
    AnsiString LinesText() const { return Text(); }
    void SetLinesText(const AnsiString& text);
    TScrollStyle ScrollBars() const { return ScrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);
    // Long lines break at the box's width, unless it scrolls sideways.
    bool WordWrap() const { return WordWrap_; }
    void SetWordWrap(bool value);

protected:
    ~TCustomMemo() override = default;
    void CreateParams(TCreateParams& params) override;

private:
    TScrollStyle ScrollBars_ = ssNone;
    TAlignment Alignment_ = taLeftJustify;
    bool WordWrap_ = true;
};

class TMemo : public TCustomMemo {
    RTL_DECLARE_CLASS()
    using TCustomMemo::TCustomMemo;

protected:
    ~TMemo() override = default;
};
