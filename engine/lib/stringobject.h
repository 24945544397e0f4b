// TJStringObject: the script class "String" - a mutable byte string in code
// page 932 whose positions count characters (a lead byte and its trail byte
// are one), with index reads and writes, the String methods, the regular-
// expression methods over the RegExp object, and the code conversions. The
// evaluator boxes every primitive text into one to reach its members.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

class TJRuntime;
class TJRegExpObject;

// Registers the class "String" with the engine (one of its built-in classes).
void RegisterStringClass(TJRuntime* runtime);

class TJStringObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The text is the first argument as text; empty without one.
    TJStringObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    const AnsiString& Text() const { return Text_; }
    void SetText(AnsiString text) { Text_ = std::move(text); }

    // Index access (key-error mode, as the evaluator indexes): s[i] is the
    // character at i (negative counts from the end), s[a, b] the slice;
    // writes replace the character or the slice in place.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    AnsiString ToString(const TJValue* = nullptr) override { return Text_; }
    TJValue ValueOf() override;
    double ToNumber() override;
    bool ToBool() override { return !Text_.empty(); }
    void ToVariant(VARIANT& variant) override;
    uint8_t ToChar() override { return Text_.empty() ? 0 : Text_.byte(0); }
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return lengthProperty(); }
    // The character at the 0-based index; the empty text outside the text.
    void GetItem(int32_t index, TJValue& value) override;

    // The published `length` (characters); `text` and `str` are Text and SetText.
    int32_t lengthProperty() const;

protected:
    void RegisterMethods() override;

private:
    static const TJMethodEntry stringMethods_[53];

    // A RegExp object for the regular-expression methods, counted while held.
    class RegExpArgument;

    int32_t characterAt(const AnsiString& name, int32_t index) const;

    // Characters and searching
    void nativeCharAt(TJValueList* args, TJValue& result);
    void nativeCharCodeAt(TJValueList* args, TJValue& result);
    void nativeConcat(TJValueList* args, TJValue& result);
    void nativeFromCharCode(TJValueList* args, TJValue& result);
    void nativeIndexOf(TJValueList* args, TJValue& result);
    void nativeLastIndexOf(TJValueList* args, TJValue& result);
    void nativeSlice(TJValueList* args, TJValue& result);
    void nativeSubstr(TJValueList* args, TJValue& result);
    void nativeSubstring(TJValueList* args, TJValue& result);
    void nativeLocaleCompare(TJValueList* args, TJValue& result);
    void nativeReverse(TJValueList* args, TJValue& result);
    void nativeMultiply(TJValueList* args, TJValue& result);
    void nativeTrim(TJValueList* args, TJValue& result);
    void nativeTrimLeft(TJValueList* args, TJValue& result);
    void nativeTrimRight(TJValueList* args, TJValue& result);
    void nativeSizeOf(TJValueList* args, TJValue& result);
    void nativeToString(TJValueList* args, TJValue& result);
    // HTML wrappers
    void nativeAnchor(TJValueList* args, TJValue& result);
    void nativeBig(TJValueList* args, TJValue& result);
    void nativeBlink(TJValueList* args, TJValue& result);
    void nativeBold(TJValueList* args, TJValue& result);
    void nativeFixed(TJValueList* args, TJValue& result);
    void nativeFontColor(TJValueList* args, TJValue& result);
    void nativeFontSize(TJValueList* args, TJValue& result);
    void nativeItalics(TJValueList* args, TJValue& result);
    void nativeLink(TJValueList* args, TJValue& result);
    void nativeSmall(TJValueList* args, TJValue& result);
    void nativeStrike(TJValueList* args, TJValue& result);
    void nativeSub(TJValueList* args, TJValue& result);
    void nativeSup(TJValueList* args, TJValue& result);
    // Regular expressions
    void nativeMatch(TJValueList* args, TJValue& result);
    void nativeReplace(TJValueList* args, TJValue& result);
    void nativeSearch(TJValueList* args, TJValue& result);
    void nativeSplit(TJValueList* args, TJValue& result);
    // Case, width and code conversions
    void nativeToLowerCase(TJValueList* args, TJValue& result);
    void nativeToUpperCase(TJValueList* args, TJValue& result);
    void nativeToJIS(TJValueList* args, TJValue& result);
    void nativeToSJIS(TJValueList* args, TJValue& result);
    void nativeToEUC(TJValueList* args, TJValue& result);
    void nativeToWide(TJValueList* args, TJValue& result);
    void nativeToUTF8(TJValueList* args, TJValue& result);
    void nativeToZenkaku(TJValueList* args, TJValue& result);
    void nativeToHankaku(TJValueList* args, TJValue& result);
    void nativeToHiragana(TJValueList* args, TJValue& result);
    void nativeToKatakana(TJValueList* args, TJValue& result);
    void nativeFromJIStoSJIS(TJValueList* args, TJValue& result);
    void nativeFromJIStoEUC(TJValueList* args, TJValue& result);
    void nativeFromEUCtoSJIS(TJValueList* args, TJValue& result);
    void nativeFromEUCtoJIS(TJValueList* args, TJValue& result);
    void nativeFromSJIStoEUC(TJValueList* args, TJValue& result);
    void nativeFromSJIStoJIS(TJValueList* args, TJValue& result);
    void nativeFromUTF8toSJIS(TJValueList* args, TJValue& result);
    void nativeCrypt(TJValueList* args, TJValue& result);

    AnsiString Text_;
};
