// TMutex: a named system mutex that other processes can open under the same
// name; the script Mutex object locks and unlocks through it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rtl/ansistring.h"

class TMutex {
public:
    // Opens the mutex of that name, or creates it (not owned) when none exists;
    // a name the system refuses raises EOSError.
    explicit TMutex(const AnsiString& name);
    ~TMutex();
    TMutex(const TMutex&) = delete;
    TMutex& operator=(const TMutex&) = delete;

    // Waits without limit; an abandoned mutex is taken over.
    void Lock();
    // Waits at most Timeout ms; true when this thread now owns the mutex,
    // also when its previous owner ended without releasing it.
    bool TryLock();
    // False when this thread did not own the mutex.
    bool Unlock();

    const AnsiString& Name() const { return name_; }
    HANDLE Handle() const { return handle_; }
    bool Existed() const { return existed_; }
    uint32_t Timeout() const { return timeout_; }
    void setTimeout(uint32_t milliseconds) { timeout_ = milliseconds; }

private:
    bool wait(DWORD milliseconds);

    AnsiString name_;
    HANDLE handle_ = nullptr;
    bool existed_ = false;
    uint32_t timeout_ = 10000;
};
