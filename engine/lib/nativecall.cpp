// The native call core: export lookup with the "A" retry, the declaration
// options and call flags, the parameters of converted arguments, and the call
// frame built by hand on the machine stack: the 32-bit x86 frame, or the
// Windows x64 convention.
#include "engine/lib/nativecall.h"

#include <algorithm>
#include <cstring>

#include "engine/core/errors.h"
#include "engine/support/mbstring.h"

namespace {

// ==== Parameters ====

uintptr_t addressOf(const void* p) { return reinterpret_cast<uintptr_t>(p); }

TDynaParm byValue(uint32_t width, uintptr_t value) { return TDynaParm{0, width, value}; }
TDynaParm byAddress(const void* p) { return TDynaParm{0, sizeof(void*), addressOf(p)}; }
TDynaParm blockOf(const void* p, uint32_t width) { return TDynaParm{pfPointer, width, addressOf(p)}; }

TDynaParm parmOf(TDynaValue& v) {
    switch (v.Kind) {
    case dkChar: return byValue(1, v.ByteValue);
    case dkByteRef: return byAddress(&v.ByteValue);
    case dkShort: return byValue(2, static_cast<uint32_t>(static_cast<int32_t>(v.ShortValue)));
    case dkShortRef: return byAddress(&v.ShortValue);
    // Sign-extended to the register, as a handle passed this way must be.
    case dkLong: return byValue(4, static_cast<uintptr_t>(static_cast<intptr_t>(v.LongValue)));
    case dkLongRef: return byAddress(&v.LongValue);
    case dkInt64: return blockOf(&v.Int64Value, 8);
    case dkInt64Ref: return byAddress(&v.Int64Value);
    case dkString: return byAddress(v.StrValue.lendData());
    case dkWide: return byAddress(v.WideValue.c_str());
    case dkSingle: return byValue(4, v.Bits32);
    case dkDouble: return blockOf(&v.DoubleValue, 8);
    case dkDispatch: return byAddress(v.DispatchValue.get());
    case dkUnknown: return byAddress(v.UnknownValue.get());
    case dkNil: return byValue(sizeof(void*), 0);
    case dkAddress: return byValue(sizeof(void*), v.AddressValue);
    default:
        // Kinds without a letter pass the 32-bit slot; unknown ones pass nothing.
        if (v.Kind <= 17) return byValue(4, v.Bits32);
        return TDynaParm{};
    }
}

void checkFrameSize(uint64_t bytes) {
    if (bytes > MaxDynaFrameBytes) raiseScriptError("EDynaCallError", "arguments size error");
}

// ==== The 32-bit x86 frame ====

#if defined(__i386__)

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
            std::memcpy(block + at, reinterpret_cast<const void*>(p.Value), p.Width);
        } else {
            std::fill_n(block + at, words, p.Value);
        }
        at += words;
    }
    return at;
}

uint64_t frameBytes(const TDynaParm* parms, int count, bool hidden) {
    uint64_t bytes = hidden ? 4 : 0;
    for (int i = 0; i < count; ++i) bytes += uint64_t(wordsOf(parms[i])) * 4;
    return bytes;
}

#elif defined(__x86_64__)

// ==== The x64 frame ====

// nimCallX64(proc, slots, count, raw): copies `count` 8-byte argument slots
// (at least four: the first four are the callee's shadow space) onto a fresh
// 16-byte aligned area at the stack pointer, with 64 bytes of slack above it
// (so a callee that reads or writes more arguments than it was given touches
// nothing of ours); loads the first four into RCX, RDX, R8 and R9 and, each
// at its own position, into XMM0-XMM3 as well, so that a float or double is
// found where the callee looks, and a variadic callee finds both copies as
// the convention asks; calls; stores RAX into raw[0] and XMM0 into raw[1].
// RBP keeps the frame: the stack pointer comes back whatever the callee did,
// and the unwind data describes the frame to whoever walks the stack.
// RSI and RDI are callee-saved, so they are saved here before use.
extern "C" void nimCallX64(void* proc, const uint64_t* slots, uint64_t count, uint64_t* raw);
asm(R"(
    .text
    .globl  nimCallX64
    .def    nimCallX64; .scl 2; .type 32; .endef
    .seh_proc nimCallX64
nimCallX64:
    pushq   %rbp
    .seh_pushreg %rbp
    pushq   %rsi
    .seh_pushreg %rsi
    pushq   %rdi
    .seh_pushreg %rdi
    movq    %rsp, %rbp
    .seh_setframe %rbp, 0
    .seh_endprologue
    movq    %rcx, %r10              # the procedure
    movq    %rdx, %rsi              # the slots
    movq    %r9, %rdi               # raw, kept across the call
    leaq    64(,%r8,8), %rax        # the slots and the slack
    subq    %rax, %rsp
    andq    $-16, %rsp
1:  movq    -8(%rsi,%r8,8), %rax    # last slot first: pages are touched
    movq    %rax, -8(%rsp,%r8,8)    #   downwards, as the stack guard expects
    decq    %r8
    jnz     1b
    movq    (%rsp), %rcx
    movq    8(%rsp), %rdx
    movq    16(%rsp), %r8
    movq    24(%rsp), %r9
    movq    %rcx, %xmm0
    movq    %rdx, %xmm1
    movq    %r8, %xmm2
    movq    %r9, %xmm3
    callq   *%r10
    movq    %rax, (%rdi)
    movq    %xmm0, 8(%rdi)
    movq    %rbp, %rsp
    popq    %rdi
    popq    %rsi
    popq    %rbp
    retq
    .seh_endproc
)");

constexpr size_t minSlots = 4;

// A record of this size travels in a register (as an argument or a result);
// any other goes by the address of memory the caller provides.
bool registerSized(uint32_t size) { return size == 1 || size == 2 || size == 4 || size == 8; }

// The bytes of the copy a record passed by address takes (each 16-byte aligned).
uint64_t copyBytes(const TDynaParm& p) {
    return (p.Flags & pfPointer) && !registerSized(p.Width) ? (uint64_t(p.Width) + 15) & ~uint64_t(15) : 0;
}

size_t slotCount(int count, bool hidden) { return std::max<size_t>(size_t(count) + hidden, minSlots); }

uint64_t frameBytes(const TDynaParm* parms, int count, bool hidden) {
    uint64_t bytes = (slotCount(count, hidden) + 1) / 2 * 16;
    for (int i = 0; i < count; ++i) bytes += copyBytes(parms[i]);
    return bytes;
}

// Fills one slot per argument, the hidden buffer address first when there is
// one; the copies of records passed by address follow the slots in the block.
size_t buildSlots(const TDynaParm* parms, int count, void* hidden, uint64_t* block) {
    size_t slots = slotCount(count, hidden);
    std::fill_n(block, slots, 0);
    auto* copy = reinterpret_cast<unsigned char*>(block + (slots + 1) / 2 * 2);
    size_t at = 0;
    if (hidden) block[at++] = addressOf(hidden);
    for (int i = 0; i < count; ++i, ++at) {
        const TDynaParm& p = parms[i];
        const void* bytes = reinterpret_cast<const void*>(p.Value);
        if (!(p.Flags & pfPointer)) {
            block[at] = p.Value;
        } else if (registerSized(p.Width)) {
            std::memcpy(block + at, bytes, p.Width);
        } else {
            std::memcpy(copy, bytes, p.Width);
            block[at] = addressOf(copy);
            copy += copyBytes(p);
        }
    }
    return slots;
}

#else
#error "the native call core builds frames for 32-bit x86 and x64 only"
#endif

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

#if defined(__i386__)
void CallNativeProc(uint32_t flags, void* proc, int count, TDynaResult& result, uint32_t returnSize,
                    void* returnBuffer, const TDynaParm* parms) {
    result.Bits = 0;
    bool bufferFilledByCallee = returnBuffer && ((flags & cfRegisterReturn) || returnSize > 8);
    checkFrameSize(frameBytes(parms, count, bufferFilledByCallee));

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
#else
void CallNativeProc(uint32_t flags, void* proc, int count, TDynaResult& result, uint32_t returnSize,
                    void* returnBuffer, const TDynaParm* parms) {
    result.Bits = 0;
    bool bufferFilledByCallee = returnBuffer && returnSize > 0 && !registerSized(returnSize);
    checkFrameSize(frameBytes(parms, count, bufferFilledByCallee));

    alignas(16) uint64_t block[MaxDynaFrameBytes / 8];
    size_t slots = buildSlots(parms, count, bufferFilledByCallee ? returnBuffer : nullptr, block);
    uint64_t raw[2] = {};  // RAX, XMM0
    nimCallX64(proc, block, slots, raw);

    if (flags & cfSingleResult) {
        std::memcpy(&result.Single, &raw[1], sizeof result.Single);
    } else if (flags & cfDoubleResult) {
        std::memcpy(&result.Double, &raw[1], sizeof result.Double);
    } else if (!returnBuffer) {
        result.Bits = raw[0];
    } else if (!bufferFilledByCallee) {
        std::memcpy(returnBuffer, &raw[0], std::min<uint32_t>(returnSize, 8));
    }
}
#endif
