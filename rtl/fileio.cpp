// Whole-file reading and saving and the file error texts.
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

std::string readFileBytes(const AnsiString& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
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

ReplacingFile::ReplacingFile(const AnsiString& path, bool keepOld) : path_(path), temporary_(temporaryName(path)) {
    bool copied = keepOld && CopyFileA(path.c_str(), temporary_.c_str(), FALSE);
    if (keepOld && !copied && GetLastError() != ERROR_FILE_NOT_FOUND) return;
    file_ = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, copied ? OPEN_EXISTING : CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
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
