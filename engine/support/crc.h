// CRC-16 (reflected CCITT, initial 0xFFFF, no final inversion) and CRC-32 (the
// zlib/PNG one), computed together over a byte string or a file. Used by the
// CRC script object and the String object.
#pragma once

#include <cstdint>

#include "rtl/ansistring.h"

void CalcStringCRC(uint16_t& crc16, uint32_t& crc32, const AnsiString& text);
// True when the file was read to its end; a missing or unreadable file gives
// false with both values all ones.
bool CalcFileCRC(uint16_t& crc16, uint32_t& crc32, const AnsiString& fileName);
