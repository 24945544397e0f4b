// The HTML tag parser.
#include "net/htmlparser.h"

#include <string>
#include <unordered_map>

#include "engine/support/mbstring.h"
#include "net/textutil.h"

namespace {

AnsiString replaceAll(std::string_view text, std::string_view what, std::string_view with, bool ignoreCase) {
    AnsiString lower = ignoreCase ? lowerCaseAscii(text) : AnsiString(text);
    AnsiString out;
    size_t from = 0;
    for (size_t at = lower.find(what); at != std::string_view::npos; at = lower.find(what, from)) {
        out += text.substr(from, at - from);
        out += with;
        from = at + what.size();
    }
    out += text.substr(from);
    return out;
}

AnsiString cleanWord(std::string_view word, bool lower) {
    AnsiString trimmed = trimText(word);
    return replaceAll(lower ? lowerCaseAscii(trimmed).view() : trimmed.view(), "&quot;", "\"", false);
}

using TAttributes = std::vector<std::pair<AnsiString, AnsiString>>;
// Where each name of a tag of many attributes stands in its list.
using TAttributePlaces = std::unordered_map<std::string, size_t>;

// A repeated name keeps its place and takes the last value. Past a few
// attributes the places are looked up in a table: a tag of very many costs
// no more than its length.
void setAttribute(TAttributes& attributes, TAttributePlaces& places, AnsiString name, AnsiString value) {
    constexpr size_t scanned = 8;
    if (attributes.size() < scanned) {
        for (auto& attribute : attributes) {
            if (attribute.first == name) {
                attribute.second = std::move(value);
                return;
            }
        }
    } else {
        if (places.empty())
            for (size_t i = 0; i < attributes.size(); ++i) places.emplace(attributes[i].first.str(), i);
        auto [at, added] = places.try_emplace(name.str(), attributes.size());
        if (!added) {
            attributes[at->second].second = std::move(value);
            return;
        }
    }
    attributes.emplace_back(std::move(name), std::move(value));
}

}  // namespace

// A reader with three states: the name, an attribute name, a value. A
// valueless attribute joins its name to the next one ("a b=1" stores "a b"),
// and one just before ">" is not stored.
THtmlTag::THtmlTag(std::string_view tagText) {
    AnsiString text = replaceAll(ControlsToSpaces(tagText).view(), "&amp;", "&", true);
    enum { inName, inAttribute, inValue } state = inName;
    AnsiString word, attribute;
    char closing = ' ';
    bool started = false;
    TAttributePlaces places;
    for (char c : text.view()) {
        if (c == '<' && state == inName) {
            word.clear();
            continue;
        }
        switch (state) {
        case inName:
            if (c == ' ' && word.empty()) break;
            if (c == ' ' || c == '>') {
                Name = cleanWord(word, true);
                word.clear();
                state = inAttribute;
            } else {
                word += c;
            }
            break;
        case inAttribute:
            if (c == ' ' && word.empty()) break;
            if (c == '=' || c == '>') {
                attribute = cleanWord(word, true);
                word.clear();
                started = false;
                closing = ' ';
                state = inValue;
            } else {
                word += c;
            }
            break;
        case inValue:
            if (!started) {
                if (c == ' ') break;
                started = true;
                if (c == '"' || c == '\'') {
                    closing = c;
                    break;
                }
            }
            if (c == closing || c == '>') {
                setAttribute(Attributes, places, attribute, cleanWord(word, false));
                word.clear();
                state = inAttribute;
            } else {
                word += c;
            }
            break;
        }
    }
}


AnsiString THtmlTag::GetAttribute(std::string_view name) const {
    AnsiString wanted = lowerCaseAscii(name);
    for (const auto& [key, value] : Attributes)
        if (key == wanted) return value;
    return {};
}

AnsiString THtmlTag::GetAttributeNames() const {
    AnsiString names;
    for (const auto& attribute : Attributes) names += attribute.first + "\r\n";
    return trimRight(names);
}

// Text between the tags is appended in runs; a "<" inside a tag starts the
// tag again, a ">" outside one is text.
void THtmlParser::Parse(std::string_view html) {
    Tags.clear();
    Text_.clear();
    constexpr size_t none = std::string_view::npos;
    size_t tagStart = none, textStart = 0;
    for (size_t i = html.find_first_of("<>"); i != none; i = html.find_first_of("<>", i + 1)) {
        if (html[i] == '<') {
            if (tagStart == none) Text_ += html.substr(textStart, i - textStart);
            tagStart = i;
        } else if (tagStart != none) {
            std::string_view tag = html.substr(tagStart, i + 1 - tagStart);
            if (tag.size() == 4 && lowerCaseAscii(tag) == "<br>") Text_ += "\r\n";
            else Tags.emplace_back(tag);
            tagStart = none;
            textStart = i + 1;
        }
    }
    if (tagStart == none) Text_ += html.substr(textStart);
}

const THtmlTag* THtmlParser::Items(int index) const {
    return index >= 0 && index < Count() ? &Tags[static_cast<size_t>(index)] : nullptr;
}
