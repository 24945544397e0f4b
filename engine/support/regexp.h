// TJRegExp: one Perl-style regular expression (PCRE2) over code-page-932 text
// with the state of its last match, the global flag, replacement by template
// or callback, and splitting. Matching is by character, never inside a
// double-byte character; every position is a 0-based byte offset. Used by the
// RegExp and String script objects, the date parsers and the network clients.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "rtl/ansistring.h"

struct pcre2_real_code_8;
struct Utf8Mirror;
class TJRegExp;

using TJRegExpTexts = std::vector<AnsiString>;
// Gives the replacement of one match; the wrapper holds that match's state.
using TJRegExpReplacer = std::function<AnsiString(TJRegExp& regExp, const AnsiString& match)>;

class TJRegExp {
public:
    TJRegExp();
    explicit TJRegExp(const AnsiString& source);
    ~TJRegExp();
    TJRegExp(const TJRegExp&) = delete;
    TJRegExp& operator=(const TJRegExp&) = delete;

    // First match, and with Global every further one; the state describes the
    // last match found, the list (cleared first) receives every match text.
    // The result says whether there was a match; a pattern that the library
    // rejects never matches.
    bool Exec(const AnsiString& text, TJRegExpTexts* list = nullptr);
    bool Test(const AnsiString& text) { return Exec(text, nullptr); }
    // The text with its first match (every match with Global) replaced by the
    // expanded template ("$&", "$0", "$1", "${12}", "\" quotes the next
    // character) or, when given, by what the replacer returns. A result that
    // would grow past maxLength bytes raises std::length_error.
    AnsiString Replace(const AnsiString& text, const AnsiString& templ,
                       const TJRegExpReplacer& replacer = nullptr, size_t maxLength = SIZE_MAX);
    // The pieces between the matches; a negative limit keeps them all,
    // otherwise at most limit pieces are kept. False when the pattern fails
    // (a rejected pattern matches nowhere: the text is the one piece).
    bool Split(const AnsiString& text, TJRegExpTexts& pieces, int limit = -1);

    void Assign(const TJRegExp& other);
    void ClearMatch();

    const AnsiString& Source() const noexcept { return source_; }
    void SetSource(const AnsiString& source);
    bool IgnoreCase() const noexcept { return ignoreCase_; }
    void SetIgnoreCase(bool on);
    bool MultiLine() const noexcept { return multiLine_; }
    void SetMultiLine(bool on);
    bool Global() const noexcept { return global_; }
    void SetGlobal(bool on) noexcept { global_ = on; }
    const AnsiString& Input() const noexcept { return input_; }
    void SetInput(const AnsiString& text) { input_ = text; }

    int Index() const noexcept { return index_; }
    int LastIndex() const noexcept { return lastIndex_; }
    const AnsiString& LastMatch() const;
    AnsiString LeftContext() const;
    AnsiString RightContext() const;
    const AnsiString& LastParen() const;
    // Element 0 the whole match, then every group (empty when it took no part).
    const TJRegExpTexts& Groups() const;

private:
    class Search;
    using Code = std::shared_ptr<pcre2_real_code_8>;
    using Mirror = std::shared_ptr<const Utf8Mirror>;

    const Code& compiled();
    Mirror mirrorOf(const AnsiString& text);
    void recordMatch(const AnsiString& text, const Search& search);
    // Group n of the last match (n below the group count) as a view of the
    // matched text; empty when it took no part.
    std::string_view groupView(size_t n) const;
    // Appends the template expanded for the current match to out.
    void expandTemplate(const AnsiString& templ, AnsiString& out) const;

    AnsiString source_;
    bool ignoreCase_ = false;
    bool multiLine_ = false;
    bool global_ = false;
    Code code_;           // empty until compiled, and when the pattern is rejected
    bool stale_ = true;   // source or modifiers changed since code_ was made
    AnsiString mirrorText_;  // the text that mirror_ shows as UTF-8
    Mirror mirror_;

    AnsiString input_;
    int index_ = -1;
    int lastIndex_ = -1;
    AnsiString matched_;  // the text the match state refers to
    std::vector<int> bounds_;  // each group's start and end byte offset in it (-1: unset)
    // The groups' texts, cut from matched_ when first asked for: a global
    // replace records every match but needs no text of its own for any.
    mutable TJRegExpTexts groups_;
    mutable bool groupsCut_ = true;
};
