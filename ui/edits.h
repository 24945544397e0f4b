// Text boxes made from the system's edit class: TCustomEdit (the text as the
// window holds it, what the user typed included, the selection counted in
// bytes of the code page, the modified flag, undo, the clipboard, a password
// character and OnChange), TEdit (one line), and TCustomMemo with TMemo
// (several lines, scroll bars, word wrap, alignment, the live Lines and the
// caret position). The text and selection outlive a re-creation of the window.
#pragma once

#include <memory>

#include "rtl/stringlist.h"
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
    // The selection in bytes, the window's or the kept one.
    void selection(int& start, int& end) const;

private:
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

class TCustomMemo;

// The lines of a memo's text, read from the text and written into it in
// place, through the selection as typing does: a line ends at CR LF, LF or
// CR; a line break at the very end starts no line; new breaks are CR LF.
// OnChange tells every change of the text, also the user's.
class TMemoStrings final : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* memo) : Memo_(memo) {}

    int Count() const override;
    AnsiString Get(int index) const override;
    void Put(int index, const AnsiString& text) override;
    void Insert(int index, const AnsiString& text) override;
    void Delete(int index) override;
    void Clear() override;
    AnsiString Text() const override;
    // The lines joined by CR LF, as one change.
    void SetText(std::string_view text) override;

private:
    void replace(size_t start, size_t end, const AnsiString& text);

    TCustomMemo* Memo_;
};

class TCustomMemo : public TCustomEdit {
    RTL_DECLARE_CLASS()
    explicit TCustomMemo(TComponent* owner);

    TStrings* Lines() const { return Lines_.get(); }
    // The caret (the end of the selection): x its byte offset in its line, y
    // the line (as Lines counts them; after a final line break, the line after).
    TPoint CaretPos() const;
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
    void Change() override;

private:
    std::unique_ptr<TMemoStrings> Lines_;
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
