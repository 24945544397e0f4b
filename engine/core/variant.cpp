// Automation variants and script values in both directions (numbers of every
// variant type, texts in the ANSI code page, dates and interfaces through the
// module hooks), invocation flags, and format arguments.
#include "engine/core/variant.h"

#include <setjmp.h>

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
        if (!v.pdispVal) MakeNull(result);
        else if (runtime && JModuleHooks.NewActiveXObject)
            MakeObject(JModuleHooks.NewActiveXObject(runtime, v.pdispVal), result);
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

// ==== Calls into a server ====

namespace {

// The innermost guarded server call of this thread.
struct ServerCall {
    jmp_buf Landing;
};
thread_local ServerCall* currentCall = nullptr;

HMODULE moduleOf(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(address), &module);
    return module;
}

bool isFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: case EXCEPTION_ILLEGAL_INSTRUCTION: case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO: case EXCEPTION_IN_PAGE_ERROR: case EXCEPTION_DATATYPE_MISALIGNMENT:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void landInServerCall() { longjmp(currentCall->Landing, 1); }

LPTOP_LEVEL_EXCEPTION_FILTER outerFilter = nullptr;

// A fault that no handler took (the server's own handlers come first),
// outside this program's code, during a guarded call: the thread goes on in
// landInServerCall, on a fresh aligned spot of its stack, and jumps back into
// the call. Any other goes to the filter that was there before.
LONG WINAPI onUnhandledFault(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (!currentCall || !isFault(record->ExceptionCode) ||
        moduleOf(record->ExceptionAddress) == moduleOf(reinterpret_cast<const void*>(&onUnhandledFault)))
        return outerFilter ? outerFilter(info) : EXCEPTION_CONTINUE_SEARCH;
    CONTEXT* context = info->ContextRecord;
#ifdef _WIN64
    context->Rsp = ((context->Rsp - 256) & ~DWORD64{15}) - 8;  // as at a function's entry
    context->Rip = reinterpret_cast<DWORD64>(&landInServerCall);
#else
    context->Esp = ((context->Esp - 256) & ~DWORD{15}) - 4;
    context->Eip = reinterpret_cast<DWORD>(&landInServerCall);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Only the server's frames and the system's lie between the call and a fault
// that lands here: none needs unwinding (the 32-bit jump restores the
// thread's handler chain).
HRESULT guardedInvoke(IDispatch* dispatch, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
    static const bool installed = (outerFilter = SetUnhandledExceptionFilter(&onUnhandledFault), true);
    (void)installed;
    ServerCall call;
    ServerCall* outer = currentCall;
#ifdef _WIN64
    if (_setjmp(call.Landing, nullptr)) {
#else
    if (setjmp(call.Landing)) {
#endif
        currentCall = outer;
        return RPC_E_SERVERFAULT;
    }
    currentCall = &call;
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result, nullptr, nullptr);
    currentCall = outer;
    return hr;
}

}  // namespace

HRESULT InvokeServer(IDispatch* dispatch, DISPID id, WORD flags, DISPPARAMS* params, InvokeResult* result) {
    HRESULT hr = dispatch ? guardedInvoke(dispatch, id, flags, params, result ? result->slot() : nullptr) : E_POINTER;
    return result ? result->outcome(hr) : hr;
}

ServerCallback::ServerCallback() : outer_(currentCall) { currentCall = nullptr; }
ServerCallback::~ServerCallback() { currentCall = static_cast<ServerCall*>(outer_); }

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
