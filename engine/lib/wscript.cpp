// The WScript object and its standard streams.
#include "engine/lib/wscript.h"

#include <windows.h>

#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/core/jhash.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/lib/appmessage.h"
#include "engine/support/mbstring.h"
#include "engine/support/regexp.h"
#include "engine/support/sourcefiles.h"

namespace {

const TPropInfo baseStreamProperties[] = {
    IntegerProperty<&TJWshBaseStreamObject::column>("Column"),
    IntegerProperty<&TJWshBaseStreamObject::line>("Line"),
};

const TPropInfo readStreamProperties[] = {
    BoolProperty<&TJWshReadStreamObject::atEndOfLine>("AtEndOfLine"),
};

const TPropInfo namedProperties[] = {
    IntegerProperty<&TJWshNamedObject::count>("Length"),
    IntegerProperty<&TJWshNamedObject::count>("Count"),
};

const TPropInfo unnamedProperties[] = {
    IntegerProperty<&TJWshUnnamedObject::lengthProperty>("Count"),
};

const TPropInfo argumentsProperties[] = {
    IntegerProperty<&TJWshArgumentsObject::lengthProperty>("Count"),
    ClassProperty<&TJWshArgumentsObject::named>("Named", &TJWshNamedObject::classInfo),
    ClassProperty<&TJWshArgumentsObject::unnamed>("Unnamed", &TJWshUnnamedObject::classInfo),
};

const TPropInfo wscriptProperties[] = {
    ClassProperty<&TJWScriptObject::arguments>("Arguments", &TJWshArgumentsObject::classInfo),
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
const TClassInfo TJWshNamedObject::classInfo =
    makeClassInfo("TJWshNamedObject", &TJObject::classInfo, namedProperties);
const TClassInfo TJWshUnnamedObject::classInfo =
    makeClassInfo("TJWshUnnamedObject", &TJArrayObject::classInfo, unnamedProperties);
const TClassInfo TJWshArgumentsObject::classInfo =
    makeClassInfo("TJWshArgumentsObject", &TJArrayObject::classInfo, argumentsProperties);
const TClassInfo TJWScriptObject::classInfo = makeClassInfo("TJWScriptObject", &TJObject::classInfo, wscriptProperties);

// ==== Streams ====

TJWshBaseStreamObject::TJWshBaseStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("WshBaseStream");
}

TJWshReadStreamObject::TJWshReadStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJWshBaseStreamObject(key, runtime, args) {
    SetClassName("WshReadStream");
}

AnsiString TJWshReadStreamObject::Read(bool line, int32_t count) {
    AnsiString text;
    bool success = false;
    Reader(this, text, line, count, success);
    if (!success) raiseScriptError("EFileError", "read error: STDIN");
    return text;
}

TJWshWriteStreamObject::TJWshWriteStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJWshBaseStreamObject(key, runtime, args) {
    SetClassName("WshWriteStream");
}

// ==== Surfaces ====

namespace {

void close(TJWshBaseStreamObject&, TJValueList*, TJValue&) {}

const TJMethod<TJWshBaseStreamObject> baseStreamMethods[] = {
    {"Close", 0, &close},
};

void readAll(TJWshReadStreamObject& self, TJValueList*, TJValue& result) { MakeString(self.Read(false, -1), result); }

void read(TJWshReadStreamObject& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        readAll(self, args, result);
        return;
    }
    int32_t count = ValueToInteger(args->At(0));
    AnsiString text = self.Read(false, count);
    if (count >= 0 && text.length() > static_cast<size_t>(count)) text = text.substr(0, static_cast<size_t>(count));
    MakeString(text, result);
}

void readLine(TJWshReadStreamObject& self, TJValueList*, TJValue& result) { MakeString(self.Read(true, -1), result); }

void skip(TJWshReadStreamObject&, TJValueList*, TJValue&) {}

const TJMethod<TJWshReadStreamObject> readStreamMethods[] = {
    {"Read", 0, &read},
    {"ReadAll", 0, &readAll},
    {"ReadLine", 0, &readLine},
    {"Skip", 0, &skip},
    {"SkipLine", 0, &skip},
};

void write(TJWshWriteStreamObject& self, TJValueList* args, TJValue&) {
    AnsiString text = ValueToString(args->At(0));
    if (!text.empty()) self.Write(text);
}

// A count of none or below one writes the argument itself, as Write.
void writeBlankLines(TJWshWriteStreamObject& self, TJValueList* args, TJValue& result) {
    int32_t count = HasArgs(args) ? ValueToInteger(args->At(0)) : 0;
    if (count <= 0) {
        if (HasArgs(args)) write(self, args, result);
        return;
    }
    // One text of all the line breaks, held to the text limit: a huge count
    // is an error, not minutes of writing that nothing can stop.
    self.Write(RepeatText(lineBreak, count));
}

void writeLine(TJWshWriteStreamObject& self, TJValueList* args, TJValue&) {
    self.Write((HasArgs(args) ? ValueToString(args->At(0)) : AnsiString()) + lineBreak);
}

const TJMethod<TJWshWriteStreamObject> writeStreamMethods[] = {
    {"Write", 1, &write},
    {"WriteBlankLines", 0, &writeBlankLines},
    {"WriteLine", 0, &writeLine},
};

// Item(i) of the argument arrays: the index read, null without an index.
void arrayItem(TJArrayObject& self, TJValueList* args, TJValue& result) {
    if (HasArgs(args)) self.GetValue(ValueToString(args->At(0)), true, result);
    else MakeNull(result);
}

void unnamedItem(TJWshUnnamedObject& self, TJValueList* args, TJValue& result) { arrayItem(self, args, result); }
void argumentsItem(TJWshArgumentsObject& self, TJValueList* args, TJValue& result) { arrayItem(self, args, result); }
void showUsage(TJWshArgumentsObject&, TJValueList*, TJValue&) {}

const TJMethod<TJWshUnnamedObject> unnamedMethods[] = {
    {"Item", 0, &unnamedItem},
};

const TJMethod<TJWshArgumentsObject> argumentsMethods[] = {
    {"Item", 0, &argumentsItem},
    {"ShowUsage", 0, &showUsage},
};

// A member or published property of the name (the methods count).
void namedExists(TJWshNamedObject& self, TJValueList* args, TJValue& result) {
    AnsiString name = HasArgs(args) ? ValueToString(args->At(0)) : AnsiString();
    MakeBool(HasArgs(args) && (self.HasKey(name) || self.HasProperty(name)), result);
}

void namedItem(TJWshNamedObject& self, TJValueList* args, TJValue& result) {
    if (HasArgs(args)) self.GetValue(ValueToString(args->At(0)), true, result);
    else MakeNull(result);
}

const TJMethod<TJWshNamedObject> namedMethods[] = {
    {"Exists", 0, &namedExists},
    {"Item", 0, &namedItem},
};

void createObject(TJWScriptObject& self, TJValueList* args, TJValue& result) {
    if (!JModuleHooks.CreateActiveXObject) raiseScriptError("ENameError", "create object error ActiveXObject");
    MakeObject(JModuleHooks.CreateActiveXObject(self.Runtime(), args), result);
}

void connectObject(TJWScriptObject&, TJValueList* args, TJValue&) {
    if (JModuleHooks.SetEventPrefix) JModuleHooks.SetEventPrefix(args->At(0), ValueToString(args->At(1)));
}

void disconnectObject(TJWScriptObject&, TJValueList* args, TJValue&) {
    if (JModuleHooks.DisconnectEvents) JModuleHooks.DisconnectEvents(args->At(0));
}

// Each argument's text and a blank, trailing blanks and control characters cut.
void echo(TJWScriptObject&, TJValueList* args, TJValue&) {
    AnsiString text;
    for (int i = 0; i < ArgCount(args); ++i) text += ValueToString(args->At(i)) + " ";
    AppMessageBox(GetAppWindow(), trimRight(text.view()), GetAppTitle(), MB_OK);
}

void getObject(TJWScriptObject&, TJValueList*, TJValue&) {}

void quit(TJWScriptObject&, TJValueList* args, TJValue&) {
    throw EJExit(HasArgs(args) ? ValueToInteger(args->At(0)) : 0);
}

void sleep(TJWScriptObject&, TJValueList* args, TJValue&) {
    Sleep(static_cast<DWORD>(HasArgs(args) ? ValueToInteger(args->At(0)) : 0));
}

const TJMethod<TJWScriptObject> wscriptMethods[] = {
    {"CreateObject", 0, &createObject},
    {"ConnectObject", 2, &connectObject},
    {"DisconnectObject", 1, &disconnectObject},
    {"Echo", 0, &echo},
    {"GetObject", 0, &getObject},
    {"Quit", 0, &quit},
    {"Sleep", 0, &sleep},
};

}  // namespace

const TJMethodTable& TJWshBaseStreamObject::Methods() const {
    static const TJMethodTable table(baseStreamMethods, TJObject::Methods());
    return table;
}

const TJMethodTable& TJWshReadStreamObject::Methods() const {
    static const TJMethodTable table(readStreamMethods, TJWshBaseStreamObject::Methods());
    return table;
}

const TJMethodTable& TJWshWriteStreamObject::Methods() const {
    static const TJMethodTable table(writeStreamMethods, TJWshBaseStreamObject::Methods());
    return table;
}

const TJMethodTable& TJWshNamedObject::Methods() const {
    static const TJMethodTable table(namedMethods, TJObject::Methods());
    return table;
}

const TJMethodTable& TJWshUnnamedObject::Methods() const {
    static const TJMethodTable table(unnamedMethods, TJArrayObject::Methods());
    return table;
}

const TJMethodTable& TJWshArgumentsObject::Methods() const {
    static const TJMethodTable table(argumentsMethods, TJArrayObject::Methods());
    return table;
}

const TJMethodTable& TJWScriptObject::Methods() const {
    static const TJMethodTable table(wscriptMethods, TJObject::Methods());
    return table;
}

// ==== Arguments ====

TJWshNamedObject::TJWshNamedObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("WshNamed");
}

int32_t TJWshNamedObject::count() const {
    std::vector<AnsiString> names;
    Members()->GetKeys(names, kindSet(vtString), 0);
    return static_cast<int32_t>(names.size());
}

void TJWshNamedObject::GetPropertyList(std::vector<AnsiString>& list) {
    list.clear();
    Members()->GetKeys(list, kindSet(vtString), 0);
}

TJWshUnnamedObject::TJWshUnnamedObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJArrayObject(key, runtime, args) {
    SetClassName("WshUnnamed");
}

TJWshArgumentsObject::TJWshArgumentsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJArrayObject(key, runtime, args),
      Named_(ownedObject<TJWshNamedObject>(runtime)),
      Unnamed_(ownedObject<TJWshUnnamedObject>(runtime)) {
    SetClassName("WshArguments");
}

TJWshArgumentsObject::~TJWshArgumentsObject() {
    Unnamed_->DecRef();
    Named_->DecRef();
}

// Every fill starts the named and positional arguments afresh: a second run
// does not keep the first run's.
void TJWshArgumentsObject::Fill(const TJValueList& elements) {
    Clear();
    Named_->ClearValueMembers();
    Unnamed_->Clear();
    Items().CopyFrom(&elements);
    TJRegExp named(R"(\/([^\:]+)\:(.*))");
    TJValue value;
    for (int i = 0; i < elements.Count(); ++i) {
        const TJValue& element = elements.At(i);
        if (IsStringValue(element) && named.Exec(ValueToString(element))) {
            MakeString(named.Groups()[2], value);
            Named_->PutMember(named.Groups()[1], value);
        } else {
            Unnamed_->Add(element);
        }
    }
}

// ==== WScript ====

TJWScriptObject::TJWScriptObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args),
      Arguments_(ownedObject<TJWshArgumentsObject>(runtime)),
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

void TJWScriptObject::FillArguments(TJArrayObject* source) {
    if (source && source->GetLength() > 0) {
        Arguments_->Fill(source->Items());
        return;
    }
    TJValueList parameters;
    for (int i = 2; i < __argc; ++i) parameters.AddString(__argv[i]);
    Arguments_->Fill(parameters);
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
