// TStrings: the operations every line list shares, built on its storage
// functions; TStringList: lines and objects in one vector, kept in order by a
// binary search when sorted. Comparisons go through CompareStringA.
#include "rtl/stringlist.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "rtl/exceptions.h"
#include "rtl/fileio.h"
#include "rtl/filer.h"

const TClassInfo TStrings::classInfo = makeClassInfo("TStrings", &TPersistent::classInfo);
const TClassInfo TStringList::classInfo = makeClassInfo("TStringList", &TStrings::classInfo);

namespace {

bool isBlankOrControl(unsigned char c) {
    return c >= 1 && c <= ' ';
}

bool needsQuotes(std::string_view line) {
    if (line.empty()) return true;
    for (unsigned char c : line) {
        if (c <= ' ' || c == ',' || c == '"') return true;
    }
    return false;
}

}  // namespace

size_t findLineEnd(std::string_view text, size_t start, size_t& next) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    next = end;
    if (next < text.size() && text[next] == '\r') ++next;
    if (next < text.size() && text[next] == '\n') ++next;
    return end;
}

int compareLocaleText(std::string_view a, std::string_view b, bool caseSensitive) {
    int result = CompareStringA(LOCALE_USER_DEFAULT, caseSensitive ? 0 : NORM_IGNORECASE, a.data(),
                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    if (result == 0) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;  // the platform refused: byte order
    return result - CSTR_EQUAL;
}

// ==== TStrings ====

void TStrings::checkIndex(int index, int limit) const {
    if (index < 0 || index >= limit) raiseListIndexError(index);
}

void TStrings::Put(int index, const AnsiString& text) {
    void* object = GetObjectAt(index);
    inUpdate(*this, [&] {
        Delete(index);
        InsertObject(index, text, object);
    });
}

void* TStrings::GetObjectAt(int index) const {
    checkIndex(index, Count());
    return nullptr;
}

void TStrings::PutObjectAt(int index, void* /*object*/) {
    checkIndex(index, Count());
}

int TStrings::Add(const AnsiString& text) {
    int index = Count();
    Insert(index, text);
    return index;
}

// The line and its object are one change.
int TStrings::AddObject(const AnsiString& text, void* object) {
    if (!object) return Add(text);
    int index;
    inUpdate(*this, [&] {
        index = Add(text);
        PutObjectAt(index, object);
    });
    return index;
}

void TStrings::InsertObject(int index, const AnsiString& text, void* object) {
    if (!object) return Insert(index, text);
    inUpdate(*this, [&] {
        Insert(index, text);
        PutObjectAt(index, object);
    });
}

void TStrings::AddStrings(const TStrings& source) {
    inUpdate(*this, [&] {
        int count = source.Count();  // source may be this list
        for (int i = 0; i < count; ++i) AddObject(source.Get(i), source.GetObjectAt(i));
    });
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    inUpdate(*this, [&] {
        Clear();
        AddStrings(source);
    });
}

void TStrings::Assign(const TPersistent* source) {
    if (source && source->InheritsFrom(&TStrings::classInfo)) return Assign(*static_cast<const TStrings*>(source));
    TPersistent::Assign(source);
}

// Strings = ('line' 'line' ...): a list of strings and nothing else.
void TStrings::DefineProperties(TFiler& filer) {
    auto read = [this](const TFormValue& value) {
        if (value.Type != TFormValue::List) throw EReadError("Invalid property value");
        for (const TFormValue& line : value.Items)
            if (line.Type != TFormValue::String) throw EReadError("Invalid property value");
        inUpdate(*this, [&] {
            Clear();
            for (const TFormValue& line : value.Items) Add(AnsiString(line.Text));
        });
    };
    auto write = [this] {
        TFormValue value;
        value.Type = TFormValue::List;
        for (int i = 0; i < Count(); ++i) value.Items.push_back(TFormValue::string(Get(i).view()));
        return value;
    };
    filer.DefineProperty("Strings", read, write, Count() > 0);
}

void TStrings::Exchange(int index1, int index2) {
    checkIndex(index1, Count());
    checkIndex(index2, Count());
    if (index1 == index2) return;
    inUpdate(*this, [&] {
        AnsiString text1 = Get(index1);
        void* object1 = GetObjectAt(index1);
        Put(index1, Get(index2));
        PutObjectAt(index1, GetObjectAt(index2));
        Put(index2, text1);
        PutObjectAt(index2, object1);
    });
}

void TStrings::Move(int curIndex, int newIndex) {
    checkIndex(curIndex, Count());
    checkIndex(newIndex, Count());
    if (curIndex == newIndex) return;
    inUpdate(*this, [&] {
        AnsiString text = Get(curIndex);
        void* object = GetObjectAt(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, text, object);
    });
}

int TStrings::IndexOf(std::string_view text) const {
    int count = Count();
    for (int i = 0; i < count; ++i) {
        if (CompareStrings(Get(i).view(), text) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    int count = Count();
    for (int i = 0; i < count; ++i) {
        AnsiString line = Get(i);
        size_t equals = line.find('=');
        if (equals != std::string_view::npos && CompareStrings(line.view().substr(0, equals), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const void* object) const {
    int count = Count();
    for (int i = 0; i < count; ++i) {
        if (GetObjectAt(i) == object) return i;
    }
    return -1;
}

AnsiString TStrings::Names(int index) const {
    AnsiString line = Get(index);
    size_t equals = line.find('=');
    return equals == std::string_view::npos ? AnsiString() : line.substr(0, equals);
}

AnsiString TStrings::ValueFromIndex(int index) const {
    AnsiString line = Get(index);
    size_t equals = line.find('=');
    return equals == std::string_view::npos ? AnsiString() : line.substr(equals + 1);
}

AnsiString TStrings::Values(std::string_view name) const {
    int index = IndexOfName(name);
    return index < 0 ? AnsiString() : ValueFromIndex(index);
}

void TStrings::SetValues(std::string_view name, const AnsiString& value) {
    int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    AnsiString line = AnsiString(name) + "=" + value;
    if (index < 0) Add(line);
    else Put(index, line);
}

AnsiString TStrings::Text() const {
    int count = Count();
    AnsiString text;
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text) {
    inUpdate(*this, [&] {
        Clear();
        for (size_t start = 0, next; start < text.size(); start = next) {
            size_t end = findLineEnd(text, start, next);
            Add(AnsiString(text.substr(start, end - start)));
        }
    });
}

AnsiString TStrings::CommaText() const {
    int count = Count();
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        AnsiString line = Get(i);
        if (!needsQuotes(line.view())) {
            text += line.view();
            continue;
        }
        text += '"';
        for (char c : line.view()) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return AnsiString(text);
}

void TStrings::SetCommaText(std::string_view text) {
    inUpdate(*this, [&] {
        Clear();
        size_t pos = 0, n = text.size();
        auto skipBlanks = [&] {
            while (pos < n && isBlankOrControl(static_cast<unsigned char>(text[pos]))) ++pos;
        };
        skipBlanks();
        while (pos < n) {
            std::string item;
            if (text[pos] == '"') {
                for (++pos; pos < n; ++pos) {
                    if (text[pos] == '"') {
                        if (pos + 1 < n && text[pos + 1] == '"') ++pos;
                        else break;
                    }
                    item += text[pos];
                }
                if (pos < n) ++pos;  // the closing quote
            }
            // Unquoted text (or text right after a quoted part) up to a comma or blank.
            while (pos < n && text[pos] != ',' && !isBlankOrControl(static_cast<unsigned char>(text[pos]))) {
                item += text[pos++];
            }
            Add(AnsiString(item));
            skipBlanks();
            if (pos < n && text[pos] == ',') {
                ++pos;
                skipBlanks();
                if (pos == n) Add(AnsiString());  // a comma at the end separates an empty item
            }
        }
    });
}

void TStrings::LoadFromFile(const AnsiString& path) {
    SetText(readFileBytes(path));
}

void TStrings::SaveToFile(const AnsiString& path) const { writeFileBytes(path, Text().view()); }

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    SetUpdateState(false);
    if (!changedInUpdate_) return;
    changedInUpdate_ = false;
    OnChange(this);
}

void TStrings::Changed() {
    if (updateCount_ > 0) changedInUpdate_ = true;
    else OnChange(this);
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
    return compareLocaleText(a, b, false);
}

// ==== TStringList ====

void TStringList::raiseSortedListError() const {
    throw EListError("Operation not allowed on sorted list");
}

AnsiString TStringList::Get(int index) const {
    checkIndex(index, Count());
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const AnsiString& text) {
    if (sorted_) raiseSortedListError();
    checkIndex(index, Count());
    items_[static_cast<size_t>(index)].text = text;
    Changed();
}

void* TStringList::GetObjectAt(int index) const {
    checkIndex(index, Count());
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObjectAt(int index, void* object) {
    checkIndex(index, Count());
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const AnsiString& text) {
    if (sorted_) raiseSortedListError();
    checkIndex(index, Count() + 1);
    items_.insert(items_.begin() + index, Item{text, nullptr});
    Changed();
}

void TStringList::Delete(int index) {
    checkIndex(index, Count());
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

int TStringList::AddObject(const AnsiString& text, void* object) {
    int index = Count();
    if (sorted_ && Find(text.view(), index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
    items_.insert(items_.begin() + index, Item{text, object});
    Changed();
    return index;
}

void TStringList::Exchange(int index1, int index2) {
    if (sorted_) raiseSortedListError();
    checkIndex(index1, Count());
    checkIndex(index2, Count());
    if (index1 == index2) return;
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    if (sorted_) raiseSortedListError();
    checkIndex(curIndex, Count());
    checkIndex(newIndex, Count());
    if (curIndex == newIndex) return;
    Item item = std::move(items_[static_cast<size_t>(curIndex)]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(std::string_view text) const {
    if (!sorted_) return TStrings::IndexOf(text);
    int index;
    return Find(text, index) ? index : -1;
}

bool TStringList::Find(std::string_view text, int& index) const {
    int low = 0, high = Count();
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (CompareStrings(items_[static_cast<size_t>(middle)].text.view(), text) < 0) low = middle + 1;
        else high = middle;
    }
    index = low;
    return low < Count() && CompareStrings(items_[static_cast<size_t>(low)].text.view(), text) == 0;
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) {
        return CompareStrings(a.text.view(), b.text.view()) < 0;
    });
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    if (sorted_) Sort();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return compareLocaleText(a, b, caseSensitive_);
}
