// The native call core: finding a DLL export, the declaration letters of a
// DLL function, the typed argument records and the call parameters they make,
// and the call frame built by hand: 32-bit x86 (stdcall or cdecl, results in
// EAX:EDX or on the floating-point stack) or the Windows x64 convention (one
// convention for every flag letter, results in RAX or XMM0). The engine's DLL
// call of a function value (engine/lib/dynaconvert.h) and the DynaCall and
// Struct objects use it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "engine/core/ijfunction.h"
#include "rtl/ansistring.h"
#include "rtl/codepage.h"
#include "rtl/intf.h"

// ==== Argument records ====

// X(name, code, letters): the kinds of a converted argument and the argument
// letters that make them (lower case; kinds without letters are never made
// from a declaration).
#define DYNA_KINDS(X)                                                                               \
    X(dkChar, 0, "c")        /* a byte, passed by value */                                        \
    X(dkByteRef, 1, "1")     /* a byte, passed by reference */                                    \
    X(dkShort, 2, "t")       /* a 16-bit integer by value */                                      \
    X(dkShortRef, 3, "2")    /* a 16-bit integer by reference */                                  \
    X(dkLong, 4, "blu")      /* a 32-bit integer by value */                                      \
    X(dkLongRef, 5, "4")     /* a 32-bit integer by reference */                                  \
    X(dkInt64, 6, "i")       /* a 64-bit integer, its 8 bytes on the stack */                     \
    X(dkInt64Ref, 7, "8")    /* a 64-bit integer by reference */                                  \
    X(dkString, 8, "s")      /* a byte string: pointer to its characters */                       \
    X(dkWide, 9, "w")        /* a wide string: pointer to its characters */                       \
    X(dkSingle, 10, "f")     /* a single-precision float by value */                              \
    X(dkDouble, 11, "d")     /* a double, its 8 bytes on the stack */                             \
    X(dkDispatch, 12, "a")   /* an IDispatch pointer */                                           \
    X(dkUnknown, 13, "k")    /* an IUnknown pointer */                                            \
    X(dkNil, 15, "")         /* a null pointer (an undefined or null by-reference argument) */   \
    X(dkAddress, 16, "hp")   /* an address or handle, pointer-sized, by value */

enum TDynaKind : uint8_t {
#define DYNA_KIND_ENUM(name, code, letters) name = code,
    DYNA_KINDS(DYNA_KIND_ENUM)
#undef DYNA_KIND_ENUM
};

// One converted argument. The slots a kind does not use stay zero.
struct TDynaValue {
    uint8_t Kind = dkNil;
    TIntf<IDispatch> DispatchValue;
    TIntf<IUnknown> UnknownValue;
    AnsiString StrValue;
    WideString WideValue;
    union {                   // the 32-bit slot
        uint8_t ByteValue;
        int16_t ShortValue;
        int32_t LongValue;
        float SingleValue;
        uint32_t Bits32 = 0;
    };
    union {                   // the 64-bit slot
        int64_t Int64Value;
        double DoubleValue;
        uintptr_t AddressValue;
        uint64_t Bits64 = 0;
    };
};

// The arguments of one call. The parameters made from it point into it, so it
// must neither grow nor go away until the call has returned.
using TDynaValueArray = std::vector<TDynaValue>;

// ==== Call parameters and flags ====

enum : uint32_t {
    pfPointer = 2,  // Value points to the Width bytes to pass (a record by value)
};

// One call parameter: the pointer-sized value itself, or with pfPointer the
// address of the bytes. The 32-bit frame repeats the value for every 4 bytes
// of the width rounded up and copies the bytes onto the stack; the x64 frame
// passes the value in its 8-byte slot, and the bytes there when they are 1,
// 2, 4 or 8, otherwise the address of a copy.
struct TDynaParm {
    uint32_t Flags = 0;
    uint32_t Width = 0;
    uintptr_t Value = 0;
};

using TDynaParmArray = std::vector<TDynaParm>;

// The call flags. The x64 convention is one: it ignores the first three.
enum : uint32_t {
    cfRegisterReturn = 1,  // records come back through a hidden pointer argument
    cfCdecl = 16,          // the caller removes the arguments
    cfStdcall = 32,        // the callee removes the arguments (also when neither is set)
    cfSingleResult = 256,  // the result is a single (floating-point stack, or XMM0)
    cfDoubleResult = 512,  // the result is a double (floating-point stack, or XMM0)
};

// The raw result: 8 bytes, zero before each call.
union TDynaResult {
    uint32_t Long;
    void* Pointer;
    float Single;
    double Double;
    int64_t Int64;
    uint64_t Bits = 0;
};

// The argument block of one call (with the x64 frame, its 8-byte slots, at
// least four, and the copies of records passed by address) is limited to this
// many bytes; a larger one raises "EDynaCallError" "arguments size error"
// before the call.
constexpr uint32_t MaxDynaFrameBytes = 4096;

// ==== Declarations ====

// The export of the module, else the name followed by "A"; nil when neither exists.
void* FindProcAddress(HMODULE module, const AnsiString& name);

// Clears the three letter texts of the record and reads the options
// lower-cased: "i=" argument letters, "f=" flag letters, "r=" result letter;
// other texts are ignored, a later option replaces an earlier one.
void ParseDynaDeclare(std::span<const AnsiString> options, TDynaDeclare& declare);

// The call flags of the flag letters: cfStdcall for an empty text, else the
// sum over the letters of "b" 1, "c" 16, "s" 32, "4" 256, "8" 512 (any case;
// other characters count 0).
uint32_t ParseCallFlags(const AnsiString& letters);

// ==== Calls ====

// One parameter per value (pointers into the values).
void DynaValuesToParms(TDynaValueArray& values, TDynaParmArray& parms);

// Calls the procedure with the parameters (see CallNativeProc).
void InvokeNativeProc(uint32_t flags, void* proc, const TDynaParmArray& parms, TDynaResult& result,
                      uint32_t returnSize, void* returnBuffer);

// The call itself. 32-bit x86: the parameters are laid on the stack first to
// last from the lowest address up; with a return buffer and either
// cfRegisterReturn or a return size above 8 bytes, the buffer's address goes
// first as a hidden argument. The result is the floating-point stack top
// (cfSingleResult, cfDoubleResult), else EAX:EDX when there is no return
// buffer; with a return buffer EAX:EDX is copied into it (up to its size)
// unless the callee filled it.
// x64: the first four arguments in RCX, RDX, R8, R9 and, by position, in
// XMM0-XMM3; the rest in 8-byte stack slots above 32 bytes of shadow space;
// a return buffer whose size is not 1, 2, 4 or 8 bytes goes first as a
// hidden argument, else RAX is copied into it. The result is XMM0
// (cfSingleResult, cfDoubleResult), else RAX.
// Either way the stack pointer is restored afterwards whatever the callee
// removed or wrote beyond the arguments it was given.
void CallNativeProc(uint32_t flags, void* proc, int count, TDynaResult& result, uint32_t returnSize,
                    void* returnBuffer, const TDynaParm* parms);
