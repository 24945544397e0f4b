// Script files on disk: text loading, library search and compiled-tree cache
// names. Paths are code page 932 bytes, taken apart by rtl/filepath.
#include "engine/support/sourcefiles.h"

#include <windows.h>

#include <cstdio>

#include "rtl/exceptions.h"
#include "rtl/fileio.h"

namespace {

// A trail byte 0x5C ends a character, not a folder: ask the path splitter.
bool endsWithSeparator(const AnsiString& path) {
    return !path.empty() && extractFileName(path).empty() && (path.view().back() == '\\' || path.view().back() == '/');
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

bool findLibraryFile(const AnsiString& name, const TStrings& folders, AnsiString& path) {
    if (fileExists(name)) {
        path = name;
        return true;
    }
    AnsiString fileName = extractFileName(name);
    for (int i = 0; i < folders.Count(); ++i) {
        AnsiString candidate = folders.Strings(i);
        if (!endsWithSeparator(candidate)) candidate += '\\';
        candidate += fileName;
        if (fileExists(candidate)) {
            path = candidate;
            return true;
        }
    }
    return false;
}

bool readFileBytes(const AnsiString& path, AnsiString& bytes) {
    try {
        bytes = AnsiString(readFileBytes(path));
        return true;
    } catch (const Exception&) {
        return false;
    }
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
