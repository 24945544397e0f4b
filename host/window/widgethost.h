// TWidgetHost: what the widget windows and the host's script classes need of
// the program - the widgets' loading and unloading, their settings files and
// help files, the widget-folder menu, the alert popup and the exit. The main
// form (host/app/mainform.h) implements it and hands it over at its start;
// without a host (a test that makes windows alone) these requests do nothing.
#pragma once

#include "rtl/ansistring.h"

class TObject;
class TSetting;
class TSkinForm;

class TWidgetHost {
public:
    // ---- Windows ----
    // A new window files itself while its script runs.
    virtual void RegisterWindow(TSkinForm* window) = 0;
    // Closes the window once the current handler has returned; closing a
    // main window unloads its widget.
    virtual void PostCloseWindow(TSkinForm* window) = 0;
    // Reloads the window's widget once the current handler has returned.
    virtual void PostReloadWidget(TSkinForm* window) = 0;
    // Fills the clicked "ウィジェット" entry with the widget files of the program folder.
    virtual void FillWidgetMenu(TObject* entry) = 0;

    // ---- Widgets, by their script file name ----
    // Loads the widget unless it is loaded; false when it was, or when it
    // could not be loaded (the user was told why).
    virtual bool OpenWidget(const AnsiString& path) = 0;
    // Unloads the widget once the current handler has returned.
    virtual void PostUnloadWidget(const AnsiString& path) = 0;
    // The widget's settings file; nil when the widget is not loaded.
    virtual TSetting* WidgetSetting(const AnsiString& path) = 0;
    // The `helpFile` its script set; empty when none.
    virtual AnsiString WidgetHelpFile(const AnsiString& path) = 0;

    // ---- The program ----
    // system.showAlertPopup: the title and text, a link when url is given, a
    // new time-out in seconds when timeOut is; whether the popup was shown.
    virtual bool ShowAlertPopup(const AnsiString& title, const AnsiString& text, const AnsiString* url,
                                const int32_t* timeOut) = 0;
    // Stores the loaded widgets, unloads them and ends the program, once the
    // current handler has returned.
    virtual void PostExit() = 0;

protected:
    ~TWidgetHost() = default;
};

// The program's host; nil until one is handed over.
TWidgetHost* WidgetHost();
// Hands the host over (nil takes it back).
void SetWidgetHost(TWidgetHost* host);
