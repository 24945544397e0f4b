// Published properties as script values: each property kind read into a
// value and written from one, set and enumeration texts, the GUI wrapper hooks
// for class properties, and clearing event handlers.
#include "engine/core/published.h"

#include <cmath>

#include "engine/core/hooks.h"
#include "engine/core/jhash.h"
#include "engine/core/object.h"
#include "engine/core/variant.h"
#include "rtl/persistent.h"

void ListPublishedProperties(const TObject* instance, std::vector<AnsiString>& list, bool eventsOnly) {
    list = GetPropNames(instance->ClassType(), eventsOnly);
}

// ==== Enumerations and sets ====

AnsiString SetToNameList(const TSetInfo* type, uint32_t bits) { return SetToString(type, bits, false); }

uint32_t NameListToSet(const TSetInfo* type, std::string_view text) {
    uint32_t bits = 0;
    StringToSet(type, text, bits);
    return bits;
}

bool ValueToEnum(const TEnumInfo* type, const TJValue& value, int& ordinal) {
    if (IsNumericValue(&value)) {
        int32_t i = ValueToInteger(&value);
        if (i < 0 || i >= type->Count) return false;
        ordinal = i;
        return true;
    }
    int found = GetEnumValue(type, ValueToString(&value));
    if (found < 0) return false;
    ordinal = found;
    return true;
}

void EnumToValue(const TEnumInfo* type, int64_t ordinal, TJValue& value) {
    AnsiString name = GetEnumName(type, ordinal);
    if (name.empty()) MakeBool(false, value);
    else if (SameName(name, "True")) MakeBool(true, value);
    else if (SameName(name, "False")) MakeBool(false, value);
    else MakeString(name, value);
}

// ==== Reading ====

namespace {

void classToValue(TObject* object, TJRuntime* runtime, TJValue& value) {
    if (!object) { MakeNull(value); return; }
    if (object->InheritsFrom(&TJObject::classInfo)) { MakeObject(static_cast<TJObject*>(object), value); return; }
    TJObject* wrapper = nullptr;
    if (object->InheritsFrom(&TPersistent::classInfo) && JModuleHooks.WrapPersistent)
        wrapper = JModuleHooks.WrapPersistent(static_cast<TPersistent*>(object), runtime);
    if (wrapper) MakeObject(wrapper, value);
    else MakeBool(false, value);
}

void interfaceToValue(IUnknown* unknown, TJValue& value) {
    IDispatch* dispatch = nullptr;
    if (unknown) unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    MakeDispatch(dispatch, value);
    if (dispatch) dispatch->Release();
}

}  // namespace

bool ReadPublishedProperty(const TObject* instance, const AnsiString& name, TJValue& value, TJRuntime* runtime) {
    const TPropInfo* prop = GetPropInfo(instance->ClassType(), name);
    if (!prop) return false;  // most names asked are no property: no value is set up for them
    TPropValue raw;
    if (!ReadProp(instance, prop, raw)) return false;
    switch (prop->Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Char: MakeInteger(static_cast<int32_t>(raw.Ordinal), value); break;
    case TTypeKind::Enumeration: EnumToValue(prop->enumInfo(), raw.Ordinal, value); break;
    case TTypeKind::Float: MakeDouble(raw.Float, value); break;
    case TTypeKind::String: MakeString(raw.Str, value); break;
    case TTypeKind::Set: MakeString(SetToNameList(prop->setInfo(), static_cast<uint32_t>(raw.Ordinal)), value); break;
    case TTypeKind::Class: classToValue(raw.Object, runtime, value); break;
    case TTypeKind::Method: MakeEvent(raw.Method, value); break;
    case TTypeKind::Variant: VariantToValue(raw.Variant, nullptr, value); break;
    case TTypeKind::Interface: interfaceToValue(raw.Interface.get(), value); break;
    case TTypeKind::Int64:  // as other wide numbers: an integer within 32 bits (a file's length), else a double
        if (raw.Ordinal >= INT32_MIN && raw.Ordinal <= INT32_MAX) MakeInteger(static_cast<int32_t>(raw.Ordinal), value);
        else MakeDouble(static_cast<double>(raw.Ordinal), value);
        break;
    default: MakeBool(false, value); break;
    }
    return true;
}

// ==== Writing ====

namespace {

// The set named by a value: a name list, or an object whose members named
// like the elements are true.
bool valueToSet(const TSetInfo* type, const TJValue& value, uint32_t& bits) {
    if (IsStringValue(&value)) {
        bits = NameListToSet(type, ValueToString(&value));
        return true;
    }
    if (!IsObjectValue(&value)) return false;
    AnsiString names;
    for (int i = 0; i < type->Elements->Count; ++i) {
        TJValue member;
        if (!value.ObjValue->Members()->GetValue(type->Elements->Names[i], member) || !ValueToBool(&member)) continue;
        if (!names.empty()) names += ',';
        names += type->Elements->Names[i];
    }
    bits = NameListToSet(type, names);
    return true;
}

bool valueToClass(const TClassInfo* cls, const TJValue& value, TObject*& object) {
    if (IsNullValue(&value)) { object = nullptr; return true; }
    if (!IsObjectValue(&value)) return false;
    TJObject* given = value.ObjValue;
    if (given->InheritsFrom(cls)) { object = given; return true; }
    TPersistent* wrapped = JModuleHooks.WrappedObjectOf ? JModuleHooks.WrappedObjectOf(given) : nullptr;
    if (wrapped && wrapped->InheritsFrom(cls)) { object = wrapped; return true; }
    return false;
}

// A dispatch value, or an object whose automation form is an interface.
bool valueToInterface(const TJValue& value, TIntf<IUnknown>& intf) {
    if (value.ValueType != vtDispatch && !IsObjectValue(value)) return false;
    VARIANT variant;
    VariantInit(&variant);
    ValueToVariant(value, variant);
    bool isInterface = variant.vt == VT_DISPATCH;
    if (isInterface) intf = variant.pdispVal;
    VariantClear(&variant);
    return isInterface;
}

int64_t truncateToInt64(double d) {
    double t = std::trunc(d);
    if (!(std::fabs(t) < 9.2e18)) return 0;
    return static_cast<int64_t>(t);
}

// Converts the value to the property's transit form; false when it does not suit.
bool valueToProp(const TPropInfo* prop, const TJValue& value, const TMethodTypeInfo* methodType, TPropValue& raw) {
    switch (prop->Kind) {
    case TTypeKind::Integer: raw.Ordinal = ValueToInteger(&value); return true;
    case TTypeKind::Char: raw.Ordinal = ValueToChar(&value); return true;
    case TTypeKind::Enumeration: {
        int ordinal;
        if (!ValueToEnum(prop->enumInfo(), value, ordinal)) return false;
        raw.Ordinal = ordinal;
        return true;
    }
    case TTypeKind::Float: raw.Float = ValueToDouble(&value); return true;
    case TTypeKind::String: raw.Str = ValueToString(&value); return true;
    case TTypeKind::Set: {
        uint32_t bits;
        if (!valueToSet(prop->setInfo(), value, bits)) return false;
        raw.Ordinal = bits;
        return true;
    }
    case TTypeKind::Class: return valueToClass(prop->classRef(), value, raw.Object);
    case TTypeKind::Method:
        if (IsNullValue(&value)) { raw.Method = TMethod{}; return true; }
        if (value.ValueType != vtEvent || !methodType || methodType != prop->methodType()) return false;
        raw.Method = value.EventValue;
        return true;
    case TTypeKind::Variant: ValueToVariant(value, raw.Variant); return true;
    case TTypeKind::Interface: return valueToInterface(value, raw.Interface);
    case TTypeKind::Int64: raw.Ordinal = truncateToInt64(ValueToDouble(&value)); return true;
    }
    return false;
}

}  // namespace

bool WritePublishedProperty(TObject* instance, const AnsiString& name, const TJValue& value,
                            const TMethodTypeInfo* methodType) {
    const TPropInfo* prop = GetPropInfo(instance->ClassType(), name);
    if (!prop || !prop->Set) return false;
    TPropValue raw;
    if (!valueToProp(prop, value, methodType, raw)) return false;
    return WriteProp(instance, prop, raw);
}

void ClearEventProperties(TObject* instance, const void* data) {
    for (const TPropInfo* prop : GetPropInfos(instance->ClassType())) {
        if (!prop->isMethod() || !prop->Set) continue;
        try {
            TPropValue handler;
            if (data && (!ReadProp(instance, prop, handler) || handler.Method.Data != data)) continue;
            handler.Method = TMethod{};
            prop->Set(instance, handler);
        } catch (...) {
            // A setter that refuses leaves its handler; the others still go.
        }
    }
}
