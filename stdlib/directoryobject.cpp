// The Directory object: the folder setter, the find-first / find-next search
// with the attribute masks of the platform's directory search, listings,
// creation, removal and emptying through the folder helpers.
#include "stdlib/directoryobject.h"

#include <string>

#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/support/dirutil.h"
#include "rtl/filepath.h"
#include "stdlib/strings.h"

namespace {

const TPropInfo directoryProperties[] = {
    StringProperty<&TJDirectoryObject::DirName, &TJDirectoryObject::SetDirName>("dirname"),
    StringProperty<&TJDirectoryObject::DirName, &TJDirectoryObject::SetDirName>("path"),
    ClassProperty<&TJDirectoryObject::filesProperty>("files", &TJObject::classInfo),
    ClassProperty<&TJDirectoryObject::directoriesProperty>("directories", &TJObject::classInfo),
};

// Attribute masks of the three find-first methods and bits of the entries.
constexpr DWORD everyEntry = 63, plainFiles = 39, folders = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD volumeLabel = 8;

}  // namespace

const TClassInfo TJDirectoryObject::classInfo =
    makeClassInfo("TJDirectoryObject", &TJObject::classInfo, directoryProperties, &scriptCreator<TJDirectoryObject>);

TJDirectoryObject::TJDirectoryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Directory");
    SetDirName(HasArgs(args) ? ValueToString(args->At(0)) : AnsiString("."));
}

TJDirectoryObject::~TJDirectoryObject() {
    FindClose();
}

// A name that the system would take for another (namesAnotherPath) is
// refused: make, remove and clear would act on that other folder.
void TJDirectoryObject::SetDirName(const AnsiString& name) {
    if (namesAnotherPath(name)) raiseScriptError("EDirectoryError", "dirname error");
    DirName_ = withTrailingBackslash(expandUncFileName(name));
}

void TJDirectoryObject::Fail(const char* prefix) const {
    raiseScriptError("EDirectoryError", prefix + DirName_);
}

bool TJDirectoryObject::FindFirst(const AnsiString& pattern, DWORD mask, AnsiString& name) {
    if (Search_ != INVALID_HANDLE_VALUE) ::FindClose(Search_);
    Searching_ = true;
    SearchMask_ = mask;
    Search_ = FindFirstFileA((DirName_ + pattern).c_str(), &Found_);
    if (Search_ == INVALID_HANDLE_VALUE) return false;
    if (!matchesAttributeMask(Found_.dwFileAttributes, mask) && !nextEntry()) return false;
    name = Found_.cFileName;
    return true;
}

// A search that found nothing has no handle: it stays at its end.
bool TJDirectoryObject::nextEntry() {
    if (Search_ == INVALID_HANDLE_VALUE) return false;
    while (FindNextFileA(Search_, &Found_)) {
        if (matchesAttributeMask(Found_.dwFileAttributes, SearchMask_)) return true;
    }
    ::FindClose(Search_);
    Search_ = INVALID_HANDLE_VALUE;
    return false;
}

bool TJDirectoryObject::FindNext(const char* method, DWORD wanted, DWORD unwanted, AnsiString& name) {
    if (!Searching_) raiseScriptError("EDirectoryError", AnsiString(method) + " error: " + DirName_);
    while (nextEntry()) {
        DWORD attributes = Found_.dwFileAttributes;
        if ((!wanted || (attributes & wanted)) && !(attributes & unwanted)) {
            name = Found_.cFileName;
            return true;
        }
    }
    return false;
}

void TJDirectoryObject::FindClose() {
    if (Search_ != INVALID_HANDLE_VALUE) ::FindClose(Search_);
    Search_ = INVALID_HANDLE_VALUE;
    Searching_ = false;
}

namespace {

// A new StringList object of the runtime holding the lines.
TJObject* newStringList(TJRuntime* runtime, const TStrings& lines) {
    TJStringsObject* list = NewStringList(runtime);
    list->GetStringList().AddStrings(lines);
    return list;
}

}  // namespace

TJObject* TJDirectoryObject::filesProperty() const {
    TStringList files;
    ListDirectory(DirName_, "*.*", lkFiles, nullptr, files);
    return newStringList(Runtime(), files);
}

TJObject* TJDirectoryObject::directoriesProperty() const {
    TStringList folders;
    ListSubDirectories(DirName_, folders);
    return newStringList(Runtime(), folders);
}

// ==== Methods ====

namespace {

AnsiString patternArgument(TJValueList* args) {
    return HasArgs(args) ? ValueToString(args->At(0)) : AnsiString("*.*");
}

// The path argument, else the folder.
AnsiString pathArgument(const TJDirectoryObject& self, TJValueList* args) {
    return HasArgs(args) ? ValueToString(args->At(0)) : self.DirName();
}

void nameOrNull(bool found, const AnsiString& name, TJValue& result) {
    if (found) MakeString(name, result);
    else MakeNull(result);
}

template <DWORD Mask>
void findFirst(TJDirectoryObject& self, TJValueList* args, TJValue& result) {
    AnsiString name;
    nameOrNull(self.FindFirst(patternArgument(args), Mask, name), name, result);
}

template <DWORD Wanted, DWORD Unwanted>
void findNext(const char* method, TJDirectoryObject& self, TJValue& result) {
    AnsiString name;
    nameOrNull(self.FindNext(method, Wanted, Unwanted, name), name, result);
}

void findNextEntry(TJDirectoryObject& self, TJValueList*, TJValue& result) {
    findNext<0, 0>("findNext", self, result);
}

void findNextFile(TJDirectoryObject& self, TJValueList*, TJValue& result) {
    findNext<0, folders | volumeLabel>("findNextFile", self, result);
}

void findNextDir(TJDirectoryObject& self, TJValueList*, TJValue& result) {
    findNext<folders, 0>("findNextDir", self, result);
}

void findClose(TJDirectoryObject& self, TJValueList*, TJValue&) {
    self.FindClose();
}

void findFiles(TJDirectoryObject& self, TJValueList* args, TJValue& result) {
    TStringList files;
    ListDirectory(self.DirName(), patternArgument(args), lkFiles, nullptr, files);
    MakeObject(newStringList(self.Runtime(), files), result);
}

void make(TJDirectoryObject& self, TJValueList*, TJValue& result) {
    bool made;
    try {
        made = ForceDirs(self.DirName());
    } catch (const Exception&) {
        made = false;
    }
    if (!made) self.Fail("make error: ");
    MakeBool(true, result);
}

void remove(TJDirectoryObject& self, TJValueList*, TJValue& result) {
    if (!RemoveDirectoryA(self.DirName().c_str())) self.Fail("remove error: ");
    MakeBool(true, result);
}

// One shell operation, not silent: the shell asks for confirmation and shows
// its progress, owned by the application window.
void clear(TJDirectoryObject& self, TJValueList* args, TJValue&) {
    bool toRecycleBin = !HasArgs(args) || ValueToBool(args->At(0));
    ClearDirectory(GetAppWindow(), self.DirName(), toRecycleBin, false, false);
}

void exists(TJDirectoryObject& self, TJValueList* args, TJValue& result) {
    MakeBool(DirExists(pathArgument(self, args)), result);
}

// A failure is the platform's input/output error with its code, as the
// engine reports errors that are not the script's; a path that names another
// is an invalid name.
void changeTo(TJDirectoryObject& self, TJValueList* args, TJValue&) {
    AnsiString path = pathArgument(self, args);
    if (namesAnotherPath(path)) SetLastError(ERROR_INVALID_NAME);
    if (namesAnotherPath(path) || !SetCurrentDirectoryA(path.c_str()))
        throw EInOutError(AnsiString("I/O error " + std::to_string(GetLastError())));
}

template <AnsiString (*Operation)(const AnsiString&)>
void pathOperation(TJDirectoryObject& self, TJValueList* args, TJValue& result) {
    MakeString(Operation(pathArgument(self, args)), result);
}

void renameTo(TJDirectoryObject&, TJValueList*, TJValue&) {}

const TJMethod<TJDirectoryObject> directoryMethods[] = {
    {"make", 0, &make},
    {"remove", 0, &remove},
    {"renameTo", 0, &renameTo},
    {"findFirstFile", 0, &findFirst<plainFiles>},
    {"findNext", 0, &findNextEntry},
    {"findNextFile", 0, &findNextFile},
    {"findNextDir", 0, &findNextDir},
    {"findFirstDir", 0, &findFirst<folders>},
    {"findFirst", 0, &findFirst<everyEntry>},
    {"findClose", 0, &findClose},
    {"exists", 0, &exists},
    {"changeTo", 0, &changeTo},
    {"includePathDelimiter", 0, &pathOperation<&withTrailingBackslash>},
    {"excludePathDelimiter", 0, &pathOperation<&withoutTrailingBackslash>},
    {"clear", 0, &clear, TJMethodResult::Self},
    {"findFiles", 0, &findFiles},
    {"expandUNCFilename", 0, &pathOperation<&expandUncFileName>},
};

}  // namespace

const TJMethodTable& TJDirectoryObject::Methods() const {
    static const TJMethodTable table(directoryMethods, TJObject::Methods());
    return table;
}
