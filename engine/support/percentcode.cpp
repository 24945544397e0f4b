// Percent-encoding over bytes with the base safe set and per-call extras.
#include "engine/support/percentcode.h"

namespace {

constexpr std::string_view kBaseSafePunctuation = "!'()*-._";

bool isAsciiAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isEscapeAt(std::string_view text, size_t i) {
    return i + 2 < text.size() && text[i] == '%' && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0;
}

}  // namespace

AnsiString PercentEncode(std::string_view text, std::string_view extraSafe, bool spaceAsPlus) {
    static const char kHex[] = "0123456789abcdef";
    AnsiString out;
    for (char c : text) {
        if (isAsciiAlnum(c) || kBaseSafePunctuation.find(c) != std::string_view::npos ||
            extraSafe.find(c) != std::string_view::npos) {
            out += c;
        } else if (c == ' ' && spaceAsPlus) {
            out += '+';
        } else {
            auto byte = static_cast<unsigned char>(c);
            char escape[3] = {'%', kHex[byte >> 4], kHex[byte & 15]};
            out.append(escape, 3);
        }
    }
    return out;
}

bool HasPercentEscape(std::string_view text) {
    for (size_t i = text.find('%'); i != std::string_view::npos; i = text.find('%', i + 1)) {
        if (isEscapeAt(text, i)) return true;
    }
    return false;
}

AnsiString PercentDecode(std::string_view text, bool plusAsSpace) {
    if (!HasPercentEscape(text)) return AnsiString(text);
    AnsiString out;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            i += 2;
        } else if (isEscapeAt(text, i)) {
            out += static_cast<char>(hexValue(text[i + 1]) << 4 | hexValue(text[i + 2]));
            i += 3;
        } else {
            out += c == '+' && plusAsSpace ? ' ' : c;
            ++i;
        }
    }
    return out;
}

AnsiString EscapeText(std::string_view text) {
    return PercentEncode(text, "", true);
}

AnsiString EncodeURIComponent(std::string_view text) {
    return PercentEncode(text, "", false);
}

AnsiString EncodeURI(std::string_view text) {
    return PercentEncode(text, ";/?:@&=+,#", false);
}

AnsiString UnescapeText(std::string_view text) {
    return PercentDecode(text, true);
}

AnsiString DecodeURI(std::string_view text) {
    return PercentDecode(text, false);
}

AnsiString DecodeURIComponent(std::string_view text) {
    return PercentDecode(text, false);
}
