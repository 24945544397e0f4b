// The application's message box and title, used by the script message boxes
// (alert, confirm, msgBox) and the dialogs. The GUI library names the
// application window and title through the hooks once it runs.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"

using AppWindowHook = HWND (*)();
using AppTitleHook = AnsiString (*)();
void setAppWindowHook(AppWindowHook hook);
void setAppTitleHook(AppTitleHook hook);

// The application window's handle (nil before the GUI library names it).
HWND GetAppWindow();
// Shows the platform message box owned by the application window, then gives
// the foreground back to the window that was active before; gives the id of
// the pressed button.
int AppMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);
// The application's title: the hook's, else the program file's name without
// its extension.
AnsiString GetAppTitle();
