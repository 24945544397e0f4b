// Whole-file reading and the file error texts: the line lists' LoadFromFile and
// SaveToFile and the picture loader read and report through these.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "rtl/ansistring.h"

// "<what> "<path>". <system message of the last error>"
AnsiString fileErrorText(const char* what, const AnsiString& path);

// An open file handle, closed when it goes.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The bytes of a file; EFOpenError or EReadError when it cannot be read.
std::string readFileBytes(const AnsiString& path);
// Replaces the file with the bytes; EFCreateError or EWriteError when it cannot.
void writeFileBytes(const AnsiString& path, std::string_view bytes);
