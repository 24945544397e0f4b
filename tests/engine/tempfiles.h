// Scratch files for the engine tests, in the Windows temporary folder: a path
// there named for the test, and whole-file writes and reads through Win32.
#pragma once

#include <windows.h>

#include <string>

#include "rtl/ansistring.h"

// A path in the temporary folder, with any file of that name removed.
inline AnsiString freshTempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    AnsiString path = AnsiString(folder) + "nimbora-engine-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    DeleteFileA(path.c_str());
    return path;
}

inline bool tempFileExists(const AnsiString& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void writeWholeFile(const AnsiString& path, const AnsiString& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.length()), &written, nullptr);
    CloseHandle(file);
}

inline AnsiString readWholeFile(const AnsiString& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    AnsiString bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}
