// The script dialogs: TfrmPrompt, the one-line input of the global function
// "prompt"; TfrmTextArea, the several lines of "textArea"; TfrmCheckList, the
// items with check boxes of the script type "CheckListBox"
// (bridge/checklistbox.h). Each is laid out in code, made for one call,
// owned by the application's main form, shown modally and freed. The caster
// (bridge/caster.cpp) puts the first two calls in the Global object's hooks.
#pragma once

#include <vector>

#include "ui/forms.h"

class TButton;
class TCheckListBox;
class TEdit;
class TLabel;
class TMemo;
class TStrings;

// What the three dialogs share: the dialog border, the owner window, and the
// place they open at.
class TScriptDialog : public TForm {
    RTL_DECLARE_CLASS()

    // The caption of the call; a client width or height above 0 replaces
    // the layout's, at least 200.
    void Prepare(const AnsiString& caption, int clientWidth, int clientHeight);
    // Shows the dialog modally, centred on its owner form when that is
    // visible, otherwise on the work area, and always inside the work area
    // (the owner is usually the host's hidden main form); the modal result.
    int Execute();

protected:
    TScriptDialog(TComponent* owner, int clientWidth, int clientHeight, const char* fontName);
    ~TScriptDialog() override = default;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

    // A control of the dialog under its name, at its place in the layout.
    template <class Control>
    Control* place(const char* name, int left, int top, int width, int height, TAnchors anchors);
    TButton* placeButton(const char* name, const AnsiString& caption, int left, int top, TModalResult result);

private:
    void placeInWorkArea();
};

class TfrmPrompt : public TScriptDialog {
    RTL_DECLARE_CLASS()
    explicit TfrmPrompt(TComponent* owner);

    TLabel* lblText;
    TEdit* edtPrompt;
    TButton* btnOK;
    TButton* btnCancel;

protected:
    ~TfrmPrompt() override = default;
};

class TfrmTextArea : public TScriptDialog {
    RTL_DECLARE_CLASS()
    explicit TfrmTextArea(TComponent* owner);

    TLabel* lblText;
    TMemo* mmText;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnClear;

protected:
    ~TfrmTextArea() override = default;

private:
    void btnClearClick(TObject* sender);
};

class TfrmCheckList : public TScriptDialog {
    RTL_DECLARE_CLASS()
    explicit TfrmCheckList(TComponent* owner);

    TLabel* lblText;
    TCheckListBox* lbCheck;
    TButton* btnOK;
    TButton* btnCancel;

protected:
    ~TfrmCheckList() override = default;
};

// ==== The calls ====

// The one-line input; true for OK, with the edit's text. A client width of 0
// keeps the layout's.
bool PromptDialog(const AnsiString& text, const AnsiString& defaultText, uint8_t passwordChar,
                  const AnsiString& caption, int clientWidth, AnsiString& result);
// The several lines; true for OK, with the memo's text.
bool TextAreaDialog(const AnsiString& text, const AnsiString& defaultText, const AnsiString& caption,
                    int clientWidth, int clientHeight, AnsiString& result);
// The items with their check boxes set from checked (by position), itemIndex
// selected; true for OK, which copies the check boxes back into checked.
// itemIndex receives the list's item index at the end, whatever ended it.
bool CheckListDialog(const AnsiString& caption, const AnsiString& text, const TStrings& items,
                     std::vector<bool>& checked, int& itemIndex, int clientWidth, int clientHeight);
