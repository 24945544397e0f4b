// Whole-file reading and saving, the opening of disk files and the file error
// texts: the line lists' LoadFromFile and SaveToFile, the settings files, the
// picture loader, the script File object and the downloads read, save and
// report through these.
#pragma once

#include <windows.h>

#include <cstdint>
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

// Whether the path names a device rather than a disk file: a reserved name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$) in any case, with any
// extension or folder, or a name of the device space ("\\.\X", "\\?\X"
// but for a drive or a share). Reading one can wait for ever.
bool isDeviceName(const AnsiString& path);
// CreateFileA for disk files only: a device name or a path that names
// another (namesAnotherPath) is refused before anything is opened, and a
// handle to anything but a disk file (a pipe, a console) is closed again;
// each answers INVALID_HANDLE_VALUE with ERROR_INVALID_NAME.
HANDLE createDiskFile(const AnsiString& path, DWORD access, DWORD share, DWORD disposition,
                      DWORD flags = FILE_ATTRIBUTE_NORMAL);

// The bytes of a file; EFOpenError or EReadError when it cannot be read.
std::string readFileBytes(const AnsiString& path);
// Replaces the file with the bytes; EFCreateError or EWriteError when it
// cannot, and then the old file is as it was.
void writeFileBytes(const AnsiString& path, std::string_view bytes);

// A whole-file save: the bytes go to a temporary file beside the target (on
// its volume, named after it) that replaces the target only once all of them
// are written, so a save cut short (a full disk, a size limit, a transfer
// ended early) leaves the old file as it was. Each step answers false with
// the system's error code left for GetLastError; an uncommitted temporary
// file is deleted when the object goes.
class ReplacingFile {
public:
    // keepOld: the temporary file starts as a copy of the target, if any,
    // for a save that appends.
    explicit ReplacingFile(const AnsiString& path, bool keepOld = false);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool valid() const { return file_ != INVALID_HANDLE_VALUE; }
    bool write(std::string_view bytes);
    bool commit();  // flushes, closes and renames over the target
    int64_t size() const;  // what the temporary file holds

private:
    AnsiString path_, temporary_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// Whether a file name is `target`'s (a name without a folder) followed by the
// suffix ReplacingFile gives its temporary files.
bool isTemporaryName(std::string_view name, const AnsiString& target);
// Deletes the temporary files that saves of `path` left when they were killed.
void removeInterruptedSaves(const AnsiString& path);
