// The event record and the system object: its children, its methods (open
// and close widgets, balloon hints, the alert popup) and the hidden window
// that frees balloon hints once they have closed.
#include "host/script/systemobject.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "bridge/component.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/script/sysinfo.h"
#include "host/window/widgethost.h"
#include "rtl/codepage.h"
#include "rtl/filepath.h"
#include "ui/wndproc.h"

// ==== TEventObject ====

namespace {

const TPropInfo eventProperties[] = {
    ClassProperty<&TEventObject::Sender, &TEventObject::SetSender>("sender", &TJVCLComponent::classInfo),
    IntegerProperty<&TEventObject::wheelDelta, &TEventObject::wheelDelta>("wheelDelta"),
    IntegerProperty<&TEventObject::keyCode, &TEventObject::keyCode>("keyCode"),
    IntegerProperty<&TEventObject::x, &TEventObject::x>("x"),
    IntegerProperty<&TEventObject::y, &TEventObject::y>("y"),
    BoolProperty<&TEventObject::shiftKey, &TEventObject::shiftKey>("shiftKey"),
    BoolProperty<&TEventObject::altKey, &TEventObject::altKey>("altKey"),
    BoolProperty<&TEventObject::ctrlKey, &TEventObject::ctrlKey>("ctrlKey"),
    IntegerProperty<&TEventObject::button, &TEventObject::button>("button"),
    BoolProperty<&TEventObject::returnValue, &TEventObject::returnValue>("returnValue"),
};

}  // namespace

const TClassInfo TEventObject::classInfo =
    makeClassInfo("TEventObject", &TJObject::classInfo, eventProperties, nullptr, TGlobalInstance::No);

TEventObject::TEventObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Event");
    ClearEventRecord();
}

TEventObject::~TEventObject() { SetSender(nullptr); }

void TEventObject::ClearEventRecord() {
    SetSender(nullptr);
    wheelDelta = keyCode = x = y = button = 0;
    shiftKey = altKey = ctrlKey = false;
    returnValue = true;
}

TObject* TEventObject::Sender() const { return Sender_ && Sender_->HasVCL() ? Sender_ : nullptr; }

// Anything but a component wrapper leaves the sender empty.
void TEventObject::SetSender(TObject* sender) {
    auto* wrapper = sender && sender->InheritsFrom(&TJVCLComponent::classInfo) ? static_cast<TJVCLComponent*>(sender)
                                                                              : nullptr;
    if (wrapper == Sender_) return;
    if (Sender_) {
        Sender_->RemoveFreeNotify(this);
        RemoveFreeNotify(Sender_);
    }
    Sender_ = wrapper;
    if (Sender_) AddFreeNotify(Sender_);
}

void TEventObject::FreeNotify(TJNotify* peer) {
    TJObject::FreeNotify(peer);
    if (peer == Sender_) Sender_ = nullptr;
}

// ==== Balloon hints ====

namespace {

constexpr UINT WM_FREEBALLOON = WM_USER + 2;  // LParam: the balloon whose close has finished

// One balloon hint: a tracking tooltip with a title and a close button, shown
// at a screen point for a time. Its window is made and destroyed by it.
class TBalloonHint {
public:
    TBalloonHint(HWND owner, int x, int y, const AnsiString& title, const AnsiString& text);
    ~TBalloonHint() { DestroyWindow(Window_); }
    TBalloonHint(const TBalloonHint&) = delete;
    TBalloonHint& operator=(const TBalloonHint&) = delete;

    HWND Window() const { return Window_; }
    // False when it was hidden already.
    bool Hide();

private:
    bool Hidden_ = false;
    HWND Window_;
    HWND Owner_;
    WideString Text_;
};

TBalloonHint::TBalloonHint(HWND owner, int x, int y, const AnsiString& title, const AnsiString& text)
    : Owner_(owner), Text_(ansiToWide(text.view())) {
    Window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_CLOSE | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.lpszText = Text_.data();
    SendMessageW(Window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(Window_, TTM_SETMAXTIPWIDTH, 0, 400);
    WideString caption = ansiToWide(title.view());
    SendMessageW(Window_, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(caption.c_str()));
    SendMessageW(Window_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    SendMessageW(Window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    MessageBeep(MB_ICONASTERISK);
}

bool TBalloonHint::Hide() {
    if (Hidden_) return false;
    Hidden_ = true;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Owner_;
    SendMessageW(Window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    return true;
}

}  // namespace

// The balloons of one system object, freed by its message window once closed.
struct TSystemObject::Balloons {
    std::vector<std::unique_ptr<TBalloonHint>> List;
    std::unique_ptr<TMessageWindow> Window;

    // Shown for ms milliseconds; the timer's id is the balloon's address.
    void Show(int x, int y, const AnsiString& title, const AnsiString& text, int32_t ms) {
        List.push_back(std::make_unique<TBalloonHint>(Window->Handle(), x, y, title, text));
        SetTimer(Window->Handle(), reinterpret_cast<UINT_PTR>(List.back().get()), std::max(ms, 1), nullptr);
    }
    // A balloon's time is up or its close button was pressed: it is hidden
    // now and freed once this message has been handled.
    void Close(TBalloonHint* balloon) {
        KillTimer(Window->Handle(), reinterpret_cast<UINT_PTR>(balloon));
        if (balloon->Hide())
            PostMessageA(Window->Handle(), WM_FREEBALLOON, 0, reinterpret_cast<LPARAM>(balloon));
    }
    // The listed balloon with that window, or at that address (a timer's id).
    TBalloonHint* Find(const void* key) const {
        for (const auto& balloon : List)
            if (balloon->Window() == key || balloon.get() == key) return balloon.get();
        return nullptr;
    }
    void Handle(TMessage& message, bool& handled) {
        if (message.Msg == WM_TIMER) {
            if (TBalloonHint* balloon = Find(reinterpret_cast<const void*>(message.WParam))) Close(balloon);
            handled = true;
        } else if (message.Msg == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
            TBalloonHint* balloon = Find(header->hwndFrom);
            if (balloon && header->code == static_cast<UINT>(TTN_POP)) Close(balloon);
        } else if (message.Msg == WM_FREEBALLOON) {
            auto* balloon = reinterpret_cast<TBalloonHint*>(message.LParam);
            std::erase_if(List, [&](const auto& b) { return b.get() == balloon; });
            handled = true;
        }
    }
};

// ==== TSystemObject ====

namespace {

// The engines' system objects: one per engine.
std::vector<TSystemObject*> systemObjects;

// A namespace after the first gets the engine's existing system object.
TJObject* systemInstance(TJRuntime* runtime, bool registering, TJValueList* args) {
    if (TSystemObject* existing = TSystemObject::Of(runtime)) return existing;
    return createObject<TSystemObject>(runtime, registering, args);
}

constexpr TJScriptCreator systemCreator{{}, &systemInstance};

const TPropInfo systemProperties[] = {
    ClassProperty<&TSystemObject::Cpu>("Cpu", &TCpuObject::classInfo),
    ClassProperty<&TSystemObject::Net>("Net", &TNetObject::classInfo),
    ClassProperty<&TSystemObject::Memory>("Memory", &TMemoryObject::classInfo),
    ClassProperty<&TSystemObject::Battery>("Battery", &TBatteryObject::classInfo),
    ClassProperty<&TSystemObject::Screen>("Screen", &TScreenObject::classInfo),
    ClassProperty<&TSystemObject::DiskDrive>("DiskDrive", &TDiskDriveObject::classInfo),
    ClassProperty<&TSystemObject::Event>("Event", &TEventObject::classInfo),
};

// ---- Methods: each but close answers false until it has acted ----

// Loads the widget unless it is loaded already.
void systemOpen(TSystemObject&, TJValueList* args, TJValue& result) {
    if (TWidgetHost* host = WidgetHost()) MakeBool(host->OpenWidget(expandFileName(ValueToString(&args->At(0)))), result);
}

// The unload waits until the running script has returned: the widget may be
// the caller itself.
void systemClose(TSystemObject& self, TJValueList* args, TJValue& result) {
    AnsiString path = HasArgs(args) ? expandFileName(ValueToString(&args->At(0))) : self.ScriptFile();
    if (TWidgetHost* host = WidgetHost()) host->PostUnloadWidget(path);
    MakeBool(true, result);
}

void systemShowBalloonHint(TSystemObject& self, TJValueList* args, TJValue& result) {
    int32_t ms = ArgCount(args) >= 5 ? ValueToInteger(&args->At(4)) : 5000;
    self.ShowBalloonHint(ValueToInteger(&args->At(0)), ValueToInteger(&args->At(1)), ValueToString(&args->At(2)),
                         ValueToString(&args->At(3)), ms);
    MakeBool(true, result);
}

void systemShowAlertPopup(TSystemObject& self, TJValueList* args, TJValue& result) {
    TWidgetHost* host = WidgetHost();
    if (!host) return;
    SetCurrentDirectoryA(self.ScriptFolder().c_str());
    AnsiString url = HasThreeArgs(args) ? ValueToString(&args->At(2)) : AnsiString();
    int32_t timeOut = ArgCount(args) >= 4 ? ValueToInteger(&args->At(3)) : 0;
    MakeBool(host->ShowAlertPopup(ValueToString(&args->At(0)), ValueToString(&args->At(1)),
                                  HasThreeArgs(args) ? &url : nullptr, ArgCount(args) >= 4 ? &timeOut : nullptr),
             result);
}

constexpr TJMethodResult answer = TJMethodResult::False;

const TJMethod<TSystemObject> systemMethods[] = {
    {"close", 0, &systemClose},
    {"open", 1, &systemOpen, answer},
    {"showBalloonHint", 4, &systemShowBalloonHint, answer},
    {"showAlertPopup", 2, &systemShowAlertPopup, answer},
};

}  // namespace

const TClassInfo TSystemObject::classInfo =
    makeClassInfo("TSystemObject", &TJObject::classInfo, systemProperties, &systemCreator, TGlobalInstance::Yes);

TSystemObject::TSystemObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Balloons_(std::make_unique<Balloons>()) {
    SetClassName("system");
    ScriptFile_ = runtime->GetScriptFileName();
    ScriptFolder_ = fileFolder(ScriptFile_);
    Children_[scCpu] = createObject<TCpuObject>(runtime, false, nullptr);
    Children_[scNet] = createObject<TNetObject>(runtime, false, nullptr);
    Children_[scMemory] = createObject<TMemoryObject>(runtime, false, nullptr);
    Children_[scBattery] = createObject<TBatteryObject>(runtime, false, nullptr);
    Children_[scScreen] = createObject<TScreenObject>(runtime, false, nullptr);
    Children_[scDiskDrive] = createObject<TDiskDriveObject>(runtime, false, nullptr);
    for (TJObject* child : Children_) child->IncRef();
    Event_ = createObject<TEventObject>(runtime, false, nullptr);
    Event_->IncRef();
    // Top-level: a message-only window cannot own the balloons.
    Balloons_->Window = std::make_unique<TMessageWindow>(
        TMessageWindow::THandler::bind<&Balloons::Handle>(Balloons_.get()), nullptr, true);
    systemObjects.push_back(this);
}

TSystemObject::~TSystemObject() {
    std::erase(systemObjects, this);
    for (TJObject* child : Children_) child->DecRef();
    Event_->DecRef();
    Balloons_.reset();
}

TSystemObject* TSystemObject::Of(TJRuntime* runtime) {
    for (TSystemObject* system : systemObjects)
        if (system->Runtime() == runtime) return system;
    return nullptr;
}

void TSystemObject::ShowBalloonHint(int x, int y, const AnsiString& title, const AnsiString& text, int32_t ms) {
    Balloons_->Show(x, y, title, text, ms);
}

const TJMethodTable& TSystemObject::Methods() const {
    static const TJMethodTable table(systemMethods, TJObject::Methods());
    return table;
}
