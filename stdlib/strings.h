// The script line lists: TJBaseStringsObject ("Strings") works on a list of
// lines that belongs to someone else (the GUI bridge lends the lines of its
// controls and takes them back), TJStringsObject ("StringList", made by
// `new Strings`) on a sortable list of its own, which native code fills to
// hand texts to a script (directory listings, dialog results, INI sections).
#pragma once

#include "engine/core/object.h"
#include "rtl/stringlist.h"

class TJBaseStringsObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJBaseStringsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The lent list (nil: none, and every script access raises "strings is null").
    void SetStrings(TStrings* strings) { Strings_ = strings; }
    // The list; "EStringsError" "strings is null" when there is none.
    TStrings& Lines() const;

    // Index access by key: an integer name is the 0-based line.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    // `text`, or with a separator every line followed by it.
    AnsiString ToString(const TJValue* separator = nullptr) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return Lines().Count(); }
    void GetItem(int32_t index, TJValue& value) override;

    // ---- Published properties ----
    AnsiString textProperty() const { return Lines().Text(); }
    void setTextProperty(AnsiString text) { Lines().SetText(text); }
    AnsiString commaTextProperty() const { return Lines().CommaText(); }
    void setCommaTextProperty(AnsiString text) { Lines().SetCommaText(text); }
    int32_t countProperty() const { return Lines().Count(); }

    const TJMethodTable& Methods() const override;

private:
    // The 0-based line of an integer key; false for other names, "EIndexError"
    // with the name outside the list.
    bool lineIndex(const AnsiString& name, int32_t& index) const;

    TStrings* Strings_ = nullptr;
};

class TJStringsObject : public TJBaseStringsObject {
    RTL_DECLARE_CLASS()
    // A first argument that is a string value becomes the text.
    TJStringsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TStringList& GetStringList() { return List_; }

    // ---- Published properties ----
    bool sortedProperty() const { return List_.Sorted(); }
    void setSortedProperty(bool sorted) { List_.SetSorted(sorted); }
    bool caseSensitiveProperty() const { return List_.CaseSensitive(); }
    void setCaseSensitiveProperty(bool caseSensitive) { List_.SetCaseSensitive(caseSensitive); }
    bool duplicatesProperty() const { return List_.Duplicates() == dupAccept; }
    void setDuplicatesProperty(bool accept) { List_.SetDuplicates(accept ? dupAccept : dupIgnore); }

    const TJMethodTable& Methods() const override;

private:
    TStringList List_;
};

// A new registered StringList of the runtime, for native code to fill.
TJStringsObject* NewStringList(TJRuntime* runtime);
// The hook through which other libraries hand out lists
// (JModuleHooks.FillStringListObject, engine/core/hooks.h).
TJObject* FillStringListObject(TJRuntime* runtime, TJObject* list, const TStrings& lines, bool registering);
