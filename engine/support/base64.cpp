// Base64 coding (RFC 2045) and the ISO-2022-JP "B" encoded words of MIME
// headers (RFC 2047), which go through the JIS writer of engine/textcodes.
// Serves the Base64 object, the HTTP client and the mail message.
#include "engine/support/base64.h"

#include <cstdint>

#include "engine/support/textcodes.h"
#include "rtl/codepage.h"

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view wordPrefix = "=?ISO-2022-JP?B?";
constexpr std::string_view wordSuffix = "?=";
constexpr const char* backToAscii = "\033(B";
constexpr const char* afterDecodedWord = "\033(J";

// Value of a Base64 character, -1 for one outside the alphabet.
int digitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Appends the bytes of one group: `digits` values of which `count` are data.
void appendGroup(AnsiString& out, const int digits[4], int count) {
    uint32_t bits = (digits[0] << 18) | (digits[1] << 12) | (digits[2] << 6) | digits[3];
    for (int k = 0; k < count - 1; ++k) out += static_cast<char>(bits >> (16 - 8 * k));
}

AnsiString encodedWord(const AnsiString& sjis) {
    return wordPrefix + Base64Encode(SjisToJis(sjis) + backToAscii) + wordSuffix;
}

bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
    for (size_t k = 0; k < upper.size(); ++k) {
        char c = text[k];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != upper[k]) return false;
    }
    return true;
}

size_t findPrefix(std::string_view text) {
    for (size_t at = text.find('='); at != std::string_view::npos; at = text.find('=', at + 1))
        if (text.size() - at >= wordPrefix.size() && equalsIgnoringCase(text.substr(at), wordPrefix)) return at;
    return std::string_view::npos;
}

}  // namespace

// ==== Base64 ====

AnsiString Base64Encode(const AnsiString& data) {
    AnsiString out;
    size_t n = data.length();
    for (size_t i = 0; i < n; i += 3) {
        size_t left = n - i;
        uint32_t bits = data.byte(i) << 16;
        if (left > 1) bits |= data.byte(i + 1) << 8;
        if (left > 2) bits |= data.byte(i + 2);
        out += alphabet[(bits >> 18) & 63];
        out += alphabet[(bits >> 12) & 63];
        out += left > 1 ? alphabet[(bits >> 6) & 63] : '=';
        out += left > 2 ? alphabet[bits & 63] : '=';
    }
    return out;
}

AnsiString Base64Decode(const AnsiString& text) {
    AnsiString out;
    int digits[4] = {0, 0, 0, 0};
    int filled = 0, data = 0;  // characters of the group so far, and how many carry data
    for (char c : text.view()) {
        int value = digitValue(c);
        if (value < 0 && c != '=') continue;
        if (value >= 0 && data == filled) digits[data++] = value;
        if (++filled < 4) continue;
        appendGroup(out, digits, data);
        digits[0] = digits[1] = digits[2] = digits[3] = 0;
        filled = data = 0;
    }
    appendGroup(out, digits, data);
    return out;
}

// ==== MIME header words ====

AnsiString EncodeMimeHeader(const AnsiString& text) {
    AnsiString out, singles, doubles;
    size_t n = text.length();
    for (size_t i = 0; i < n;) {
        if (isLeadByte(text.byte(i)) && i + 1 < n) {
            out += singles;
            singles.clear();
            doubles += text.substr(i, 2);
            i += 2;
        } else {
            if (!doubles.empty()) out += encodedWord(doubles);
            doubles.clear();
            singles += text[i];
            ++i;
        }
    }
    if (!doubles.empty()) out += encodedWord(doubles);
    return out + singles;
}

AnsiString DecodeMimeHeader(const AnsiString& text) {
    AnsiString out;
    std::string_view rest = text.view();
    for (;;) {
        size_t start = findPrefix(rest);
        size_t end = start == std::string_view::npos ? start : rest.find(wordSuffix, start + wordPrefix.size());
        if (end == std::string_view::npos) break;
        size_t payload = start + wordPrefix.size();
        out += rest.substr(0, start);
        out += Base64Decode(AnsiString(rest.substr(payload, end - payload)));
        out += afterDecodedWord;
        rest.remove_prefix(end + wordSuffix.size());
    }
    return out + rest;
}
