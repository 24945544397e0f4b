// AnsiString: storage, sharing and copy-on-write of byte strings.
#include "rtl/ansistring.h"

#include <algorithm>

#include "rtl/smallheap.h"

AnsiString::Rep* AnsiString::allocate(size_t capacity) {
    auto* rep = static_cast<Rep*>(smallAllocate(sizeof(Rep) + capacity));
    rep->refs = 1;
    rep->length = 0;
    rep->capacity = capacity;
    rep->index = {};
    rep->lent = false;
    rep->bytes[0] = 0;
    return rep;
}

AnsiString::AnsiString(const char* bytes, size_t length) {
    if (length == 0) return;
    rep_ = allocate(length);
    std::memcpy(rep_->bytes, bytes, length);
    rep_->bytes[length] = 0;
    rep_->length = length;
}

AnsiString::AnsiString(size_t count, char byte) {
    if (count == 0) return;
    rep_ = allocate(count);
    std::memset(rep_->bytes, byte, count);
    rep_->bytes[count] = 0;
    rep_->length = count;
}

void AnsiString::dispose(Rep* rep) noexcept {
    smallRelease(rep);
}

// Makes rep_ an unshared buffer of at least the given capacity, for writing:
// every change of the bytes comes through here and forgets their index.
void AnsiString::reserveUnshared(size_t capacity) {
    if (rep_ && rep_->refs == 1 && rep_->capacity >= capacity) {
        rep_->index = {};
        return;
    }
    size_t grown = rep_ && rep_->refs == 1 ? rep_->capacity + rep_->capacity / 2 : 0;
    Rep* fresh = allocate(capacity > grown ? capacity : grown);
    // A shared string cut shorter copies only what the new buffer holds.
    size_t length = std::min(this->length(), fresh->capacity);
    if (length) std::memcpy(fresh->bytes, rep_->bytes, length);
    fresh->bytes[length] = 0;
    fresh->length = length;
    release();
    rep_ = fresh;
}

char* AnsiString::mutableData() {
    if (!rep_) return const_cast<char*>("");
    reserveUnshared(rep_->length);
    return rep_->bytes;
}

char* AnsiString::lendData() noexcept {
    if (!rep_) return const_cast<char*>("");
    rep_->lent = true;
    return rep_->bytes;
}

void AnsiString::setLength(size_t length) {
    if (length == 0) { clear(); return; }
    size_t old = this->length();
    reserveUnshared(length);
    if (length > old) std::memset(rep_->bytes + old, 0, length - old);
    rep_->length = length;
    rep_->bytes[length] = 0;
}

void AnsiString::append(const char* bytes, size_t length) {
    if (length == 0) return;
    size_t old = this->length();
    if (rep_ && bytes >= rep_->bytes && bytes < rep_->bytes + old) {
        // The tail lies in our own buffer, which growing may move.
        AnsiString tail(bytes, length);
        append(tail.c_str(), length);
        return;
    }
    CharIndex index = charIndex();
    reserveUnshared(old + length);
    std::memmove(rep_->bytes + old, bytes, length);
    rep_->length = old + length;
    rep_->bytes[old + length] = 0;
    // A boundary before the old end stays one (a character's width depends
    // only on its own bytes): a text grown piece by piece is counted from
    // there, not from its start.
    if (index.markBytes < old) setCharIndex({index.markChars, index.markBytes, 0});
}

AnsiString AnsiString::substr(size_t pos, size_t count) const {
    std::string_view whole = view();
    if (pos >= whole.size()) return {};
    if (pos == 0 && count >= whole.size()) return *this;
    return AnsiString(whole.substr(pos, count));
}

AnsiString operator+(const AnsiString& a, std::string_view b) {
    AnsiString result;
    result.reserveUnshared(a.length() + b.size());
    result.append(a.c_str(), a.length());
    result.append(b.data(), b.size());
    return result;
}

AnsiString operator+(std::string_view a, const AnsiString& b) {
    AnsiString result;
    result.reserveUnshared(a.size() + b.length());
    result.append(a.data(), a.size());
    result.append(b.c_str(), b.length());
    return result;
}
