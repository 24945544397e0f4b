// THtmlParser: a small, forgiving splitter of HTML text into its tags (a
// lower-case name and an attribute table each) and the text between them. It
// builds no document tree, pairs no tags and decodes only "&amp;" and
// "&quot;" inside tags. Behind the script classes "HtmlParser" and "HtmlTag".
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "engine/support/hashtable.h"

class THtmlTag {
public:
    // Parses the tag text, "<" to ">".
    explicit THtmlTag(std::string_view tagText);
    // Empty when absent; names in any case.
    AnsiString GetAttribute(const AnsiString& name) const { return Attributes.GetValue(name); }
    // The attribute names, CR LF between them.
    AnsiString GetAttributeNames() { return Attributes.GetKeyText(); }

    AnsiString Name;  // lower case; a closing tag keeps its "/" ("/a")
    TStringHashTable Attributes{53, true};
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
    // Nil outside the list.
    THtmlTag* Items(int index) const;
    const AnsiString& Text() const { return Text_; }

private:
    std::vector<std::unique_ptr<THtmlTag>> Tags;
    AnsiString Text_;
};
