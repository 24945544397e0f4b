// The command line: "-s" and its widget file against real files, the second
// start's hand-over and the block it travels in.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/app/commandline.h"
#include "tests/support/tempfiles.h"

TEST(CommandLine, WidgetFileFromTheStartFolder) {
    TempFolder start;  // not the current folder: paths expand against it all the same
    CreateDirectoryA(start.file("s").c_str(), nullptr);
    CreateDirectoryA(start.file("e").c_str(), nullptr);
    writeBytes(start.file("w.xml"), "<widget/>");
    writeBytes(start.file("s\\b.xml"), "<widget/>");
    const AnsiString w = start.file("w.xml"), b = start.file("s\\b.xml");
    const struct {
        TParameters parameters;
        AnsiString widget;
    } cases[] = {
        {{"-s", "w.xml"}, w},
        {{" -S ", "w"}, w},               // the option trimmed, any case; ".xml" added
        {{"-s", "w.XML"}, w},             // not exactly ".xml": the name with ".xml" is tried
        {{"-s", "s\\..\\w.xml"}, w},
        {{"-s", w}, w},
        {{"-s", "s\\a"}, b},              // no a.xml: the first "*.xml" of its folder
        {{"-s", "s\\a.txt"}, b},
        {{"-s", "e\\a"}, ""},
        {{"-s", "none.xml"}, ""},
        {{"-x", "w.xml"}, ""},
        {{"-s"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        AnsiString shown = c.parameters.size() > 1 ? c.parameters[1] : AnsiString("(none)");
        EXPECT_EQ(widgetFromCommandLine(c.parameters, start.path()), c.widget) << shown.view();
    }
    AnsiString noDelimiter = start.path().substr(0, start.path().length() - 1);
    EXPECT_EQ(widgetFromCommandLine({"-s", "w"}, noDelimiter), w);
}

TEST(CommandLine, ASecondStartHandsOverItsExpandedPath) {
    const struct {
        TParameters parameters;
        TParameters handed;
    } cases[] = {
        {{"-s", "w\\w.xml"}, {"-s", "C:\\start\\w\\w.xml"}},
        {{"-S ", "\\x\\..\\w.xml", "more"}, {"-S ", "C:\\w.xml", "more"}},
        {{"-s", "D:\\w.xml"}, {"-s", "D:\\w.xml"}},
        {{"w\\w.xml", "-s"}, {"w\\w.xml", "-s"}},
        {{"-s"}, {"-s"}},
    };
    for (const auto& c : cases) EXPECT_EQ(handOverParameters(c.parameters, "C:\\start\\"), c.handed);

    const TParameters parameters = {"-s", "C:\\\x95\x5c\\w.xml", ""};  // a folder named 表
    AnsiString block = packParameters(parameters);
    EXPECT_EQ(block.view(), std::string_view("-s\0C:\\\x95\x5c\\w.xml\0\0", 16));
    EXPECT_EQ(unpackParameters(block), parameters);
}

TEST(CommandLine, WordsOfACommandLine) {
    const struct {
        const char* line;
        TParameters words;
    } cases[] = {
        {"", {}},
        {"nimbora.exe -s w.xml", {"nimbora.exe", "-s", "w.xml"}},
        {"\"C:\\a b\\nimbora.exe\"  \t-s \"widget\\my clock\\c.xml\"", {"C:\\a b\\nimbora.exe", "-s", "widget\\my clock\\c.xml"}},
        {"x \" -S \" a\"b c\"d", {"x", " -S ", "ab cd"}},
        {"x \"\" \x95\x5c", {"x", "", "\x95\x5c"}},  // an empty word; a double-byte character ending in 0x5C
    };
    for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}
