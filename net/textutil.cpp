// Wildcards, random letters, numbered and temporary names, separators and
// quotes, all walking code-page-932 text a whole character at a time.
#include "net/textutil.h"

#include <windows.h>

#include <cstdint>

#include "engine/support/mbstring.h"
#include "rtl/format.h"
#include "rtl/random.h"

namespace {

constexpr size_t npos = std::string_view::npos;

bool sameCharAt(std::string_view a, size_t i, std::string_view b, size_t j) {
    size_t width = mbcsCharWidth(a, i);
    return width == mbcsCharWidth(b, j) && a.substr(i, width) == b.substr(j, width);
}

// A name's numbered suffix: all decimal digits, small enough to count on.
bool readCounter(std::string_view digits, uint32_t& value) {
    if (digits.empty() || digits.size() > 9) return false;
    value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return true;
}

}  // namespace

// Greedy matching that remembers the last "*": on a mismatch the star takes
// one more character of the name. Linear in practice, never recursive.
bool WildcardMatch(std::string_view nameText, std::string_view maskText, bool ignoreCase) {
    AnsiString nameCopy = ignoreCase ? upperCaseAscii(nameText) : AnsiString(nameText);
    AnsiString maskCopy = ignoreCase ? upperCaseAscii(maskText) : AnsiString(maskText);
    std::string_view name = nameCopy.view(), mask = maskCopy.view();
    size_t n = 0, m = 0, starMask = npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || sameCharAt(mask, m, name, n))) {
            m += mbcsCharWidth(mask, m);
            n += mbcsCharWidth(name, n);
        } else if (starMask != npos) {
            starName += mbcsCharWidth(name, starName);
            n = starName;
            m = starMask;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

AnsiString RandomLetters(int count) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    AnsiString out;
    for (int i = 0; i < count; ++i) out += kLetters[RandomInt(static_cast<int32_t>(kLetters.size()))];
    return out;
}

AnsiString NextNumberedName(std::string_view fileName) {
    size_t dot = mbcsFindLastOf(fileName, ".\\/:");
    bool hasExtension = dot != npos && fileName[dot] == '.';
    std::string_view name = hasExtension ? fileName.substr(0, dot) : fileName;
    std::string_view extension = hasExtension ? fileName.substr(dot) : std::string_view();
    uint32_t counter = 0;
    size_t underscore = mbcsFindLastOf(name, "_");
    if (underscore != npos && readCounter(name.substr(underscore + 1), counter)) {
        ++counter;
        name = name.substr(0, underscore);
    }
    return AnsiString(name) + formatText("_%.3u", {counter}) + extension;
}

AnsiString RemoveCommas(std::string_view text) {
    AnsiString out;
    for (char c : text) {
        if (c != ',') out += c;
    }
    return out;
}

size_t FindLineBreak(std::string_view text, size_t from) {
    for (size_t i = from; i < text.size(); ++i)
        if (text[i] == '\r' || text[i] == '\n') return i;
    return npos;
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != npos;
}

AnsiString ControlsToSpaces(std::string_view text) {
    AnsiString out(text);
    char* bytes = out.mutableData();
    for (size_t i = 0; i < text.size(); ++i) {
        if (bytes[i] == '\t' || bytes[i] == '\n' || bytes[i] == '\r') bytes[i] = ' ';
    }
    return out;
}

AnsiString EnsureTrailingSeparator(std::string_view text, bool keepEmpty) {
    if (text.empty()) return keepEmpty ? AnsiString() : AnsiString("/");
    char separator = text.find('/') != npos ? '/' : '\\';
    AnsiString out(text);
    if (!mbcsEndsWith(text, separator)) out += separator;
    return out;
}

AnsiString TempFolder() {
    char folder[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof folder, folder);
    return n == 0 || n > MAX_PATH ? AnsiString() : AnsiString(folder, n);
}

AnsiString MakeTempFileName(const AnsiString& prefix) {
    AnsiString folder = TempFolder();
    char path[MAX_PATH + 1];
    if (folder.empty() || GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, path) == 0) return {};
    return path;
}

AnsiString UnquoteText(std::string_view text, char quote) {
    if (text.empty() || text[0] != quote) return AnsiString(text);
    AnsiString out;
    for (size_t i = 1; i < text.size();) {
        size_t width = mbcsCharWidth(text, i);
        if (width == 1 && text[i] == quote) {
            if (i + 1 >= text.size() || text[i + 1] != quote) break;  // the closing quote
            ++i;
        }
        out.append(text.data() + i, width);
        i += width;
    }
    return out;
}
