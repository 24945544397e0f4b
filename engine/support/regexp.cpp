// TJRegExp: compiling through PCRE2 in UTF mode on a UTF-8 mirror of the
// code-page-932 text, the match loops of Exec, Replace and Split, and the
// expansion of substitution templates. Offsets from the library are mapped
// back to byte offsets of the original text before anything is recorded.
#include "engine/support/regexp.h"

#include <pcre2.h>

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

#include "engine/support/utf8mirror.h"
#include "rtl/codepage.h"

// ==== One run of searches over one text ====

// Keeps the compiled expression and the text's mirror alive for the whole run,
// even when a replacer changes or re-runs the wrapper meanwhile.
class TJRegExp::Search {
public:
    Search(Code code, Mirror mirror)
        : code_(std::move(code)), mirror_(std::move(mirror)),
          data_(pcre2_match_data_create_from_pattern(code_.get(), nullptr), pcre2_match_data_free) {
        if (!data_) throw std::bad_alloc();
    }

    // Looks for a match starting at or after the UTF-8 offset. False when there
    // is none or the library gives up (failed() then tells which).
    bool find(size_t from) {
        const std::string& subject = mirror_->utf8;
        if (from > subject.size()) return false;
        int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from,
                             PCRE2_NO_UTF_CHECK, data_.get(), nullptr);
        failed_ = rc < 0 && rc != PCRE2_ERROR_NOMATCH;
        return rc > 0;
    }
    bool failed() const noexcept { return failed_; }

    int groupCount() const { return static_cast<int>(pcre2_get_ovector_count(data_.get())); }
    // Byte offsets of group i (0: the whole match) in the original text; -1 when unset.
    int start(int i) const { return ansiOffset(pcre2_get_ovector_pointer(data_.get())[2 * i]); }
    int end(int i) const { return ansiOffset(pcre2_get_ovector_pointer(data_.get())[2 * i + 1]); }

    // Where the search after the current match begins: at its end, or one
    // character further when it was empty (CR LF counting as one character).
    size_t next() const {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_.get());
        size_t at = ovector[1];
        if (ovector[0] != at) return at;
        const std::string& s = mirror_->utf8;
        if (at >= s.size()) return at + 1;
        if (s[at] == '\r' && at + 1 < s.size() && s[at + 1] == '\n') return at + 2;
        ++at;
        while (at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) ++at;
        return at;
    }

private:
    int ansiOffset(PCRE2_SIZE utf8Offset) const {
        return utf8Offset == PCRE2_UNSET ? -1 : static_cast<int>(mirror_->ansiAt(utf8Offset));
    }

    Code code_;
    Mirror mirror_;
    std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> data_;
    bool failed_ = false;
};

// ==== Set-up and state ====

TJRegExp::TJRegExp() = default;

TJRegExp::TJRegExp(const AnsiString& source) : source_(source) {}

TJRegExp::~TJRegExp() = default;

void TJRegExp::SetSource(const AnsiString& source) {
    if (source == source_) return;
    source_ = source;
    stale_ = true;
}

void TJRegExp::SetIgnoreCase(bool on) {
    if (on == ignoreCase_) return;
    ignoreCase_ = on;
    stale_ = true;
}

void TJRegExp::SetMultiLine(bool on) {
    if (on == multiLine_) return;
    multiLine_ = on;
    stale_ = true;
}

void TJRegExp::ClearMatch() {
    index_ = -1;
    lastIndex_ = -1;
    matched_.clear();
    bounds_.clear();
    groups_.clear();
    groupsCut_ = true;
}

void TJRegExp::Assign(const TJRegExp& other) {
    if (&other == this) return;
    source_ = other.source_;
    ignoreCase_ = other.ignoreCase_;
    multiLine_ = other.multiLine_;
    global_ = other.global_;
    code_ = other.code_;  // compiled code is read-only and can be shared
    stale_ = other.stale_;
    mirrorText_ = other.mirrorText_;
    mirror_ = other.mirror_;
    input_ = other.input_;
    index_ = other.index_;
    lastIndex_ = other.lastIndex_;
    matched_ = other.matched_;
    bounds_ = other.bounds_;
    groups_ = other.groups_;
    groupsCut_ = other.groupsCut_;
}

// The expression compiled for the current source and modifiers: "." matches
// line breaks, CR, LF and CR LF end lines, repetition is greedy. Empty when
// the library rejects the pattern.
const TJRegExp::Code& TJRegExp::compiled() {
    if (!stale_) return code_;
    stale_ = false;
    code_.reset();
    static pcre2_compile_context* const context = [] {
        pcre2_compile_context* c = pcre2_compile_context_create(nullptr);
        if (!c) throw std::bad_alloc();
        pcre2_set_newline(c, PCRE2_NEWLINE_ANYCRLF);
        return c;
    }();
    uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_NEVER_BACKSLASH_C | PCRE2_DOTALL;
    if (ignoreCase_) options |= PCRE2_CASELESS;
    if (multiLine_) options |= PCRE2_MULTILINE;
    std::string pattern = patternAsUtf8(source_);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                                     &error, &errorOffset, context);
    if (code) code_ = Code(code, pcre2_code_free);
    return code_;
}

// Converting a long text is the costly step: a text matched again (Exec then
// Replace, or the same input over and over) reuses its mirror.
TJRegExp::Mirror TJRegExp::mirrorOf(const AnsiString& text) {
    if (!mirror_ || !(text.sharesWith(mirrorText_) || text == mirrorText_)) {
        mirror_ = std::make_shared<const Utf8Mirror>(mirrorAsUtf8(text));
        mirrorText_ = text;
    }
    return mirror_;
}

void TJRegExp::recordMatch(const AnsiString& text, const Search& search) {
    int count = search.groupCount();
    bounds_.resize(2 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        bounds_[2 * i] = search.start(i);
        bounds_[2 * i + 1] = search.end(i);
    }
    index_ = bounds_[0];
    lastIndex_ = bounds_[1];
    matched_ = text;
    groups_.clear();
    groupsCut_ = false;
}

std::string_view TJRegExp::groupView(size_t n) const {
    int start = bounds_[2 * n];
    return start < 0 ? std::string_view() : matched_.view().substr(start, bounds_[2 * n + 1] - start);
}

const TJRegExpTexts& TJRegExp::Groups() const {
    if (!groupsCut_) {
        groupsCut_ = true;
        for (size_t n = 0; n < bounds_.size() / 2; ++n) groups_.push_back(AnsiString(groupView(n)));
    }
    return groups_;
}

const AnsiString& TJRegExp::LastMatch() const {
    static const AnsiString none;
    return Groups().empty() ? none : groups_[0];
}

const AnsiString& TJRegExp::LastParen() const {
    static const AnsiString none;
    return Groups().size() > 1 ? groups_.back() : none;
}

// The contexts are cut only when asked for: a global loop records every match
// and copying the rest of a long text each time would make it quadratic.
AnsiString TJRegExp::LeftContext() const {
    return index_ < 0 ? AnsiString() : matched_.substr(0, index_);
}

AnsiString TJRegExp::RightContext() const {
    return lastIndex_ < 0 ? AnsiString() : matched_.substr(lastIndex_);
}

// ==== Matching, replacing, splitting ====

bool TJRegExp::Exec(const AnsiString& text, TJRegExpTexts* list) {
    input_ = text;
    if (list) list->clear();
    Code code = compiled();
    if (!code) {
        ClearMatch();
        return false;
    }
    Search search(code, mirrorOf(text));
    if (!search.find(0)) {
        ClearMatch();
        return false;
    }
    do {
        recordMatch(text, search);
        if (list) list->push_back(AnsiString(groupView(0)));
    } while (global_ && search.find(search.next()));
    return true;
}

AnsiString TJRegExp::Replace(const AnsiString& text, const AnsiString& templ, const TJRegExpReplacer& replacer,
                             size_t maxLength) {
    input_ = text;
    Code code = compiled();
    if (!code) return text;
    Search search(code, mirrorOf(text));
    if (!search.find(0)) return text;
    // The result grows in place: the text's length is room for most replaces,
    // and a template expands straight into it, with no text per match.
    AnsiString result;
    result.reserve(std::min(text.length(), maxLength));
    auto checkLength = [&] {
        if (result.length() > maxLength) throw std::length_error("replaced text too long");
    };
    auto append = [&](std::string_view part) {
        if (part.size() > maxLength - result.length()) throw std::length_error("replaced text too long");
        result += part;
    };
    size_t copied = 0;  // bytes of text already passed on to the result
    do {
        append(text.view().substr(copied, search.start(0) - copied));
        recordMatch(text, search);
        if (replacer) append(replacer(*this, AnsiString(LastMatch())).view());
        else expandTemplate(templ, result);
        checkLength();
        copied = search.end(0);
    } while (global_ && search.find(search.next()));
    append(text.view().substr(copied));
    return result;
}

// An empty match splits nowhere at the start or the end of the text, nor right
// after the previous split: so "abc" split at the empty pattern gives a, b, c.
bool TJRegExp::Split(const AnsiString& text, TJRegExpTexts& pieces, int limit) {
    input_ = text;
    pieces.clear();
    size_t most = limit < 0 ? SIZE_MAX : static_cast<size_t>(limit);
    Code code = compiled();
    if (!code) {  // a pattern that never matches leaves the text whole
        if (most > 0) pieces.push_back(text);
        return false;
    }
    Search search(code, mirrorOf(text));
    size_t pieceStart = 0;
    size_t from = 0;
    while (pieces.size() < most && search.find(from)) {
        size_t start = search.start(0), end = search.end(0);
        bool emptyAtEdge = start == end && (start == pieceStart || start == text.length());
        if (!emptyAtEdge) {
            pieces.push_back(text.substr(pieceStart, start - pieceStart));
            pieceStart = end;
        }
        from = search.next();
    }
    if (pieces.size() < most) pieces.push_back(text.substr(pieceStart));
    return !search.failed();
}

// ==== Substitution templates ====

namespace {

// Reads a group reference after "$": "&", digits, or digits in braces. Gives
// the number of bytes it takes (0: not a reference) and the group in group.
size_t readGroupReference(std::string_view rest, size_t& group) {
    if (rest.empty()) return 0;
    if (rest[0] == '&') {
        group = 0;
        return 1;
    }
    bool braced = rest[0] == '{';
    size_t i = braced ? 1 : 0;
    size_t digits = i;
    group = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        group = std::min<size_t>(group * 10 + (rest[i] - '0'), INT_MAX);
        ++i;
    }
    if (i == digits) return 0;
    if (!braced) return i;
    return i < rest.size() && rest[i] == '}' ? i + 1 : 0;
}

}  // namespace

// Literal characters go over in runs, up to the next quote or reference.
void TJRegExp::expandTemplate(const AnsiString& templ, AnsiString& out) const {
    std::string_view t = templ.view();
    auto charWidth = [&](size_t at) {
        return at + 1 < t.size() && isLeadByte(static_cast<unsigned char>(t[at])) ? 2 : 1;
    };
    size_t literal = 0;  // where the run not yet appended begins
    for (size_t i = 0; i < t.size();) {
        if (t[i] == '\\' && i + 1 < t.size()) {
            out += t.substr(literal, i - literal);
            literal = i + 1;  // the quoted character begins the next run
            i += 1 + charWidth(i + 1);
            continue;
        }
        size_t group = 0;
        size_t used = t[i] == '$' ? readGroupReference(t.substr(i + 1), group) : 0;
        if (used) {
            out += t.substr(literal, i - literal);
            if (group < bounds_.size() / 2) out += groupView(group);
            i += 1 + used;
            literal = i;
            continue;
        }
        i += charWidth(i);
    }
    out += t.substr(literal);
}
