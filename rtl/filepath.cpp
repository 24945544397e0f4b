// File path pieces, scanned character by character so that the second byte of
// a double-byte character is never taken for a delimiter.
#include "rtl/filepath.h"

#include <windows.h>

#include "rtl/codepage.h"

namespace {

// Position just after the last delimiter of the path (0 when there is none).
size_t nameStart(const AnsiString& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.length(); ++i) {
        char c = path[i];
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
        else if (isLeadByte(path.byte(i)) && i + 1 < path.length()) ++i;
    }
    return start;
}

// Position of the '.' of the last name's extension, npos when it has none.
size_t extensionStart(const AnsiString& path) {
    size_t dot = std::string_view::npos;
    for (size_t i = nameStart(path); i < path.length(); ++i) {
        if (path[i] == '.') dot = i;
        else if (isLeadByte(path.byte(i)) && i + 1 < path.length()) ++i;
    }
    return dot;
}

}  // namespace

AnsiString fileFolder(const AnsiString& path) {
    return path.substr(0, nameStart(path));
}

AnsiString extractFileName(const AnsiString& path) {
    return path.substr(nameStart(path));
}

AnsiString fileExtension(const AnsiString& path) {
    size_t dot = extensionStart(path);
    return dot == std::string_view::npos ? AnsiString() : path.substr(dot);
}

AnsiString changeFileExt(const AnsiString& path, const AnsiString& extension) {
    size_t dot = extensionStart(path);
    return (dot == std::string_view::npos ? path : path.substr(0, dot)) + extension;
}

AnsiString expandFileName(const AnsiString& path) {
    char buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    return AnsiString(buffer, length);
}

AnsiString expandFileNameFrom(const AnsiString& path, const AnsiString& folder) {
    auto delimiter = [](char c) { return c == '\\' || c == '/'; };
    bool hasDrive = path.length() >= 2 && path[1] == ':';
    if (hasDrive || path.empty() || folder.empty()) return expandFileName(path);
    if (delimiter(path[0])) {
        // A UNC path stands alone; a root path takes the folder's drive.
        bool unc = path.length() >= 2 && delimiter(path[1]);
        bool folderDrive = folder.length() >= 2 && folder[1] == ':';
        return expandFileName(unc || !folderDrive ? path : folder.substr(0, 2) + path);
    }
    // A trail byte 0x5C ends no folder name: only a real delimiter counts.
    return expandFileName(fileFolder(folder) == folder ? folder + path : folder + "\\" + path);
}

bool sameFileName(const AnsiString& a, const AnsiString& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool fileExists(const AnsiString& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
