// Conversion between code page 932 and UTF-8 through tables built once from
// the platform's own converters, so that every byte sequence has one defined
// meaning (see xmlcodec.h for the byte convention).
#include "host/widget/xmlcodec.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "rtl/codepage.h"

namespace {

constexpr UINT kCodePage = 932;
constexpr uint16_t kNone = 0xFFFF;         // U+FFFF is never a code page 932 mapping
constexpr uint32_t kByteCarrier = 0xF700;  // U+F700 + byte carries a raw byte

uint16_t decodeStrict(const char* bytes, int length) {
    WCHAR wide[2];
    int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
    return n == 1 ? wide[0] : kNone;
}

// The byte form of one UTF-16 character: one byte (< 0x100) or lead << 8 | trail.
uint16_t encodeStrict(WCHAR wide) {
    char bytes[2];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, 2, nullptr, &usedDefault);
    if (usedDefault || n < 1) return kNone;
    uint16_t first = static_cast<unsigned char>(bytes[0]);
    return n == 1 ? first : static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
}

struct Cp932Tables {
    bool lead[256];
    uint16_t single[256];          // byte -> UTF-16; kNone for lead bytes and invalid bytes
    std::vector<uint16_t> pair;    // lead << 8 | trail -> UTF-16, or kNone
    std::vector<uint16_t> encode;  // UTF-16 -> byte form, or kNone

    Cp932Tables() : pair(0x10000, kNone), encode(0x10000, kNone) {
        for (int b = 0; b < 0x100; ++b) {
            lead[b] = b >= 0x80 && isLeadByte(static_cast<unsigned char>(b));
            single[b] = b < 0x80 ? static_cast<uint16_t>(b) : kNone;
            if (b < 0x80) encode[b] = static_cast<uint16_t>(b);
            if (b < 0x80 || lead[b]) continue;
            char byte = static_cast<char>(b);
            uint16_t u = decodeStrict(&byte, 1);
            if (u != kNone && encodeStrict(u) == b) {  // only bytes that come back as themselves
                single[b] = u;
                encode[u] = static_cast<uint16_t>(b);
            }
        }
        for (int l = 0x80; l < 0x100; ++l) {
            if (!lead[l]) continue;
            for (int t = 0; t < 0x100; ++t) {
                const char bytes[2] = {static_cast<char>(l), static_cast<char>(t)};
                uint16_t u = decodeStrict(bytes, 2);
                if (u == kNone) continue;
                pair[l << 8 | t] = u;
                if (encode[u] == kNone) encode[u] = encodeStrict(u);
            }
        }
    }
};

const Cp932Tables& tables() {
    static const Cp932Tables instance;
    return instance;
}

// Decodes the code page 932 character at in[0..avail) into cp and returns its
// byte length; 0 when a lead byte ends the input and more may follow (!final).
size_t decodeAnsiChar(const unsigned char* in, size_t avail, bool final, bool carryControls, uint32_t& cp) {
    const Cp932Tables& t = tables();
    unsigned char b = in[0];
    if (b < 0x80) {
        bool control = b < 0x20 && b != '\t' && b != '\n' && b != '\r';
        cp = carryControls && control ? kByteCarrier + b : b;
        return 1;
    }
    if (t.lead[b]) {
        if (avail < 2 && !final) return 0;
        uint16_t u = avail < 2 ? kNone : t.pair[b << 8 | in[1]];
        cp = u != kNone ? u : kByteCarrier + b;
        return u != kNone ? 2 : 1;
    }
    cp = t.single[b] != kNone ? t.single[b] : kByteCarrier + b;
    return 1;
}

size_t utf8Length(uint32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3;  // code page 932 reaches only the BMP
}

unsigned char* putUtf8(unsigned char* out, uint32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<unsigned char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | cp >> 6);
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xE0 | cp >> 12);
        *out++ = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Decodes the UTF-8 sequence at in[0..avail): its length, 0 when it is cut off
// at the end, -1 when it is malformed.
int decodeUtf8(const unsigned char* in, size_t avail, uint32_t& cp) {
    unsigned char b = in[0];
    int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : -1;
    if (length < 0) return -1;
    static const uint32_t kLowest[] = {0, 0, 0x80, 0x800, 0x10000};
    cp = length == 1 ? b : b & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (static_cast<size_t>(i) >= avail) return 0;
        if ((in[i] & 0xC0) != 0x80) return -1;
        cp = cp << 6 | (in[i] & 0x3F);
    }
    bool valid = cp >= kLowest[length] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    return valid ? length : -1;
}

// The byte form of a code point, or kNone when the code page lacks it.
uint16_t encodeChar(uint32_t cp) {
    if (cp >= kByteCarrier && cp < kByteCarrier + 0x100) return static_cast<uint16_t>(cp - kByteCarrier);
    return cp < 0x10000 ? tables().encode[cp] : kNone;
}

}  // namespace

// ==== Values ====

std::string ansiToUtf8(std::string_view ansi) {
    const auto* in = reinterpret_cast<const unsigned char*>(ansi.data());
    std::string utf8;
    utf8.reserve(ansi.size() + ansi.size() / 2);
    unsigned char buffer[3];
    for (size_t i = 0; i < ansi.size();) {
        uint32_t cp;
        i += decodeAnsiChar(in + i, ansi.size() - i, true, true, cp);
        utf8.append(reinterpret_cast<char*>(buffer), putUtf8(buffer, cp) - buffer);
    }
    return utf8;
}

AnsiString utf8ToAnsi(std::string_view utf8) {
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    std::string ansi;
    ansi.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp;
        int n = decodeUtf8(in + i, utf8.size() - i, cp);
        uint16_t bytes = n > 0 ? encodeChar(cp) : kNone;
        i += n > 0 ? static_cast<size_t>(n) : 1;
        if (bytes == kNone) {
            ansi += '?';
        } else {
            if (bytes >= 0x100) ansi += static_cast<char>(bytes >> 8);
            ansi += static_cast<char>(bytes & 0xFF);
        }
    }
    return AnsiString(ansi);
}

bool isUtf8(std::string_view bytes) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        uint32_t cp;
        int n = decodeUtf8(in + i, bytes.size() - i, cp);
        if (n <= 0) return false;
        i += static_cast<size_t>(n);
    }
    return true;
}

// ==== Encoding handler ====

int cp932ToUtf8Chunk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    size_t inSize = in ? static_cast<size_t>(*inlen) : 0, outSize = static_cast<size_t>(*outlen);
    size_t i = 0, o = 0;
    bool full = false;
    while (i < inSize) {
        uint32_t cp;
        size_t used = decodeAnsiChar(in + i, inSize - i, false, false, cp);
        if (used == 0) break;  // a lead byte waits for the next chunk
        full = o + utf8Length(cp) > outSize;
        if (full) break;
        o = putUtf8(out + o, cp) - out;
        i += used;
    }
    *inlen = static_cast<int>(i);
    *outlen = static_cast<int>(o);
    return full && o == 0 ? -1 : static_cast<int>(o);
}

int utf8ToCp932Chunk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    size_t inSize = in ? static_cast<size_t>(*inlen) : 0, outSize = static_cast<size_t>(*outlen);
    size_t i = 0, o = 0;
    int status = 0;
    while (i < inSize) {
        uint32_t cp;
        int n = decodeUtf8(in + i, inSize - i, cp);
        if (n == 0) break;
        uint16_t bytes = n > 0 ? encodeChar(cp) : kNone;
        if (bytes == kNone || (cp >= kByteCarrier && cp < kByteCarrier + 0x100)) {
            status = -2;  // the writer puts this character as a reference
            break;
        }
        size_t size = bytes >= 0x100 ? 2 : 1;
        if (o + size > outSize) {
            status = o == 0 ? -1 : 0;
            break;
        }
        if (size == 2) out[o++] = static_cast<unsigned char>(bytes >> 8);
        out[o++] = static_cast<unsigned char>(bytes & 0xFF);
        i += static_cast<size_t>(n);
    }
    *inlen = static_cast<int>(i);
    *outlen = static_cast<int>(o);
    return status != 0 ? status : static_cast<int>(o);
}
