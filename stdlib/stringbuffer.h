// TJStringBufferObject: the script class "StringBuffer" - a mutable byte
// string with 0-based byte positions (negative indexes count from the end),
// for scripts that edit byte data or fixed-width records in place. The value
// conversions count it as a string value (IsStringBufferValue).
#pragma once

#include "engine/core/object.h"

class TJStringBufferObject : public TJObject {
    RTL_DECLARE_CLASS()
    // No argument: empty; a number n: n bytes of the second argument's
    // character code (default 0); any other value: its text.
    TJStringBufferObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString& Text() { return Text_; }

    // Index access by key: b[i] reads the one-byte string at i and writes the
    // value's character code there.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    AnsiString ToString(const TJValue* = nullptr) override { return Text_; }
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return lengthProperty(); }
    void GetItem(int32_t index, TJValue& value) override;

    // ---- Published properties ----
    AnsiString textProperty() const { return Text_; }
    void setTextProperty(AnsiString text) { Text_ = std::move(text); }
    int32_t lengthProperty() const { return static_cast<int32_t>(Text_.length()); }
    // Cuts the text, or lengthens it with bytes 0.
    void setLengthProperty(int32_t length);

    const TJMethodTable& Methods() const override;

private:
    // The 0-based byte of an integer key (negative: from the end); false for
    // other names, "EIndexError" with the name outside the text.
    bool byteIndex(const AnsiString& name, int32_t& index) const;

    AnsiString Text_;
};

// "EStringError" "length error " + n unless 0 <= n <= MaxStringSize: a
// buffer never takes more memory than any other script text.
void CheckBufferLength(int64_t length);
