// The String object: construction, index reads and writes, the character and
// search methods over code-page-932 characters, the HTML wrappers, the
// regular-expression methods (through a RegExp object) and the case, width
// and Japanese code conversions.
#include "engine/lib/stringobject.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "engine/core/array.h"
#include "engine/support/crypt.h"
#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/support/mbstring.h"
#include "engine/lib/regexpobject.h"
#include "engine/support/textcodes.h"
#include "engine/core/valuelist.h"
#include "engine/core/variant.h"
#include "rtl/codepage.h"

namespace {

// The class name every object of the class shares (a copy takes no memory).
const AnsiString stringClassName("String");

const TPropInfo stringProperties[] = {
    IntegerProperty<&TJStringObject::lengthProperty>("length"),
    StringProperty<&TJStringObject::Text, &TJStringObject::SetText>("text"),
    StringProperty<&TJStringObject::Text, &TJStringObject::SetText>("str"),
};

// The limit of a split without one.
constexpr int32_t noSplitLimit = 2147483647;
// Character positions are kept within this bound before any arithmetic; no
// text in a 32-bit process holds that many characters.
constexpr int32_t positionBound = 1 << 30;

// The 1-based character number of a 0-based script position.
int32_t charNumber(int32_t position) { return std::clamp(position, -positionBound, positionBound) + 1; }
int32_t charNumber(const TJValue& position) { return charNumber(ValueToInteger(position)); }

const TJValue* argAt(TJValueList* args, int index) { return ArgCount(args) > index ? &args->At(index) : nullptr; }

// ==== Conversions ====

// The platform's case mapping of the ANSI code page; what it cannot map
// keeps its bytes.
AnsiString mapCase(const AnsiString& text, DWORD (WINAPI* mapper)(LPSTR, DWORD)) {
    return mapUnicodeRuns(text, [mapper](std::string_view run) {
        AnsiString mapped(run);
        mapper(mapped.mutableData(), static_cast<DWORD>(mapped.length()));
        return mapped;
    });
}

AnsiString wideToCodePage(std::wstring_view wide, UINT codePage) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    AnsiString out;
    out.setLength(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.mutableData(), n, nullptr,
                        nullptr);
    return out;
}

WideString utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    WideString wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// UTF-16 handed back in a byte string: the code units' bytes, low byte first,
// two bytes per unit and no terminator, so that the string's length is the
// data's size and the bytes can be written out as UTF-16LE as they stand.
AnsiString wideAsBytes(const WideString& wide) {
    return AnsiString(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

AnsiString cryptText(const AnsiString& key, const AnsiString& salt) {
    static TCrypt3 crypt3;  // its tables are built once and kept for the next salt
    return crypt3.Crypt(key, salt);
}

}  // namespace

const TClassInfo TJStringObject::classInfo =
    makeClassInfo("TJStringObject", &TJObject::classInfo, stringProperties, &scriptCreator<TJStringObject>);

// The value conversions know String objects by this class record from here on.
void RegisterStringClass(TJRuntime* runtime) {
    JModuleHooks.StringObject = &TJStringObject::classInfo;
    JModuleHooks.SetStringText = [](TJObject* string, const AnsiString& text) {
        static_cast<TJStringObject*>(string)->SetText(text);
    };
    runtime->RegisterScriptClass("String", &TJStringObject::classInfo);
}

// ==== Construction ====

TJStringObject::TJStringObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName(stringClassName);
    if (HasArgs(args)) Text_ = ValueToString(&args->At(0));
}

// ==== Index access and conversions ====

int32_t TJStringObject::lengthProperty() const { return MbcsLength(Text_); }

void TJStringObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (!keyError) {
        TJObject::GetValue(name, keyError, value, args);
        return;
    }
    if (HasTwoArgs(args)) {
        MakeString(MbcsSlice(Text_, charNumber(args->At(0)), charNumber(args->At(1))), value);
        return;
    }
    int32_t index;
    if (ReadDecimalIndex(name, index)) {
        MakeString(MbcsCopy(Text_, characterAt(name, index), 1), value);
        return;
    }
    // A bracket index that is not a number still reads what the object knows
    // under that name (s["length"], a member set by the script); any other
    // text is an index error, as a number outside the text is.
    if (!GetValueImpl(name, value, args)) raiseScriptError("EIndexError", name);
}

void TJStringObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (HasTwoArgs(args)) {
        AnsiString text = ValueToString(value);
        CheckStringSize(Text_.length() + text.length());
        MbcsSplice(text, Text_, charNumber(args->At(0)), charNumber(args->At(1)));
        return;
    }
    // A write cannot tell s["name"] from s.name, so any name that is not a
    // number is an ordinary member write (as the read above finds it again).
    int32_t index;
    if (!ReadDecimalIndex(name, index)) {
        TJObject::SetValue(name, value, args);
        return;
    }
    int32_t at = characterAt(name, index);
    AnsiString text = ValueToString(value);
    CheckStringSize(Text_.length() + text.length());
    MbcsReplaceAt(text, Text_, at);
}

// The 1-based character number of an index (negative: from the end); an
// index outside the text raises "EIndexError" with the index text.
int32_t TJStringObject::characterAt(const AnsiString& name, int32_t index) const {
    int32_t length = MbcsLength(Text_);
    if (index < 0) index += length;
    if (index < 0 || index >= length) raiseScriptError("EIndexError", name);
    return index + 1;
}

void TJStringObject::ToVariant(VARIANT& variant) { ValueToVariant(ValueOf(), variant); }

TJValue TJStringObject::ValueOf() {
    TJValue value;
    MakeString(Text_, value);
    return value;
}

double TJStringObject::ToNumber() {
    TJValue text = ValueOf();
    return ValueToDouble(text);
}

void TJStringObject::GetItem(int32_t index, TJValue& value) {
    MakeString(index < 0 ? AnsiString() : MbcsCopy(Text_, charNumber(index), 1), value);
}

// ==== Characters and searching ====

namespace {

// The text turned by one text function (trim, reverse, the conversions).
template <auto Convert>
void converted(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(Convert(self.Text()), result);
}

void charAt(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t at = HasArgs(args) ? charNumber(args->At(0)) : 0;
    MakeString(at <= 0 ? AnsiString() : MbcsCopy(self.Text(), at, 1), result);
}

void charCodeAt(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t at = HasArgs(args) ? charNumber(args->At(0)) : 0;
    AnsiString c = at <= 0 ? AnsiString() : MbcsCopy(self.Text(), at, 1);
    if (c.empty()) MakeNaN(result);
    else if (c.length() == 1) MakeInteger(c.byte(0), result);
    else MakeInteger(c.byte(0) * 256 + c.byte(1), result);
}

void concat(TJStringObject& self, TJValueList* args, TJValue& result) {
    std::vector<AnsiString> parts;
    size_t size = self.Text().length();
    for (int i = 0; i < args->Count(); ++i) {
        parts.push_back(ValueToString(&args->At(i)));
        size += parts.back().length();
        CheckStringSize(size);
    }
    AnsiString joined = self.Text();
    for (const AnsiString& part : parts) joined += part;
    MakeString(joined, result);
}

void fromCharCode(TJStringObject&, TJValueList* args, TJValue& result) {
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) {
        int32_t code = ValueToInteger(&args->At(i));
        if (code & 0xFF00) text += static_cast<char>((code >> 8) & 0xFF);
        text += static_cast<char>(code & 0xFF);
    }
    MakeString(text, result);
}

void indexOf(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t from = HasTwoArgs(args) ? charNumber(args->At(1)) : 1;
    MakeInteger(MbcsPos(ValueToString(&args->At(0)), self.Text(), from) - 1, result);
}

void lastIndexOf(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t from = HasTwoArgs(args) ? charNumber(args->At(1)) : 0;
    MakeInteger(MbcsLastPos(ValueToString(&args->At(0)), self.Text(), from) - 1, result);
}

void slice(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t end = HasTwoArgs(args) ? charNumber(args->At(1)) : INT_MAX;
    MakeString(MbcsSlice(self.Text(), charNumber(args->At(0)), end), result);
}

void substr(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t count = HasTwoArgs(args) ? ValueToInteger(&args->At(1)) : INT_MAX;
    MakeString(MbcsCopy(self.Text(), charNumber(args->At(0)), count), result);
}

void substring(TJStringObject& self, TJValueList* args, TJValue& result) {
    int32_t start = std::max(1, charNumber(args->At(0)));
    int32_t end = HasTwoArgs(args) ? std::max(1, charNumber(args->At(1))) : INT_MAX;
    int32_t low = std::min(start, end), high = std::max(start, end);
    MakeString(MbcsCopy(self.Text(), low, high - low), result);
}

void localeCompare(TJStringObject& self, TJValueList* args, TJValue& result) {
    AnsiString other = ValueToString(&args->At(0));
    int order = CompareStringA(LOCALE_USER_DEFAULT, 0, self.Text().c_str(), static_cast<int>(self.Text().length()),
                               other.c_str(), static_cast<int>(other.length()));
    MakeInteger(order == CSTR_LESS_THAN ? -1 : order == CSTR_GREATER_THAN ? 1 : 0, result);
}

void multiply(TJStringObject& self, TJValueList* args, TJValue& result) {
    MakeString(RepeatText(self.Text(), HasArgs(args) ? ValueToInteger(&args->At(0)) : 0), result);
}

void sizeOf(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeInteger(static_cast<int32_t>(self.Text().length()), result);
}

void toString(TJStringObject& self, TJValueList* args, TJValue& result) {
    MakeString(self.ToString(argAt(args, 0)), result);
}

// ==== HTML wrappers ====

// The tags around a text of the wrappers without an argument.
struct TJTags {
    const char* Open;
    const char* Close;
};
constexpr TJTags bigTags{"<BIG>", "</BIG>"}, blinkTags{"<BLINK>", "</BLINK>"}, boldTags{"<B>", "</B>"},
    fixedTags{"<TT>", "</TT>"}, italicsTags{"<I>", "</I>"}, smallTags{"<SMALL>", "</SMALL>"},
    strikeTags{"<STRIKE>", "</STRIKE>"}, subTags{"<SUB>", "</SUB>"}, supTags{"<SUP>", "</SUP>"};

template <const TJTags& Tags>
void tagged(TJStringObject& self, TJValueList*, TJValue& result) {
    const AnsiString& text = self.Text();
    CheckStringSize(uint64_t{text.length()} + std::strlen(Tags.Open) + std::strlen(Tags.Close));
    MakeString(Tags.Open + text + Tags.Close, result);
}

// open + '"' + the argument + '">' + text + close.
void attributed(const AnsiString& text, TJValueList* args, const char* open, const char* close, TJValue& result) {
    AnsiString argument = ValueToString(&args->At(0));
    CheckStringSize(uint64_t{text.length()} + argument.length() + std::strlen(open) + std::strlen(close) + 3);
    MakeString(open + ("\"" + argument) + "\">" + text + close, result);
}

void anchor(TJStringObject& self, TJValueList* args, TJValue& result) {
    attributed(self.Text(), args, "<A NAME=", "</A>", result);
}
void fontColor(TJStringObject& self, TJValueList* args, TJValue& result) {
    attributed(self.Text(), args, "<FONT COLOR=", "</FONT>", result);
}
void fontSize(TJStringObject& self, TJValueList* args, TJValue& result) {
    attributed(self.Text(), args, "<FONT SIZE=", "</FONT>", result);
}
void link(TJStringObject& self, TJValueList* args, TJValue& result) {
    attributed(self.Text(), args, "<A HREF=", "</A>", result);
}

// ==== Regular expressions ====

// The RegExp object given as the first argument, or a new one made from the
// whole argument list as `new RegExp(...)` makes it; either holds a reference
// for the duration of the call.
class RegExpArgument {
public:
    RegExpArgument(TJStringObject& owner, TJValueList* args) {
        const TJValue& first = args->At(0);
        given_ = IsObjectValue(first) && first.ObjValue->InheritsFrom(&TJRegExpObject::classInfo);
        object_ = given_ ? static_cast<TJRegExpObject*>(first.ObjValue)
                         : createObject<TJRegExpObject>(owner.Runtime(), true, args);
        object_->IncRef();
    }
    ~RegExpArgument() { object_->DecRef(); }
    RegExpArgument(const RegExpArgument&) = delete;
    RegExpArgument& operator=(const RegExpArgument&) = delete;

    bool given() const { return given_; }
    TJRegExpObject* operator->() const { return object_; }

private:
    TJRegExpObject* object_;
    bool given_;
};

void match(TJStringObject& self, TJValueList* args, TJValue& result) {
    RegExpArgument regExp(self, args);
    MakeNull(result);
    if (TJArrayObject* matches = regExp->ExecText(self.Text())) MakeObject(matches, result);
}

void search(TJStringObject& self, TJValueList* args, TJValue& result) {
    RegExpArgument regExp(self, args);
    if (TJArrayObject* matches = regExp->ExecText(self.Text())) {
        matches->IncRef();
        matches->DecRef();
    }
    MakeInteger(regExp->indexProperty(), result);
}

// With a RegExp object the replacement is the second argument; with a pattern
// it is the third when given, else the second (which is then also the flag
// text). A missing or undefined replacement is the empty text.
void replace(TJStringObject& self, TJValueList* args, TJValue& result) {
    RegExpArgument regExp(self, args);
    const TJValue* replacement = regExp.given() || !HasThreeArgs(args) ? argAt(args, 1) : argAt(args, 2);
    if (replacement && IsUndefinedValue(*replacement)) replacement = nullptr;
    MakeString(regExp->ReplaceMatches(self.Text(), replacement), result);
}

// With a RegExp object the limit is the second argument; with a pattern it is
// the second when that is numeric, else the third when given.
void split(TJStringObject& self, TJValueList* args, TJValue& result) {
    RegExpArgument regExp(self, args);
    const TJValue* limit = argAt(args, 1);
    if (!regExp.given() && !(limit && IsNumericValue(*limit))) limit = argAt(args, 2);
    MakeObject(regExp->SplitText(self.Text(), limit ? ValueToInteger(limit) : noSplitLimit), result);
}

// ==== Case, width and code conversions ====

void toLowerCase(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(mapCase(self.Text(), &CharLowerBuffA), result);
}
void toUpperCase(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(mapCase(self.Text(), &CharUpperBuffA), result);
}

void toJIS(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(ConvertJapaneseCode(self.Text(), jcJISNew), result);
}
void toSJIS(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(ConvertJapaneseCode(self.Text(), jcSJIS), result);
}
void toEUC(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(ConvertJapaneseCode(self.Text(), jcEUC), result);
}

void toWide(TJStringObject& self, TJValueList*, TJValue& result) {
    CheckStringSize(static_cast<uint64_t>(self.Text().length()) * 2);
    MakeString(wideAsBytes(ansiToWide(self.Text())), result);
}
void toUTF8(TJStringObject& self, TJValueList*, TJValue& result) {
    CheckStringSize(static_cast<uint64_t>(self.Text().length()) * 3);  // a half-width kana takes 3 bytes
    MakeString(wideToCodePage(ansiToWide(self.Text()), CP_UTF8), result);
}
void fromUTF8toSJIS(TJStringObject& self, TJValueList*, TJValue& result) {
    MakeString(wideToAnsi(utf8ToWide(self.Text())), result);
}

void crypt(TJStringObject& self, TJValueList* args, TJValue& result) {
    MakeString(cryptText(self.Text(), HasArgs(args) ? ValueToString(&args->At(0)) : AnsiString()), result);
}

// "toString" (after the methods every object has) gives the text. The
// evaluator calls these rows for primitive texts on one object that it lends
// again and again: no row may keep its object or hand it out.
const TJMethod<TJStringObject> stringMethods[] = {
    {"charAt", 0, &charAt},
    {"anchor", 1, &anchor},
    {"big", 0, &tagged<bigTags>},
    {"blink", 0, &tagged<blinkTags>},
    {"bold", 0, &tagged<boldTags>},
    {"charCodeAt", 0, &charCodeAt},
    {"concat", 1, &concat},
    {"fixed", 0, &tagged<fixedTags>},
    {"fontcolor", 1, &fontColor},
    {"fontsize", 1, &fontSize},
    {"fromCharCode", 1, &fromCharCode},
    {"indexOf", 1, &indexOf},
    {"italics", 0, &tagged<italicsTags>},
    {"lastIndexOf", 1, &lastIndexOf},
    {"link", 1, &link},
    {"match", 1, &match},
    {"replace", 1, &replace},
    {"search", 1, &search},
    {"slice", 1, &slice},
    {"small", 0, &tagged<smallTags>},
    {"split", 1, &split},
    {"strike", 0, &tagged<strikeTags>},
    {"sub", 0, &tagged<subTags>},
    {"substr", 1, &substr},
    {"substring", 1, &substring},
    {"sup", 0, &tagged<supTags>},
    {"localeCompare", 1, &localeCompare},
    {"reverse", 0, &converted<MbcsReverse>},
    {"multiply", 0, &multiply},
    {"toLowerCase", 0, &toLowerCase},
    {"toUpperCase", 0, &toUpperCase},
    {"toJIS", 0, &toJIS},
    {"toSJIS", 0, &toSJIS},
    {"toEUC", 0, &toEUC},
    {"toWide", 0, &toWide},
    {"toUTF8", 0, &toUTF8},
    {"toString", 0, &toString},
    {"toZenkaku", 0, &converted<ToFullWidth>},
    {"toHankaku", 0, &converted<ToHalfWidth>},
    {"toHiragana", 0, &converted<ToHiragana>},
    {"toKatakana", 0, &converted<ToKatakana>},
    {"fromJIStoSJIS", 0, &converted<JisToSjis>},
    {"fromJIStoEUC", 0, &converted<JisToEuc>},
    {"fromEUCtoSJIS", 0, &converted<EucToSjis>},
    {"fromEUCtoJIS", 0, &converted<EucToJis>},
    {"fromSJIStoEUC", 0, &converted<SjisToEuc>},
    {"fromSJIStoJIS", 0, &converted<SjisToJis>},
    {"fromUTF8toSJIS", 0, &fromUTF8toSJIS},
    {"crypt", 0, &crypt},
    {"trim", 0, &converted<trimText>},
    {"trimLeft", 0, &converted<trimLeft>},
    {"trimRight", 0, &converted<trimRight>},
    {"sizeOf", 0, &sizeOf},
};

}  // namespace

const TJMethodTable& TJStringObject::Methods() const {
    static const TJMethodTable table(stringMethods, TJObject::Methods());
    return table;
}
