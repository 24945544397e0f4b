// Folder helpers in a fresh folder under the temporary folder: path creation
// (also with names ending in byte 5C), sizes, listings by kind and mask, and
// silent shell deletion.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "engine/support/dirutil.h"
#include "rtl/codepage.h"

// 表 95 5C, ソ 83 5C: both end in the back-slash byte.
#define HYO "\x95\x5C"
#define KANA_SO "\x83\x5C"
#define NOU "\x94\x5C"

namespace {

class DirUtil : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        base_ = AnsiString(temp) + "nimbora-dirutil-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(base_.c_str(), nullptr));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(ansiToWide(base_)), ignored);
    }
    AnsiString path(const char* name) const { return base_ + "\\" + name; }
    void writeFile(const char* name, size_t size) const {
        HANDLE file = CreateFileA(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string bytes(size, 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
        CloseHandle(file);
    }
    static bool fileExists(const AnsiString& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

    AnsiString base_;
};

std::vector<AnsiString> lines(const TStrings& list) {
    std::vector<AnsiString> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST_F(DirUtil, ForceDirsCreatesEveryMissingParent) {
    EXPECT_TRUE(ForceDirs(path("a\\b\\c\\")));
    EXPECT_TRUE(DirExists(path("a\\b\\c")));
    EXPECT_TRUE(IsDirectory(path("a\\b")));
    EXPECT_TRUE(ForceDirs(path("a\\b")));  // already there
    EXPECT_FALSE(DirExists(path("a\\b\\c\\d")));
}

TEST_F(DirUtil, ForceDirsEdgeCases) {
    try {
        ForceDirs("");
        ADD_FAILURE() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.message(), "Cannot Create Dir");
    }
    EXPECT_TRUE(ForceDirs("C:"));
    EXPECT_TRUE(ForceDirs("C:\\"));
    writeFile("file", 1);
    EXPECT_FALSE(ForceDirs(path("file\\sub")));
}

TEST_F(DirUtil, ForceDirsCreatesANameWithoutParent) {
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(base_.c_str()));
    bool created = ForceDirs("newdir");
    bool shortOne = ForceDirs("ab");
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(created);
    EXPECT_TRUE(DirExists(path("newdir")));
    EXPECT_TRUE(shortOne);
    EXPECT_TRUE(DirExists(path("ab")));
}

TEST_F(DirUtil, ForceDirsKeepsDoubleByteNamesWhole) {
    EXPECT_TRUE(ForceDirs(path(HYO "\\" KANA_SO "\\")));
    EXPECT_TRUE(DirExists(path(HYO)));
    EXPECT_TRUE(DirExists(path(HYO "\\" KANA_SO)));
    // Exactly one folder on each level, named by the whole character.
    TStringList dirs;
    ListSubDirectories(base_, dirs);
    EXPECT_EQ(lines(dirs), std::vector<AnsiString>{path(HYO)});
    ListSubDirectories(path(HYO), dirs);
    EXPECT_EQ(lines(dirs), std::vector<AnsiString>{path(HYO "\\" KANA_SO)});

    // A final 5C that belongs to a character is no trailing back-slash.
    EXPECT_TRUE(ForceDirs(path(NOU)));
    EXPECT_TRUE(DirExists(path(NOU)));
}

TEST_F(DirUtil, FileSizeByName) {
    writeFile("ten.bin", 10);
    EXPECT_EQ(GetFileSizeByName(path("ten.bin")), 10u);
    EXPECT_EQ(GetFileSizeByName(path("*.bin")), 10u);
    EXPECT_EQ(GetFileSizeByName(path("missing.bin")), 0u);
    ASSERT_TRUE(ForceDirs(path("folder")));
    EXPECT_EQ(GetFileSizeByName(path("folder")), 0u);
}

TEST_F(DirUtil, ListDirectoryByKindAndMask) {
    writeFile("one.txt", 1);
    writeFile("two.dat", 2);
    ASSERT_TRUE(ForceDirs(path("d1")));
    ASSERT_TRUE(ForceDirs(path("d2")));
    TStringList files, dirs;
    dirs.Add("stale");

    ListDirectory(base_, "", lkFiles, &dirs, files);
    EXPECT_EQ(lines(files), (std::vector<AnsiString>{path("one.txt"), path("two.dat")}));
    EXPECT_EQ(dirs.Count(), 0);

    ListDirectory(base_ + "\\", "*.*", lkEverything, &dirs, files);
    EXPECT_EQ(lines(files), (std::vector<AnsiString>{path("one.txt"), path("two.dat")}));
    EXPECT_EQ(lines(dirs), (std::vector<AnsiString>{path("d1"), path("d2")}));

    ListDirectory(base_, "*.txt", lkEverything, nullptr, files);
    EXPECT_EQ(lines(files), std::vector<AnsiString>{path("one.txt")});

    // Plain files are found with the folder kind as well.
    ListDirectory(base_, "*.*", lkDirectories, &dirs, files);
    EXPECT_EQ(lines(dirs), (std::vector<AnsiString>{path("d1"), path("d2")}));
    EXPECT_EQ(files.Count(), 2);
}

TEST_F(DirUtil, ListDirectoryOnAFileOrNothingLeavesTheLists) {
    writeFile("one.txt", 1);
    TStringList files, dirs;
    files.Add("kept");
    dirs.Add("kept too");
    ListDirectory(path("one.txt"), "*.*", lkEverything, &dirs, files);
    ListDirectory(path("missing"), "*.*", lkEverything, &dirs, files);
    EXPECT_EQ(lines(files), std::vector<AnsiString>{"kept"});
    EXPECT_EQ(lines(dirs), std::vector<AnsiString>{"kept too"});
}

TEST_F(DirUtil, SilentShellDeletion) {
    writeFile("one.txt", 1);
    writeFile("two.dat", 2);
    TStringList paths;
    paths.Add(path("one.txt"));
    paths.Add("");
    EXPECT_TRUE(ShellDeleteFiles(nullptr, paths, false, true));
    EXPECT_FALSE(fileExists(path("one.txt")));
    EXPECT_TRUE(fileExists(path("two.dat")));
    TStringList none;
    EXPECT_TRUE(ShellDeleteFiles(nullptr, none, false, true));
}

TEST_F(DirUtil, ClearDirectoryEmptiesOrRemovesTheFolder) {
    ASSERT_TRUE(ForceDirs(path("box\\inner\\deeper")));
    writeFile("box\\a.txt", 3);
    writeFile("box\\inner\\b.txt", 4);
    ClearDirectory(nullptr, path("box"), false, true, false);
    EXPECT_TRUE(DirExists(path("box")));
    EXPECT_FALSE(fileExists(path("box\\a.txt")));
    EXPECT_FALSE(DirExists(path("box\\inner")));

    writeFile("box\\c.txt", 1);
    ClearDirectory(nullptr, path("box\\"), false, true, true);
    EXPECT_FALSE(DirExists(path("box")));
    EXPECT_TRUE(DirExists(base_));
}
