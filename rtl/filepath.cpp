// File path pieces, scanned character by character so that the second byte of
// a double-byte character is never taken for a delimiter.
#include "rtl/filepath.h"

#include <windows.h>

#include <vector>

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

// The folder names of a path, without its delimiters.
std::vector<AnsiString> folderNames(const AnsiString& folder) {
    std::vector<AnsiString> names;
    AnsiString name;
    for (size_t i = 0; i < folder.length(); ++i) {
        char c = folder[i];
        if (c == '\\' || c == '/') {
            if (!name.empty()) names.push_back(name);
            name.clear();
            continue;
        }
        name += c;
        if (isLeadByte(folder.byte(i)) && i + 1 < folder.length()) name += folder[++i];
    }
    if (!name.empty()) names.push_back(name);
    return names;
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
    if (path.empty() || folder.empty() || !extractFileDrive(path).empty()) return expandFileName(path);
    if (path[0] == '\\' || path[0] == '/') return expandFileName(extractFileDrive(folder) + path);
    // A trail byte 0x5C ends no folder name: only a real delimiter counts.
    return expandFileName(fileFolder(folder) == folder ? folder + path : folder + "\\" + path);
}

AnsiString extractFileDrive(const AnsiString& path) {
    if (path.length() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (!path.startsWith("\\\\")) return {};
    size_t server = path.find('\\', 2);
    size_t share = server == std::string_view::npos ? server : path.find('\\', server + 1);
    return path.substr(0, share);
}

AnsiString extractRelativePath(const AnsiString& base, const AnsiString& target) {
    AnsiString baseFolder = fileFolder(base), targetFolder = fileFolder(target);
    AnsiString drive = extractFileDrive(baseFolder);
    if (!sameFileName(drive, extractFileDrive(targetFolder))) return target;
    std::vector<AnsiString> from = folderNames(baseFolder.substr(drive.length()));
    std::vector<AnsiString> to = folderNames(targetFolder.substr(drive.length()));
    size_t common = 0;
    while (common < from.size() && common < to.size() && sameFileName(from[common], to[common])) ++common;
    AnsiString relative;
    for (size_t i = common; i < from.size(); ++i) relative += "..\\";
    for (size_t i = common; i < to.size(); ++i) relative += to[i] + "\\";
    return relative + extractFileName(target);
}

bool sameFileName(const AnsiString& a, const AnsiString& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool namesAnotherPath(const AnsiString& path) { return !keepsWideForm(path.view()); }

bool fileExists(const AnsiString& path) {
    if (namesAnotherPath(path)) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
