// The web-browser control in place: its creation and activation inside the
// control's window, its placement, navigation and ready state, and the site
// object the browser calls back (client site, in-place site and frame,
// document host, events). The site outlives the control when the browser
// still holds it: it then answers without a control.
#include "ui/webbrowser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ole2.h>

#include "rtl/codepage.h"

const TMethodTypeInfo WebContextMenuEventType{"TWebContextMenuEvent"};

namespace {

// Runs a COM method's body behind the callback boundary: an exception gives
// E_FAIL, and the application raises it once the platform call returns.
template <class Body>
HRESULT comCall(Body&& body) noexcept {
    HRESULT result = E_FAIL;
    guardCallback([&] { result = body(); });
    return result;
}

template <class T>
void releaseInterface(T*& pointer) {
    if (pointer) pointer->Release();
    pointer = nullptr;
}

}  // namespace

// ==== The site ====

class TWebBrowser::Site final : public IOleClientSite,
                                public IOleInPlaceSite,
                                public IOleInPlaceFrame,
                                public IDocHostUIHandler,
                                public IDispatch {
public:
    explicit Site(TWebBrowser* control) : Control_(control) {}
    // The control is going: later calls find none.
    void Detach() { Control_ = nullptr; }

    // ---- IUnknown ----
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *object = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDocHostUIHandler) *object = static_cast<IDocHostUIHandler*>(this);
        else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) *object = static_cast<IDispatch*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++References_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --References_;
        if (!left) delete this;
        return left;
    }

    // ---- IOleClientSite ----
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // ---- IOleWindow (of the in-place site and the frame) ----
    STDMETHODIMP GetWindow(HWND* window) override {
        return comCall([&] {
            *window = Control_ ? Control_->Handle() : nullptr;
            return *window ? S_OK : E_FAIL;
        });
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IOleInPlaceSite ----
    STDMETHODIMP CanInPlaceActivate() override { return Control_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        return comCall([&] {
            *frame = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            *document = nullptr;
            RECT client{0, 0, 0, 0};
            if (Control_) client = Control_->ClientRect();
            *position = *clip = client;
            info->fMDIApp = FALSE;
            info->hwndFrame = Control_ ? Control_->Handle() : nullptr;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
            return S_OK;
        });
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override {
        return comCall([&] {
            if (Control_) Control_->placeBrowser();
            return S_OK;
        });
    }

    // ---- IOleInPlaceUIWindow and IOleInPlaceFrame: no tools, menus or status ----
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // ---- IDocHostUIHandler ----
    STDMETHODIMP ShowContextMenu(DWORD kind, POINT* point, IUnknown*, IDispatch*) override {
        return comCall([&] {
            bool handled = false;
            if (Control_) Control_->ContextMenu(static_cast<int>(kind), {point->x, point->y}, handled);
            return handled ? S_OK : S_FALSE;
        });
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        info->dwFlags = Control_ ? Control_->HostFlags_ : 0;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        *out = nullptr;
        return S_FALSE;
    }

    // ---- IDispatch: the browser's events ----
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return comCall([&] {
            if (!Control_) return S_OK;
            if (id == DISPID_NAVIGATEERROR) {
                Control_->NavigationFailed_ = true;
                Control_->OnNavigateError(Control_);
            } else if (id == DISPID_DOCUMENTCOMPLETE) {
                Control_->OnDocumentComplete(Control_);
            }
            return S_OK;
        });
    }

private:
    ~Site() = default;

    TWebBrowser* Control_;
    ULONG References_ = 1;
};

// ==== The control ====

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) { UpdateBoundsFields(0, 0, 300, 150); }

TWebBrowser::~TWebBrowser() {
    Destroying();
    releaseBrowser();
}

void TWebBrowser::CreateWnd() {
    TWinControl::CreateWnd();
    createBrowser();
}

void TWebBrowser::DestroyWnd() {
    releaseBrowser();
    TWinControl::DestroyWnd();
}

// The browser lives in the window: made, sited, activated in place and
// connected to the site's events. Without the platform's control the
// window stays empty. A parent's new window makes this one anew without
// DestroyWnd: the browser of the old one goes first.
void TWebBrowser::createBrowser() {
    releaseBrowser();
    if (!Application->OleReady()) return;
    Site_ = new Site(this);
    callPlatform([&] {
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(&Object_))))
            return;
        Object_->SetClientSite(static_cast<IOleClientSite*>(Site_));
        RECT client = ClientRect();
        Object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(Site_), 0, Handle(), &client);
        Object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&Browser_));
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(Object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
            SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)))
            point->Advise(static_cast<IDispatch*>(Site_), &EventsCookie_);
        releaseInterface(point);
        releaseInterface(container);
        if (Browser_) Browser_->put_Visible(VARIANT_TRUE);
    });
}

void TWebBrowser::releaseBrowser() {
    if (!Site_) return;
    Site_->Detach();
    guardCallback([&] {
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        if (EventsCookie_ && Object_ &&
            SUCCEEDED(Object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
            SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)))
            point->Unadvise(EventsCookie_);
        releaseInterface(point);
        releaseInterface(container);
        EventsCookie_ = 0;
        releaseInterface(Browser_);
        if (Object_) {
            Object_->Close(OLECLOSE_NOSAVE);
            Object_->SetClientSite(nullptr);
        }
        releaseInterface(Object_);
    });
    Site_->Release();
    Site_ = nullptr;
}

// The browser covers the window's client area.
void TWebBrowser::placeBrowser() {
    IOleInPlaceObject* inPlace = nullptr;
    if (!Object_ || FAILED(Object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) return;
    RECT client = ClientRect();
    inPlace->SetObjectRects(&client, &client);
    inPlace->Release();
}

void TWebBrowser::WndProc(TMessage& message) {
    TWinControl::WndProc(message);
    if (message.Msg == WM_SIZE) callPlatform([&] { placeBrowser(); });
}

void TWebBrowser::Navigate(const AnsiString& url) {
    NavigationFailed_ = false;
    if (!Browser_ && Parent()) HandleNeeded();  // a hidden control has its browser too
    if (!Browser_) return;
    struct Text {
        BSTR value;
        ~Text() { SysFreeString(value); }
    } address{SysAllocString(ansiToWide(url.view()).c_str())};
    VARIANT empty;
    VariantInit(&empty);
    callPlatform([&] { Browser_->Navigate(address.value, &empty, &empty, &empty, &empty); });
}

int TWebBrowser::ReadyState() const {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (Browser_) Browser_->get_ReadyState(&state);
    return state;
}

const TClassInfo TWebBrowser::classInfo = makeClassInfo("TWebBrowser", &TWinControl::classInfo);
