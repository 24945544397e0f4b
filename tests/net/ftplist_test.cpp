// The FTP listing parsers on the lines of real servers (pyftpdlib, vsftpd,
// IIS, DOS): type, size, name and date of each, and the lines that are no
// entries.
#include <gtest/gtest.h>

#include "net/gftp.h"

namespace {

struct ListCase {
    const char* Line;
    uint8_t Type;
    int64_t Size;
    const char* Name;
    int Year;  // 0: this year or last year (a time instead of a year)
    int Month, Day, Hour, Minute;
};

int thisYear() {
    int year, month, day;
    decodeDate(nowDateTime(), year, month, day);
    return year;
}

const ListCase listCases[] = {
    {"drwxr-xr-x   2 user group     4096 Jan  5 10:30 docs", ftDirectory, 4096, "docs", 0, 1, 5, 10, 30},
    {"-rw-r--r--   1 owner           512 Mar 12  2021 no group.txt", ftFile, 512, "no group.txt", 2021, 3, 12, 0, 0},
    {"lrwxrwxrwx   1 0 0 5 Feb 29 2024 link -> a.txt", ftLink, 5, "link", 2024, 2, 29, 0, 0},
    {"-rw-r--r--   1 Jan  Feb   7 Dec 31  1999 odd owner", ftFile, 7, "odd owner", 1999, 12, 31, 0, 0},
    {"-rw-------    1 1000     1000         12 Jul 01  2020 trailing ", ftFile, 12, "trailing ", 2020, 7, 1, 0, 0},
    {"01-05-24  10:30AM       <DIR>          docs", ftDirectory, 0, "docs", 2024, 1, 5, 10, 30},
    {"12-31-99  11:59PM                 1,234 read me.txt", ftFile, 1234, "read me.txt", 1999, 12, 31, 23, 59},
    {"02-01-2020  12:05AM  7 midnight.txt", ftFile, 7, "midnight.txt", 2020, 2, 1, 0, 5},
    {"1DOS     TXT      1,024  03-04-21  1:02p", ftUnknown, 0, "", 0, 0, 0, 0, 0},
    {"1name 2,048 03-04-21 1:02PM", ftFile, 2048, "1name", 2021, 3, 4, 13, 2},
    {"1name txt 99 03-04-21 1:02PM", ftFile, 99, "1name.txt", 2021, 3, 4, 13, 2},
    {"plain.txt", ftFile, 0, "plain.txt", -1, 0, 0, 0, 0},
};

}  // namespace

TEST(FtpListing, ParsesTheLinesOfEachLayout) {
    for (const ListCase& c : listCases) {
        SCOPED_TRACE(c.Line);
        TFTPFileProperty p;
        bool parsed = ParseListLine(c.Line, p);
        ASSERT_EQ(parsed, c.Type != ftUnknown);
        if (!parsed) continue;
        EXPECT_EQ(p.FileType, c.Type);
        EXPECT_EQ(p.Size, c.Size);
        EXPECT_EQ(p.Name(), c.Name);
        EXPECT_EQ(p.Line(), c.Line);
        if (c.Year < 0) continue;
        int year, month, day, hour, minute, second, ms;
        decodeDateTime(p.Modified, year, month, day, hour, minute, second, ms);
        if (c.Year) EXPECT_EQ(year, c.Year);
        else EXPECT_TRUE(year == thisYear() || year == thisYear() - 1);
        EXPECT_LE(p.Modified, nowDateTime());
        EXPECT_EQ(month, c.Month);
        EXPECT_EQ(day, c.Day);
        EXPECT_EQ(hour, c.Hour);
        EXPECT_EQ(minute, c.Minute);
    }
}

TEST(FtpListing, SkipsLinesThatAreNoEntries) {
    TFTPFileProperty p;
    for (const char* line : {"", "total 12", "TOTAL 0", "srwxr-xr-x 1 u g 0 Jan 1 2020 socket", "?unknown x y",
                             "-rw-r--r-- 1 u g 12 Foo 1 2020 no date", "drwxr-xr-x 2 u g 4096 Jan 5 10:30"})
        EXPECT_FALSE(ParseListLine(line, p)) << line;
}

TEST(FtpListing, DirectoryListFindsNamesWithRegardToCase) {
    TFTPDirectoryList list;
    for (const char* line : {"total 2", "-rw-r--r-- 1 u g 3 Jan 5 2020 A.txt", "drwxr-xr-x 2 u g 0 Jan 5 2020 sub"})
        list.AddLine(line);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Contains("A.txt"));
    EXPECT_FALSE(list.Contains("a.txt"));
    list.Delete(0);
    EXPECT_FALSE(list.Contains("A.txt"));
    EXPECT_TRUE(list.Contains("sub"));
    TFTPFileProperty p;
    p.Permissions[0] = p.Permissions[1] = p.Permissions[2] = p.Permissions[3] = p.Permissions[5] = true;
    EXPECT_EQ(FilePropertyAttribute(p), 750);
}
