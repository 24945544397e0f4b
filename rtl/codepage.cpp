// ANSI code page <-> UTF-16 through the platform's converters.
#include "rtl/codepage.h"

#include <windows.h>

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

bool isLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != 0;
}
