// The application's message box and title, used by the script message boxes
// (alert, confirm, msgBox) and the dialogs.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"

// Shows the platform message box owned by the window (the application
// window; nil for none), then gives the foreground back to the window that
// was active before; gives the id of the pressed button.
int AppMessageBox(HWND owner, const AnsiString& text, const AnsiString& caption, UINT flags);
// The application's title (the program file's name without its extension
// until the program sets one).
AnsiString GetAppTitle();
