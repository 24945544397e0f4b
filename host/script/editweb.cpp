// The edit and web script classes: the satellite side they share (rectangle,
// `visible`, `transparency`), the edit's selection, undo and methods, and the
// web view's page text with its temporary file and wait.
#include "host/script/editweb.h"

#include <algorithm>

#include "bridge/caster.h"
#include "engine/core/errors.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/window/ownedform.h"
#include "host/window/satellitecontrols.h"
#include "host/window/skinform.h"
#include "rtl/fileio.h"
#include "rtl/filepath.h"
#include "ui/application.h"
#include "ui/menus.h"
#include "ui/panel.h"

namespace {

template <class Base>
constexpr TPropInfo satelliteProperties[] = {
    IntegerProperty<&TJExSatellite<Base>::Top, &TJExSatellite<Base>::SetTop>("top"),
    IntegerProperty<&TJExSatellite<Base>::Left, &TJExSatellite<Base>::SetLeft>("left"),
    IntegerProperty<&TJExSatellite<Base>::Width, &TJExSatellite<Base>::SetWidth>("width"),
    IntegerProperty<&TJExSatellite<Base>::Height, &TJExSatellite<Base>::SetHeight>("height"),
    IntegerProperty<&TJExSatellite<Base>::Transparency, &TJExSatellite<Base>::SetTransparency>("transparency"),
    BoolProperty<&TJExSatellite<Base>::Visible, &TJExSatellite<Base>::SetVisible>("visible"),
};

using MemoFaces = TFontFaces<TMemo, TStyleRule::Capitalised>;

const TPropInfo memoWrapperProperties[] = {
    BoolProperty<&TJVCLBaseExMemo::CanUndo>("canUndo"),
    BoolProperty<&TJVCLBaseExMemo::Modified, &TJVCLBaseExMemo::SetModified>("modified"),
    IntegerProperty<&TJVCLBaseExMemo::SelLength, &TJVCLBaseExMemo::SetSelLength>("selLength"),
    IntegerProperty<&TJVCLBaseExMemo::SelStart, &TJVCLBaseExMemo::SetSelStart>("selStart"),
    StringProperty<&TJVCLBaseExMemo::SelText, &TJVCLBaseExMemo::SetSelText>("selText"),
    ClassProperty<&TJVCLBaseExMemo::ParentWindow, &TJVCLBaseExMemo::SetParentWindow>("parent", &TJObject::classInfo),
    StringProperty<&TJVCLBaseExMemo::Align, &TJVCLBaseExMemo::SetAlign>("align"),
    ElementProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    ElementProperty<&TExMemo::Multiline, &TExMemo::SetMultiline>("multiline"),
    ElementProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("text"),
    ElementProperty<&MemoFaces::FontName, &MemoFaces::SetFontName>("fontName"),
    ElementProperty<&MemoFaces::FontSize, &MemoFaces::SetFontSize>("fontSize"),
    ElementProperty<&MemoFaces::FontStyle, &MemoFaces::SetFontStyle>("fontStyle"),
    ElementProperty<&MemoFaces::FontColor, &MemoFaces::SetFontColor>("fontColor"),
    ElementProperty<&MemoFaces::FontCharset, &MemoFaces::SetFontCharset>("fontCharset"),
    ElementProperty<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap"),
    ElementProperty<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont"),
};

const TPropInfo webWrapperProperties[] = {
    StringProperty<&TJVCLBaseExWeb::Src, &TJVCLBaseExWeb::SetSrc>("src"),
    BoolProperty<&TJVCLBaseExWeb::ScrollBar, &TJVCLBaseExWeb::SetScrollBar>("scrollBar"),
};

const TJHook memoOwnHooks[] = {
    Notice<"OnChange", TJVCLBaseExMemo>(),
    Notice<"OnEnter", TJVCLBaseExMemo>(),
    Notice<"OnExit", TJVCLBaseExMemo>(),
    Notice<"OnMouseEnter", TJVCLBaseExMemo>(),
    Notice<"OnMouseLeave", TJVCLBaseExMemo>(),
};
const TJHookPart memoHooks[] = {memoOwnHooks, TJExVCLWinControl::MouseHooks(), TJExVCLWinControl::KeyHooks()};

}  // namespace

template <>
const TClassInfo TJExWinSatellite::classInfo =
    makeClassInfo("TJExWinSatellite", &TJExVCLWinControl::classInfo, satelliteProperties<TJExVCLWinControl>);
template <>
const TClassInfo TJExComponentSatellite::classInfo = makeClassInfo(
    "TJExComponentSatellite", &TJVCLComponent::classInfo, satelliteProperties<TJExElement<TJVCLComponent>>);
const TClassInfo TJVCLBaseExMemo::classInfo =
    makeClassInfo("TJVCLBaseExMemo", &TJExWinSatellite::classInfo, memoWrapperProperties);
const TClassInfo TJVCLExMemo::classInfo =
    makeClassInfo("TJVCLExMemo", &TJVCLBaseExMemo::classInfo, &scriptCreator<TJVCLExMemo>);
const TClassInfo TJVCLBaseExWeb::classInfo =
    makeClassInfo("TJVCLBaseExWeb", &TJExComponentSatellite::classInfo, webWrapperProperties);
const TClassInfo TJVCLExWeb::classInfo =
    makeClassInfo("TJVCLExWeb", &TJVCLBaseExWeb::classInfo, &scriptCreator<TJVCLExWeb>);

// ==== The satellite side ====

template <class Base>
TWinControl* TJExSatellite<Base>::ElementControl() const {
    return this->HasVCL() ? dynamic_cast<TWinControl*>(this->VCL()) : nullptr;
}

template <class Base>
TOwnedForm* TJExSatellite<Base>::Satellite() const {
    return SatelliteOf(ElementControl());
}

template <class Base>
void TJExSatellite<Base>::AttachTo(TSkinForm* window) {
    TOwnedForm* satellite = TSatellites(window).Vacant();
    if (!satellite) satellite = new TOwnedForm(window);
    TWinControl* control = ElementControl();
    control->SetParent(satellite->Panel);
    control->SetAlign(alClient);
    window->NPinDesktop->SetEnabled(false);
    SetTransparency(window->Transparency());
    satellite->SetElementVisible(Visible_);
    UpdateOwnedBounds();
}

template <class Base>
void TJExSatellite<Base>::UpdateOwnedBounds() {
    if (TOwnedForm* satellite = Satellite()) this->GuardVCL([&] { satellite->PlaceElement(Left_, Top_, Width_, Height_); });
}

template <class Base>
void TJExSatellite<Base>::SetLeft(int value) {
    Left_ = value;
    UpdateOwnedBounds();
}

template <class Base>
void TJExSatellite<Base>::SetTop(int value) {
    Top_ = value;
    UpdateOwnedBounds();
}

template <class Base>
void TJExSatellite<Base>::SetWidth(int value) {
    Width_ = value;
    UpdateOwnedBounds();
}

template <class Base>
void TJExSatellite<Base>::SetHeight(int value) {
    Height_ = value;
    UpdateOwnedBounds();
}

// The window's transparency reaches the satellite directly: it is read there.
template <class Base>
int TJExSatellite<Base>::Transparency() const {
    TOwnedForm* satellite = Satellite();
    return satellite ? satellite->Transparency() : Transparency_;
}

template <class Base>
void TJExSatellite<Base>::SetTransparency(int value) {
    Transparency_ = std::clamp(value, 0, 255);
    if (TOwnedForm* satellite = Satellite()) satellite->SetTransparency(Transparency_);
}

template <class Base>
void TJExSatellite<Base>::SetVisible(bool value) {
    Visible_ = value;
    if (TOwnedForm* satellite = Satellite()) this->GuardVCL([&] { satellite->SetElementVisible(value); });
}

template class TJExSatellite<TJExVCLWinControl>;
template class TJExSatellite<TJExElement<TJVCLComponent>>;

// ==== edit ====

namespace {

// A method of the memo: it needs the memo and gives the edit back.
template <void (TCustomEdit::*Action)()>
void memoAction(TJVCLBaseExMemo& self, TJValueList*, TJValue&) {
    self.CheckVCL(nullptr, 0);
    self.GuardVCL([&] { (self.Memo()->*Action)(); });
}

constexpr TJMethodResult self = TJMethodResult::Self;

const TJMethod<TJVCLBaseExMemo> memoMethods[] = {
    {"clear", 0, &memoAction<&TCustomEdit::Clear>, self},
    {"clearSelection", 0, &memoAction<&TCustomEdit::ClearSelection>, self},
    {"copyToClipboard", 0, &memoAction<&TCustomEdit::CopyToClipboard>, self},
    {"cutToClipboard", 0, &memoAction<&TCustomEdit::CutToClipboard>, self},
    {"pasteFromClipboard", 0, &memoAction<&TCustomEdit::PasteFromClipboard>, self},
    {"undo", 0, &memoAction<&TCustomEdit::Undo>, self},
    {"clearUndo", 0, &memoAction<&TCustomEdit::ClearUndo>, self},
    {"selectAll", 0, &memoAction<&TCustomEdit::SelectAll>, self},
};

}  // namespace

TJVCLBaseExMemo::TJVCLBaseExMemo(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExWinSatellite(key, runtime, args) {
    SetClassName("edit");
}

// Made without a window, the memo has no satellite: its values are kept and
// nothing shows until `parent` gives it a window.
void TJVCLBaseExMemo::Construct(TJValueList* args) {
    TJExWinSatellite::Construct(args);
    TExMemo* memo = Memo();
    TWinControl* parent = memo ? memo->Parent() : nullptr;
    if (!parent) return;
    if (!parent->InheritsFrom(&TSkinForm::classInfo)) raiseScriptError("EInvalidCast", "Invalid class typecast");
    GuardVCL([&] {
        memo->SetBorderStyle(0);
        AttachTo(static_cast<TSkinForm*>(parent));
    });
}

TExMemo* TJVCLBaseExMemo::Memo() const { return HasVCL() ? static_cast<TExMemo*>(VCL()) : nullptr; }

const TClassInfo* TJVCLBaseExMemo::VCLClass() const { return &TExMemo::classInfo; }

TJHookList TJVCLBaseExMemo::Hooks() const { return memoHooks; }

const TJMethodTable& TJVCLBaseExMemo::Methods() const {
    static const TJMethodTable table(memoMethods, TJExWinSatellite::Methods());
    return table;
}

bool TJVCLBaseExMemo::CanUndo() const { return HasVCL() && Memo()->CanUndo(); }
bool TJVCLBaseExMemo::Modified() const { return HasVCL() && Memo()->Modified(); }
int TJVCLBaseExMemo::SelStart() const { return HasVCL() ? Memo()->SelStart() : 0; }
int TJVCLBaseExMemo::SelLength() const { return HasVCL() ? Memo()->SelLength() : 0; }
AnsiString TJVCLBaseExMemo::SelText() const { return HasVCL() ? Memo()->SelText() : AnsiString(); }

void TJVCLBaseExMemo::SetModified(bool value) {
    CheckVCL(nullptr, 0);
    Memo()->SetModified(value);
}

void TJVCLBaseExMemo::SetSelStart(int value) {
    CheckVCL(nullptr, 0);
    Memo()->SetSelStart(value);
}

void TJVCLBaseExMemo::SetSelLength(int value) {
    CheckVCL(nullptr, 0);
    Memo()->SetSelLength(value);
}

void TJVCLBaseExMemo::SetSelText(const AnsiString& value) {
    CheckVCL(nullptr, 0);
    GuardVCL([&] { Memo()->SetSelText(value); });
}

AnsiString TJVCLBaseExMemo::Align() const { return HasVCL() ? Memo()->AlignText() : AnsiString(); }

void TJVCLBaseExMemo::SetAlign(const AnsiString& text) {
    CheckVCL(nullptr, 0);
    GuardVCL([&] { Memo()->SetAlignText(text); });
}

TObject* TJVCLBaseExMemo::ParentWindow() const { return Cast(Satellite(), Runtime()); }

void TJVCLBaseExMemo::SetParentWindow(TObject* window) {
    CheckVCL(nullptr, 0);
    TOwnedForm* old = Satellite();
    TSkinForm* target = linkedOf<TSkinForm>(window);
    if (window && (!target || (old && old->Window() == target))) return;
    GuardVCL([&] {
        if (target) AttachTo(target);
        else Memo()->SetParent(nullptr);
        if (old) old->UpdateShowing();  // vacant now: hidden
    });
}

void TJVCLExMemo::CreateVCL() { AttachVCL(new TExMemo(nullptr), true); }

// ==== web ====

namespace {

void webNavigate(TJVCLBaseExWeb& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { self.Web()->Navigate(ValueToString(&args->At(0))); });
}

const TJMethod<TJVCLBaseExWeb> webMethods[] = {
    {"navigate", 0, &webNavigate},
};

// How long a page may take before `src` gives up waiting for it.
constexpr DWORD kPageWait = 30000;

}  // namespace

TJVCLBaseExWeb::TJVCLBaseExWeb(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExComponentSatellite(key, runtime, args) {
    SetClassName("web");
}

// Made without a window (or with something else), the browser has no
// satellite and no window: `navigate` and `src` then show nothing.
void TJVCLBaseExWeb::Construct(TJValueList* args) {
    TJExComponentSatellite::Construct(args);
    ScriptFileName_ = Runtime()->GetScriptFileName();
    TJVCLPersistent* wrapper = HasArgs(args) ? WrapperOfValue(args->At(0)) : nullptr;
    auto* control = wrapper && wrapper->HasVCL() ? dynamic_cast<TWinControl*>(wrapper->VCL()) : nullptr;
    auto* window = dynamic_cast<TSkinForm*>(control ? GetParentForm(control) : nullptr);
    if (window && HasVCL()) GuardVCL([&] { AttachTo(window); });
}

TExWeb* TJVCLBaseExWeb::Web() const { return HasVCL() ? static_cast<TExWeb*>(VCL()) : nullptr; }

const TClassInfo* TJVCLBaseExWeb::VCLClass() const { return &TExWeb::classInfo; }

const TJMethodTable& TJVCLBaseExWeb::Methods() const {
    static const TJMethodTable table(webMethods, TJExComponentSatellite::Methods());
    return table;
}

// The page is written beside the widget's script under the first free name
// of "~temp.html", "~~temp.html", ... and loaded from there. The wait ends at
// ready state 4, when the browser reports that the navigation failed, or
// after 30 s (a page that never completes would hold the script for ever);
// the file is deleted in every case. A browser without a window (an element
// made without one) loads nothing and is not waited for. Messages run
// meanwhile, other widgets' events too; an unload of this widget waits until
// its script has returned (the program host), so nothing frees this element under
// the wait.
void TJVCLBaseExWeb::SetSrc(const AnsiString& text) {
    CheckVCL(nullptr, 0);
    Src_ = text;
    AnsiString folder = fileFolder(ScriptFileName_), name = "temp.html", path;
    do {
        name = "~" + name;
        path = folder + name;
    } while (fileExists(path));
    GuardVCL([&] { writeFileBytes(path, text.view()); });
    struct Remove {
        const AnsiString& path;
        ~Remove() { DeleteFileA(path.c_str()); }
    } remove{path};
    GuardVCL([&] { Web()->Navigate(path); });
    DWORD start = GetTickCount();  // differences stay right across the counter's wrap
    while (HasVCL() && Web()->HasBrowser() && Web()->ReadyState() != TWebBrowser::ReadyStateComplete && !Web()->NavigationFailed() &&
           !Application->Terminated()) {
        DWORD waited = GetTickCount() - start;
        if (waited >= kPageWait) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(kPageWait - waited, 100), QS_ALLINPUT);
        Application->ProcessMessages();
    }
}

bool TJVCLBaseExWeb::ScrollBar() const { return !HasVCL() || Web()->ScrollBar(); }

// Without a page there is nothing to lay out again.
void TJVCLBaseExWeb::SetScrollBar(bool value) {
    CheckVCL(nullptr, 0);
    Web()->SetScrollBar(value);
    if (!value && !Src_.empty()) SetSrc(Src_);
}

void TJVCLExWeb::CreateVCL() { AttachVCL(new TExWeb(nullptr), true); }
