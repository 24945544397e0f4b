// The window script class: construction, its surface (the window's
// properties, `popupMenu`, the methods) and the handlers of its hook rows.
#include "host/script/windowobject.h"

#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/window/skinform.h"
#include "ui/menus.h"

namespace {

using WindowFaces = TFontFaces<TForm, TStyleRule::Capitalised>;

const TPropInfo windowWrapperProperties[] = {
    BoolProperty<&TJVCLBaseExForm::PopupMenu, &TJVCLBaseExForm::SetPopupMenu>("popupMenu"),
    ElementProperty<&TControl::Visible, &TControl::SetVisible>("Visible"),
    ElementProperty<&TControl::Top, &TControl::SetTop>("Top"),
    ElementProperty<&TControl::Left, &TControl::SetLeft>("Left"),
    ElementProperty<&TControl::Width, &TControl::SetWidth>("Width"),
    ElementProperty<&TControl::Height, &TControl::SetHeight>("Height"),
    ElementProperty<&TSkinForm::Background, &TSkinForm::SetBackground>("background"),
    ElementProperty<&TSkinForm::Transparency, &TSkinForm::SetTransparency>("transparency"),
    ElementProperty<&TSkinForm::TransparentColor, &TSkinForm::SetTransparentColor>("transparentColor"),
    ElementProperty<&TSkinForm::ColorAlpha, &TSkinForm::SetColorAlpha>("colorAlpha"),
    ElementProperty<&TSkinForm::ToolTip, &TSkinForm::SetToolTip>("toolTip"),
    ElementProperty<&WindowFaces::FontName, &WindowFaces::SetFontName>("fontName"),
    ElementProperty<&WindowFaces::FontSize, &WindowFaces::SetFontSize>("fontSize"),
    ElementProperty<&WindowFaces::FontStyle, &WindowFaces::SetFontStyle>("fontStyle"),
    ElementProperty<&WindowFaces::FontColor, &WindowFaces::SetFontColor>("fontColor"),
    ElementProperty<&WindowFaces::FontCharset, &WindowFaces::SetFontCharset>("fontCharset"),
    ElementProperty<&TSkinForm::Main, &TSkinForm::Main>("main"),
    ElementProperty<&TSkinForm::AutoSize, &TSkinForm::AutoSize>("autoSize"),
    ElementProperty<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont"),
    ElementProperty<&TSkinForm::FontDialog, &TSkinForm::SetFontDialog>("fontDialog"),
    ElementProperty<&TSkinForm::Tile, &TSkinForm::SetTile>("tile"),
};

const TJHook windowOwnHooks[] = {
    Handle<"OnClose", TCloseEvent, &TJVCLBaseExForm::WindowClose>(),
    Handle<"OnMouseWheel", TMouseWheelEvent, &TJVCLBaseExForm::WindowMouseWheel>(),
    Notice<"OnMouseEnter", TJVCLBaseExForm>(),
    Notice<"OnMouseLeave", TJVCLBaseExForm>(),
    Notice<"OnSettingChanged", TJVCLBaseExForm>(),
    Handle<"OnSettingChanging", TSettingChangingEvent, &TJVCLBaseExForm::WindowSettingChanging>(),
    Notice<"OnFontChanged", TJVCLBaseExForm>(),
};
const TJHookPart windowHooks[] = {windowOwnHooks, TJExVCLWinControl::MouseHooks(), TJExVCLWinControl::KeyHooks()};

// ---- Methods: each needs the window; all but showModal give the window back ----

TSkinForm& windowOf(TJVCLBaseExForm& self) {
    self.CheckVCL(nullptr, 0);
    return *self.Window();
}

// Acts once the script has returned: closing a main window unloads the widget.
void windowClose(TJVCLBaseExForm& self, TJValueList*, TJValue&) {
    windowOf(self).PostClose();
}

void windowHide(TJVCLBaseExForm& self, TJValueList*, TJValue&) {
    self.GuardVCL([&] { windowOf(self).Hide(); });
}

void windowShow(TJVCLBaseExForm& self, TJValueList*, TJValue&) {
    self.GuardVCL([&] { windowOf(self).Show(); });
}

void windowUpdate(TJVCLBaseExForm& self, TJValueList*, TJValue&) {
    self.GuardVCL([&] { windowOf(self).UpdateLayer(); });
}

void windowShowModal(TJVCLBaseExForm& self, TJValueList*, TJValue& result) {
    int modalResult = 0;
    self.GuardVCL([&] { modalResult = windowOf(self).ShowModal(); });
    MakeInteger(modalResult, result);
}

// The "設定" entry, while it is enabled.
void windowShowSettingDialog(TJVCLBaseExForm& self, TJValueList*, TJValue&) {
    TSkinForm& window = windowOf(self);
    if (window.NSetting->Enabled()) self.GuardVCL([&] { window.NSetting->Click(); });
}

void windowLoadProperties(TJVCLBaseExForm& self, TJValueList* args, TJValue&) {
    TSkinForm& window = windowOf(self);
    self.GuardVCL([&] { window.LoadProperties(ValueToString(&args->At(0))); });
}

// Each step redraws at once. A step of 0 or less would never reach the
// bound: it does nothing.
void windowFadeIn(TJVCLBaseExForm& self, TJValueList* args, TJValue&) {
    TSkinForm& window = windowOf(self);
    int32_t step = ValueToInteger(&args->At(0));
    if (step <= 0) return;
    self.GuardVCL([&] {
        while (self.HasVCL() && window.Transparency() <= 254) window.SetTransparency(window.Transparency() + step);
    });
}

void windowFadeOut(TJVCLBaseExForm& self, TJValueList* args, TJValue&) {
    TSkinForm& window = windowOf(self);
    int32_t step = ValueToInteger(&args->At(0));
    if (step <= 0) return;
    self.GuardVCL([&] {
        while (self.HasVCL() && window.Transparency() > 0) window.SetTransparency(window.Transparency() - step);
    });
}

constexpr TJMethodResult self = TJMethodResult::Self;

const TJMethod<TJVCLBaseExForm> windowMethods[] = {
    {"close", 0, &windowClose, self},
    {"hide", 0, &windowHide, self},
    {"show", 0, &windowShow, self},
    {"update", 0, &windowUpdate, self},
    {"showModal", 0, &windowShowModal},
    {"showSettingDialog", 0, &windowShowSettingDialog, self},
    {"loadProperties", 1, &windowLoadProperties, self},
    {"fadeIn", 1, &windowFadeIn, self},
    {"fadeOut", 1, &windowFadeOut, self},
};

}  // namespace

const TClassInfo TJVCLBaseExForm::classInfo =
    makeClassInfo("TJVCLBaseExForm", &TJExVCLWinControl::classInfo, windowWrapperProperties);
const TClassInfo TJVCLExForm::classInfo =
    makeClassInfo("TJVCLExForm", &TJVCLBaseExForm::classInfo, &scriptCreator<TJVCLExForm>);

TJVCLBaseExForm::TJVCLBaseExForm(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExVCLWinControl(key, runtime, args) {
    SetClassName("window");
}

// The name "Settings" belongs to the setting values: a window asking for it
// gets "_Settings".
void TJVCLBaseExForm::Construct(TJValueList* args) {
    TJExVCLWinControl::Construct(args);
    TSkinForm* window = Window();
    if (!window) return;
    window->ScriptFileName = Runtime()->GetScriptFileName();
    if (HasArgs(args) && IsBoolValue(args->At(0))) window->Main = ValueToBool(&args->At(0));
    AnsiString section;
    if (HasTwoArgs(args) && IsStringValue(&args->At(1))) section = ValueToString(&args->At(1));
    if (section == "Settings") section = "_Settings";
    GuardVCL([&] { window->RegisterWithHost(section); });
    FireHostEvent(hostevent::Create, window);
}

const TClassInfo* TJVCLBaseExForm::VCLClass() const { return &TSkinForm::classInfo; }

TSkinForm* TJVCLBaseExForm::Window() const {
    return HasVCL() && VCL()->InheritsFrom(&TSkinForm::classInfo) ? static_cast<TSkinForm*>(VCL()) : nullptr;
}

TJHookList TJVCLBaseExForm::Hooks() const { return windowHooks; }

const TJMethodTable& TJVCLBaseExForm::Methods() const {
    static const TJMethodTable table(windowMethods, TJExVCLWinControl::Methods());
    return table;
}

bool TJVCLBaseExForm::PopupMenu() const {
    TSkinForm* window = Window();
    return window && window->PopupMenu();
}

void TJVCLBaseExForm::SetPopupMenu(bool value) {
    CheckVCL(nullptr, 0);
    Window()->SetPopupMenu(value ? Window()->Menu : nullptr);
}

void TJVCLBaseExForm::WindowClose(TObject* sender, TCloseAction&) { FireHostEvent(hostevent::Close, sender); }

void TJVCLBaseExForm::WindowMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool&) {
    FireHostEvent(hostevent::MouseWheel, sender, [&](TEventObject& record) {
        record.button = ButtonsOf(shift);
        SetEventKeys(record, shift);
        record.wheelDelta = wheelDelta;
        record.x = mousePos.x;
        record.y = mousePos.y;
    });
}

// The record is cleared also when the script has no handler: a returnValue
// left false by an earlier event refuses nothing. The handler may let this
// wrapper go; the record is held for the answer.
void TJVCLBaseExForm::WindowSettingChanging(TObject* sender, bool& accept) {
    TEventObject* record = EventRecord();
    if (!record) return FireHostEvent(hostevent::SettingChanging, sender);
    TJDispatchHold hold(*record);
    record->ClearEventRecord();
    FireHostEvent(hostevent::SettingChanging, sender);
    accept = record->returnValue;
}

void TJVCLExForm::CreateVCL() {
    auto* window = new TSkinForm(nullptr);
    AttachVCL(window, true);
}
