// The system objects that need no desktop: Win32, CRC, Base64 and Mutex.
#include "stdlib/sysobjects.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "engine/support/base64.h"
#include "engine/support/crc.h"
#include "engine/support/textcodes.h"

namespace {

const TPropInfo crcProperties[] = {
    IntegerProperty<&TJCRCObject::crc16Property>("CRC16"),
    IntegerProperty<&TJCRCObject::crc32Property>("CRC32"),
};

const TPropInfo mutexProperties[] = {
    IntegerProperty<&TJMutexObject::timeoutProperty, &TJMutexObject::setTimeoutProperty>("timeout"),
    BoolProperty<&TJMutexObject::existedProperty>("existed"),
};

AnsiString textAt(TJValueList* args, int index) { return ArgCount(args) > index ? ValueToString(args->At(index)) : ""; }

// The first argument's text; the error when there is none.
AnsiString requiredText(TJValueList* args, const char* errorName, const char* message) {
    if (!HasArgs(args)) raiseScriptError(errorName, message);
    return ValueToString(args->At(0));
}

}  // namespace

const TClassInfo TJWin32Object::classInfo =
    makeClassInfo("TJWin32Object", &TJObject::classInfo, &scriptCreator<TJWin32Object>);
const TClassInfo TJCRCObject::classInfo =
    makeClassInfo("TJCRCObject", &TJObject::classInfo, crcProperties, &scriptCreator<TJCRCObject>);
const TClassInfo TJBase64Object::classInfo =
    makeClassInfo("TJBase64Object", &TJObject::classInfo, &scriptCreator<TJBase64Object>);
const TClassInfo TJMutexObject::classInfo =
    makeClassInfo("TJMutexObject", &TJObject::classInfo, mutexProperties, &scriptCreator<TJMutexObject>);

// ==== Win32 ====

TJWin32Object::TJWin32Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Win32");
}

namespace {

void sleep(TJWin32Object&, TJValueList* args, TJValue&) {
    int32_t milliseconds = HasArgs(args) ? ValueToInteger(args->At(0)) : 0;
    Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

void winExec(TJWin32Object&, TJValueList* args, TJValue& result) {
    AnsiString commandLine = requiredText(args, "EWin32Error", "winExec error");
    MakeBool(WinExec(commandLine.c_str(), SW_SHOWNORMAL) > 31, result);
}

// An empty verb, parameter list or folder is the shell's default.
void shellExecute(TJWin32Object&, TJValueList* args, TJValue& result) {
    if (!HasTwoArgs(args)) raiseScriptError("EWin32Error", "shellExecute error");
    AnsiString verb = textAt(args, 0), file = textAt(args, 1), parameters = textAt(args, 2), folder = textAt(args, 3);
    HINSTANCE code = ShellExecuteA(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                   parameters.empty() ? nullptr : parameters.c_str(),
                                   folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    MakeBool(reinterpret_cast<INT_PTR>(code) > 31, result);
}

void getTickCount(TJWin32Object&, TJValueList*, TJValue& result) {
    MakeInteger(static_cast<int32_t>(GetTickCount()), result);
}

const TJMethod<TJWin32Object> win32Methods[] = {
    {"sleep", 0, &sleep, TJMethodResult::Self},
    {"winExec", 0, &winExec},
    {"shellExecute", 0, &shellExecute},
    {"getTickCount", 0, &getTickCount},
};

}  // namespace

const TJMethodTable& TJWin32Object::Methods() const {
    static const TJMethodTable table(win32Methods, TJObject::Methods());
    return table;
}

// ==== CRC ====

TJCRCObject::TJCRCObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("CRC");
}

namespace {

void calc(TJCRCObject& self, TJValueList* args, TJValue&) {
    CalcStringCRC(self.Crc16, self.Crc32, requiredText(args, "ECRCError", "calc error"));
}

void calcFile(TJCRCObject& self, TJValueList* args, TJValue&) {
    if (!CalcFileCRC(self.Crc16, self.Crc32, requiredText(args, "ECRCError", "calcFile error")))
        raiseScriptError("ECRCError", "calcFile error");
}

const TJMethod<TJCRCObject> crcMethods[] = {
    {"calc", 0, &calc, TJMethodResult::Self},
    {"calcFile", 0, &calcFile, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJCRCObject::Methods() const {
    static const TJMethodTable table(crcMethods, TJObject::Methods());
    return table;
}

// ==== Base64 ====

TJBase64Object::TJBase64Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Base64");
}

namespace {

AnsiString decodeHeaderText(const AnsiString& text) { return JisToSjis(DecodeMimeHeader(text)); }

// A coding method: the conversion of the first argument, or the error.
template <AnsiString (*Convert)(const AnsiString&)>
void coding(TJBase64Object&, TJValueList* args, TJValue& result, const char* message) {
    MakeString(Convert(requiredText(args, "EBase64Error", message)), result);
}

void encode(TJBase64Object& self, TJValueList* args, TJValue& result) {
    coding<&Base64Encode>(self, args, result, "encode error");
}
void decode(TJBase64Object& self, TJValueList* args, TJValue& result) {
    coding<&Base64Decode>(self, args, result, "decode error");
}
void encodeHeader(TJBase64Object& self, TJValueList* args, TJValue& result) {
    coding<&EncodeMimeHeader>(self, args, result, "encodeHeader error");
}
void decodeHeader(TJBase64Object& self, TJValueList* args, TJValue& result) {
    coding<&decodeHeaderText>(self, args, result, "decodeHeader error");
}

const TJMethod<TJBase64Object> base64Methods[] = {
    {"encode", 0, &encode},
    {"decode", 0, &decode},
    {"encodeHeader", 0, &encodeHeader},
    {"decodeHeader", 0, &decodeHeader},
};

}  // namespace

const TJMethodTable& TJBase64Object::Methods() const {
    static const TJMethodTable table(base64Methods, TJObject::Methods());
    return table;
}

// ==== Mutex ====

TJMutexObject::TJMutexObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Mutex_(std::make_unique<TMutex>(textAt(args, 0))) {
    SetClassName("Mutex");
}

namespace {

void lock(TJMutexObject& self, TJValueList*, TJValue&) { self.Mutex().Lock(); }
void unlock(TJMutexObject& self, TJValueList*, TJValue&) { self.Mutex().Unlock(); }
void tryLock(TJMutexObject& self, TJValueList*, TJValue& result) { MakeBool(self.Mutex().TryLock(), result); }
void exists(TJMutexObject& self, TJValueList*, TJValue& result) { MakeBool(self.existedProperty(), result); }

const TJMethod<TJMutexObject> mutexMethods[] = {
    {"lock", 0, &lock, TJMethodResult::Self},
    {"unlock", 0, &unlock, TJMethodResult::Self},
    {"tryLock", 0, &tryLock},
    {"exists", 0, &exists},
};

}  // namespace

const TJMethodTable& TJMutexObject::Methods() const {
    static const TJMethodTable table(mutexMethods, TJObject::Methods());
    return table;
}
