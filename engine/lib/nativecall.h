// The native call core: finding a DLL export, the declaration letters of a
// DLL function, the typed argument records and the call parameters they make,
// and the hand-built 32-bit x86 call frame (stdcall or cdecl, results in
// EAX:EDX or on the floating-point stack). The engine's DLL call of a function
// value (engine/lib/dynaconvert.h) and the DynaCall and Struct objects use it.
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
    X(dkLong, 4, "bhlpu")    /* a 32-bit integer by value */                                      \
    X(dkLongRef, 5, "4")     /* a 32-bit integer by reference */                                  \
    X(dkInt64, 6, "i")       /* a 64-bit integer, its 8 bytes on the stack */                     \
    X(dkInt64Ref, 7, "8")    /* a 64-bit integer by reference */                                  \
    X(dkString, 8, "s")      /* a byte string: pointer to its characters */                       \
    X(dkWide, 9, "w")        /* a wide string: pointer to its characters */                       \
    X(dkSingle, 10, "f")     /* a single-precision float by value */                              \
    X(dkDouble, 11, "d")     /* a double, its 8 bytes on the stack */                             \
    X(dkDispatch, 12, "a")   /* an IDispatch pointer */                                           \
    X(dkUnknown, 13, "k")    /* an IUnknown pointer */                                            \
    X(dkNil, 15, "")         /* a null pointer (an undefined or null by-reference argument) */

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
        uint64_t Bits64 = 0;
    };
};

// The arguments of one call. The parameters made from it point into it, so it
// must neither grow nor go away until the call has returned.
using TDynaValueArray = std::vector<TDynaValue>;

// ==== Call parameters and flags ====

enum : uint32_t {
    pfPointer = 2,  // Value points to the Width bytes to copy onto the stack
};

// One call parameter (12 bytes): the 32-bit value itself, repeated for every
// 4 bytes of the width rounded up, or with pfPointer the address of the bytes.
struct TDynaParm {
    uint32_t Flags = 0;
    uint32_t Width = 0;
    uint32_t Value = 0;
};
static_assert(sizeof(TDynaParm) == 12);

using TDynaParmArray = std::vector<TDynaParm>;

// The call flags.
enum : uint32_t {
    cfRegisterReturn = 1,  // records come back through a hidden pointer argument
    cfCdecl = 16,          // the caller removes the arguments
    cfStdcall = 32,        // the callee removes the arguments (also when neither is set)
    cfSingleResult = 256,  // the result is a single on the floating-point stack
    cfDoubleResult = 512,  // the result is a double on the floating-point stack
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

// The argument block of one call is limited to this many bytes; a larger one
// raises "EDynaCallError" "arguments size error" before the call.
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

// The call itself. The parameters are laid on the stack first to last from
// the lowest address up; with a return buffer and either cfRegisterReturn or
// a return size above 8 bytes, the buffer's address goes first as a hidden
// argument. The stack pointer is restored afterwards whatever the callee
// removed. The result is the floating-point stack top (cfSingleResult,
// cfDoubleResult), else EAX:EDX when there is no return buffer; with a return
// buffer EAX:EDX is copied into it (up to its size) unless the callee filled it.
void CallNativeProc(uint32_t flags, void* proc, int count, TDynaResult& result, uint32_t returnSize,
                    void* returnBuffer, const TDynaParm* parms);
