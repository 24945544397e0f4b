// The widget translator: the data files and sample widgets against their
// expected script texts, and the rules that need a file system (the script
// import) or odd bytes (quoting next to double-byte characters).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/widget/widgetxml.h"
#include "tests/support/tempfiles.h"

namespace {

AnsiString translate(const AnsiString& path) {
    TMyXMLParser parser;
    return parser.TranslateFile(path);
}

AnsiString translateText(const TempFolder& folder, std::string_view xml) {
    AnsiString path = folder.file("widget.xml");
    writeBytes(path, xml);
    return translate(path);
}

// Restores the process's current folder when the test ends.
class CurrentFolderGuard {
public:
    CurrentFolderGuard() { GetCurrentDirectoryA(MAX_PATH, saved_); }
    ~CurrentFolderGuard() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH];
};

void expectSameBytes(const AnsiString& actual, const std::string& expected, const AnsiString& name) {
    EXPECT_TRUE(actual == expected) << name.c_str() << "\n--- got:\n" << actual.c_str() << "\n--- expected:\n" << expected;
}

}  // namespace

// ==== Files with expected texts ====

TEST(WidgetTranslation, DataFilesGiveTheirExpectedScripts) {
    CurrentFolderGuard guard;
    AnsiString folder = testPath("data/translate/");
    std::vector<AnsiString> files = filesMatching(folder, "*.xml");
    ASSERT_GE(files.size(), 7u);
    for (const AnsiString& file : files) {
        AnsiString expected = folder + file.substr(0, file.length() - 4) + ".dms";
        expectSameBytes(translate(folder + file), readBytes(expected), file);
    }
}

TEST(WidgetTranslation, SampleWidgetsGiveTheirExpectedScripts) {
    for (const char* name : {"clock", "note"}) {
        AnsiString widget = testPath("../../widgets/" + std::string(name) + "/" + name + ".xml");
        expectSameBytes(translate(widget), readBytes(testPath("data/widgets/" + std::string(name) + ".dms")), name);
    }
}

// ==== Rules ====

TEST(WidgetTranslation, TheScriptRuleImportsFromTheWidgetFolder) {
    TempFolder folder;
    CurrentFolderGuard guard;  // leaves the folder before it is removed
    EXPECT_EQ(translateText(folder, "<widget script=\"lib.DMS\"/>"), "import lib.*;\r\n");
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(AnsiString(current) + "\\", folder.path());
    // A file named like the value plus ".dms" keeps the value as it is.
    writeBytes(folder.file("lib.DMS.dms"), "");
    EXPECT_EQ(translateText(folder, "<widget script=\"lib.DMS\"/>"), "import lib.DMS.*;\r\n");
    EXPECT_EQ(translateText(folder, "<widget script=\"tools\"/>"), "import tools.*;\r\n");
    EXPECT_EQ(translateText(folder, "<widget><script>sub\\x.dms</script></widget>"), "import sub\\x.*;\r\n");
}

TEST(WidgetTranslation, TheImportComesFirstInTheWidgetBlock) {
    TempFolder folder;
    CurrentFolderGuard guard;  // leaves the folder before it is removed
    EXPECT_EQ(translateText(folder,
                            "<widget id=\"app\" version=\"2\" helpFile=\"help.html\" script=\"main\" "
                            "onUnload=\"bye()\" onClick=\"x()\"/>"),
              "import main.*;\r\n"
              "app.version = 2;\r\n"
              "app.onClick = function(){x();};\r\n"
              "widget.onUnload = function(){ bye();};\r\n"
              "widget.helpFile = \"help.html\";\r\n");
}

TEST(WidgetTranslation, WidgetMembersWithoutAnIdAreLeftOut) {
    TempFolder folder;
    EXPECT_EQ(translateText(folder, "<widget name=\"Clock\" author=\"Someone Else\"><onload>go()</onload></widget>"),
              "go();");
}

TEST(WidgetTranslation, CollectedValuesTakeTheFirstNonEmptyOne) {
    TempFolder folder;
    EXPECT_EQ(translateText(folder,
                            "<widget><window id=\"w\" main=\"false\" Visible=\"false\" WIDTH=\"9\">"
                            "<width></width><Width>5</Width><onload>x</onload></window></widget>"),
              "w = new window(false);\r\n"
              "w.width = 5;\r\n"
              "w.loadProperties(\"w\");\r\n");
}

TEST(WidgetTranslation, HandlerCodeIsTrimmedAndEnded) {
    TempFolder folder;
    EXPECT_EQ(translateText(folder,
                            "<widget><timer id=\"t\"><onTimer>  a()  </onTimer><onStop>b();</onStop>"
                            "<onEmpty>   </onEmpty><OnUpper>c()</OnUpper></timer></widget>"),
              "t = new timer;\r\n"
              "t.onTimer = function(){a();};\r\n"
              "t.onStop = function(){b();};\r\n"
              "t.onEmpty = function(){};\r\n"
              "t.OnUpper = c();\r\n");
}

TEST(WidgetTranslation, QuotingLeavesDoubleByteCharactersWhole) {
    TempFolder folder;
    // "表" and "ソ" end in 0x5C, which is no back-slash: the quote after "ソ"
    // gets its back-slash, a value ending in "表" none.
    EXPECT_EQ(translateText(folder,
                            "<widget><window id=\"w\"><label id=\"l\" text=\"\x95\x5c\\\x83\x5c&quot;\"/>"
                            "<label id=\"m\" text=\"\x83\x5c\\\x95\x5c\"/></window></widget>"),
              "w = new window(true);\r\n"
              "w.visible = true;\r\n"
              "w.loadProperties(\"w\");\r\n"
              "l = new label(w);\r\n"
              "l.text = \"\x95\x5c\\\x83\x5c\\\"\";\r\n"
              "m = new label(w);\r\n"
              "m.text = \"\x83\x5c\\\x95\x5c\";\r\n");
}

TEST(WidgetTranslation, ALeadByteEndingAQuotedValueIsDropped) {
    TempFolder folder;
    // Code page 932 without a declaration; the value ends in a lone lead byte,
    // which would otherwise swallow the closing quote of the script string
    // (and a back-slash left last is doubled).
    EXPECT_EQ(translateText(folder, "<widget><setting id=\"s\" defaultValue=\"ab\x81\" description=\"a\\\x81\"/></widget>"),
              "s = new setting(\"null\", \"s\", \"ab\");\r\n"
              "s.description = \"a\\\\\";\r\n");
}

TEST(WidgetTranslation, UnnamedElementsStillHaveTheirChildrenTranslated) {
    TempFolder folder;
    EXPECT_EQ(translateText(folder,
                            "<root><group><window id=\"w\" visible=\"false\"/></group>"
                            "<window id=\"x\"><group><label id=\"deep\"/></group></window></root>"),
              "w = new window(true);\r\n"
              "w.loadProperties(\"w\");\r\n"
              "x = new window(true);\r\n"
              "x.group = ;\r\n"  // an unknown member is raw, even when empty
              "x.visible = true;\r\n"
              "x.loadProperties(\"x\");\r\n");
}

TEST(WidgetTranslation, UnreadableFilesRaise) {
    TempFolder folder;
    EXPECT_THROW(translate(folder.file("missing.xml")), EXmlError);
    try {
        translateText(folder, "<widget>\n<window id=\"w\">\n</widget>\n");
        FAIL() << "no exception";
    } catch (const EXmlError& error) {
        EXPECT_TRUE(error.message().startsWith(folder.file("widget.xml") + "(3): ")) << error.message().c_str();
    }
}
