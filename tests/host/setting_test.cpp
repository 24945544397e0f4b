// The settings file: lookup rules, writes that move keys, round trips through
// the disk, hand-edited files, recovery from a broken file and the atomic save.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "host/widget/setting.h"
#include "tests/support/tempfiles.h"

namespace {

const char kJapanese[] = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\x5c";  // "日本語の表"
const char kHead[] = "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n";

size_t positionOf(const std::string& text, const char* piece) {
    size_t found = text.find(piece);
    EXPECT_NE(found, std::string::npos) << piece;
    return found;
}

}  // namespace

// ==== In memory ====

TEST(Setting, ANewFileStartsEmptyAndReachesTheDiskOnlyBySave) {
    TempFolder folder;
    AnsiString path = folder.file("w.config");
    {
        TSetting setting(path);
        EXPECT_EQ(setting.fileName(), path);
        EXPECT_EQ(setting.loadError(), "");
        EXPECT_EQ(setting.ReadValue("never", "default"), "default");
        EXPECT_TRUE(setting.WriteValue("k", "v"));
    }
    EXPECT_TRUE(folder.names().empty());  // freeing does not save
    TSetting setting(path);
    setting.Save();
    EXPECT_EQ(readBytes(path), std::string(kHead) + "<configuration/>\r\n");
}

TEST(Setting, RewritingAKeyMovesItToTheEndOfItsSection) {
    TempFolder folder;
    TSetting setting(folder.file("s.config"));
    setting.WriteValue("a", "1");
    setting.WriteValue("b", "2");
    setting.WriteValue("a", "3");
    setting.WriteValue("Window1", "top", "10");
    setting.Save();
    EXPECT_EQ(readBytes(setting.fileName()), std::string(kHead) +
                                                 "<configuration>\r\n"
                                                 "  <appSettings>\r\n"
                                                 "    <add key=\"b\" value=\"2\"/>\r\n"
                                                 "    <add key=\"a\" value=\"3\"/>\r\n"
                                                 "  </appSettings>\r\n"
                                                 "  <appSettings section=\"Window1\">\r\n"
                                                 "    <add key=\"top\" value=\"10\"/>\r\n"
                                                 "  </appSettings>\r\n"
                                                 "</configuration>\r\n");
}

TEST(Setting, SectionsAndKeysCompareExactly) {
    TempFolder folder;
    TSetting setting(folder.file("c.config"));
    setting.WriteValue("Settings", "Key", "upper");
    setting.WriteValue("settings", "key", "lower");
    EXPECT_EQ(setting.ReadValue("Settings", "Key", "-"), "upper");
    EXPECT_EQ(setting.ReadValue("settings", "key", "-"), "lower");
    EXPECT_EQ(setting.ReadValue("Settings", "key", "-"), "-");
    EXPECT_EQ(setting.ReadValue("SETTINGS", "Key", "-"), "-");
    EXPECT_EQ(setting.ReadValue("Key", "-"), "-");  // not in the default section
}

TEST(Setting, DeleteReportsWhetherAnEntryWent) {
    TempFolder folder;
    TSetting setting(folder.file("d.config"));
    setting.WriteValue("S", "k", "v");
    setting.WriteValue("k", "default section");
    EXPECT_FALSE(setting.DeleteValue("Missing", "k"));
    EXPECT_FALSE(setting.DeleteValue("S", "other"));
    EXPECT_TRUE(setting.DeleteValue("S", "k"));
    EXPECT_FALSE(setting.DeleteValue("S", "k"));
    EXPECT_EQ(setting.ReadValue("S", "k", "gone"), "gone");
    EXPECT_EQ(setting.ReadValue("k", "-"), "default section");
    EXPECT_TRUE(setting.DeleteValue("k"));
    EXPECT_EQ(setting.ReadValue("k", "gone"), "gone");
}

// ==== Round trips ====

TEST(Setting, JapaneseLineBreaksAndEmptyValuesSurviveTheDisk) {
    TempFolder folder;
    AnsiString path = folder.file("\x93\xfa\x96\x7b.config");  // a Japanese file name
    {
        TSetting setting(path);
        setting.WriteValue(kJapanese, kJapanese, kJapanese);
        setting.WriteValue("Settings", "memo", "first\r\nsecond\n\tthird\r");
        setting.WriteValue("Settings", "empty", "");
        setting.WriteValue("Settings", "quote", "a\"b'c<d>&e");
        setting.Save();
    }
    std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.rfind(kHead, 0), 0u);
    EXPECT_NE(bytes.find(std::string("value=\"") + kJapanese + "\""), std::string::npos);  // stored as Shift-JIS
    TSetting setting(path);
    EXPECT_EQ(setting.loadError(), "");
    EXPECT_EQ(setting.ReadValue(kJapanese, kJapanese, "-"), kJapanese);
    EXPECT_EQ(setting.ReadValue("Settings", "memo", "-"), "first\r\nsecond\n\tthird\r");
    EXPECT_EQ(setting.ReadValue("Settings", "empty", "-"), "");
    EXPECT_EQ(setting.ReadValue("Settings", "quote", "-"), "a\"b'c<d>&e");
}

TEST(Setting, ValuesThatAreNotValidShiftJisComeBackByteForByte) {
    TempFolder folder;
    AnsiString path = folder.file("bytes.config");
    const AnsiString values[] = {AnsiString("\x81"), AnsiString("ab\x82"), AnsiString("\xfd\xfe\xff\xa0\x80"),
                                 AnsiString("bell\x07"), AnsiString("nul\0end", 7)};
    {
        TSetting setting(path);
        for (int i = 0; i < 5; ++i) setting.WriteValue(AnsiString(std::to_string(i)), values[i]);
        setting.Save();
    }
    TSetting setting(path);
    EXPECT_EQ(setting.loadError(), "");
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(setting.ReadValue(AnsiString(std::to_string(i)), "-") == values[i]) << i;
}

// ==== Hand-edited files ====

TEST(Setting, HandEditedFilesFollowTheFirstMatch) {
    TempFolder folder;
    AnsiString path = folder.file("hand.config");
    writeBytes(path,
               "<configuration>\n"
               "  <appSettings section=\"\">\n"
               "    <add key=\"dup\" value=\"first\"/>\n"
               "    <add key=\"dup\" value=\"second\"/>\n"
               "    <add key=\"novalue\"/>\n"
               "    <add value=\"keyless\"/>\n"
               "  </appSettings>\n"
               "  <appSettings>\n"
               "    <add key=\"later\" value=\"unseen\"/>\n"
               "  </appSettings>\n"
               "</configuration>\n");
    TSetting setting(path);
    EXPECT_EQ(setting.ReadValue("dup", "-"), "first");
    EXPECT_EQ(setting.ReadValue("novalue", "default"), "default");
    EXPECT_EQ(setting.ReadValue("", "-"), "keyless");
    EXPECT_EQ(setting.ReadValue("later", "-"), "-");  // the second default section is never looked at
    setting.WriteValue("dup", "third");                // removes only the first duplicate
    EXPECT_EQ(setting.ReadValue("dup", "-"), "second");
}

TEST(Setting, UnknownContentSurvivesASave) {
    TempFolder folder;
    AnsiString path = folder.file("keep.config");
    writeBytes(path,
               "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
               "<!-- written by hand -->\n"
               "<settings version=\"2\">\n"
               "  <appSettings section=\"W\" extra=\"x\">\n"
               "    <add key=\"k\" value=\"\x93\xfa\" comment=\"kept\"/>\n"
               "    <other>text</other>\n"
               "  </appSettings>\n"
               "  <unknown><![CDATA[raw <data>]]></unknown>\n"
               "</settings>\n");
    {
        TSetting setting(path);
        EXPECT_EQ(setting.ReadValue("W", "k", "-"), "\x93\xfa");
        setting.WriteValue("W", "n", "new");
        setting.Save();
    }
    std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n", 0), 0u);
    size_t comment = positionOf(bytes, "<!-- written by hand -->");
    size_t root = positionOf(bytes, "<settings version=\"2\">");
    size_t section = positionOf(bytes, "<appSettings section=\"W\" extra=\"x\">");
    size_t old = positionOf(bytes, "<add key=\"k\" value=\"\x93\xfa\" comment=\"kept\"/>");
    size_t other = positionOf(bytes, "<other>text</other>");
    size_t added = positionOf(bytes, "<add key=\"n\" value=\"new\"/>");
    size_t unknown = positionOf(bytes, "<unknown><![CDATA[raw <data>]]></unknown>");
    EXPECT_LT(comment, root);
    EXPECT_LT(root, section);
    EXPECT_LT(section, old);
    EXPECT_LT(old, other);
    EXPECT_LT(other, added);
    EXPECT_LT(added, unknown);
}

// ==== Failures ====

TEST(Setting, AMalformedFileIsKeptAsBackupAndTheSettingsStartEmpty) {
    TempFolder folder;
    AnsiString path = folder.file("broken.config");
    const std::string broken = "<configuration>\n  <appSettings>\n    <add key=\"k\" value=\"v\">\n</configuration>\n";
    writeBytes(path, broken);
    TSetting setting(path);
    EXPECT_TRUE(setting.loadError().startsWith(path + "(4): ")) << setting.loadError().c_str();
    EXPECT_NE(setting.loadError().find("broken.config.bak"), std::string_view::npos);
    EXPECT_EQ(readBytes(path + ".bak"), broken);
    EXPECT_EQ(setting.ReadValue("k", "empty"), "empty");
    setting.WriteValue("k", "fresh");
    setting.Save();
    EXPECT_EQ(TSetting(path).ReadValue("k", "-"), "fresh");
    EXPECT_EQ(readBytes(path + ".bak"), broken);
}

TEST(Setting, AnEmptyFileCountsAsMalformed) {
    TempFolder folder;
    AnsiString path = folder.file("empty.config");
    writeBytes(path, "");
    TSetting setting(path);
    EXPECT_NE(setting.loadError(), "");
    EXPECT_EQ(readBytes(path + ".bak"), "");
}

// A folder where the backup would go: the broken file moves on to the next
// free name; with every name taken it stays the only copy and is never
// saved over.
TEST(Setting, ABrokenFileIsNeverLostWhenItsBackupNameIsTaken) {
    const std::string broken = "<configuration><appSettings>";
    const struct {
        int takenNames;
        const char* keptAs;  // nullptr: nowhere
    } cases[] = {{1, ".1.bak"}, {3, ".3.bak"}, {10, nullptr}};
    for (const auto& c : cases) {
        TempFolder folder;
        AnsiString path = folder.file("w.config");
        writeBytes(path, broken);
        for (int i = 0; i < c.takenNames; ++i)
            CreateDirectoryA((i ? path + "." + AnsiString(std::to_string(i)) + ".bak" : path + ".bak").c_str(), nullptr);
        TSetting setting(path);
        setting.WriteValue("k", "new");
        if (c.keptAs) {
            EXPECT_NE(setting.loadError().find(std::string("w.config") + c.keptAs + "\""), std::string_view::npos)
                << setting.loadError().c_str();
            EXPECT_EQ(readBytes(path + c.keptAs), broken);
            setting.Save();
            EXPECT_EQ(TSetting(path).ReadValue("k", "-"), "new");
            continue;
        }
        EXPECT_NE(setting.loadError().find("could not be kept"), std::string_view::npos);
        try {
            setting.Save();
            ADD_FAILURE() << "saved over the only copy";
        } catch (const EXmlError& error) {
            EXPECT_TRUE(error.message().startsWith("Cannot write \"" + path + "\": ")) << error.message().c_str();
        }
        EXPECT_EQ(readBytes(path), broken);
    }
}

// Files a save left when its process ended between writing and moving go at
// the next load; files that only look alike stay.
TEST(Setting, TemporaryFilesOfInterruptedSavesGoAtTheNextLoad) {
    TempFolder folder;
    AnsiString path = folder.file("w.config");
    writeBytes(path, "<configuration/>");
    for (const char* name : {"w.config.1f0.tmp", "W.CONFIG.ABCDEF01.tmp"}) writeBytes(folder.file(name), "<conf");
    const char* others[] = {"w.config.123456789.tmp", "w.config.tmp", "w.config.x1.tmp", "xw.config.1.tmp"};
    for (const char* name : others) writeBytes(folder.file(name), "other");
    TSetting setting(path);
    EXPECT_EQ(setting.loadError(), "");
    std::vector<AnsiString> expected(std::begin(others), std::end(others));
    expected.push_back("w.config");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.names(), expected);
}

TEST(Setting, SavingLeavesOnlyTheFileBehind) {
    TempFolder folder;
    TSetting setting(folder.file("only.config"));
    setting.WriteValue("k", "1");
    setting.Save();
    setting.WriteValue("k", "2");
    setting.Save();
    ASSERT_EQ(folder.names().size(), 1u);
    EXPECT_EQ(folder.names()[0], "only.config");
    EXPECT_EQ(TSetting(setting.fileName()).ReadValue("k", "-"), "2");
}

TEST(Setting, AFailedSaveRaisesAndLeavesTheOldFileWhole) {
    TempFolder folder;
    AnsiString path = folder.file("locked.config");
    {
        TSetting setting(path);
        setting.WriteValue("k", "old");
        setting.Save();
    }
    std::string before = readBytes(path);
    TSetting setting(path);
    setting.WriteValue("k", "new");
    // Another program holds the file open without letting it be replaced.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    try {
        setting.Save();
        ADD_FAILURE() << "no exception";
    } catch (const EXmlError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot write \"" + path + "\": ")) << error.message().c_str();
    }
    CloseHandle(holder);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(folder.names().size(), 1u);  // no temporary file left
    setting.Save();                        // works again once the file is free
    EXPECT_EQ(TSetting(path).ReadValue("k", "-"), "new");
}

TEST(Setting, SavingIntoAMissingFolderRaises) {
    TSetting setting("Z:\\no\\such\\folder\\x.config");
    EXPECT_EQ(setting.loadError(), "");
    EXPECT_THROW(setting.Save(), EXmlError);
}
