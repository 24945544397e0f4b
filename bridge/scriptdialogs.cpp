// The script dialogs: their shared frame (owner window, placement, focus),
// the three layouts, and the calls that fill, show, read and free them.
#include "bridge/scriptdialogs.h"

#include <algorithm>

#include "ui/edits.h"
#include "ui/lists.h"
#include "ui/stdctrls.h"

namespace {

// "MS UI Gothic", and "ＭＳ Ｐゴシック" in code page 932.
constexpr const char* kUIGothic = "MS UI Gothic";
constexpr const char* kPGothic = "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// A size given by the script is at least this (the Global object passes
// its sizes so already).
constexpr int kSmallestSide = 200;

constexpr TAnchors kTopLeftRight = setOf(akLeft, akTop, akRight);
constexpr TAnchors kTopRight = setOf(akTop, akRight);
constexpr TAnchors kAllSides = setOf(akLeft, akTop, akRight, akBottom);

}  // namespace

const TClassInfo TScriptDialog::classInfo = makeClassInfo("TScriptDialog", &TForm::classInfo);
const TClassInfo TfrmPrompt::classInfo = makeClassInfo("TfrmPrompt", &TScriptDialog::classInfo);
const TClassInfo TfrmTextArea::classInfo = makeClassInfo("TfrmTextArea", &TScriptDialog::classInfo);
const TClassInfo TfrmCheckList::classInfo = makeClassInfo("TfrmCheckList", &TScriptDialog::classInfo);

// ==== The frame ====

TScriptDialog::TScriptDialog(TComponent* owner, int clientWidth, int clientHeight, const char* fontName)
    : TForm(owner) {
    SetBorderStyle(bsDialog);
    Font()->SetName(fontName);
    Font()->SetHeight(-12);
    Font()->SetCharset(SHIFTJIS_CHARSET);
    SetClientWidth(clientWidth);
    SetClientHeight(clientHeight);
}

template <class Control>
Control* TScriptDialog::place(const char* name, int left, int top, int width, int height, TAnchors anchors) {
    auto* control = new Control(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(left, top, width, height);
    control->SetAnchors(anchors);
    return control;
}

// The buttons keep to the right edge: a wider dialog widens what is anchored
// on both sides, never over them.
TButton* TScriptDialog::placeButton(const char* name, const AnsiString& caption, int left, int top,
                                   TModalResult result) {
    auto* button = place<TButton>(name, left, top, 75, 25, kTopRight);
    button->SetCaption(caption);
    button->SetModalResult(result);
    return button;
}

// The owner form's window owns the dialog's; without an owner form the
// inherited step has given it the main form's.
void TScriptDialog::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    if (Owner() && Owner()->InheritsFrom(&TCustomForm::classInfo))
        params.WndParent = static_cast<TCustomForm*>(Owner())->Handle();
}

// Activation gives the focus to the control that had it last (the first in
// tab order at first), as in any dialog.
void TScriptDialog::WndProc(TMessage& message) {
    TForm::WndProc(message);
    if (message.Msg != WM_ACTIVATE || LOWORD(message.WParam) == WA_INACTIVE) return;
    if (TWinControl* control = ActiveControl(); control && control->CanFocus()) control->SetFocus();
}

void TScriptDialog::Prepare(const AnsiString& caption, int clientWidth, int clientHeight) {
    SetCaption(caption);
    if (clientWidth > 0) SetClientWidth(std::max(clientWidth, kSmallestSide));
    if (clientHeight > 0) SetClientHeight(std::max(clientHeight, kSmallestSide));
}

int TScriptDialog::Execute() {
    placeInWorkArea();
    return ShowModal();
}

void TScriptDialog::placeInWorkArea() {
    TCustomForm* owner = Owner() && Owner()->InheritsFrom(&TCustomForm::classInfo) ? static_cast<TCustomForm*>(Owner())
                                                                                   : nullptr;
    bool overOwner = owner && owner->HandleAllocated() && IsWindowVisible(owner->Handle());
    TRect area = overOwner ? Screen->MonitorFromWindow(owner->Handle()).WorkareaRect : Screen->WorkAreaRect();
    TRect over = overOwner ? owner->BoundsRect() : area;
    int width = std::min<int>(Width(), area.right - area.left);
    int height = std::min<int>(Height(), area.bottom - area.top);
    int left = (over.left + over.right - width) / 2;
    int top = (over.top + over.bottom - height) / 2;
    SetBounds(std::clamp<int>(left, area.left, area.right - width), std::clamp<int>(top, area.top, area.bottom - height),
              width, height);
}

// ==== The layouts ====

// The edit, the memo and the list come first in tab order by being the
// first window controls made, and take the focus first.

TfrmPrompt::TfrmPrompt(TComponent* owner) : TScriptDialog(owner, 492, 73, kUIGothic) {
    lblText = place<TLabel>("lblText", 12, 8, 381, 29, kTopLeftRight);
    lblText->SetAutoSize(false);
    lblText->SetWordWrap(true);
    edtPrompt = place<TEdit>("edtPrompt", 10, 41, 385, 20, kTopLeftRight);
    btnOK = placeButton("btnOK", "OK", 408, 8, mrOk);
    btnOK->SetDefault(true);
    btnCancel = placeButton("btnCancel", "Cancel", 408, 40, mrCancel);
    btnCancel->SetCancel(true);
    SetActiveControl(edtPrompt);
}

TfrmTextArea::TfrmTextArea(TComponent* owner) : TScriptDialog(owner, 492, 275, kUIGothic) {
    lblText = place<TLabel>("lblText", 10, 8, 0, 0, setOf(akLeft, akTop));
    mmText = place<TMemo>("mmText", 6, 26, 395, 243, kAllSides);
    mmText->SetScrollBars(ssVertical);
    btnOK = placeButton("btnOK", "OK", 410, 28, mrOk);
    btnCancel = placeButton("btnCancel", "Cancel", 410, 59, mrCancel);
    btnCancel->SetCancel(true);
    btnClear = placeButton("btnClear", "Clear", 410, 91, mrNone);
    btnClear->OnClick = TNotifyEvent::bind<&TfrmTextArea::btnClearClick>(this);
    SetActiveControl(mmText);
}

void TfrmTextArea::btnClearClick(TObject*) { mmText->Clear(); }

// The list measures its items itself, at least as high as a check box, so
// the layout's item height of 12 is not set.
TfrmCheckList::TfrmCheckList(TComponent* owner) : TScriptDialog(owner, 416, 243, kPGothic) {
    lblText = place<TLabel>("lblText", 16, 8, 0, 0, setOf(akLeft, akTop));
    lbCheck = place<TCheckListBox>("lbCheck", 8, 26, 321, 207, kAllSides);
    btnOK = placeButton("btnOK", "OK", 336, 26, mrOk);
    btnOK->SetDefault(true);
    btnCancel = placeButton("btnCancel", "Cancel", 336, 57, mrCancel);
    btnCancel->SetCancel(true);
    SetActiveControl(lbCheck);
}

// ==== The calls ====

namespace {

// A dialog for one call, owned by the main form. It is held while in use: a
// handler running during the modal loop may free the main form, and the
// dialog with it, which then waits until the call is done.
template <class Dialog>
struct TDialogCall {
    Dialog* Form = new Dialog(Application->MainForm());
    TKeepAlive Hold{Form};
    TDialogCall() = default;
    TDialogCall(const TDialogCall&) = delete;
    TDialogCall& operator=(const TDialogCall&) = delete;
    ~TDialogCall() { Form->Free(); }
    Dialog* operator->() const { return Form; }
};

}  // namespace

bool PromptDialog(const AnsiString& text, const AnsiString& defaultText, uint8_t passwordChar,
                  const AnsiString& caption, int clientWidth, AnsiString& result) {
    TDialogCall<TfrmPrompt> dialog;
    dialog->lblText->SetCaption(text);
    dialog->edtPrompt->SetText(defaultText);
    dialog->edtPrompt->SetPasswordChar(static_cast<char>(passwordChar));
    dialog->Prepare(caption, clientWidth, 0);
    if (dialog->Execute() != mrOk) return false;
    result = dialog->edtPrompt->Text();
    return true;
}

// The default becomes the memo's lines, which the memo holds joined by CR
// LF: OK without a change gives the default back with CR LF line breaks.
bool TextAreaDialog(const AnsiString& text, const AnsiString& defaultText, const AnsiString& caption,
                    int clientWidth, int clientHeight, AnsiString& result) {
    TDialogCall<TfrmTextArea> dialog;
    dialog->lblText->SetCaption(text);
    dialog->mmText->Lines()->SetText(defaultText);
    dialog->Prepare(caption, clientWidth, clientHeight);
    if (dialog->Execute() != mrOk) return false;
    result = dialog->mmText->Text();
    return true;
}

// The states may change in count while the dialog is open (a handler edits
// the items): only the positions both have are copied.
bool CheckListDialog(const AnsiString& caption, const AnsiString& text, const TStrings& items,
                     std::vector<bool>& checked, int& itemIndex, int clientWidth, int clientHeight) {
    TDialogCall<TfrmCheckList> dialog;
    TCheckListBox* list = dialog->lbCheck;
    dialog->lblText->SetCaption(text);
    list->Items()->Assign(items);
    list->SetItemIndex(itemIndex);
    int count = std::min<int>(items.Count(), static_cast<int>(checked.size()));
    for (int i = 0; i < count; ++i) list->SetChecked(i, checked[static_cast<size_t>(i)]);
    dialog->Prepare(caption, clientWidth, clientHeight);
    bool ok = dialog->Execute() == mrOk;
    count = std::min<int>(list->Items()->Count(), static_cast<int>(checked.size()));
    for (int i = 0; ok && i < count; ++i) checked[static_cast<size_t>(i)] = list->Checked(i);
    itemIndex = list->ItemIndex();
    return ok;
}
