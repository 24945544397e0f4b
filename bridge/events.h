// The routing of GUI events to script handlers. A wrapper's hook table names
// the event fields of its object that it serves; hooking stores there the
// bridge's code for that event with the wrapper as data. When the object
// raises the event, the code asks whether the script has a handler ("on" and
// the event's name without "On"); only then it builds the arguments from the
// event's parameter table (made from its signature): the sender's wrapper
// first, then each argument by its kind, every by-reference one in a box that
// is copied back into the event's parameter after the handler, also when the
// handler raised.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

#include "engine/core/object.h"
#include "rtl/reflection.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/picture.h"
#include "ui/stdctrls.h"

class TJVCLComponent;

// ==== Parameter tables ====

enum class TJArgKind : uint8_t {
    Object,      // its wrapper through the caster, null for none; the sender when first
    Integer,     // a number
    Boolean,
    Text,        // a string
    Lines,       // a new script StringList holding a copy of the lines
    Enum,        // the element's name ("mbLeft")
    Set,         // the names of the elements present, joined by "," ("ssShift,ssCtrl")
    Point,       // a new Point
    Rect,        // a new Rect
    IntegerBox,  // by reference: a Number, its `int` written back
    CharBox,     // by reference: a Number holding the character's code, written back as one byte
    BooleanBox,  // by reference: a Boolean, its `bool` written back
    RectBox,     // by reference: a Rect, its four sides written back
    EnumBox,     // by reference: a String holding the element's name, written back when it names one
    TextBox,     // by reference: a String, its text written back
};

// One parameter of an event: how it reaches the script and how its value is
// read from (and, for the boxes, written back to) the event's argument.
struct TJEventArg {
    TJArgKind Kind;
    const void* Type = nullptr;                        // Enum, EnumBox: TEnumInfo; Set: TSetInfo
    int64_t (*Read)(const void* at) = nullptr;         // the ordinal kinds
    void (*Write)(void* at, int64_t value) = nullptr;  // the ordinal boxes
    TObject* (*ReadObject)(const void* at) = nullptr;  // Object
};

namespace bridge_detail {

template <class T>
int64_t readAs(const void* at) {
    return static_cast<int64_t>(*static_cast<const T*>(at));
}
template <class T>
void writeAs(void* at, int64_t value) {
    *static_cast<T*>(at) = static_cast<T>(value);
}
template <class T>
TObject* objectAt(const void* at) {
    return *static_cast<T* const*>(at);
}

template <class>
inline constexpr bool unsupported = false;

}  // namespace bridge_detail

// The element names of an enumeration that events pass: one line per type.
template <class E>
inline constexpr const TEnumInfo* enumInfoOf = nullptr;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TMouseButton> = &MouseButtonInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TDragState> = &DragStateInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TCloseAction> = &CloseActionInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TProgressStage> = &ProgressStageInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TCheckBoxState> = &CheckBoxStateInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TEditCharCase> = &EditCharCaseInfo;

// The table row of one parameter type. Sets come only as TSet, which
// carries its element names: every integer type, a byte too, is a number.
template <class A>
constexpr TJEventArg eventArgOf() {
    using namespace bridge_detail;
    using T = std::remove_cvref_t<A>;
    constexpr bool byRef = std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;
    if constexpr (std::is_same_v<T, TStrings*>) {
        return {TJArgKind::Lines};
    } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>) {
        static_assert(!byRef, "an object passed by reference");
        return {TJArgKind::Object, nullptr, nullptr, nullptr, &objectAt<std::remove_pointer_t<T>>};
    } else if constexpr (std::is_same_v<T, bool>) {
        return {byRef ? TJArgKind::BooleanBox : TJArgKind::Boolean, nullptr, &readAs<bool>, &writeAs<bool>};
    } else if constexpr (std::is_same_v<T, char>) {
        static_assert(byRef, "a character passed by value");
        return {TJArgKind::CharBox, nullptr, &readAs<unsigned char>, &writeAs<unsigned char>};
    } else if constexpr (isSetType<T>) {
        static_assert(!byRef, "a set passed by reference");
        return {TJArgKind::Set, T::TypeInfo, &readAs<T>};
    } else if constexpr (std::is_enum_v<T>) {
        static_assert(enumInfoOf<T> != nullptr, "an enumeration without its enumInfoOf line");
        return {byRef ? TJArgKind::EnumBox : TJArgKind::Enum, enumInfoOf<T>, &readAs<T>, &writeAs<T>};
    } else if constexpr (std::is_integral_v<T>) {
        return {byRef ? TJArgKind::IntegerBox : TJArgKind::Integer, nullptr, &readAs<T>, &writeAs<T>};
    } else if constexpr (std::is_same_v<T, TPoint>) {
        static_assert(!byRef, "a point passed by reference");
        return {TJArgKind::Point};
    } else if constexpr (std::is_same_v<T, TRect>) {
        return {byRef ? TJArgKind::RectBox : TJArgKind::Rect};
    } else if constexpr (std::is_same_v<T, AnsiString>) {
        return {byRef ? TJArgKind::TextBox : TJArgKind::Text};
    } else {
        static_assert(bridge_detail::unsupported<T>, "an event argument the bridge cannot pass");
    }
}

// Holds a wrapper for a dispatch to its script: the handler may drop the
// script's last reference to it.
class TJDispatchHold {
public:
    explicit TJDispatchHold(TJObject& wrapper) : wrapper_(wrapper) { wrapper_.IncRef(); }
    ~TJDispatchHold() { wrapper_.DecRef(); }
    TJDispatchHold(const TJDispatchHold&) = delete;
    TJDispatchHold& operator=(const TJDispatchHold&) = delete;

private:
    TJObject& wrapper_;
};

// A new script Point and Rect of the values.
TJObject* NewPointObject(TJRuntime* runtime, const TPoint& point);
TJObject* NewRectObject(TJRuntime* runtime, const TRect& rect);

// Calls the wrapper's script handler of the name with the arguments at the
// addresses, as the table says; false (nothing built) when the script has no
// such handler.
bool FireScriptEvent(TJVCLComponent& wrapper, const AnsiString& name, std::span<const TJEventArg> shape,
                     void* const* arguments);

// ==== Hook tables ====

// A name given as a template argument: `On<"OnClick", TNotifyEvent>()`.
template <size_t N>
struct TJName {
    char Text[N]{};
    constexpr TJName(const char (&text)[N]) { std::copy_n(text, N, Text); }
};

// The script handler's name of an event property: "onClick" for "OnClick"
// (a name without "On" is its own).
AnsiString HandlerName(std::string_view property);

template <TJName Property, class Signature>
struct TJEventThunk;

// The code of one event: the handler "on" + the property's name after "On".
template <TJName Property, class R, class... A>
struct TJEventThunk<Property, R(A...)> {
    static constexpr TJEventArg Shape[] = {eventArgOf<A>()...};

    static const AnsiString& ScriptName() {
        static const AnsiString name = HandlerName(Property.Text);
        return name;
    }
    // A result, where the event has one, tells whether the script handled it.
    static R Call(void* data, A... args) {
        void* const at[] = {const_cast<void*>(static_cast<const void*>(std::addressof(args)))...};
        bool handled = FireScriptEvent(*static_cast<TJVCLComponent*>(data), ScriptName(), Shape, at);
        if constexpr (std::is_same_v<R, bool>) return handled;
        else (void)handled;
    }
};

// Code that does nothing, for the events a wrapper claims without a script
// event (starting a drag or a dock).
template <class Signature>
struct TJIgnoredEvent;
template <class R, class... A>
struct TJIgnoredEvent<R(A...)> {
    static R Call(void*, A...) { return R(); }
};

// When a row is hooked.
enum class TJHookWhen : uint8_t {
    Always,
    WithoutAction,  // only while the object has no Action (which then keeps the click)
};

// One event field a wrapper serves.
struct TJHook {
    const char* Property;   // the published event, "OnMouseDown"
    const void* Signature;  // its handlers' signature (signatureOf)
    void* Code;             // stored with the wrapper as data
    TJHookWhen When = TJHookWhen::Always;
};

// A wrapper's hooks: its table in parts, so families share the common ones.
using TJHookPart = std::span<const TJHook>;
using TJHookList = std::span<const TJHookPart>;

// The event's script handler.
template <TJName Property, class Event>
TJHook On(TJHookWhen when = TJHookWhen::Always) {
    using Thunk = TJEventThunk<Property, typename Event::Signature>;
    return {Property.Text, signatureOf<Event>(), reinterpret_cast<void*>(&Thunk::Call), when};
}
// Code of the wrapper's own (which may end in FireScriptEvent).
template <TJName Property, class Event>
TJHook OnWith(typename Event::Thunk code) {
    return {Property.Text, signatureOf<Event>(), reinterpret_cast<void*>(code)};
}
// The field is claimed with code that does nothing.
template <TJName Property, class Event>
TJHook Ignore() {
    return {Property.Text, signatureOf<Event>(), reinterpret_cast<void*>(&TJIgnoredEvent<typename Event::Signature>::Call)};
}

// Stores the row's code into the object's event field, with the wrapper as
// data. A field holding another party's handler keeps it (another wrapper's
// too): only an empty field or one holding this wrapper's own bridge code is
// written.
void HookEvent(TJVCLComponent& wrapper, const TJHook& row);
// Empties the object's event field when it holds this wrapper's bridge code;
// another party's handler stays.
void UnhookEvent(TJVCLComponent& wrapper, const char* property);
void ApplyHooks(TJVCLComponent& wrapper, TJHookList hooks);
// The row's event is published by the class with the row's signature.
bool IsHookable(const TClassInfo* cls, const TJHook& row);
// The field holds code the bridge stored.
bool IsBridgeCode(const TMethod& handler);
