// Automation variants and script values in both directions (numbers of every
// variant type, texts in the ANSI code page, dates and interfaces through the
// module hooks), invocation flags, and format arguments.
#include "engine/core/variant.h"

#include "engine/core/hooks.h"
#include "engine/core/object.h"
#include "rtl/codepage.h"

namespace {

// By-reference variants within variants: more levels than any server hands out.
constexpr int maxIndirection = 8;

bool isWholeNumberType(VARTYPE vt) {
    switch (vt) {
    case VT_I1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT: return true;
    default: return false;
    }
}

bool isOtherNumberType(VARTYPE vt) { return isWholeNumberType(vt) || vt == VT_CY || vt == VT_DECIMAL; }

void otherNumberToValue(const VARIANT& v, TJValue& result) {
    VARIANT d;
    VariantInit(&d);
    if (FAILED(VariantChangeType(&d, const_cast<VARIANT*>(&v), 0, VT_R8))) {
        MakeUndefined(result);
        return;
    }
    double x = d.dblVal;
    if (isWholeNumberType(v.vt) && x >= -2147483648.0 && x <= 2147483647.0) MakeInteger(static_cast<int32_t>(x), result);
    else MakeDouble(x, result);
}

void convert(const VARIANT& v, TJRuntime* runtime, TJValue& result, int depth) {
    if (v.vt & VT_BYREF) {
        VARIANT direct;
        VariantInit(&direct);
        if (depth < maxIndirection && SUCCEEDED(VariantCopyInd(&direct, const_cast<VARIANT*>(&v))))
            convert(direct, runtime, result, depth + 1);
        else
            MakeUndefined(result);
        VariantClear(&direct);
        return;
    }
    switch (v.vt) {
    case VT_NULL: MakeNull(result); return;
    case VT_I2: MakeInteger(v.iVal, result); return;
    case VT_I4: MakeInteger(v.lVal, result); return;
    case VT_UI1: MakeInteger(v.bVal, result); return;
    case VT_R4: MakeDouble(v.fltVal, result); return;
    case VT_R8: MakeDouble(v.dblVal, result); return;
    case VT_BOOL: MakeBool(v.boolVal != VARIANT_FALSE, result); return;
    case VT_BSTR:
        MakeString(v.bstrVal ? wideToAnsi(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal))) : AnsiString(), result);
        return;
    case VT_DATE:
        if (runtime && JModuleHooks.NewDateObject) MakeObject(JModuleHooks.NewDateObject(runtime, v.date), result);
        else MakeUndefined(result);
        return;
    case VT_DISPATCH:
        if (runtime && JModuleHooks.NewActiveXObject) MakeObject(JModuleHooks.NewActiveXObject(runtime, v.pdispVal), result);
        else MakeDispatch(v.pdispVal, result);
        return;
    default:
        if (isOtherNumberType(v.vt)) otherNumberToValue(v, result);
        else MakeUndefined(result);
        return;
    }
}

void putText(const AnsiString& text, VARIANT& variant) {
    WideString wide = ansiToWide(text);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

void putDispatch(IDispatch* dispatch, VARIANT& variant) {
    variant.vt = VT_DISPATCH;
    variant.pdispVal = dispatch;
    if (dispatch) dispatch->AddRef();
}

}  // namespace

void VariantToValue(const VARIANT& variant, TJRuntime* runtime, TJValue& result) { convert(variant, runtime, result, 0); }

void ValueToVariant(const TJValue& value, VARIANT& variant) {
    VariantClear(&variant);
    switch (value.ValueType) {
    case vtNull: variant.vt = VT_NULL; break;
    case vtInteger: variant.vt = VT_I4; variant.lVal = value.IntegerValue; break;
    case vtDouble: variant.vt = VT_R8; variant.dblVal = value.DoubleValue; break;
    case vtString: putText(value.StrValue, variant); break;
    case vtBool: variant.vt = VT_BOOL; variant.boolVal = value.BooleanValue ? VARIANT_TRUE : VARIANT_FALSE; break;
    case vtDispatch: putDispatch(value.DispValue.get(), variant); break;
    case vtObject: if (value.ObjValue) value.ObjValue->ToVariant(variant); break;
    default: break;
    }
}

WORD DispatchFlagsOf(uint8_t access) {
    if (access == 1) return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (access == 2) return DISPATCH_PROPERTYPUT;
    return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
}

AnsiString DispatchFlagsName(uint8_t access) {
    if (access == 1) return "DISPATCH_PROPERTYGET";
    if (access == 2) return "DISPATCH_PROPERTYPUT";
    return "DISPATCH_METHOD";
}

FormatArg ValueToVarRec(const TJValue& value) {
    Sleep(0);  // each conversion gives up the rest of the time slice
    switch (value.ValueType) {
    case vtInteger: return FormatArg(value.IntegerValue);
    case vtDouble: return FormatArg(value.DoubleValue);
    case vtEvent: return FormatArg(0);
    default: return FormatArg(ValueToString(&value));
    }
}

void VarRecToValue(const FormatArg& arg, TJValue& value) {
    switch (arg.kind()) {
    case FormatArg::Kind::Integer:
        if (arg.integer() >= INT32_MIN && arg.integer() <= INT32_MAX) MakeInteger(static_cast<int32_t>(arg.integer()), value);
        else MakeDouble(static_cast<double>(arg.integer()), value);
        return;
    case FormatArg::Kind::Float: MakeDouble(arg.floating(), value); return;
    case FormatArg::Kind::String: MakeString(arg.string(), value); return;
    default: MakeUndefined(value); return;
    }
}
