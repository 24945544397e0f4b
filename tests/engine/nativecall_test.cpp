// The native call core and the DLL call of FuncType 5 function values: the
// declaration letters and flags, argument records and parameters, result
// letters, addresses as script numbers, real calls of Windows exports and of
// functions this test program exports (stdcall and cdecl, integers of every
// width, floats, 64-bit and floating-point results, texts, interfaces,
// by-reference write-back, records by value and as results), a callee of the
// wrong convention, and a script calling such a function. Both programs run
// them: the 32-bit frame and the x64 one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdarg>
#include <string>

#include "engine/lib/dynaconvert.h"
#include "engine/lib/nativecall.h"
#include "engine/lib/number.h"
#include "engine/orovod.h"
#include "valuetest.h"

// ==== Exports of this program called by the tests ====

namespace {
struct Seen {
    unsigned char c;
    short t;
    int l;
    long long i;
} seen;

struct Triple {
    int a, b, c;
};

// Records of 4, 8 and 12 bytes by value, and one of 16 as the result.
struct Rec4 {
    int16_t a, b;
};
struct Rec8 {
    int32_t a;
    float b;
};
struct Rec16 {
    double sum;
    int64_t product;
};
}  // namespace

extern "C" {
__declspec(dllexport) long long __stdcall ncStdIntegers(unsigned char c, short t, int l, long long i) {
    seen = {c, t, l, i};
    return i * 2 + l;
}
__declspec(dllexport) long long __cdecl ncCdeclIntegers(unsigned char c, short t, int l, long long i) {
    seen = {c, t, l, i};
    return i * 2 + l;
}
__declspec(dllexport) double __stdcall ncStdScale(double x, float f) { return x * f; }
__declspec(dllexport) float __cdecl ncCdeclHalfPlus(float f, double d) { return static_cast<float>(f / 2 + d); }
__declspec(dllexport) int __stdcall ncAfterDouble(double, int l) { return l; }
__declspec(dllexport) int __stdcall ncIsNull(const void* p) { return p == nullptr; }
__declspec(dllexport) const char* __stdcall ncAnsiText() { return "\x93\xfa\x96\x7b"; }  // 日本
__declspec(dllexport) const wchar_t* __stdcall ncWideText() { return L"\u65e5\u672c"; }
__declspec(dllexport) void __stdcall ncUpdate(unsigned char* b, short* t, int* l, long long* i) {
    if (b) *b = static_cast<unsigned char>(*b + 1);
    if (t) *t = static_cast<short>(-*t);
    if (l) *l = *l * 2 + 1;
    if (i) *i = *i * 4;
}
__declspec(dllexport) void* __stdcall ncEcho(void* p) { return p; }
__declspec(dllexport) unsigned long __stdcall ncRefCount(IUnknown* p) {
    p->AddRef();
    return p->Release();
}
// Writes into all eight of its parameter slots.
__declspec(dllexport) int __stdcall ncScribble(int a, int b, int c, int d, int e, int f, int g, int h) {
    volatile int* slots[] = {&a, &b, &c, &d, &e, &f, &g, &h};
    for (volatile int* s : slots) *s = -1;
    return a;
}
__declspec(dllexport) int __cdecl ncSumAll(int count, ...) {
    va_list list;
    va_start(list, count);
    int sum = 0;
    for (int k = 0; k < count; ++k) sum += va_arg(list, int);
    va_end(list);
    return sum;
}
__declspec(dllexport) unsigned long long __cdecl ncPair(unsigned lo, unsigned hi) {
    return static_cast<unsigned long long>(hi) << 32 | lo;
}
__declspec(dllexport) Triple __cdecl ncTriple(int x) { return Triple{x, x + 1, x + 2}; }
// Where its frame lies, modulo 16: on a 16-byte boundary in the x64
// program, 8 bytes off one in the 32-bit program, when the caller aligned the
// stack at the call.
__declspec(dllexport) int __cdecl ncFrameAlignment() {
    return static_cast<int>(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) % 16);
}
// Changes its copy of the 12-byte record, which the caller's must not see.
__declspec(dllexport) Rec16 __cdecl ncRecords(Rec4 x, Rec8 y, Triple z, int last) {
    Rec16 r{x.a + x.b + y.a + y.b + z.a + z.b + z.c + last, int64_t(x.a) * x.b * y.a * z.a * z.b * z.c * last};
    z.a = -1;
    return r;
}
}

namespace {

void* procOf(HMODULE module, const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); }

// The export by its 32-bit name: a stdcall name's "@N" is the 32-bit
// program's alone.
void* exported(const char* name) {
    std::string plain(name);
    if (sizeof(void*) == 8) plain = plain.substr(0, plain.find('@'));
    void* proc = procOf(GetModuleHandleA(nullptr), plain.c_str());
    EXPECT_NE(proc, nullptr) << name;
    return proc;
}

template <class T>
TDynaParm blockOf(const T& record) {
    return TDynaParm{pfPointer, sizeof(T), reinterpret_cast<uintptr_t>(&record)};
}

TJValueList* fill(TJValueList& list, std::initializer_list<TJValue> values) {
    for (const TJValue& v : values) list.Add(v);
    return &list;
}

TDynaDeclare declaration(const char* export_, const char* args, const char* flags, const char* result) {
    TDynaDeclare d;
    d.ProcAddress = exported(export_);
    d.ArgLetters = args;
    d.FlagLetters = flags;
    d.ResultLetter = result;
    return d;
}

TJValue callWith(const TDynaDeclare& d, std::initializer_list<TJValue> values) {
    TJValueList args;
    TJValue result;
    CallDynaDeclare(d, fill(args, values), result);
    return result;
}

TDynaValueArray build(const char* letters, std::initializer_list<TJValue> values) {
    TJValueList args;
    TDynaValueArray records;
    BuildDynaArguments(letters, fill(args, values), records);
    return records;
}

TJValue dispatchValue(IDispatch* d) {
    TJValue v;
    MakeDispatch(d, v);
    return v;
}

}  // namespace

// ==== Declarations ====

TEST(NativeDeclarations, CallFlagsAddUpTheirLetters) {
    EXPECT_EQ(ParseCallFlags(""), 32u);
    EXPECT_EQ(ParseCallFlags("c"), 16u);
    EXPECT_EQ(ParseCallFlags("s8"), 544u);
    EXPECT_EQ(ParseCallFlags("xyz"), 0u);
    EXPECT_EQ(ParseCallFlags("CC"), 32u);  // a repeated letter adds twice
    EXPECT_EQ(ParseCallFlags("b4"), 257u);
}

TEST(NativeDeclarations, OptionsFillTheLetterTexts) {
    TDynaDeclare d;
    d.ProcAddress = reinterpret_cast<void*>(&ncEcho);
    d.ArgLetters = "old";
    d.FlagLetters = "old";
    d.ResultLetter = "old";
    AnsiString options[] = {"I=SL", "x=1", "r=L", "f=c", "i=dd"};
    ParseDynaDeclare(options, d);
    EXPECT_EQ(d.ArgLetters, "dd");
    EXPECT_EQ(d.FlagLetters, "c");
    EXPECT_EQ(d.ResultLetter, "l");
    EXPECT_EQ(d.ProcAddress, reinterpret_cast<void*>(&ncEcho));
    ParseDynaDeclare({}, d);
    EXPECT_EQ(d.ArgLetters, "");
    EXPECT_EQ(d.FlagLetters, "");
    EXPECT_EQ(d.ResultLetter, "");
}

TEST(NativeDeclarations, ExportsAreFoundWithTheAnsiRetry) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(FindProcAddress(kernel, "GetWindowsDirectory"), procOf(kernel, "GetWindowsDirectoryA"));
    EXPECT_NE(FindProcAddress(kernel, "GetWindowsDirectory"), nullptr);
    EXPECT_EQ(FindProcAddress(kernel, "GetWindowsDirectoryW"), procOf(kernel, "GetWindowsDirectoryW"));
    EXPECT_EQ(FindProcAddress(kernel, "NoSuchExportAnywhere"), nullptr);
    HMODULE user = LoadLibraryA("user32.dll");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(FindProcAddress(user, "MessageBox"), procOf(user, "MessageBoxA"));
    FreeLibrary(user);
}

// ==== Argument records and parameters ====

TEST(NativeArguments, LettersMakeTheirKinds) {
    TDynaValueArray r = build("c1t2bhlpu4i8swfdak", {});
    const uint8_t kinds[] = {0, 15, 2, 15, 4, 16, 4, 16, 4, 15, 6, 15, 15, 15, 10, 11, 12, 13};
    ASSERT_EQ(r.size(), sizeof kinds);
    for (size_t i = 0; i < r.size(); ++i) EXPECT_EQ(r[i].Kind, kinds[i]) << i;
    EXPECT_TRUE(build("", {}).empty());
}

TEST(NativeArguments, ValuesAreConvertedByTheirLetter) {
    TDynaValueArray r = build("C1T2L4I8SWFD", {textValue("A"), intValue(300), intValue(-70000), intValue(70000),
                                               doubleValue(-5.6), intValue(9), doubleValue(2.5), doubleValue(3.5),
                                               intValue(42), textValue("\x93\xfa"), doubleValue(0.5),
                                               doubleValue(1e300)});
    EXPECT_EQ(r[0].Kind, dkChar);
    EXPECT_EQ(r[0].ByteValue, 65);
    EXPECT_EQ(r[1].Kind, dkByteRef);
    EXPECT_EQ(r[1].ByteValue, 44);  // 300 & 255
    EXPECT_EQ(r[2].ShortValue, static_cast<int16_t>(-70000));
    EXPECT_EQ(r[3].ShortValue, static_cast<int16_t>(70000));
    EXPECT_EQ(r[4].LongValue, -6);
    EXPECT_EQ(r[5].LongValue, 9);
    EXPECT_EQ(r[6].Int64Value, 2);  // halves to even
    EXPECT_EQ(r[7].Int64Value, 4);
    EXPECT_EQ(r[8].StrValue, "42");
    EXPECT_EQ(r[9].WideValue, L"\u65e5");
    EXPECT_EQ(r[10].SingleValue, 0.5f);
    EXPECT_EQ(r[11].DoubleValue, 1e300);
}

TEST(NativeArguments, NullAndMissingArguments) {
    // Pointer letters pass a null pointer for undefined and null; a missing
    // argument counts as null.
    TDynaValueArray r = build("1248sw", {undefinedValue(), nullValue()});
    for (const TDynaValue& v : r) EXPECT_EQ(v.Kind, dkNil);
    r = build("sl", {textValue("x")});
    EXPECT_EQ(r[0].Kind, dkString);
    EXPECT_EQ(r[1].Kind, dkLong);
    EXPECT_EQ(r[1].LongValue, 0);
    r = build("cd", {nullValue()});
    EXPECT_EQ(r[0].Kind, dkChar);
    EXPECT_EQ(r[1].Kind, dkDouble);
    EXPECT_EQ(r[1].DoubleValue, 0.0);
}

TEST(NativeArguments, UnknownLettersAreRefused) {
    TJValueList args;
    TDynaValueArray r;
    EXPECT_SCRIPT_ERROR(BuildDynaArguments("lx", fill(args, {intValue(1), intValue(2)}), r), "EDynaCallError",
                        "arguments flag error");
    EXPECT_SCRIPT_ERROR(BuildDynaArguments("3", nullptr, r), "EDynaCallError", "arguments flag error");
    EXPECT_SCRIPT_ERROR(BuildDynaArguments("l ", nullptr, r), "EDynaCallError", "arguments flag error");
}

TEST(NativeArguments, InterfacesAreHeldForTheCall) {
    CountingDispatch object;
    {
        TDynaValueArray r = build("ak", {dispatchValue(&object), dispatchValue(&object)});
        EXPECT_EQ(r[0].DispatchValue.get(), &object);
        EXPECT_EQ(r[1].UnknownValue.get(), static_cast<IUnknown*>(&object));
        EXPECT_EQ(object.refs, 3u);
    }
    EXPECT_EQ(object.refs, 1u);
    TDynaValueArray r = build("ak", {intValue(5), textValue("x")});
    EXPECT_EQ(r[0].DispatchValue.get(), nullptr);
    EXPECT_EQ(r[1].UnknownValue.get(), nullptr);
}

TEST(NativeArguments, ParametersPassValuesAndAddresses) {
    TDynaValueArray r = build("c1t2l4i8swfdkp", {intValue(200), intValue(1), intValue(-2), intValue(3), intValue(-4),
                                                  intValue(5), intValue(6), intValue(7), textValue("ab"),
                                                  textValue("cd"), doubleValue(1.5), doubleValue(2.5), nullValue(),
                                                  doubleValue(4294967295.0)});
    r.push_back(TDynaValue{});
    r.back().Kind = 14;
    r.back().Bits32 = 0xABCD;
    r.push_back(TDynaValue{});
    r.back().Kind = 18;
    r.back().Bits32 = 0xABCD;
    TDynaParmArray p;
    DynaValuesToParms(r, p);
    ASSERT_EQ(p.size(), r.size());
    const uint32_t word = sizeof(void*);
    auto addr = [](const void* q) { return reinterpret_cast<uintptr_t>(q); };
    auto expectParm = [&](size_t i, uint32_t flags, uint32_t width, uintptr_t value) {
        EXPECT_EQ(p[i].Flags, flags) << i;
        EXPECT_EQ(p[i].Width, width) << i;
        EXPECT_EQ(p[i].Value, value) << i;
    };
    expectParm(0, 0, 1, 200);
    expectParm(1, 0, word, addr(&r[1].ByteValue));
    expectParm(2, 0, 2, 0xFFFFFFFEu);
    expectParm(3, 0, word, addr(&r[3].ShortValue));
    expectParm(4, 0, 4, static_cast<uintptr_t>(-4));  // sign-extended to the register
    expectParm(5, 0, word, addr(&r[5].LongValue));
    expectParm(6, pfPointer, 8, addr(&r[6].Int64Value));
    expectParm(7, 0, word, addr(&r[7].Int64Value));
    expectParm(8, 0, word, addr(r[8].StrValue.c_str()));
    expectParm(9, 0, word, addr(r[9].WideValue.c_str()));
    expectParm(10, 0, 4, 0x3FC00000u);  // 1.5f
    expectParm(11, pfPointer, 8, addr(&r[11].DoubleValue));
    expectParm(12, 0, word, 0);
    expectParm(13, 0, word, 0xFFFFFFFFu);
    expectParm(14, 0, 4, 0xABCD);
    expectParm(15, 0, 0, 0);
}

// ==== Results ====

TEST(NativeResults, LettersReadTheRawResult) {
    TDynaResult raw;
    TJValue v;
    raw.Bits = 2;
    DynaResultToValue("b", raw, v);
    EXPECT_EQ(v.ValueType, vtBool);
    EXPECT_TRUE(v.BooleanValue);
    raw.Bits = 0xFFFFFFFF00000000ull;
    DynaResultToValue("B", raw, v);
    EXPECT_FALSE(v.BooleanValue);
    raw.Bits = 0x12345678;
    for (const char* letter : {"c", "t", "h", "l", "p", "u"}) {
        DynaResultToValue(letter, raw, v);
        EXPECT_EQ(v.ValueType, vtInteger) << letter;
        EXPECT_EQ(v.IntegerValue, 0x12345678) << letter;  // not narrowed
    }
    raw.Int64 = -(1ll << 40) - 3;
    DynaResultToValue("ix", raw, v);
    EXPECT_EQ(v.ValueType, vtDouble);
    EXPECT_EQ(v.DoubleValue, -1099511627779.0);
    raw.Double = -0.25;
    DynaResultToValue("d", raw, v);
    EXPECT_EQ(v.DoubleValue, -0.25);
    raw.Bits = 0;
    raw.Single = 1.75f;
    DynaResultToValue("f", raw, v);
    EXPECT_EQ(v.ValueType, vtDouble);
    EXPECT_EQ(v.DoubleValue, 1.75);
    DynaResultToValue("", raw, v);
    EXPECT_EQ(v.ValueType, vtNull);
    DynaResultToValue("z", raw, v);
    EXPECT_EQ(v.ValueType, vtNull);
}

TEST(NativeResults, TextsAndInterfaces) {
    ASSERT_EQ(GetACP(), 932u);
    TDynaResult raw;
    TJValue v;
    raw.Pointer = const_cast<char*>("\x93\xfa\x96\x7b");
    DynaResultToValue("s", raw, v);
    EXPECT_EQ(v.StrValue, "\x93\xfa\x96\x7b");
    raw.Pointer = const_cast<wchar_t*>(L"\u65e5\u672cA");
    DynaResultToValue("W", raw, v);
    EXPECT_EQ(v.StrValue, "\x93\xfa\x96\x7b" "A");
    raw.Pointer = nullptr;
    DynaResultToValue("s", raw, v);
    EXPECT_EQ(v.ValueType, vtString);
    EXPECT_EQ(v.StrValue, "");
    DynaResultToValue("w", raw, v);
    EXPECT_EQ(v.StrValue, "");
    CountingDispatch object;
    raw.Pointer = static_cast<IDispatch*>(&object);
    DynaResultToValue("a", raw, v);
    EXPECT_EQ(v.ValueType, vtDispatch);
    EXPECT_EQ(v.DispValue.get(), &object);
    EXPECT_EQ(object.refs, 2u);
    MakeUndefined(v);
    EXPECT_EQ(object.refs, 1u);
}

// ==== Addresses ====

TEST(NativeAddresses, ScriptNumbersAndBack) {
    const bool wide = sizeof(void*) == 8;
    const double beyond32 = 4294967296.0 * 3 + 5;  // 2^32 * 3 + 5
    struct Case {
        TJValue value;
        bool valid;
        uintptr_t address;
    };
    FakeRuntime engine;
    RegisterNumberClasses(&engine);
    const Case cases[] = {
        {intValue(0x1000), true, 0x1000},
        {intValue(-1), true, ~uintptr_t(0)},  // a handle, sign-extended
        {doubleValue(4294967295.0), true, 0xFFFFFFFFu},
        {doubleValue(-2.0), true, ~uintptr_t(1)},
        {doubleValue(beyond32), wide, wide ? static_cast<uintptr_t>(uint64_t(beyond32)) : 0},
        {doubleValue(65536.5), false, 0},
        {doubleValue(-0.25), false, 0},
        {objectValue(NewNumberObject(&engine, doubleValue(8192))), true, 8192},
        {objectValue(NewNumberObject(&engine, doubleValue(1.5))), false, 0},
        {textValue("77"), true, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ValueToString(c.value).c_str());
        if (!c.valid) {
            EXPECT_SCRIPT_ERROR(ValueToAddress(c.value), "EDLLLoadError", "invalid parameter");
            continue;
        }
        uintptr_t address = ValueToAddress(c.value);
        EXPECT_EQ(address, c.address);
        TJValue back;
        AddressToValue(address, back);
        EXPECT_EQ(ValueToAddress(back), address);
        // An integer when the address fits 32 bits as a signed number.
        EXPECT_EQ(back.ValueType, static_cast<intptr_t>(static_cast<int32_t>(address)) == static_cast<intptr_t>(address)
                                      ? vtInteger
                                      : vtDouble);
    }
}

// ==== Calls ====

using NativeCalls = ::testing::Test;

TEST_F(NativeCalls, IntegersOfEveryWidthStdcallAndCdecl) {
    const long long big = (1ll << 40) + 3;
    for (auto [name, flags] : {std::pair{"ncStdIntegers@20", ""}, std::pair{"ncStdIntegers@20", "s"},
                               std::pair{"ncCdeclIntegers", "c"}}) {
        seen = {};
        TJValue r = callWith(declaration(name, "ctli", flags, "i"),
                             {textValue("A"), intValue(-2), intValue(100000), doubleValue(static_cast<double>(big))});
        EXPECT_EQ(seen.c, 65) << name;
        EXPECT_EQ(seen.t, -2) << name;
        EXPECT_EQ(seen.l, 100000) << name;
        EXPECT_EQ(seen.i, big) << name;
        EXPECT_EQ(r.ValueType, vtDouble) << name;
        EXPECT_EQ(r.DoubleValue, static_cast<double>(big * 2 + 100000)) << name;  // EDX carries the high half
    }
    // The low half alone as an integer result.
    TJValue r = callWith(declaration("ncStdIntegers@20", "ctli", "", "l"),
                         {intValue(0), intValue(0), intValue(7), doubleValue(static_cast<double>(big))});
    EXPECT_EQ(r.IntegerValue, 13);
}

TEST_F(NativeCalls, FloatingPointArgumentsAndResults) {
    TJValue r = callWith(declaration("ncStdScale@12", "df", "s8", "d"), {doubleValue(1.25), doubleValue(-4)});
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, -5.0);
    r = callWith(declaration("ncCdeclHalfPlus", "fd", "c4", "f"), {intValue(3), doubleValue(0.25)});
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, 1.75);
    // A double before an integer takes two stack words.
    r = callWith(declaration("ncAfterDouble@12", "dl", "", "l"), {doubleValue(1e100), intValue(-9)});
    EXPECT_EQ(r.IntegerValue, -9);
}

TEST_F(NativeCalls, TextsInAndOut) {
    ASSERT_EQ(GetACP(), 932u);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    TDynaDeclare lengthA{FindProcAddress(kernel, "lstrlenA"), "s", "", "l", {}};
    TDynaDeclare lengthW{FindProcAddress(kernel, "lstrlenW"), "w", "", "l", {}};
    EXPECT_EQ(callWith(lengthA, {textValue("\x93\xfa\x96\x7b" "x")}).IntegerValue, 5);
    EXPECT_EQ(callWith(lengthW, {textValue("\x93\xfa\x96\x7b" "x")}).IntegerValue, 3);
    EXPECT_EQ(callWith(lengthA, {textValue("")}).IntegerValue, 0);
    TDynaDeclare isNull = declaration("ncIsNull@4", "s", "", "b");
    EXPECT_TRUE(ValueToBool(callWith(isNull, {nullValue()})));
    EXPECT_TRUE(ValueToBool(callWith(isNull, {})));
    EXPECT_FALSE(ValueToBool(callWith(isNull, {textValue("")})));
    isNull.ArgLetters = "w";
    EXPECT_TRUE(ValueToBool(callWith(isNull, {undefinedValue()})));

    EXPECT_EQ(callWith(declaration("ncAnsiText@0", "", "", "s"), {}).StrValue, "\x93\xfa\x96\x7b");
    EXPECT_EQ(callWith(declaration("ncWideText@0", "", "", "w"), {}).StrValue, "\x93\xfa\x96\x7b");
}

TEST_F(NativeCalls, ACalleeWritesIntoTheBytesOfAPassedText) {
    // The text's bytes are passed as they are shared, so a buffer the script
    // handed over (such as a Struct's) sees what the callee wrote.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    TDynaDeclare windows{FindProcAddress(kernel, "GetWindowsDirectory"), "sl", "", "l", {}};
    char expected[MAX_PATH];
    UINT length = GetWindowsDirectoryA(expected, MAX_PATH);
    ASSERT_GT(length, 0u);
    TJValueList args;
    args.AddString(AnsiString(MAX_PATH, ' '));
    args.AddInteger(MAX_PATH);
    TJValue result;
    CallDynaDeclare(windows, &args, result);
    EXPECT_EQ(result.IntegerValue, static_cast<int32_t>(length));
    EXPECT_EQ(std::string(args.At(0).StrValue.c_str()), std::string(expected));
}

TEST_F(NativeCalls, ByReferenceResultsGoBackIntoNumberObjects) {
    FakeRuntime engine;
    RegisterNumberClasses(&engine);
    TJNumberObject* b = NewNumberObject(&engine, intValue(255));
    TJNumberObject* t = NewNumberObject(&engine, intValue(300));
    TJNumberObject* l = NewNumberObject(&engine, doubleValue(-20.4));
    TJNumberObject* i = NewNumberObject(&engine, doubleValue(1099511627776.0));  // 2^40
    TDynaDeclare update = declaration("ncUpdate@16", "1248", "", "");
    TJValueList args;
    TJValue result;
    CallDynaDeclare(update, fill(args, {objectValue(b), objectValue(t), objectValue(l), objectValue(i)}), result);
    EXPECT_EQ(result.ValueType, vtNull);
    EXPECT_EQ(b->intProperty(), 0);  // unsigned byte 255 + 1
    EXPECT_EQ(t->intProperty(), -300);
    EXPECT_EQ(l->intProperty(), -39);
    EXPECT_EQ(i->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(i->numberProperty(), 4398046511104.0);

    // Plain numbers are passed the same way but left as they were; null passes no cell.
    TJValueList plain;
    CallDynaDeclare(update, fill(plain, {intValue(1), nullValue(), intValue(5), doubleValue(8)}), result);
    EXPECT_EQ(plain.At(0).IntegerValue, 1);
    EXPECT_EQ(plain.At(2).IntegerValue, 5);
    EXPECT_EQ(plain.At(3).DoubleValue, 8.0);

    // Only by-reference letters write back.
    TJNumberObject* byValue = NewNumberObject(&engine, intValue(3));
    TJValueList mixed;
    CallDynaDeclare(declaration("ncEcho@4", "l", "", "l"), fill(mixed, {objectValue(byValue)}), result);
    EXPECT_EQ(result.IntegerValue, 3);
    EXPECT_EQ(byValue->intProperty(), 3);
}

TEST_F(NativeCalls, InterfaceArguments) {
    CountingDispatch object;
    TJValue r = callWith(declaration("ncEcho@4", "a", "", "l"), {dispatchValue(&object)});
    EXPECT_EQ(static_cast<uint32_t>(r.IntegerValue), static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&object)));
    // The argument list and the argument record each hold one reference during the call.
    {
        TJValueList args;
        args.Add(dispatchValue(&object));
        CallDynaDeclare(declaration("ncRefCount@4", "k", "", "l"), &args, r);
        EXPECT_EQ(r.IntegerValue, 3);
    }
    EXPECT_EQ(object.refs, 1u);
    r = callWith(declaration("ncEcho@4", "a", "", "a"), {dispatchValue(&object)});
    EXPECT_EQ(r.ValueType, vtDispatch);
    EXPECT_EQ(r.DispValue.get(), &object);
    MakeUndefined(r);
    EXPECT_EQ(object.refs, 1u);
    r = callWith(declaration("ncIsNull@4", "a", "", "b"), {intValue(1)});
    EXPECT_TRUE(r.BooleanValue);
}

TEST_F(NativeCalls, ResultsThroughAReturnBuffer) {
    // Up to 8 bytes: the register pair is copied into the buffer.
    TDynaParmArray parms = {TDynaParm{0, 4, 0x11223344}, TDynaParm{0, 4, 0x55667788}};
    TDynaResult result;
    uint32_t pair[2] = {};
    InvokeNativeProc(cfCdecl, exported("ncPair"), parms, result, 8, pair);
    EXPECT_EQ(pair[0], 0x11223344u);
    EXPECT_EQ(pair[1], 0x55667788u);
    EXPECT_EQ(result.Bits, 0u);
    uint8_t narrow[4] = {9, 9, 9, 9};
    InvokeNativeProc(cfCdecl, exported("ncPair"), parms, result, 2, narrow);
    EXPECT_EQ(narrow[0], 0x44);
    EXPECT_EQ(narrow[1], 0x33);
    EXPECT_EQ(narrow[2], 9);
    // Larger: the callee fills the buffer through the hidden first argument.
    Triple triple{};
    parms = {TDynaParm{0, 4, 40}};
    InvokeNativeProc(cfCdecl, exported("ncTriple"), parms, result, sizeof triple, &triple);
    EXPECT_EQ(triple.a, 40);
    EXPECT_EQ(triple.b, 41);
    EXPECT_EQ(triple.c, 42);
    EXPECT_EQ(result.Bits, 0u);
}

TEST_F(NativeCalls, RecordsByValue) {
    // 4 and 8 bytes travel as they are (in a register in the x64 frame), 12
    // bytes as the address of a copy there; the 16-byte result comes back
    // through the hidden first argument.
    Rec4 x{2, 3};
    Rec8 y{5, 0.5f};
    Triple z{7, 11, 13};
    TDynaParmArray parms = {blockOf(x), blockOf(y), blockOf(z), TDynaParm{0, 4, 17}};
    Rec16 r{};
    TDynaResult result;
    InvokeNativeProc(cfCdecl, exported("ncRecords"), parms, result, sizeof r, &r);
    EXPECT_EQ(r.sum, 2 + 3 + 5 + 0.5 + 7 + 11 + 13 + 17);
    EXPECT_EQ(r.product, 2 * 3 * 5 * 7 * 11 * 13 * 17);
    EXPECT_EQ(z.a, 7);  // the callee changed only its copy
    EXPECT_EQ(result.Bits, 0u);
}

TEST_F(NativeCalls, AWrongConventionLeavesTheStackIntact) {
    volatile uint32_t canary = 0xC0FFEE11;
    TDynaDeclare cdeclAsStdcall = declaration("ncCdeclIntegers", "ctli", "s", "l");
    TDynaDeclare stdcallAsCdecl = declaration("ncStdIntegers@20", "ctli", "c", "l");
    TDynaDeclare tooFewArguments = declaration("ncStdIntegers@20", "c", "", "");
    TDynaDeclare scribbler = declaration("ncScribble@32", "l", "", "l");
    for (int k = 0; k < 200; ++k) {
        EXPECT_EQ(callWith(cdeclAsStdcall, {intValue(1), intValue(2), intValue(k), intValue(1)}).IntegerValue, k + 2);
        EXPECT_EQ(callWith(stdcallAsCdecl, {intValue(1), intValue(2), intValue(k), intValue(2)}).IntegerValue, k + 4);
        callWith(tooFewArguments, {intValue(k)});
        EXPECT_EQ(seen.c, static_cast<unsigned char>(k));
        EXPECT_EQ(callWith(scribbler, {intValue(k)}).IntegerValue, -1);
    }
    EXPECT_EQ(canary, 0xC0FFEE11u);
}

TEST_F(NativeCalls, TheStackIsAlignedAtTheCall) {
    for (int count = 0; count <= 7; ++count) {
        TDynaDeclare d = declaration("ncFrameAlignment", std::string(count, 'l').c_str(), "c", "l");
        TJValueList args;
        for (int k = 0; k < count; ++k) args.AddInteger(k);
        TJValue result;
        CallDynaDeclare(d, &args, result);
        EXPECT_EQ(result.IntegerValue, sizeof(void*) == 8 ? 0 : 8) << count;
    }
}

TEST_F(NativeCalls, AnUndeclaredFloatingPointResultIsDropped) {
    if (sizeof(void*) != 4) GTEST_SKIP() << "the floating-point stack carries results in the 32-bit program only";
    // The callee leaves a double on the floating-point stack that the
    // declaration does not read; more than eight such calls would overflow it.
    TDynaDeclare scale = declaration("ncStdScale@12", "df", "", "l");
    for (int k = 0; k < 20; ++k) callWith(scale, {doubleValue(1), doubleValue(2)});
    volatile double x = 1.5;
    EXPECT_EQ(x * 2 + 1, 4.0);
    // A declared floating-point result of a callee that leaves none reads a NaN and harms nothing.
    TDynaDeclare echo = declaration("ncEcho@4", "l", "8", "d");
    for (int k = 0; k < 20; ++k) EXPECT_TRUE(std::isnan(callWith(echo, {intValue(1)}).DoubleValue));
    EXPECT_EQ(x * 2 + 1, 4.0);
}

TEST_F(NativeCalls, LargeArgumentBlocks) {
    // As many integers as fill the block: 4 bytes each in the 32-bit frame, 8 in the x64 one.
    const int most = MaxDynaFrameBytes / sizeof(void*);
    TDynaDeclare sum = declaration("ncSumAll", std::string(most, 'l').c_str(), "c", "l");
    TJValueList args;
    args.AddInteger(most - 1);
    for (int k = 1; k < most; ++k) args.AddInteger(k);
    TJValue result;
    CallDynaDeclare(sum, &args, result);
    EXPECT_EQ(result.IntegerValue, (most - 1) * most / 2);
    sum.ArgLetters = std::string(most + 1, 'l').c_str();
    EXPECT_SCRIPT_ERROR(CallDynaDeclare(sum, &args, result), "EDynaCallError", "arguments size error");
    sum.ArgLetters = std::string(MaxDynaFrameBytes / 8 + 1, 'd').c_str();
    EXPECT_SCRIPT_ERROR(CallDynaDeclare(sum, &args, result), "EDynaCallError", "arguments size error");
}

TEST_F(NativeCalls, BadDeclarationsFailBeforeTheCall) {
    seen = {};
    TJValue result;
    EXPECT_SCRIPT_ERROR(CallDynaDeclare(declaration("ncStdIntegers@20", "ctl?", "", "l"), nullptr, result),
                        "EDynaCallError", "arguments flag error");
    EXPECT_EQ(seen.l, 0);
    TDynaDeclare none;
    none.ArgLetters = "l";
    EXPECT_SCRIPT_ERROR(CallDynaDeclare(none, nullptr, result), "EDynaCallError", "procedure address error");
}

// ==== From a script ====

namespace {

// "NativeTest": a global whose members are DLL functions of this program.
class TNativeTestObject : public TJObject {
    RTL_DECLARE_CLASS()
    TNativeTestObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
        SetClassName("NativeTest");
        bind("update", "ncUpdate@16", "1248", "", "");
        bind("scale", "ncStdScale@12", "df", "s8", "d");
        bind("text", "ncAnsiText@0", "", "", "s");
        bind("broken", "ncEcho@4", "q", "", "l");
    }

private:
    void bind(const char* name, const char* export_, const char* args, const char* flags, const char* result) {
        IJFunctionPtr function = NewFunction();
        function->SetFuncType(ftDyna);
        function->SetName(name);
        *function->GetDynaDeclare() = declaration(export_, args, flags, result);
        TJValue value;
        MakeFunction(function, value);
        SetValue(name, value);
    }
};

}  // namespace

const TClassInfo TNativeTestObject::classInfo =
    makeClassInfo("TNativeTestObject", &TJObject::classInfo, &scriptCreator<TNativeTestObject>);

TEST_F(NativeCalls, ScriptsCallDllFunctionValues) {
    DIZI component;
    std::string out;
    struct Sink {
        std::string* text;
        void write(TObject*, const AnsiString& s) { *text += s.str(); }
    } sink{&out};
    component.SetOnStdout(TStringEvent::bind<&Sink::write>(&sink));
    component.SetOnStderr(TStringEvent::bind<&Sink::write>(&sink));
    component.ImportObject("NativeTest", &TNativeTestObject::classInfo);
    ASSERT_TRUE(component.Compile(
        "var n = new Number(20); var k = 20;\n"
        "NativeTest.update(null, null, n, null); NativeTest.update(null, null, k, null);\n"
        "var e = \"\";\n"
        "try { NativeTest.broken(1); } catch (err) { e = err; }\n"
        "WScript.StdOut.Write(n.int + \" \" + k + \" \" + NativeTest.scale(1.5, 3) + \" \" +\n"
        "                     NativeTest.text() + \" \" + e);\n"));
    EXPECT_EQ(component.RunNoArgs(), 0);
    EXPECT_EQ(out, "41 20 4.5 \x93\xfa\x96\x7b EDynaCallError");
}
