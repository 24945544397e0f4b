// Raising helpers for the run-time's own exceptions.
#include "rtl/exceptions.h"

#include <windows.h>

#include <string>

void raiseListIndexError(long long index) {
    throw EListError(AnsiString("List index out of bounds (" + std::to_string(index) + ")"));
}

AnsiString SysErrorMessage(unsigned long code) {
    char text[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             text, sizeof text, nullptr);
    while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;  // the platform ends it with CR LF
    return AnsiString(text, n);
}

void raiseLastOSError() {
    DWORD code = GetLastError();
    throw EOSError(AnsiString("System error " + std::to_string(code) + ": ") + SysErrorMessage(code));
}
