// TSafeFileStream: open modes mapped onto CreateFile, transfers serialised by
// a critical section held for one Read, Write or Seek. Serves the script File
// object through engine/support/safefilestream.h.
#include "engine/support/safefilestream.h"

#include "rtl/fileio.h"
#include "rtl/filepath.h"

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
    handle_ = openFileWithMode(fileName, mode);
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
    return fileRead(handle_, buffer, count);
}

int32_t TSafeFileStream::Write(const void* buffer, int32_t count) {
    SectionGuard guard(lock_);
    checkOpen();
    return fileWrite(handle_, buffer, count);
}

int64_t TSafeFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    SectionGuard guard(lock_);
    checkOpen();
    return fileSeek(handle_, offset, origin);
}

void TSafeFileStream::SetSize(int64_t size) { fileSetSize(handle_, size); }
