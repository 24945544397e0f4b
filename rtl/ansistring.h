// AnsiString: the reference-counted byte string that carries all text of the
// system (code page 932 bytes). Copies share the bytes; a write makes its own
// copy first. Every other module of rtl/, engine/ and up stands on it.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class AnsiString {
public:
    AnsiString() noexcept = default;
    AnsiString(const char* text) : AnsiString(text, text ? std::strlen(text) : 0) {}
    AnsiString(const char* bytes, size_t length);
    AnsiString(std::string_view bytes) : AnsiString(bytes.data(), bytes.size()) {}
    AnsiString(size_t count, char byte);
    AnsiString(const AnsiString& other) noexcept : rep_(other.rep_) { retain(); }
    AnsiString(AnsiString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    ~AnsiString() { release(); }

    AnsiString& operator=(const AnsiString& other) noexcept {
        if (rep_ != other.rep_) {
            release();
            rep_ = other.rep_;
            retain();
        }
        return *this;
    }
    AnsiString& operator=(AnsiString&& other) noexcept {
        if (this != &other) {
            release();
            rep_ = other.rep_;
            other.rep_ = nullptr;
        }
        return *this;
    }

    size_t length() const noexcept { return rep_ ? rep_->length : 0; }
    bool empty() const noexcept { return length() == 0; }
    // Always NUL-terminated, "" when empty: safe to hand to the platform.
    const char* c_str() const noexcept { return rep_ ? rep_->bytes : ""; }
    const char* data() const noexcept { return c_str(); }
    std::string_view view() const noexcept { return {c_str(), length()}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const noexcept { return view(); }

    char operator[](size_t index) const noexcept { return rep_->bytes[index]; }
    unsigned char byte(size_t index) const noexcept { return static_cast<unsigned char>(rep_->bytes[index]); }

    // A writable pointer to the bytes, unshared first, for writing before the
    // string is next used (the character index is forgotten here).
    char* mutableData();
    // The bytes for outside code that may write them at any later time, as a
    // native call's text buffer: shared as they stand, and from now on they
    // keep no character index.
    char* lendData() noexcept;
    void setLength(size_t length);  // keeps the leading bytes, new ones are 0
    // Room for capacity bytes without another allocation (a text that will grow).
    void reserve(size_t capacity) { reserveUnshared(capacity); }
    void clear() noexcept { release(); rep_ = nullptr; }

    AnsiString& operator+=(std::string_view tail) { append(tail.data(), tail.size()); return *this; }
    AnsiString& operator+=(const AnsiString& tail) { append(tail.c_str(), tail.length()); return *this; }
    AnsiString& operator+=(const char* tail) { return *this += std::string_view(tail); }
    AnsiString& operator+=(char byte) { append(&byte, 1); return *this; }
    void append(const char* bytes, size_t length);

    AnsiString substr(size_t pos, size_t count = std::string_view::npos) const;
    size_t find(std::string_view needle, size_t from = 0) const noexcept { return view().find(needle, from); }
    size_t find(char byte, size_t from = 0) const noexcept { return view().find(byte, from); }
    bool startsWith(std::string_view head) const noexcept { return view().starts_with(head); }
    bool endsWith(std::string_view tail) const noexcept { return view().ends_with(tail); }

    // What the character walkers (engine/support/mbstring) learnt of these
    // bytes: one character boundary and the number of characters. It is kept
    // with the shared bytes, so every copy finds it, and is forgotten by every
    // write to them.
    struct CharIndex {
        uint32_t markChars = 0;  // the character numbered markChars (from 0) begins at byte markBytes
        uint32_t markBytes = 0;
        uint32_t count = 0;  // characters in all; 0 when not known
    };
    CharIndex charIndex() const noexcept { return rep_ && !rep_->lent ? rep_->index : CharIndex{}; }
    // Not kept for the empty string, lent bytes or more than 4 GB.
    void setCharIndex(const CharIndex& index) const noexcept {
        if (rep_ && !rep_->lent && rep_->length <= UINT32_MAX) rep_->index = index;
    }

    // True when both share one buffer (a copy that has not been written to).
    bool sharesWith(const AnsiString& other) const noexcept { return rep_ && rep_ == other.rep_; }

    friend bool operator==(const AnsiString& a, const AnsiString& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const AnsiString& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const AnsiString& a, const char* b) noexcept { return a.view() == std::string_view(b); }
    friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) noexcept { return a.view() <=> b.view(); }

    friend AnsiString operator+(const AnsiString& a, std::string_view b);
    friend AnsiString operator+(const AnsiString& a, const AnsiString& b) { return a + b.view(); }
    friend AnsiString operator+(const AnsiString& a, const char* b) { return a + std::string_view(b); }
    friend AnsiString operator+(std::string_view a, const AnsiString& b);
    friend AnsiString operator+(const char* a, const AnsiString& b) { return std::string_view(a) + b; }

private:
    struct Rep {
        int refs;
        CharIndex index;
        size_t length;
        size_t capacity;
        bool lent;  // by lendData
        char bytes[1];
    };
    static Rep* allocate(size_t capacity);
    void retain() noexcept { if (rep_) ++rep_->refs; }
    // Inline, as values holding no text release one on every copy and end.
    void release() noexcept {
        if (rep_ && --rep_->refs == 0) dispose(rep_);
    }
    static void dispose(Rep* rep) noexcept;
    void reserveUnshared(size_t capacity);

    Rep* rep_ = nullptr;
};
