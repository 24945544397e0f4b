// The Strings and StringList objects: the line methods, index access by key,
// the text with a separator, and `new Strings(text)`.
#include "stdlib/strings.h"

#include <vector>

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "rtl/exceptions.h"

namespace {

const TPropInfo baseStringsProperties[] = {
    StringProperty<&TJBaseStringsObject::textProperty, &TJBaseStringsObject::setTextProperty>("text"),
    StringProperty<&TJBaseStringsObject::commaTextProperty, &TJBaseStringsObject::setCommaTextProperty>("commaText"),
    IntegerProperty<&TJBaseStringsObject::countProperty>("length"),
    IntegerProperty<&TJBaseStringsObject::countProperty>("count"),
};

const TPropInfo stringsProperties[] = {
    BoolProperty<&TJStringsObject::sortedProperty, &TJStringsObject::setSortedProperty>("sorted"),
    BoolProperty<&TJStringsObject::caseSensitiveProperty, &TJStringsObject::setCaseSensitiveProperty>(
        "caseSensitive"),
    BoolProperty<&TJStringsObject::duplicatesProperty, &TJStringsObject::setDuplicatesProperty>("duplicates"),
};

[[noreturn]] void raiseStringsError(const char* message) { raiseScriptError("EStringsError", message); }

}  // namespace

const TClassInfo TJBaseStringsObject::classInfo =
    makeClassInfo("TJBaseStringsObject", &TJObject::classInfo, baseStringsProperties);
const TClassInfo TJStringsObject::classInfo =
    makeClassInfo("TJStringsObject", &TJBaseStringsObject::classInfo, stringsProperties, &scriptCreator<TJStringsObject>);

// ==== Strings ====

TJBaseStringsObject::TJBaseStringsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Strings");
}

TStrings& TJBaseStringsObject::Lines() const {
    if (!Strings_) raiseStringsError("strings is null");
    return *Strings_;
}

bool TJBaseStringsObject::lineIndex(const AnsiString& name, int32_t& index) const {
    if (!ReadDecimalIndex(name, index)) return false;
    if (index < 0 || index >= Lines().Count()) raiseScriptError("EIndexError", name);
    return true;
}

void TJBaseStringsObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    int32_t index;
    if (keyError && lineIndex(name, index)) MakeString(Lines().Get(index), value);
    else TJObject::GetValue(name, keyError, value, args);
}

void TJBaseStringsObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (lineIndex(name, index)) Lines().Put(index, ValueToString(value));
    else TJObject::SetValue(name, value, args);
}

AnsiString TJBaseStringsObject::ToString(const TJValue* separator) {
    if (!separator) return Lines().Text();
    AnsiString tail = ValueToString(separator), text;
    for (int i = 0, count = Lines().Count(); i < count; ++i) {
        text += Lines().Get(i);
        text += tail;
    }
    return text;
}

void TJBaseStringsObject::GetItem(int32_t index, TJValue& value) { MakeString(Lines().Get(index), value); }

// ==== Methods ====

namespace {

void add(TJBaseStringsObject& self, TJValueList* args, TJValue& result) {
    TStrings& lines = self.Lines();
    int index = HasArgs(args) ? 0 : lines.Add(AnsiString());
    for (int i = 0; i < ArgCount(args); ++i) index = lines.Add(ValueToString(args->At(i)));
    MakeInteger(index, result);
}

void insert(TJBaseStringsObject& self, TJValueList* args, TJValue&) {
    TStrings& lines = self.Lines();
    if (!HasTwoArgs(args)) raiseStringsError("insert error");
    lines.Insert(ValueToInteger(args->At(0)), ValueToString(args->At(1)));
}

void deleteLine(TJBaseStringsObject& self, TJValueList* args, TJValue&) {
    TStrings& lines = self.Lines();
    if (!HasArgs(args)) raiseStringsError("delete error");
    lines.Delete(ValueToInteger(args->At(0)));
}

void clear(TJBaseStringsObject& self, TJValueList*, TJValue&) { self.Lines().Clear(); }

void indexOf(TJBaseStringsObject& self, TJValueList* args, TJValue& result) {
    TStrings& lines = self.Lines();
    MakeInteger(HasArgs(args) ? lines.IndexOf(ValueToString(args->At(0))) : -1, result);
}

// The file methods report every failure (no path, a missing folder, a locked
// file) with their one message.
void fileMethod(TJBaseStringsObject& self, TJValueList* args, bool save) {
    TStrings& lines = self.Lines();
    const char* message = save ? "saveToFile error" : "loadFromFile error";
    if (!HasArgs(args)) raiseStringsError(message);
    try {
        if (save) lines.SaveToFile(ValueToString(args->At(0)));
        else lines.LoadFromFile(ValueToString(args->At(0)));
    } catch (const Exception&) {
        raiseStringsError(message);
    }
}

void saveToFile(TJBaseStringsObject& self, TJValueList* args, TJValue&) { fileMethod(self, args, true); }
void loadFromFile(TJBaseStringsObject& self, TJValueList* args, TJValue&) { fileMethod(self, args, false); }

// The lines of another line list, the texts of an array-like object's
// items, or (any other value) every argument's text; "addStrings error"
// before anything changes when there is no such source.
std::vector<AnsiString> sourceLines(TJValueList* args) {
    if (!HasArgs(args)) raiseStringsError("addStrings error");
    std::vector<AnsiString> lines;
    const TJValue& source = args->At(0);
    if (!IsObjectValue(source)) {
        for (int i = 0; i < ArgCount(args); ++i) lines.push_back(ValueToString(args->At(i)));
        return lines;
    }
    TJObject* object = source.ObjValue;
    if (object->InheritsFrom(&TJBaseStringsObject::classInfo)) {
        const TStrings& other = static_cast<TJBaseStringsObject*>(object)->Lines();
        for (int i = 0; i < other.Count(); ++i) lines.push_back(other.Get(i));
    } else if (object->IsArrayLike()) {
        for (int32_t i = 0, count = object->GetLength(); i < count; ++i) {
            TJValue item;
            object->GetItem(i, item);
            lines.push_back(ValueToString(item));
        }
    } else {
        raiseStringsError("addStrings error");
    }
    return lines;
}

void addStrings(TJBaseStringsObject& self, TJValueList* args, TJValue&) {
    TStrings& lines = self.Lines();
    for (const AnsiString& line : sourceLines(args)) lines.Add(line);
}

void assign(TJBaseStringsObject& self, TJValueList* args, TJValue&) {
    TStrings& lines = self.Lines();
    std::vector<AnsiString> source = sourceLines(args);
    lines.BeginUpdate();
    try {
        lines.Clear();
        for (const AnsiString& line : source) lines.Add(line);
    } catch (...) {
        lines.EndUpdate();
        throw;
    }
    lines.EndUpdate();
}

void sort(TJStringsObject& self, TJValueList*, TJValue&) { self.GetStringList().Sort(); }

const TJMethod<TJBaseStringsObject> baseStringsMethods[] = {
    {"add", 0, &add},
    {"insert", 0, &insert, TJMethodResult::Self},
    {"delete", 0, &deleteLine, TJMethodResult::Self},
    {"clear", 0, &clear, TJMethodResult::Self},
    {"indexOf", 0, &indexOf},
    {"saveToFile", 0, &saveToFile, TJMethodResult::Self},
    {"loadFromFile", 0, &loadFromFile, TJMethodResult::Self},
    {"assign", 0, &assign, TJMethodResult::Self},
    {"addStrings", 0, &addStrings, TJMethodResult::Self},
};

const TJMethod<TJStringsObject> stringsMethods[] = {
    {"sort", 0, &sort, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJBaseStringsObject::Methods() const {
    static const TJMethodTable table(baseStringsMethods, TJObject::Methods());
    return table;
}

const TJMethodTable& TJStringsObject::Methods() const {
    static const TJMethodTable table(stringsMethods, TJBaseStringsObject::Methods());
    return table;
}

// ==== StringList ====

TJStringsObject::TJStringsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseStringsObject(key, runtime, args) {
    SetClassName("StringList");
    SetStrings(&List_);
    if (HasArgs(args) && IsStringValue(args->At(0))) List_.SetText(ValueToString(args->At(0)));
}

TJStringsObject* NewStringList(TJRuntime* runtime) { return createObject<TJStringsObject>(runtime, true, nullptr); }

TJObject* FillStringListObject(TJRuntime* runtime, TJObject* list, const TStrings& lines, bool registering) {
    auto* strings =
        list ? static_cast<TJStringsObject*>(list) : createObject<TJStringsObject>(runtime, registering, nullptr);
    strings->GetStringList().Assign(lines);
    return strings;
}
