// The Number and Boolean objects: construction from a script value, the
// conversions they answer, Number's constants, radix texts and the fixed and
// scientific formatting methods.
#include "engine/lib/number.h"

#include <algorithm>
#include <bit>

#include "engine/core/runtime.h"
#include "engine/core/hooks.h"
#include "engine/support/numbits.h"
#include "engine/core/valuelist.h"
#include "rtl/format.h"
#include "rtl/numtext.h"

namespace {

// The class name every object of the class shares (a copy takes no memory).
const AnsiString numberClassName("Number");
const AnsiString booleanClassName("Boolean");

const TPropInfo numberProperties[] = {
    FloatProperty<&TJNumberObject::numberProperty, &TJNumberObject::setNumberProperty>("number"),
    IntegerProperty<&TJNumberObject::intProperty, &TJNumberObject::setIntProperty>("int"),
    StringProperty<&TJNumberObject::asCharProperty, &TJNumberObject::setAsCharProperty>("asChar"),
};

const TPropInfo booleanProperties[] = {
    BoolProperty<&TJBooleanObject::boolProperty, &TJBooleanObject::setBoolProperty>("bool"),
};

// A numeric value as a Number object keeps it: a Number object's own value, a
// String object's text, any other numeric value itself; anything else is the
// integer 0. No object is ever held.
TJValue numericCopy(const TJValue& value) {
    TJValue copy;
    if (!IsNumericValue(value)) MakeInteger(0, copy);
    else if (IsNumberObjectValue(&value)) copy = static_cast<TJNumberObject*>(value.ObjValue)->NumberValue();
    else if (IsObjectValue(value)) MakeString(ValueToString(value), copy);
    else copy = value;
    return copy;
}

TJValue doubleFromBits(uint64_t bits) {
    TJValue value;
    MakeDouble(std::bit_cast<double>(bits), value);
    return value;
}

// The digits argument of the formatting methods; 0 without one.
int32_t digitsArg(TJValueList* args) { return HasArgs(args) ? ValueToInteger(args->At(0)) : 0; }

// A one-byte text.
AnsiString charText(uint8_t code) { return AnsiString(1, static_cast<char>(code)); }

}  // namespace

const TClassInfo TJNumberObject::classInfo =
    makeClassInfo("TJNumberObject", &TJObject::classInfo, numberProperties, &scriptCreator<TJNumberObject>);
const TClassInfo TJBooleanObject::classInfo =
    makeClassInfo("TJBooleanObject", &TJObject::classInfo, booleanProperties, &scriptCreator<TJBooleanObject>);

// The value tests know Number objects from here on.
void RegisterNumberClasses(TJRuntime* runtime) {
    JModuleHooks.NumberObject = &TJNumberObject::classInfo;
    runtime->RegisterScriptClass("Number", &TJNumberObject::classInfo);
    runtime->RegisterScriptClass("Boolean", &TJBooleanObject::classInfo);
}

TJNumberObject* NewNumberObject(TJRuntime* runtime, const TJValue& value) {
    TJValueList args;
    args.Add(value);
    return createObject<TJNumberObject>(runtime, true, &args);
}

TJBooleanObject* NewBooleanObject(TJRuntime* runtime, bool value) {
    TJValueList args;
    args.AddBool(value);
    return createObject<TJBooleanObject>(runtime, true, &args);
}

// ==== Number ====

TJNumberObject::TJNumberObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName(numberClassName);
    if (HasArgs(args)) Value_ = numericCopy(args->At(0));
    else MakeInteger(0, Value_);
}

void TJNumberObject::SetNumberValue(const TJValue& value) { Value_ = numericCopy(value); }

void TJNumberObject::ToVariant(VARIANT& variant) {
    if (Value_.ValueType == vtInteger) {
        variant.vt = VT_I4;
        variant.lVal = Value_.IntegerValue;
    } else {
        variant.vt = VT_R8;
        variant.dblVal = ValueToDouble(Value_);
    }
}

void TJNumberObject::setNumberProperty(double value) { MakeDouble(value, Value_); }
void TJNumberObject::setIntProperty(int32_t value) { MakeInteger(value, Value_); }
AnsiString TJNumberObject::asCharProperty() const { return charText(ValueToChar(Value_)); }
void TJNumberObject::setAsCharProperty(const AnsiString& text) { MakeInteger(text.empty() ? 0 : text.byte(0), Value_); }

AnsiString TJNumberObject::ToString(const TJValue* arg) {
    uint32_t bits = static_cast<uint32_t>(ValueToInteger(Value_));
    switch (arg ? ValueToInteger(arg) : 0) {
    case 2: return IntToBin(bits);
    case 8: return IntToOct(bits);
    case 16: return formatText("%X", {bits});
    default: return ValueToString(Value_);
    }
}

void TJNumberObject::RegisterConstants() {
    TJValue value;
    MakeNaN(value);
    PutMember("NaN", value);
    PutMember("MAX_VALUE", doubleFromBits(0x7FEE42D130773B76ULL));  // 1.7e308 as written
    PutMember("MIN_VALUE", doubleFromBits(1));                      // the smallest subnormal
    MakeInfinity(false, value);
    PutMember("POSITIVE_INFINITY", value);
    MakeInfinity(true, value);
    PutMember("NEGATIVE_INFINITY", value);
}

namespace {

void toExponential(TJNumberObject& self, TJValueList* args, TJValue& result) {
    MakeString(floatToTextExponent(ValueToDouble(self.NumberValue()), std::min(digitsArg(args), 17) + 1, 1), result);
}

// Digits count decimals for toPrecision as well.
void toFixed(TJNumberObject& self, TJValueList* args, TJValue& result) {
    MakeString(floatToTextFixed(ValueToDouble(self.NumberValue()), digitsArg(args), 15), result);
}

void toChar(TJNumberObject& self, TJValueList*, TJValue& result) { MakeString(self.asCharProperty(), result); }

// "toString" is the inherited method, which hands its argument (the radix) to ToString.
const TJMethod<TJNumberObject> numberMethods[] = {
    {"toExponential", 0, &toExponential},
    {"toFixed", 0, &toFixed},
    {"toPrecision", 0, &toFixed},
    {"toChar", 0, &toChar},
};

}  // namespace

const TJMethodTable& TJNumberObject::Methods() const {
    static const TJMethodTable table(numberMethods, TJObject::Methods());
    return table;
}

// ==== Boolean ====

TJBooleanObject::TJBooleanObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Bool_(HasArgs(args) && ValueToBool(args->At(0))) {
    SetClassName(booleanClassName);
}

AnsiString TJBooleanObject::ToString(const TJValue*) { return Bool_ ? "true" : "false"; }

void TJBooleanObject::ToVariant(VARIANT& variant) {
    variant.vt = VT_BOOL;
    variant.boolVal = Bool_ ? VARIANT_TRUE : VARIANT_FALSE;
}

TJValue TJBooleanObject::ValueOf() {
    TJValue value;
    MakeBool(Bool_, value);
    return value;
}
