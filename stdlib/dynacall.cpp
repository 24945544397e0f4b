// The DynaCall and Struct script classes.
#include "stdlib/dynacall.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/function.h"
#include "engine/core/jhash.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/lib/dynaconvert.h"
#include "engine/lib/stringobject.h"
#include "engine/support/mbstring.h"
#include "rtl/numtext.h"
#include "stdlib/stringbuffer.h"

namespace {

const TPropInfo structProperties[] = {
    IntegerProperty<&TJStruct::lengthProperty>("length"),
};

[[noreturn]] void raiseLoadError(const AnsiString& message) { raiseScriptError("EDLLLoadError", message); }
[[noreturn]] void raiseStructError(const AnsiString& message) { raiseScriptError("EStructError", message); }
[[noreturn]] void raiseInvalidParameter() { raiseLoadError("invalid parameter"); }

// ==== Memory ====

// Whether every byte of the range is committed memory the process may read
// (or write): a fault cannot be caught without structured exception handling.
bool accessible(const void* start, size_t count, bool write) {
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    uintptr_t at = reinterpret_cast<uintptr_t>(start);
    uintptr_t end = at + count;
    if (!start || end < at) return false;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region;
        if (!VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region)) return false;
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(region.Protect & (write ? writable : readable)))
            return false;
        at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

// The zero-terminated text of characters of type C at the address, read no
// further than readable memory goes.
template <class C>
std::basic_string_view<C> textAt(const void* start) {
    const C* text = static_cast<const C*>(start);
    size_t length = 0;
    for (;;) {
        MEMORY_BASIC_INFORMATION region;
        const C* at = text + length;
        if (!accessible(at, sizeof(C), false) || !VirtualQuery(at, &region, sizeof region)) return {text, length};
        size_t room = (reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize -
                       reinterpret_cast<uintptr_t>(at)) / sizeof(C);
        for (size_t i = 0; i < room; ++i, ++length)
            if (text[length] == 0) return {text, length};
    }
}

// An operand of the memory operations: its address and how many bytes may
// be used from there (unknown for a bare number).
struct MemoryArea {
    void* Address = nullptr;
    size_t Room = SIZE_MAX;
};

// A number is an address (a double that is no whole number is refused); a
// Struct, a String object or a string buffer gives its own bytes (unshared
// first when written to); a plain text only as a source. Anything else has no
// address.
MemoryArea memoryArea(const TJValue& value, bool destination) {
    if (IsNumberValue(value)) return {reinterpret_cast<void*>(ValueToAddress(value))};
    if (IsObjectOfClass(&value, &TJStruct::classInfo)) {
        auto* record = static_cast<TJStruct*>(value.ObjValue);
        return {destination ? record->MutableBuffer() : const_cast<char*>(record->BufferData()), record->SizeOf()};
    }
    AnsiString* text = nullptr;
    if (IsStringObjectValue(&value)) text = &static_cast<TJStringObject*>(value.ObjValue)->MutableText();
    else if (IsStringBufferValue(&value)) text = &static_cast<TJStringBufferObject*>(value.ObjValue)->Text();
    else if (value.ValueType == vtString && !destination) text = const_cast<AnsiString*>(&value.StrValue);
    if (!text) return {};
    return {destination ? text->mutableData() : const_cast<char*>(text->c_str()), text->length()};
}

void checkRange(const MemoryArea& area, int32_t count, bool write) {
    if (!area.Address || count <= 0 || static_cast<size_t>(count) > area.Room ||
        !accessible(area.Address, static_cast<size_t>(count), write))
        raiseInvalidParameter();
}

// copyMemory(destination, source, count); overlapping blocks are allowed.
void copyMemory(TJDynaCall&, TJValueList* args, TJValue&) {
    MemoryArea destination = memoryArea(args->At(0), true);
    MemoryArea source = memoryArea(args->At(1), false);
    int32_t count = ValueToInteger(args->At(2));
    checkRange(source, count, false);
    checkRange(destination, count, true);
    std::memmove(destination.Address, source.Address, static_cast<size_t>(count));
}

// fillMemory(destination, count [, byte]).
void fillMemory(TJDynaCall&, TJValueList* args, TJValue&) {
    MemoryArea destination = memoryArea(args->At(0), true);
    int32_t count = ValueToInteger(args->At(1));
    uint8_t byte = HasThreeArgs(args) ? ValueToChar(args->At(2)) : 0;
    checkRange(destination, count, true);
    std::memset(destination.Address, byte, static_cast<size_t>(count));
}

// ==== Messages ====

// wParam and lParam by their letters: 1, 2, 4 and 8 pass the address of a
// slot holding the value, s the address of the text, any other letter the
// value as an address (pointer-sized); undefined and null pass 0.
struct MessageParams {
    TJValueList Given;
    TDynaValueArray Values;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

LPARAM paramOf(TDynaValue& v) {
    switch (v.Kind) {
    case dkByteRef: return reinterpret_cast<LPARAM>(&v.ByteValue);
    case dkShortRef: return reinterpret_cast<LPARAM>(&v.ShortValue);
    case dkLongRef: return reinterpret_cast<LPARAM>(&v.LongValue);
    case dkInt64Ref: return reinterpret_cast<LPARAM>(&v.Int64Value);
    case dkString: return reinterpret_cast<LPARAM>(v.StrValue.lendData());
    case dkNil: return 0;
    default: return static_cast<LPARAM>(v.AddressValue);
    }
}

void buildMessageParams(TJValueList* args, MessageParams& params) {
    AnsiString letters = (ArgCount(args) >= 5 ? lowerCaseAscii(ValueToString(args->At(4))) : AnsiString()) + "ll";
    AnsiString kinds;
    for (int i = 0; i < 2 && ArgCount(args) > 2 + i; ++i) {
        params.Given.Add(args->At(2 + i));
        kinds += std::string_view("1248s").find(letters[i]) != std::string_view::npos ? letters[i] : 'p';
    }
    BuildDynaArguments(kinds, &params.Given, params.Values);
    if (params.Values.size() > 0) params.WParam = static_cast<WPARAM>(paramOf(params.Values[0]));
    if (params.Values.size() > 1) params.LParam = paramOf(params.Values[1]);
}

HWND windowOf(TJValueList* args) { return reinterpret_cast<HWND>(ValueToAddress(args->At(0))); }

void sendMessage(TJDynaCall&, TJValueList* args, TJValue& result) {
    MakeInteger(0, result);
    if (!HasTwoArgs(args)) return;
    MessageParams params;
    buildMessageParams(args, params);
    LRESULT answer = SendMessageA(windowOf(args), static_cast<UINT>(ValueToInteger(args->At(1))), params.WParam,
                                  params.LParam);
    AddressToValue(static_cast<uintptr_t>(answer), result);
    WriteBackDynaArguments(params.Values, &params.Given);
}

void postMessage(TJDynaCall&, TJValueList* args, TJValue& result) {
    MakeBool(false, result);
    if (!HasTwoArgs(args)) return;
    MessageParams params;
    buildMessageParams(args, params);
    MakeBool(PostMessageA(windowOf(args), static_cast<UINT>(ValueToInteger(args->At(1))), params.WParam,
                          params.LParam) != 0,
             result);
}

// ==== DynaCall surface ====

void registerFunction(TJDynaCall& self, TJValueList* args, TJValue&) {
    AnsiString dll = HasArgs(args) ? ValueToString(args->At(0)) : AnsiString();
    AnsiString func = HasTwoArgs(args) ? ValueToString(args->At(1)) : AnsiString();
    if (dll.empty() || func.empty()) raiseLoadError("register error: " + dll + " " + func);
    std::vector<AnsiString> options;
    for (int i = 2; i < ArgCount(args) && i < 5; ++i) options.push_back(ValueToString(args->At(i)));
    self.Register(dll, func, options);
}

const TJMethod<TJDynaCall> dynaCallMethods[] = {
    {"register", 0, &registerFunction, TJMethodResult::Self},
    {"sendMessage", 0, &sendMessage},
    {"postMessage", 0, &postMessage},
    {"copyMemory", 3, &copyMemory},
    {"moveMemory", 3, &copyMemory},
    {"fillMemory", 2, &fillMemory},
};

}  // namespace

const TClassInfo TJDynaCall::classInfo =
    makeClassInfo("TJDynaCall", &TJObject::classInfo, &scriptCreator<TJDynaCall>);
const TClassInfo TJStruct::classInfo = makeClassInfo("TJStruct", &TJObject::classInfo, structProperties,
                                                     &scriptCreator<TJStruct>, TGlobalInstance::No);

// ==== DynaCall ====

TJDynaCall::TJDynaCall(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Modules_(13, true) {
    SetClassName("DynaCall");
    Modules_.OnFreeItem = [](TCustomHashTable&, THashItem& item) {
        FreeLibrary(static_cast<HMODULE>(static_cast<TPointerHashItem&>(item).Value));
    };
}

TJDynaCall::~TJDynaCall() { Modules_.Clear(); }

void TJDynaCall::Register(const AnsiString& dll, const AnsiString& func, std::span<const AnsiString> options) {
    IJFunctionPtr function = NewFunction();
    function->SetFuncType(ftDyna);
    function->SetName(func);
    TDynaDeclare& declare = *function->GetDynaDeclare();
    ParseDynaDeclare(options, declare);
    auto module = static_cast<HMODULE>(Modules_.GetValue(dll));
    if (module) {
        declare.ProcAddress = FindProcAddress(module, func);
        if (!declare.ProcAddress) raiseLoadError(func);
    } else {
        module = LoadLibraryA(dll.c_str());
        if (!module) raiseLoadError(dll);
        declare.ProcAddress = FindProcAddress(module, func);
        if (!declare.ProcAddress) {
            FreeLibrary(module);
            raiseLoadError(func);
        }
        Modules_.SetValue(dll, module);
    }
    HMODULE own = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(module), &own))
        declare.Module = std::shared_ptr<void>(own, [](void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); });
    TJValue value;
    MakeFunction(function, value);
    TJObject::SetValue(func, value);
}

const TJMethodTable& TJDynaCall::Methods() const {
    static const TJMethodTable table(dynaCallMethods, TJObject::Methods());
    return table;
}

// ==== Struct ====

namespace {

// The largest member: beyond it a definition is refused as a wrong type.
constexpr uint32_t maxMemberSize = 256u * 1024 * 1024;

// The kind and size of a type text (lower-cased and trimmed); false for an
// unknown one.
bool kindOfType(const AnsiString& type, uint8_t& kind, uint32_t& size) {
    if (type.view().find_first_not_of("0123456789") == std::string_view::npos) {
        uint64_t n = 0;
        for (char c : type.view()) {
            n = n * 10 + static_cast<uint64_t>(c - '0');
            if (n > maxMemberSize) return false;
        }
        if (n == 0) return false;
        kind = skChars;
        size = static_cast<uint32_t>(n);
        return true;
    }
    switch (type[0]) {
    case 'c': kind = skChar; size = 1; return true;
    case 't': kind = skShort; size = 2; return true;
    case 'h': case 'p': kind = sizeof(void*) == 4 ? skLong : skAddress; size = sizeof(void*); return true;
    case 'l': case 'u': kind = skLong; size = 4; return true;
    case 'i': kind = skInt64; size = 8; return true;
    case 'b': kind = skBool; size = 4; return true;
    case 's': kind = skString; size = sizeof(void*); return true;
    case 'w': kind = skWide; size = sizeof(void*); return true;
    case 'f': kind = skSingle; size = 4; return true;
    case 'd': kind = skDouble; size = 8; return true;
    default: return false;
    }
}

const char* const dumpNames[] = {"", "char", "short", "long", "int64", "bool", "string", "widestring", "float",
                                 "double", "pointer"};

template <class T>
T load(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <class T>
void store(char* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

// Pointer members are as wide as an address.
uintptr_t pointerBits(const void* p) { return reinterpret_cast<uintptr_t>(p); }
const void* addressOf(uintptr_t bits) { return reinterpret_cast<const void*>(bits); }

void clearMethod(TJStruct& self, TJValueList*, TJValue&) { self.Clear(); }
void define(TJStruct& self, TJValueList* args, TJValue&) { self.Define(args); }
void sizeOf(TJStruct& self, TJValueList*, TJValue& result) { MakeInteger(static_cast<int32_t>(self.SizeOf()), result); }
void dump(TJStruct& self, TJValueList*, TJValue& result) { MakeString(self.Dump(), result); }

const TJMethod<TJStruct> structMethods[] = {
    {"clear", 0, &clearMethod, TJMethodResult::Self},
    {"define", 0, &define, TJMethodResult::Self},
    {"sizeOf", 0, &sizeOf},
    {"toString", 0, &dump},
};

}  // namespace

TJStruct::TJStruct(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Struct");
}

void TJStruct::Construct(TJValueList* args) {
    TJObject::Construct(args);
    if (HasArgs(args)) Define(args);
}

const TJMethodTable& TJStruct::Methods() const {
    static const TJMethodTable table(structMethods, TJObject::Methods());
    return table;
}

void TJStruct::Clear() {
    TJObject::Clear();
    Layout_.clear();
    Buffer_.clear();
}

// The buffer grows with each member, so that a definition that fails part
// way leaves a layout that its buffer covers.
void TJStruct::Define(TJValueList* definitions) {
    if (!HasArgs(definitions)) raiseStructError("need member type");
    Clear();
    uint64_t total = 0;
    for (int k = 0; k < definitions->Count(); ++k) {
        AnsiString text = ValueToString(definitions->At(k));
        size_t colon = text.find(':');
        TStructMember member;
        member.Name = colon == std::string_view::npos ? AnsiString() : trimText(text.view().substr(0, colon));
        if (member.Name.empty()) member.Name = "__" + AnsiString(std::to_string(k));
        std::string_view typeText = colon == std::string_view::npos ? text.view() : text.view().substr(colon + 1);
        AnsiString type = lowerCaseAscii(trimText(typeText));
        if (type.empty()) raiseStructError("need member type");
        if (!kindOfType(type, member.Kind, member.Size) || total + member.Size > maxMemberSize)
            raiseStructError("member type error");
        member.Offset = static_cast<uint32_t>(total) + 1;
        total += member.Size;
        Buffer_.setLength(static_cast<size_t>(total));
        TJValue undefined;
        PutMember(member.Name, undefined);
        Layout_.push_back(std::move(member));
    }
}

TStructMember* TJStruct::findMember(const AnsiString& name) {
    int32_t index = 0;
    if (ReadDecimalIndex(name, index)) {
        int32_t count = static_cast<int32_t>(Layout_.size());
        if (index < 0) index += count;
        return index >= 0 && index < count ? &Layout_[static_cast<size_t>(index)] : nullptr;
    }
    for (TStructMember& member : Layout_)
        if (member.Name == name) return &member;
    return nullptr;
}

void TJStruct::readMember(const TStructMember& member, TJValue& value) {
    const char* at = Buffer_.c_str() + member.Offset - 1;
    switch (member.Kind) {
    case skChars: MakeString(AnsiString(at), value); return;
    case skChar: MakeInteger(static_cast<uint8_t>(*at), value); return;
    case skShort: MakeInteger(load<int16_t>(at), value); return;
    case skLong: MakeInteger(load<int32_t>(at), value); return;
    case skInt64: MakeDouble(static_cast<double>(load<int64_t>(at)), value); return;
    case skBool: MakeBool(load<int32_t>(at) != 0, value); return;
    case skString: {
        if (Members()->GetValue(member.Name, value) && IsObjectOfClass(&value, &classInfo)) return;
        // The member's own copy when the pointer is still its own.
        uintptr_t stored = load<uintptr_t>(at);
        if (stored == 0) MakeString(AnsiString(), value);
        else if (stored == pointerBits(member.StrKeeper.c_str())) MakeString(member.StrKeeper, value);
        else MakeString(AnsiString(textAt<char>(addressOf(stored))), value);
        return;
    }
    case skWide: {
        uintptr_t stored = load<uintptr_t>(at);
        if (stored == 0) MakeString(AnsiString(), value);
        else if (stored == pointerBits(member.WideKeeper.c_str())) MakeString(wideToAnsi(member.WideKeeper), value);
        else MakeString(wideToAnsi(textAt<wchar_t>(addressOf(stored))), value);
        return;
    }
    case skSingle: MakeDouble(load<float>(at), value); return;
    case skDouble: MakeDouble(load<double>(at), value); return;
    case skAddress: AddressToValue(load<uintptr_t>(at), value); return;
    default: raiseStructError("member type error");
    }
}

void TJStruct::writeMember(TStructMember& member, const TJValue& value) {
    char* at = Buffer_.mutableData() + member.Offset - 1;
    switch (member.Kind) {
    case skChars: {
        AnsiString text = IsUndefinedOrNull(value) ? AnsiString() : ValueToString(value);
        size_t length = std::min<size_t>(text.length(), member.Size - 1);
        std::memcpy(at, text.c_str(), length);
        at[length] = 0;
        break;
    }
    case skChar: *at = static_cast<char>(ValueToChar(value)); break;
    case skShort: store(at, static_cast<int16_t>(ValueToInteger(value))); break;
    case skLong: case skBool: store(at, ValueToInteger(value)); break;
    case skInt64: store(at, roundToInt64(ValueToDouble(value))); break;
    case skString:
        // A copy of its own: writes through the pointer change neither the
        // value's text nor a Struct given as the value.
        member.StrKeeper = IsUndefinedOrNull(value) ? AnsiString() : AnsiString(ValueToString(value).view());
        store(at, IsUndefinedOrNull(value) ? uintptr_t(0) : pointerBits(member.StrKeeper.lendData()));
        break;
    case skWide:
        member.WideKeeper = IsUndefinedOrNull(value) ? WideString() : ansiToWide(ValueToString(value));
        store(at, IsUndefinedOrNull(value) ? uintptr_t(0) : pointerBits(member.WideKeeper.c_str()));
        break;
    case skSingle: store(at, ValueToSingle(&value)); break;
    case skDouble: store(at, ValueToDouble(value)); break;
    case skAddress: store(at, ValueToAddress(value)); break;
    default: raiseStructError("member type error");
    }
    if (!Members()->FindValue(member.Name)) raiseStructError("member not found");
    PutMember(member.Name, value);
}

void TJStruct::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (TStructMember* member = findMember(name)) readMember(*member, value);
    else TJObject::GetValue(name, keyError, value, args);
}

void TJStruct::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (TStructMember* member = findMember(name)) writeMember(*member, value);
    else TJObject::SetValue(name, value, args);
}

AnsiString TJStruct::ToString(const TJValue*) {
    Buffer_.mutableData();
    return Buffer_;
}

void TJStruct::GetItem(int32_t index, TJValue& value) {
    MakeUndefined(value);
    if (index >= 0 && index < GetLength()) Members()->GetValue(Layout_[static_cast<size_t>(index)].Name, value);
}

AnsiString TJStruct::Dump() const {
    AnsiString text;
    char line[64];
    for (const TStructMember& member : Layout_) {
        AnsiString kind;
        if (member.Kind == skChars) {
            std::snprintf(line, sizeof line, "char[%u]", member.Size);
            kind = line;
        } else if (member.Kind == skString) {
            TJValue value;
            Members()->GetValue(member.Name, value);
            kind = IsObjectOfClass(&value, &classInfo) ? "struct" : "string";
        } else {
            kind = dumpNames[member.Kind];
        }
        std::snprintf(line, sizeof line, " (%u)\r\n", member.Size);
        text += member.Name + " : " + kind + line;
    }
    std::snprintf(line, sizeof line, "%dmembers / %ubytes", static_cast<int>(Layout_.size()),
                  static_cast<unsigned>(Buffer_.length()));
    return text + AnsiString(24, '-') + "\r\n" + line;
}

// ==== Registration ====

void RegisterDynaCallObjects(TJRuntime& runtime) {
    runtime.RegisterScriptClass("DynaCall", &TJDynaCall::classInfo);
    runtime.RegisterScriptClass("Struct", &TJStruct::classInfo);
}
