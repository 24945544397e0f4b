// TMainForm: the program's hidden main form. It owns every loaded widget (one
// engine each, with the translated script its errors are shown against),
// every widget window and every widget settings file; it loads, unloads and
// reloads widgets, takes the command line of its own start and of later
// starts, and carries the tray icon and its menu, the global hotkey, the
// widget-folder menu and the exit. Unloading never runs under the code being
// unloaded: the windows' menus and scripts post their requests here, and a
// request that arrives while the widget is busy - its script still on the
// stack (a modal loop it opened, such as alert's, dispatches posted messages)
// or one of its settings dialogs open - waits until it is idle again. It is
// the widget host (TWidgetHost) of the windows and script classes.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "engine/orovod.h"
#include "host/app/appinstances.h"
#include "host/widget/setting.h"
#include "host/window/widgethost.h"
#include "ui/forms.h"

class TAlertPopUp;
class TFindFile;
class THotKeyManager;
class TIconHide;
class TMenuItem;
class TPopupMenu;
class TSkinForm;
class TTrayIcon;

// The messages of the main form; LPARAM is the window's handle, so that a
// request for a window freed meanwhile finds none.
enum : UINT {
    WM_CLOSEWIDGETWINDOW = WM_USER + 2,  // posted by "閉じる" and the script's close()
    WM_RELOADWIDGET = WM_USER + 3,       // posted by "再読込"
};

class TMainForm : public TForm, public TWidgetHost {
    RTL_DECLARE_CLASS()
    // Takes over the single-instance component, loads the stored widgets and
    // those the parameters name.
    TMainForm(TComponent* owner, TAppInstances* instances, const TParameters& parameters);

    // ---- Widgets ----
    // Loads one widget file; false when it could not be read, translated or
    // compiled (the user was told why).
    bool LoadWidget(const AnsiString& path);
    TSetting* FindWidgetSetting(const AnsiString& path) const;
    DIZI* FindWidgetEngine(const AnsiString& path) const;
    void UnloadWidget(const AnsiString& path);
    void UnloadWidgetAt(int index);
    void UnloadAllWidgets();
    void HandleCommandLine(const TParameters& parameters, bool reload);
    // The engines' error report: the message and the lines of the script around it.
    void ShowScriptError(TObject* engine, int32_t line, const AnsiString& message);

    int WidgetCount() const { return static_cast<int>(DIZIList.size()); }
    DIZI* Widget(int index) const { return DIZIList[index].engine; }
    const std::vector<TSkinForm*>& Windows() const { return TFormList; }

    // ---- The widget host ----
    void RegisterWindow(TSkinForm* window) override;
    void PostCloseWindow(TSkinForm* window) override;
    void PostReloadWidget(TSkinForm* window) override;
    void FillWidgetMenu(TObject* entry) override { actSkinExecute(entry); }
    bool OpenWidget(const AnsiString& path) override;
    // Unloads the widget of that script file name (a menu entry, system.close()).
    void PostUnloadWidget(const AnsiString& path) override;
    TSetting* WidgetSetting(const AnsiString& path) override { return FindWidgetSetting(path); }
    AnsiString WidgetHelpFile(const AnsiString& path) override;
    // A link turns on opening it and the hover underline; a time-out stays
    // for later calls of any widget.
    bool ShowAlertPopup(const AnsiString& title, const AnsiString& text, const AnsiString* url,
                        const int32_t* timeOut) override;
    // The exit: stores the loaded widgets, unloads them and ends the program.
    void PostExit() override;

    // ---- Menu commands, shared with the widget windows' menus ----
    // Fills the clicked "ウィジェット" entry with the widget files of the program folder.
    void actSkinExecute(TObject* sender);
    void actExitExecute(TObject*) { PostExit(); }
    // The host settings dialog: the show-all hotkey, stored and registered anew on OK.
    void NMainSettingClick(TObject* sender);
    void NAboutClick(TObject* sender);

    TTrayIcon* TrayIcon;
    TPopupMenu* TrayMenu;
    TMenuItem* NSkin;
    TMenuItem* NMainSetting;
    TMenuItem* NAbout;
    TMenuItem* NExit;
    TFindFile* FindFile;
    TIconHide* IconHide;
    THotKeyManager* HotKeyManager;
    TAppInstances* AppInstances;
    TAlertPopUp* AlertPopUp;  // behind system.showAlertPopup

protected:
    ~TMainForm() override;
    // The end of the main form (FormDestroy) runs here, while the form is
    // whole: the windows of widgets still loaded tell it of their end.
    void BeforeDestruction() override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    // A loaded widget: its engine and the script text its errors are shown against.
    struct TLoadedWidget {
        DIZI* engine;
        AnsiString source;
    };

    void FormCreate(const TParameters& parameters);
    void FormDestroy();
    void buildTrayMenu();
    TMenuItem* newMenuItem(const AnsiString& caption, TNotifyEvent onClick);
    DIZI* newEngine(const AnsiString& path);
    void exitNow();
    // The stored show-all hotkey and whether it is on.
    uint32_t storedHotKey() const;
    bool hotKeyEnabled() const;
    // Shows a host dialog modally with the tray menu off the tray icon, runs
    // `confirmed` after OK, and frees the dialog and gives the menu back
    // however it ends.
    void runHostDialog(TForm* dialog, const std::function<void()>& confirmed);
    void post(std::function<void()> action);
    void runPosted();
    // Runs the action now when there is no engine or its widget is not busy,
    // else once it is idle.
    void whenIdle(DIZI* engine, std::function<void()> action);
    // Its script is on the stack or a window of it shows its settings dialog.
    bool widgetBusy(DIZI* engine) const;
    void runWaiting();
    void reloadWidget(const AnsiString& path);

    void WMCloseWidgetWindow(HWND window);
    void WMReloadWidget(HWND window);
    TSkinForm* registeredWindow(HWND window) const;

    void TrayIconClick(TObject* sender);
    void HotKeyManagerHotKeyPressed(TObject* sender, uint32_t hotkey, int index);
    void AppInstancesCmdLineReceived(TObject* sender, const TParameters& parameters);
    void FindFileFind(TObject* sender, const AnsiString& fileName, const AnsiString& folderPath, bool& abort,
                      const WIN32_FIND_DATAA& data);
    void actSelectSkinExecute(TObject* sender);

    std::unique_ptr<TSetting> Configuration;
    AnsiString ProgramFolder;  // ends with a back-slash
    AnsiString StartFolder;    // relative "-s" paths are taken from here (widgets may change the current one)
    std::vector<TLoadedWidget> DIZIList;
    std::vector<TSkinForm*> TFormList;
    std::vector<std::unique_ptr<TSetting>> TSkinSettingList;
    std::vector<AnsiString> Unloading;  // widgets whose unload is under way
    TMenuItem* SkinMenu = nullptr;  // the "ウィジェット" entry being filled
    std::deque<std::function<void()>> Posted;
    std::vector<std::function<void()>> Waiting;  // for a script to return
    AnsiString LoadingSource;  // the script text of the widget being loaded
};
