// Code page 932 to UTF-8 through one table of the ANSI code page's characters,
// built once from the platform's converter (one call per byte and per pair).
#include "engine/support/utf8mirror.h"

#include <windows.h>

#include <memory>

#include "engine/support/mbstring.h"
#include "rtl/codepage.h"

namespace {

// The trail bytes of code page 932; a lead byte followed by one is a pair
// even where the code page assigns it no character.
bool isTrailByte(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

struct CharTable {
    bool lead[256];
    uint32_t single[256];           // code point of each single byte
    std::unique_ptr<uint16_t[]> pair;  // (lead << 8 | trail) -> UTF-16 unit, 0 when invalid
};

uint32_t convertStrict(const char* bytes, int length) {
    wchar_t wide[2];
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
    return n == 1 ? wide[0] : 0;
}

CharTable buildTable() {
    CharTable table;
    table.pair = std::make_unique<uint16_t[]>(65536);
    for (int b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        table.lead[b] = isLeadByte(static_cast<unsigned char>(b));
        uint32_t code = b == 0 ? 0 : convertStrict(&byte, 1);
        table.single[b] = (b == 0 || code) && !table.lead[b] ? code : Cp932InvalidByteBase + b;
        if (!table.lead[b]) continue;
        for (int t = 0x40; t <= 0xFC; ++t) {
            if (!isTrailByte(t)) continue;
            char pair[2] = {byte, static_cast<char>(t)};
            table.pair[b << 8 | t] = static_cast<uint16_t>(convertStrict(pair, 2));
        }
    }
    return table;
}

const CharTable& charTable() {
    static const CharTable table = buildTable();
    return table;
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

Cp932Char charAt(const CharTable& table, std::string_view ansi, size_t offset) {
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(ansi[i]); };
    unsigned b = byteAt(offset);
    if (!table.lead[b]) return {table.single[b], 1};
    unsigned trail = offset + 1 < ansi.size() ? byteAt(offset + 1) : 0;
    if (!isTrailByte(trail)) return {Cp932InvalidByteBase + b, 1};  // a lead byte without a trail stands alone
    unsigned pair = b << 8 | trail;
    uint16_t code = table.pair[pair];
    return {code ? code : Cp932UnassignedPairBase + pair, 2};
}

// Walks the text character by character: fn(code point, byte offset).
template <typename Fn>
void forEachChar(std::string_view ansi, Fn fn) {
    const CharTable& table = charTable();
    for (size_t i = 0; i < ansi.size();) {
        Cp932Char c = charAt(table, ansi, i);
        fn(c.code, i);
        i += c.width;
    }
}

}  // namespace

Utf8Mirror mirrorAsUtf8(std::string_view ansi) {
    Utf8Mirror mirror;
    if (skipAscii(ansi, 0, ansi.size()) == ansi.size()) {
        mirror.utf8 = ansi;
        return mirror;
    }
    mirror.utf8.reserve(ansi.size() + ansi.size() / 2);
    mirror.ansiOffset.reserve(ansi.size() + ansi.size() / 2 + 1);
    forEachChar(ansi, [&](uint32_t code, size_t offset) {
        appendUtf8(mirror.utf8, code);
        mirror.ansiOffset.resize(mirror.utf8.size(), static_cast<uint32_t>(offset));
    });
    mirror.ansiOffset.push_back(static_cast<uint32_t>(ansi.size()));
    return mirror;
}

Cp932Char cp932CharAt(std::string_view ansi, size_t offset) { return charAt(charTable(), ansi, offset); }

std::string patternAsUtf8(std::string_view ansi) {
    std::string utf8;
    utf8.reserve(ansi.size() + ansi.size() / 2);
    forEachChar(ansi, [&](uint32_t code, size_t) { appendUtf8(utf8, code); });
    return utf8;
}
