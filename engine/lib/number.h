// TJNumberObject and TJBooleanObject: the script classes "Number" and
// "Boolean", the object forms of numbers and booleans made by `new` and by the
// evaluator's boxing of primitives. Number also carries the numeric constants
// and the text formatting methods. DLL calls and GUI events write values back
// into Number objects.
#pragma once

#include "engine/core/object.h"

class TJNumberObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The value is a copy of a numeric argument (in its own kind), else the
    // integer 0.
    TJNumberObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The value, in the kind it was given.
    const TJValue& NumberValue() const { return Value_; }
    void SetNumberValue(const TJValue& value);

    // The value's text; radix 2, 8 and 16 give the digits of its integer
    // conversion read as an unsigned 32-bit number.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    TJValue ValueOf() override { return Value_; }
    double ToNumber() override { return ValueToDouble(Value_); }
    bool ToBool() override { return ValueToBool(Value_); }
    uint8_t ToChar() override { return ValueToChar(Value_); }
    // An integer as VT_I4, any other value as its double.
    void ToVariant(VARIANT& variant) override;

    // ---- Published properties ----
    double numberProperty() const { return ValueToDouble(Value_); }
    void setNumberProperty(double value);
    int32_t intProperty() const { return ValueToInteger(Value_); }
    void setIntProperty(int32_t value);
    AnsiString asCharProperty() const;
    void setAsCharProperty(const AnsiString& text);

    const TJMethodTable& Methods() const override;

protected:
    void RegisterConstants() override;

private:
    TJValue Value_;
};

class TJBooleanObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The argument converted to a boolean; false without one.
    TJBooleanObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    bool ToBool() override { return Bool_; }
    double ToNumber() override { return Bool_ ? 1.0 : 0.0; }
    uint8_t ToChar() override { return Bool_ ? 1 : 0; }
    AnsiString ToString(const TJValue* arg = nullptr) override;
    TJValue ValueOf() override;
    void ToVariant(VARIANT& variant) override;

    // The published property "bool".
    bool boolProperty() const { return Bool_; }
    void setBoolProperty(bool value) { Bool_ = value; }

private:
    bool Bool_ = false;
};

// New registered objects of the engine holding a value (the boxing of
// primitives).
TJNumberObject* NewNumberObject(TJRuntime* runtime, const TJValue& value);
TJBooleanObject* NewBooleanObject(TJRuntime* runtime, bool value);

// Registers "Number" and "Boolean" with the engine.
void RegisterNumberClasses(TJRuntime* runtime);
