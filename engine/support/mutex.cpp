// TMutex: a named mutex opened with all access, or created when missing; a
// wait that finds it abandoned takes it over. Serves the script Mutex object
// through engine/support/mutex.h.
#include "engine/support/mutex.h"

#include "rtl/exceptions.h"

namespace {
constexpr DWORD mutexAllAccess = 0x1F0001;
}

TMutex::TMutex(const AnsiString& name) : name_(name) {
    handle_ = OpenMutexA(mutexAllAccess, FALSE, name.c_str());
    existed_ = handle_ != nullptr;
    if (existed_) return;
    handle_ = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!handle_) raiseLastOSError();
    // Another process may have made it between the two calls.
    existed_ = GetLastError() == ERROR_ALREADY_EXISTS;
}

TMutex::~TMutex() {
    CloseHandle(handle_);
}

bool TMutex::wait(DWORD milliseconds) {
    switch (WaitForSingleObject(handle_, milliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
        return true;
    case WAIT_TIMEOUT:
        return false;
    default:
        raiseLastOSError();
    }
}

void TMutex::Lock() {
    wait(INFINITE);
}

bool TMutex::TryLock() {
    return wait(timeout_);
}

bool TMutex::Unlock() {
    return ReleaseMutex(handle_) != 0;
}
