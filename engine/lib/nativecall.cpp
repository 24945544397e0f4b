// The native call core: export lookup with the "A" retry, the declaration
// options and call flags, the parameters of converted arguments, and the call
// frame built by hand on the machine stack (32-bit x86 only: the 64-bit test
// build on machines that run no 32-bit code refuses the call itself).
#include "engine/lib/nativecall.h"

#include <algorithm>
#include <cstring>

#include "engine/core/errors.h"
#include "engine/support/mbstring.h"

namespace {

// ==== Parameters ====

uint32_t addressOf(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

TDynaParm byValue(uint32_t width, uint32_t value) { return TDynaParm{0, width, value}; }
TDynaParm byAddress(const void* p) { return TDynaParm{0, 4, addressOf(p)}; }
TDynaParm blockOf(const void* p, uint32_t width) { return TDynaParm{pfPointer, width, addressOf(p)}; }

TDynaParm parmOf(TDynaValue& v) {
    switch (v.Kind) {
    case dkChar: return byValue(1, v.ByteValue);
    case dkByteRef: return byAddress(&v.ByteValue);
    case dkShort: return byValue(2, static_cast<uint32_t>(static_cast<int32_t>(v.ShortValue)));
    case dkShortRef: return byAddress(&v.ShortValue);
    case dkLong: return byValue(4, static_cast<uint32_t>(v.LongValue));
    case dkLongRef: return byAddress(&v.LongValue);
    case dkInt64: return blockOf(&v.Int64Value, 8);
    case dkInt64Ref: return byAddress(&v.Int64Value);
    case dkString: return byAddress(v.StrValue.lendData());
    case dkWide: return byAddress(v.WideValue.c_str());
    case dkSingle: return byValue(4, v.Bits32);
    case dkDouble: return blockOf(&v.DoubleValue, 8);
    case dkDispatch: return byAddress(v.DispatchValue.get());
    case dkUnknown: return byAddress(v.UnknownValue.get());
    case dkNil: return byValue(4, 0);
    default:
        // Kinds without a letter pass the 32-bit slot; unknown ones pass nothing.
        if (v.Kind <= 17) return byValue(4, v.Bits32);
        return TDynaParm{};
    }
}

// ==== The frame ====

// The number of 32-bit stack words a parameter takes.
uint32_t wordsOf(const TDynaParm& p) { return p.Width / 4 + (p.Width % 4 != 0); }

// The floating-point result to read after the call.
enum FpuResult : uint32_t { fpuNone = 0, fpuSingle = 1, fpuDouble = 2 };

struct RawResult {
    uint32_t eax = 0, edx = 0;
    float single = 0;
    double dbl = 0;
};

// Copies the block of `words` stack words onto a fresh, 16-byte aligned area
// below the stack pointer (with 64 bytes of slack above it, so a callee that
// takes more arguments than it was given scribbles on nothing of ours), calls
// the procedure and restores the stack pointer whatever the callee removed.
// Kept out of line so that no floating-point value of ours is live across it.
#if defined(__i386__)
__attribute__((noinline)) void callFrame(void* proc, const uint32_t* block, uint32_t words, FpuResult fpu,
                                         RawResult& raw) {
    uint32_t eax = addressOf(block);
    uint32_t edx = addressOf(reinterpret_cast<const void*>(proc));
    uint32_t ecx = words;
    float single = 0;
    double dbl = 0;
    // EBX keeps the caller's stack pointer and ESI the result mode: both are
    // preserved by the callee in every x86 convention.
    asm volatile(
        "movl   %%esp, %%ebx\n\t"
        "leal   64(,%%ecx,4), %%edi\n\t"      // the block and the slack
        "subl   %%edi, %%esp\n\t"
        "andl   $-16, %%esp\n\t"
        "jecxz  2f\n"
        "1:\n\t"                              // copy the block, last word first, so pages are
        "movl   -4(%%eax,%%ecx,4), %%edi\n\t" //   touched downwards as the stack guard expects
        "movl   %%edi, -4(%%esp,%%ecx,4)\n\t"
        "decl   %%ecx\n\t"
        "jnz    1b\n"
        "2:\n\t"
        "call   *%%edx\n\t"                   // EAX:EDX hold the register result now
        "movl   %%ebx, %%esp\n\t"             // the caller's stack, whatever the callee removed
        "cmpl   $1, %%esi\n\t"                // pop the floating-point result when one is declared
        "jne    3f\n\t"
        "fstps  %[single]\n\t"
        "jmp    5f\n"
        "3:\n\t"
        "cmpl   $2, %%esi\n\t"
        "jne    4f\n\t"
        "fstpl  %[dbl]\n\t"
        "jmp    5f\n"
        "4:\n\t"                              // none declared: drop one the callee may have left
        "ffree  %%st(0)\n\t"                  //   (the stack is empty at calls, so nothing of
        "fincstp\n"                           //   ours is lost)
        "5:"
        : "+a"(eax), "+d"(edx), "+c"(ecx), [single] "+m"(single), [dbl] "+m"(dbl)
        : "S"(static_cast<uint32_t>(fpu))
        : "ebx", "edi", "memory", "cc");
    raw.eax = eax;
    raw.edx = edx;
    raw.single = single;
    raw.dbl = dbl;
}
#else
void callFrame(void*, const uint32_t*, uint32_t, FpuResult, RawResult&) {
    raiseScriptError("EDynaCallError", "native calls need the 32-bit program");
}
#endif

// Lays the parameters out as they lie on the stack (the first at the lowest
// address), the hidden buffer address first when there is one; the number of
// words.
uint32_t buildBlock(const TDynaParm* parms, int count, const void* hidden, uint32_t* block) {
    uint32_t at = 0;
    if (hidden) block[at++] = addressOf(hidden);
    for (int i = 0; i < count; ++i) {
        const TDynaParm& p = parms[i];
        uint32_t words = wordsOf(p);
        if (p.Flags & pfPointer) {
            std::memset(block + at, 0, words * 4);
            std::memcpy(block + at, reinterpret_cast<const void*>(static_cast<uintptr_t>(p.Value)), p.Width);
        } else {
            std::fill_n(block + at, words, p.Value);
        }
        at += words;
    }
    return at;
}

void checkFrameSize(const TDynaParm* parms, int count, bool hidden) {
    uint64_t bytes = hidden ? 4 : 0;
    for (int i = 0; i < count; ++i) bytes += uint64_t(wordsOf(parms[i])) * 4;
    if (bytes > MaxDynaFrameBytes) raiseScriptError("EDynaCallError", "arguments size error");
}

}  // namespace

// ==== Declarations ====

void* FindProcAddress(HMODULE module, const AnsiString& name) {
    FARPROC proc = GetProcAddress(module, name.c_str());
    if (!proc) proc = GetProcAddress(module, (name + "A").c_str());
    return reinterpret_cast<void*>(proc);
}

void ParseDynaDeclare(std::span<const AnsiString> options, TDynaDeclare& declare) {
    declare.ArgLetters.clear();
    declare.FlagLetters.clear();
    declare.ResultLetter.clear();
    for (const AnsiString& option : options) {
        AnsiString text = lowerCaseAscii(option);
        AnsiString rest = text.substr(std::min<size_t>(2, text.length()));
        if (text.startsWith("i=")) declare.ArgLetters = rest;
        else if (text.startsWith("f=")) declare.FlagLetters = rest;
        else if (text.startsWith("r=")) declare.ResultLetter = rest;
    }
}

uint32_t ParseCallFlags(const AnsiString& letters) {
    if (letters.empty()) return cfStdcall;
    uint32_t flags = 0;
    AnsiString lower = lowerCaseAscii(letters);
    for (char c : lower.view()) {
        switch (c) {
        case 'b': flags += cfRegisterReturn; break;
        case 'c': flags += cfCdecl; break;
        case 's': flags += cfStdcall; break;
        case '4': flags += cfSingleResult; break;
        case '8': flags += cfDoubleResult; break;
        default: break;
        }
    }
    return flags;
}

// ==== Calls ====

void DynaValuesToParms(TDynaValueArray& values, TDynaParmArray& parms) {
    parms.clear();
    parms.reserve(values.size());
    for (TDynaValue& v : values) parms.push_back(parmOf(v));
}

void InvokeNativeProc(uint32_t flags, void* proc, const TDynaParmArray& parms, TDynaResult& result,
                      uint32_t returnSize, void* returnBuffer) {
    CallNativeProc(flags, proc, static_cast<int>(parms.size()), result, returnSize, returnBuffer, parms.data());
}

void CallNativeProc(uint32_t flags, void* proc, int count, TDynaResult& result, uint32_t returnSize,
                    void* returnBuffer, const TDynaParm* parms) {
    result.Bits = 0;
    bool bufferFilledByCallee = returnBuffer && ((flags & cfRegisterReturn) || returnSize > 8);
    checkFrameSize(parms, count, bufferFilledByCallee);

    uint32_t block[MaxDynaFrameBytes / 4];
    uint32_t words = buildBlock(parms, count, bufferFilledByCallee ? returnBuffer : nullptr, block);
    FpuResult fpu = (flags & cfSingleResult) ? fpuSingle : (flags & cfDoubleResult) ? fpuDouble : fpuNone;
    RawResult raw;
    callFrame(proc, block, words, fpu, raw);

    if (fpu == fpuSingle) {
        result.Single = raw.single;
    } else if (fpu == fpuDouble) {
        result.Double = raw.dbl;
    } else if (!returnBuffer) {
        result.Bits = uint64_t(raw.edx) << 32 | raw.eax;
    } else if (!bufferFilledByCallee) {
        uint32_t pair[2] = {raw.eax, raw.edx};
        std::memcpy(returnBuffer, pair, returnSize);
    }
}
