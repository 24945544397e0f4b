// How a wrapper of the GUI bridge is declared. What a script sees of a GUI
// class is three tables made from member pointers of that class: published
// properties that forward to the object, script methods that call it, and the
// events it hooks; then one row in the caster and, for a class scripts make
// with `new`, one leaf. Every forwarded accessor checks the link ("VCL is
// null"), the argument count ("arguments error") and turns the GUI library's
// errors into EVCLError in the same way (unless its row lets them pass, as
// the host's elements do). A whole wrapper, to copy:
//
//   // In the header:
//   class TJVCLBaseEdit : public TJVCLFamily<TJVCLWinControl, TEdit, "VCLEdit"> {
//       RTL_DECLARE_CLASS()
//       using TJVCLFamily::TJVCLFamily;
//       const TJMethodTable& Methods() const override;
//       TJHookList Hooks() const override;
//   };
//   using TJVCLEdit = TJVCLLeaf<"TJVCLEdit", TJVCLBaseEdit, TEdit>;  // new VCLEdit(form)
//
//   // In the .cpp:
//   const TPropInfo editProperties[] = {
//       Forward<&TCustomEdit::CanUndo>("CanUndo"),
//       Forward<&TCustomEdit::SelStart, &TCustomEdit::SetSelStart>("SelStart"),
//   };
//   const TJWrapperMethod editMethods[] = {
//       Call<&TCustomEdit::Clear>("clear"),  // gives the wrapper back
//   };
//   const TJHook editRows[] = {On<"OnChange", TNotifyEvent>()};
//   const TJHookPart editHooks[] = {editRows,  ClickHooks, DragHooks, FocusHooks,  // the shared parts
//                                   KeyHooks, MouseHooks, StartHooks};             // of bridge/controls.h
//
//   const TClassInfo TJVCLBaseEdit::classInfo = makeClassInfo(
//       "TJVCLBaseEdit", &TJVCLWinControl::classInfo, editProperties, &scriptCreator<TJVCLBaseEdit>);
//   const TJMethodTable& TJVCLBaseEdit::Methods() const {
//       static const TJMethodTable table(editMethods, TJVCLWinControl::Methods());
//       return table;
//   }
//   TJHookList TJVCLBaseEdit::Hooks() const { return editHooks; }
//
// and the rows {"TEdit", &TJVCLBaseEdit::classInfo} of the caster,
// {"VCLEdit", &TJVCLEdit::classInfo} of the script types and &TEdit::classInfo
// of the stream classes (bridge/caster.cpp). An event's script arguments
// follow its signature (bridge/events.h): a set parameter is a TSet, which
// reaches the script as element names, and every integer, a byte too, as a
// number. A property or method that needs more than a call gets a function
// of its own in the same table; so does an event that needs more than a
// handler (OnWith).
#pragma once

#include <tuple>
#include <type_traits>

#include "bridge/caster.h"
#include "bridge/component.h"
#include "bridge/controls.h"
#include "bridge/events.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"


// A script method row of a wrapper.
using TJWrapperMethod = TJMethod<TJVCLComponent>;

// What a forwarded property reads while the wrapper has no object.
enum class TJUnlinked : uint8_t {
    Raise,  // "VCL is null"
    Zero,   // 0, false or an empty text; a write still raises
};

// What becomes of an error the GUI library raises in a forwarded accessor.
enum class TJFaults : uint8_t {
    Wrap,  // EVCLError "<class> - <message>"
    Pass,  // raised on as it is (the host's elements: a picture that cannot
           // be decoded raises the loader's own error)
};

// The wrapper's object as C; nil for no wrapper, no object or another class.
template <class C>
C* LinkedAs(const TJVCLPersistent* wrapper) {
    if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&C::classInfo)) return nullptr;
    return static_cast<C*>(wrapper->VCL());
}

namespace bridge_detail {

// An accessor is a member function or field of the GUI class, or a function
// taking the object (for what the class answers otherwise): int f(const TButton&).
template <class F>
struct AccessorTraits : rtl_detail::MemberTraits<F> {};
template <class C, class R>
struct AccessorTraits<R (*)(C&)> {
    using Class = std::remove_const_t<C>;
    using Type = std::decay_t<R>;
};
template <class C, class A>
struct AccessorTraits<void (*)(C&, A)> {
    using Class = C;
    using Type = std::decay_t<A>;
};

template <auto Member>
using ClassOf = typename AccessorTraits<decltype(Member)>::Class;
template <auto Member>
using TypeOf = typename AccessorTraits<decltype(Member)>::Type;

template <auto G, class C>
decltype(auto) get(C& object) {
    if constexpr (std::is_member_function_pointer_v<decltype(G)>) return (object.*G)();
    else if constexpr (std::is_member_object_pointer_v<decltype(G)>) return (object.*G);
    else return G(object);
}
template <auto S, class C, class T>
void set(C& object, T&& value) {
    if constexpr (std::is_member_function_pointer_v<decltype(S)>) (object.*S)(std::forward<T>(value));
    else if constexpr (std::is_member_object_pointer_v<decltype(S)>) object.*S = std::forward<T>(value);
    else S(object, std::forward<T>(value));
}

template <class T>
constexpr TTypeKind kindOf() {
    if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T>) return TTypeKind::Enumeration;
    else if constexpr (isSetType<T>) return TTypeKind::Set;
    else if constexpr (std::is_integral_v<T>) return TTypeKind::Integer;
    else if constexpr (std::is_floating_point_v<T>) return TTypeKind::Float;
    else if constexpr (std::is_same_v<T, AnsiString>) return TTypeKind::String;
    else if constexpr (std::is_same_v<T, HWND>) return TTypeKind::Integer;  // handles have 32 significant bits
    else static_assert(unsupported<T>, "a property type the bridge cannot forward");
}

template <class T>
constexpr const void* typeDataOf() {
    if constexpr (std::is_same_v<T, bool>) return &BooleanTypeInfo;
    else if constexpr (std::is_enum_v<T>) {
        static_assert(enumInfoOf<T> != nullptr, "an enumeration without its enumInfoOf line");
        return enumInfoOf<T>;
    } else if constexpr (isSetType<T>) return T::TypeInfo;
    else return nullptr;
}

template <class T>
void store(TPropValue& value, const T& x) {
    if constexpr (std::is_same_v<T, AnsiString>) value.Str = x;
    else if constexpr (std::is_floating_point_v<T>) value.Float = x;
    else if constexpr (std::is_same_v<T, HWND>) value.Ordinal = reinterpret_cast<intptr_t>(x);
    else value.Ordinal = static_cast<int64_t>(x);
}

template <class T>
T load(const TPropValue& value) {
    if constexpr (std::is_same_v<T, AnsiString>) return value.Str;
    else if constexpr (std::is_floating_point_v<T>) return static_cast<T>(value.Float);
    else if constexpr (std::is_same_v<T, bool>) return value.Ordinal != 0;
    else if constexpr (std::is_same_v<T, HWND>) return reinterpret_cast<HWND>(static_cast<intptr_t>(value.Ordinal));
    else return static_cast<T>(value.Ordinal);
}

// The wrapper's object as C; "VCL is null" without one.
template <class C>
C& linked(TJVCLComponent& wrapper) {
    wrapper.CheckVCL(nullptr, 0);
    if (!wrapper.VCL()->InheritsFrom(&C::classInfo)) wrapper.RaiseVCLError("VCL is null");
    return *static_cast<C*>(wrapper.VCL());
}

inline TJVCLComponent& wrapperOf(const TObject* instance) {
    return *const_cast<TJVCLComponent*>(static_cast<const TJVCLComponent*>(instance));
}

template <TJFaults Faults, class F>
void guarded(TJVCLComponent& wrapper, F&& access) {
    if constexpr (Faults == TJFaults::Wrap) wrapper.GuardVCL(std::forward<F>(access));
    else access();
}

template <auto G, TJUnlinked Unlinked, TJFaults Faults>
void forwardGet(const TObject* instance, TPropValue& value) {
    TJVCLComponent& wrapper = wrapperOf(instance);
    if (Unlinked == TJUnlinked::Zero && !wrapper.HasVCL()) return;  // the value starts empty
    auto& object = linked<ClassOf<G>>(wrapper);
    guarded<Faults>(wrapper, [&] { store<TypeOf<G>>(value, get<G>(object)); });
}

template <auto S, TJFaults Faults>
void forwardSet(TObject* instance, const TPropValue& value) {
    TJVCLComponent& wrapper = wrapperOf(instance);
    auto& object = linked<ClassOf<S>>(wrapper);
    guarded<Faults>(wrapper, [&] { set<S>(object, load<TypeOf<S>>(value)); });
}

// ---- Calls ----

// By value also for a parameter taken by reference (const AnsiString&).
template <class T>
std::remove_cvref_t<T> argumentAs(const TJValue& value) {
    using V = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<V, bool>) return ValueToBool(value);
    else if constexpr (std::is_same_v<V, AnsiString>) return ValueToString(value);
    else if constexpr (std::is_floating_point_v<V>) return static_cast<V>(ValueToDouble(value));
    else if constexpr (std::is_integral_v<V>) return static_cast<V>(ValueToInteger(value));
    else static_assert(unsupported<V>, "an argument type the bridge cannot pass");
}

template <class M>
struct CallTraits;
template <class C, class R, class... A>
struct CallTraits<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<A...>;
};
template <class C, class R, class... A>
struct CallTraits<R (C::*)(A...) const> : CallTraits<R (C::*)(A...)> {};

template <auto M, size_t... I>
void callWith(TJVCLComponent& wrapper, TJValueList* args, TJValue& result, std::index_sequence<I...>) {
    using Traits = CallTraits<decltype(M)>;
    using R = typename Traits::Result;
    wrapper.CheckVCL(args, static_cast<int>(sizeof...(I)));
    auto& object = linked<typename Traits::Class>(wrapper);
    wrapper.GuardVCL([&] {
        if constexpr (std::is_void_v<R>) {
            (object.*M)(argumentAs<std::tuple_element_t<I, typename Traits::Args>>(args->At(I))...);
        } else {
            R value = (object.*M)(argumentAs<std::tuple_element_t<I, typename Traits::Args>>(args->At(I))...);
            if constexpr (std::is_same_v<R, bool>) MakeBool(value, result);
            else if constexpr (std::is_same_v<std::remove_cvref_t<R>, AnsiString>) MakeString(value, result);
            else MakeInteger(static_cast<int32_t>(value), result);
        }
    });
}

template <auto M>
void callLinked(TJVCLComponent& wrapper, TJValueList* args, TJValue& result) {
    constexpr size_t arity = std::tuple_size_v<typename CallTraits<decltype(M)>::Args>;
    callWith<M>(wrapper, args, result, std::make_index_sequence<arity>{});
}

// ---- String lists ----

template <auto G>
inline constexpr char companionKey = 0;

template <auto G>
void stringsGet(const TObject* instance, TPropValue& value) {
    TJVCLComponent& wrapper = wrapperOf(instance);
    auto& object = linked<ClassOf<G>>(wrapper);
    value.Object = wrapper.StringsCompanion(&companionKey<G>, get<G>(object));
}

template <auto G>
void componentGet(const TObject* instance, TPropValue& value) {
    TJVCLComponent& wrapper = wrapperOf(instance);
    auto& object = linked<ClassOf<G>>(wrapper);
    value.Object = Cast(get<G>(object), wrapper.Runtime());
}

template <auto S>
void componentSet(TObject* instance, const TPropValue& value) {
    TJVCLComponent& wrapper = wrapperOf(instance);
    auto& object = linked<ClassOf<S>>(wrapper);
    auto* component = LinkedAs<std::remove_pointer_t<TypeOf<S>>>(WrapperOfObject(static_cast<TJObject*>(value.Object)));
    if (component) wrapper.GuardVCL([&] { set<S>(object, component); });
}

}  // namespace bridge_detail

// A published property of the wrapper that reads (and with a setter writes)
// the object's own: Forward<&TCustomEdit::SelStart, &TCustomEdit::SetSelStart>("SelStart").
template <auto G, auto S = nullptr, TJUnlinked Unlinked = TJUnlinked::Raise, TJFaults Faults = TJFaults::Wrap>
constexpr TPropInfo Forward(const char* name) {
    using namespace bridge_detail;
    using T = TypeOf<G>;
    TPropSetter set = nullptr;
    if constexpr (!std::is_null_pointer_v<decltype(S)>) set = &forwardSet<S, Faults>;
    return {name, kindOf<T>(), typeDataOf<T>(), &forwardGet<G, Unlinked, Faults>, set};
}

// A published property holding a component (the page control of a sheet, the
// parent of a menu item) as its one wrapper, the caster's; with a setter, a
// wrapper linked to a component of the setter's class writes it and any
// other value is ignored: Component<&TTabSheet::PageControl, &TTabSheet::SetPageControl>("PageControl").
template <auto G, auto S = nullptr>
constexpr TPropInfo Component(const char* name) {
    TPropSetter set = nullptr;
    if constexpr (!std::is_null_pointer_v<decltype(S)>) set = &bridge_detail::componentSet<S>;
    return {name, TTypeKind::Class, &TJObject::classInfo, &bridge_detail::componentGet<G>, set};
}

// An enumeration argument by name or number; the arguments error otherwise.
template <class E>
E EnumArgument(TJVCLPersistent& self, const TEnumInfo* type, const TJValue& value) {
    int ordinal;
    if (!ValueToEnum(type, value, ordinal)) self.RaiseArgumentsError();
    return static_cast<E>(ordinal);
}

// A script method that calls the object with the script's arguments (all
// needed) converted to the member's parameters; the result is the member's,
// or the wrapper itself for a member without one.
template <auto M>
constexpr TJWrapperMethod Call(const char* name) {
    return {name, 0, &bridge_detail::callLinked<M>, TJMethodResult::Self};
}

// A read-only published property holding the wrapper's one string-list
// object, aimed at the object's list on every read and at nothing once the
// wrapper lets the object go: Strings<&TCustomListBox::Items>("Items").
template <auto G>
constexpr TPropInfo Strings(const char* name) {
    return {name, TTypeKind::Class, &TJObject::classInfo, &bridge_detail::stringsGet<G>, nullptr};
}

// What an array-like wrapper gives for an index outside its elements.
enum class TJOutside : uint8_t { Undefined, Null };

// The wrapper of an object holding components in order (a menu item's
// sub-items, a page control's pages, a tool bar's buttons), which scripts
// read as an array-like object (`for ... in`, x[i], length), each element the
// component's one wrapper. It stands as the family's parent:
// TJVCLFamily<TJVCLComponentList<TJVCLToolWindow, &TToolBar::ButtonCount, &TToolBar::Buttons>, TToolBar, "VCLToolBar">.
template <class Base, auto Count, auto At, TJOutside Outside = TJOutside::Undefined>
class TJVCLComponentList : public Base {
public:
    using Base::Base;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return (holder().*Count)(); }
    void GetItem(int32_t index, TJValue& value) override {
        auto& object = holder();
        if (index >= 0 && index < (object.*Count)()) return CastResult(*this, (object.*At)(index), value);
        if constexpr (Outside == TJOutside::Null) MakeNull(value);
        else MakeUndefined(value);
    }
    void GetIndexValue(int32_t index, TJValue& value) override { GetItem(index, value); }

private:
    auto& holder() { return bridge_detail::linked<bridge_detail::ClassOf<Count>>(*this); }
};

// The script method that reads an element of an array-like wrapper: pages(i).
inline void ElementAt(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    self.GetItem(ValueToInteger(args->At(0)), result);
}

// What a family's Base class takes from its place: its parent wrapper, the
// class of the objects it wraps and its script class name. The class adds
// its tables: class TJVCLBaseEdit : public TJVCLFamily<TJVCLWinControl, TEdit, "VCLEdit">.
template <class Parent, class Object, TJName ScriptName>
class TJVCLFamily : public Parent {
public:
    TJVCLFamily(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : Parent(key, runtime, args) {
        this->SetClassName(ScriptName.Text);
    }
    const TClassInfo* VCLClass() const override { return &Object::classInfo; }
};

// The class a script makes with `new`: its Base wrapper over a new object of
// its own, which it owns and frees.
template <TJName Name, class Base, class Object>
class TJVCLLeaf : public Base {
public:
    static const TClassInfo classInfo;
    const TClassInfo* ClassType() const override { return &classInfo; }
    TJVCLLeaf(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : Base(key, runtime, args) {}

    void CreateVCL() override { this->AttachVCL(new Object(nullptr), true); }
};

template <TJName Name, class Base, class Object>
const TClassInfo TJVCLLeaf<Name, Base, Object>::classInfo =
    makeClassInfo(Name.Text, &Base::classInfo, &scriptCreator<TJVCLLeaf<Name, Base, Object>>);
