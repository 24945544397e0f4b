// The ActiveXObject and Enumerator script classes, the event sink that hands
// a server's events to script functions, and the automation hooks.
#include "stdlib/automation.h"

#include <objbase.h>

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/function.h"
#include "engine/core/hooks.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/core/variant.h"
#include "rtl/codepage.h"
#include "ui/application.h"

namespace {

const TPropInfo activeXProperties[] = {
    InterfaceProperty<&TJActiveXObject::dispProperty, &TJActiveXObject::setDispProperty>("disp"),
};

[[noreturn]] void raiseActiveX(const AnsiString& message) { raiseScriptError("EActiveXError", message); }

// A VARIANT cleared when it goes.
struct OwnedVariant : VARIANT {
    OwnedVariant() { VariantInit(this); }
    ~OwnedVariant() { VariantClear(this); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// Script values as invocation arguments, last first (as IDispatch wants them).
class InvokeArgs {
public:
    InvokeArgs() = default;
    ~InvokeArgs() {
        for (VARIANT& v : params_) VariantClear(&v);
    }
    InvokeArgs(const InvokeArgs&) = delete;
    InvokeArgs& operator=(const InvokeArgs&) = delete;

    void add(const TJValue& value) {
        VARIANT& v = *params_.insert(params_.begin(), VARIANT{});
        VariantInit(&v);
        ValueToVariant(value, v);
    }
    void addItemsOf(TJValueList* args) {
        for (int i = 0; i < ArgCount(args); ++i) add(args->At(i));
    }
    // With put, the one named argument of a property put.
    DISPPARAMS params(bool put) {
        return DISPPARAMS{params_.data(), put ? &named_ : nullptr, static_cast<UINT>(params_.size()), put ? 1u : 0u};
    }

private:
    std::vector<VARIANT> params_;
    DISPID named_ = DISPID_PROPERTYPUT;
};

// Invoke; an exception an event handler raised meanwhile goes on from here.
HRESULT invoke(IDispatch* dispatch, DISPID id, WORD flags, DISPPARAMS params, InvokeResult* result) {
    HRESULT hr = InvokeServer(dispatch, id, flags, &params, result);
    Application->RaisePendingException();
    return hr;
}

TJActiveXObject* activeXOf(const TJValue& value) {
    return IsObjectOfClass(&value, &TJActiveXObject::classInfo) ? static_cast<TJActiveXObject*>(value.ObjValue)
                                                                 : nullptr;
}

// ==== The event sink ====

// Receives the events of one connection and calls the script functions named
// by the prefix and the event name. It implements IDispatch only; the event
// interface's type information names the events, so a server without type
// information gets no sink at all. Parameters passed by reference reach the
// script as their values; what the script does with them, like its return
// value, is not handed back to the server.
class TJEventSink final : public IDispatch {
public:
    TJEventSink(TJActiveXObject* object, ITypeInfo* eventInfo) : Object_(object), EventInfo_(eventInfo) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --Refs_;
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    // The detach call: no names, a count and a locale of -1, no output.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        if (!names && count == static_cast<UINT>(-1) && locale == static_cast<LCID>(-1) && !ids) Object_ = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!Object_) return S_FALSE;
        BSTR name = nullptr;
        if (FAILED(EventInfo_->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name) return S_FALSE;
        AnsiString event = wideToAnsi(std::wstring_view(name, SysStringLen(name)));
        SysFreeString(name);
        if (event.empty()) return S_FALSE;
        ServerCallback callback;
        guardCallback([&] { fire(event, params); });
        return S_OK;
    }

private:
    ~TJEventSink() = default;

    void fire(const AnsiString& event, const DISPPARAMS* params) {
        TJActiveXObject* object = Object_;
        if (!object->Runtime()) return;
        TJValueList args;
        TJValue value;
        for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
            OwnedVariant copy;
            if (SUCCEEDED(VariantCopy(&copy, &params->rgvarg[i]))) VariantToValue(copy, object->Runtime(), value);
            else MakeUndefined(value);
            args.Add(value);
        }
        // The handler may drop the script's last reference to the object.
        object->IncRef();
        struct Release {
            TJActiveXObject* object;
            ~Release() { object->DecRef(); }
        } release{object};
        TJValue handler, result;
        TJRuntime* runtime = object->Runtime();
        if (runtime->FindGlobalValue(object->EventPrefix() + event, handler))
            runtime->CallFunction(handler, &args, result, object);
    }

    ULONG Refs_ = 0;
    TJActiveXObject* Object_;
    TIntf<ITypeInfo> EventInfo_;
};

}  // namespace

const TClassInfo TJActiveXObject::classInfo = makeClassInfo("TJActiveXObject", &TJObject::classInfo, activeXProperties,
                                                            &scriptCreator<TJActiveXObject>);
const TClassInfo TJEnumeratorObject::classInfo = makeClassInfo(
    "TJEnumeratorObject", &TJObject::classInfo, &scriptCreator<TJEnumeratorObject>, TGlobalInstance::No);

// ==== ActiveXObject ====

TJActiveXObject::TJActiveXObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), DispIds_(10, false) {
    SetClassName("ActiveXObject");
}

TJActiveXObject::~TJActiveXObject() { DisconnectEvents(); }

void TJActiveXObject::Construct(TJValueList* args) {
    TJObject::Construct(args);
    if (!HasArgs(args)) return;
    const TJValue& source = args->At(0);
    if (IsDispatchValue(&source)) {
        Disp_.reset(source.DispValue.get());
    } else {
        AnsiString progId = ValueToString(source);
        WideString wide = ansiToWide(progId);
        CLSID clsid;
        IDispatch* created = nullptr;
        if (FAILED(CLSIDFromProgID(wide.c_str(), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&created))))
            raiseActiveX("create error " + progId);
        Disp_ = TIntf<IDispatch>::adopt(created);
    }
    if (HasTwoArgs(args)) SetEventPrefix(ValueToString(args->At(1)));
}

void TJActiveXObject::SetParent(IDispatch* parent, DISPID member) {
    Parent_.reset(parent);
    MemberId_ = member;
}

// The member ids belong to the interface: another one starts a new cache.
void TJActiveXObject::setDispProperty(IUnknown* value) {
    IDispatch* dispatch = nullptr;
    if (value) value->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    Disp_ = TIntf<IDispatch>::adopt(dispatch);
    DispIds_.Clear();
}

bool TJActiveXObject::findMemberId(const AnsiString& name, DISPID& id) {
    if (auto* item = static_cast<TIntegerHashItem*>(DispIds_.FindItem(name))) {
        id = item->Value;
        return true;
    }
    if (!Disp_) return false;
    WideString wide = ansiToWide(name);
    LPOLESTR names = wide.data();
    if (FAILED(Disp_->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DispIds_.SetValue(name, id);
    return true;
}

DISPID TJActiveXObject::memberId(const AnsiString& name) {
    DISPID id = DISPID_UNKNOWN;
    if (!findMemberId(name, id)) raiseActiveX(name);
    return id;
}

// Inside `with`, a name the server knows is its member.
bool TJActiveXObject::FindScopeName(const AnsiString& name, TJValue& value) {
    DISPID id = DISPID_UNKNOWN;
    if (TJObject::FindScopeName(name, value)) return true;
    if (!findMemberId(name, id)) return false;
    readMember(name, value);
    return true;
}

void TJActiveXObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (keyError) readIndex(name, args, value);
    else if (HasKey(name) || HasProperty(name)) TJObject::GetValue(name, keyError, value, args);
    else readMember(name, value);
}

// A property get; a member that answers only as a method becomes a function
// value, kept as a member so that later reads give the same one.
void TJActiveXObject::readMember(const AnsiString& name, TJValue& value) {
    DISPID id = memberId(name);
    InvokeResult answer;
    if (SUCCEEDED(invoke(Disp_.get(), id, DISPATCH_PROPERTYGET, DISPPARAMS{}, &answer))) {
        VariantToValue(answer.value(), Runtime(), value);
        if (TJActiveXObject* member = activeXOf(value)) member->SetParent(Disp_.get(), id);
        return;
    }
    IJFunctionPtr method = NewFunction();
    method->SetFuncType(ftActiveX);
    method->SetName(name);
    TJActiveXMethod* record = method->GetActiveXMethod();
    record->Dispatch = Disp_;
    record->DispId = id;
    record->Access = 0;
    MakeFunction(method, value);
    PutMember(name, value);
}

// One index goes as its text; several as they are. The parent's member when
// this object was read from one, else the default member.
void TJActiveXObject::readIndex(const AnsiString& name, TJValueList* args, TJValue& value) {
    InvokeArgs params;
    if (ArgCount(args) >= 2) {
        params.addItemsOf(args);
    } else {
        TJValue text;
        MakeString(name, text);
        params.add(text);
    }
    IDispatch* target = Parent_ ? Parent_.get() : Disp_.get();
    InvokeResult answer;
    if (!target ||
        FAILED(invoke(target, Parent_ ? MemberId_ : DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                      params.params(false), &answer)))
        raiseActiveX(name);
    VariantToValue(answer.value(), Runtime(), value);
}

// Only an Array object spreads into several arguments; any other value,
// String objects and records included, is one.
void TJActiveXObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (HasProperty(name)) {
        TJObject::SetValue(name, value, args);
        return;
    }
    DISPID id = memberId(name);
    InvokeArgs params;
    if (IsObjectOfClass(&value, &TJArrayObject::classInfo))
        params.addItemsOf(&static_cast<TJArrayObject*>(value.ObjValue)->Items());
    else params.add(value);
    if (FAILED(invoke(Disp_.get(), id, DISPATCH_PROPERTYPUT, params.params(true), nullptr))) raiseActiveX(name);
}

void TJActiveXObject::Clear() {
    TJObject::Clear();
    DisconnectEvents();
    DispIds_.Clear();
    Disp_ = nullptr;
    Parent_ = nullptr;
    MemberId_ = -1;
    Prefix_.clear();
}

void TJActiveXObject::ToVariant(VARIANT& variant) {
    if (!Disp_) return;
    variant.vt = VT_DISPATCH;
    variant.pdispVal = Disp_.get();
    Disp_->AddRef();
}

void TJActiveXObject::GetPropertyList(std::vector<AnsiString>& list) {
    list.clear();
    ITypeInfo* raw = nullptr;
    if (!Disp_ || FAILED(Disp_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &raw)) || !raw) return;
    TIntf<ITypeInfo> info = TIntf<ITypeInfo>::adopt(raw);
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return;
    WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        BSTR name = nullptr;
        if (function->invkind == INVOKE_PROPERTYGET &&
            SUCCEEDED(info->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr)) && name) {
            list.push_back(wideToAnsi(std::wstring_view(name, SysStringLen(name))));
            SysFreeString(name);
        }
        info->ReleaseFuncDesc(function);
    }
}

bool TJActiveXObject::ForEachItem(const std::function<bool(const TJValue& item)>& body) {
    TIntf<IEnumVARIANT> items = Disp_ ? CollectionEnumerator(Disp_.get()) : nullptr;
    if (!items) return false;
    TJValue value;
    for (;;) {
        OwnedVariant item;
        if (items->Next(1, &item, nullptr) != S_OK) return true;
        VariantToValue(item, Runtime(), value);
        if (!body(value)) return true;
    }
}

bool TJActiveXObject::WrapsForRead(TJObject* member) const { return member->ClassType() == &classInfo; }

void TJActiveXObject::SetEventPrefix(const AnsiString& prefix) {
    Prefix_ = prefix;
    if (!prefix.empty()) ConnectEvents();
}

// One connection, through the first connection point; any failure leaves the
// object without events.
void TJActiveXObject::ConnectEvents() {
    DisconnectEvents();
    if (!Disp_) return;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(Disp_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) return;
    TIntf<IConnectionPointContainer> points = TIntf<IConnectionPointContainer>::adopt(container);
    IEnumConnectionPoints* rawEnum = nullptr;
    if (FAILED(points->EnumConnectionPoints(&rawEnum)) || !rawEnum) return;
    TIntf<IEnumConnectionPoints> pointEnum = TIntf<IEnumConnectionPoints>::adopt(rawEnum);
    IConnectionPoint* rawPoint = nullptr;
    if (pointEnum->Next(1, &rawPoint, nullptr) != S_OK || !rawPoint) return;
    TIntf<IConnectionPoint> point = TIntf<IConnectionPoint>::adopt(rawPoint);
    IID eventIid;
    ITypeInfo* rawInfo = nullptr;
    if (FAILED(point->GetConnectionInterface(&eventIid)) ||
        FAILED(Disp_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &rawInfo)) || !rawInfo)
        return;
    TIntf<ITypeInfo> info = TIntf<ITypeInfo>::adopt(rawInfo);
    ITypeLib* rawLib = nullptr;
    UINT index = 0;
    if (FAILED(info->GetContainingTypeLib(&rawLib, &index)) || !rawLib) return;
    TIntf<ITypeLib> library = TIntf<ITypeLib>::adopt(rawLib);
    ITypeInfo* rawEvents = nullptr;
    if (FAILED(library->GetTypeInfoOfGuid(eventIid, &rawEvents)) || !rawEvents) return;
    TIntf<ITypeInfo> events = TIntf<ITypeInfo>::adopt(rawEvents);
    TIntf<IDispatch> sink(new TJEventSink(this, events.get()));
    DWORD cookie = 0;
    if (FAILED(point->Advise(sink.get(), &cookie))) return;
    Connections_.push_back(Connection{point, cookie, sink});
}

// The sink is detached before Unadvise, so that no event reaches this object
// however long the server keeps the sink.
void TJActiveXObject::DisconnectEvents() {
    std::vector<Connection> connections = std::move(Connections_);
    Connections_.clear();
    for (Connection& connection : connections) {
        connection.Sink->GetIDsOfNames(GUID_NULL, nullptr, static_cast<UINT>(-1), static_cast<LCID>(-1), nullptr);
        connection.Point->Unadvise(connection.Cookie);
    }
}

// ==== Enumerator ====

TIntf<IEnumVARIANT> CollectionEnumerator(IDispatch* dispatch) {
    InvokeResult answer;
    if (FAILED(invoke(dispatch, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, DISPPARAMS{}, &answer)))
        return nullptr;
    const VARIANT& got = answer.value();
    IUnknown* unknown = got.vt == VT_UNKNOWN ? got.punkVal : got.vt == VT_DISPATCH ? got.pdispVal : nullptr;
    IEnumVARIANT* items = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)))) return nullptr;
    return TIntf<IEnumVARIANT>::adopt(items);
}

TJEnumeratorObject::TJEnumeratorObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    VariantInit(&Current_);
    SetClassName("Enumerator");
}

TJEnumeratorObject::~TJEnumeratorObject() { VariantClear(&Current_); }

void TJEnumeratorObject::Construct(TJValueList* args) {
    TJObject::Construct(args);
    IDispatch* dispatch = nullptr;
    if (HasArgs(args)) {
        const TJValue& source = args->At(0);
        if (IsDispatchValue(&source)) dispatch = source.DispValue.get();
        else if (TJActiveXObject* object = activeXOf(source)) dispatch = object->Dispatch();
    }
    if (dispatch) Enum_ = CollectionEnumerator(dispatch);
    if (!Enum_) raiseScriptError("EEnumeratorError", "Enumerator.Create Error");
    MoveNext();
}

void TJEnumeratorObject::MoveFirst() {
    if (Enum_) Enum_->Reset();
    MoveNext();
}

// A server may report an element without writing it: the slot is empty
// before every fetch.
void TJEnumeratorObject::MoveNext() {
    VariantClear(&Current_);
    AtEnd_ = !Enum_ || Enum_->Next(1, &Current_, nullptr) != S_OK;
    if (AtEnd_) VariantClear(&Current_);
}

void TJEnumeratorObject::ReadCurrentItem(TJValue& value) { VariantToValue(Current_, Runtime(), value); }

void TJEnumeratorObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (name.empty()) ReadCurrentItem(value);
    else TJObject::GetValue(name, keyError, value, args);
}

namespace {

void atEnd(TJEnumeratorObject& self, TJValueList*, TJValue& result) { MakeBool(self.AtEnd(), result); }
void item(TJEnumeratorObject& self, TJValueList*, TJValue& result) { self.ReadCurrentItem(result); }
void moveFirst(TJEnumeratorObject& self, TJValueList*, TJValue&) { self.MoveFirst(); }
void moveNext(TJEnumeratorObject& self, TJValueList*, TJValue&) { self.MoveNext(); }

const TJMethod<TJEnumeratorObject> enumeratorMethods[] = {
    {"atEnd", 0, &atEnd},
    {"item", 0, &item},
    {"moveFirst", 0, &moveFirst, TJMethodResult::Self},
    {"moveNext", 0, &moveNext, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJEnumeratorObject::Methods() const {
    static const TJMethodTable table(enumeratorMethods, TJObject::Methods());
    return table;
}

// ==== Registration ====

namespace {

TJObject* newActiveXObject(TJRuntime* runtime, IDispatch* dispatch) {
    TJValueList args;
    TJValue value;
    MakeDispatch(dispatch, value);
    args.Add(value);
    return createObject<TJActiveXObject>(runtime, true, &args);
}

TJObject* createActiveXObject(TJRuntime* runtime, TJValueList* args) {
    return createObject<TJActiveXObject>(runtime, true, args);
}

bool setEventPrefix(const TJValue& object, const AnsiString& prefix) {
    TJActiveXObject* activeX = activeXOf(object);
    if (activeX) activeX->SetEventPrefix(prefix);
    return activeX != nullptr;
}

void disconnectEvents(const TJValue& object) {
    if (TJActiveXObject* activeX = activeXOf(object)) activeX->DisconnectEvents();
}

}  // namespace

void RegisterActiveXObjects(TJRuntime& runtime) {
    // Once per program, on the thread that registers: the GUI thread.
    static const bool initialized = SUCCEEDED(OleInitialize(nullptr));
    (void)initialized;
    JModuleHooks.NewActiveXObject = &newActiveXObject;
    JModuleHooks.CreateActiveXObject = &createActiveXObject;
    JModuleHooks.SetEventPrefix = &setEventPrefix;
    JModuleHooks.DisconnectEvents = &disconnectEvents;
    runtime.RegisterScriptClass("ActiveXObject", &TJActiveXObject::classInfo);
    runtime.RegisterScriptClass("Enumerator", &TJEnumeratorObject::classInfo);
}
