// CRC tables (built at compile time) and the byte-wise update shared by the
// string and file routines; a file is read in chunks of 65535 bytes. Serves
// the CRC and String objects through engine/support/crc.h.
#include "engine/support/crc.h"

#include "rtl/fileio.h"
#include "rtl/filepath.h"

#include <windows.h>

#include <array>
#include <vector>

namespace {

constexpr std::array<uint32_t, 256> makeCRC32Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t x = i;
        for (int k = 0; k < 8; ++k) x = (x & 1) ? (x >> 1) ^ 0xEDB88320u : x >> 1;
        table[i] = x;
    }
    return table;
}

constexpr std::array<uint16_t, 256> MakeCRC16Table() {
    std::array<uint16_t, 256> table{};
    for (uint16_t i = 0; i < 256; ++i) {
        uint16_t x = i;
        for (int k = 0; k < 8; ++k) x = (x & 1) ? (x >> 1) ^ 0x8408 : x >> 1;
        table[i] = x;
    }
    return table;
}

constexpr std::array<uint32_t, 256> crc32Table = makeCRC32Table();
constexpr std::array<uint16_t, 256> crc16Table = MakeCRC16Table();
static_assert(crc32Table[1] == 0x77073096);

void update(uint16_t& crc16, uint32_t& crc32, const void* bytes, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    for (size_t k = 0; k < count; ++k) {
        crc16 = crc16Table[(crc16 ^ p[k]) & 0xFF] ^ (crc16 >> 8);
        crc32 = crc32Table[(crc32 ^ p[k]) & 0xFF] ^ (crc32 >> 8);
    }
}

// Reads the file to its end through `update`; false when it is no disk file
// or a read fails on the way.
bool readAll(uint16_t& crc16, uint32_t& crc32, const AnsiString& fileName) {
    FileHandle file(createDiskFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.valid()) return false;
    std::vector<char> chunk(65535);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return false;
        if (got == 0) return true;
        update(crc16, crc32, chunk.data(), got);
    }
}

}  // namespace

void CalcStringCRC(uint16_t& crc16, uint32_t& crc32, const AnsiString& text) {
    crc16 = 0xFFFF;
    crc32 = 0xFFFFFFFF;
    update(crc16, crc32, text.data(), text.length());
    crc32 ^= 0xFFFFFFFF;
}

bool CalcFileCRC(uint16_t& crc16, uint32_t& crc32, const AnsiString& fileName) {
    crc16 = 0xFFFF;
    crc32 = 0xFFFFFFFF;
    if (!fileExists(fileName)) return false;
    if (!readAll(crc16, crc32, fileName)) {
        crc16 = 0xFFFF;
        crc32 = 0xFFFFFFFF;
        return false;
    }
    crc32 ^= 0xFFFFFFFF;
    return true;
}
