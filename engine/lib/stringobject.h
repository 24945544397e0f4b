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
    // The text itself, for writing into its bytes (DynaCall's memory operations).
    AnsiString& MutableText() { return Text_; }

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

    const TJMethodTable& Methods() const override;

private:
    int32_t characterAt(const AnsiString& name, int32_t index) const;

    AnsiString Text_;
};
