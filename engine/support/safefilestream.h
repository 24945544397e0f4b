// TSafeFileStream: a stream over one file handle whose Read, Write and Seek run
// under the stream's own critical section, so one stream object can be shared.
// The script File object keeps its file open through one of these.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"
#include "rtl/streams.h"

class TSafeFileStream : public TStream {
public:
    TSafeFileStream();
    ~TSafeFileStream() override;
    TSafeFileStream(const TSafeFileStream&) = delete;
    TSafeFileStream& operator=(const TSafeFileStream&) = delete;

    // Opens an existing file (the open modes of rtl/streams.h; not fmCreate); with fmOpenWrite a missing file is created empty
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
