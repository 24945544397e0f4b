// What scripts cannot see of the automation and DLL objects: a detached
// event sink that a server keeps answers nothing, and a module stays loaded
// while a bound function of it lives, however the DynaCall object went.
#include <gtest/gtest.h>

#include <windows.h>

#include "stdlib/automation.h"
#include "stdlib/dynacall.h"
#include "rtl/codepage.h"
#include "tests/engine/valuetest.h"

namespace {

// The test server DLL, built beside this program.
std::string testServerPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "testserver\\nimtestcom.dll";
}

const GUID eventsId = {0x6f1c2a41, 0x5b8e, 0x4c1d, {0x9a, 0x57, 0x1e, 0x2b, 0x3c, 0x4d, 0x5e, 0x60}};
const GUID serverId = {0x6f1c2a42, 0x5b8e, 0x4c1d, {0x9a, 0x57, 0x1e, 0x2b, 0x3c, 0x4d, 0x5e, 0x60}};

// A server whose connection point keeps every sink it was given, even after
// Unadvise, as a careless server may; its type information is the test
// server's.
class KeepingServer final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint,
                            public IEnumConnectionPoints {
public:
    explicit KeepingServer(ITypeLib* library) : library_(library) {}
    ~KeepingServer() {
        for (IDispatch* sink : sinks) sink->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        else if (iid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
        else return *out = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        return library_->GetTypeInfoOfGuid(serverId, out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        listed_ = false;
        return *out = this, S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { return *iid = eventsId, S_OK; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* dispatch = nullptr;
        sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        sinks.push_back(dispatch);
        *cookie = static_cast<DWORD>(sinks.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Next(ULONG, IConnectionPoint** out, ULONG* fetched) override {
        if (fetched) *fetched = listed_ ? 0 : 1;
        if (listed_) return S_FALSE;
        listed_ = true;
        *out = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override { return listed_ = false, S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints**) override { return E_NOTIMPL; }

    std::vector<IDispatch*> sinks;

private:
    ITypeLib* library_;
    bool listed_ = false;
};

// Fires the event "Fired" (id 1) at the sink.
HRESULT fire(IDispatch* sink) {
    VARIANT args[2];
    args[0].vt = VT_I4;
    args[0].lVal = 1;
    args[1].vt = VT_I4;
    args[1].lVal = 2;
    DISPPARAMS params{args, nullptr, 2, 0};
    return sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

TEST(EventSink, DetachedBeforeUnadvise) {
    ITypeLib* library = nullptr;
    WideString path = ansiToWide(testServerPath());
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library));
    KeepingServer server(library);
    FakeRuntime runtime;
    int calls = 0;
    runtime.globals.SetValue("on_Fired", runtime.scriptFunction([&](TJValueList* args, TJValue&, TJObject*) {
        calls += ArgCount(args);
    }));
    TJValueList args;
    TJValue value;
    MakeDispatch(&server, value);
    args.Add(value);
    args.AddString("on_");
    auto* object = createObject<TJActiveXObject>(&runtime, false, &args);
    object->IncRef();
    ASSERT_EQ(server.sinks.size(), 1u);
    EXPECT_EQ(fire(server.sinks[0]), S_OK);
    EXPECT_EQ(calls, 2);
    object->DisconnectEvents();
    EXPECT_EQ(fire(server.sinks[0]), S_FALSE);
    object->DecRef();
    EXPECT_EQ(fire(server.sinks[0]), S_FALSE);
    EXPECT_EQ(calls, 2);
    library->Release();
}

TEST(DynaCallModules, BoundFunctionKeepsItsModule) {
    std::string path = testServerPath();
    ASSERT_EQ(GetModuleHandleA(path.c_str()), nullptr);
    FakeRuntime runtime;
    auto* calls = createObject<TJDynaCall>(&runtime, false, nullptr);
    calls->IncRef();
    calls->Register(path.c_str(), "DllCanUnloadNow", {});
    calls->Register(path.c_str(), "DllGetClassObject", {});
    TJValue kept;
    calls->GetValue("DllCanUnloadNow", false, kept);
    calls->DecRef();
    EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr);
    kept = TJValue();
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
}

}  // namespace
