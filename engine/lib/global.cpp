// The Global object: its published state and the global functions - output and
// input, evaluation, number tests and conversions, percent-coding, formatting,
// message boxes and dialogs, event-loop control and the engine's identity.
#include "engine/lib/global.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "engine/support/appmessage.h"
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

// The application window (owner of the message boxes); nil before the GUI names it.
HWND appWindow() { return JGlobalHooks.AppWindow ? JGlobalHooks.AppWindow() : nullptr; }

// The caption argument at index, the application's title when absent.
AnsiString captionAt(TJValueList* args, int index) {
    return ArgCount(args) > index ? ValueToString(args->At(index)) : GetAppTitle();
}

// A dialog's size: the larger of the value and 200 when positive, else 0 (the
// form's own).
int dialogExtent(int32_t value) { return value > 0 ? std::max(value, 200) : 0; }

// One text function of the first argument; undefined without arguments.
template <AnsiString (*Convert)(std::string_view)>
void convertText(TJValueList* args, TJValue& result) {
    if (HasArgs(args)) MakeString(Convert(ValueToString(args->At(0)).view()), result);
}

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

int32_t TJGlobalObject::applicationHandle() const {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(appWindow()));
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

// The surface of the Global object, after the built-in methods of every object.
const TJMethodEntry TJGlobalObject::globalMethods_[41] = {
    {"escape", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEscape>},
    {"unescape", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeUnescape>},
    {"eval", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEval>},
    {"isFinite", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeIsFinite>},
    {"isNaN", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeIsNaN>},
    {"parseFloat", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeParseFloat>},
    {"parseInt", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeParseInt>},
    {"print", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrint>},
    {"write", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrint>},
    {"println", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrintln>},
    {"writeln", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrintln>},
    {"alert", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeAlert>},
    {"prompt", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrompt>},
    {"confirm", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeConfirm>},
    {"textArea", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeTextArea>},
    {"exit", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeExit>},
    {"msgBox", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeMsgBox>},
    {"scriptEngine", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeScriptEngine>},
    {"scriptEngineBuildVersion", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeBuildVersion>},
    {"scriptEngineMajorVersion", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeMajorVersion>},
    {"scriptEngineMinorVersion", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeMinorVersion>},
    {"read", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeRead>},
    {"readln", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeReadln>},
    {"scriptEngineVersion", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEngineVersion>},
    {"isConsole", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeIsConsole>},
    {"decodeURI", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeDecodeURI>},
    {"decodeURIComponent", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeDecodeURIComponent>},
    {"encodeURI", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEncodeURI>},
    {"encodeURIComponent", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEncodeURIComponent>},
    {"format", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeFormat>},
    {"sprintf", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeFormat>},
    {"formatFloat", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeFormatFloat>},
    {"eventLoop", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeEventLoop>},
    {"terminate", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeTerminate>},
    {"printf", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrintf>},
    {"printfln", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativePrintfln>},
    {"doEvents", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeDoEvents>},
    {"sleep", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeSleep>},
    {"isNull", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeIsNull>},
    {"isUndefined", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeIsUndefined>},
    {"nameOf", &nativeMethod<TJGlobalObject, &TJGlobalObject::nativeNameOf>},
};

void TJGlobalObject::RegisterMethods() {
    TJObject::RegisterMethods();
    RegisterMethodTable(globalMethods_);
}

void TJGlobalObject::returnSelf(TJValue& result) { MakeObject(this, result); }

// ---- Texts and numbers ----

void TJGlobalObject::nativeEscape(TJValueList* args, TJValue& result) { convertText<EscapeText>(args, result); }
void TJGlobalObject::nativeUnescape(TJValueList* args, TJValue& result) { convertText<UnescapeText>(args, result); }
void TJGlobalObject::nativeDecodeURI(TJValueList* args, TJValue& result) { convertText<DecodeURI>(args, result); }
void TJGlobalObject::nativeDecodeURIComponent(TJValueList* args, TJValue& result) {
    convertText<DecodeURIComponent>(args, result);
}
void TJGlobalObject::nativeEncodeURI(TJValueList* args, TJValue& result) { convertText<EncodeURI>(args, result); }
void TJGlobalObject::nativeEncodeURIComponent(TJValueList* args, TJValue& result) {
    convertText<EncodeURIComponent>(args, result);
}

void TJGlobalObject::nativeEval(TJValueList* args, TJValue& result) {
    if (HasArgs(args) && Runtime()) Runtime()->EvaluateText(ValueToString(args->At(0)), nullptr, result);
}

void TJGlobalObject::nativeIsFinite(TJValueList* args, TJValue& result) {
    MakeBool(IsNumericValue(argAt(args, 0)), result);
}

void TJGlobalObject::nativeIsNaN(TJValueList* args, TJValue& result) {
    if (HasArgs(args)) MakeBool(IsNaNValue(&args->At(0)), result);
}

void TJGlobalObject::nativeParseFloat(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    const TJValue& value = args->At(0);
    if (IsNumericValue(value)) MakeDouble(ValueToDouble(value), result);
    else MakeNaN(result);
}

void TJGlobalObject::nativeParseInt(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    const TJValue& value = args->At(0);
    if (IsNumericValue(value)) MakeInteger(ValueToInteger(value), result);
    else MakeNaN(result);
}

void TJGlobalObject::nativeIsNull(TJValueList* args, TJValue& result) {
    MakeBool(IsNullValue(argAt(args, 0)), result);
}

void TJGlobalObject::nativeIsUndefined(TJValueList* args, TJValue& result) {
    MakeBool(IsUndefinedValue(argAt(args, 0)), result);
}

void TJGlobalObject::nativeNameOf(TJValueList* args, TJValue& result) {
    const TJValue* value = argAt(args, 0);
    if (IsObjectValue(value)) MakeString(value->ObjValue->ScriptClassName(), result);
    else MakeNull(result);
}

// ---- Output and input ----

// The texts of all arguments in one write; the result is the last argument.
void TJGlobalObject::nativePrint(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) text += ValueToString(args->At(i));
    Print(text);
    result = args->At(args->Count() - 1);
}

void TJGlobalObject::nativePrintln(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) text += ValueToString(args->At(i));
    PrintLine(text);
    result = args->At(args->Count() - 1);
}

void TJGlobalObject::nativeRead(TJValueList* args, TJValue& result) {
    int32_t count = integerAt(args, 0, -1);
    AnsiString text = Read(count, false);
    MakeString(count >= 0 ? MbcsLeft(text.view(), count) : text, result);
}

void TJGlobalObject::nativeReadln(TJValueList*, TJValue& result) { MakeString(Read(-1, true), result); }

void TJGlobalObject::nativeFormat(TJValueList* args, TJValue& result) {
    if (HasArgs(args)) MakeString(FormatValues(*args), result);
}

void TJGlobalObject::nativeFormatFloat(TJValueList* args, TJValue& result) {
    if (!HasTwoArgs(args)) return;
    AnsiString format = ValueToString(args->At(0));
    try {
        MakeString(formatFloat(format.view(), ValueToDouble(args->At(1))), result);
    } catch (const EConvertError& e) {
        raiseScriptError("EConvertError", e.message());
    }
}

void TJGlobalObject::nativePrintf(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString text = FormatValues(*args);
    Print(text);
    MakeString(text, result);
}

void TJGlobalObject::nativePrintfln(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString text = FormatValues(*args);
    PrintLine(text);
    MakeString(text, result);
}

// ---- Message boxes and dialogs ----

void TJGlobalObject::nativeAlert(TJValueList* args, TJValue& result) {
    AppMessageBox(appWindow(), textAt(args, 0), captionAt(args, 1), MB_ICONEXCLAMATION);
    returnSelf(result);
}

void TJGlobalObject::nativeConfirm(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int answer = AppMessageBox(appWindow(), textAt(args, 0), captionAt(args, 1), MB_OKCANCEL | MB_ICONQUESTION);
    MakeBool(answer != IDCANCEL, result);
}

void TJGlobalObject::nativeMsgBox(TJValueList* args, TJValue& result) {
    UINT flags = static_cast<UINT>(integerAt(args, 1, 0));
    MakeInteger(AppMessageBox(appWindow(), textAt(args, 0), captionAt(args, 2), flags), result);
}

// Without the dialog module the dialogs end as if cancelled.
void TJGlobalObject::nativePrompt(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString caption = textAt(args, 3);
    if (caption.empty()) caption = GetAppTitle();
    AnsiString text;
    bool ok = JGlobalHooks.PromptDialog &&
              JGlobalHooks.PromptDialog(textAt(args, 0), textAt(args, 1), ValueToChar(argAt(args, 2)), caption,
                                        dialogExtent(integerAt(args, 4, 0)), text);
    if (ok) MakeString(text, result);
    else MakeNull(result);
}

void TJGlobalObject::nativeTextArea(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
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

void TJGlobalObject::nativeExit(TJValueList* args, TJValue&) { throw EJExit(integerAt(args, 0, 0)); }

void TJGlobalObject::nativeEventLoop(TJValueList*, TJValue&) { StartEventLoop(); }

void TJGlobalObject::nativeTerminate(TJValueList*, TJValue&) { Terminate(); }

void TJGlobalObject::nativeDoEvents(TJValueList*, TJValue& result) {
    MakeBool(Runtime() && Runtime()->DoEventsStep(), result);
}

// Blocks the thread; no messages are processed meanwhile.
void TJGlobalObject::nativeSleep(TJValueList* args, TJValue& result) {
    Sleep(static_cast<DWORD>(std::max<int32_t>(integerAt(args, 0, 0), 0)));
    returnSelf(result);
}

void TJGlobalObject::nativeScriptEngine(TJValueList*, TJValue& result) { MakeString("DAZiduva", result); }
void TJGlobalObject::nativeBuildVersion(TJValueList*, TJValue& result) { MakeInteger(42, result); }
void TJGlobalObject::nativeMajorVersion(TJValueList*, TJValue& result) { MakeInteger(0, result); }
void TJGlobalObject::nativeMinorVersion(TJValueList*, TJValue& result) { MakeDouble(3.9, result); }
void TJGlobalObject::nativeEngineVersion(TJValueList*, TJValue& result) { MakeString("0.3.9", result); }
void TJGlobalObject::nativeIsConsole(TJValueList*, TJValue& result) { MakeBool(runsAsConsole(), result); }
