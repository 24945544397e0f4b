// The label and image script classes: construction onto the window's panel,
// the bounds and `parent`, the surface of each and the hook rows they share.
#include "host/script/labelimage.h"

#include "bridge/caster.h"
#include "engine/core/errors.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/window/eximage.h"
#include "host/window/exlabel.h"
#include "host/window/skinform.h"
#include "ui/panel.h"

template <>
inline constexpr const TEnumInfo* enumInfoOf<TTransparentObject> = &TransparentObjectInfo;

namespace {

const TPropInfo elementProperties[] = {
    ClassProperty<&TJExElementControl::WindowWrapper, &TJExElementControl::SetWindowWrapper>("parent",
                                                                                            &TJObject::classInfo),
    IntegerProperty<&TJExElementControl::Left, &TJExElementControl::SetLeft>("left"),
    IntegerProperty<&TJExElementControl::Top, &TJExElementControl::SetTop>("top"),
    IntegerProperty<&TJExElementControl::Width, &TJExElementControl::SetWidth>("width"),
    IntegerProperty<&TJExElementControl::Height, &TJExElementControl::SetHeight>("height"),
};

using LabelFaces = TFontFaces<TLabel, TStyleRule::AnyCase>;

const TPropInfo labelProperties[] = {
    StringProperty<&TJVCLBaseExLabel::Align, &TJVCLBaseExLabel::SetAlign>("align"),
    BoolProperty<&TJVCLBaseExLabel::ParentFont, &TJVCLBaseExLabel::SetParentFont>("parentFont"),
    ElementProperty<&TControl::Visible, &TControl::SetVisible>("Visible"),
    ElementProperty<&TExLabel::Transparency, &TExLabel::SetTransparency>("transparency"),
    ElementProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    ElementProperty<&TExLabel::Text, &TExLabel::SetText>("text"),
    ElementProperty<&LabelFaces::FontName, &LabelFaces::SetFontName>("fontName"),
    ElementProperty<&LabelFaces::FontSize, &LabelFaces::SetFontSize>("fontSize"),
    ElementProperty<&LabelFaces::FontStyle, &LabelFaces::SetFontStyle>("fontStyle"),
    ElementProperty<&LabelFaces::FontColor, &LabelFaces::SetFontColor>("fontColor"),
    ElementProperty<&LabelFaces::FontCharset, &LabelFaces::SetFontCharset>("fontCharset"),
    ElementProperty<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap"),
    ElementProperty<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize"),
    ElementProperty<&TExLabel::AutoEllipsis, &TExLabel::SetAutoEllipsis>("autoEllipsis"),
};

const TPropInfo imageProperties[] = {
    ElementProperty<&TControl::Visible, &TControl::SetVisible>("Visible"),
    ElementProperty<&TExImage::Transparency, &TExImage::SetTransparency>("transparency"),
    ElementProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    ElementProperty<&TExImage::Src, &TExImage::SetSrc>("src"),
    ElementProperty<&TExImage::TransparentObject, &TExImage::SetTransparentObject>("transparentObject"),
    ElementProperty<&TExImage::Stretch, &TExImage::SetStretch>("Stretch"),
    ElementProperty<&TExImage::AutoSize, &TExImage::SetAutoSize>("autoSize"),
};

const TJHook elementOwnHooks[] = {
    Notice<"OnMouseEnter", TJExElementControl>(),
    Notice<"OnMouseLeave", TJExElementControl>(),
};
const TJHookPart elementHooks[] = {elementOwnHooks, TJExVCLControl::MouseHooks()};

// The widget window whose panel holds the control; nil when none.
TSkinForm* windowOf(const TControl* control) {
    TWinControl* panel = control ? control->Parent() : nullptr;
    TWinControl* window = panel ? panel->Parent() : nullptr;
    return window && window->InheritsFrom(&TSkinForm::classInfo) && static_cast<TSkinForm*>(window)->Panel == panel
               ? static_cast<TSkinForm*>(window)
               : nullptr;
}

}  // namespace

const TClassInfo TJExElementControl::classInfo =
    makeClassInfo("TJExElementControl", &TJExVCLControl::classInfo, elementProperties);
const TClassInfo TJVCLBaseExLabel::classInfo =
    makeClassInfo("TJVCLBaseExLabel", &TJExElementControl::classInfo, labelProperties);
const TClassInfo TJVCLExLabel::classInfo =
    makeClassInfo("TJVCLExLabel", &TJVCLBaseExLabel::classInfo, &scriptCreator<TJVCLExLabel>);
const TClassInfo TJVCLBaseExImage::classInfo =
    makeClassInfo("TJVCLBaseExImage", &TJExElementControl::classInfo, imageProperties);
const TClassInfo TJVCLExImage::classInfo =
    makeClassInfo("TJVCLExImage", &TJVCLBaseExImage::classInfo, &scriptCreator<TJVCLExImage>);

// ==== Shared ====

void TJExElementControl::Construct(TJValueList* args) {
    TJExVCLControl::Construct(args);
    TControl* control = WrappedControl();
    if (!control || !control->Parent()) return;
    TWinControl* parent = control->Parent();
    if (!parent->InheritsFrom(&TSkinForm::classInfo)) raiseScriptError("EInvalidCast", "Invalid class typecast");
    GuardVCL([&] { control->SetParent(static_cast<TSkinForm*>(parent)->Panel); });
}

TJHookList TJExElementControl::Hooks() const { return elementHooks; }

TObject* TJExElementControl::WindowWrapper() const { return Cast(windowOf(WrappedControl()), Runtime()); }

void TJExElementControl::SetWindowWrapper(TObject* window) {
    CheckVCL(nullptr, 0);
    if (!window) return GuardVCL([&] { WrappedControl()->SetParent(nullptr); });
    if (TSkinForm* form = linkedOf<TSkinForm>(window)) GuardVCL([&] { WrappedControl()->SetParent(form->Panel); });
}

int TJExElementControl::Left() const { return HasVCL() ? WrappedControl()->Left() : 0; }
int TJExElementControl::Top() const { return HasVCL() ? WrappedControl()->Top() : 0; }
int TJExElementControl::Width() const { return HasVCL() ? WrappedControl()->Width() : 0; }
int TJExElementControl::Height() const { return HasVCL() ? WrappedControl()->Height() : 0; }

void TJExElementControl::SetLeft(int value) {
    CheckVCL(nullptr, 0);
    WrappedControl()->SetLeft(value);
}

void TJExElementControl::SetTop(int value) {
    CheckVCL(nullptr, 0);
    WrappedControl()->SetTop(value);
}

void TJExElementControl::SetWidth(int value) {
    CheckVCL(nullptr, 0);
    EndAutoSize();
    WrappedControl()->SetWidth(value);
}

void TJExElementControl::SetHeight(int value) {
    CheckVCL(nullptr, 0);
    EndAutoSize();
    WrappedControl()->SetHeight(value);
}

// ==== Label ====

TJVCLBaseExLabel::TJVCLBaseExLabel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExElementControl(key, runtime, args) {
    SetClassName("label");
}

const TClassInfo* TJVCLBaseExLabel::VCLClass() const { return &TExLabel::classInfo; }

TExLabel* TJVCLBaseExLabel::Label() const { return static_cast<TExLabel*>(WrappedControl()); }

void TJVCLBaseExLabel::EndAutoSize() { Label()->SetAutoSize(false); }

AnsiString TJVCLBaseExLabel::Align() const { return HasVCL() ? Label()->AlignText() : AnsiString(); }

void TJVCLBaseExLabel::SetAlign(const AnsiString& text) {
    CheckVCL(nullptr, 0);
    Label()->SetAlignText(text);
}

bool TJVCLBaseExLabel::ParentFont() const { return HasVCL() && Label()->ParentFont(); }

void TJVCLBaseExLabel::SetParentFont(bool value) {
    CheckVCL(nullptr, 0);
    TExLabel* label = Label();
    label->SetParentFont(value);
    label->SetText(label->Text());
}

void TJVCLExLabel::CreateVCL() { AttachVCL(new TExLabel(nullptr), true); }

// ==== Image ====

TJVCLBaseExImage::TJVCLBaseExImage(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExElementControl(key, runtime, args) {
    SetClassName("image");
}

const TClassInfo* TJVCLBaseExImage::VCLClass() const { return &TExImage::classInfo; }

TExImage* TJVCLBaseExImage::Image() const { return static_cast<TExImage*>(WrappedControl()); }

void TJVCLBaseExImage::EndAutoSize() { Image()->SetAutoSize(false); }

void TJVCLExImage::CreateVCL() {
    auto* image = new TExImage(nullptr);
    image->ScriptFileName = Runtime()->GetScriptFileName();
    AttachVCL(image, true);
}
