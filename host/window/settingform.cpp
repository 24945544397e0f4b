// The settings dialog: its fixed frame, the rows by type, the browse buttons
// and the collection of the values.
#include "host/window/settingform.h"

#include <algorithm>

#include "engine/core/object.h"
#include "host/window/folderbrowser.h"
#include "rtl/numtext.h"
#include "rtl/stringlist.h"
#include "ui/bitmap.h"
#include "ui/comctrls.h"
#include "ui/edits.h"
#include "ui/filedialogs.h"
#include "ui/lists.h"
#include "ui/panel.h"

namespace {

// A "..." button of a "file" or "directory" row: it keeps what its dialog
// starts from. Its hint is the row's key, as is its edit box's.
class TMyButton : public TButton {
    RTL_DECLARE_CLASS()
    using TButton::TButton;

    bool Folder = false;  // a folder row, else a file row
    AnsiString Filter;
    AnsiString Directory;

protected:
    ~TMyButton() override = default;
};

const TClassInfo TMyButton::classInfo = makeClassInfo("TMyButton", &TButton::classInfo);

// The first tab's caption: "一般" and an ideographic space.
const char kFirstTab[] = "一般\x81\x40";
constexpr int kRowLeft = 10;
constexpr int kControlLeft = 240;
constexpr int kControlWidth = 200;
constexpr int kLabelWidth = 200;
constexpr int kCheckBoxWidth = 300;

template <class T>
T* place(TWinControl* parent, int left, int top, int width, int height) {
    T* control = new T(parent->Owner());
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// The items of a comma list.
struct TCommaList : TStringList {
    explicit TCommaList(const AnsiString& text) { SetCommaText(text.view()); }
};

// The checked items' indices, ascending, joined by ",".
AnsiString checkedIndices(const TCheckListBox& list) {
    AnsiString text;
    for (int i = 0; i < list.Items()->Count(); ++i) {
        if (!list.Checked(i)) continue;
        if (!text.empty()) text += ',';
        text += intToText(i);
    }
    return text;
}

// The widest item's text in the list's font, with room for its check box.
// The tab images from the program's bitmap resources, magenta showing
// through.
HIMAGELIST newTabImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    for (const char* name : {"TABGENERAL", "TABCATEGORY"}) {
        auto bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
        if (bitmap) ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    return list;
}

int widestItem(TCheckListBox& list) {
    TBitmap measure;
    measure.Canvas()->SetFont(list.Font());
    int widest = 0;
    for (int i = 0; i < list.Items()->Count(); ++i)
        widest = std::max(widest, measure.Canvas()->TextWidth(list.Items()->Get(i)));
    return widest + 20;
}

}  // namespace

const TClassInfo TSettingForm::classInfo = makeClassInfo("TSettingForm", &TForm::classInfo);

// ==== The frame ====

TSettingForm::TSettingForm(TComponent* owner) : TForm(owner) {
    SettingsLink_.OnFreeNotify = TJFreeNotifyEvent::bind<&TSettingForm::settingFreed>(this);
    SetBorderStyle(bsDialog);
    SetCaption("設定");
    SetPosition(poDesktopCenter);
    SetClientWidth(472);
    SetClientHeight(344);
    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetAlign(alBottom);
    Panel1->SetHeight(41);
    OKButton = place<TButton>(Panel1, 284, 8, 75, 25);
    OKButton->SetCaption("OK");
    OKButton->SetModalResult(mrOk);
    CancelButton = place<TButton>(Panel1, 372, 8, 75, 25);
    CancelButton->SetCaption("キャンセル");
    CancelButton->SetModalResult(mrCancel);
    PageControl = new TPageControl(this);
    PageControl->SetParent(this);
    PageControl->SetAlign(alClient);
    PageControl->SetStyle(tsButtons);
    PageControl->SetMultiLine(true);
    PageControl->SetColor(clWhite);
    TabImages_ = newTabImages();
    PageControl->SetImages(TabImages_);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetPageControl(PageControl);
    TabSheet1->SetCaption(kFirstTab);
    mainPanel = newPanel(TabSheet1, AnsiString());
}

// The rows' settings were held by holdSetting; they live on unheld (an
// object nothing refers to stays with its engine).
TSettingForm::~TSettingForm() {
    Destroying();
    for (const TListed& listed : Listed_)
        if (listed.setting) listed.object->ReleaseToHolder();
    PageControl->SetImages(nullptr);
    ImageList_Destroy(TabImages_);
}

TPanel* TSettingForm::newPanel(TWinControl* parent, const AnsiString& hint) {
    auto* panel = new TPanel(this);
    panel->SetParent(parent);
    panel->SetAlign(alClient);
    panel->SetBevelOuter(bvNone);
    panel->SetHint(hint);
    Listed_.push_back({panel, nullptr, nullptr});
    return panel;
}

TPanel* TSettingForm::panelFor(const AnsiString& category) {
    for (const TListed& listed : Listed_)
        if (listed.control->InheritsFrom(&TPanel::classInfo) && listed.control->Hint() == category)
            return static_cast<TPanel*>(listed.control);
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(PageControl);
    sheet->SetHint(category);
    sheet->SetCaption(category + " ");
    sheet->SetImageIndex(1);
    return newPanel(sheet, category);
}

// ==== Rows ====

void TSettingForm::AddSettingControl(TSettingItem* setting) {
    const TSettingData data = setting->SettingData();
    TPanel* panel = panelFor(data.category);
    int y = panel->Tag();
    int top = y + 10;
    const AnsiString& type = data.type;
    TControl* value = nullptr;
    int valueBottom = 0;  // a memo's or check list's, which may reach below the label
    if ((type == "text" && !data.multiline) || type == "file" || type == "directory" || type == "password") {
        auto* edit = place<TEdit>(panel, kControlLeft, top, kControlWidth, 21);
        edit->SetText(data.value);
        if (type == "password") edit->SetPasswordChar('*');
        value = edit;
    } else if (type == "text") {
        auto* memo = place<TMemo>(panel, kControlLeft, top, kControlWidth, 89);
        memo->SetScrollBars(ssBoth);
        memo->HandleNeeded();  // its frame counts for the client height
        TBitmap measure;
        measure.Canvas()->SetFont(Font());
        memo->SetClientHeight(5 * measure.Canvas()->TextHeight("0") + 5);
        memo->Lines()->SetText(data.value.view());
        value = memo;
        valueBottom = memo->Height() + y + 10;
    } else if (type == "select" && !data.multiple) {
        auto* combo = place<TComboBox>(panel, kControlLeft, top, kControlWidth, 21);
        combo->SetStyle(csDropDownList);
        combo->Items()->Assign(TCommaList(data.option));
        int32_t index;
        if (textToInt32(data.value.view(), index)) combo->SetItemIndex(index);
        value = combo;
    } else if (type == "select") {
        auto* list = place<TCheckListBox>(panel, kControlLeft, top, kControlWidth, 97);
        list->SetMultiSelect(true);
        list->Items()->Assign(TCommaList(data.option));
        int count = list->Items()->Count();
        int32_t index;
        if (textToInt32(data.value.view(), index)) list->SetItemIndex(index);
        TCommaList checked(data.value);
        for (int i = 0; i < checked.Count(); ++i)
            if (textToInt32(checked.Get(i).view(), index) && index >= 0 && index < count) list->SetChecked(index, true);
        list->SetHeight(std::max(count, 1) * list->ItemHeight() + 25);
        int widest = widestItem(*list);
        if (widest > list->ClientWidth()) list->SetScrollWidth(widest);
        value = list;
        valueBottom = list->Height() + y + 10;
    } else if (type == "checkbox") {
        auto* box = place<TCheckBox>(panel, kRowLeft, top, kCheckBoxWidth, 17);
        box->SetCaption(data.description);
        box->SetChecked(lstrcmpiA(data.value.c_str(), "true") == 0);
        value = box;
        y = box->Top() + box->Height() + 10;
    }
    if (value) {
        value->SetHint(data.key);
        holdSetting(value, setting);
    }
    if (type == "file" || type == "directory") addBrowseButton(panel, y, data, setting);
    if (type != "checkbox") {
        auto* label = new TLabel(this);
        label->SetParent(panel);
        label->SetBounds(kRowLeft, top, kLabelWidth, label->Height());
        label->SetWordWrap(true);
        label->SetCaption(data.description);
        y = std::max(label->Top() + label->Height() + 10, valueBottom);
    }
    panel->SetTag(y);
    panel->Parent()->SetTag(y);
    // The tab's height is the page control's display area, which only its
    // window knows (without one, a tab would seem to fill the page control).
    PageControl->HandleNeeded();
    TRect tab = PageControl->DisplayRect();
    int need = y + Panel1->Height() + PageControl->Height() - (tab.bottom - tab.top) + 30;
    if (need > Tag()) SetTag(need);
}

void TSettingForm::addBrowseButton(TPanel* panel, int y, const TSettingData& data, TSettingItem* setting) {
    auto* button = place<TMyButton>(panel, 445, y + 11, 20, 20);
    button->SetCaption("...");
    button->SetHint(data.key);
    button->Folder = data.type == "directory";
    button->Filter = data.filter;
    button->Directory = data.directory;
    button->OnClick = TNotifyEvent::bind<&TSettingForm::browseClick>(this);
    holdSetting(button, setting);
}

// A widget's engine frees its objects whatever their counts when it is
// unloaded: the dialog hears of it and forgets the setting.
void TSettingForm::holdSetting(TControl* control, TSettingItem* setting) {
    TJObject& object = setting->SettingObject();
    object.IncRef();
    SettingsLink_.AddFreeNotify(&object);
    Listed_.push_back({control, setting, &object});
}

// The object is being destroyed: only the pointer it was held by is compared.
void TSettingForm::settingFreed(TJNotify*, TJNotify* freed) {
    for (TListed& listed : Listed_)
        if (listed.setting && listed.object == freed) listed.setting = nullptr;
}

// The chosen file or folder goes into the edit box of the button's row.
void TSettingForm::browseClick(TObject* sender) {
    auto* button = static_cast<TMyButton*>(sender);
    AnsiString chosen;
    if (button->Folder) {
        auto* browser = new TFolderBrowser(this);
        browser->Folder = button->Directory;
        bool ok = browser->Execute();
        chosen = browser->Folder;
        browser->Free();
        if (!ok) return;
    } else {
        auto* dialog = new TOpenDialog(this);
        dialog->Filter = button->Filter;
        dialog->InitialDir = button->Directory;
        bool ok = dialog->Execute();
        chosen = dialog->FileName;
        dialog->Free();
        if (!ok) return;
    }
    for (const TListed& listed : Listed_)
        if (listed.control->InheritsFrom(&TEdit::classInfo) && listed.control->Hint() == button->Hint())
            return static_cast<TEdit*>(listed.control)->SetText(chosen);
}

// ==== Values ====

bool TSettingForm::controlValue(TControl* control, AnsiString& value) const {
    if (control->InheritsFrom(&TCustomEdit::classInfo)) value = static_cast<TCustomEdit*>(control)->Text();
    else if (control->InheritsFrom(&TComboBox::classInfo)) value = intToText(static_cast<TComboBox*>(control)->ItemIndex());
    else if (control->InheritsFrom(&TCheckBox::classInfo)) value = static_cast<TCheckBox*>(control)->Checked() ? "true" : "false";
    else if (control->InheritsFrom(&TCheckListBox::classInfo)) value = checkedIndices(*static_cast<TCheckListBox*>(control));
    else return false;
    return true;
}

void TSettingForm::CollectSettingValues(bool stored) {
    AnsiString value;
    for (const TListed& listed : Listed_) {
        if (!listed.setting || !controlValue(listed.control, value)) continue;
        if (stored) listed.setting->StoreValue(value);
        else listed.setting->StageValue(value);
    }
}
