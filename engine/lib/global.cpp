// The Global object: its published state and the global functions - output and
// input, evaluation, number tests and conversions, percent-coding, formatting,
// message boxes and dialogs, event-loop control and the engine's identity.
#include "engine/lib/global.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "engine/lib/appmessage.h"
#include "engine/core/array.h"
#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/support/mbstring.h"
#include "engine/support/percentcode.h"
#include "engine/core/valuelist.h"
#include "engine/core/variant.h"
#include "rtl/format.h"

namespace {

const TPropInfo globalProperties[] = {
    ClassProperty<&TJGlobalObject::Arguments>("arguments", &TJArrayObject::classInfo),
    IntegerProperty<&TJGlobalObject::applicationHandle>("applicationHandle"),
    IntegerProperty<&TJGlobalObject::mainFormHandle>("mainFormHandle"),
    BoolProperty<&TJGlobalObject::Terminated>("terminated"),
    StringProperty<&TJGlobalObject::platform>("platform"),
    ClassProperty<&TJGlobalObject::Finalizer>("finalizer", &TJArrayObject::classInfo),
};

const char* const lineBreak = "\r\n";

const TJValue* argAt(TJValueList* args, int index) { return ArgCount(args) > index ? &args->At(index) : nullptr; }
AnsiString textAt(TJValueList* args, int index) { return ArgCount(args) > index ? ValueToString(args->At(index)) : ""; }
int32_t integerAt(TJValueList* args, int index, int32_t absent) {
    return ArgCount(args) > index ? ValueToInteger(args->At(index)) : absent;
}

// The caption argument at index, the application's title when absent.
AnsiString captionAt(TJValueList* args, int index) {
    return ArgCount(args) > index ? ValueToString(args->At(index)) : GetAppTitle();
}

// A dialog's size: the larger of the value and 200 when positive, else 0 (the
// form's own).
int dialogExtent(int32_t value) { return value > 0 ? std::max(value, 200) : 0; }

// The image header of the running program says whether it is a console program.
bool runsAsConsole() {
    auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return headers->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

void writeToRuntime(void* runtime, TObject*, const AnsiString& text) { static_cast<TJRuntime*>(runtime)->WriteStdout(text); }

void readFromRuntime(void* runtime, TObject*, AnsiString& text, bool line, int32_t count, bool& success) {
    success = static_cast<TJRuntime*>(runtime)->ReadStdin(text, count, line);
}

}  // namespace

const TClassInfo TJGlobalObject::classInfo = makeClassInfo("TJGlobalObject", &TJObject::classInfo, globalProperties,
                                                           &scriptCreator<TJGlobalObject>);

AnsiString FormatValues(const TJValueList& args) {
    std::vector<FormatArg> values;
    values.reserve(static_cast<size_t>(args.Count()));
    for (int i = 1; i < args.Count(); ++i) values.push_back(ValueToVarRec(args.At(i)));
    AnsiString format = ValueToString(args.At(0));
    try {
        return formatText(format.view(), values, MaxStringSize);
    } catch (const EConvertError& e) {
        raiseScriptError("EConvertError", e.message());
    } catch (const std::length_error&) {
        RaiseStringTooLong();
    }
}

void RegisterGlobalClass(TJRuntime* runtime) { runtime->RegisterScriptClass("Global", &TJGlobalObject::classInfo); }

// ==== Construction and state ====

// The two arrays are the object's own: made unregistered, so clearing the
// engine's objects leaves them alone.
TJGlobalObject::TJGlobalObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args),
      Arguments_(createObject<TJArrayObject>(runtime, false, nullptr)),
      Finalizer_(createObject<TJArrayObject>(runtime, false, nullptr)) {
    SetClassName("Global");
    Arguments_->IncRef();
    Finalizer_->IncRef();
    if (runtime) {
        OutputHook_ = TJOutputHook(writeToRuntime, runtime);
        InputHook_ = TJInputHook(readFromRuntime, runtime);
    }
}

TJGlobalObject::~TJGlobalObject() {
    Finalizer_->DecRef();
    Arguments_->DecRef();
}

// Window handles have 32 significant bits in both programs (sign-extended in
// the 64-bit one, as an integer given for an address is), so an integer
// holds them whole.
int32_t TJGlobalObject::applicationHandle() const {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetAppWindow()));
}

int32_t TJGlobalObject::mainFormHandle() const {
    HWND form = JGlobalHooks.MainFormHandle ? JGlobalHooks.MainFormHandle() : nullptr;
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(form));
}

AnsiString TJGlobalObject::platform() const {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return "unknown";
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return "win32s";
    case VER_PLATFORM_WIN32_WINDOWS: return "windows";
    case VER_PLATFORM_WIN32_NT: return "nt";
    default: return "unknown";
    }
}

// ==== Output and input ====

void TJGlobalObject::Print(const AnsiString& text) { OutputHook_(this, text); }

void TJGlobalObject::PrintLine(const AnsiString& text) { Print(text + lineBreak); }

AnsiString TJGlobalObject::Read(int32_t count, bool line) {
    AnsiString text;
    bool success = false;
    InputHook_(this, text, line, count, success);
    if (!success) raiseScriptError("EFileError", "read error: STDIN");
    return text;
}

// ==== The functions ====

namespace {

// ---- Texts and numbers ----

// One text function of the first argument (escape, decodeURI, ...).
template <AnsiString (*Convert)(std::string_view)>
void convertText(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeString(Convert(ValueToString(args->At(0)).view()), result);
}

void eval(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    if (self.Runtime()) self.Runtime()->EvaluateText(ValueToString(args->At(0)), nullptr, result);
}

void isFinite(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeBool(IsNumericValue(argAt(args, 0)), result);
}

void isNaN(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeBool(IsNaNValue(&args->At(0)), result);
}

void parseFloat(TJGlobalObject&, TJValueList* args, TJValue& result) {
    const TJValue& value = args->At(0);
    if (IsNumericValue(value)) MakeDouble(ValueToDouble(value), result);
    else MakeNaN(result);
}

void parseInt(TJGlobalObject&, TJValueList* args, TJValue& result) {
    const TJValue& value = args->At(0);
    if (IsNumericValue(value)) MakeInteger(ValueToInteger(value), result);
    else MakeNaN(result);
}

void isNull(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeBool(IsNullValue(argAt(args, 0)), result);
}

void isUndefined(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeBool(IsUndefinedValue(argAt(args, 0)), result);
}

void nameOf(TJGlobalObject&, TJValueList* args, TJValue& result) {
    const TJValue* value = argAt(args, 0);
    if (IsObjectValue(value)) MakeString(value->ObjValue->ScriptClassName(), result);
    else MakeNull(result);
}

// ---- Output and input ----

// The texts of all arguments in one write; the result is the last argument.
void print(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) text += ValueToString(args->At(i));
    self.Print(text);
    result = args->At(args->Count() - 1);
}

void println(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) text += ValueToString(args->At(i));
    self.PrintLine(text);
    result = args->At(args->Count() - 1);
}

void read(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    int32_t count = integerAt(args, 0, -1);
    AnsiString text = self.Read(count, false);
    MakeString(count >= 0 ? MbcsLeft(text, count) : text, result);
}

void readln(TJGlobalObject& self, TJValueList*, TJValue& result) { MakeString(self.Read(-1, true), result); }

void format(TJGlobalObject&, TJValueList* args, TJValue& result) {
    MakeString(FormatValues(*args), result);
}

void formatFloatText(TJGlobalObject&, TJValueList* args, TJValue& result) {
    AnsiString format = ValueToString(args->At(0));
    try {
        MakeString(formatFloat(format.view(), ValueToDouble(args->At(1))), result);
    } catch (const EConvertError& e) {
        raiseScriptError("EConvertError", e.message());
    }
}

void printFormatted(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    AnsiString text = FormatValues(*args);
    self.Print(text);
    MakeString(text, result);
}

void printFormattedLine(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    AnsiString text = FormatValues(*args);
    self.PrintLine(text);
    MakeString(text, result);
}

// ---- Message boxes and dialogs ----

void alert(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    AppMessageBox(GetAppWindow(), textAt(args, 0), captionAt(args, 1), MB_ICONEXCLAMATION);
    MakeObject(&self, result);
}

void confirm(TJGlobalObject&, TJValueList* args, TJValue& result) {
    int answer = AppMessageBox(GetAppWindow(), textAt(args, 0), captionAt(args, 1), MB_OKCANCEL | MB_ICONQUESTION);
    MakeBool(answer != IDCANCEL, result);
}

void msgBox(TJGlobalObject&, TJValueList* args, TJValue& result) {
    UINT flags = static_cast<UINT>(integerAt(args, 1, 0));
    MakeInteger(AppMessageBox(GetAppWindow(), textAt(args, 0), captionAt(args, 2), flags), result);
}

// Without the dialog module the dialogs end as if cancelled.
void prompt(TJGlobalObject&, TJValueList* args, TJValue& result) {
    AnsiString caption = textAt(args, 3);
    if (caption.empty()) caption = GetAppTitle();
    AnsiString text;
    bool ok = JGlobalHooks.PromptDialog &&
              JGlobalHooks.PromptDialog(textAt(args, 0), textAt(args, 1), ValueToChar(argAt(args, 2)), caption,
                                        dialogExtent(integerAt(args, 4, 0)), text);
    if (ok) MakeString(text, result);
    else MakeNull(result);
}

void textArea(TJGlobalObject&, TJValueList* args, TJValue& result) {
    AnsiString caption = textAt(args, 2);
    if (caption.empty()) caption = GetAppTitle();
    AnsiString text;
    bool ok = JGlobalHooks.TextAreaDialog &&
              JGlobalHooks.TextAreaDialog(textAt(args, 0), textAt(args, 1), caption,
                                          dialogExtent(integerAt(args, 3, 0)), dialogExtent(integerAt(args, 4, 0)),
                                          text);
    if (ok) MakeString(text, result);
    else MakeNull(result);
}

// ---- The run and the engine ----

void exitRun(TJGlobalObject&, TJValueList* args, TJValue&) { throw EJExit(integerAt(args, 0, 0)); }

void eventLoop(TJGlobalObject& self, TJValueList*, TJValue&) { self.StartEventLoop(); }

void terminate(TJGlobalObject& self, TJValueList*, TJValue&) { self.Terminate(); }

void doEvents(TJGlobalObject& self, TJValueList*, TJValue& result) {
    MakeBool(self.Runtime() && self.Runtime()->DoEventsStep(), result);
}

// Blocks the thread; no messages are processed meanwhile.
void sleepFor(TJGlobalObject& self, TJValueList* args, TJValue& result) {
    Sleep(static_cast<DWORD>(std::max<int32_t>(integerAt(args, 0, 0), 0)));
    MakeObject(&self, result);
}

void scriptEngine(TJGlobalObject&, TJValueList*, TJValue& result) { MakeString("DAZiduva", result); }
void buildVersion(TJGlobalObject&, TJValueList*, TJValue& result) { MakeInteger(42, result); }
void majorVersion(TJGlobalObject&, TJValueList*, TJValue& result) { MakeInteger(0, result); }
void minorVersion(TJGlobalObject&, TJValueList*, TJValue& result) { MakeDouble(3.9, result); }
void engineVersion(TJGlobalObject&, TJValueList*, TJValue& result) { MakeString("0.3.9", result); }
void isConsole(TJGlobalObject&, TJValueList*, TJValue& result) { MakeBool(runsAsConsole(), result); }

const TJMethod<TJGlobalObject> globalMethods[] = {
    {"escape", 1, &convertText<EscapeText>},
    {"unescape", 1, &convertText<UnescapeText>},
    {"eval", 1, &eval},
    {"isFinite", 0, &isFinite},
    {"isNaN", 1, &isNaN},
    {"parseFloat", 1, &parseFloat},
    {"parseInt", 1, &parseInt},
    {"print", 1, &print},
    {"write", 1, &print},
    {"println", 1, &println},
    {"writeln", 1, &println},
    {"alert", 0, &alert},
    {"prompt", 1, &prompt},
    {"confirm", 1, &confirm},
    {"textArea", 1, &textArea},
    {"exit", 0, &exitRun},
    {"msgBox", 0, &msgBox},
    {"scriptEngine", 0, &scriptEngine},
    {"scriptEngineBuildVersion", 0, &buildVersion},
    {"scriptEngineMajorVersion", 0, &majorVersion},
    {"scriptEngineMinorVersion", 0, &minorVersion},
    {"read", 0, &read},
    {"readln", 0, &readln},
    {"scriptEngineVersion", 0, &engineVersion},
    {"isConsole", 0, &isConsole},
    {"decodeURI", 1, &convertText<DecodeURI>},
    {"decodeURIComponent", 1, &convertText<DecodeURIComponent>},
    {"encodeURI", 1, &convertText<EncodeURI>},
    {"encodeURIComponent", 1, &convertText<EncodeURIComponent>},
    {"format", 1, &format},
    {"sprintf", 1, &format},
    {"formatFloat", 2, &formatFloatText},
    {"eventLoop", 0, &eventLoop},
    {"terminate", 0, &terminate},
    {"printf", 1, &printFormatted},
    {"printfln", 1, &printFormattedLine},
    {"doEvents", 0, &doEvents},
    {"sleep", 0, &sleepFor},
    {"isNull", 0, &isNull},
    {"isUndefined", 0, &isUndefined},
    {"nameOf", 0, &nameOf},
};

}  // namespace

const TJMethodTable& TJGlobalObject::Methods() const {
    static const TJMethodTable table(globalMethods, TJObject::Methods());
    return table;
}
