// TStream: the abstract byte stream (read, write, seek, resize) that the file,
// memory and string streams derive from; its failures are the stream errors of
// rtl/exceptions.h. Used by the engine's locked file stream and by every module that
// reads or writes through a stream.
#pragma once

#include <cstdint>

#include "rtl/exceptions.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    // Both return the bytes transferred; 0 at the end or on failure.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Returns the new position from the start, -1 when the move fails.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t position() { return Seek(0, soCurrent); }
    void setPosition(int64_t position) { Seek(position, soBeginning); }
    int64_t size() {
        int64_t here = position();
        int64_t end = Seek(0, soEnd);
        Seek(here, soBeginning);
        return end;
    }
};
