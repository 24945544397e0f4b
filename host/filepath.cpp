// File path pieces, scanned character by character so that the second byte of
// a double-byte character is never taken for a delimiter.
#include "host/filepath.h"

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

}  // namespace

AnsiString fileFolder(const AnsiString& path) {
    return path.substr(0, nameStart(path));
}

AnsiString fileExtension(const AnsiString& path) {
    size_t start = nameStart(path), dot = std::string_view::npos;
    for (size_t i = start; i < path.length(); ++i) {
        if (path[i] == '.') dot = i;
        else if (isLeadByte(path.byte(i)) && i + 1 < path.length()) ++i;
    }
    return dot == std::string_view::npos ? AnsiString() : path.substr(dot);
}

bool fileExists(const AnsiString& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
