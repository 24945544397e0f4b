// The widget window: creation, registration, stored states, the background,
// the colour-alpha keys, the layered drawing, the menu, click-through and
// dragging.
#include "host/window/skinform.h"

#include <shellapi.h>

#include <algorithm>

#include "host/window/eximage.h"
#include "host/window/layerwindow.h"
#include "host/window/ownedform.h"
#include "host/window/screendocker.h"
#include "host/window/settingform.h"
#include "host/window/widgethost.h"
#include "rtl/filepath.h"
#include "rtl/numtext.h"
#include "ui/dialogs.h"
#include "ui/menus.h"
#include "ui/panel.h"

// ==== The background control ====

// The background picture (its colour bytes as they are: the window's alpha map
// carries its transparency), tiled on request. The mouse coming over it or
// leaving it is the window's.
class TBackgroundImage : public TTileImage {
    RTL_DECLARE_CLASS()
    explicit TBackgroundImage(TSkinForm* form) : TTileImage(form), Form_(form) {}

protected:
    void MouseEnter() override { Form_->OnMouseEnter(Form_); }
    void MouseLeave() override { Form_->OnMouseLeave(Form_); }

private:
    TSkinForm* Form_;
};

const TClassInfo TBackgroundImage::classInfo = makeClassInfo("TBackgroundImage", &TTileImage::classInfo);

// ==== Panel paint hook ====

// Every paint of the panel the system asks for (a label's new text, an
// image's new picture) reaches the screen through a layer update, unless one
// is painting it now. A paint into a given context (PaintTo) is someone
// taking a picture of the panel, not a change to show.
class TSkinForm::PanelHook : public TWindowHook {
public:
    PanelHook(TPanel* panel, TSkinForm* form) : TWindowHook(panel), Form_(form) {}

protected:
    void HookProc(TMessage& message) override {
        Inherited(message);
        if (message.Msg == WM_PAINT && !message.WParam && !Form_->Painting_) Form_->UpdateLayer();
    }

private:
    TSkinForm* Form_;
};

// ==== Creation and destruction ====

namespace {

const TMethodTypeInfo SettingChangingEventType{"TSettingChangingEvent"};

const TPropInfo skinFormProperties[] = {
    StringProperty<&TSkinForm::Background, &TSkinForm::SetBackground>("background"),
    BoolProperty<&TSkinForm::Tile, &TSkinForm::SetTile>("tile", 0),
    IntegerProperty<&TSkinForm::Transparency, &TSkinForm::SetTransparency>("transparency"),
    StringProperty<&TSkinForm::TransparentColor, &TSkinForm::SetTransparentColor>("transparentColor"),
    StringProperty<&TSkinForm::ColorAlpha, &TSkinForm::SetColorAlpha>("colorAlpha"),
    StringProperty<&TSkinForm::ToolTip, &TSkinForm::SetToolTip>("toolTip"),
    BoolProperty<&TSkinForm::Main, &TSkinForm::Main>("main", 1),
    BoolProperty<&TSkinForm::AutoSize, &TSkinForm::AutoSize>("autoSize", 1),
    BoolProperty<&TSkinForm::FontDialog, &TSkinForm::SetFontDialog>("fontDialog"),
    MethodProperty<&TSkinForm::OnFontChanged, &TSkinForm::OnFontChanged>("OnFontChanged", &NotifyEventType),
    MethodProperty<&TSkinForm::OnMouseEnter, &TSkinForm::OnMouseEnter>("OnMouseEnter", &NotifyEventType),
    MethodProperty<&TSkinForm::OnMouseLeave, &TSkinForm::OnMouseLeave>("OnMouseLeave", &NotifyEventType),
    MethodProperty<&TSkinForm::OnSettingChanged, &TSkinForm::OnSettingChanged>("OnSettingChanged", &NotifyEventType),
    MethodProperty<&TSkinForm::OnSettingChanging, &TSkinForm::OnSettingChanging>("OnSettingChanging",
                                                                                  &SettingChangingEventType),
};

}  // namespace

const TClassInfo TSkinForm::classInfo = makeClassInfo("TSkinForm", &TFontFaces::classInfo, skinFormProperties);

TSkinForm::TSkinForm(TComponent* owner) : TFontFaces(owner) {
    SetCaption("SkinForm");
    SetBorderStyle(bsNone);
    setVisibleFlag(false);
    SetShowHint(true);
    SetSystemFont(Font());
    Panel = new TPanel(this);
    Panel->SetParent(this);
    Panel->SetAlign(alClient);
    Panel->SetBevelOuter(bvNone);
    Panel->SetColor(static_cast<TColor>(0xFF00FF));
    BackgroundImage_ = new TBackgroundImage(this);
    BackgroundImage_->SetParent(Panel);
    BackgroundImage_->SetAlign(alClient);
    BackgroundImage_->OnMouseDown = TMouseEvent::bind<&TSkinForm::backgroundMouseDown>(this);
    BackgroundImage_->OnMouseMove = TMouseMoveEvent::bind<&TSkinForm::backgroundMouseMove>(this);
    BackgroundImage_->OnMouseUp = TMouseEvent::bind<&TSkinForm::backgroundMouseUp>(this);
    BackgroundImage_->OnClick = TNotifyEvent::bind<&TSkinForm::backgroundClick>(this);
    BackgroundImage_->OnDblClick = TNotifyEvent::bind<&TSkinForm::backgroundDblClick>(this);
    FontDialog_ = new TFontDialog(this);
    FontDialog_->OnApply = TFDApplyEvent::bind<&TSkinForm::fontDialogApply>(this);
    ScreenDocker = new TScreenDocker(this);
    ScreenDocker->Active = false;
    Layer_ = new TLayerWindow(this, this);
    FirstParent_ = GetAncestor(Handle(), GA_PARENT);
    BuildPopupMenu();
    PanelHook_ = std::make_unique<PanelHook>(Panel, this);
    SetBounds(Left(), Top(), 0, 0);
    LastPosition_ = {Left(), Top()};
}

TSkinForm::~TSkinForm() {
    Destroying();
    PanelHook_.reset();
    TSatellites(this).Free();
}

// The window's last position is stored as it is freed, before its widget's
// settings file is saved: a window held alive by a dispatch (a dialog opened
// from its menu) is deleted later, when that file may be gone.
void TSkinForm::BeforeDestruction() {
    TForm::BeforeDestruction();
    WriteValue("top", intToText(Top()));
    WriteValue("left", intToText(Left()));
    Setting = nullptr;
}

void TSkinForm::RegisterWithHost(const AnsiString& section) {
    if (TWidgetHost* host = WidgetHost()) host->RegisterWindow(this);
    LoadProperties(section);
}

AnsiString TSkinForm::ReadValue(const AnsiString& key, const AnsiString& fallback) const {
    return Setting ? Setting->ReadValue(Section_, key, fallback) : fallback;
}

void TSkinForm::WriteValue(const AnsiString& key, const AnsiString& value) {
    if (Setting) Setting->WriteValue(Section_, key, value);
}

// ==== Stored states ====

void TSkinForm::LoadProperties(const AnsiString& section) {
    if (section.empty()) return;
    Section_ = section;
    int32_t number;
    ClickThrough = ReadValue("Through", "") == "1";
    if (ReadValue("Snap", "") == "1") snapClick(this);
    if (textToInt32(ReadValue("top", ""), number)) SetTop(number);
    if (textToInt32(ReadValue("left", ""), number)) SetLeft(number);
    AnsiString style = ReadValue("font.style", "");
    if (!style.empty()) {
        uint32_t styles = 0;
        StringToSet(&FontStylesTypeInfo, style, styles);  // unknown names are left out
        Font()->SetStyle(static_cast<TFontStyles>(styles));
    }
    AnsiString color = ReadValue("font.color", "");
    if (!color.empty()) Font()->SetColor(HtmlToColor(color));
    if (textToInt32(ReadValue("font.size", ""), number)) Font()->SetSize(number);
    AnsiString name = ReadValue("font.name", "");
    if (!name.empty()) Font()->SetName(name);
    if (!textToInt32(ReadValue("transparency", "255"), number)) number = 255;
    SetTransparency(number);
    if (textToInt32(ReadValue("font.charset", ""), number)) Font()->SetCharset(static_cast<uint8_t>(number));
    if (ReadValue("PinToDesktop", "") == "1") pinClick(this);
    if (ReadValue("TopMost", "") == "1") topMostClick(this);
}

// ==== Background and alpha ====

void TSkinForm::SetBackground(const AnsiString& path) {
    if (path.empty()) {
        Background_.clear();
        BackgroundImage_->Picture()->Assign(nullptr);
        BackgroundAlpha_ = TAlphaMap();
        BackgroundKey_.reset();
        return UpdateLayer();
    }
    AnsiString file = expandFileNameFrom(path, fileFolder(ScriptFileName));
    if (!fileExists(file)) return;
    BackgroundImage_->Picture()->LoadFromFile(file);
    Background_ = file;
    const TBitmap& bitmap = *BackgroundImage_->Picture()->Bitmap();
    BackgroundKey_.reset();
    if (bitmap.Transparent()) BackgroundKey_ = TColorAlpha{bitmap.TransparentColor(), 0};
    if (AutoSize) SetBounds(Left(), Top(), bitmap.Width(), bitmap.Height());
    BackgroundAlpha_ = alphaOf(bitmap);
    UpdateLayer();
}

void TSkinForm::SetTile(bool value) {
    if (value == Tile_) return;
    Tile_ = value;
    BackgroundImage_->SetTileImage(value);
    UpdateLayer();
}

void TSkinForm::SetTransparency(int value) {
    Transparency_ = std::clamp(value, 0, 255);
    TSatellites(this).SetTransparency(Transparency_);
    UpdateLayer();
}

std::vector<TColorAlpha> TSkinForm::colorKeys() const {
    std::vector<TColorAlpha> keys;
    if (BackgroundKey_) keys.push_back(*BackgroundKey_);
    keys.insert(keys.end(), ColorAlpha_.begin(), ColorAlpha_.end());
    return keys;
}

AnsiString TSkinForm::ColorAlpha() const { return colorAlphaText(colorKeys()); }

void TSkinForm::SetColorAlpha(const AnsiString& text) {
    ColorAlpha_ = parseColorAlpha(text);
    UpdateLayer();
}

// The masks of the `toWindow` images on the panel, in child order.
std::vector<TMaskPlacement> TSkinForm::windowMasks() const {
    std::vector<TMaskPlacement> masks;
    TMaskPlacement placement;
    for (int i = 0; i < Panel->ControlCount(); ++i) {
        TControl* control = Panel->Controls(i);
        if (control->InheritsFrom(&TExImage::classInfo) && static_cast<TExImage*>(control)->WindowMask(placement))
            masks.push_back(placement);
    }
    return masks;
}

void TSkinForm::UpdateLayer() {
    if (!Visible() || ClientWidth() <= 0 || ClientHeight() <= 0 || Painting_) return;
    Painting_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{Painting_};
    TBitmap& picture = Layer_->LayerBmp;
    picture.SetSize(ClientWidth(), ClientHeight());
    PaintTo(picture.Canvas()->Handle(), 0, 0);
    std::vector<TColorAlpha> keys = colorKeys();
    Layer_->AlphaBmp = composeLayerAlpha(picture, {BackgroundAlpha_, Tile_, windowMasks(), keys, Transparency_});
    Layer_->UpdateLayered();
}

// ==== Font ====

void TSkinForm::FontWritten() { TSatellites(this).SetFont(Font()); }

bool TSkinForm::FontDialog() const { return NFont->Enabled(); }

void TSkinForm::SetFontDialog(bool enabled) { NFont->SetEnabled(enabled); }

// ==== Showing and closing ====

void TSkinForm::DoShow() {
    Closed = false;
    TForm::DoShow();
}

// A layered window shows nothing until its first update.
void TSkinForm::SetVisible(bool value) {
    TForm::SetVisible(value);
    if (value) UpdateLayer();
    TSatellites(this).UpdateShowing();
}

void TSkinForm::DoClose(TCloseAction& action) {
    Closed = true;
    TForm::DoClose(action);
}

// ==== Messages: click-through ====

void TSkinForm::WndProc(TMessage& message) {
    if (ClickThrough && message.Msg >= WM_LBUTTONDOWN && message.Msg <= WM_MOUSEWHEEL) return passClickThrough(message);
    TForm::WndProc(message);
    if (message.Msg == WM_WINDOWPOSCHANGED) placeSatellites();
}

// The satellites move by the window's displacement and shrink with it, shown
// or not, so that they come back in their place.
void TSkinForm::placeSatellites() {
    TSatellites satellites(this);
    if (Left() != LastPosition_.x || Top() != LastPosition_.y) {
        satellites.WindowMoved(Left() - LastPosition_.x, Top() - LastPosition_.y);
        LastPosition_ = {Left(), Top()};
    }
    if (Width() != LastSize_.x || Height() != LastSize_.y) {
        satellites.WindowResized();
        LastSize_ = {Width(), Height()};
    }
}

// The wheel's point is already on the screen; the others are client points.
// Coordinates are signed (a window left of or above the primary screen).
void TSkinForm::passClickThrough(TMessage& message) {
    POINT point{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
    if (message.Msg != WM_MOUSEWHEEL) point = ClientToScreen(point);
    HWND handle = Handle();
    LONG_PTR style = GetWindowLongPtrA(handle, GWL_EXSTYLE);
    SetWindowLongPtrA(handle, GWL_EXSTYLE, style | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    HWND target = WindowFromPoint(point);
    SetWindowLongPtrA(handle, GWL_EXSTYLE, style);
    if (target && target != handle) {
        if (message.Msg != WM_MOUSEWHEEL) ::ScreenToClient(target, &point);
        PostMessageA(target, message.Msg, message.WParam, MAKELPARAM(point.x, point.y));
    }
    UpdateLayer();
}

// ==== Dragging ====

void TSkinForm::MousePressed(TPoint screenPoint) {
    PressPoint_ = screenPoint;
    Pressed_ = true;
}

// The system's move takes the window along from where the pointer is when it
// starts: the window first catches up with the move that started the drag.
void TSkinForm::MouseMoved(TPoint screenPoint, bool leftHeld) {
    if (!Pressed_ || !leftHeld || (screenPoint.x == PressPoint_.x && screenPoint.y == PressPoint_.y)) return;
    Pressed_ = false;
    ReleaseCapture();
    SetBounds(Left() + screenPoint.x - PressPoint_.x, Top() + screenPoint.y - PressPoint_.y, Width(), Height());
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, MAKELPARAM(screenPoint.x, screenPoint.y));
}

// The background covers the window: its mouse events are the window's, in
// the window's client coordinates (the background sits at its origin).
void TSkinForm::backgroundMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
    if (button == mbLeft) MousePressed(BackgroundImage_->ClientToScreen({x, y}));
}

void TSkinForm::backgroundMouseMove(TObject*, TShiftState shift, int x, int y) {
    OnMouseMove(this, shift, x, y);
    MouseMoved(BackgroundImage_->ClientToScreen({x, y}), inSet(shift, ssLeft));
}

void TSkinForm::backgroundMouseUp(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}

// ==== Menu ====

TMenuItem* TSkinForm::addItem(TMenuItem* parent, const AnsiString& caption, TNotifyEvent onClick) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    item->OnClick = onClick;
    parent->Add(item);
    return item;
}

void TSkinForm::BuildPopupMenu() {
    Menu = new TPopupMenu(this);
    TMenuItem* root = Menu->Items();
    addItem(root, "-", {});  // script menu items go before it
    addItem(root, "閉じる", TNotifyEvent::bind<&TSkinForm::closeClick>(this));
    addItem(root, "非表示", TNotifyEvent::bind<&TSkinForm::hideClick>(this));
    addItem(root, "再読込", TNotifyEvent::bind<&TSkinForm::reloadClick>(this));
    addItem(root, "-", {});
    TMenuItem* skin = addItem(root, "ウィジェット", TNotifyEvent::bind<&TSkinForm::skinClick>(this));
    addItem(skin, "", {})->SetVisible(false);
    NPinDesktop = addItem(root, "デスクトップに貼付", TNotifyEvent::bind<&TSkinForm::pinClick>(this));
    NPinDesktop->SetName("NPinDesktop");
    NSnap = addItem(root, "画面端に張り付く", TNotifyEvent::bind<&TSkinForm::snapClick>(this));
    NSnap->SetName("NSnap");
    NTopMost = addItem(root, "常にトップにする", TNotifyEvent::bind<&TSkinForm::topMostClick>(this));
    NTopMost->SetName("NTopMost");
    TMenuItem* steps = addItem(root, "透明度", {});
    for (int percent = 10; percent <= 100; percent += 10) {
        TMenuItem* step = addItem(steps, intToText(percent) + "%", TNotifyEvent::bind<&TSkinForm::transparencyClick>(this));
        step->SetName("NT" + intToText(percent));
        step->SetTag(percent);
    }
    NFont = addItem(root, "フォントの設定", TNotifyEvent::bind<&TSkinForm::fontClick>(this));
    NSetting = addItem(root, "設定", TNotifyEvent::bind<&TSkinForm::settingClick>(this));
    NSetting->SetEnabled(false);  // until the first setting registers
    addItem(root, "-", {});
    NHelp = addItem(root, "このウィジェットについて", TNotifyEvent::bind<&TSkinForm::helpClick>(this));
    NHelp->SetEnabled(false);  // enabled on opening when the widget names a help file
    addItem(root, "終了", TNotifyEvent::bind<&TSkinForm::exitClick>(this));
    Menu->OnPopup = TNotifyEvent::bind<&TSkinForm::menuPopup>(this);
    SetPopupMenu(Menu);
}

void TSkinForm::PostClose() {
    if (TWidgetHost* host = WidgetHost()) host->PostCloseWindow(this);
}

void TSkinForm::reloadClick(TObject*) {
    if (TWidgetHost* host = WidgetHost()) host->PostReloadWidget(this);
}

void TSkinForm::skinClick(TObject* sender) {
    if (TWidgetHost* host = WidgetHost()) host->FillWidgetMenu(sender);
}

// The dialog starts from the window font; OK and Apply both take its choice.
void TSkinForm::fontClick(TObject*) {
    TKeepAlive hold(this);
    FontDialog_->SetFont(Font());
    if (FontDialog_->Execute()) takeDialogFont();
}

// Name, style, size, character set and colour, stored at once, then the
// satellites and the script hear of it.
void TSkinForm::takeDialogFont() {
    if (IsDestroying()) return;  // the widget was unloaded while the dialog was open
    const TFont* chosen = FontDialog_->Font();
    TFont* font = Font();
    font->SetName(chosen->Name());
    font->SetStyle(chosen->Style());
    font->SetSize(chosen->Size());
    font->SetCharset(chosen->Charset());
    font->SetColor(chosen->Color());
    WriteValue("font.name", font->Name());
    WriteValue("font.size", intToText(font->Size()));
    WriteValue("font.style", SetToString(&FontStylesTypeInfo, font->Style()));
    WriteValue("font.color", ColorToHtml(font->Color()));
    WriteValue("font.charset", intToText(font->Charset()));
    TSatellites(this).SetFont(font);
    OnFontChanged(this);
}

// The widget's `helpFile`, read from its engine at each use.
AnsiString TSkinForm::helpFile() const {
    TWidgetHost* host = WidgetHost();
    return host ? host->WidgetHelpFile(ScriptFileName) : AnsiString();
}

void TSkinForm::menuPopup(TObject*) { NHelp->SetEnabled(!helpFile().empty()); }

void TSkinForm::helpClick(TObject*) {
    AnsiString help = helpFile();
    if (help.empty()) return;
    SetCurrentDirectoryA(fileFolder(ScriptFileName).c_str());
    ShellExecuteA(nullptr, "open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TSkinForm::exitClick(TObject*) {
    if (TWidgetHost* host = WidgetHost()) host->PostExit();
}

// Without the shell's desktop window (Wine has none) a pinned window stays
// top-level at the bottom of the z-order.
void TSkinForm::pinClick(TObject*) {
    bool pinned = !NPinDesktop->Checked();
    NPinDesktop->SetChecked(pinned);
    HWND desktop = FindWindowA("Progman", nullptr);
    if (desktop) ::SetParent(Handle(), pinned ? desktop : FirstParent_ == GetDesktopWindow() ? nullptr : FirstParent_);
    else SetWindowPos(Handle(), pinned ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    WriteValue("PinToDesktop", pinned ? "1" : "0");
}

void TSkinForm::snapClick(TObject*) {
    bool snap = !NSnap->Checked();
    NSnap->SetChecked(snap);
    ScreenDocker->Active = snap;
    WriteValue("Snap", snap ? "1" : "0");
}

void TSkinForm::topMostClick(TObject*) {
    bool topMost = !NTopMost->Checked();
    NTopMost->SetChecked(topMost);
    SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    WriteValue("TopMost", topMost ? "1" : "0");
}

void TSkinForm::transparencyClick(TObject* sender) {
    int value = static_cast<TComponent*>(sender)->Tag() * 255 / 100;
    SetTransparency(value);
    WriteValue("transparency", intToText(value));
}

// ==== Settings ====

void TSkinForm::AddSettingItem(TSettingItem* setting) {
    SettingItems_.push_back(setting);
    NSetting->SetEnabled(true);
}

void TSkinForm::RemoveSettingItems(TSettingItem* setting) {
    std::erase(SettingItems_, setting);
    if (SettingItems_.empty()) NSetting->SetEnabled(false);
}

// The handlers may free the settings, the window or the widget's engine: the
// dialog holds its settings and the window is kept until the loop ends.
void TSkinForm::RunSettingDialog() {
    if (SettingDialogOpen_ || SettingItems_.empty()) return;
    auto* dialog = new TSettingForm(this);
    TKeepAlive hold(dialog);
    SettingDialogOpen_ = true;
    struct Done {
        TSettingForm* dialog;
        bool& open;
        ~Done() {
            open = false;
            dialog->Free();
        }
    } done{dialog, SettingDialogOpen_};
    for (TSettingItem* setting : SettingItems_) dialog->AddSettingControl(setting);
    dialog->SetHeight(dialog->Tag());  // every setting makes a row: never 0 here
    while (dialog->ShowModal() == mrOk && !IsDestroying()) {
        dialog->CollectSettingValues(false);
        bool accept = true;
        OnSettingChanging(this, accept);
        if (IsDestroying()) return;
        if (!accept) continue;
        dialog->CollectSettingValues(true);
        OnSettingChanged(this);
        return;
    }
}
