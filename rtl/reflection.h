// Run-time class records and published properties: the root class TObject,
// one static TClassInfo per reflected class (name, parent, create function,
// property table), typed property descriptors with getter and setter, method
// pointers for events, and the lookup services that the script engine, the GUI
// bridge and form streams use to read and write properties by name.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "rtl/ansistring.h"
#include "rtl/intf.h"

struct TClassInfo;
struct TPropInfo;

// ==== Root class ====

class TObject {
public:
    static const TClassInfo classInfo;
    virtual ~TObject() = default;
    virtual const TClassInfo* ClassType() const { return &classInfo; }
    const char* ClassName() const;
    bool InheritsFrom(const TClassInfo* ancestor) const;
};

// Placed first in the body of every reflected class.
#define RTL_DECLARE_CLASS()                                                    \
public:                                                                        \
    static const TClassInfo classInfo;                                         \
    const TClassInfo* ClassType() const override { return &classInfo; }

// ==== Method pointers (events) ====

// A method pointer: a function and the object it is bound to. An event field
// holds one; it is called as Code(Data, args...).
struct TMethod {
    void* Code = nullptr;
    void* Data = nullptr;
    bool isNil() const noexcept { return Code == nullptr; }
    explicit operator bool() const noexcept { return Code != nullptr; }
    friend bool operator==(const TMethod&, const TMethod&) = default;
};

template <class Signature>
class TEvent;

// A typed event: a TMethod whose code is R(void* data, A...). Calling an
// unassigned event does nothing and gives R's zero.
template <class R, class... A>
class TEvent<R(A...)> : public TMethod {
public:
    using Signature = R(A...);
    using Thunk = R (*)(void* data, A...);
    TEvent() = default;
    TEvent(const TMethod& method) : TMethod(method) {}
    TEvent(Thunk code, void* data) : TMethod{reinterpret_cast<void*>(code), data} {}

    R operator()(A... args) const {
        if (Code) return reinterpret_cast<Thunk>(Code)(Data, std::forward<A>(args)...);
        return R();
    }

    // An event bound to a member function of an object.
    template <auto Member, class C>
    static TEvent bind(C* object) {
        return TEvent(&memberThunk<Member, C>, object);
    }

private:
    template <auto Member, class C>
    static R memberThunk(void* data, A... args) {
        return (static_cast<C*>(data)->*Member)(std::forward<A>(args)...);
    }
};

// The identity of one event signature; a method property names its type, and
// an assignment through reflection must name the same type.
struct TMethodTypeInfo {
    const char* Name;
};

// ==== Type data ====

enum class TTypeKind : uint8_t {
    Integer, Char, Enumeration, Float, String, Set, Class, Method, Variant, Interface, Int64
};

// An enumeration: its element names in ordinal order.
struct TEnumInfo {
    const char* Name;
    const char* const* Names;
    int Count;
};

// A set of enumeration elements, held as a bit mask (element i is bit i) in
// Width bytes (1, 2 or 4).
struct TSetInfo {
    const char* Name;
    const TEnumInfo* Elements;
    uint8_t Width;
};

// Names for chosen values of an integer property (colours, cursors): form
// streams write a value that has a name by its name, and read either.
struct TIntegerIdent {
    int32_t Value;
    const char* Name;
};
struct TIntegerIdents {
    const TIntegerIdent* Items;
    int Count;
};

// Boolean is the enumeration False/True.
extern const TEnumInfo BooleanTypeInfo;

// The value of one property in transit between an instance and its user.
// Only the field of the property's kind is meaningful.
struct TPropValue {
    TPropValue() { VariantInit(&Variant); }
    ~TPropValue() { if (Variant.vt != VT_EMPTY) VariantClear(&Variant); }
    TPropValue(const TPropValue&) = delete;
    TPropValue& operator=(const TPropValue&) = delete;

    int64_t Ordinal = 0;          // Integer, Char, Enumeration, Set (bits), Int64
    double Float = 0;             // Float
    AnsiString Str;               // String
    TObject* Object = nullptr;    // Class
    TMethod Method;               // Method
    VARIANT Variant;              // Variant (owned)
    TIntf<IUnknown> Interface;    // Interface
};

using TPropGetter = void (*)(const TObject* instance, TPropValue& value);
using TPropSetter = void (*)(TObject* instance, const TPropValue& value);

// One published property.
struct TPropInfo {
    static constexpr int64_t NoDefault = INT64_MIN;

    const char* Name;
    TTypeKind Kind;
    const void* TypeData;   // TEnumInfo, TSetInfo, TClassInfo, TMethodTypeInfo or TIntegerIdents by kind
    TPropGetter Get;        // nil: cannot be read
    TPropSetter Set;        // nil: read-only
    int64_t Default = NoDefault;              // ordinal default for streaming
    bool (*Stored)(const TObject*) = nullptr; // nil: always stored
    const void* Signature = nullptr;          // Method: the event's C++ signature (signatureOf)

    const TEnumInfo* enumInfo() const { return static_cast<const TEnumInfo*>(TypeData); }
    const TSetInfo* setInfo() const { return static_cast<const TSetInfo*>(TypeData); }
    const TClassInfo* classRef() const { return static_cast<const TClassInfo*>(TypeData); }
    const TMethodTypeInfo* methodType() const { return static_cast<const TMethodTypeInfo*>(TypeData); }
    const TIntegerIdents* integerIdents() const { return static_cast<const TIntegerIdents*>(TypeData); }
    bool isMethod() const { return Kind == TTypeKind::Method; }
};

// The identity of an event's C++ signature: equal for two event types whose
// handlers take the same arguments, so that code stored into an event field
// through reflection is known to match the field's calls.
template <class Event>
inline constexpr char signatureTag = 0;
template <class Event>
constexpr const void* signatureOf() {
    if constexpr (requires { typename Event::Signature; }) return &signatureTag<TEvent<typename Event::Signature>>;
    else return &signatureTag<Event>;
}

// ==== Class records ====

// The create function of a class. Each class family (script objects, GUI
// components) derives its own record with the function of its signature and
// casts back to it.
struct TCreator {};

enum class TGlobalInstance : uint8_t { Inherit, Yes, No };

struct TClassInfo {
    const char* ClassName;
    const TClassInfo* Parent;
    const TPropInfo* Properties;   // this class's own, in declaration order
    int PropertyCount;
    const TCreator* Create;        // nil: not creatable by name
    TGlobalInstance GlobalInstance;

    bool InheritsFrom(const TClassInfo* ancestor) const;
    // Whether the script engine makes one global instance of the class; the
    // nearest record that says Yes or No decides, Yes at the root.
    bool HasGlobalInstance() const;
};

template <size_t N>
constexpr TClassInfo makeClassInfo(const char* name, const TClassInfo* parent,
                                   const TPropInfo (&properties)[N], const TCreator* create = nullptr,
                                   TGlobalInstance global = TGlobalInstance::Inherit) {
    return TClassInfo{name, parent, properties, static_cast<int>(N), create, global};
}
constexpr TClassInfo makeClassInfo(const char* name, const TClassInfo* parent,
                                   const TCreator* create = nullptr,
                                   TGlobalInstance global = TGlobalInstance::Inherit) {
    return TClassInfo{name, parent, nullptr, 0, create, global};
}

// ==== Property descriptors from members ====
// Getters are const member functions or data members; setters are member
// functions taking one argument, or data members; nullptr means none.

namespace rtl_detail {

template <class M>
struct MemberTraits;
template <class C, class R>
struct MemberTraits<R (C::*)() const> { using Class = C; using Type = std::decay_t<R>; };
template <class C, class R>
struct MemberTraits<R (C::*)() const noexcept> { using Class = C; using Type = std::decay_t<R>; };
template <class C, class A>
struct MemberTraits<void (C::*)(A)> { using Class = C; using Type = std::decay_t<A>; };
template <class C, class A>
struct MemberTraits<void (C::*)(A) noexcept> { using Class = C; using Type = std::decay_t<A>; };
template <class C, class T>
struct MemberTraits<T C::*> { using Class = C; using Type = T; };

template <auto G>
decltype(auto) readMember(const TObject* instance) {
    using Traits = MemberTraits<decltype(G)>;
    const auto* self = static_cast<const typename Traits::Class*>(instance);
    if constexpr (std::is_member_function_pointer_v<decltype(G)>) return (self->*G)();
    else return (self->*G);
}

template <auto S, class V>
void writeMember(TObject* instance, V&& value) {
    using Traits = MemberTraits<decltype(S)>;
    auto* self = static_cast<typename Traits::Class*>(instance);
    if constexpr (std::is_member_function_pointer_v<decltype(S)>) (self->*S)(std::forward<V>(value));
    else self->*S = std::forward<V>(value);
}

template <auto S>
using SetType = typename MemberTraits<decltype(S)>::Type;

template <auto G> void getOrdinal(const TObject* o, TPropValue& v) {
    auto x = readMember<G>(o);
    if constexpr (std::is_same_v<std::decay_t<decltype(x)>, char>) v.Ordinal = static_cast<unsigned char>(x);
    else v.Ordinal = static_cast<int64_t>(x);
}
template <auto S> void setOrdinal(TObject* o, const TPropValue& v) {
    using T = SetType<S>;
    if constexpr (std::is_same_v<T, bool>) writeMember<S>(o, v.Ordinal != 0);
    else writeMember<S>(o, static_cast<T>(v.Ordinal));
}
template <auto G> void getFloat(const TObject* o, TPropValue& v) { v.Float = static_cast<double>(readMember<G>(o)); }
template <auto S> void setFloat(TObject* o, const TPropValue& v) { writeMember<S>(o, static_cast<SetType<S>>(v.Float)); }
template <auto G> void getString(const TObject* o, TPropValue& v) { v.Str = AnsiString(readMember<G>(o)); }
template <auto S> void setString(TObject* o, const TPropValue& v) { writeMember<S>(o, SetType<S>(v.Str)); }
template <auto G> void getObject(const TObject* o, TPropValue& v) { v.Object = readMember<G>(o); }
template <auto S> void setObject(TObject* o, const TPropValue& v) { writeMember<S>(o, static_cast<SetType<S>>(v.Object)); }
template <auto G> void getMethod(const TObject* o, TPropValue& v) { v.Method = static_cast<const TMethod&>(readMember<G>(o)); }
template <auto S> void setMethod(TObject* o, const TPropValue& v) { writeMember<S>(o, SetType<S>(v.Method)); }
// A variant getter function returns a VARIANT the caller owns; a variant
// field is copied.
template <auto G> void getVariant(const TObject* o, TPropValue& v) {
    VariantClear(&v.Variant);
    if constexpr (std::is_member_function_pointer_v<decltype(G)>) v.Variant = readMember<G>(o);
    else VariantCopy(&v.Variant, const_cast<VARIANT*>(&readMember<G>(o)));
}
template <auto S> void setVariant(TObject* o, const TPropValue& v) {
    if constexpr (std::is_member_function_pointer_v<decltype(S)>) {
        writeMember<S>(o, v.Variant);
    } else {
        VARIANT& field = static_cast<typename MemberTraits<decltype(S)>::Class*>(o)->*S;
        VariantClear(&field);
        VariantCopy(&field, const_cast<VARIANT*>(&v.Variant));
    }
}
template <auto G> void getInterface(const TObject* o, TPropValue& v) { v.Interface = readMember<G>(o); }
template <auto S> void setInterface(TObject* o, const TPropValue& v) { writeMember<S>(o, SetType<S>(v.Interface.get())); }

template <auto S> constexpr TPropSetter ordinalSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setOrdinal<S>;
}
template <auto S> constexpr TPropSetter floatSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setFloat<S>;
}
template <auto S> constexpr TPropSetter stringSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setString<S>;
}
template <auto S> constexpr TPropSetter objectSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setObject<S>;
}
template <auto S> constexpr TPropSetter methodSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setMethod<S>;
}
template <auto S> constexpr TPropSetter variantSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setVariant<S>;
}
template <auto S> constexpr TPropSetter interfaceSetter() {
    if constexpr (std::is_null_pointer_v<decltype(S)>) return nullptr; else return &setInterface<S>;
}
template <auto G> constexpr TPropGetter ordinalGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getOrdinal<G>;
}
template <auto G> constexpr TPropGetter floatGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getFloat<G>;
}
template <auto G> constexpr TPropGetter stringGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getString<G>;
}
template <auto G> constexpr TPropGetter objectGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getObject<G>;
}
template <auto G> constexpr TPropGetter methodGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getMethod<G>;
}
template <auto G> constexpr TPropGetter variantGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getVariant<G>;
}
template <auto G> constexpr TPropGetter interfaceGetter() {
    if constexpr (std::is_null_pointer_v<decltype(G)>) return nullptr; else return &getInterface<G>;
}
}  // namespace rtl_detail

// Builders, one per kind: IntegerProperty<&C::getX, &C::setX>("X").
template <auto G, auto S = nullptr>
constexpr TPropInfo IntegerProperty(const char* name, int64_t def = TPropInfo::NoDefault,
                                    const TIntegerIdents* idents = nullptr) {
    return {name, TTypeKind::Integer, idents, rtl_detail::ordinalGetter<G>(), rtl_detail::ordinalSetter<S>(), def};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo Int64Property(const char* name) {
    return {name, TTypeKind::Int64, nullptr, rtl_detail::ordinalGetter<G>(), rtl_detail::ordinalSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo CharProperty(const char* name) {
    return {name, TTypeKind::Char, nullptr, rtl_detail::ordinalGetter<G>(), rtl_detail::ordinalSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo EnumProperty(const char* name, const TEnumInfo* type, int64_t def = TPropInfo::NoDefault) {
    return {name, TTypeKind::Enumeration, type, rtl_detail::ordinalGetter<G>(), rtl_detail::ordinalSetter<S>(), def};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo BoolProperty(const char* name, int64_t def = TPropInfo::NoDefault) {
    return EnumProperty<G, S>(name, &BooleanTypeInfo, def);
}
template <auto G, auto S = nullptr>
constexpr TPropInfo SetProperty(const char* name, const TSetInfo* type, int64_t def = TPropInfo::NoDefault) {
    return {name, TTypeKind::Set, type, rtl_detail::ordinalGetter<G>(), rtl_detail::ordinalSetter<S>(), def};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo FloatProperty(const char* name) {
    return {name, TTypeKind::Float, nullptr, rtl_detail::floatGetter<G>(), rtl_detail::floatSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo StringProperty(const char* name) {
    return {name, TTypeKind::String, nullptr, rtl_detail::stringGetter<G>(), rtl_detail::stringSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo ClassProperty(const char* name, const TClassInfo* type) {
    return {name, TTypeKind::Class, type, rtl_detail::objectGetter<G>(), rtl_detail::objectSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo MethodProperty(const char* name, const TMethodTypeInfo* type) {
    using Event = typename rtl_detail::MemberTraits<decltype(G)>::Type;
    return {name, TTypeKind::Method, type, rtl_detail::methodGetter<G>(), rtl_detail::methodSetter<S>(),
            TPropInfo::NoDefault, nullptr, signatureOf<Event>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo VariantProperty(const char* name) {
    return {name, TTypeKind::Variant, nullptr, rtl_detail::variantGetter<G>(), rtl_detail::variantSetter<S>()};
}
template <auto G, auto S = nullptr>
constexpr TPropInfo InterfaceProperty(const char* name) {
    return {name, TTypeKind::Interface, nullptr, rtl_detail::interfaceGetter<G>(), rtl_detail::interfaceSetter<S>()};
}

// A property that form streams never write (it is read when given).
constexpr TPropInfo notStored(TPropInfo prop) {
    prop.Stored = [](const TObject*) { return false; };
    return prop;
}
// A property that form streams write only while the test holds.
constexpr TPropInfo storedWhen(TPropInfo prop, bool (*stored)(const TObject*)) {
    prop.Stored = stored;
    return prop;
}

// ==== Services ====

// The property whose name equals the name without regard to case: the
// class's own, else its nearest ancestor's; nil when none.
const TPropInfo* GetPropInfo(const TClassInfo* cls, std::string_view name);
// Every property, ancestors first, in declaration order.
std::vector<const TPropInfo*> GetPropInfos(const TClassInfo* cls);
// The names of the non-method properties, or with methodsOnly of the method
// (event) properties, ancestors first.
std::vector<AnsiString> GetPropNames(const TClassInfo* cls, bool methodsOnly);

// Reads a property; false when it has no getter.
bool ReadProp(const TObject* instance, const TPropInfo* prop, TPropValue& value);
// Writes a property; false when it is read-only.
bool WriteProp(TObject* instance, const TPropInfo* prop, const TPropValue& value);

// The element name of an ordinal; empty when the ordinal has none.
AnsiString GetEnumName(const TEnumInfo* type, int64_t ordinal);
// The ordinal of an element name (any case); -1 when unknown.
int GetEnumValue(const TEnumInfo* type, std::string_view name);

// The names of the elements present, joined by "," ("akLeft,akTop"), in
// brackets when asked.
AnsiString SetToString(const TSetInfo* type, uint32_t bits, bool brackets = false);
// Reads names separated by blanks and "," with optional surrounding brackets;
// unknown names are skipped and make the answer false (the known ones are set).
bool StringToSet(const TSetInfo* type, std::string_view text, uint32_t& bits);
// The mask of the bits a set of this type can hold.
uint32_t SetMask(const TSetInfo* type);

// Set values in code: setOf(akLeft, akTop) is the bit mask of those elements;
// inSet(bits, akTop) tests one.
template <class... E>
constexpr uint32_t setOf(E... elements) { return ((1u << static_cast<int>(elements)) | ... | 0u); }
template <class E>
constexpr bool inSet(uint32_t bits, E element) { return bits & (1u << static_cast<int>(element)); }

// A set as a type of its own: the bit mask of elements of E that knows its
// type information, so that code reading types (the script bridge's event
// tables) tells a set from a number of the same size. It converts to and
// from the mask: TShiftState shift = setOf(ssShift); inSet(shift, ssShift).
template <class E, const TSetInfo& Info, class Bits = uint8_t>
struct TSet {
    using Element = E;
    static constexpr const TSetInfo* TypeInfo = &Info;

    constexpr TSet() = default;
    constexpr TSet(uint32_t bits) : Bits_(static_cast<Bits>(bits)) {}
    constexpr operator uint32_t() const { return Bits_; }
    constexpr TSet& operator|=(uint32_t bits) {
        Bits_ = static_cast<Bits>(Bits_ | bits);
        return *this;
    }

private:
    Bits Bits_ = 0;
};

template <class T>
inline constexpr bool isSetType = false;
template <class E, const TSetInfo& Info, class Bits>
inline constexpr bool isSetType<TSet<E, Info, Bits>> = true;

// Equality of two names without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b) noexcept;
