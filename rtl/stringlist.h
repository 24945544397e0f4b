// TStrings, the abstract list of text lines with an object pointer per line
// (text, comma text, name=value lines, files) and a change notification, and
// TStringList, the list that stores its lines and can keep them sorted. Used
// by the script string lists, the controls' item and line lists (whose
// storage is the control), directory listings, INI sections and the network
// clients. Lines are code page 932 bytes; comparisons follow the user's locale.
#pragma once

#include <string_view>
#include <vector>

#include "rtl/ansistring.h"
#include "rtl/persistent.h"

class TStrings;

// What a sorted list does with a line that is already there.
enum TDuplicates { dupIgnore, dupAccept, dupError };

using TStringsEvent = TEvent<void(TStrings* Sender)>;

// The end of the line of text that starts at `start` (its first CR or LF, or
// the end of the text); `next` is where the line after it starts, past a
// CR LF, LF or CR.
size_t findLineEnd(std::string_view text, size_t start, size_t& next);

// ==== TStrings ====

// Form streams write the lines as the list of strings "Strings".
class TStrings : public TPersistent {
    RTL_DECLARE_CLASS()
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings() = default;

    // Storage, provided by each kind of list. Indexes are 0-based; an index
    // outside the list raises the list index error (EListError). (The object
    // functions are not named GetObject/PutObject: the platform headers define
    // those as macros.)
    virtual int Count() const = 0;
    virtual AnsiString Get(int index) const = 0;
    virtual void Put(int index, const AnsiString& text);  // default: delete and insert, keeping the object
    virtual void* GetObjectAt(int index) const;           // default: no objects (nullptr)
    virtual void PutObjectAt(int index, void* object);    // default: ignored
    virtual void Insert(int index, const AnsiString& text) = 0;  // index may be Count()
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Adds a line at the end (a sorted list: at its place); gives its index.
    virtual int Add(const AnsiString& text);
    // Adds a line with its object; a sorted list that drops a duplicate leaves
    // the existing line's object alone.
    virtual int AddObject(const AnsiString& text, void* object);
    void InsertObject(int index, const AnsiString& text, void* object);
    void AddStrings(const TStrings& source);
    // Replaces the lines and objects by those of source, in one update bracket.
    void Assign(const TStrings& source);
    void Assign(const TPersistent* source) override;
    void DefineProperties(TFiler& filer) override;
    virtual void Exchange(int index1, int index2);
    // Moves the line (with its object) so that it ends up at newIndex.
    virtual void Move(int curIndex, int newIndex);

    // The first line equal to text by the list's comparison, -1 when none.
    virtual int IndexOf(std::string_view text) const;
    // The first "name=value" line whose name equals name, -1 when none.
    int IndexOfName(std::string_view name) const;
    int IndexOfObject(const void* object) const;

    AnsiString Strings(int index) const { return Get(index); }
    void SetStrings(int index, const AnsiString& text) { Put(index, text); }
    void* Objects(int index) const { return GetObjectAt(index); }
    void SetObjects(int index, void* object) { PutObjectAt(index, object); }
    // Name=value lines: the name is the part before the first "=" ("" without one).
    AnsiString Names(int index) const;
    AnsiString ValueFromIndex(int index) const;
    AnsiString Values(std::string_view name) const;
    // Sets the value of the first line with that name (adding a line when there is
    // none); an empty value removes the line.
    void SetValues(std::string_view name, const AnsiString& value);

    // Every line followed by CR LF.
    virtual AnsiString Text() const;
    // Replaces the lines by the text split at CR LF, LF or CR; a line end at the
    // very end does not start another line.
    virtual void SetText(std::string_view text);
    // The lines joined by ","; a line that is empty or holds a blank, a control
    // character, a comma or a double quote is put in double quotes (quotes doubled).
    AnsiString CommaText() const;
    // Reads items separated by commas or by blanks outside double quotes.
    void SetCommaText(std::string_view text);

    void LoadFromFile(const AnsiString& path);      // the file's bytes through SetText
    void SaveToFile(const AnsiString& path) const;  // Text as bytes, replacing the file

    // Update brackets nest; a list may defer its change work until the last one ends.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Tells OnChange that the lines or objects changed: now, or once when the
    // update bracket it falls in ends. Each kind of list calls it after every
    // change it makes (a list kept by a control also when the user changed it).
    void Changed();
    TStringsEvent OnChange;

protected:
    // Three-way comparison of two lines: the user's locale, ignoring case.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;
    virtual void SetUpdateState(bool /*updating*/) {}
    void checkIndex(int index, int limit) const;

private:
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

// Runs the body inside an update bracket of the list that ends also when the
// body raises.
template <class Body>
void inUpdate(TStrings& list, Body&& body) {
    list.BeginUpdate();
    try {
        body();
    } catch (...) {
        list.EndUpdate();
        throw;
    }
    list.EndUpdate();
}

// Three-way locale comparison of code page 932 texts (CompareStringA).
int compareLocaleText(std::string_view a, std::string_view b, bool caseSensitive);

// ==== TStringList ====

class TStringList : public TStrings {
    RTL_DECLARE_CLASS()
    TStringList() = default;
    ~TStringList() override = default;

    int Count() const override { return static_cast<int>(items_.size()); }
    AnsiString Get(int index) const override;
    void Put(int index, const AnsiString& text) override;
    void* GetObjectAt(int index) const override;
    void PutObjectAt(int index, void* object) override;
    void Insert(int index, const AnsiString& text) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const AnsiString& text) override { return AddObject(text, nullptr); }
    int AddObject(const AnsiString& text, void* object) override;
    // Insert, Put, Exchange and Move raise EListError on a sorted list.
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(std::string_view text) const override;

    // Binary search of a sorted list: true when found; index is the first
    // equal line or the place where text belongs.
    bool Find(std::string_view text, int& index) const;
    // Sorts by the list's comparison (equal lines keep their order).
    virtual void Sort();

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);  // true sorts at once
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);  // re-sorts a sorted list

protected:
    int CompareStrings(std::string_view a, std::string_view b) const override;

private:
    struct Item {
        AnsiString text;
        void* object = nullptr;
    };
    [[noreturn]] void raiseSortedListError() const;

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};
