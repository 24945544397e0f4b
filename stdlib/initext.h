// TIniText: an INI file held in memory for the script Ini object - sections
// in square brackets holding "name=value" lines, names compared without
// regard to ASCII case (double-byte characters compare whole), found by hash
// so that reading every key of a large file stays linear. Comment and other
// lines are kept in place and written back.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "rtl/ansistring.h"

class TIniText {
public:
    // Replaces the content by the text's sections and keys. Blanks around
    // names and values are dropped, and one pair of double quotes around a
    // value (the platform's INI reading).
    void SetText(std::string_view text);
    // One "[section]" line per section followed by its lines, a blank line
    // between sections. A value that would lose blanks or quotes on reading
    // is written in double quotes, so that every written value reads back.
    AnsiString Text() const;

    bool Read(std::string_view section, std::string_view name, AnsiString& value) const;
    // Whether the text can hold the entry so that it reads back as written:
    // no line break anywhere, no "]" in the section, and a name without "="
    // that starts with neither ";" nor "[" (a comment or a section line).
    static bool Holds(std::string_view section, std::string_view name, std::string_view value);
    void Write(std::string_view section, std::string_view name, const AnsiString& value);
    void DeleteKey(std::string_view section, std::string_view name);
    void EraseSection(std::string_view section);
    bool SectionExists(std::string_view section) const { return findSection(section) != nullptr; }
    std::vector<AnsiString> SectionNames() const;
    // The section's key names in stored order; none for a missing section.
    std::vector<AnsiString> KeyNames(std::string_view section) const;

private:
    struct Line {
        AnsiString Name;  // a line that is not a key: the whole line
        AnsiString Value;
        bool IsKey;
    };
    struct Section {
        AnsiString Name;
        std::vector<Line> Lines;
        std::unordered_map<std::string, size_t> Keys;  // folded name -> line
    };

    const Section* findSection(std::string_view name) const;
    Section& addSection(std::string_view name);
    static void indexKeys(Section& section);

    std::vector<AnsiString> Preamble_;  // lines before the first section
    std::vector<Section> Sections_;
    std::unordered_map<std::string, size_t> SectionIndex_;  // folded name -> section
};
