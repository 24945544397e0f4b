// The widget translator: element blocks with their fixed line orders, member
// lines by class (ignored, collected, quoted, handler, raw), and the widget's
// own rules (onload, onunload, helpfile, script).
#include "host/widget/widgetxml.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "rtl/filepath.h"
#include "rtl/codepage.h"

namespace {

// ==== Names ====

// Compared as written: the element names, which are never members.
const char* const kElementNames[] = {"widget", "window", "label", "image", "timer",
                                     "setting", "edit", "web", "menuItem"};
const char* const kControlNames[] = {"label", "image", "edit", "web", "menuItem"};
// Compared lower-cased.
const char* const kCollectedNames[] = {"main",   "defaultvalue", "visible", "autosize", "src",   "background",
                                       "onload", "onunload",     "script",  "width",    "height", "helpfile"};
const char* const kQuotedNames[] = {"transparentcolor", "coloralpha", "tooltip",  "fontname",    "fontstyle",
                                    "fontcolor",        "value",      "type",     "align",       "option",
                                    "description",      "category",   "directory", "filter", "transparentobject",
                                    "text"};

template <size_t N>
bool listed(const char* const (&names)[N], const AnsiString& name) {
    return std::any_of(std::begin(names), std::end(names), [&](const char* listedName) { return name == listedName; });
}

// Only ASCII letters change: the result is compared with ASCII names alone.
AnsiString asciiLower(const AnsiString& text) {
    std::string lower = text.str();
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return AnsiString(lower);
}

// ==== Values ====

AnsiString trimmed(const AnsiString& text) {
    size_t begin = 0, end = text.length();
    while (begin < end && text.byte(begin) <= ' ') ++begin;
    while (end > begin && text.byte(end - 1) <= ' ') --end;
    return text.substr(begin, end - begin);
}

// Handler and onload code: trimmed, and ended with ";" unless empty.
AnsiString statementCode(const AnsiString& value) {
    AnsiString code = trimmed(value);
    if (!code.empty() && !code.endsWith(";")) code += ';';
    return code;
}

// A double-quoted script string holding the value as written, so that the
// dialect's escapes widget files use (\n, \\) keep working. Only what would end
// the string early is mended: a double quote not already escaped (after an even
// run of back-slashes) gets a back-slash, and so does a value ending in an odd
// run. A double-byte character is copied whole (its second byte may be 0x5C,
// which is no back-slash), and a lead byte that ends the value is dropped,
// since it would take the closing quote with it.
AnsiString quoted(const AnsiString& value) {
    AnsiString text = "\"";
    size_t backSlashes = 0;  // the run of back-slashes just copied
    for (size_t i = 0; i < value.length(); ++i) {
        char c = value[i];
        if (isLeadByte(value.byte(i))) {
            if (i + 1 == value.length()) break;
            text += c;
            text += value[++i];
            backSlashes = 0;
            continue;
        }
        if (c == '"' && backSlashes % 2 == 0) text += '\\';
        backSlashes = c == '\\' ? backSlashes + 1 : 0;
        text += c;
    }
    if (backSlashes % 2 == 1) text += '\\';
    return text + "\"";
}

AnsiString joinLines(const std::vector<AnsiString>& lines) {
    AnsiString text;
    for (const AnsiString& line : lines) text += line + "\r\n";
    return text;
}

// ==== Members ====

struct Members {
    std::vector<AnsiString> lines;                // member lines in child order
    std::map<std::string, AnsiString> collected;  // lower-cased name -> first non-empty value

    bool has(const char* name) const { return collected.count(name) != 0; }
    AnsiString get(const char* name, const AnsiString& fallback = {}) const {
        auto found = collected.find(name);
        return found == collected.end() ? fallback : found->second;
    }
};

Members classifyMembers(TXmlElement element, const AnsiString& id) {
    Members members;
    for (TXmlElement child = element.firstChild(); child; child = child.nextSibling()) {
        AnsiString name = child.name();
        if (name == "id" || listed(kElementNames, name)) continue;
        AnsiString lower = asciiLower(name), value = child.value();
        if (listed(kCollectedNames, lower)) {
            if (!value.empty()) members.collected.emplace(lower.str(), value);  // keeps the first
        } else if (listed(kQuotedNames, lower)) {
            members.lines.push_back(id + "." + name + " = " + quoted(value) + ";");
        } else if (name.startsWith("on")) {
            members.lines.push_back(id + "." + name + " = function(){" + statementCode(value) + "};");
        } else {
            members.lines.push_back(id + "." + name + " = " + value + ";");
        }
    }
    return members;
}

// ==== Blocks ====

// The id of the element's parent when that parent is a window (any case) with
// an id child; false otherwise.
bool parentWindowId(TXmlElement element, AnsiString& windowId) {
    TXmlElement parent = element.parent();
    TXmlElement parentId = parent && asciiLower(parent.name()) == "window" ? parent.child("id") : TXmlElement();
    if (parentId) windowId = parentId.value();
    return static_cast<bool>(parentId);
}

void addRawLine(std::vector<AnsiString>& block, const Members& members, const char* collected, const AnsiString& id,
                const char* member) {
    if (members.has(collected)) block.push_back(id + "." + member + " = " + members.get(collected) + ";");
}

void addQuotedLine(std::vector<AnsiString>& block, const Members& members, const char* collected,
                   const AnsiString& id, const char* member) {
    if (members.has(collected)) block.push_back(id + "." + member + " = " + quoted(members.get(collected)) + ";");
}

void addMemberLines(std::vector<AnsiString>& block, const Members& members) {
    block.insert(block.end(), members.lines.begin(), members.lines.end());
}

std::vector<AnsiString> windowBlock(const AnsiString& id, const Members& members) {
    std::vector<AnsiString> block{id + " = new window(" + members.get("main", "true") + ");"};
    addRawLine(block, members, "autosize", id, "autoSize");
    addQuotedLine(block, members, "background", id, "background");
    addRawLine(block, members, "width", id, "width");
    addRawLine(block, members, "height", id, "height");
    addMemberLines(block, members);
    if (members.get("visible") != "false") block.push_back(id + ".visible = true;");
    block.push_back(id + ".loadProperties(" + quoted(id) + ");");
    return block;
}

std::vector<AnsiString> controlBlock(const AnsiString& kind, const AnsiString& id, const AnsiString& windowId,
                                     const Members& members) {
    std::vector<AnsiString> block{id + " = new " + kind + "(" + windowId + ");"};
    if (members.get("visible") == "false") block.push_back(id + ".visible = false;");
    addRawLine(block, members, "autosize", id, "autoSize");
    addRawLine(block, members, "width", id, "width");
    addRawLine(block, members, "height", id, "height");
    addMemberLines(block, members);
    addQuotedLine(block, members, "src", id, "src");
    return block;
}

}  // namespace

// ==== Translation ====

AnsiString TMyXMLParser::TranslateFile(const AnsiString& fileName) {
    fileName_ = fileName;
    onload_.clear();
    TXmlDocument document = TXmlDocument::fromFile(fileName);
    AnsiString text = WalkElement(document.root());
    return text + onload_;
}

// Every element's attributes become child elements appended after its own,
// then its block is emitted, then its children are walked: parents before
// children, in document order. The walk keeps its own stack (an element's
// children go on it in reverse, so the first comes out first) instead of
// recursing, so no nesting depth can overflow.
AnsiString TMyXMLParser::WalkElement(TXmlElement root) {
    AnsiString text;
    std::vector<TXmlElement> pending{root};
    while (!pending.empty()) {
        TXmlElement element = pending.back();
        pending.pop_back();
        int attributes = element.attributeCount();
        for (int i = 0; i < attributes; ++i) element.appendChild(element.attributeName(i), element.attributeValue(i));
        text += EmitElement(element);
        size_t first = pending.size();
        for (TXmlElement child = element.firstChild(); child; child = child.nextSibling()) pending.push_back(child);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
    }
    return text;
}

AnsiString TMyXMLParser::EmitElement(TXmlElement element) {
    AnsiString kind = element.name();
    if (!listed(kElementNames, kind)) return {};
    TXmlElement idChild = element.child("id");
    AnsiString id = idChild ? idChild.value() : AnsiString();
    if (kind == "widget") return emitWidget(element, id);
    AnsiString windowId;
    bool inWindow = parentWindowId(element, windowId);
    if (!idChild || (listed(kControlNames, kind) && !inWindow)) return {};
    Members members = classifyMembers(element, id);
    if (kind == "window") return joinLines(windowBlock(id, members));
    if (listed(kControlNames, kind)) return joinLines(controlBlock(kind, id, windowId, members));
    std::vector<AnsiString> block;
    if (kind == "timer") {
        block.push_back(id + " = new timer;");
    } else {  // setting
        block.push_back(id + " = new setting(" + (inWindow ? windowId : AnsiString("\"null\"")) + ", " + quoted(id) +
                        ", " + quoted(members.get("defaultvalue")) + ");");
    }
    addMemberLines(block, members);
    return joinLines(block);
}

AnsiString TMyXMLParser::emitWidget(TXmlElement element, const AnsiString& id) {
    Members members = classifyMembers(element, id);
    std::vector<AnsiString> block;
    if (!id.empty()) addMemberLines(block, members);  // without an id they would name no object
    if (members.has("onload")) onload_ += statementCode(members.get("onload"));
    if (members.has("onunload")) {
        block.push_back("widget.onUnload = function(){ " + statementCode(members.get("onunload")) + "};");
    }
    addQuotedLine(block, members, "helpfile", "widget", "helpFile");
    if (members.has("script")) {
        AnsiString folder = fileFolder(fileName_);
        if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
        AnsiString module = members.get("script");
        if (!fileExists(module + ".dms") && asciiLower(fileExtension(module)) == ".dms") {
            module = module.substr(0, module.length() - 4);
        }
        block.insert(block.begin(), "import " + module + ".*;");
    }
    return joinLines(block);
}
