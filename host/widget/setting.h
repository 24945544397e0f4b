// TSetting: the key/value settings file of the host (the program configuration
// and every widget's ".config"): an XML document of `configuration` /
// `appSettings` (optional attribute `section`) / `add` with `key` and `value`,
// held in memory and written only by Save. Used by the program (host/app), the widget
// window, the setting objects and the desktop components.
#pragma once

#include "host/widget/xmldoc.h"
#include "rtl/ansistring.h"

class TSetting {
public:
    // Opens the file when it exists, otherwise starts an empty document with
    // the encoding "Shift-JIS" and the root `configuration`. A file that
    // cannot be read or is not well-formed XML is copied to its name + ".bak"
    // (else to name + ".1.bak" ... ".9.bak") and the settings start empty;
    // loadError() tells why. When no copy can be made, Save refuses to
    // replace the file. Temporary files of interrupted saves are removed;
    // nothing else is written.
    explicit TSetting(const AnsiString& fileName);
    TSetting(const TSetting&) = delete;
    TSetting& operator=(const TSetting&) = delete;
    ~TSetting() = default;  // never saves

    const AnsiString& fileName() const { return fileName_; }
    // The message for the user when the existing file could not be read; empty
    // when it was read (or did not exist).
    const AnsiString& loadError() const { return loadError_; }

    // The value of the first matching `add` of the first matching section, or
    // the default when there is none or it has no `value` attribute. Sections
    // and keys compare exactly; the empty section is the default one.
    AnsiString ReadValue(const AnsiString& section, const AnsiString& key, const AnsiString& fallback) const;
    AnsiString ReadValue(const AnsiString& key, const AnsiString& fallback) const;
    // Removes the key's first entry and appends the new one at the end of its
    // section (created at the end of the root when missing). Always true.
    bool WriteValue(const AnsiString& section, const AnsiString& key, const AnsiString& value);
    bool WriteValue(const AnsiString& key, const AnsiString& value);
    // Removes the key's first entry; false when there is none.
    bool DeleteValue(const AnsiString& section, const AnsiString& key);
    bool DeleteValue(const AnsiString& key);
    // Writes the whole document over the file (atomically); raises EXmlError
    // naming the file and the reason when it cannot or must not be written.
    void Save();

private:
    TXmlElement findSection(const AnsiString& section) const;
    TXmlElement findKey(TXmlElement section, const AnsiString& key) const;
    void keepBrokenFile(const AnsiString& reason);

    AnsiString fileName_;
    TXmlDocument document_;
    AnsiString loadError_;
    bool replaceable_ = true;  // false: a broken file that exists nowhere else
};
