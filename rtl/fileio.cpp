// Whole-file reading and saving, the opening of disk files and the file error
// texts.
#include "rtl/fileio.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "rtl/exceptions.h"
#include "rtl/filepath.h"

AnsiString fileErrorText(const char* what, const AnsiString& path) {
    AnsiString reason = SysErrorMessage(GetLastError());
    AnsiString text = AnsiString(what) + " \"" + path + "\"";
    if (!reason.empty()) text += ". " + reason;
    return text;
}

// ==== Disk files and devices ====

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// "\\.\" and "\\?\" lead into the device space, where only a drive
// ("\\?\C:\") or a share ("\\?\UNC\") is still a disk path.
bool inDeviceSpace(std::string_view path) {
    if (path.size() < 4 || !isSeparator(path[0]) || !isSeparator(path[1]) || (path[2] != '.' && path[2] != '?') ||
        !isSeparator(path[3]))
        return false;
    std::string_view rest = path.substr(4);
    bool drive = rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    bool share = rest.size() >= 4 && (rest[0] | 0x20) == 'u' && (rest[1] | 0x20) == 'n' && (rest[2] | 0x20) == 'c' &&
                 isSeparator(rest[3]);
    return !drive && !share;
}

// The system takes a name up to its first dot or colon, without the blanks
// before it, for the device's: "nul.txt", "COM1:" and "aux .log" are devices.
bool isReservedName(std::string_view name) {
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (upper == reserved) return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

}  // namespace

bool isDeviceName(const AnsiString& path) {
    std::string_view bare = path.view();
    while (!bare.empty() && (bare.back() == ':' || bare.back() == ' ')) bare.remove_suffix(1);
    return inDeviceSpace(bare) || isReservedName(extractFileName(AnsiString(bare)).view());
}

namespace {

// A device, or a path the system would take for another, names no disk file
// of ours: ERROR_INVALID_NAME.
bool refusesPath(const AnsiString& path) {
    if (!isDeviceName(path) && !namesAnotherPath(path)) return false;
    SetLastError(ERROR_INVALID_NAME);
    return true;
}

}  // namespace

HANDLE createDiskFile(const AnsiString& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    if (refusesPath(path)) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE || GetFileType(file) == FILE_TYPE_DISK) return file;
    CloseHandle(file);
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
}

// ==== Whole files ====

std::string readFileBytes(const AnsiString& path) {
    FileHandle file(createDiskFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    if (!file.valid()) throw EFOpenError(fileErrorText("Cannot open file", path));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw EReadError(fileErrorText("Cannot read file", path));
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return bytes;
}

void writeFileBytes(const AnsiString& path, std::string_view bytes) {
    ReplacingFile file(path);
    if (!file.valid()) throw EFCreateError(fileErrorText("Cannot create file", path));
    if (!file.write(bytes) || !file.commit()) throw EWriteError(fileErrorText("Cannot write file", path));
}

// ==== Replacing a file ====

namespace {

// The temporary file's suffix: a dot, the process id in hex and ".tmp".
AnsiString temporaryName(const AnsiString& path) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%lx.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    return path + suffix;
}

}  // namespace

// A device is never copied from (the copy would read it), nor a path that
// names another (the copy would take that file's bytes).
ReplacingFile::ReplacingFile(const AnsiString& path, bool keepOld) : path_(path), temporary_(temporaryName(path)) {
    if (refusesPath(path)) return;
    bool copied = keepOld && CopyFileA(path.c_str(), temporary_.c_str(), FALSE);
    if (keepOld && !copied && GetLastError() != ERROR_FILE_NOT_FOUND) return;
    file_ = createDiskFile(temporary_, GENERIC_WRITE, 0, copied ? OPEN_EXISTING : CREATE_ALWAYS);
    if (valid() && copied) SetFilePointer(file_, 0, nullptr, FILE_END);
}

ReplacingFile::~ReplacingFile() {
    if (!valid()) return;
    DWORD code = GetLastError();
    CloseHandle(file_);
    DeleteFileA(temporary_.c_str());
    SetLastError(code);
}

bool ReplacingFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_, bytes.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReplacingFile::commit() {
    bool ok = FlushFileBuffers(file_);
    DWORD code = GetLastError();
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (ok && MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (!ok) SetLastError(code);
    code = GetLastError();
    DeleteFileA(temporary_.c_str());
    SetLastError(code);
    return false;
}

int64_t ReplacingFile::size() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_, &size) ? size.QuadPart : 0;
}

bool isTemporaryName(std::string_view name, const AnsiString& target) {
    std::string_view suffix = ".tmp";
    if (name.size() <= target.length() + 1 + suffix.size() || !name.ends_with(suffix)) return false;
    std::string_view digits = name.substr(target.length() + 1, name.size() - target.length() - 1 - suffix.size());
    if (digits.size() > 8 || name[target.length()] != '.') return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return sameFileName(AnsiString(name.substr(0, target.length())), target);
}

void removeInterruptedSaves(const AnsiString& path) {
    AnsiString name = extractFileName(path);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + ".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (isTemporaryName(found.cFileName, name)) DeleteFileA((fileFolder(path) + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
