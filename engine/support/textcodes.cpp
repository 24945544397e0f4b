// Japanese text codes: the detector's byte-class scan, the JIS reader and
// writer shared by the EUC-JP and Shift-JIS sides, the half-width katakana
// table and the JIS X 0208 <-> Shift-JIS pair arithmetic.
#include "engine/support/textcodes.h"

#include <cstdint>

namespace {

constexpr char ESC = 0x1B;
constexpr const char* enterTwoByte = "\033$B";
constexpr const char* leaveTwoByte = "\033(J";
constexpr uint8_t ss2 = 0x8E;           // EUC-JP: a half-width katakana byte follows
constexpr uint8_t voicedSign = 0xDE;    // half-width dakuten
constexpr uint8_t semiVoicedSign = 0xDF;  // half-width handakuten

bool between(uint8_t byte, uint8_t low, uint8_t high) {
    return byte >= low && byte <= high;
}

bool isBinaryByte(uint8_t byte) {
    return byte <= 7 || byte == 0xFF;
}

bool isHalfWidthKana(uint8_t byte) {
    return between(byte, 0xA1, 0xDF);
}

bool isSjisLead(uint8_t byte) {
    return between(byte, 0x81, 0x9F) || between(byte, 0xE0, 0xFC);
}

bool isSjisTrail(uint8_t byte) {
    return between(byte, 0x40, 0x7E) || between(byte, 0x80, 0xFC);
}

bool isJisByte(uint8_t byte) {
    return between(byte, 0x21, 0x7E);
}

bool isEucByte(uint8_t byte) {
    return between(byte, 0xA1, 0xFE);
}

struct JisPair {
    uint8_t row, cell;
};

// ==== Pair arithmetic ====

void appendSjisOfJis(AnsiString& out, JisPair jis) {
    int j1 = jis.row, j2 = jis.cell;
    int s1 = ((j1 + 1) >> 1) + (j1 < 95 ? 112 : 176);
    int s2 = (j1 % 2 == 0) ? j2 + 126 : (j2 < 96 ? j2 + 31 : j2 + 32);
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
}

JisPair jisOfSjis(uint8_t s1, uint8_t s2) {
    int j1 = s1 < 160 ? 2 * (s1 - 112) : 2 * (s1 - 176);
    if (s2 <= 158) --j1;
    int j2 = s2 > 158 ? s2 - 126 : (s2 >= 128 ? s2 - 32 : s2 - 31);
    return {static_cast<uint8_t>(j1), static_cast<uint8_t>(j2)};
}

// ==== Half-width katakana ====

// JIS X 0208 cells of the half-width bytes 0xA1-0xDF, indexed by byte & 0x7F - 33.
constexpr uint8_t kanaCells[63] = {
    0x23, 0x56, 0x57, 0x22, 0x26, 0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67, 0x43, 0x3C,
    0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39, 0x3B, 0x3D, 0x3F,
    0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x52, 0x55, 0x58, 0x5B, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x64, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F, 0x73, 0x2B, 0x2C,
};

// The full-width character of a half-width kana; a voiced or semi-voiced sign
// that follows merges into it where the full-width set has the combination,
// and then `merged` is set so the caller consumes the sign.
JisPair fullWidthKana(uint8_t kana, uint8_t nextByte, bool& merged) {
    int index = kana & 0x7F;
    bool punctuation = index <= 37 || index == 48 || index >= 94;  // 。「」、・ ー ゛゜
    JisPair pair{static_cast<uint8_t>(punctuation ? 0x21 : 0x25), kanaCells[index - 33]};
    bool ka_to = between(index, 54, 68), ha_ho = between(index, 74, 78);  // カ..ト, ハ..ホ
    merged = true;
    if (nextByte == voicedSign && index == 51) pair.cell = 0x74;  // ウ -> ヴ
    else if (nextByte == voicedSign && (ka_to || ha_ho)) pair.cell += 1;
    else if (nextByte == semiVoicedSign && ha_ho) pair.cell += 2;
    else merged = false;
    return pair;
}

// ==== JIS writer ====

// Output of EucToJis and SjisToJis: escapes are written only when the mode
// changes; the end of the text leaves the mode as it is.
class JisWriter {
public:
    void single(uint8_t byte) {
        if (twoByte_) out_ += leaveTwoByte;
        twoByte_ = false;
        out_ += static_cast<char>(byte);
    }
    void pair(JisPair jis) {
        if (!twoByte_) out_ += enterTwoByte;
        twoByte_ = true;
        out_ += static_cast<char>(jis.row);
        out_ += static_cast<char>(jis.cell);
    }
    // A stray high byte with no character behind it, kept as it stands.
    void stray(uint8_t byte) { out_ += static_cast<char>(byte); }
    AnsiString result() { return out_; }

private:
    AnsiString out_;
    bool twoByte_ = false;
};

// ==== JIS reader ====

// Walks JIS text: escapes switch two-byte mode and are dropped; in two-byte
// mode `twoByte(out, text, i)` handles the bytes at i and returns how many it
// took; every other byte is copied.
template <class TwoByte>
AnsiString readJis(const AnsiString& text, TwoByte twoByte) {
    AnsiString out;
    size_t n = text.length();
    bool inTwoByte = false;
    for (size_t i = 0; i < n;) {
        uint8_t c = text.byte(i);
        if (c == ESC) {
            if (i + 1 < n && text[i + 1] == '$') inTwoByte = true;
            else if (i + 1 < n && text[i + 1] == '(') inTwoByte = false;
            i += 3;
        } else if (inTwoByte) {
            i += twoByte(out, text, i);
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

}  // namespace

// ==== Detection ====

int DetectJapaneseCode(const AnsiString& text) {
    size_t n = text.length();
    for (size_t i = 0; i < 512 && i + 1 < n; ++i)
        if (isBinaryByte(text.byte(i))) return jcBinary;

    int result = jcASCII;
    size_t i = 0;
    while ((result == jcASCII || result == jcEUCOrSJIS) && i + 1 < n) {
        uint8_t a = text.byte(i), b = text.byte(i + 1);
        if (isBinaryByte(a)) {
            result = jcBinary;
        } else if (a == ESC) {
            if (b != '$') {
                i += 2;
                continue;
            }
            if (i + 2 < n && text[i + 2] == 'B') result = jcJISNew;
            else if (i + 2 < n && text[i + 2] == '@') result = jcJISOld;
            i += 3;
        } else if (a < 0x80 || a == 0x80 || a == 0xA0) {
            ++i;
        } else if (between(a, 0x81, 0x8D) || between(a, 0x8F, 0x9F)) {
            result = jcSJIS;
            ++i;
        } else if (a == ss2) {
            if (between(b, 0x40, 0x7E) || between(b, 0x80, 0xA0) || between(b, 0xE0, 0xFC)) result = jcSJIS;
            else if (between(b, 0xA1, 0xDF)) result = jcEUCOrSJIS;
            i += 2;
        } else if (between(a, 0xF0, 0xFE)) {
            result = jcEUC;
            ++i;
        } else if (between(a, 0xE0, 0xEF)) {
            if (between(b, 0x40, 0x7E) || between(b, 0x80, 0xA0)) result = jcSJIS;
            else if (b == 0xFD || b == 0xFE) result = jcEUC;
            else if (between(b, 0xA1, 0xFC)) result = jcEUCOrSJIS;
            i += 2;
        } else {  // 0xA1-0xDF: a half-width kana of Shift-JIS or an EUC-JP lead byte
            if (between(b, 0xF0, 0xFE)) {
                result = jcEUC;
            } else if (between(b, 0xA1, 0xDF)) {
                result = jcEUCOrSJIS;
            } else if (b <= 0x9F) {
                result = jcSJIS;
            } else if (between(b, 0xE0, 0xEF)) {
                // Both readings stay possible; the following high bytes decide.
                result = jcEUCOrSJIS;
                size_t j = i + 1;
                for (; j < n && text.byte(j) > 0x3F && result == jcEUCOrSJIS; ++j) {
                    uint8_t c = text.byte(j);
                    if (between(c, 0x81, 0x8D) || between(c, 0x8F, 0x9C)) result = jcSJIS;
                    else if (c == 0xFD || c == 0xFE) result = jcEUC;
                }
                i = j;
                continue;
            }
            i += 2;
        }
    }
    return result;
}

AnsiString ConvertJapaneseCode(const AnsiString& text, int target) {
    int code = DetectJapaneseCode(text);
    if (code == jcASCII || code == jcBinary || code == jcEUCOrSJIS || code == target) return text;
    bool fromJis = code == jcJISNew || code == jcJISOld;
    switch (target) {
    case jcJISNew:
        if (code == jcEUC) return EucToJis(text);
        if (code == jcSJIS) return SjisToJis(text);
        return text;
    case jcEUC:
        return fromJis ? JisToEuc(text) : SjisToEuc(text);
    case jcSJIS:
        return fromJis ? JisToSjis(text) : EucToSjis(text);
    default:
        return text;
    }
}

// ==== Conversions ====

AnsiString JisToEuc(const AnsiString& text) {
    return readJis(text, [](AnsiString& out, const AnsiString& s, size_t i) -> size_t {
        uint8_t c = s.byte(i);
        out += static_cast<char>(isJisByte(c) ? c | 0x80 : c);
        return 1;
    });
}

AnsiString JisToSjis(const AnsiString& text) {
    return readJis(text, [](AnsiString& out, const AnsiString& s, size_t i) -> size_t {
        if (i + 1 < s.length() && isJisByte(s.byte(i)) && isJisByte(s.byte(i + 1))) {
            appendSjisOfJis(out, {s.byte(i), s.byte(i + 1)});
            return 2;
        }
        out += s[i];
        return 1;
    });
}

AnsiString EucToJis(const AnsiString& text) {
    JisWriter jis;
    size_t n = text.length();
    for (size_t i = 0; i < n;) {
        uint8_t c = text.byte(i);
        uint8_t next = i + 1 < n ? text.byte(i + 1) : 0;
        if (c < 0x80) {
            jis.single(c);
            ++i;
        } else if (c == ss2 && isHalfWidthKana(next)) {
            uint8_t sign = i + 3 < n && text.byte(i + 2) == ss2 ? text.byte(i + 3) : 0;
            bool merged;
            jis.pair(fullWidthKana(next, sign, merged));
            i += merged ? 4 : 2;
        } else if (isEucByte(c) && isEucByte(next)) {
            jis.pair({static_cast<uint8_t>(c & 0x7F), static_cast<uint8_t>(next & 0x7F)});
            i += 2;
        } else {
            jis.stray(c);
            ++i;
        }
    }
    return jis.result();
}

AnsiString SjisToJis(const AnsiString& text) {
    JisWriter jis;
    size_t n = text.length();
    for (size_t i = 0; i < n;) {
        uint8_t c = text.byte(i);
        uint8_t next = i + 1 < n ? text.byte(i + 1) : 0;
        if (c < 0x80) {
            jis.single(c);
            ++i;
        } else if (isHalfWidthKana(c)) {
            bool merged;
            jis.pair(fullWidthKana(c, next, merged));
            i += merged ? 2 : 1;
        } else if (isSjisLead(c) && isSjisTrail(next)) {
            jis.pair(jisOfSjis(c, next));
            i += 2;
        } else {
            jis.stray(c);
            ++i;
        }
    }
    return jis.result();
}

AnsiString EucToSjis(const AnsiString& text) {
    AnsiString out;
    size_t n = text.length();
    for (size_t i = 0; i < n;) {
        uint8_t c = text.byte(i);
        uint8_t next = i + 1 < n ? text.byte(i + 1) : 0;
        if (c == ss2 && isHalfWidthKana(next)) {
            out += static_cast<char>(next);
            i += 2;
        } else if (isEucByte(c) && isEucByte(next)) {
            appendSjisOfJis(out, {static_cast<uint8_t>(c & 0x7F), static_cast<uint8_t>(next & 0x7F)});
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

AnsiString SjisToEuc(const AnsiString& text) {
    AnsiString out;
    size_t n = text.length();
    for (size_t i = 0; i < n;) {
        uint8_t c = text.byte(i);
        uint8_t next = i + 1 < n ? text.byte(i + 1) : 0;
        if (isHalfWidthKana(c)) {
            out += static_cast<char>(ss2);
            out += static_cast<char>(c);
            ++i;
        } else if (isSjisLead(c) && isSjisTrail(next)) {
            JisPair jis = jisOfSjis(c, next);
            out += static_cast<char>(jis.row | 0x80);
            out += static_cast<char>(jis.cell | 0x80);
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}
