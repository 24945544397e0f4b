// TSafeFileStream: open modes mapped onto CreateFile, transfers serialised by
// a critical section held for one Read, Write or Seek. Serves the script File
// object through engine/support/safefilestream.h.
#include "engine/support/safefilestream.h"

#include "rtl/fileio.h"
#include "rtl/filepath.h"

#include <iterator>

namespace {

class SectionGuard {
public:
    explicit SectionGuard(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~SectionGuard() { LeaveCriticalSection(&section_); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    CRITICAL_SECTION& section_;
};

[[noreturn]] void raiseCannotOpen(const AnsiString& name) {
    throw EFOpenError("Cannot open file " + name);
}

// The platform's file open: access from the low two bits, sharing from bits 4
// to 6; a mode outside those tables opens nothing, and neither does a device.
HANDLE openWithMode(const AnsiString& name, uint16_t mode) {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned accessIndex = mode & 3;
    unsigned shareIndex = (mode & 0xF0) >> 4;
    if (accessIndex >= std::size(access) || shareIndex >= std::size(share)) return INVALID_HANDLE_VALUE;
    return createDiskFile(name, access[accessIndex], share[shareIndex], OPEN_EXISTING);
}

void createEmpty(const AnsiString& name) {
    HANDLE created = createDiskFile(name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    if (created != INVALID_HANDLE_VALUE) CloseHandle(created);
}

}  // namespace

TSafeFileStream::TSafeFileStream() {
    InitializeCriticalSection(&lock_);
}

TSafeFileStream::~TSafeFileStream() {
    Close(false);
    DeleteCriticalSection(&lock_);
}

bool TSafeFileStream::Open(const AnsiString& fileName, uint16_t mode, bool raiseOnFailure) {
    Close(false);
    fileName_ = fileName;
    mode_ = mode;
    if ((mode & 3) == fmOpenWrite && !fileExists(fileName)) createEmpty(fileName);
    handle_ = openWithMode(fileName, mode);
    if (handle_ != INVALID_HANDLE_VALUE) return true;
    if (raiseOnFailure) raiseCannotOpen(fileName);
    return false;
}

void TSafeFileStream::Close(bool deleteWhenEmpty) {
    if (IsOpen()) {
        LARGE_INTEGER size{};
        bool known = GetFileSizeEx(handle_, &size) != 0;
        CloseHandle(handle_);
        if (deleteWhenEmpty && known && size.QuadPart == 0) DeleteFileA(fileName_.c_str());
    }
    handle_ = INVALID_HANDLE_VALUE;
    mode_ = 0;
}

void TSafeFileStream::Flush() {
    if (IsOpen()) FlushFileBuffers(handle_);
}

void TSafeFileStream::checkOpen() const {
    if (!IsOpen()) raiseCannotOpen("TSafeFileStream");
}

int32_t TSafeFileStream::Read(void* buffer, int32_t count) {
    SectionGuard guard(lock_);
    checkOpen();
    DWORD done = 0;
    if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int32_t TSafeFileStream::Write(const void* buffer, int32_t count) {
    SectionGuard guard(lock_);
    checkOpen();
    DWORD done = 0;
    if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int64_t TSafeFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    SectionGuard guard(lock_);
    checkOpen();
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(handle_, distance, &position, methods[origin])) return -1;
    return position.QuadPart;
}

void TSafeFileStream::SetSize(int64_t size) {
    LARGE_INTEGER distance;
    distance.QuadPart = size;
    if (!SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) raiseLastOSError();
}
