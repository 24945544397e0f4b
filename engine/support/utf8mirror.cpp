// Code page 932 to UTF-8 through one table of the ANSI code page's characters,
// built once from the platform's converter (one call per byte and per pair).
#include "engine/support/utf8mirror.h"

#include <windows.h>

#include <memory>

#include "rtl/codepage.h"

namespace {

constexpr uint32_t kInvalidBase = 0xF0000;  // private use: invalid byte b -> U+F0000 + b

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
        table.single[b] = (b == 0 || code) && !table.lead[b] ? code : kInvalidBase + b;
        if (!table.lead[b]) continue;
        for (int t = 1; t < 256; ++t) {
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

// Walks the text character by character: fn(code point, byte offset).
template <typename Fn>
void forEachChar(std::string_view ansi, Fn fn) {
    const CharTable& table = charTable();
    const auto* bytes = reinterpret_cast<const unsigned char*>(ansi.data());
    size_t n = ansi.size();
    for (size_t i = 0; i < n;) {
        unsigned b = bytes[i];
        if (!table.lead[b]) {
            fn(table.single[b], i);
            ++i;
        } else if (uint16_t code = i + 1 < n ? table.pair[b << 8 | bytes[i + 1]] : 0) {
            fn(code, i);
            i += 2;
        } else {
            fn(kInvalidBase + b, i);  // a lead byte without a valid trail stands alone
            ++i;
        }
    }
}

}  // namespace

Utf8Mirror mirrorAsUtf8(std::string_view ansi) {
    Utf8Mirror mirror;
    mirror.utf8.reserve(ansi.size() + ansi.size() / 2);
    mirror.ansiOffset.reserve(ansi.size() + ansi.size() / 2 + 1);
    forEachChar(ansi, [&](uint32_t code, size_t offset) {
        appendUtf8(mirror.utf8, code);
        mirror.ansiOffset.resize(mirror.utf8.size(), static_cast<uint32_t>(offset));
    });
    mirror.ansiOffset.push_back(static_cast<uint32_t>(ansi.size()));
    return mirror;
}

std::string patternAsUtf8(std::string_view ansi) {
    std::string utf8;
    utf8.reserve(ansi.size() + ansi.size() / 2);
    forEachChar(ansi, [&](uint32_t code, size_t) { appendUtf8(utf8, code); });
    return utf8;
}
