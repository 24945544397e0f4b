// CRC-16 and CRC-32 of texts and files: check values, chunk boundaries, and
// files that are missing or cannot be read.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "engine/support/crc.h"
#include "tests/support/tempfiles.h"

TEST(CRC, CheckValuesOfTheStandardText) {
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    CalcStringCRC(crc16, crc32, "123456789");
    EXPECT_EQ(crc16, 0x6F91);
    EXPECT_EQ(crc32, 0xCBF43926u);
    CalcStringCRC(crc16, crc32, "a");
    EXPECT_EQ(crc32, 0xE8B7BE43u);
}

TEST(CRC, EmptyTextLeavesTheStartValues) {
    uint16_t crc16 = 0;
    uint32_t crc32 = 1;
    CalcStringCRC(crc16, crc32, "");
    EXPECT_EQ(crc16, 0xFFFF);
    EXPECT_EQ(crc32, 0u);
}

TEST(CRC, FileGivesTheSameValuesAsItsBytes) {
    TempFolder folder;
    AnsiString path = folder.file("crc-check.bin");
    writeBytes(path, "123456789");
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    EXPECT_TRUE(CalcFileCRC(crc16, crc32, path));
    EXPECT_EQ(crc16, 0x6F91);
    EXPECT_EQ(crc32, 0xCBF43926u);
}

TEST(CRC, LargeFileIsReadAcrossChunks) {
    TempFolder folder;
    std::string content;
    for (int k = 0; k < 200000; ++k) content += static_cast<char>((k * 7919) >> 3);
    AnsiString data(content.data(), content.size());
    AnsiString path = folder.file("crc-large.bin");
    writeBytes(path, data);
    uint16_t fileCrc16 = 0, textCrc16 = 0;
    uint32_t fileCrc32 = 0, textCrc32 = 0;
    EXPECT_TRUE(CalcFileCRC(fileCrc16, fileCrc32, path));
    CalcStringCRC(textCrc16, textCrc32, data);
    EXPECT_EQ(fileCrc16, textCrc16);
    EXPECT_EQ(fileCrc32, textCrc32);
}

TEST(CRC, MissingFileOrFolderFails) {
    TempFolder folder;
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    EXPECT_FALSE(CalcFileCRC(crc16, crc32, folder.file("crc-missing.bin")));
    EXPECT_EQ(crc16, 0xFFFF);
    EXPECT_EQ(crc32, 0xFFFFFFFFu);
    EXPECT_FALSE(CalcFileCRC(crc16, crc32, folder.path()));
}

TEST(CRC, FileHeldExclusivelyFails) {
    TempFolder folder;
    AnsiString path = folder.file("crc-held.bin");
    writeBytes(path, "123456789");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    EXPECT_FALSE(CalcFileCRC(crc16, crc32, path));
    EXPECT_EQ(crc16, 0xFFFF);
    EXPECT_EQ(crc32, 0xFFFFFFFFu);
    CloseHandle(held);
}

TEST(CRC, FailedReadIsNoPartialSuccess) {
    // Under Wine, Z: is the Unix root: the process's memory file opens as a
    // file, and reading it from offset 0 (never mapped) fails.
    const char* unreadable = "Z:\\proc\\self\\mem";
    if (GetFileAttributesA(unreadable) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no unreadable file here";
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    EXPECT_FALSE(CalcFileCRC(crc16, crc32, unreadable));
    EXPECT_EQ(crc16, 0xFFFF);
    EXPECT_EQ(crc32, 0xFFFFFFFFu);
}

TEST(CRC, FileBeingWrittenByAnotherHandleCanBeRead) {
    TempFolder folder;
    AnsiString path = folder.file("crc-shared.bin");
    writeBytes(path, "123456789");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
    EXPECT_TRUE(CalcFileCRC(crc16, crc32, path));
    EXPECT_EQ(crc32, 0xCBF43926u);
    CloseHandle(writer);
}
