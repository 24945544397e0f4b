// The in-memory INI file: reading its text, the section and key operations,
// and writing it back.
#include "stdlib/initext.h"

#include "engine/support/mbstring.h"
#include "rtl/stringlist.h"

namespace {

std::string folded(std::string_view name) { return lowerCaseAscii(trimText(name)).str(); }

bool isQuoted(std::string_view value) { return value.size() >= 2 && value.front() == '"' && value.back() == '"'; }

AnsiString readValue(std::string_view text) {
    AnsiString value = trimText(text);
    return isQuoted(value) ? value.substr(1, value.length() - 2) : value;
}

AnsiString writtenValue(const AnsiString& value) {
    bool keepsAsIs = !isQuoted(value) && trimText(value) == value;
    return keepsAsIs ? value : "\"" + value + "\"";
}

}  // namespace

void TIniText::SetText(std::string_view text) {
    Preamble_.clear();
    Sections_.clear();
    SectionIndex_.clear();
    TStringList lines;
    lines.SetText(text);
    Section* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        AnsiString line = trimText(lines.Get(i));
        if (line.empty()) continue;
        if (line[0] == '[' && line.endsWith("]")) {
            current = &addSection(line.view().substr(1, line.length() - 2));
            continue;
        }
        size_t equals = line.find('=');
        bool isKey = line[0] != ';' && equals != std::string_view::npos;
        if (!current) Preamble_.push_back(line);
        else if (!isKey) current->Lines.push_back({line, {}, false});
        else current->Lines.push_back({trimText(line.view().substr(0, equals)), readValue(line.view().substr(equals + 1)), true});
    }
    for (Section& section : Sections_) indexKeys(section);
}

AnsiString TIniText::Text() const {
    AnsiString text;
    for (const AnsiString& line : Preamble_) text += line + "\r\n";
    for (const Section& section : Sections_) {
        if (!text.empty()) text += "\r\n";
        text += "[" + section.Name + "]\r\n";
        for (const Line& line : section.Lines) {
            text += line.IsKey ? line.Name + "=" + writtenValue(line.Value) : line.Name;
            text += "\r\n";
        }
    }
    return text;
}

const TIniText::Section* TIniText::findSection(std::string_view name) const {
    auto found = SectionIndex_.find(folded(name));
    return found == SectionIndex_.end() ? nullptr : &Sections_[found->second];
}

// The section of that name, added at the end when missing (a repeated
// section of a file joins the first).
TIniText::Section& TIniText::addSection(std::string_view name) {
    auto [found, added] = SectionIndex_.try_emplace(folded(name), Sections_.size());
    if (added) Sections_.push_back({trimText(name), {}, {}});
    return Sections_[found->second];
}

// The first line of each name is the one read and written.
void TIniText::indexKeys(Section& section) {
    section.Keys.clear();
    for (size_t i = 0; i < section.Lines.size(); ++i)
        if (section.Lines[i].IsKey) section.Keys.try_emplace(folded(section.Lines[i].Name), i);
}

bool TIniText::Read(std::string_view section, std::string_view name, AnsiString& value) const {
    const Section* found = findSection(section);
    if (!found) return false;
    auto key = found->Keys.find(folded(name));
    if (key == found->Keys.end()) return false;
    value = found->Lines[key->second].Value;
    return true;
}

bool TIniText::Holds(std::string_view section, std::string_view name, std::string_view value) {
    auto breaksLine = [](std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; };
    AnsiString key = trimText(name);
    return !breaksLine(section) && !breaksLine(name) && !breaksLine(value) &&
           mbcsFindLastOf(section, "]") == std::string_view::npos && key.find('=') == std::string_view::npos &&
           !key.startsWith(";") && !key.startsWith("[");
}

void TIniText::Write(std::string_view section, std::string_view name, const AnsiString& value) {
    Section& target = addSection(section);
    auto [key, added] = target.Keys.try_emplace(folded(name), target.Lines.size());
    if (added) target.Lines.push_back({trimText(name), value, true});
    else target.Lines[key->second].Value = value;
}

void TIniText::DeleteKey(std::string_view section, std::string_view name) {
    auto found = SectionIndex_.find(folded(section));
    if (found == SectionIndex_.end()) return;
    Section& target = Sections_[found->second];
    auto key = target.Keys.find(folded(name));
    if (key == target.Keys.end()) return;
    target.Lines.erase(target.Lines.begin() + static_cast<ptrdiff_t>(key->second));
    indexKeys(target);
}

void TIniText::EraseSection(std::string_view section) {
    auto found = SectionIndex_.find(folded(section));
    if (found == SectionIndex_.end()) return;
    Sections_.erase(Sections_.begin() + static_cast<ptrdiff_t>(found->second));
    SectionIndex_.clear();
    for (size_t i = 0; i < Sections_.size(); ++i) SectionIndex_.emplace(folded(Sections_[i].Name), i);
}

std::vector<AnsiString> TIniText::SectionNames() const {
    std::vector<AnsiString> names;
    for (const Section& section : Sections_) names.push_back(section.Name);
    return names;
}

std::vector<AnsiString> TIniText::KeyNames(std::string_view section) const {
    std::vector<AnsiString> names;
    if (const Section* found = findSection(section))
        for (const Line& line : found->Lines)
            if (line.IsKey) names.push_back(line.Name);
    return names;
}
