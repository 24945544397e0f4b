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

// The value conversions know String objects by this class record.
const bool classHookSet = [] {
    JModuleHooks.StringObject = &TJStringObject::classInfo;
    return true;
}();

// ==== Conversions ====

AnsiString trimLeft(std::string_view s) {
    size_t first = 0;
    while (first < s.size() && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    return AnsiString(s.substr(first));
}

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

void RegisterStringClass(TJRuntime* runtime) { runtime->RegisterScriptClass("String", &TJStringObject::classInfo); }

// ==== Construction ====

TJStringObject::TJStringObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("String");
    if (HasArgs(args)) Text_ = ValueToString(&args->At(0));
}

// "toString" is registered again (after the inherited methods) with the text as
// its result, so the table holds the whole String surface.
const TJMethodEntry TJStringObject::stringMethods_[53] = {
    {"charAt", &nativeMethod<TJStringObject, &TJStringObject::nativeCharAt>},
    {"anchor", &nativeMethod<TJStringObject, &TJStringObject::nativeAnchor>},
    {"big", &nativeMethod<TJStringObject, &TJStringObject::nativeBig>},
    {"blink", &nativeMethod<TJStringObject, &TJStringObject::nativeBlink>},
    {"bold", &nativeMethod<TJStringObject, &TJStringObject::nativeBold>},
    {"charCodeAt", &nativeMethod<TJStringObject, &TJStringObject::nativeCharCodeAt>},
    {"concat", &nativeMethod<TJStringObject, &TJStringObject::nativeConcat>},
    {"fixed", &nativeMethod<TJStringObject, &TJStringObject::nativeFixed>},
    {"fontcolor", &nativeMethod<TJStringObject, &TJStringObject::nativeFontColor>},
    {"fontsize", &nativeMethod<TJStringObject, &TJStringObject::nativeFontSize>},
    {"fromCharCode", &nativeMethod<TJStringObject, &TJStringObject::nativeFromCharCode>},
    {"indexOf", &nativeMethod<TJStringObject, &TJStringObject::nativeIndexOf>},
    {"italics", &nativeMethod<TJStringObject, &TJStringObject::nativeItalics>},
    {"lastIndexOf", &nativeMethod<TJStringObject, &TJStringObject::nativeLastIndexOf>},
    {"link", &nativeMethod<TJStringObject, &TJStringObject::nativeLink>},
    {"match", &nativeMethod<TJStringObject, &TJStringObject::nativeMatch>},
    {"replace", &nativeMethod<TJStringObject, &TJStringObject::nativeReplace>},
    {"search", &nativeMethod<TJStringObject, &TJStringObject::nativeSearch>},
    {"slice", &nativeMethod<TJStringObject, &TJStringObject::nativeSlice>},
    {"small", &nativeMethod<TJStringObject, &TJStringObject::nativeSmall>},
    {"split", &nativeMethod<TJStringObject, &TJStringObject::nativeSplit>},
    {"strike", &nativeMethod<TJStringObject, &TJStringObject::nativeStrike>},
    {"sub", &nativeMethod<TJStringObject, &TJStringObject::nativeSub>},
    {"substr", &nativeMethod<TJStringObject, &TJStringObject::nativeSubstr>},
    {"substring", &nativeMethod<TJStringObject, &TJStringObject::nativeSubstring>},
    {"sup", &nativeMethod<TJStringObject, &TJStringObject::nativeSup>},
    {"localeCompare", &nativeMethod<TJStringObject, &TJStringObject::nativeLocaleCompare>},
    {"reverse", &nativeMethod<TJStringObject, &TJStringObject::nativeReverse>},
    {"multiply", &nativeMethod<TJStringObject, &TJStringObject::nativeMultiply>},
    {"toLowerCase", &nativeMethod<TJStringObject, &TJStringObject::nativeToLowerCase>},
    {"toUpperCase", &nativeMethod<TJStringObject, &TJStringObject::nativeToUpperCase>},
    {"toJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeToJIS>},
    {"toSJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeToSJIS>},
    {"toEUC", &nativeMethod<TJStringObject, &TJStringObject::nativeToEUC>},
    {"toWide", &nativeMethod<TJStringObject, &TJStringObject::nativeToWide>},
    {"toUTF8", &nativeMethod<TJStringObject, &TJStringObject::nativeToUTF8>},
    {"toString", &nativeMethod<TJStringObject, &TJStringObject::nativeToString>},
    {"toZenkaku", &nativeMethod<TJStringObject, &TJStringObject::nativeToZenkaku>},
    {"toHankaku", &nativeMethod<TJStringObject, &TJStringObject::nativeToHankaku>},
    {"toHiragana", &nativeMethod<TJStringObject, &TJStringObject::nativeToHiragana>},
    {"toKatakana", &nativeMethod<TJStringObject, &TJStringObject::nativeToKatakana>},
    {"fromJIStoSJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeFromJIStoSJIS>},
    {"fromJIStoEUC", &nativeMethod<TJStringObject, &TJStringObject::nativeFromJIStoEUC>},
    {"fromEUCtoSJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeFromEUCtoSJIS>},
    {"fromEUCtoJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeFromEUCtoJIS>},
    {"fromSJIStoEUC", &nativeMethod<TJStringObject, &TJStringObject::nativeFromSJIStoEUC>},
    {"fromSJIStoJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeFromSJIStoJIS>},
    {"fromUTF8toSJIS", &nativeMethod<TJStringObject, &TJStringObject::nativeFromUTF8toSJIS>},
    {"crypt", &nativeMethod<TJStringObject, &TJStringObject::nativeCrypt>},
    {"trim", &nativeMethod<TJStringObject, &TJStringObject::nativeTrim>},
    {"trimLeft", &nativeMethod<TJStringObject, &TJStringObject::nativeTrimLeft>},
    {"trimRight", &nativeMethod<TJStringObject, &TJStringObject::nativeTrimRight>},
    {"sizeOf", &nativeMethod<TJStringObject, &TJStringObject::nativeSizeOf>},
};

void TJStringObject::RegisterMethods() {
    TJObject::RegisterMethods();
    RegisterMethodTable(stringMethods_);
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

void TJStringObject::nativeCharAt(TJValueList* args, TJValue& result) {
    int32_t at = HasArgs(args) ? charNumber(args->At(0)) : 0;
    MakeString(at <= 0 ? AnsiString() : MbcsCopy(Text_, at, 1), result);
}

void TJStringObject::nativeCharCodeAt(TJValueList* args, TJValue& result) {
    int32_t at = HasArgs(args) ? charNumber(args->At(0)) : 0;
    AnsiString c = at <= 0 ? AnsiString() : MbcsCopy(Text_, at, 1);
    if (c.empty()) MakeNaN(result);
    else if (c.length() == 1) MakeInteger(c.byte(0), result);
    else MakeInteger(c.byte(0) * 256 + c.byte(1), result);
}

void TJStringObject::nativeConcat(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    std::vector<AnsiString> parts;
    size_t size = Text_.length();
    for (int i = 0; i < args->Count(); ++i) {
        parts.push_back(ValueToString(&args->At(i)));
        size += parts.back().length();
        CheckStringSize(size);
    }
    AnsiString joined = Text_;
    for (const AnsiString& part : parts) joined += part;
    MakeString(joined, result);
}

void TJStringObject::nativeFromCharCode(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString text;
    for (int i = 0; i < args->Count(); ++i) {
        int32_t code = ValueToInteger(&args->At(i));
        if (code & 0xFF00) text += static_cast<char>((code >> 8) & 0xFF);
        text += static_cast<char>(code & 0xFF);
    }
    MakeString(text, result);
}

void TJStringObject::nativeIndexOf(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int32_t from = HasTwoArgs(args) ? charNumber(args->At(1)) : 1;
    MakeInteger(MbcsPos(ValueToString(&args->At(0)), Text_, from) - 1, result);
}

void TJStringObject::nativeLastIndexOf(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int32_t from = HasTwoArgs(args) ? charNumber(args->At(1)) : 0;
    MakeInteger(MbcsLastPos(ValueToString(&args->At(0)), Text_, from) - 1, result);
}

void TJStringObject::nativeSlice(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int32_t end = HasTwoArgs(args) ? charNumber(args->At(1)) : INT_MAX;
    MakeString(MbcsSlice(Text_, charNumber(args->At(0)), end), result);
}

void TJStringObject::nativeSubstr(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int32_t count = HasTwoArgs(args) ? ValueToInteger(&args->At(1)) : INT_MAX;
    MakeString(MbcsCopy(Text_, charNumber(args->At(0)), count), result);
}

void TJStringObject::nativeSubstring(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    int32_t start = std::max(1, charNumber(args->At(0)));
    int32_t end = HasTwoArgs(args) ? std::max(1, charNumber(args->At(1))) : INT_MAX;
    int32_t low = std::min(start, end), high = std::max(start, end);
    MakeString(MbcsCopy(Text_, low, high - low), result);
}

void TJStringObject::nativeLocaleCompare(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString other = ValueToString(&args->At(0));
    int order = CompareStringA(LOCALE_USER_DEFAULT, 0, Text_.c_str(), static_cast<int>(Text_.length()),
                               other.c_str(), static_cast<int>(other.length()));
    MakeInteger(order == CSTR_LESS_THAN ? -1 : order == CSTR_GREATER_THAN ? 1 : 0, result);
}

void TJStringObject::nativeReverse(TJValueList*, TJValue& result) { MakeString(MbcsReverse(Text_), result); }

void TJStringObject::nativeMultiply(TJValueList* args, TJValue& result) {
    MakeString(RepeatText(Text_, HasArgs(args) ? ValueToInteger(&args->At(0)) : 0), result);
}

void TJStringObject::nativeTrim(TJValueList*, TJValue& result) { MakeString(trimText(Text_), result); }
void TJStringObject::nativeTrimLeft(TJValueList*, TJValue& result) { MakeString(trimLeft(Text_), result); }
void TJStringObject::nativeTrimRight(TJValueList*, TJValue& result) { MakeString(trimRight(Text_), result); }

void TJStringObject::nativeSizeOf(TJValueList*, TJValue& result) {
    MakeInteger(static_cast<int32_t>(Text_.length()), result);
}

void TJStringObject::nativeToString(TJValueList* args, TJValue& result) {
    MakeString(ToString(argAt(args, 0)), result);
}

// ==== HTML wrappers ====

namespace {

void tagged(const AnsiString& text, const char* open, const char* close, TJValue& result) {
    CheckStringSize(uint64_t{text.length()} + std::strlen(open) + std::strlen(close));
    MakeString(open + text + close, result);
}

// open + '"' + the argument + '">' + text + close; undefined without the argument.
void attributed(const AnsiString& text, TJValueList* args, const char* open, const char* close, TJValue& result) {
    if (!HasArgs(args)) return;
    AnsiString argument = ValueToString(&args->At(0));
    CheckStringSize(uint64_t{text.length()} + argument.length() + std::strlen(open) + std::strlen(close) + 3);
    MakeString(open + ("\"" + argument) + "\">" + text + close, result);
}

}  // namespace

void TJStringObject::nativeAnchor(TJValueList* args, TJValue& result) {
    attributed(Text_, args, "<A NAME=", "</A>", result);
}
void TJStringObject::nativeBig(TJValueList*, TJValue& result) { tagged(Text_, "<BIG>", "</BIG>", result); }
void TJStringObject::nativeBlink(TJValueList*, TJValue& result) { tagged(Text_, "<BLINK>", "</BLINK>", result); }
void TJStringObject::nativeBold(TJValueList*, TJValue& result) { tagged(Text_, "<B>", "</B>", result); }
void TJStringObject::nativeFixed(TJValueList*, TJValue& result) { tagged(Text_, "<TT>", "</TT>", result); }
void TJStringObject::nativeFontColor(TJValueList* args, TJValue& result) {
    attributed(Text_, args, "<FONT COLOR=", "</FONT>", result);
}
void TJStringObject::nativeFontSize(TJValueList* args, TJValue& result) {
    attributed(Text_, args, "<FONT SIZE=", "</FONT>", result);
}
void TJStringObject::nativeItalics(TJValueList*, TJValue& result) { tagged(Text_, "<I>", "</I>", result); }
void TJStringObject::nativeLink(TJValueList* args, TJValue& result) {
    attributed(Text_, args, "<A HREF=", "</A>", result);
}
void TJStringObject::nativeSmall(TJValueList*, TJValue& result) { tagged(Text_, "<SMALL>", "</SMALL>", result); }
void TJStringObject::nativeStrike(TJValueList*, TJValue& result) { tagged(Text_, "<STRIKE>", "</STRIKE>", result); }
void TJStringObject::nativeSub(TJValueList*, TJValue& result) { tagged(Text_, "<SUB>", "</SUB>", result); }
void TJStringObject::nativeSup(TJValueList*, TJValue& result) { tagged(Text_, "<SUP>", "</SUP>", result); }

// ==== Regular expressions ====

// The RegExp object given as the first argument, or a new one made from the
// whole argument list as `new RegExp(...)` makes it; either holds a reference
// for the duration of the call.
class TJStringObject::RegExpArgument {
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

void TJStringObject::nativeMatch(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    RegExpArgument regExp(*this, args);
    MakeNull(result);
    if (TJArrayObject* matches = regExp->ExecText(Text_)) MakeObject(matches, result);
}

void TJStringObject::nativeSearch(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    RegExpArgument regExp(*this, args);
    if (TJArrayObject* matches = regExp->ExecText(Text_)) {
        matches->IncRef();
        matches->DecRef();
    }
    MakeInteger(regExp->indexProperty(), result);
}

// With a RegExp object the replacement is the second argument; with a pattern
// it is the third when given, else the second (which is then also the flag
// text). A missing or undefined replacement is the empty text.
void TJStringObject::nativeReplace(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    RegExpArgument regExp(*this, args);
    const TJValue* replacement = regExp.given() || !HasThreeArgs(args) ? argAt(args, 1) : argAt(args, 2);
    if (replacement && IsUndefinedValue(*replacement)) replacement = nullptr;
    MakeString(regExp->ReplaceText(Text_, replacement), result);
}

// With a RegExp object the limit is the second argument; with a pattern it is
// the second when that is numeric, else the third when given.
void TJStringObject::nativeSplit(TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) return;
    RegExpArgument regExp(*this, args);
    const TJValue* limit = argAt(args, 1);
    if (!regExp.given() && !(limit && IsNumericValue(*limit))) limit = argAt(args, 2);
    MakeObject(regExp->SplitText(Text_, limit ? ValueToInteger(limit) : noSplitLimit), result);
}

// ==== Case, width and code conversions ====

void TJStringObject::nativeToLowerCase(TJValueList*, TJValue& result) {
    MakeString(mapCase(Text_, &CharLowerBuffA), result);
}
void TJStringObject::nativeToUpperCase(TJValueList*, TJValue& result) {
    MakeString(mapCase(Text_, &CharUpperBuffA), result);
}

void TJStringObject::nativeToJIS(TJValueList*, TJValue& result) {
    MakeString(ConvertJapaneseCode(Text_, jcJISNew), result);
}
void TJStringObject::nativeToSJIS(TJValueList*, TJValue& result) {
    MakeString(ConvertJapaneseCode(Text_, jcSJIS), result);
}
void TJStringObject::nativeToEUC(TJValueList*, TJValue& result) { MakeString(ConvertJapaneseCode(Text_, jcEUC), result); }

void TJStringObject::nativeToWide(TJValueList*, TJValue& result) {
    CheckStringSize(static_cast<uint64_t>(Text_.length()) * 2);
    MakeString(wideAsBytes(ansiToWide(Text_)), result);
}
void TJStringObject::nativeToUTF8(TJValueList*, TJValue& result) {
    CheckStringSize(static_cast<uint64_t>(Text_.length()) * 3);  // a half-width kana takes 3 bytes
    MakeString(wideToCodePage(ansiToWide(Text_), CP_UTF8), result);
}
void TJStringObject::nativeFromUTF8toSJIS(TJValueList*, TJValue& result) {
    MakeString(wideToAnsi(utf8ToWide(Text_)), result);
}

void TJStringObject::nativeToZenkaku(TJValueList*, TJValue& result) { MakeString(ToFullWidth(Text_), result); }
void TJStringObject::nativeToHankaku(TJValueList*, TJValue& result) { MakeString(ToHalfWidth(Text_), result); }
void TJStringObject::nativeToHiragana(TJValueList*, TJValue& result) { MakeString(ToHiragana(Text_), result); }
void TJStringObject::nativeToKatakana(TJValueList*, TJValue& result) { MakeString(ToKatakana(Text_), result); }

void TJStringObject::nativeFromJIStoSJIS(TJValueList*, TJValue& result) { MakeString(JisToSjis(Text_), result); }
void TJStringObject::nativeFromJIStoEUC(TJValueList*, TJValue& result) { MakeString(JisToEuc(Text_), result); }
void TJStringObject::nativeFromEUCtoSJIS(TJValueList*, TJValue& result) { MakeString(EucToSjis(Text_), result); }
void TJStringObject::nativeFromEUCtoJIS(TJValueList*, TJValue& result) { MakeString(EucToJis(Text_), result); }
void TJStringObject::nativeFromSJIStoEUC(TJValueList*, TJValue& result) { MakeString(SjisToEuc(Text_), result); }
void TJStringObject::nativeFromSJIStoJIS(TJValueList*, TJValue& result) { MakeString(SjisToJis(Text_), result); }

void TJStringObject::nativeCrypt(TJValueList* args, TJValue& result) {
    MakeString(cryptText(Text_, HasArgs(args) ? ValueToString(&args->At(0)) : AnsiString()), result);
}
