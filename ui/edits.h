// Text boxes over the system's edit control: TCustomEdit with TEdit (one line,
// optionally masked for passwords) and TCustomMemo with TMemo (several lines,
// with scroll bars). The text is read from the window, so it includes what the
// user typed.
#pragma once

#include "ui/controls.h"

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo ScrollStyleInfo;

class TCustomEdit : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomEdit(TComponent* owner);

    AnsiString Text() const;
    void SetText(const AnsiString& value) { SetCaption(value); }
    // Shown for every character instead of the text; 0 shows the text.
    char PasswordChar() const { return PasswordChar_; }
    void SetPasswordChar(char value);

protected:
    ~TCustomEdit() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    char PasswordChar_ = 0;
};

class TEdit : public TCustomEdit {
    RTL_DECLARE_CLASS()
    using TCustomEdit::TCustomEdit;

protected:
    ~TEdit() override = default;
};

class TCustomMemo : public TCustomEdit {
    RTL_DECLARE_CLASS()
    explicit TCustomMemo(TComponent* owner);

    // The lines joined by CR LF. Setting takes lines ended by CR LF, LF or CR.
    AnsiString LinesText() const { return Text(); }
    void SetLinesText(const AnsiString& text);
    TScrollStyle ScrollBars() const { return ScrollBars_; }
    void SetScrollBars(TScrollStyle value);

protected:
    ~TCustomMemo() override = default;
    void CreateParams(TCreateParams& params) override;

private:
    TScrollStyle ScrollBars_ = ssNone;
};

class TMemo : public TCustomMemo {
    RTL_DECLARE_CLASS()
    using TCustomMemo::TCustomMemo;

protected:
    ~TMemo() override = default;
};
