// The generic event path: boxing an event's arguments by its parameter table,
// calling the script handler, writing the boxes back; and hooking a wrapper's
// table into its object's event fields.
#include "bridge/events.h"

#include <unordered_set>
#include <vector>

#include "bridge/caster.h"
#include "bridge/component.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"
#include "engine/lib/number.h"
#include "engine/lib/stringobject.h"
#include "stdlib/rectobject.h"
#include "stdlib/strings.h"

TJObject* NewPointObject(TJRuntime* runtime, const TPoint& point) {
    auto* box = static_cast<TJPoint*>(CreateScriptInstance(&TJPoint::classInfo, runtime, true, nullptr));
    box->SetX(point.x);
    box->SetY(point.y);
    return box;
}

TJObject* NewRectObject(TJRuntime* runtime, const TRect& rect) {
    auto* box = static_cast<TJRect*>(CreateScriptInstance(&TJRect::classInfo, runtime, true, nullptr));
    box->CopyFromRect(rect);
    return box;
}

namespace {

// ==== Boxing ====

template <class T>
T* newBox(TJRuntime* runtime) {
    return static_cast<T*>(CreateScriptInstance(&T::classInfo, runtime, true, nullptr));
}

void enumName(const TEnumInfo* type, int64_t ordinal, TJValue& value) {
    MakeString(GetEnumName(type, ordinal), value);
}

// The script value of one argument; a box for the by-reference kinds.
void argumentValue(TJVCLComponent& wrapper, const TJEventArg& arg, const void* at, bool first, TJValue& value) {
    TJRuntime* runtime = wrapper.Runtime();
    switch (arg.Kind) {
    case TJArgKind::Object: {
        TObject* object = arg.ReadObject(at);
        if (first) {
            wrapper.SenderWrapper(object, value);
        } else {
            TJObject* cast = object && object->InheritsFrom(&TPersistent::classInfo)
                                 ? Cast(static_cast<TPersistent*>(object), runtime)
                                 : nullptr;
            if (cast) MakeObject(cast, value);
            else MakeNull(value);
        }
        return;
    }
    case TJArgKind::Integer: return MakeInteger(static_cast<int32_t>(arg.Read(at)), value);
    case TJArgKind::Boolean: return MakeBool(arg.Read(at) != 0, value);
    case TJArgKind::Text: return MakeString(*static_cast<const AnsiString*>(at), value);
    case TJArgKind::Lines: {
        TJStringsObject* list = NewStringList(runtime);
        if (const TStrings* lines = *static_cast<TStrings* const*>(at)) list->GetStringList().Assign(*lines);
        return MakeObject(list, value);
    }
    case TJArgKind::Enum: return enumName(static_cast<const TEnumInfo*>(arg.Type), arg.Read(at), value);
    case TJArgKind::Set:
        return MakeString(SetToNameList(static_cast<const TSetInfo*>(arg.Type), static_cast<uint32_t>(arg.Read(at))),
                          value);
    case TJArgKind::Point: return MakeObject(NewPointObject(runtime, *static_cast<const TPoint*>(at)), value);
    case TJArgKind::Rect:
    case TJArgKind::RectBox: return MakeObject(NewRectObject(runtime, *static_cast<const TRect*>(at)), value);
    case TJArgKind::IntegerBox:
    case TJArgKind::CharBox: {
        TJValue number;
        MakeInteger(static_cast<int32_t>(arg.Read(at)), number);
        return MakeObject(NewNumberObject(runtime, number), value);
    }
    case TJArgKind::BooleanBox: return MakeObject(NewBooleanObject(runtime, arg.Read(at) != 0), value);
    case TJArgKind::EnumBox: {
        TJStringObject* box = newBox<TJStringObject>(runtime);
        box->SetText(GetEnumName(static_cast<const TEnumInfo*>(arg.Type), arg.Read(at)));
        return MakeObject(box, value);
    }
    case TJArgKind::TextBox: {
        TJStringObject* box = newBox<TJStringObject>(runtime);
        box->SetText(*static_cast<const AnsiString*>(at));
        return MakeObject(box, value);
    }
    }
}

template <class T>
T* boxOf(const TJValue& value) {
    return IsObjectValue(value) && value.ObjValue->InheritsFrom(&T::classInfo) ? static_cast<T*>(value.ObjValue)
                                                                               : nullptr;
}

// Copies a box back into the event's argument; assigning the handler's
// parameter instead of the box changes nothing.
void writeBack(const TJEventArg& arg, const TJValue& box, void* at) {
    switch (arg.Kind) {
    case TJArgKind::IntegerBox:
    case TJArgKind::CharBox:
        if (auto* number = boxOf<TJNumberObject>(box)) arg.Write(at, number->intProperty());
        return;
    case TJArgKind::BooleanBox:
        if (auto* flag = boxOf<TJBooleanObject>(box)) arg.Write(at, flag->boolProperty());
        return;
    case TJArgKind::RectBox:
        if (auto* rect = boxOf<TJRect>(box)) rect->CopyToRect(*static_cast<TRect*>(at));
        return;
    case TJArgKind::EnumBox:
        if (auto* text = boxOf<TJStringObject>(box)) {
            TJValue name;
            MakeString(text->Text(), name);
            int ordinal;
            if (ValueToEnum(static_cast<const TEnumInfo*>(arg.Type), name, ordinal)) arg.Write(at, ordinal);
        }
        return;
    case TJArgKind::TextBox:
        if (auto* text = boxOf<TJStringObject>(box)) *static_cast<AnsiString*>(at) = text->Text();
        return;
    default: return;
    }
}

bool isBox(TJArgKind kind) {
    return kind == TJArgKind::IntegerBox || kind == TJArgKind::CharBox || kind == TJArgKind::BooleanBox ||
           kind == TJArgKind::RectBox || kind == TJArgKind::EnumBox || kind == TJArgKind::TextBox;
}

// ==== Hooking ====

// The code the bridge stored into event fields: only it may be overwritten.
std::unordered_set<void*>& bridgeCode() {
    static std::unordered_set<void*> codes;
    return codes;
}

bool hasAction(TPersistent* object) {
    TPropValue action;
    return ReadProp(object, GetPropInfo(object->ClassType(), "Action"), action) && action.Object;
}

void hookRow(TJVCLComponent& wrapper, const TJHook& row) {
    TPersistent* object = wrapper.VCL();
    const TPropInfo* prop = GetPropInfo(object->ClassType(), row.Property);
    if (!prop || !IsHookable(object->ClassType(), row) || !prop->Set) return;
    if (row.When == TJHookWhen::WithoutAction && hasAction(object)) return;
    TPropValue current;
    if (ReadProp(object, prop, current) && !current.Method.isNil() &&
        !(IsBridgeCode(current.Method) && current.Method.Data == &wrapper))
        return;
    bridgeCode().insert(row.Code);
    TPropValue handler;
    handler.Method = TMethod{row.Code, &wrapper};
    WriteProp(object, prop, handler);
}

}  // namespace

bool FireScriptEvent(TJVCLComponent& wrapper, const AnsiString& name, std::span<const TJEventArg> shape,
                     void* const* arguments) {
    if (!wrapper.HasEventHandler(name)) return false;
    TJDispatchHold hold(wrapper);
    TJValueList args;
    for (size_t i = 0; i < shape.size(); ++i) {
        TJValue value;
        argumentValue(wrapper, shape[i], arguments[i], i == 0, value);
        args.Add(value);
    }
    auto writeBoxes = [&] {
        for (size_t i = 0; i < shape.size(); ++i)
            if (isBox(shape[i].Kind)) writeBack(shape[i], args.At(static_cast<int>(i)), arguments[i]);
    };
    TJValue result;
    try {
        wrapper.FireEvent(AnsiString(), name, result, &args);
    } catch (...) {
        writeBoxes();
        throw;
    }
    writeBoxes();
    return true;
}

AnsiString HandlerName(std::string_view property) {
    if (property.substr(0, 2) != "On") return AnsiString(property);
    return "on" + AnsiString(property.substr(2));
}

bool IsHookable(const TClassInfo* cls, const TJHook& row) {
    const TPropInfo* prop = GetPropInfo(cls, row.Property);
    return prop && prop->isMethod() && prop->Signature == row.Signature;
}

bool IsBridgeCode(const TMethod& handler) { return bridgeCode().contains(handler.Code); }

void HookEvent(TJVCLComponent& wrapper, const TJHook& row) {
    if (wrapper.HasVCL()) hookRow(wrapper, row);
}

void UnhookEvent(TJVCLComponent& wrapper, const char* property) {
    if (!wrapper.HasVCL()) return;
    TPersistent* object = wrapper.VCL();
    const TPropInfo* prop = GetPropInfo(object->ClassType(), property);
    TPropValue current;
    if (!prop || !prop->isMethod() || !prop->Set || !ReadProp(object, prop, current)) return;
    if (!IsBridgeCode(current.Method) || current.Method.Data != &wrapper) return;
    TPropValue nil;
    WriteProp(object, prop, nil);
}

void ApplyHooks(TJVCLComponent& wrapper, TJHookList hooks) {
    if (!wrapper.HasVCL()) return;
    for (TJHookPart part : hooks)
        for (const TJHook& row : part) hookRow(wrapper, row);
}
