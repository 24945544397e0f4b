// TSafeFileStream: a stream over one file handle whose Read, Write and Seek run
// under the stream's own critical section, so one stream object can be shared.
// The script File object keeps its file open through one of these.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"
#include "rtl/stream.h"

// Open modes: the access in the low bits, the sharing in bits 4 to 6.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
};

class TSafeFileStream : public TStream {
public:
    TSafeFileStream();
    ~TSafeFileStream() override;
    TSafeFileStream(const TSafeFileStream&) = delete;
    TSafeFileStream& operator=(const TSafeFileStream&) = delete;

    // Opens an existing file; with fmOpenWrite a missing file is created empty
    // first. A failure raises EFOpenError "Cannot open file NAME" when
    // raiseOnFailure is set, else returns false.
    bool Open(const AnsiString& fileName, uint16_t mode, bool raiseOnFailure);
    // Closes the file; deleteWhenEmpty removes it when it holds no bytes.
    void Close(bool deleteWhenEmpty);
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Flush();

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

    const AnsiString& FileName() const { return fileName_; }
    uint16_t Mode() const { return mode_; }
    HANDLE Handle() const { return handle_; }

private:
    void checkOpen() const;

    AnsiString fileName_;
    uint16_t mode_ = 0;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    CRITICAL_SECTION lock_;
};
