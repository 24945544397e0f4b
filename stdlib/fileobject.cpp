// The File object: open modes, byte reads and writes, lines in 4 KB steps,
// positions from either end, and the path operations.
#include "stdlib/fileobject.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "engine/lib/dateobject.h"
#include "engine/support/dirutil.h"
#include "engine/support/mbstring.h"
#include "rtl/filepath.h"

namespace {

const TPropInfo fileProperties[] = {
    Int64Property<&TJFileObject::lengthProperty>("length"),
    ClassProperty<&TJFileObject::lastModifiedProperty>("lastModified", &TJObject::classInfo),
    StringProperty<&TJFileObject::FileName, &TJFileObject::SetFileName>("filename"),
    StringProperty<&TJFileObject::FileName, &TJFileObject::SetFileName>("path"),
};

}  // namespace

const TClassInfo TJFileObject::classInfo =
    makeClassInfo("TJFileObject", &TJObject::classInfo, fileProperties, &scriptCreator<TJFileObject>);

TJFileObject::TJFileObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("File");
    if (HasArgs(args)) FileName_ = ValueToString(args->At(0));
}

void TJFileObject::Fail(const char* prefix) const {
    raiseScriptError("EFileError", prefix + FileName_);
}

// A file past 2 GB has its whole length, not one wrapped to 32 bits.
int64_t TJFileObject::lengthProperty() const {
    if (Stream_.IsOpen()) return Stream_.size();
    return static_cast<int64_t>(GetFileSizeByName(FileName_));
}

namespace {

bool localLastWriteTime(const AnsiString& path, TDateTime& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME system;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &system))
        return false;
    time = systemTimeToDateTime(system);
    return true;
}

}  // namespace

TJObject* TJFileObject::lastModifiedProperty() const {
    TDateTime time;
    if (!localLastWriteTime(FileName_, time)) time = nowDateTime();
    auto* date = createObject<TJDateObject>(Runtime(), true, nullptr);
    date->SetLocalDateTime(time);
    return date;
}

TSafeFileStream& TJFileObject::Stream() {
    if (!Ahead_.empty()) {
        Stream_.Seek(-static_cast<int64_t>(Ahead_.size()), soCurrent);
        Ahead_.clear();
    }
    return Stream_;
}

// The line feed is looked for in 4 KB steps; bytes past it stay read ahead.
AnsiString TJFileObject::ReadLine() {
    std::string line;
    char block[4096];
    size_t feed;
    while ((feed = Ahead_.find('\n')) == std::string::npos) {
        line += Ahead_;
        Ahead_.clear();
        int32_t got = Stream_.Read(block, sizeof block);
        if (got <= 0) return AnsiString(line);
        Ahead_.assign(block, static_cast<size_t>(got));
    }
    line.append(Ahead_, 0, feed);
    Ahead_.erase(0, feed + 1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.pop_back();
    return AnsiString(line);
}

bool TJFileObject::AtEnd() {
    return Ahead_.empty() && Stream_.position() >= Stream_.size();
}

// ==== Methods ====

namespace {

// The stream's mode of a mode text: write access with "w", others kept from
// writing with "d" (no text: read, deny write); "r" changes nothing, so "r"
// alone opens exclusively.
uint16_t openMode(TJValueList* args) {
    if (!HasArgs(args)) return fmOpenRead | fmShareDenyWrite;
    AnsiString mode = lowerCaseAscii(ValueToString(args->At(0)));
    uint16_t result = mode.find('w') != std::string_view::npos ? fmOpenWrite : fmOpenRead;
    if (mode.find('d') != std::string_view::npos) result |= fmShareDenyWrite;
    return result;
}

void open(TJFileObject& self, TJValueList* args, TJValue& result) {
    uint16_t mode = openMode(args);
    self.Stream().Close(false);
    try {
        self.Stream().Open(self.FileName(), mode, true);
    } catch (const EFOpenError&) {
        self.Fail("can not open: ");
    }
    MakeBool(true, result);
}

void close(TJFileObject& self, TJValueList*, TJValue& result) {
    bool wasOpen = self.Stream().IsOpen();
    self.Stream().Close(false);
    MakeBool(wasOpen, result);
}

void isOpened(TJFileObject& self, TJValueList*, TJValue& result) {
    MakeBool(self.IsOpen(), result);
}

void flush(TJFileObject& self, TJValueList*, TJValue& result) {
    bool wasOpen = self.Stream().IsOpen();
    self.Stream().Flush();
    MakeBool(wasOpen, result);
}

// A count or offset argument: a number past 32 bits is clamped, never
// wrapped as an integer argument is (seek(-1e12) went 727 MB forward).
int64_t wideArgument(const TJValue& value) {
    double number = ValueToDouble(value);
    return std::isnan(number) ? 0 : static_cast<int64_t>(std::clamp(number, -9.0e18, 9.0e18));
}

// The bytes still to read from the position (0 at or past the end).
int64_t remainingBytes(TSafeFileStream& stream) {
    return std::max<int64_t>(stream.size() - stream.position(), 0);
}

// With a count, up to that many bytes (the buffer never grows past what the
// file still holds, nor past what one read takes, so a huge count takes no
// huge memory); without one, the rest of the file in 65535-byte blocks.
void read(TJFileObject& self, TJValueList* args, TJValue& result) {
    TSafeFileStream& stream = self.Stream();
    if (!stream.IsOpen()) self.Fail("read error: ");
    std::string bytes;
    if (HasArgs(args)) {
        int64_t count = std::min({wideArgument(args->At(0)), remainingBytes(stream), int64_t{INT32_MAX}});
        if (count > 0) {
            bytes.resize(static_cast<size_t>(count));
            bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), static_cast<int32_t>(count))));
        }
    } else {
        char block[65535];
        int32_t got;
        while ((got = stream.Read(block, sizeof block)) > 0) bytes.append(block, static_cast<size_t>(got));
    }
    MakeString(AnsiString(bytes), result);
}

void readln(TJFileObject& self, TJValueList*, TJValue& result) {
    if (!self.IsOpen()) self.Fail("read error: ");
    MakeString(self.ReadLine(), result);
}

// Writes the text from the start, again with the rest after each partial
// write; a write that takes nothing (a full disk, a size limit) leaves the
// text short, which is an error, not a count.
int32_t writeText(TJFileObject& self, TJValueList* args) {
    if (!self.Stream().IsOpen() || !HasArgs(args)) self.Fail("write error: ");
    AnsiString text = ValueToString(args->At(0));
    int32_t total = 0, size = static_cast<int32_t>(text.length());
    while (total < size) {
        int32_t written = self.Stream().Write(text.data() + total, size - total);
        if (written <= 0) self.Fail("write error: ");
        total += written;
    }
    return total;
}

void write(TJFileObject& self, TJValueList* args, TJValue& result) {
    MakeInteger(writeText(self, args), result);
}

void writeln(TJFileObject& self, TJValueList* args, TJValue& result) {
    if (HasArgs(args)) {
        TJValue line;
        MakeString(ValueToString(args->At(0)) + "\r\n", line);
        args->SetItem(0, line);
    }
    MakeInteger(writeText(self, args), result);
}

void eof(TJFileObject& self, TJValueList*, TJValue& result) {
    if (!self.IsOpen()) self.Fail("eof error: ");
    MakeBool(self.AtEnd(), result);
}

// A negative offset counts from the end: -1 is the last byte.
void seek(TJFileObject& self, TJValueList* args, TJValue& result) {
    TSafeFileStream& stream = self.Stream();
    if (!stream.IsOpen() || !HasArgs(args)) self.Fail("seek error: ");
    int64_t offset = wideArgument(args->At(0));
    if (offset < 0) offset += stream.size();
    int64_t position = offset < 0 ? -1 : stream.Seek(offset, soBeginning);
    if (position < 0) self.Fail("seek error: ");
    if (position <= INT32_MAX) MakeInteger(static_cast<int32_t>(position), result);
    else MakeDouble(static_cast<double>(position), result);
}

void canRead(TJFileObject& self, TJValueList*, TJValue& result) {
    MakeBool(self.Stream().IsOpen() && (self.Stream().Mode() & 3) == fmOpenRead, result);
}

void canWrite(TJFileObject& self, TJValueList*, TJValue& result) {
    MakeBool((self.Stream().Mode() & fmOpenWrite) != 0, result);
}

// The path argument, else the object's file name.
AnsiString pathArgument(const TJFileObject& self, TJValueList* args) {
    return HasArgs(args) ? ValueToString(args->At(0)) : self.FileName();
}

void exists(TJFileObject& self, TJValueList* args, TJValue& result) {
    MakeBool(fileExists(pathArgument(self, args)), result);
}

// A name that the system would take for another (namesAnotherPath) is
// refused: it would reach that other file.
void remove(TJFileObject& self, TJValueList*, TJValue& result) {
    self.Stream().Close(false);
    if (namesAnotherPath(self.FileName()) || !DeleteFileA(self.FileName().c_str())) self.Fail("remove error: ");
    MakeBool(true, result);
}

void renameTo(TJFileObject& self, TJValueList* args, TJValue& result) {
    self.Stream().Close(false);
    if (!HasArgs(args)) self.Fail("rename error: ");
    AnsiString target = ValueToString(args->At(0));
    if (namesAnotherPath(self.FileName()) || namesAnotherPath(target) || !MoveFileA(self.FileName().c_str(), target.c_str()))
        self.Fail("rename error: ");
    self.SetFileName(target);
    MakeBool(true, result);
}

void copyTo(TJFileObject& self, TJValueList* args, TJValue& result) {
    self.Stream().Close(false);
    AnsiString target = HasArgs(args) ? ValueToString(args->At(0)) : AnsiString();
    if (!HasArgs(args) || namesAnotherPath(self.FileName()) || namesAnotherPath(target) ||
        !CopyFileA(self.FileName().c_str(), target.c_str(), FALSE))
        self.Fail("copy error: ");
    MakeBool(true, result);
}

// The folder part without its delimiter, but a root ("C:\", "\") keeps it:
// without it the path would name the drive's current folder instead.
AnsiString fileDirectory(const AnsiString& path) {
    AnsiString folder = fileFolder(path);
    AnsiString bare = withoutTrailingBackslash(folder);
    if (bare.endsWith("/") && folder == bare) bare = folder.substr(0, folder.length() - 1);
    return bare.empty() || bare.endsWith(":") ? folder : bare;
}

AnsiString shortPathName(const AnsiString& path) {
    char buffer[MAX_PATH * 2];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length == 0 || length >= sizeof buffer ? AnsiString() : AnsiString(buffer, length);
}

template <AnsiString (*Operation)(const AnsiString&)>
void pathOperation(TJFileObject& self, TJValueList* args, TJValue& result) {
    MakeString(Operation(pathArgument(self, args)), result);
}

// The extension is put in as given: "bak" without a dot joins the name
// ("a.txt" becomes "abak"), as the path splitter's own replacement does.
void changeExt(TJFileObject& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return MakeNull(result);
    if (HasTwoArgs(args)) MakeString(changeFileExt(ValueToString(args->At(0)), ValueToString(args->At(1))), result);
    else MakeString(changeFileExt(self.FileName(), ValueToString(args->At(0))), result);
}

const TJMethod<TJFileObject> fileMethods[] = {
    {"read", 0, &read},
    {"open", 0, &open},
    {"close", 0, &close},
    {"isOpened", 0, &isOpened},
    {"write", 0, &write},
    {"writeln", 0, &writeln},
    {"flush", 0, &flush},
    {"readln", 0, &readln},
    {"eof", 0, &eof},
    {"exists", 0, &exists},
    {"remove", 0, &remove},
    {"renameTo", 0, &renameTo},
    {"copyTo", 0, &copyTo},
    {"canRead", 0, &canRead},
    {"canWrite", 0, &canWrite},
    {"seek", 0, &seek},
    {"extractName", 0, &pathOperation<&extractFileName>},
    {"extractPath", 0, &pathOperation<&fileFolder>},
    {"extractDir", 0, &pathOperation<&fileDirectory>},
    {"extractDrive", 0, &pathOperation<&extractFileDrive>},
    {"extractExt", 0, &pathOperation<&fileExtension>},
    {"changeExt", 0, &changeExt},
    {"expandUNCFilename", 0, &pathOperation<&expandUncFileName>},
    {"extractShortPathName", 0, &pathOperation<&shortPathName>},
};

}  // namespace

const TJMethodTable& TJFileObject::Methods() const {
    static const TJMethodTable table(fileMethods, TJObject::Methods());
    return table;
}
