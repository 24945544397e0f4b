// Script files on disk: text loading, library search and compiled-tree cache
// names. Paths are code page 932 bytes: a trail byte may look like '\', so
// separators are found with the lead-byte test.
#include "engine/sourcefiles.h"

#include <windows.h>

#include <cstdio>

#include "rtl/codepage.h"

namespace {

// Index of the first byte of the file-name part.
size_t fileNameStart(std::string_view path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (isLeadByte(c) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\' || c == '/' || c == ':') {
            start = i + 1;
        }
    }
    return start;
}

bool endsWithSeparator(std::string_view path) {
    return !path.empty() && fileNameStart(path) == path.size() && (path.back() == '\\' || path.back() == '/');
}

bool lastWriteTime(const AnsiString& path, FILETIME& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

// FNV-1a over the path with its case folded, as the file system ignores case.
uint32_t pathHash(const AnsiString& path) {
    AnsiString folded = path;
    if (!folded.empty()) CharUpperBuffA(folded.mutableData(), static_cast<DWORD>(folded.length()));
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < folded.length(); ++i) hash = (hash ^ folded.byte(i)) * 16777619u;
    return hash;
}

}  // namespace

AnsiString extractFileName(const AnsiString& path) {
    return path.substr(fileNameStart(path.view()));
}

AnsiString changeFileExt(const AnsiString& path, const AnsiString& extension) {
    size_t start = fileNameStart(path.view());
    size_t dot = path.view().rfind('.');
    if (dot == std::string_view::npos || dot < start) return path + extension;
    return path.substr(0, dot) + extension;
}

bool isExistingFile(const AnsiString& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

AnsiString expandFileName(const AnsiString& path) {
    char buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    return AnsiString(buffer, length);
}

bool sameFileName(const AnsiString& a, const AnsiString& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool findLibraryFile(const AnsiString& name, const TStrings& folders, AnsiString& path) {
    if (isExistingFile(name)) {
        path = name;
        return true;
    }
    AnsiString fileName = extractFileName(name);
    for (int i = 0; i < folders.Count(); ++i) {
        AnsiString candidate = folders.Strings(i);
        if (!endsWithSeparator(candidate.view())) candidate += '\\';
        candidate += fileName;
        if (isExistingFile(candidate)) {
            path = candidate;
            return true;
        }
    }
    return false;
}

bool readFileBytes(const AnsiString& path, AnsiString& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
    AnsiString data;
    if (ok && size.QuadPart > 0) {
        data.setLength(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, data.mutableData(), static_cast<DWORD>(data.length()), &read, nullptr) &&
             read == data.length();
    }
    CloseHandle(file);
    if (ok) bytes = data;
    return ok;
}

AnsiString compiledTreeName(const AnsiString& scriptPath) { return changeFileExt(scriptPath, ".dmc"); }

AnsiString temporaryCompiledTreeName(const AnsiString& scriptPath) {
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) length = 0;
    char hash[16];
    std::snprintf(hash, sizeof hash, ".%08lX", static_cast<unsigned long>(pathHash(expandFileName(scriptPath))));
    AnsiString stem = changeFileExt(extractFileName(scriptPath), "");
    return AnsiString(folder, length) + stem + hash + ".dmc";
}

bool isCompiledTreeFresh(const AnsiString& treePath, const AnsiString& scriptPath) {
    FILETIME treeTime, scriptTime;
    return lastWriteTime(treePath, treeTime) && lastWriteTime(scriptPath, scriptTime) &&
           CompareFileTime(&treeTime, &scriptTime) >= 0;
}
