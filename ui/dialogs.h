// The system's common dialogs as components: TCommonDialog (Execute, OnShow,
// OnClose), TFontDialog, the font picker, which offers an Apply button
// whenever OnApply is assigned, and the modeless TFindDialog and
// TReplaceDialog, whose dialog messages (Tab, Enter) the application's loop
// hands to them. Used by the widget window's font entry and the script
// bridge's dialog wrappers; the file dialogs are in ui/filedialogs.h.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <memory>

#include "ui/graphics.h"
#include "ui/wndproc.h"

// Apply pressed in a font dialog: Wnd is the dialog's window.
using TFDApplyEvent = TEvent<void(TObject* Sender, HWND Wnd)>;
extern const TMethodTypeInfo FDApplyEventType;

class TCommonDialog : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

    // Shows the dialog (modally, but for the find dialogs); true when the
    // user confirmed it. Executing a modal dialog that is already showing
    // raises EComponentError.
    virtual bool Execute() = 0;

    TNotifyEvent OnClose;
    TNotifyEvent OnShow;

protected:
    ~TCommonDialog() override = default;
    // The window the dialog belongs to: the active form's, else the main form's.
    static HWND ownerWindow();
    // Raises EComponentError with the platform's dialog error code when
    // there is one (a cancelled dialog has none).
    static void checkDialogError();

    // Marks the modal dialog as showing for its scope; a second one raises.
    class TShowing {
    public:
        explicit TShowing(TCommonDialog& dialog);
        ~TShowing() { dialog_.Showing_ = false; }
        TShowing(const TShowing&) = delete;
        TShowing& operator=(const TShowing&) = delete;

    private:
        TCommonDialog& dialog_;
    };

private:
    bool Showing_ = false;
};

class TFontDialog : public TCommonDialog {
    RTL_DECLARE_CLASS()
    explicit TFontDialog(TComponent* owner);

    // Offered to the user at the start; holds the choice after OK or Apply.
    TFont* Font() const { return Font_.get(); }
    void SetFont(TFont* value) { Font_->Assign(value); }
    bool Execute() override;

    TFDApplyEvent OnApply;

protected:
    ~TFontDialog() override = default;

private:
    static UINT_PTR CALLBACK hookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void apply(HWND dialog);
    void takeChoice(const LOGFONTA& font, COLORREF color);

    std::unique_ptr<TFont> Font_;
};

// ==== Find and replace ====

enum TFindOption : uint8_t {
    frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase, frDisableMatchCase,
    frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll, frWholeWord, frShowHelp
};
extern const TSetInfo FindOptionsInfo;
using TFindOptions = TSet<TFindOption, FindOptionsInfo, uint16_t>;

// The modeless find dialog. Execute shows it and returns at once (true when
// it is showing; a second Execute brings it to the front); each "Find Next"
// updates FindWhat and Options and raises OnFind; closing it raises OnClose.
// Freeing the component closes its dialog first, with no event.
class TFindDialog : public TCommonDialog {
    RTL_DECLARE_CLASS()
    explicit TFindDialog(TComponent* owner);

    // Published as "FindText" (the system's headers take that name).
    AnsiString FindWhat() const { return FindWhat_; }
    void SetFindWhat(const AnsiString& text);
    TFindOptions Options() const { return Options_; }
    void SetOptions(TFindOptions options) { Options_ = options; }
    // The dialog's window while it shows; nil otherwise.
    HWND Handle() const { return Handle_; }

    bool Execute() override;
    // Closes the dialog as its Cancel button does (OnClose follows).
    void CloseDialog();

    TNotifyEvent OnFind;

protected:
    ~TFindDialog() override = default;
    void BeforeDestruction() override;
    // Shows the platform's dialog over the record; its window or nil.
    virtual HWND showDialog(FINDREPLACEA& record);
    // A button of the dialog, as its record tells it.
    virtual void buttonPressed(const FINDREPLACEA& record);
    // The bytes of the dialog's edit boxes; a longer text is cut at a
    // character's end.
    static constexpr int kTextSize = 1024;
    static void fillBuffer(char (&buffer)[kTextSize], const AnsiString& text);

    char ReplaceBuffer_[kTextSize] = {};  // the replace dialog's

private:
    void windowMessage(TMessage& message, bool& handled);
    void forgetDialog();

    AnsiString FindWhat_;
    TFindOptions Options_ = setOf(frDown);
    FINDREPLACEA Record_{};
    char FindBuffer_[kTextSize] = {};
    std::unique_ptr<TMessageWindow> Window_;  // the dialog's owner, which hears its buttons
    HWND Handle_ = nullptr;
};

class TReplaceDialog : public TFindDialog {
    RTL_DECLARE_CLASS()
    explicit TReplaceDialog(TComponent* owner);

    // Published as "ReplaceText".
    AnsiString ReplaceWith() const { return ReplaceWith_; }
    void SetReplaceWith(const AnsiString& text);

    // "Replace" and "Replace All" (Options tell which).
    TNotifyEvent OnReplace;

protected:
    ~TReplaceDialog() override = default;
    HWND showDialog(FINDREPLACEA& record) override;
    void buttonPressed(const FINDREPLACEA& record) override;

private:
    AnsiString ReplaceWith_;
};

// Hands a message meant for a modeless dialog of ours (Tab, Enter, Escape)
// to it; true when the dialog took it. The application's loop calls it.
bool HandleDialogMessage(MSG& msg);
