// TSafeFileStream: files written and read back in the temporary folder, the
// open modes with their sharing, closing with and without deletion, and the
// errors of a stream without a file.
#include <gtest/gtest.h>

#include <functional>

#include "engine/support/safefilestream.h"
#include "rtl/filepath.h"
#include "tests/support/tempfiles.h"

namespace {

AnsiString readAll(TSafeFileStream& stream) {
    AnsiString text;
    char chunk[7];  // small, so reads end in the middle of the text
    for (int32_t got; (got = stream.Read(chunk, sizeof chunk)) > 0;) text.append(chunk, got);
    return text;
}

void expectOpenError(const std::function<void()>& action, const AnsiString& name) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.message(), "Cannot open file " + name);
        EXPECT_STREQ(e.className(), "EFOpenError");
    }
}

}  // namespace

TEST(SafeFileStream, WritesAndReadsBack) {
    TempFolder folder;
    AnsiString path = folder.file("stream-rw.txt");
    TSafeFileStream stream;
    EXPECT_FALSE(stream.IsOpen());
    ASSERT_TRUE(stream.Open(path, fmOpenWrite | fmShareDenyWrite, true));
    EXPECT_TRUE(fileExists(path));
    EXPECT_EQ(stream.Write("hello, world", 12), 12);
    stream.Flush();
    EXPECT_EQ(readBytes(path), "hello, world");
    stream.Close(false);
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.Mode(), 0);
    EXPECT_EQ(stream.FileName(), path);

    ASSERT_TRUE(stream.Open(path, fmOpenRead, true));
    EXPECT_EQ(stream.size(), 12);
    EXPECT_EQ(readAll(stream), "hello, world");
    EXPECT_EQ(stream.Seek(-5, soEnd), 7);
    char tail[8] = {};
    EXPECT_EQ(stream.Read(tail, 8), 5);
    EXPECT_STREQ(tail, "world");
    EXPECT_EQ(stream.Seek(-6, soCurrent), 6);
    EXPECT_EQ(stream.position(), 6);
    EXPECT_EQ(stream.Seek(-1, soBeginning), -1);
    stream.Close(false);
}

TEST(SafeFileStream, WriteModeOverwritesFromTheStart) {
    TempFolder folder;
    AnsiString path = folder.file("stream-overwrite.txt");
    writeBytes(path, "abcdefgh");
    TSafeFileStream stream;
    ASSERT_TRUE(stream.Open(path, fmOpenWrite | fmShareDenyWrite, false));
    EXPECT_EQ(stream.Mode(), fmOpenWrite | fmShareDenyWrite);
    EXPECT_EQ(stream.Write("XY", 2), 2);
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0);  // write-only
    stream.Close(false);
    EXPECT_EQ(readBytes(path), "XYcdefgh");
}

TEST(SafeFileStream, OnlyWriteModeCreatesAMissingFile) {
    TempFolder folder;
    AnsiString path = folder.file("stream-missing.txt");
    TSafeFileStream stream;
    EXPECT_FALSE(stream.Open(path, fmOpenReadWrite, false));
    EXPECT_FALSE(stream.Open(path, fmOpenRead, false));
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(stream.IsOpen());
    expectOpenError([&] { stream.Open(path, fmOpenReadWrite, true); }, path);
    EXPECT_TRUE(stream.Open(path, fmOpenWrite, false));
    EXPECT_TRUE(fileExists(path));
    stream.Close(true);
}

TEST(SafeFileStream, UnknownModesOpenNothing) {
    TempFolder folder;
    AnsiString path = folder.file("stream-mode.txt");
    writeBytes(path, "x");
    TSafeFileStream stream;
    EXPECT_FALSE(stream.Open(path, 3, false));
    EXPECT_FALSE(stream.Open(path, 0x50, false));
    EXPECT_TRUE(stream.Open(path, fmOpenRead | fmShareDenyNone, false));
    stream.Close(false);
}

TEST(SafeFileStream, WithoutAFileTransfersRaise) {
    TSafeFileStream stream;
    char buffer[4];
    expectOpenError([&] { stream.Read(buffer, 4); }, "TSafeFileStream");
    expectOpenError([&] { stream.Write(buffer, 4); }, "TSafeFileStream");
    expectOpenError([&] { stream.Seek(0, soBeginning); }, "TSafeFileStream");
    EXPECT_THROW(stream.SetSize(10), EOSError);
    stream.Flush();
    stream.Close(true);
}

TEST(SafeFileStream, CloseDeletesOnlyAnEmptyFile) {
    TempFolder folder;
    AnsiString empty = folder.file("stream-empty.txt"), full = folder.file("stream-full.txt");
    TSafeFileStream stream;
    ASSERT_TRUE(stream.Open(empty, fmOpenWrite, false));
    stream.Close(true);
    EXPECT_FALSE(fileExists(empty));

    ASSERT_TRUE(stream.Open(full, fmOpenWrite, false));
    stream.Write("x", 1);
    stream.Close(true);
    EXPECT_TRUE(fileExists(full));
}

TEST(SafeFileStream, DestructionAndReopeningCloseWithoutDeleting) {
    TempFolder folder;
    AnsiString first = folder.file("stream-first.txt"), second = folder.file("stream-second.txt");
    {
        TSafeFileStream stream;
        ASSERT_TRUE(stream.Open(first, fmOpenWrite | fmShareExclusive, false));
        ASSERT_TRUE(stream.Open(second, fmOpenWrite, false));
        EXPECT_TRUE(fileExists(first));
        EXPECT_TRUE(DeleteFileA(first.c_str()));  // no longer held
    }
    EXPECT_TRUE(fileExists(second));
    EXPECT_TRUE(DeleteFileA(second.c_str()));
}

TEST(SafeFileStream, SetSizeCutsAndExtends) {
    TempFolder folder;
    AnsiString path = folder.file("stream-size.txt");
    writeBytes(path, "0123456789");
    TSafeFileStream stream;
    ASSERT_TRUE(stream.Open(path, fmOpenReadWrite, false));
    stream.SetSize(4);
    EXPECT_EQ(stream.size(), 4);
    stream.SetSize(6);
    stream.Seek(0, soBeginning);
    EXPECT_EQ(readAll(stream), AnsiString("0123\0\0", 6));
    stream.Close(false);
}

TEST(SafeFileStream, SharingBitsLockOutOtherOpeners) {
    TempFolder folder;
    AnsiString path = folder.file("stream-share.txt");
    writeBytes(path, "shared");
    TSafeFileStream holder, other;

    ASSERT_TRUE(holder.Open(path, fmOpenRead | fmShareDenyWrite, false));
    EXPECT_FALSE(other.Open(path, fmOpenWrite | fmShareDenyNone, false));
    EXPECT_TRUE(other.Open(path, fmOpenRead | fmShareDenyNone, false));
    EXPECT_EQ(readAll(other), "shared");
    other.Close(false);

    ASSERT_TRUE(holder.Open(path, fmOpenReadWrite | fmShareExclusive, false));
    EXPECT_FALSE(other.Open(path, fmOpenRead | fmShareDenyNone, false));
    ASSERT_TRUE(holder.Open(path, fmOpenReadWrite | fmShareCompat, false));
    EXPECT_FALSE(other.Open(path, fmOpenRead | fmShareDenyNone, false));

    ASSERT_TRUE(holder.Open(path, fmOpenReadWrite | fmShareDenyNone, false));
    ASSERT_TRUE(other.Open(path, fmOpenReadWrite | fmShareDenyNone, false));
    other.Seek(0, soEnd);
    EXPECT_EQ(other.Write("!", 1), 1);
    other.Close(false);
    EXPECT_EQ(readAll(holder), "shared!");
    holder.Close(false);
}
