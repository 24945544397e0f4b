// Code-page-932 text helpers: character walking from a lead-byte table, the
// byte and character searches, the character operations and LCMapStringA.
#include "engine/support/mbstring.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/support/utf8mirror.h"
#include "rtl/codepage.h"

// ==== Characters ====

bool mbcsIsLead(unsigned char byte) {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> lead{};
        for (int b = 0; b < 256; ++b) lead[b] = isLeadByte(static_cast<unsigned char>(b));
        return lead;
    }();
    return table[byte];
}

// Such bytes are one character each, so long runs are read eight bytes at a time.
size_t skipAscii(std::string_view s, size_t i, size_t limit) {
    size_t end = limit < s.size() - i ? i + limit : s.size();
    for (uint64_t word; i + 8 <= end; i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < end && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

size_t mbcsFindLastOf(std::string_view s, std::string_view bytes) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); i += mbcsCharWidth(s, i)) {
        if (mbcsCharWidth(s, i) == 1 && bytes.find(s[i]) != std::string_view::npos) found = i;
    }
    return found;
}

bool mbcsEndsWith(std::string_view s, char byte) {
    size_t last = mbcsFindLastOf(s, std::string_view(&byte, 1));
    return last != std::string_view::npos && last + 1 == s.size();
}

std::string_view trimView(std::string_view s) {
    size_t first = 0, last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
    return s.substr(first, last - first);
}

AnsiString trimText(std::string_view s) { return AnsiString(trimView(s)); }

AnsiString trimLeft(std::string_view s) {
    size_t first = 0;
    while (first < s.size() && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    return AnsiString(s.substr(first));
}

AnsiString trimRight(std::string_view s) {
    size_t last = s.size();
    while (last > 0 && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
    return AnsiString(s.substr(0, last));
}

namespace {

AnsiString mapAscii(std::string_view s, char from, char to, int shift) {
    AnsiString out(s);
    char* bytes = out.mutableData();
    for (size_t i = 0; i < s.size(); i += mbcsCharWidth(s, i)) {
        if (bytes[i] >= from && bytes[i] <= to) bytes[i] = static_cast<char>(bytes[i] + shift);
    }
    return out;
}

// Byte offset after count characters from byte offset i (the end at most);
// count is left with the characters the text was short of.
size_t walkChars(std::string_view s, size_t i, int& count) {
    while (count > 0 && i < s.size()) {
        size_t run = skipAscii(s, i, static_cast<size_t>(count)) - i;
        i += run;
        count -= static_cast<int>(run);
        if (count > 0 && i < s.size()) {
            i += mbcsCharWidth(s, i);
            --count;
        }
    }
    return i;
}

size_t advanceChars(std::string_view s, size_t i, int count) { return walkChars(s, i, count); }

// Walks from byte offset i (character number c) towards byte offset target,
// counting characters; stops at the first character boundary at or past it.
size_t walkTo(std::string_view s, size_t i, size_t target, int& c) {
    while (i < target) {
        size_t run = skipAscii(s, i, target - i) - i;
        i += run;
        c += static_cast<int>(run);
        if (i < target) {
            i += mbcsCharWidth(s, i);
            ++c;
        }
    }
    return i;
}

// ==== Character boundaries ====
//
// A text remembers the last boundary a lookup reached (AnsiString::CharIndex),
// so that a run of lookups over one text walks only the distance between them.

// Character number `chars` (from 0) begins at byte offset `bytes`.
struct Boundary {
    size_t chars = 0;
    size_t bytes = 0;
};

// Character number `chars`, or the end of s when it has fewer, forward from a
// boundary at or before it.
Boundary forwardToChar(std::string_view s, Boundary from, size_t chars) {
    int count = static_cast<int>(std::min<size_t>(chars - from.chars, INT_MAX));
    int left = count;
    size_t i = walkChars(s, from.bytes, left);
    return {from.chars + static_cast<size_t>(count - left), i};
}

// The first boundary at or past byte offset target, forward from `from`.
Boundary forwardToByte(std::string_view s, Boundary from, size_t target) {
    int c = static_cast<int>(from.chars);
    size_t i = walkTo(s, from.bytes, target, c);
    return {static_cast<size_t>(c), i};
}

// The nearest boundary before `from` (which is past the start). A byte that
// cannot lead ends a character, so the offset after it is a boundary; the
// characters between there and `from` are counted forward.
Boundary boundaryBefore(std::string_view s, Boundary from) {
    size_t i = from.bytes - 1;
    while (i > 0 && mbcsIsLead(static_cast<unsigned char>(s[i - 1]))) --i;
    int c = 0;
    walkTo(s, i, from.bytes, c);
    return {from.chars - static_cast<size_t>(c), i};
}

// The boundary Forward reaches for target (a character number or a byte
// offset, the Field of a boundary), walking from the remembered boundary when
// that is not past target, else from the start or from a boundary found
// backwards, whichever is nearer; the text remembers it.
template <size_t Boundary::*Field, Boundary (*Forward)(std::string_view, Boundary, size_t)>
Boundary seek(const AnsiString& text, size_t target) {
    std::string_view s = text.view();
    AnsiString::CharIndex index = text.charIndex();
    Boundary from{index.markChars, index.markBytes};
    if (from.*Field > target && target < from.*Field - target) from = {};
    while (from.*Field > target) from = boundaryBefore(s, from);
    Boundary found = Forward(s, from, target);
    text.setCharIndex({static_cast<uint32_t>(found.chars), static_cast<uint32_t>(found.bytes), index.count});
    return found;
}

// The boundary of character number `chars`, or the end when the text has fewer.
Boundary seekChar(const AnsiString& text, size_t chars) { return seek<&Boundary::chars, forwardToChar>(text, chars); }
// The first boundary at or past byte offset target.
Boundary seekByte(const AnsiString& text, size_t target) { return seek<&Boundary::bytes, forwardToByte>(text, target); }

// Byte offset of the 1-based character index; npos when index is below 1 or
// past the last character.
size_t charOffset(const AnsiString& s, int index) {
    if (index < 1) return std::string_view::npos;
    size_t i = seekChar(s, static_cast<size_t>(index) - 1).bytes;
    return i < s.length() ? i : std::string_view::npos;
}

void replaceBytes(AnsiString& s, size_t from, size_t to, std::string_view text) {
    std::string_view whole = s.view();
    AnsiString out(whole.substr(0, from));
    out += text;
    out += whole.substr(to);
    s = std::move(out);
}

// Resolves a slice position: <= 0 counts from the end.
int slicePosition(int position, int length) {
    return position <= 0 ? position + length : position;
}

}  // namespace

AnsiString lowerCaseAscii(std::string_view s) {
    return mapAscii(s, 'A', 'Z', 'a' - 'A');
}

AnsiString upperCaseAscii(std::string_view s) {
    return mapAscii(s, 'a', 'z', 'A' - 'a');
}

// ==== Byte search ====

int PosFrom(std::string_view sub, std::string_view s, int start) {
    size_t from = start < 2 ? 0 : static_cast<size_t>(start) - 1;
    if (sub.empty() || from >= s.size()) return 0;
    size_t at = s.find(sub, from);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

int LastPosFrom(std::string_view sub, std::string_view s, int start) {
    if (sub.empty() || sub.size() > s.size()) return 0;
    size_t from = s.size() - sub.size();
    if (start > 0 && static_cast<size_t>(start) - 1 < from) from = static_cast<size_t>(start) - 1;
    size_t at = s.rfind(sub, from);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

// ==== Character operations ====

// The count is remembered with the text's boundary, which moves to the last
// character: a text that grows is counted again from there.
int MbcsLength(const AnsiString& text) {
    AnsiString::CharIndex index = text.charIndex();
    if (index.count == 0 && !text.empty()) {
        int c = static_cast<int>(index.markChars);
        walkTo(text.view(), index.markBytes, text.length(), c);
        Boundary last = boundaryBefore(text.view(), {static_cast<size_t>(c), text.length()});
        if (last.bytes < index.markBytes) last = {index.markChars, index.markBytes};
        text.setCharIndex({static_cast<uint32_t>(last.chars), static_cast<uint32_t>(last.bytes),
                           static_cast<uint32_t>(c)});
        return c;
    }
    return static_cast<int>(index.count);
}

AnsiString MbcsCopy(const AnsiString& s, int index, int count) {
    if (count <= 0) return {};
    size_t from = charOffset(s, index < 1 ? 1 : index);
    if (from == std::string_view::npos) return {};
    return AnsiString(s.view().substr(from, advanceChars(s.view(), from, count) - from));
}

AnsiString MbcsLeft(const AnsiString& s, int count) {
    return MbcsCopy(s, 1, count);
}

void MbcsInsert(std::string_view text, AnsiString& s, int index) {
    size_t at = charOffset(s, index < 1 ? 1 : index);
    if (at != std::string_view::npos) replaceBytes(s, at, at, text);
}

void MbcsDelete(AnsiString& s, int index, int count) {
    if (count <= 0) return;
    size_t from = charOffset(s, index);
    if (from != std::string_view::npos) replaceBytes(s, from, advanceChars(s.view(), from, count), "");
}

void MbcsReplaceAt(std::string_view text, AnsiString& s, int index) {
    size_t at = charOffset(s, index);
    if (at != std::string_view::npos) replaceBytes(s, at, at + mbcsCharWidth(s.view(), at), text);
}

AnsiString MbcsSlice(const AnsiString& s, int start, int end) {
    int length = MbcsLength(s);
    start = slicePosition(start, length);
    if (start < 1) start = 1;
    end = slicePosition(end, length);
    return MbcsCopy(s, start, end - start);
}

// Replacing characters that end s puts text at the end; a start one past the
// last character appends; a start further out changes nothing.
void MbcsSplice(std::string_view text, AnsiString& s, int start, int end) {
    int length = MbcsLength(s);
    start = slicePosition(start, length);
    if (start < 1) start = 1;
    end = slicePosition(end, length);
    if (start > length + 1) return;
    size_t from = start > length ? s.length() : charOffset(s, start);
    size_t to = end > start ? advanceChars(s.view(), from, end - start) : from;
    replaceBytes(s, from, to, text);
}

// A byte match inside a double-byte character is passed over: the search goes
// on from the next character boundary.
int MbcsPos(std::string_view sub, const AnsiString& s, int start) {
    if (sub.empty()) return 0;
    size_t from = 0;
    if (start >= 2) {
        from = charOffset(s, start);
        if (from == std::string_view::npos) return 0;
    }
    for (size_t at; (at = s.view().find(sub, from)) != std::string_view::npos;) {
        Boundary found = seekByte(s, at);
        if (found.bytes == at) return static_cast<int>(found.chars) + 1;
        from = found.bytes;
    }
    return 0;
}

int MbcsLastPos(std::string_view sub, const AnsiString& s, int start) {
    if (sub.empty() || sub.size() > s.length()) return 0;
    size_t from = s.length() - sub.size();
    if (start > 0) from = std::min(from, seekChar(s, static_cast<size_t>(start) - 1).bytes);
    for (size_t at = s.view().rfind(sub, from); at != std::string_view::npos;
         at = at > 0 ? s.view().rfind(sub, at - 1) : std::string_view::npos) {
        Boundary found = seekByte(s, at);
        if (found.bytes == at) return static_cast<int>(found.chars) + 1;
    }
    return 0;
}

AnsiString MbcsReverse(std::string_view s) {
    AnsiString out;
    out.setLength(s.size());
    char* bytes = out.mutableData();
    size_t end = s.size();
    for (size_t i = 0; i < s.size();) {
        size_t width = mbcsCharWidth(s, i);
        end -= width;
        s.copy(bytes + end, width, i);
        i += width;
    }
    return out;
}

// ==== Width and kana ====

AnsiString mapUnicodeRuns(std::string_view s, const std::function<AnsiString(std::string_view)>& map) {
    AnsiString out;
    size_t runStart = 0;
    auto flushRun = [&](size_t end) {
        if (end > runStart) out += map(s.substr(runStart, end - runStart));
    };
    for (size_t i = 0; i < s.size();) {
        Cp932Char c = cp932CharAt(s, i);
        if (!c.hasUnicode()) {
            flushRun(i);
            out.append(s.data() + i, c.width);
            runStart = i + c.width;
        }
        i += c.width;
    }
    flushRun(s.size());
    return out;
}

namespace {

AnsiString lcMapRun(std::string_view run, unsigned long flags) {
    std::string source(run);
    std::vector<char> buffer(source.size() * 2 + 1);
    int n = LCMapStringA(LOCALE_USER_DEFAULT, flags, source.c_str(), static_cast<int>(source.size()) + 1,
                         buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) return {};
    return AnsiString(buffer.data());
}

}  // namespace

AnsiString LCMapText(std::string_view s, unsigned long flags) {
    return mapUnicodeRuns(s.substr(0, s.find('\0')), [flags](std::string_view run) { return lcMapRun(run, flags); });
}

AnsiString ToFullWidth(std::string_view s) {
    return LCMapText(s, LCMAP_FULLWIDTH);
}

AnsiString ToHalfWidth(std::string_view s) {
    return LCMapText(s, LCMAP_HALFWIDTH);
}

AnsiString ToHiragana(std::string_view s) {
    return LCMapText(s, LCMAP_HIRAGANA);
}

AnsiString ToKatakana(std::string_view s) {
    return LCMapText(s, LCMAP_KATAKANA);
}
