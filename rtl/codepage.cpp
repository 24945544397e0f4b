// ANSI code page <-> UTF-16 through the platform's converters.
#include "rtl/codepage.h"

#include <windows.h>

#include <algorithm>

WideString ansiToWide(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    WideString wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

AnsiString wideToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    AnsiString ansi;
    ansi.setLength(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.mutableData(), n, nullptr, nullptr);
    return ansi;
}

bool keepsWideForm(std::string_view text) {
    WideString wide = ansiToWide(text);
    return wide.find(L'\0') == WideString::npos && wideToAnsi(wide).view() == text;
}

bool isLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != 0;
}

namespace {

// The size of the character at `at`: a lead byte with a byte after it is two.
int charSize(std::string_view text, size_t at) {
    return isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

int charToByteOffset(std::string_view text, int index) {
    size_t offset = 0;
    for (int i = 0; i < index && offset < text.size(); ++i) offset += static_cast<size_t>(charSize(text, offset));
    return static_cast<int>(offset);
}

int byteToCharIndex(std::string_view text, int offset) {
    size_t end = static_cast<size_t>(std::clamp(offset, 0, static_cast<int>(text.size())));
    int index = 0;
    for (size_t at = 0; at < end; at += static_cast<size_t>(charSize(text, at))) ++index;
    return index;
}
