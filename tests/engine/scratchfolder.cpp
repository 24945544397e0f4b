// ScratchFolder: per-test folders under the Windows temporary folder.
#include "scratchfolder.h"

#include <windows.h>

#include <cstdio>

namespace {

void removeFiles(const AnsiString& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

ScratchFolder::ScratchFolder(const char* tag) {
    static int counter = 0;
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    char name[64];
    std::snprintf(name, sizeof name, "nimbora-%s-%lu-%d\\", tag, GetCurrentProcessId(), ++counter);
    path_ = AnsiString(temp) + name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        removeFiles(*it);
        RemoveDirectoryA(it->c_str());
    }
    removeFiles(path_);
    RemoveDirectoryA(path_.c_str());
}

AnsiString ScratchFolder::write(const char* name, const std::string& bytes) {
    AnsiString target = file(name);
    HANDLE handle = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE) {
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
    }
    return target;
}

AnsiString ScratchFolder::folder(const char* name) {
    AnsiString sub = file(name) + "\\";
    CreateDirectoryA(sub.c_str(), nullptr);
    folders_.push_back(sub);
    return sub;
}

std::string ScratchFolder::read(const AnsiString& path) {
    std::string bytes;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD count = 0;
    while (ReadFile(handle, buffer, sizeof buffer, &count, nullptr) && count > 0) bytes.append(buffer, count);
    CloseHandle(handle);
    return bytes;
}
