// Exception: the root of the system's own exceptions, carrying a message in
// code page 932 and the class name that error reports print. Each subclass is
// declared with RTL_EXCEPTION so its name is its report name.
#pragma once

#include <exception>

#include "rtl/ansistring.h"

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : message_(std::move(message)) {}
    const AnsiString& message() const noexcept { return message_; }
    void setMessage(AnsiString message) { message_ = std::move(message); }
    virtual const char* className() const noexcept { return "Exception"; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    AnsiString message_;
};

#define RTL_EXCEPTION(Name, Base)                                              \
    class Name : public Base {                                                 \
    public:                                                                    \
        using Base::Base;                                                      \
        const char* className() const noexcept override { return #Name; }      \
    }

RTL_EXCEPTION(EConvertError, Exception);
RTL_EXCEPTION(EListError, Exception);
RTL_EXCEPTION(EOutOfMemory, Exception);
RTL_EXCEPTION(EOSError, Exception);
// File and stream failures: opening, creating, reading, writing.
RTL_EXCEPTION(EStreamError, Exception);
RTL_EXCEPTION(EFOpenError, EStreamError);
RTL_EXCEPTION(EFCreateError, EStreamError);
RTL_EXCEPTION(EReadError, EStreamError);
RTL_EXCEPTION(EWriteError, EStreamError);

// The platform list's index error: "List index out of bounds (5)".
[[noreturn]] void raiseListIndexError(long long index);
// The platform's system error for the calling thread's last error code:
// "System error 5: Access is denied."
[[noreturn]] void raiseLastOSError();
// The platform's text for an error code, without its closing line end.
AnsiString SysErrorMessage(unsigned long code);
