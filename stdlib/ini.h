// The two script classes of section/key/value settings, with one method
// surface: TJIniObject ("Ini") over an INI file read at creation and written
// back only by `update`, and TJRegIniObject ("RegIni") over a registry key of
// HKEY_CURRENT_USER whose subkeys are the sections, written at once. Neither
// has a global instance: both need their file or key.
#pragma once

#include <windows.h>

#include <vector>

#include "engine/core/object.h"
#include "stdlib/initext.h"

class TJIniObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The first argument is the file's path; "EIniError" "ini create error"
    // without one or when the file exists but cannot be read.
    TJIniObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // ---- The settings surface (shared with RegIni) ----
    bool ReadValue(const AnsiString& section, const AnsiString& name, AnsiString& value);
    void WriteValue(const AnsiString& section, const AnsiString& name, const AnsiString& value);
    void DeleteValue(const AnsiString& section, const AnsiString& name);
    void DeleteSection(const AnsiString& section);
    std::vector<AnsiString> KeyNames(const AnsiString& section);
    std::vector<AnsiString> SectionNames();
    bool HasSection(const AnsiString& section);
    // What the error messages end with.
    const AnsiString& Subject() const { return FileName_; }
    // Writes the content to the file.
    void Update();

    AnsiString filenameProperty() const { return FileName_; }

    const TJMethodTable& Methods() const override;

private:
    AnsiString FileName_;
    TIniText Ini_;
};

class TJRegIniObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The first argument is the key path under HKEY_CURRENT_USER, created when
    // missing; "EIniError" "ini create error" without one or when the key
    // cannot be opened.
    TJRegIniObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJRegIniObject() override;

    bool ReadValue(const AnsiString& section, const AnsiString& name, AnsiString& value);
    void WriteValue(const AnsiString& section, const AnsiString& name, const AnsiString& value);
    void DeleteValue(const AnsiString& section, const AnsiString& name);
    void DeleteSection(const AnsiString& section);
    std::vector<AnsiString> KeyNames(const AnsiString& section);
    std::vector<AnsiString> SectionNames();
    bool HasSection(const AnsiString& section);
    const AnsiString& Subject() const { return KeyPath_; }

    AnsiString keyProperty() const { return KeyPath_; }
    AnsiString rootKeyProperty() const { return "HKEY_CURRENT_USER"; }

    const TJMethodTable& Methods() const override;

private:
    // Raises "<what> error: <key>" for names the registry would take for
    // others: an empty section (the key itself), or a section or value name
    // that the registry would not keep as it is (a NUL, a lone lead byte).
    void requireNames(const char* what, const AnsiString& section, const AnsiString& name = {}) const;

    AnsiString KeyPath_;
    HKEY Key_ = nullptr;
};
