// The application's message box and title, used by the script message boxes
// (alert, confirm, msgBox) and the dialogs. The GUI library names the
// application window through the hook once it runs.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"

using AppWindowHook = HWND (*)();
void setAppWindowHook(AppWindowHook hook);

// The application window's handle (nil before the GUI library names it).
HWND GetAppWindow();
// Shows the platform message box owned by the application window, then gives
// the foreground back to the window that was active before; gives the id of
// the pressed button.
int AppMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);
// The application's title (the program file's name without its extension
// until the program sets one).
AnsiString GetAppTitle();
