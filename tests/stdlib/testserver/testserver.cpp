// nimtestcom.dll: the in-process automation server "Nimbora.TestServer" of
// the script tests. It answers IDispatch by hand (its type library, built
// from nimtest.idl and kept as a resource, describes the members and the
// events): a collection (Item, Count, _NewEnum, Add - a member that answers
// only as a method), Self (the object itself; with an index, the item), Name (read and write), Join
// (shows the order of the arguments), Fire (raises the events Fired and
// Counted at every connected sink) and Sinks (the number connected).
// DllRegisterServer registers it in the machine's classes (of the test prefix).
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace {

const GUID eventsId = {0x6f1c2a41, 0x5b8e, 0x4c1d, {0x9a, 0x57, 0x1e, 0x2b, 0x3c, 0x4d, 0x5e, 0x60}};
const GUID serverId = {0x6f1c2a42, 0x5b8e, 0x4c1d, {0x9a, 0x57, 0x1e, 0x2b, 0x3c, 0x4d, 0x5e, 0x60}};
const GUID classId = {0x6f1c2a43, 0x5b8e, 0x4c1d, {0x9a, 0x57, 0x1e, 0x2b, 0x3c, 0x4d, 0x5e, 0x60}};
const wchar_t classKey[] = L"Software\\Classes\\CLSID\\{6F1C2A43-5B8E-4C1D-9A57-1E2B3C4D5E60}";
const wchar_t progIdKey[] = L"Software\\Classes\\Nimbora.TestServer";

HINSTANCE module;
LONG objects;

enum : DISPID {
    idItem = 0, idNewEnum = -4, idCount = 1, idAdd = 2, idSelf = 3, idFire = 4, idName = 5, idSinks = 6, idJoin = 7
};

struct Member {
    const wchar_t* Name;
    DISPID Id;
};
const Member members[] = {{L"Item", idItem},   {L"_NewEnum", idNewEnum}, {L"Count", idCount},
                          {L"Add", idAdd},     {L"Self", idSelf},        {L"Fire", idFire},
                          {L"Name", idName},   {L"Sinks", idSinks},      {L"Join", idJoin}};

ITypeInfo* typeInfoOf(const GUID& id) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &library))) return nullptr;
    ITypeInfo* info = nullptr;
    library->GetTypeInfoOfGuid(id, &info);
    library->Release();
    return info;
}

// The reference count and QueryInterface of an object with one interface of
// its own.
template <class Interface, const IID* Iid>
class Unknown : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != *Iid) return *out = nullptr, E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --refs_;
        if (!refs) delete this;
        return refs;
    }

protected:
    virtual ~Unknown() = default;

private:
    ULONG refs_ = 0;
};

// The elements of a collection, walked by a copy of their own.
class Items final : public Unknown<IEnumVARIANT, &IID_IEnumVARIANT> {
public:
    explicit Items(const std::vector<VARIANT>& items) {
        for (const VARIANT& item : items) {
            VARIANT copy;
            VariantInit(&copy);
            VariantCopy(&copy, const_cast<VARIANT*>(&item));
            items_.push_back(copy);
        }
        InterlockedIncrement(&objects);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        ULONG got = 0;
        for (; got < count && at_ < items_.size(); ++got, ++at_) VariantCopy(&out[got], &items_[at_]);
        if (fetched) *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        at_ += count;
        return at_ <= items_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        at_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        *out = new Items(items_);
        (*out)->AddRef();
        return S_OK;
    }

private:
    ~Items() override {
        for (VARIANT& item : items_) VariantClear(&item);
        InterlockedDecrement(&objects);
    }
    size_t at_ = 0;
    std::vector<VARIANT> items_;
};

class Server;

// The one connection point, listed once.
class Points final : public Unknown<IEnumConnectionPoints, &IID_IEnumConnectionPoints> {
public:
    explicit Points(IConnectionPoint* point) : point_(point) { point_->AddRef(); }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        ULONG got = 0;
        if (count > 0 && !done_) {
            out[0] = point_;
            point_->AddRef();
            done_ = true;
            got = 1;
        }
        if (fetched) *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return done_ = true, S_FALSE; }
    HRESULT STDMETHODCALLTYPE Reset() override { return done_ = false, S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override {
        *out = new Points(point_);
        (*out)->AddRef();
        return S_OK;
    }

private:
    ~Points() override { point_->Release(); }
    bool done_ = false;
    IConnectionPoint* point_;
};

class Server final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
public:
    Server() { InterlockedIncrement(&objects); }

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        else if (iid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IConnectionPoint) *out = static_cast<IConnectionPoint*>(this);
        else return *out = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --refs_;
        if (!refs) delete this;
        return refs;
    }

    // ---- IDispatch ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (index != 0) return DISP_E_BADINDEX;
        *out = typeInfoOf(serverId);
        return *out ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        for (const Member& member : members) {
            if (lstrcmpiW(member.Name, names[0]) == 0) return ids[0] = member.Id, S_OK;
        }
        return ids[0] = DISPID_UNKNOWN, DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        VARIANT ignored;
        VariantInit(&ignored);
        if (!result) result = &ignored;
        HRESULT hr = invoke(id, flags, *params, *result);
        VariantClear(&ignored);
        return hr;
    }

    // ---- IConnectionPointContainer ----
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        *out = new Points(this);
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (iid != eventsId) return *out = nullptr, CONNECT_E_NOCONNECTION;
        *out = this;
        AddRef();
        return S_OK;
    }

    // ---- IConnectionPoint ----
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { return *iid = eventsId, S_OK; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* dispatch = nullptr;
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back({++lastCookie_, dispatch});
        *cookie = lastCookie_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        for (auto at = sinks_.begin(); at != sinks_.end(); ++at) {
            if (at->first != cookie) continue;
            IDispatch* sink = at->second;
            sinks_.erase(at);
            sink->Release();
            return S_OK;
        }
        return CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    ~Server() {
        for (auto& sink : sinks_) sink.second->Release();
        for (VARIANT& item : items_) VariantClear(&item);
        SysFreeString(name_);
        InterlockedDecrement(&objects);
    }

    // The argument at script position i.
    static VARIANT* arg(DISPPARAMS& params, UINT i) {
        return i < params.cArgs ? &params.rgvarg[params.cArgs - 1 - i] : nullptr;
    }

    static std::wstring textOf(VARIANT* v) {
        VARIANT text;
        VariantInit(&text);
        std::wstring result = v && SUCCEEDED(VariantChangeType(&text, v, 0, VT_BSTR)) ? text.bstrVal : L"?";
        VariantClear(&text);
        return result;
    }

    bool indexOf(VARIANT* v, LONG& at) {
        VARIANT index;
        VariantInit(&index);
        if (!v || FAILED(VariantChangeType(&index, v, 0, VT_I4))) return false;
        at = index.lVal;
        return at >= 0 && at < static_cast<LONG>(items_.size());
    }

    HRESULT invoke(DISPID id, WORD flags, DISPPARAMS& params, VARIANT& result) {
        bool get = flags & DISPATCH_PROPERTYGET, call = flags & DISPATCH_METHOD;
        switch (id) {
        case idItem: {
            LONG at = 0;
            if (!indexOf(arg(params, 0), at)) return DISP_E_BADINDEX;
            if (flags & DISPATCH_PROPERTYPUT)
                return params.cArgs < 2 ? DISP_E_BADPARAMCOUNT : VariantCopyInd(&items_[at], &params.rgvarg[0]);
            return VariantCopy(&result, &items_[static_cast<size_t>(at)]);
        }
        case idNewEnum:
            result.vt = VT_UNKNOWN;
            result.punkVal = new Items(items_);
            result.punkVal->AddRef();
            return S_OK;
        case idCount:
            if (!get) return DISP_E_MEMBERNOTFOUND;
            result.vt = VT_I4;
            result.lVal = static_cast<LONG>(items_.size());
            return S_OK;
        case idAdd: {
            if (!call || !arg(params, 0)) return DISP_E_MEMBERNOTFOUND;
            VARIANT item;
            VariantInit(&item);
            VariantCopyInd(&item, arg(params, 0));
            items_.push_back(item);
            return S_OK;
        }
        case idSelf: {
            // With an index, the item: index reads of the object it returns come here.
            LONG at = 0;
            if (params.cArgs > 0)
                return indexOf(arg(params, 0), at) ? VariantCopy(&result, &items_[at]) : DISP_E_BADINDEX;
            if (!get) return DISP_E_MEMBERNOTFOUND;
            result.vt = VT_DISPATCH;
            result.pdispVal = this;
            AddRef();
            return S_OK;
        }
        case idFire:
            if (!call || params.cArgs < 2) return DISP_E_BADPARAMCOUNT;
            fire(textOf(arg(params, 0)), arg(params, 1));
            return S_OK;
        case idName:
            if (flags & DISPATCH_PROPERTYPUT) {
                SysFreeString(name_);
                name_ = SysAllocString(textOf(arg(params, 0)).c_str());
                return S_OK;
            }
            result.vt = VT_BSTR;
            result.bstrVal = SysAllocString(name_ ? name_ : L"");
            return S_OK;
        case idSinks:
            result.vt = VT_I4;
            result.lVal = static_cast<LONG>(sinks_.size());
            return S_OK;
        case idJoin:
            if (!call) return DISP_E_MEMBERNOTFOUND;
            result.vt = VT_BSTR;
            result.bstrVal = SysAllocString((textOf(arg(params, 0)) + L"|" + textOf(arg(params, 1))).c_str());
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    // Fired(text, number), then Counted(count) with the count by reference,
    // at every sink (a copy of the list: a handler may disconnect).
    void fire(const std::wstring& text, VARIANT* number) {
        std::vector<IDispatch*> sinks;
        for (auto& sink : sinks_) {
            sink.second->AddRef();
            sinks.push_back(sink.second);
        }
        for (IDispatch* sink : sinks) {
            VARIANT args[2];
            VariantInit(&args[0]);
            VariantInit(&args[1]);
            VariantCopy(&args[0], number);
            args[1].vt = VT_BSTR;
            args[1].bstrVal = SysAllocString(text.c_str());
            DISPPARAMS fired{args, nullptr, 2, 0};
            sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &fired, nullptr, nullptr, nullptr);
            VariantClear(&args[0]);
            VariantClear(&args[1]);
            LONG count = static_cast<LONG>(items_.size());
            VARIANT counted;
            counted.vt = VT_I4 | VT_BYREF;
            counted.plVal = &count;
            DISPPARAMS countedParams{&counted, nullptr, 1, 0};
            sink->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &countedParams, nullptr, nullptr, nullptr);
            sink->Release();
        }
    }

    ULONG refs_ = 0;
    std::vector<VARIANT> items_;
    BSTR name_ = nullptr;
    std::vector<std::pair<DWORD, IDispatch*>> sinks_;
    DWORD lastCookie_ = 0;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return *out = nullptr, E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return *out = nullptr, CLASS_E_NOAGGREGATION;
        Server* server = new Server;
        server->AddRef();
        HRESULT hr = server->QueryInterface(iid, out);
        server->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&objects);
        else InterlockedDecrement(&objects);
        return S_OK;
    }
};

Factory factory;

bool setKey(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) module = instance;
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid != classId) return *out = nullptr, CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return objects == 0 ? S_OK : S_FALSE; }

__declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring server = std::wstring(classKey) + L"\\InprocServer32";
    bool done = setKey(progIdKey, nullptr, L"Nimbora test server") &&
                setKey((std::wstring(progIdKey) + L"\\CLSID").c_str(), nullptr, classKey + 23) &&
                setKey(classKey, nullptr, L"Nimbora test server") && setKey(server.c_str(), nullptr, path) &&
                setKey(server.c_str(), L"ThreadingModel", L"Apartment");
    return done ? S_OK : SELFREG_E_CLASS;
}
}
