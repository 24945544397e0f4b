// Message box owned by the application window, and the application title.
#include "engine/lib/appmessage.h"

#include "ui/application.h"

int AppMessageBox(HWND owner, const AnsiString& text, const AnsiString& caption, UINT flags) {
    HWND active = GetActiveWindow();
    int pressed = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    if (active) SetForegroundWindow(active);
    // What a callback raised while the box's loop ran goes on from here.
    Application->RaisePendingException();
    return pressed;
}

AnsiString GetAppTitle() {
    return Application->Title();
}
