// The OLE drop target and drop source, the text data object, the dropped-file
// and dropped-text readers and the shell's data object for dragged files.
// Every COM method catches at its boundary (guardCallback); the objects the
// platform holds are counted apart from the components, which may be freed
// while the platform still holds them.
#include "ui/dragdrop.h"

#include <shlobj.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/filepath.h"
#include "ui/controls.h"

const TMethodTypeInfo DragDropFilesEventType{"TDragDropFilesEvent"}, DragDropTextEventType{"TDragDropTextEvent"},
    DragDropOverEventType{"TDragDropOverEvent"};

namespace {

// IUnknown for one interface, deleted with its last reference.
template <class Interface>
class TComObject : public Interface {
public:
    virtual ~TComObject() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != __uuidof(Interface)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++References_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --References_;
        if (!left) delete this;
        return left;
    }

private:
    ULONG References_ = 0;
};

FORMATETC formatOf(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted = formatOf(format);
    return data && data->QueryGetData(&wanted) == S_OK;
}

// A locked global memory block, unlocked when it goes.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block)
        : block_(block), bytes_(static_cast<const char*>(GlobalLock(block))), size_(bytes_ ? GlobalSize(block) : 0) {}
    ~LockedBlock() {
        if (bytes_) GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    std::string_view view() const { return {bytes_ ? bytes_ : "", size_}; }

private:
    HGLOBAL block_;
    const char* bytes_;
    size_t size_;
};

[[noreturn]] void raiseShellError(HRESULT result) { throw EOSError(SysErrorMessage(static_cast<unsigned long>(result))); }

void checkShell(HRESULT result) {
    if (FAILED(result)) raiseShellError(result);
}

// ==== The text data object ====

class TextDataObject final : public TComObject<IDataObject> {
public:
    explicit TextDataObject(AnsiString text) : Text_(std::move(text)) {}

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_POINTER;
        std::memset(medium, 0, sizeof *medium);
        HRESULT result = QueryGetData(format);
        if (result != S_OK) return result;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, Text_.length() + 1);
        if (!block) return E_OUTOFMEMORY;
        if (void* bytes = GlobalLock(block)) {
            std::memcpy(bytes, Text_.c_str(), Text_.length() + 1);
            GlobalUnlock(block);
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        bool text = format && format->cfFormat == CF_TEXT && format->dwAspect == DVASPECT_CONTENT &&
                    (format->tymed & TYMED_HGLOBAL);
        return text ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) override {
        if (connection) *connection = 0;
        return E_NOTIMPL;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    AnsiString Text_;
};

// ==== The drop source ====

class SourceSink final : public TComObject<IDropSource> {
public:
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keys) override {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

void runDrag(const TIntf<IDataObject>& data, DWORD allowed) {
    TIntf<IDropSource> source(new SourceSink);
    DWORD effect = DROPEFFECT_NONE;
    callPlatform([&] { DoDragDrop(data.get(), source.get(), allowed, &effect); });
}

}  // namespace

// ==== TDragDropTarget ====

// The platform's side of the target: forwards to the component while it lives.
class TDragDropTarget::Sink final : public TComObject<IDropTarget> {
public:
    explicit Sink(TDragDropTarget* owner) : Owner_(owner) {}
    void Detach() { Owner_ = nullptr; }

    STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        guardCallback([&] {
            if (Owner_) *effect = Owner_->Effect_ = EffectFor(data, allowed);
        });
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL point, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        guardCallback([&] {
            if (!Owner_) return;
            TKeepAlive hold(Owner_);
            DWORD chosen = Owner_->Effect_ & allowed;
            bool accept = true;
            Owner_->OnDragDropOver(Owner_->Target_, point.x, point.y, accept);
            *effect = accept ? chosen : DROPEFFECT_NONE;
        });
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
        DWORD performed = DROPEFFECT_NONE;
        guardCallback([&] {
            if (!Owner_) return;
            TKeepAlive hold(Owner_);
            performed = Owner_->drop(data, point);
        });
        if (effect) *effect = performed;
        return S_OK;
    }

private:
    TDragDropTarget* Owner_;
};

// Watches the target's window: revoked as it goes, registered again when the
// control makes a new one (style changes re-create windows).
class TDragDropTarget::Hook final : public TWindowHook {
public:
    Hook(TWinControl* control, TDragDropTarget* owner) : TWindowHook(control), Owner_(owner) {}

protected:
    void HookProc(TMessage& message) override {
        if (message.Msg == WM_DESTROY) Owner_->revokeWindow();
        Inherited(message);
        if (message.Msg == CM_WINDOWCREATED) {
            try {
                Owner_->registerWindow();
            } catch (const Exception&) {
                // Refused for the new window: RegisteredWindow stays nil.
            }
        }
    }

private:
    TDragDropTarget* Owner_;
};

namespace {

const TPropInfo dropTargetProperties[] = {
    ClassProperty<&TDragDropTarget::Target, &TDragDropTarget::SetTarget>("Target", &TWinControl::classInfo),
    MethodProperty<&TDragDropTarget::OnDragDropFiles, &TDragDropTarget::OnDragDropFiles>("OnDragDropFiles",
                                                                                         &DragDropFilesEventType),
    MethodProperty<&TDragDropTarget::OnDragDropOver, &TDragDropTarget::OnDragDropOver>("OnDragDropOver",
                                                                                       &DragDropOverEventType),
    MethodProperty<&TDragDropTarget::OnDragDropText, &TDragDropTarget::OnDragDropText>("OnDragDropText",
                                                                                       &DragDropTextEventType),
};

}  // namespace

const TClassInfo TDragDropTarget::classInfo =
    makeClassInfo("TDragDropTarget", &TComponent::classInfo, dropTargetProperties);
const TClassInfo TDragDropSource::classInfo = makeClassInfo("TDragDropSource", &TComponent::classInfo);

TDragDropTarget::TDragDropTarget(TComponent* owner) : TComponent(owner), Sink_(new Sink(this)) {}

TDragDropTarget::~TDragDropTarget() {
    SetTarget(nullptr);
    static_cast<Sink*>(Sink_.get())->Detach();
}

void TDragDropTarget::SetTarget(TWinControl* target) {
    if (target == Target_) return;
    if (Target_) {
        Target_->RemoveFreeNotification(this);
        revokeWindow();
        Hook_.reset();
    }
    Target_ = target;
    if (!target) return;
    try {
        registerWindow();
    } catch (...) {
        Target_ = nullptr;
        throw;
    }
    Hook_ = std::make_unique<Hook>(target, this);
    target->FreeNotification(this);
}

void TDragDropTarget::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == Target_) SetTarget(nullptr);
}

void TDragDropTarget::registerWindow() {
    HWND window = Target_->Handle();
    if (window == Window_) return;
    revokeWindow();
    HRESULT result = RegisterDragDrop(window, Sink_.get());
    if (FAILED(result)) raiseShellError(result);
    Window_ = window;
}

void TDragDropTarget::revokeWindow() {
    if (!Window_) return;
    RevokeDragDrop(Window_);
    Window_ = nullptr;
}

DWORD TDragDropTarget::EffectFor(IDataObject* data, DWORD allowed) {
    if (offers(data, CF_HDROP)) return allowed & DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_COPY;
}

// Files win over text; the medium is released before the handler runs, which
// may free this component (the caller holds it alive) or its target.
DWORD TDragDropTarget::drop(IDataObject* data, POINTL point) {
    DWORD chosen = Effect_;
    if (!data || chosen == DROPEFFECT_NONE) return DROPEFFECT_NONE;
    FORMATETC files = formatOf(CF_HDROP), text = formatOf(CF_TEXT);
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(&files, &medium))) {
        TStringList names;
        if (OnDragDropFiles && medium.tymed == TYMED_HGLOBAL) ParseDropFiles(medium.hGlobal, names);
        ReleaseStgMedium(&medium);
        if (names.Count() == 0) return DROPEFFECT_NONE;
        OnDragDropFiles(Target_, point.x, point.y, &names);
        return chosen;
    }
    if (SUCCEEDED(data->GetData(&text, &medium))) {
        AnsiString dropped;
        if (OnDragDropText && medium.tymed == TYMED_HGLOBAL) dropped = ReadDropText(medium.hGlobal);
        ReleaseStgMedium(&medium);
        if (!OnDragDropText) return DROPEFFECT_NONE;
        OnDragDropText(Target_, point.x, point.y, dropped);
        return chosen;
    }
    return DROPEFFECT_NONE;
}

// ==== TDragDropSource ====

// The state of the input the thread has taken so far (inside a mouse-down
// handler: pressed), not the device's, which may lag behind it.
bool TDragDropSource::DragButtonDown() { return (GetKeyState(VK_LBUTTON) | GetKeyState(VK_RBUTTON)) & 0x8000; }

void TDragDropSource::DoDragFiles(const AnsiString& folder, const TStrings& files) {
    if (!DragButtonDown()) return;
    TIntf<IDataObject> data = BuildFileDataObject(folder, files);
    if (data) runDrag(data, DROPEFFECT_COPY);
}

void TDragDropSource::DoDragText(const AnsiString& text) {
    if (DragButtonDown()) runDrag(MakeTextDataObject(text), DROPEFFECT_LINK);
}

// ==== Helpers ====

// The list of names begins at the header's offset; each name ends at a zero
// character and the list at an empty name. A name the block's end cuts off
// is not taken.
void ParseDropFiles(HGLOBAL block, TStrings& list) {
    list.Clear();
    LockedBlock locked(block);
    std::string_view bytes = locked.view();
    DROPFILES header;
    if (bytes.size() < sizeof header) return;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.pFiles >= bytes.size()) return;
    bytes.remove_prefix(header.pFiles);
    inUpdate(list, [&] {
        if (header.fWide) {
            std::wstring name;
            for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
                wchar_t unit;
                std::memcpy(&unit, bytes.data() + i, 2);
                if (unit != 0) {
                    name += unit;
                    continue;
                }
                if (name.empty()) return;
                list.Add(wideToAnsi(name));
                name.clear();
            }
        } else {
            for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string_view::npos; start = end + 1) {
                if (end == start) return;
                list.Add(AnsiString(bytes.substr(start, end - start)));
            }
        }
    });
}

AnsiString ReadDropText(HGLOBAL block) {
    LockedBlock locked(block);
    std::string_view bytes = locked.view();
    return AnsiString(bytes.substr(0, bytes.find('\0')));
}

TIntf<IDataObject> MakeTextDataObject(const AnsiString& text) { return TIntf<IDataObject>(new TextDataObject(text)); }

namespace {

// An item list from the shell's allocator, freed with it.
struct ItemList {
    LPITEMIDLIST pidl = nullptr;
    ItemList() = default;
    ItemList(ItemList&& other) noexcept : pidl(other.pidl) { other.pidl = nullptr; }
    ~ItemList() { CoTaskMemFree(pidl); }
};

ItemList parseName(IShellFolder* folder, const AnsiString& name) {
    WideString wide = ansiToWide(name.view());
    ItemList item;
    checkShell(folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &item.pidl, nullptr));
    return item;
}

AnsiString withDelimiter(const AnsiString& folder) {
    return fileFolder(folder + "x") == folder ? folder : folder + "\\";
}

}  // namespace

TIntf<IDataObject> BuildFileDataObject(const AnsiString& folder, const TStrings& files) {
    if (files.Count() == 0) return {};
    AnsiString dragFolder =
        folder.empty() ? fileFolder(expandFileName(files.Get(0))) : withDelimiter(expandFileName(folder));
    std::vector<AnsiString> names;
    for (int i = 0; i < files.Count(); ++i) {
        AnsiString entry = files.Get(i);
        AnsiString path = fileFolder(entry).empty() ? dragFolder + entry : expandFileName(entry);
        if (sameFileName(fileFolder(path), dragFolder) && fileExists(path)) names.push_back(extractFileName(path));
    }
    if (names.empty()) return {};
    IShellFolder* desktopRaw = nullptr;
    checkShell(SHGetDesktopFolder(&desktopRaw));
    TIntf<IShellFolder> desktop = TIntf<IShellFolder>::adopt(desktopRaw);
    ItemList folderItem = parseName(desktop.get(), dragFolder);
    IShellFolder* shellFolderRaw = nullptr;
    checkShell(desktop->BindToObject(folderItem.pidl, nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(&shellFolderRaw)));
    TIntf<IShellFolder> shellFolder = TIntf<IShellFolder>::adopt(shellFolderRaw);
    std::vector<ItemList> items;
    std::vector<LPCITEMIDLIST> pidls;
    for (const AnsiString& name : names) {
        items.push_back(parseName(shellFolder.get(), name));
        pidls.push_back(items.back().pidl);
    }
    IDataObject* dataRaw = nullptr;
    checkShell(shellFolder->GetUIObjectOf(nullptr, static_cast<UINT>(pidls.size()), pidls.data(), IID_IDataObject,
                                          nullptr, reinterpret_cast<void**>(&dataRaw)));
    return TIntf<IDataObject>::adopt(dataRaw);
}
