// THtmlParser: a small, forgiving splitter of HTML text into its tags (a
// lower-case name and an attribute table each) and the text between them. It
// builds no document tree, pairs no tags and decodes only "&amp;" and
// "&quot;" inside tags. Behind the script classes "HtmlParser" and "HtmlTag".
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "rtl/ansistring.h"

class THtmlTag {
public:
    // Parses the tag text, "<" to ">".
    explicit THtmlTag(std::string_view tagText);
    // Empty when absent; names in any case.
    AnsiString GetAttribute(std::string_view name) const;
    // The attribute names in the order of the tag, CR LF between them.
    AnsiString GetAttributeNames() const;

    AnsiString Name;  // lower case; a closing tag keeps its "/" ("/a")
    // Lower-case names with their values, in the order of the tag; a
    // repeated name keeps its place and takes the last value. A list, not a
    // table: a page holds many tags with few attributes each.
    std::vector<std::pair<AnsiString, AnsiString>> Attributes;
};

class THtmlParser {
public:
    THtmlParser() = default;
    explicit THtmlParser(std::string_view html) { Parse(html); }
    // Replaces the tags and the text. "<br>" adds CR LF to the text; a tag
    // still open at the end is dropped; entities in the text stay as they are.
    void Parse(std::string_view html);
    void Clear() { Tags.clear(); }
    int Count() const { return static_cast<int>(Tags.size()); }
    // Nil outside the list; valid until the next Parse or Clear.
    const THtmlTag* Items(int index) const;
    const AnsiString& Text() const { return Text_; }

private:
    std::vector<THtmlTag> Tags;
    AnsiString Text_;
};
