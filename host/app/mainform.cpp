// The main form: start-up, loading and unloading widgets, the command line,
// the tray icon and its menu, the hotkey, the widget-folder menu and the exit.
#include "host/app/mainform.h"

#include "engine/core/hooks.h"
#include "engine/support/mbstring.h"
#include "host/app/errorbox.h"
#include "host/app/findfile.h"
#include "host/app/hostdialogs.h"
#include "host/app/hotkeys.h"
#include "host/app/iconhide.h"
#include "host/app/widgetlist.h"
#include "host/script/hostclasses.h"
#include "host/script/timermenuwidget.h"
#include "host/widget/widgetxml.h"
#include "host/window/layerwindow.h"
#include "host/window/skinform.h"
#include "rtl/filepath.h"
#include "rtl/numtext.h"
#include "ui/alertpopup.h"
#include "ui/comctrls.h"
#include "ui/menus.h"
#include "ui/trayicon.h"

namespace {

constexpr UINT WM_RUNPOSTED = WM_USER + 20;  // posted: run the requests waiting in Posted
constexpr UINT_PTR kWaitTimer = 1;           // looks again at the requests waiting for a script
constexpr UINT kWaitInterval = 50;           // ms

AnsiString programPath() {
    char path[MAX_PATH];
    return AnsiString(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

// Every error box of the host: no owner window, the error icon.
void showErrorBox(const AnsiString& text) {
    callPlatform([&] { return MessageBoxA(nullptr, text.c_str(), kErrorBoxCaption, MB_OK | MB_ICONERROR); });
}

// The program's main window: the Global object's applicationHandle and
// mainFormHandle, and the owner of the scripts' message boxes.
HWND mainWindow() {
    TCustomForm* form = Application->MainForm();
    return form ? form->Handle() : nullptr;
}

// A settings file that could not be read is reported; it starts empty.
std::unique_ptr<TSetting> openSetting(const AnsiString& fileName) {
    auto setting = std::make_unique<TSetting>(fileName);
    if (!setting->loadError().empty()) showErrorBox(setting->loadError());
    return setting;
}

}  // namespace

bool TMainForm::ShowAlertPopup(const AnsiString& title, const AnsiString& text, const AnsiString* url,
                               const int32_t* timeOut) {
    TAlertPopUp* popup = AlertPopUp;
    popup->Title = title;
    popup->Text = text;
    popup->URL = url ? *url : AnsiString();
    uint8_t linkOption = setOf(msnAutoOpenURL), underline = fontStyle(fsUnderline);
    popup->Options = url ? popup->Options | linkOption : popup->Options & ~linkOption;
    TFont* hover = popup->HoverFont();
    hover->SetStyle(url ? hover->Style() | underline : hover->Style() & ~underline);
    if (timeOut) popup->TimeOut = *timeOut;
    return popup->ShowPopUp();
}

const TClassInfo TMainForm::classInfo = makeClassInfo("TMainForm", &TForm::classInfo);

TMainForm::TMainForm(TComponent* owner, TAppInstances* instances, const TParameters& parameters)
    : TForm(owner), AppInstances(instances), StartFolder(startFolder()) {
    Application->SetMainForm(this);
    SetCaption("MainForm");
    SetBorderStyle(bsDialog);
    setVisibleFlag(false);
    InsertComponent(AppInstances);
    AppInstances->OnCmdLineReceived = TCmdLineReceivedEvent::bind<&TMainForm::AppInstancesCmdLineReceived>(this);
    TrayMenu = new TPopupMenu(this);
    buildTrayMenu();
    SetPopupMenu(TrayMenu);
    TrayIcon = new TTrayIcon(this);
    TrayIcon->SetHint("Nimbora");
    TrayIcon->SetPopupMenu(TrayMenu);
    TrayIcon->OnClick = TNotifyEvent::bind<&TMainForm::TrayIconClick>(this);
    FindFile = new TFindFile(this);
    FindFile->FileMask.Add("*.xml");
    FindFile->OnFind = TFindEvent::bind<&TMainForm::FindFileFind>(this);
    IconHide = new TIconHide(this);
    HotKeyManager = new THotKeyManager(this);
    HotKeyManager->OnHotKeyPressed = THotKeyEvent::bind<&TMainForm::HotKeyManagerHotKeyPressed>(this);
    AlertPopUp = new TAlertPopUp(this);
    SetWidgetHost(this);
    JGlobalHooks.AppWindow = JGlobalHooks.MainFormHandle = &mainWindow;
    FormCreate(parameters);
}

TMainForm::~TMainForm() {
    if (WidgetHost() == this) SetWidgetHost(nullptr);
}

void TMainForm::BeforeDestruction() {
    TForm::BeforeDestruction();
    FormDestroy();
}

TMenuItem* TMainForm::newMenuItem(const AnsiString& caption, TNotifyEvent onClick) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    item->OnClick = onClick;
    return item;
}

void TMainForm::buildTrayMenu() {
    NSkin = newMenuItem("ウィジェット", TNotifyEvent::bind<&TMainForm::actSkinExecute>(this));
    TMenuItem* placeholder = newMenuItem("", {});
    placeholder->SetVisible(false);
    NSkin->Add(placeholder);
    NMainSetting = newMenuItem("設定", TNotifyEvent::bind<&TMainForm::NMainSettingClick>(this));
    NAbout = newMenuItem("Nimboraについて", TNotifyEvent::bind<&TMainForm::NAboutClick>(this));
    NExit = newMenuItem("終了", TNotifyEvent::bind<&TMainForm::actExitExecute>(this));
    TrayMenu->Items()->Add({NSkin, newMenuItem("-", {}), NMainSetting, newMenuItem("-", {}), NAbout, NExit});
}

// ==== Start and end ====

void TMainForm::FormCreate(const TParameters& parameters) {
    SetSystemFont(Font());
    AnsiString program = programPath();
    ProgramFolder = fileFolder(program);
    AnsiString icon = changeFileExt(program, ".ico");
    if (fileExists(icon)) TrayIcon->LoadIconFromFile(icon);
    TrayIcon->SetVisible(true);
    Configuration = openSetting(changeFileExt(program, ".config"));
    SetWidth(0);
    NSkin->SetEnabled(false);
    for (const AnsiString& widget : storedWidgets(*Configuration, ProgramFolder)) LoadWidget(widget);
    HandleCommandLine(parameters, false);
    NSkin->SetEnabled(true);
    if (hotKeyEnabled()) HotKeyManager->AddHotKey(storedHotKey());
    SetBounds(Left(), Top(), 0, 0);
}

void TMainForm::FormDestroy() {
    if (Configuration) {
        try {
            Configuration->Save();
        } catch (const Exception& e) {
            showErrorBox(e.message());
        }
    }
    UnloadAllWidgets();
}

void TMainForm::PostExit() {
    post([this] { exitNow(); });
}

void TMainForm::exitNow() {
    for (const TLoadedWidget& widget : DIZIList)
        if (widgetBusy(widget.engine)) return whenIdle(widget.engine, [this] { exitNow(); });
    std::vector<AnsiString> names;
    for (const TLoadedWidget& widget : DIZIList) names.push_back(widget.engine->ScriptFileName());
    storeWidgets(*Configuration, ProgramFolder, names);
    UnloadAllWidgets();
    Application->Terminate();
}

// ==== Loading and unloading ====

DIZI* TMainForm::newEngine(const AnsiString& path) {
    auto* engine = new DIZI(this);
    ImportHostClasses(*engine);
    engine->SetOnError(TErrorEvent::bind<&TMainForm::ShowScriptError>(this));
    engine->LibraryPath().Add(fileFolder(path));
    // The widget's identity from here on; the XML file itself is not compiled.
    engine->Engine().ScriptFileName = path;
    return engine;
}

bool TMainForm::LoadWidget(const AnsiString& fileName) {
    AnsiString path = expandFileName(fileName);
    DIZI* engine = newEngine(path);
    AnsiString source;
    try {
        TMyXMLParser parser;
        source = parser.TranslateFile(path);
    } catch (const Exception& e) {
        engine->Free();
        showErrorBox(e.message());
        return false;
    }
    // Errors of the compile are shown against this text.
    LoadingSource = source;
    bool compiled = engine->Compile(source);
    LoadingSource.clear();
    if (!compiled) {
        engine->Free();
        return false;
    }
    TSkinSettingList.push_back(openSetting(changeFileExt(path, ".config")));
    DIZIList.push_back({engine, source});
    engine->RunNoArgs();
    return true;
}

TSetting* TMainForm::FindWidgetSetting(const AnsiString& path) const {
    AnsiString config = changeFileExt(path, ".config");
    for (const auto& setting : TSkinSettingList)
        if (setting->fileName() == config) return setting.get();
    return nullptr;
}

DIZI* TMainForm::FindWidgetEngine(const AnsiString& path) const {
    for (const TLoadedWidget& widget : DIZIList)
        if (widget.engine->ScriptFileName() == path) return widget.engine;
    return nullptr;
}

void TMainForm::UnloadWidget(const AnsiString& path) {
    for (int i = WidgetCount() - 1; i >= 0; --i)
        if (DIZIList[i].engine->ScriptFileName() == path) return UnloadWidgetAt(i);
}

// An unload asked for again while it runs (from a closing window's handler)
// is ignored. The windows' states are written while they close and are freed,
// so the settings file is saved last.
void TMainForm::UnloadWidgetAt(int index) {
    DIZI* engine = DIZIList[index].engine;
    AnsiString name = engine->ScriptFileName();
    if (std::find(Unloading.begin(), Unloading.end(), name) != Unloading.end()) return;
    if (widgetBusy(engine)) return whenIdle(engine, [this, name] { UnloadWidget(name); });
    Unloading.push_back(name);
    struct Done {
        std::vector<AnsiString>& list;
        ~Done() { list.pop_back(); }
    } done{Unloading};
    auto windowsOf = [&] {
        std::vector<TSkinForm*> windows;
        for (TSkinForm* window : TFormList)
            if (window->ScriptFileName == name) windows.insert(windows.begin(), window);
        return windows;
    };
    for (TSkinForm* window : windowsOf()) window->Close();
    FireWidgetUnload(*DIZIList[index].engine);
    for (TSkinForm* window : windowsOf()) window->Free();
    auto widget = std::find_if(DIZIList.begin(), DIZIList.end(),
                               [&](const TLoadedWidget& w) { return w.engine->ScriptFileName() == name; });
    if (widget != DIZIList.end()) {
        DIZI* engine = widget->engine;
        DIZIList.erase(widget);
        engine->Free();
    }
    AnsiString config = changeFileExt(name, ".config");
    auto setting = std::find_if(TSkinSettingList.begin(), TSkinSettingList.end(),
                                [&](const auto& s) { return s->fileName() == config; });
    if (setting == TSkinSettingList.end()) return;
    std::unique_ptr<TSetting> file = std::move(*setting);
    TSkinSettingList.erase(setting);
    try {
        file->Save();
    } catch (const Exception& e) {
        showErrorBox(e.message());
    }
}

void TMainForm::UnloadAllWidgets() {
    for (int i = WidgetCount() - 1; i >= 0; --i)
        if (i < WidgetCount()) UnloadWidgetAt(i);
}

void TMainForm::PostUnloadWidget(const AnsiString& path) {
    post([this, path] { UnloadWidget(path); });
}

bool TMainForm::OpenWidget(const AnsiString& path) { return !FindWidgetEngine(path) && LoadWidget(path); }

AnsiString TMainForm::WidgetHelpFile(const AnsiString& path) {
    DIZI* engine = FindWidgetEngine(path);
    return engine ? ::WidgetHelpFile(*engine) : AnsiString();
}

void TMainForm::HandleCommandLine(const TParameters& parameters, bool reload) {
    AnsiString path = widgetFromCommandLine(parameters, StartFolder);
    if (path.empty()) return;
    if (reload) {
        reloadWidget(path);
    } else if (!FindWidgetEngine(path)) {
        LoadWidget(path);
    }
}

void TMainForm::AppInstancesCmdLineReceived(TObject*, const TParameters& parameters) {
    HandleCommandLine(parameters, true);
}

void TMainForm::ShowScriptError(TObject* engine, int32_t line, const AnsiString& message) {
    AnsiString source = LoadingSource;
    for (const TLoadedWidget& widget : DIZIList)
        if (widget.engine == engine) source = widget.source;
    showErrorBox(scriptErrorText(source, line, message));
}

// ==== Messages ====

void TMainForm::post(std::function<void()> action) {
    Posted.push_back(std::move(action));
    PostMessageA(Handle(), WM_RUNPOSTED, 0, 0);
}

void TMainForm::runPosted() {
    if (Posted.empty()) return;
    std::function<void()> action = std::move(Posted.front());
    Posted.pop_front();
    action();
}

// A settings dialog holds its widget's settings and is left open by the
// reload of a later start or by the exit: the unload waits for the user to
// close it rather than closing it as a Cancel, so that what was typed there is
// stored by OK and the reloaded widget starts from it.
bool TMainForm::widgetBusy(DIZI* engine) const {
    if (engine->Engine().ScriptActive()) return true;
    AnsiString name = engine->ScriptFileName();
    return std::any_of(TFormList.begin(), TFormList.end(), [&](TSkinForm* window) {
        return window->ScriptFileName == name && window->SettingDialogOpen();
    });
}

void TMainForm::whenIdle(DIZI* engine, std::function<void()> action) {
    if (!engine || !widgetBusy(engine)) return action();
    Waiting.push_back([this, engine, action = std::move(action)] {
        // The engine may have been freed meanwhile: only a listed one is asked.
        for (const TLoadedWidget& widget : DIZIList)
            if (widget.engine == engine) return whenIdle(engine, action);
        action();
    });
    SetTimer(Handle(), kWaitTimer, kWaitInterval, nullptr);
}

void TMainForm::runWaiting() {
    KillTimer(Handle(), kWaitTimer);
    std::vector<std::function<void()>> waiting;
    waiting.swap(Waiting);
    for (auto& action : waiting) action();
}

void TMainForm::WndProc(TMessage& message) {
    HWND window = reinterpret_cast<HWND>(message.LParam);
    switch (message.Msg) {
    case WM_CLOSEWIDGETWINDOW: return WMCloseWidgetWindow(window);
    case WM_RELOADWIDGET: return WMReloadWidget(window);
    case WM_RUNPOSTED: return runPosted();
    case WM_TIMER:
        if (message.WParam == kWaitTimer) return runWaiting();
        return TForm::WndProc(message);
    default: TForm::WndProc(message);
    }
}

void TMainForm::RegisterWindow(TSkinForm* window) {
    if (std::find(TFormList.begin(), TFormList.end(), window) != TFormList.end()) return;
    TFormList.push_back(window);
    window->FreeNotification(this);
    if (TSetting* setting = FindWidgetSetting(window->ScriptFileName)) window->Setting = setting;
}

void TMainForm::PostCloseWindow(TSkinForm* window) {
    PostMessageA(Handle(), WM_CLOSEWIDGETWINDOW, 0, reinterpret_cast<LPARAM>(window->Handle()));
}

void TMainForm::PostReloadWidget(TSkinForm* window) {
    PostMessageA(Handle(), WM_RELOADWIDGET, 0, reinterpret_cast<LPARAM>(window->Handle()));
}

TSkinForm* TMainForm::registeredWindow(HWND handle) const {
    for (TSkinForm* window : TFormList)
        if (window->HandleAllocated() && window->Handle() == handle) return window;
    return nullptr;
}

void TMainForm::WMCloseWidgetWindow(HWND handle) {
    TSkinForm* window = registeredWindow(handle);
    if (!window) return;
    if (window->Main) UnloadWidget(window->ScriptFileName);
    else window->Close();
}

void TMainForm::WMReloadWidget(HWND handle) {
    TSkinForm* window = registeredWindow(handle);
    if (!window) return;
    reloadWidget(window->ScriptFileName);
}

// The new copy is loaded only once the old one is gone.
void TMainForm::reloadWidget(const AnsiString& path) {
    whenIdle(FindWidgetEngine(path), [this, path] {
        UnloadWidget(path);
        LoadWidget(path);
    });
}

// A window leaves the list however it is freed.
void TMainForm::Notification(TComponent* component, TOperation operation) {
    TForm::Notification(component, operation);
    if (operation != opRemove) return;
    auto found = std::find(TFormList.begin(), TFormList.end(), component);
    if (found != TFormList.end()) TFormList.erase(found);
}

// ==== Tray, hotkey and widget-folder menu ====

void TMainForm::TrayIconClick(TObject*) {
    SetVisible(!Visible());
    for (TSkinForm* window : std::vector<TSkinForm*>(TFormList)) {
        if (window->Closed) continue;
        window->SetVisible(Visible());
        if (Visible()) SetForegroundWindow(window->Handle());
    }
}

void TMainForm::HotKeyManagerHotKeyPressed(TObject*, uint32_t, int) {
    for (TSkinForm* window : std::vector<TSkinForm*>(TFormList)) {
        SetVisible(true);
        window->SetVisible(true);
        SetForegroundWindow(window->Handle());
    }
}

uint32_t TMainForm::storedHotKey() const {
    int32_t hotkey = kDefaultHotKey;
    textToInt32(Configuration->ReadValue("HotKey", "32833"), hotkey);
    return static_cast<uint32_t>(hotkey);
}

// Missing or not a number: off.
bool TMainForm::hotKeyEnabled() const {
    int32_t enabled = 0;
    textToInt32(Configuration->ReadValue("EnabledHotKey", "0"), enabled);
    return enabled != 0;
}

void TMainForm::runHostDialog(TForm* dialog, const std::function<void()>& confirmed) {
    TrayIcon->SetPopupMenu(nullptr);
    struct Restore {
        TMainForm* form;
        TForm* dialog;
        ~Restore() {
            dialog->Free();
            form->TrayIcon->SetPopupMenu(form->TrayMenu);
        }
    } restore{this, dialog};
    if (dialog->ShowModal() == mrOk && confirmed) confirmed();
}

void TMainForm::NMainSettingClick(TObject*) {
    auto* dialog = new TMainSettingForm(this);
    dialog->HotKeyEdit->SetHotKey(static_cast<TShortCut>(storedHotKey()));
    dialog->EnabledHotKeyCheck->SetChecked(hotKeyEnabled());
    runHostDialog(dialog, [&] {
        TShortCut hotkey = dialog->HotKeyEdit->HotKey();
        bool enabled = dialog->EnabledHotKeyCheck->Checked();
        Configuration->WriteValue("HotKey", intToText(hotkey));
        Configuration->WriteValue("EnabledHotKey", enabled ? "-1" : "0");
        HotKeyManager->RemoveAllHotKeys();
        if (enabled) HotKeyManager->AddHotKey(hotkey);
    });
}

void TMainForm::NAboutClick(TObject*) { runHostDialog(new TAboutForm(this), {}); }

void TMainForm::actSkinExecute(TObject* sender) {
    SkinMenu = dynamic_cast<TMenuItem*>(sender);
    if (!SkinMenu) return;
    for (int i = SkinMenu->Count() - 1; i >= 1; --i) {
        TMenuItem* item = SkinMenu->Items(i);
        SkinMenu->Delete(i);
        item->Free();
    }
    FindFile->FolderName = ProgramFolder + "widget";
    FindFile->Execute();
}

void TMainForm::FindFileFind(TObject*, const AnsiString& fileName, const AnsiString& folderPath, bool&,
                             const WIN32_FIND_DATAA&) {
    if (!SkinMenu) return;
    TMenuItem* item = newMenuItem(changeFileExt(fileName, ""), TNotifyEvent::bind<&TMainForm::actSelectSkinExecute>(this));
    try {
        AnsiString path = folderPath + fileName;
        item->SetHint(path);
        for (int i = 0; i < WidgetCount(); ++i) {
            if (Widget(i)->ScriptFileName() != path) continue;
            item->SetChecked(true);
            item->SetTag(i);
        }
        SkinMenu->Add(item);
    } catch (...) {
        item->Free();
        throw;
    }
}

// A checked entry unloads its widget once the menu's handler has returned.
void TMainForm::actSelectSkinExecute(TObject* sender) {
    auto* item = static_cast<TMenuItem*>(sender);
    if (!item->Checked()) {
        LoadWidget(item->Hint());
    } else if (item->Tag() < WidgetCount()) {
        PostUnloadWidget(Widget(item->Tag())->ScriptFileName());
    }
}
