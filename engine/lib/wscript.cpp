// The WScript object and its standard streams.
#include "engine/lib/wscript.h"

#include <windows.h>

#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/support/sourcefiles.h"
#include "engine/core/valuelist.h"

namespace {

const TPropInfo baseStreamProperties[] = {
    IntegerProperty<&TJWshBaseStreamObject::column>("Column"),
    IntegerProperty<&TJWshBaseStreamObject::line>("Line"),
};

const TPropInfo readStreamProperties[] = {
    BoolProperty<&TJWshReadStreamObject::atEndOfLine>("AtEndOfLine"),
};

const TPropInfo wscriptProperties[] = {
    ClassProperty<&TJWScriptObject::arguments>("Arguments", &TJArrayObject::classInfo),
    ClassProperty<&TJWScriptObject::stdIn>("StdIn", &TJWshReadStreamObject::classInfo),
    ClassProperty<&TJWScriptObject::stdOut>("StdOut", &TJWshWriteStreamObject::classInfo),
    ClassProperty<&TJWScriptObject::stdErr>("StdErr", &TJWshWriteStreamObject::classInfo),
    BoolProperty<&TJWScriptObject::interactive, &TJWScriptObject::setInteractive>("Interactive"),
    StringProperty<&TJWScriptObject::fullName>("FullName"),
    StringProperty<&TJWScriptObject::name>("Name"),
    StringProperty<&TJWScriptObject::path>("Path"),
    StringProperty<&TJWScriptObject::scriptFullName>("ScriptFullName"),
    StringProperty<&TJWScriptObject::scriptName>("ScriptName"),
    StringProperty<&TJWScriptObject::version>("Version"),
};

const AnsiString lineBreak = "\r\n";

template <class T>
T* ownedObject(TJRuntime* runtime) {
    T* object = createObject<T>(runtime, false, nullptr);
    object->IncRef();
    return object;
}

AnsiString programPath() {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return AnsiString(buffer, length);
}

}  // namespace

const TClassInfo TJWshBaseStreamObject::classInfo =
    makeClassInfo("TJWshBaseStreamObject", &TJObject::classInfo, baseStreamProperties);
const TClassInfo TJWshReadStreamObject::classInfo =
    makeClassInfo("TJWshReadStreamObject", &TJWshBaseStreamObject::classInfo, readStreamProperties);
const TClassInfo TJWshWriteStreamObject::classInfo =
    makeClassInfo("TJWshWriteStreamObject", &TJWshBaseStreamObject::classInfo);
const TClassInfo TJWScriptObject::classInfo = makeClassInfo("TJWScriptObject", &TJObject::classInfo, wscriptProperties);

// ==== Streams ====

TJWshBaseStreamObject::TJWshBaseStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("WshBaseStream");
}

const TJMethodEntry TJWshBaseStreamObject::methods_[1] = {
    {"Close", &nativeMethod<TJWshBaseStreamObject, &TJWshBaseStreamObject::nativeClose>},
};

void TJWshBaseStreamObject::RegisterMethods() {
    TJObject::RegisterMethods();
    RegisterMethodTable(methods_);
}

void TJWshBaseStreamObject::nativeClose(TJValueList*, TJValue&) {}

TJWshReadStreamObject::TJWshReadStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJWshBaseStreamObject(key, runtime, args) {
    SetClassName("WshReadStream");
}

const TJMethodEntry TJWshReadStreamObject::methods_[5] = {
    {"Read", &nativeMethod<TJWshReadStreamObject, &TJWshReadStreamObject::nativeRead>},
    {"ReadAll", &nativeMethod<TJWshReadStreamObject, &TJWshReadStreamObject::nativeReadAll>},
    {"ReadLine", &nativeMethod<TJWshReadStreamObject, &TJWshReadStreamObject::nativeReadLine>},
    {"Skip", &nativeMethod<TJWshReadStreamObject, &TJWshReadStreamObject::nativeSkip>},
    {"SkipLine", &nativeMethod<TJWshReadStreamObject, &TJWshReadStreamObject::nativeSkip>},
};

void TJWshReadStreamObject::RegisterMethods() {
    TJWshBaseStreamObject::RegisterMethods();
    RegisterMethodTable(methods_);
}

AnsiString TJWshReadStreamObject::read(bool line, int32_t count) {
    AnsiString text;
    bool success = false;
    Reader(this, text, line, count, success);
    if (!success) raiseScriptError("EFileError", "read error: STDIN");
    return text;
}

void TJWshReadStreamObject::nativeRead(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        nativeReadAll(args, result);
        return;
    }
    int32_t count = ValueToInteger(args->At(0));
    AnsiString text = read(false, count);
    if (count >= 0 && text.length() > static_cast<size_t>(count)) text = text.substr(0, static_cast<size_t>(count));
    MakeString(text, result);
}

void TJWshReadStreamObject::nativeReadAll(TJValueList*, TJValue& result) { MakeString(read(false, -1), result); }

void TJWshReadStreamObject::nativeReadLine(TJValueList*, TJValue& result) { MakeString(read(true, -1), result); }

void TJWshReadStreamObject::nativeSkip(TJValueList*, TJValue&) {}

TJWshWriteStreamObject::TJWshWriteStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJWshBaseStreamObject(key, runtime, args) {
    SetClassName("WshWriteStream");
}

const TJMethodEntry TJWshWriteStreamObject::methods_[3] = {
    {"Write", &nativeMethod<TJWshWriteStreamObject, &TJWshWriteStreamObject::nativeWrite>},
    {"WriteBlankLines", &nativeMethod<TJWshWriteStreamObject, &TJWshWriteStreamObject::nativeWriteBlankLines>},
    {"WriteLine", &nativeMethod<TJWshWriteStreamObject, &TJWshWriteStreamObject::nativeWriteLine>},
};

void TJWshWriteStreamObject::RegisterMethods() {
    TJWshBaseStreamObject::RegisterMethods();
    RegisterMethodTable(methods_);
}

void TJWshWriteStreamObject::write(const AnsiString& text) { Writer(this, text); }

void TJWshWriteStreamObject::nativeWrite(TJValueList* args, TJValue&) {
    if (!HasArgs(args)) return;
    AnsiString text = ValueToString(args->At(0));
    if (!text.empty()) write(text);
}

void TJWshWriteStreamObject::nativeWriteBlankLines(TJValueList* args, TJValue& result) {
    int32_t count = HasArgs(args) ? ValueToInteger(args->At(0)) : 0;
    if (count <= 0) {
        nativeWrite(args, result);
        return;
    }
    // One text of all the line breaks, held to the text limit: a huge count
    // is an error, not minutes of writing that nothing can stop.
    write(RepeatText(lineBreak, count));
}

void TJWshWriteStreamObject::nativeWriteLine(TJValueList* args, TJValue&) {
    write((HasArgs(args) ? ValueToString(args->At(0)) : AnsiString()) + lineBreak);
}

// ==== WScript ====

TJWScriptObject::TJWScriptObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args),
      Arguments_(ownedObject<TJArrayObject>(runtime)),
      StdIn_(ownedObject<TJWshReadStreamObject>(runtime)),
      StdOut_(ownedObject<TJWshWriteStreamObject>(runtime)),
      StdErr_(ownedObject<TJWshWriteStreamObject>(runtime)) {
    SetClassName("WScript");
}

TJWScriptObject::~TJWScriptObject() {
    StdErr_->DecRef();
    StdOut_->DecRef();
    StdIn_->DecRef();
    Arguments_->DecRef();
}

const TJMethodEntry TJWScriptObject::methods_[3] = {
    {"GetObject", &nativeMethod<TJWScriptObject, &TJWScriptObject::nativeGetObject>},
    {"Quit", &nativeMethod<TJWScriptObject, &TJWScriptObject::nativeQuit>},
    {"Sleep", &nativeMethod<TJWScriptObject, &TJWScriptObject::nativeSleep>},
};

void TJWScriptObject::RegisterMethods() {
    TJObject::RegisterMethods();
    RegisterMethodTable(methods_);
}

void TJWScriptObject::FillArguments(TJArrayObject* source) {
    Arguments_->Clear();
    if (source && source->GetLength() > 0) {
        Arguments_->Items().CopyFrom(&source->Items());
        return;
    }
    for (int i = 1; i < __argc; ++i) Arguments_->Items().AddString(__argv[i]);
}

AnsiString TJWScriptObject::fullName() const { return programPath(); }

AnsiString TJWScriptObject::name() const { return extractFileName(programPath()); }

AnsiString TJWScriptObject::path() const {
    AnsiString full = programPath();
    return full.substr(0, full.length() - extractFileName(full).length());
}

AnsiString TJWScriptObject::scriptFullName() const {
    if (!Runtime()) return AnsiString();
    AnsiString name = Runtime()->GetScriptFileName();
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return name;
    return AnsiString(buffer, length);
}

AnsiString TJWScriptObject::scriptName() const {
    return Runtime() ? extractFileName(Runtime()->GetScriptFileName()) : AnsiString();
}

void TJWScriptObject::nativeGetObject(TJValueList*, TJValue&) {}

void TJWScriptObject::nativeQuit(TJValueList* args, TJValue&) {
    throw EJExit(HasArgs(args) ? ValueToInteger(args->At(0)) : 0);
}

void TJWScriptObject::nativeSleep(TJValueList* args, TJValue&) {
    Sleep(static_cast<DWORD>(HasArgs(args) ? ValueToInteger(args->At(0)) : 0));
}
