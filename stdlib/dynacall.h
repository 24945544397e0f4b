// The script classes "DynaCall" (functions of any DLL bound under script
// names, window messages with typed parameters, raw memory copies) and
// "Struct" (a typed record laid out byte by byte, passed to DLL functions as
// a pointer). The calls themselves are the native call core's
// (engine/lib/nativecall.h, engine/lib/dynaconvert.h).
#pragma once

#include <span>
#include <vector>

#include "engine/core/object.h"
#include "engine/support/hashtable.h"
#include "rtl/codepage.h"

class TJDynaCall : public TJObject {
    RTL_DECLARE_CLASS()
    TJDynaCall(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJDynaCall() override;

    // Binds the export func of dll as the member func (options "i=", "f=",
    // "r="). The object's module cache keeps one reference on each module
    // it loaded; each bound function holds one of its own, so a function a
    // script keeps never calls into an unloaded module.
    void Register(const AnsiString& dll, const AnsiString& func, std::span<const AnsiString> options);

    const TJMethodTable& Methods() const override;

private:
    TPointerHashTable Modules_;
};

// The member kinds of a Struct. A handle or pointer member is a long in the
// 32-bit program and pointer-sized (skAddress) in the 64-bit one.
enum TStructKind : uint8_t {
    skChars, skChar, skShort, skLong, skInt64, skBool, skString, skWide, skSingle, skDouble, skAddress,
};

struct TStructMember {
    AnsiString Name;
    uint8_t Kind = skChars;
    uint32_t Size = 0;
    uint32_t Offset = 0;     // 1-based, into the buffer
    AnsiString StrKeeper;    // the text a string member points to
    WideString WideKeeper;   // the wide text a wide-string member points to
};

class TJStruct : public TJObject {
    RTL_DECLARE_CLASS()
    TJStruct(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // Replaces the layout by the definitions "name:type" ("EStructError").
    void Define(TJValueList* definitions);
    // Removes the layout, the buffer and every member.
    void Clear() override;
    // The layout dump.
    AnsiString Dump() const;
    uint32_t SizeOf() const { return static_cast<uint32_t>(Buffer_.length()); }
    // The buffer's own bytes, unshared first (a copy made earlier keeps its bytes).
    char* MutableBuffer() { return Buffer_.mutableData(); }
    const char* BufferData() const { return Buffer_.c_str(); }

    // A layout member by name (exact case) or index (negative from the end)
    // comes first; methods and other members are reached as usual.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    // The buffer bytes themselves, shared: a DLL given the Struct as a text
    // (letter s) fills the Struct. Texts taken earlier keep their bytes.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return static_cast<int32_t>(Layout_.size()); }
    void GetItem(int32_t index, TJValue& value) override;

    int32_t lengthProperty() const { return static_cast<int32_t>(Layout_.size()); }

    const TJMethodTable& Methods() const override;

protected:
    void Construct(TJValueList* args) override;

private:
    TStructMember* findMember(const AnsiString& name);
    void readMember(const TStructMember& member, TJValue& value);
    void writeMember(TStructMember& member, const TJValue& value);

    std::vector<TStructMember> Layout_;
    AnsiString Buffer_;
};

// Registers "DynaCall" and "Struct".
void RegisterDynaCallObjects(TJRuntime& runtime);
