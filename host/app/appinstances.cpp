// Single instance: a named mutex per executable tells a later start that an
// instance runs; that instance's message-only window, titled with the same
// name, receives the parameters as WM_COPYDATA.
#include "host/app/appinstances.h"

#include "engine/support/mbstring.h"
#include "ui/application.h"

namespace {

const char kWindowClass[] = "TAppInstances";
constexpr UINT kDeliver = WM_USER + 1;  // posted to the own window: hand the received lists on
constexpr ULONG_PTR kParametersData = 0x4E494D42;  // WM_COPYDATA's tag for a parameter block
constexpr DWORD kFindTimeout = 5000;  // ms a later start waits for the first one's window

// The instance name: the executable's path, without the back-slashes that
// kernel object names reserve.
AnsiString instanceName() {
    char path[MAX_PATH];
    AnsiString name = "Nimbora " + AnsiString(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    char* bytes = name.mutableData();
    for (size_t i = 0; i < name.length(); ++i)
        if (bytes[i] == '\\') bytes[i] = '/';
    return lowerCaseAscii(name);
}

// The running instance's window; it may still be starting. It is made
// message-only, but a window made while the system's message-only parent is
// not there yet (Wine while its desktop process starts) ends up top-level.
HWND findRunningInstance(const AnsiString& name) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kFindTimeout; Sleep(50)) {
        for (HWND parent : {HWND_MESSAGE, HWND(nullptr)})
            if (HWND window = FindWindowExA(parent, nullptr, kWindowClass, name.c_str())) return window;
    }
    return nullptr;
}

}  // namespace

const TClassInfo TAppInstances::classInfo = makeClassInfo("TAppInstances", &TComponent::classInfo);

TAppInstances::TAppInstances(TComponent* owner, const TParameters& parameters) : TComponent(owner) {
    AnsiString name = instanceName();
    Mutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
    if (Mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
        HandedOver_ = true;
        if (HWND running = findRunningInstance(name)) {
            AnsiString block = packParameters(handOverParameters(parameters, startFolder()));
            COPYDATASTRUCT data{kParametersData, static_cast<DWORD>(block.length()), const_cast<char*>(block.data())};
            DWORD_PTR answer;
            SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                kFindTimeout, &answer);
        }
        return;
    }
    TCreateParams params;
    params.WinClassName = kWindowClass;
    params.Caption = name;
    params.ClassStyle = 0;
    params.WndParent = HWND_MESSAGE;
    WNDPROC defaultProc;
    CreateTargetWindow(this, params, defaultProc);
}

TAppInstances::~TAppInstances() {
    Destroying();
    if (Window_) DestroyTargetWindow(Window_);
    if (Mutex_) CloseHandle(Mutex_);
}

void TAppInstances::WindowMessage(TMessage& message) {
    if (message.Msg == WM_COPYDATA) {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(message.LParam);
        if (data->dwData != kParametersData) return;
        Received_.push_back(unpackParameters({static_cast<const char*>(data->lpData), data->cbData}));
        PostMessageA(Window_, kDeliver, 0, 0);
        message.Result = 1;
    } else if (message.Msg == kDeliver) {
        deliver();
    } else {
        message.Result = DefWindowProcA(Window_, message.Msg, message.WParam, message.LParam);
    }
    if (message.Msg == WM_NCDESTROY) Window_ = nullptr;
}

// Each list is taken off the queue before its handler runs, which may wait in
// a nested message loop where the next one arrives.
void TAppInstances::deliver() {
    TKeepAlive keep(this);
    while (!Received_.empty()) {
        TParameters parameters = std::move(Received_.front());
        Received_.pop_front();
        OnCmdLineReceived(this, parameters);
    }
}
