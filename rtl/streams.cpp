// The file, memory and string streams, and the file-handle transfers that the
// file stream and the engine's locked file stream share.
#include "rtl/streams.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "rtl/fileio.h"

// ==== Transfers over a file handle ====

HANDLE openFileWithMode(const AnsiString& path, uint16_t mode) {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned accessIndex = mode & 3;
    unsigned shareIndex = (mode & 0xF0) >> 4;
    if (mode == fmCreate || accessIndex >= std::size(access) || shareIndex >= std::size(share))
        return INVALID_HANDLE_VALUE;
    return createDiskFile(path, access[accessIndex], share[shareIndex], OPEN_EXISTING);
}

int32_t fileRead(HANDLE file, void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !ReadFile(file, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int32_t fileWrite(HANDLE file, const void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !WriteFile(file, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int64_t fileSeek(HANDLE file, int64_t offset, TSeekOrigin origin) {
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(file, distance, &position, methods[origin])) return -1;
    return position.QuadPart;
}

void fileSetSize(HANDLE file, int64_t size) {
    LARGE_INTEGER distance;
    distance.QuadPart = size;
    if (!SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) raiseLastOSError();
}

std::string ReadToEnd(TStream& stream) {
    std::string bytes;
    char buffer[16384];
    for (int32_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    return bytes;
}

void WriteBuffer(TStream& stream, std::string_view bytes) {
    if (bytes.size() > INT32_MAX ||
        stream.Write(bytes.data(), static_cast<int32_t>(bytes.size())) != static_cast<int32_t>(bytes.size()))
        throw EWriteError("Stream write error");
}

// ==== TFileStream ====

TFileStream::TFileStream(const AnsiString& path, uint16_t mode) : fileName_(path) {
    if (mode == fmCreate) {
        handle_ = createDiskFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
        if (handle_ == INVALID_HANDLE_VALUE) throw EFCreateError(fileErrorText("Cannot create file", path));
    } else {
        handle_ = openFileWithMode(path, mode);
        if (handle_ == INVALID_HANDLE_VALUE) throw EFOpenError(fileErrorText("Cannot open file", path));
    }
}

TFileStream::~TFileStream() { CloseHandle(handle_); }

// ==== TMemoryStream ====

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    if (count <= 0 || position_ >= bytes_.size()) return 0;
    size_t n = std::min(static_cast<size_t>(count), bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    size_t n = static_cast<size_t>(count);
    if (position_ + n > bytes_.size()) bytes_.resize(position_ + n);
    std::memcpy(bytes_.data() + position_, buffer, n);
    position_ += n;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? static_cast<int64_t>(position_)
                                                                     : static_cast<int64_t>(bytes_.size());
    int64_t target = base + offset;
    if (target < 0 || target > INT32_MAX) return -1;
    position_ = static_cast<size_t>(target);
    return target;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0 || size > INT32_MAX) throw EStreamError("Out of memory while expanding memory stream");
    bytes_.resize(static_cast<size_t>(size));
    position_ = std::min(position_, bytes_.size());
}
