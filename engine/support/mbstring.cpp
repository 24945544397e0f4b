// Code-page-932 text helpers: character walking from a lead-byte table, the
// byte and character searches, the character operations and LCMapStringA.
#include "engine/support/mbstring.h"

#include <windows.h>

#include <array>
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

AnsiString trimText(std::string_view s) {
    size_t first = 0, last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
    return AnsiString(s.substr(first, last - first));
}

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

// Byte offset after at most `limit` bytes below 0x80 from byte offset i. Such
// bytes are one character each, so long single-byte runs are walked eight
// bytes at a time.
size_t skipAscii(std::string_view s, size_t i, size_t limit) {
    size_t end = limit < s.size() - i ? i + limit : s.size();
    for (uint64_t word; i + 8 <= end; i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < end && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

// Byte offset after count characters from byte offset i (the end at most).
size_t advanceChars(std::string_view s, size_t i, int count) {
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

// Byte offset of the 1-based character index; npos when index is below 1 or
// past the last character.
size_t charOffset(std::string_view s, int index) {
    if (index < 1) return std::string_view::npos;
    size_t i = advanceChars(s, 0, index - 1);
    return i < s.size() ? i : std::string_view::npos;
}

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

int MbcsLength(std::string_view s) {
    int count = 0;
    for (size_t i = 0; i < s.size(); i += mbcsCharWidth(s, i)) ++count;
    return count;
}

AnsiString MbcsCopy(std::string_view s, int index, int count) {
    if (count <= 0) return {};
    size_t from = charOffset(s, index < 1 ? 1 : index);
    if (from == std::string_view::npos) return {};
    return AnsiString(s.substr(from, advanceChars(s, from, count) - from));
}

AnsiString MbcsLeft(std::string_view s, int count) {
    return MbcsCopy(s, 1, count);
}

void MbcsInsert(std::string_view text, AnsiString& s, int index) {
    size_t at = charOffset(s.view(), index < 1 ? 1 : index);
    if (at != std::string_view::npos) replaceBytes(s, at, at, text);
}

void MbcsDelete(AnsiString& s, int index, int count) {
    if (count <= 0) return;
    size_t from = charOffset(s.view(), index);
    if (from != std::string_view::npos) replaceBytes(s, from, advanceChars(s.view(), from, count), "");
}

void MbcsReplaceAt(std::string_view text, AnsiString& s, int index) {
    size_t at = charOffset(s.view(), index);
    if (at != std::string_view::npos) replaceBytes(s, at, at + mbcsCharWidth(s.view(), at), text);
}

AnsiString MbcsSlice(std::string_view s, int start, int end) {
    int length = MbcsLength(s);
    start = slicePosition(start, length);
    if (start < 1) start = 1;
    end = slicePosition(end, length);
    return MbcsCopy(s, start, end - start);
}

// Replacing characters that end s puts text at the end; a start one past the
// last character appends; a start further out changes nothing.
void MbcsSplice(std::string_view text, AnsiString& s, int start, int end) {
    int length = MbcsLength(s.view());
    start = slicePosition(start, length);
    if (start < 1) start = 1;
    end = slicePosition(end, length);
    if (start > length + 1) return;
    size_t from = start > length ? s.length() : charOffset(s.view(), start);
    size_t to = end > start ? advanceChars(s.view(), from, end - start) : from;
    replaceBytes(s, from, to, text);
}

int MbcsPos(std::string_view sub, std::string_view s, int start) {
    if (sub.empty()) return 0;
    size_t i = 0;
    int c = 1;
    if (start >= 2) {
        i = charOffset(s, start);
        if (i == std::string_view::npos) return 0;
        c = start;
    }
    // A byte match inside a double-byte character is skipped: the search goes
    // on from the next character boundary.
    for (size_t at; (at = s.find(sub, i)) != std::string_view::npos;) {
        i = walkTo(s, i, at, c);
        if (i == at) return c;
    }
    return 0;
}

int MbcsLastPos(std::string_view sub, std::string_view s, int start) {
    if (sub.empty()) return 0;
    int found = 0;
    int c = 1;
    for (size_t i = 0; i < s.size() && (start <= 0 || c <= start); i += mbcsCharWidth(s, i), ++c) {
        if (s.substr(i).starts_with(sub)) found = c;
    }
    return found;
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
