// The concrete streams: TFileStream over a file handle, TMemoryStream over a
// growable buffer and TStringStream, a memory stream whose bytes are a text.
// Form streams read and write through them; the engine's locked file stream
// shares the file modes and the handle transfers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "rtl/ansistring.h"
#include "rtl/stream.h"

// Open modes: the access in the low bits, the sharing in bits 4 to 6;
// fmCreate makes the file anew (empty), for reading and writing.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// ==== Transfers over a file handle ====

// An existing file opened with the access and sharing of an open mode (not
// fmCreate); INVALID_HANDLE_VALUE when it cannot be, or the mode is none.
HANDLE openFileWithMode(const AnsiString& path, uint16_t mode);
// Each answers as the TStream operation of the same name does.
int32_t fileRead(HANDLE file, void* buffer, int32_t count);
int32_t fileWrite(HANDLE file, const void* buffer, int32_t count);
int64_t fileSeek(HANDLE file, int64_t offset, TSeekOrigin origin);
void fileSetSize(HANDLE file, int64_t size);  // the system error on failure

// Every byte from the stream's position to its end.
std::string ReadToEnd(TStream& stream);
// Writes all the bytes; EWriteError "Stream write error" when the stream
// takes fewer.
void WriteBuffer(TStream& stream, std::string_view bytes);

// ==== TFileStream ====

class TFileStream : public TStream {
public:
    // EFOpenError "Cannot open file NAME" or EFCreateError "Cannot create
    // file NAME" with the system's message when it cannot.
    TFileStream(const AnsiString& path, uint16_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int32_t Read(void* buffer, int32_t count) override { return fileRead(handle_, buffer, count); }
    int32_t Write(const void* buffer, int32_t count) override { return fileWrite(handle_, buffer, count); }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return fileSeek(handle_, offset, origin); }
    void SetSize(int64_t size) override { fileSetSize(handle_, size); }

    const AnsiString& FileName() const { return fileName_; }

private:
    AnsiString fileName_;
    HANDLE handle_;
};

// ==== TMemoryStream ====

// The bytes live in memory; writing past the end grows them, seeking past
// the end is allowed (a write there fills the gap with zeros).
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    void Clear() { bytes_.clear(); position_ = 0; }

    const std::string& Bytes() const { return bytes_; }
    std::string_view View() const { return bytes_; }

private:
    std::string bytes_;
    size_t position_ = 0;
};

// ==== TStringStream ====

class TStringStream : public TMemoryStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string_view text) : TMemoryStream(std::string(text)) {}
    AnsiString DataString() const { return AnsiString(View()); }
};
