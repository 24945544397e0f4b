// The settings file: section and key lookup over the element tree, writes that
// move a key to the end of its section, and the recovery from a broken file.
#include "host/widget/setting.h"

#include <windows.h>

#include "rtl/fileio.h"
#include "rtl/filepath.h"
#include "rtl/numtext.h"

namespace {

const char kRootName[] = "configuration";
const char kSectionName[] = "appSettings";
const char kEntryName[] = "add";
const char kSectionAttribute[] = "section";
const char kKeyAttribute[] = "key";
const char kValueAttribute[] = "value";
const int kBackupNames = 10;

// Where a broken file is kept: name + ".bak", then name + ".1.bak" and on.
AnsiString backupName(const AnsiString& fileName, int index) {
    return index == 0 ? fileName + ".bak" : fileName + "." + intToText(index) + ".bak";
}

// An element whose name-attribute equals the text; with an empty text, one
// without that attribute matches as well.
bool namedBy(TXmlElement element, const char* attribute, const AnsiString& text) {
    return element.hasAttribute(attribute) ? element.attribute(attribute) == text : text.empty();
}

}  // namespace

TSetting::TSetting(const AnsiString& fileName) : fileName_(fileName), document_(kRootName) {
    removeInterruptedSaves(fileName_);
    if (!fileExists(fileName_)) return;
    try {
        document_ = TXmlDocument::fromFile(fileName_, TXmlBlanks::Drop);
    } catch (const EXmlError& error) {
        keepBrokenFile(error.message());
    }
}

// The first backup name that takes a copy wins (an older backup there is
// replaced); when none does, the file stays the only copy and is not saved over.
void TSetting::keepBrokenFile(const AnsiString& reason) {
    for (int i = 0; i < kBackupNames; ++i) {
        AnsiString backup = backupName(fileName_, i);
        if (CopyFileA(fileName_.c_str(), backup.c_str(), FALSE)) {
            loadError_ = reason + "\r\nThe file was kept as \"" + backup + "\"; the settings start empty.";
            return;
        }
    }
    replaceable_ = false;
    loadError_ = reason + "\r\nThe file could not be kept as \"" + backupName(fileName_, 0) +
                 "\" or under another name; the settings start empty and will not be saved over it.";
}

TXmlElement TSetting::findSection(const AnsiString& section) const {
    for (TXmlElement element = document_.root().firstChild(); element; element = element.nextSibling()) {
        if (element.name() == kSectionName && namedBy(element, kSectionAttribute, section)) return element;
    }
    return {};
}

TXmlElement TSetting::findKey(TXmlElement section, const AnsiString& key) const {
    for (TXmlElement element = section.firstChild(); element; element = element.nextSibling()) {
        if (element.name() == kEntryName && namedBy(element, kKeyAttribute, key)) return element;
    }
    return {};
}

AnsiString TSetting::ReadValue(const AnsiString& section, const AnsiString& key, const AnsiString& fallback) const {
    TXmlElement found = findSection(section);
    if (found) found = findKey(found, key);
    return found ? found.attribute(kValueAttribute, fallback) : fallback;
}

AnsiString TSetting::ReadValue(const AnsiString& key, const AnsiString& fallback) const {
    return ReadValue(AnsiString(), key, fallback);
}

bool TSetting::WriteValue(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
    TXmlElement element = findSection(section);
    if (!element) {
        element = document_.root().appendChild(kSectionName);
        if (!section.empty()) element.setAttribute(kSectionAttribute, section);
    }
    if (TXmlElement old = findKey(element, key)) old.remove();
    TXmlElement entry = element.appendChild(kEntryName);
    entry.setAttribute(kKeyAttribute, key);
    entry.setAttribute(kValueAttribute, value);
    return true;
}

bool TSetting::WriteValue(const AnsiString& key, const AnsiString& value) {
    return WriteValue(AnsiString(), key, value);
}

bool TSetting::DeleteValue(const AnsiString& section, const AnsiString& key) {
    TXmlElement found = findSection(section);
    if (found) found = findKey(found, key);
    if (!found) return false;
    found.remove();
    return true;
}

bool TSetting::DeleteValue(const AnsiString& key) {
    return DeleteValue(AnsiString(), key);
}

void TSetting::Save() {
    if (!replaceable_)
        throw EXmlError("Cannot write \"" + fileName_ + "\": the broken file there could not be kept elsewhere");
    document_.saveToFile(fileName_);
}
