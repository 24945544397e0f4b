// The form wrapper: the form's script methods, its events, the main form
// whose closing ends the script's event loop, the form streams and the drags.
#include "bridge/forms.h"

#include "engine/core/runtime.h"
#include "rtl/fileio.h"
#include "rtl/filer.h"
#include "rtl/streams.h"
#include "ui/dragdrop.h"

namespace {

TWinControl* winControlArgument(TJVCLComponent& self, TJValueList* args) {
    TJVCLPersistent* wrapper = HasArgs(args) ? WrapperOfValue(args->At(0)) : nullptr;
    if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&TWinControl::classInfo))
        self.RaiseArgumentsError();
    return static_cast<TWinControl*>(wrapper->VCL());
}

TControl* controlArgument(TJVCLComponent& self, TJValueList* args) {
    TJVCLPersistent* wrapper = HasArgs(args) ? WrapperOfValue(args->At(0)) : nullptr;
    if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&TControl::classInfo))
        self.RaiseArgumentsError();
    return static_cast<TControl*>(wrapper->VCL());
}

TCustomForm& formOf(TJVCLComponent& self) { return *static_cast<TCustomForm*>(self.VCL()); }

void focusControl(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TWinControl* control = winControlArgument(self, args);
    self.GuardVCL([&] { formOf(self).FocusControl(control); });
}

void sendCancelMode(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TControl* control = controlArgument(self, args);
    self.GuardVCL([&] { formOf(self).SendCancelMode(control); });
}

void setFocusedControl(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TWinControl* control = winControlArgument(self, args);
    self.GuardVCL([&] { MakeBool(formOf(self).SetFocusedControl(control), result); });
}

// ==== Form streams ====

// File errors keep only the name: "read component error: " and the name as
// the script gave it, for reading and saving alike.
template <class F>
void guardFile(TJVCLBaseForm& self, const AnsiString& name, F&& call) {
    try {
        call();
    } catch (const EJException&) {
        throw;
    } catch (const Exception&) {
        self.RaiseVCLError("read component error: " + name);
    }
}

void loadFromFile(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    auto& form = static_cast<TJVCLBaseForm&>(self);
    AnsiString name = ValueToString(args->At(0));
    AnsiString path;
    if (!self.Runtime()) return;
    if (!self.Runtime()->FindLibraryFile(name, path)) form.RaiseVCLError("read component error: " + name);
    guardFile(form, name, [&] {
        TFileStream file(path, fmOpenRead | fmShareDenyWrite);
        form.LoadFormStream(file);
    });
}

// The text goes to a file beside the old one that replaces it only once it
// is whole: a save that fails leaves the old file as it was.
void saveToFile(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    auto& form = static_cast<TJVCLBaseForm&>(self);
    AnsiString name = ValueToString(args->At(0));
    guardFile(form, name, [&] {
        TStringStream text;
        form.SaveFormStream(text);
        writeFileBytes(name, text.View());
    });
}

void loadFromText(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    TStringStream text(ValueToString(args->At(0)).view());
    self.GuardVCL([&] { static_cast<TJVCLBaseForm&>(self).LoadFormStream(text); });
}

void saveToText(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    TStringStream text;
    self.GuardVCL([&] { static_cast<TJVCLBaseForm&>(self).SaveFormStream(text); });
    MakeString(text.DataString(), result);
}

// ==== Drags ====

// The items of an array-like object, or the lines of any other value's text.
void fileList(const TJValue& value, TStrings& files) {
    if (IsObjectValue(value) && value.ObjValue->IsArrayLike()) {
        TJObject* list = value.ObjValue;
        for (int32_t i = 0, count = list->GetLength(); i < count; ++i) {
            TJValue item;
            list->GetItem(i, item);
            files.Add(ValueToString(item));
        }
        return;
    }
    files.SetText(ValueToString(value).view());
}

// [folder,] files
void doDragDropFiles(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    bool withFolder = ArgCount(args) >= 2;
    AnsiString folder = withFolder ? ValueToString(args->At(0)) : AnsiString();
    TStringList files;
    fileList(args->At(withFolder ? 1 : 0), files);
    auto& form = static_cast<TJVCLBaseForm&>(self);
    self.GuardVCL([&] { form.DragSource().DoDragFiles(folder, files); });
}

void doDragDropText(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    AnsiString text = ValueToString(args->At(0));
    auto& form = static_cast<TJVCLBaseForm&>(self);
    self.GuardVCL([&] { form.DragSource().DoDragText(text); });
}

// Our forms are never frames of child forms: the operations on child forms
// find none and change nothing.
void noChildForms(TJVCLComponent& self, TJValueList* args, TJValue&) { self.CheckVCL(args, 0); }

const TJWrapperMethod formMethods[] = {
    Call<&TCustomForm::ShowModal>("showModal"),
    Call<&TCustomForm::Close>("close"),
    Call<&TCustomForm::CloseQuery>("closeQuery"),
    {"focusControl", 0, &focusControl, TJMethodResult::Self},
    Call<&TCustomForm::Hide>("hide"),
    Call<&TCustomForm::Print>("print"),
    Call<&TCustomForm::Release>("release"),
    {"sendCancelMode", 0, &sendCancelMode, TJMethodResult::Self},
    {"setFocusedControl", 0, &setFocusedControl},
    Call<&TCustomForm::Show>("show"),
    {"arrangeIcons", 0, &noChildForms, TJMethodResult::Self},
    {"cascade", 0, &noChildForms, TJMethodResult::Self},
    {"next", 0, &noChildForms, TJMethodResult::Self},
    {"previous", 0, &noChildForms, TJMethodResult::Self},
    {"tile", 0, &noChildForms, TJMethodResult::Self},
    {"loadFromFile", 0, &loadFromFile, TJMethodResult::Self},
    {"saveToFile", 0, &saveToFile, TJMethodResult::Self},
    {"loadFromText", 0, &loadFromText, TJMethodResult::Self},
    {"saveToText", 0, &saveToText},
    {"doDragDropFiles", 0, &doDragDropFiles, TJMethodResult::Self},
    {"doDragDropText", 0, &doDragDropText, TJMethodResult::Self},
};

const TPropInfo formWrapperProperties[] = {
    BoolProperty<&TJVCLBaseForm::Main, &TJVCLBaseForm::SetMain>("main"),
    Forward<&TCustomForm::Active>("Active"),
};

// A main form's close ends the event loop first, whatever the handler
// then makes of the close.
void formClose(void* data, TObject* sender, TCloseAction& action) {
    auto& form = *static_cast<TJVCLBaseForm*>(data);
    if (form.Main() && form.Runtime()) form.Runtime()->TerminateEventLoop();
    TJEventThunk<"OnClose", TCloseEvent::Signature>::Call(data, sender, action);
}

const TJHook formRows[] = {
    On<"OnActivate", TNotifyEvent>(),
    On<"OnCreate", TNotifyEvent>(),
    On<"OnDeactivate", TNotifyEvent>(),
    OnDestroy(),
    On<"OnDblClick", TNotifyEvent>(),
    On<"OnHide", TNotifyEvent>(),
    On<"OnPaint", TNotifyEvent>(),
    On<"OnResize", TNotifyEvent>(),
    On<"OnShow", TNotifyEvent>(),
    On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction),
    On<"OnCanResize", TCanResizeEvent>(),
    OnConstrainedResize(),
    On<"OnContextPopup", TContextPopupEvent>(),
    On<"OnDragDrop", TDragDropEvent>(),
    On<"OnDragOver", TDragOverEvent>(),
    On<"OnEndDock", TEndDragEvent>(),
    On<"OnGetSiteInfo", TGetSiteInfoEvent>(),
    On<"OnMouseWheel", TMouseWheelEvent>(),
    On<"OnMouseWheelDown", TMouseWheelUpDownEvent>(),
    On<"OnMouseWheelUp", TMouseWheelUpDownEvent>(),
    On<"OnUnDock", TUnDockEvent>(),
    OnWith<"OnClose", TCloseEvent>(&formClose),
    On<"OnCloseQuery", TCloseQueryEvent>(),
    On<"OnHelp", THelpEvent>(),
    Ignore<"OnDockDrop", TDragDropEvent>(),
    Ignore<"OnDockOver", TDragOverEvent>(),
    Ignore<"OnShortCut", TShortCutEvent>(),
    Ignore<"OnStartDock", TStartDragEvent>(),
};
const TJHookPart formHooks[] = {formRows, MouseHooks, KeyHooks};

}  // namespace

const TClassInfo TJVCLBaseForm::classInfo = makeClassInfo("TJVCLBaseForm", &TJVCLWinControl::classInfo,
                                                          formWrapperProperties, &scriptCreator<TJVCLBaseForm>);

void TJVCLBaseForm::Construct(TJValueList* args) {
    TJVCLWinControl::Construct(args);
    if (HasArgs(args) && args->At(0).ValueType == vtBool) Main_ = args->At(0).BooleanValue;
}

const TJMethodTable& TJVCLBaseForm::Methods() const {
    static const TJMethodTable table(formMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseForm::Hooks() const { return formHooks; }

TJVCLBaseForm::~TJVCLBaseForm() {
    if (DragSource_) DragSource_->Free();
}

TDragDropSource& TJVCLBaseForm::DragSource() {
    if (!DragSource_) DragSource_ = new TDragDropSource(nullptr);
    return *DragSource_;
}

void TJVCLBaseForm::LoadFormStream(TStream& stream) {
    CheckVCL(nullptr, 0);
    int64_t start = stream.position();
    char head[4];
    int32_t got = stream.Read(head, sizeof head);
    stream.setPosition(start);
    bool binary = isBinaryForm(std::string_view(head, static_cast<size_t>(std::max(got, 0))));
    try {
        ReadComponentTree(binary ? readBinaryForm(stream) : readTextForm(stream), WrappedComponent());
    } catch (...) {
        if (HasVCL()) RegisterChildren();  // what the stream made before failing stays, by name too
        throw;
    }
    RegisterChildren();
}

void TJVCLBaseForm::SaveFormStream(TStream& stream) {
    CheckVCL(nullptr, 0);
    writeTextForm(stream, WriteComponentTree(WrappedComponent()));
}
