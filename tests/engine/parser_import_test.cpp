// Parser import tests: namespace and textual imports of library files found
// along the library folders, nested libraries, cycles, empty libraries and
// the import error texts. Library files live in a scratch temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/core/errors.h"
#include "engine/syntax/parser.h"
#include "rtl/codepage.h"
#include "tests/support/tempfiles.h"
#include "treedump.h"

namespace {

const char* const LibF = "Function f {Parameter} {Block {Return i:1}; Return (Empty)}";

class ParserImport : public ::testing::Test {
protected:
    void SetUp() override {
        parser.LibraryPath.Add(folder.path());
        folder.write("lib.dms", "function f() { return 1; }");
    }

    bool parse(const std::string& text) {
        parser.Source = ansiToWide(text);
        return parser.Parse();
    }

    std::string dump() { return parser.Root() ? dumpStatements(parser.Root()->Child1) : "no tree"; }

    std::string error(const std::string& text) {
        try {
            parse(text);
        } catch (const EJSyntaxError& fault) {
            return fault.message().str();
        }
        return "no error";
    }

    TempFolder folder;
    TJParser parser;
};

}  // namespace

TEST_F(ParserImport, NamespaceImportIsTheLibrarysProgramNode) {
    ASSERT_TRUE(parse("import lib;\nx = 1;"));
    EXPECT_EQ(dump(), std::string("Program lib {") + LibF + "}; Expression (Assign x i:1)");
    TJStatement* space = parser.Root()->Child1;
    EXPECT_EQ(space->LineNo, 1);
    EXPECT_EQ(space->Child1->Child3, space);  // the function's scope is the namespace
    EXPECT_TRUE(parser.HasImports());
}

TEST_F(ParserImport, TextImportReadsTheLibraryInPlace) {
    ASSERT_TRUE(parse("import lib.*;\nx = 1;"));
    EXPECT_EQ(dump(), std::string("Empty; ") + LibF + "; Expression (Assign x i:1)");
    TJStatement* marker = parser.Root()->Child1;
    EXPECT_EQ(marker->LineNo, 0);
    EXPECT_EQ(marker->Next->Child3, parser.Root());
    EXPECT_TRUE(parser.HasImports());

    ASSERT_TRUE(parse("import lib.*; import lib.*;"));  // twice in a row is no cycle
    EXPECT_EQ(dump(), std::string("Empty; ") + LibF + "; Empty; " + LibF);
}

TEST_F(ParserImport, PlainScriptHasNoImports) {
    ASSERT_TRUE(parse("x = 1;"));
    EXPECT_FALSE(parser.HasImports());
}

TEST_F(ParserImport, LibrariesAreFoundAlongTheFoldersInOrder) {
    AnsiString first = folder.folder("first");
    AnsiString second = folder.folder("second");
    folder.write("second\\only.dms", "only = 2;");
    folder.write("first\\both.dms", "both = 1;");
    folder.write("second\\both.dms", "both = 2;");
    parser.LibraryPath.Clear();
    parser.LibraryPath.Add(first.substr(0, first.length() - 1));  // without the back-slash
    parser.LibraryPath.Add(second);
    ASSERT_TRUE(parse("import only; import both;"));
    EXPECT_EQ(dump(), "Program only {Expression (Assign only i:2)}; Program both {Expression (Assign both i:1)}");

    AnsiString path;
    EXPECT_TRUE(parser.FindLibraryFile(folder.file("lib.dms"), path));  // the name itself
    EXPECT_EQ(path, folder.file("lib.dms"));
    EXPECT_TRUE(parser.FindLibraryFile("elsewhere\\only.dms", path));  // its file-name part in the folders
    EXPECT_EQ(path, second + "only.dms");
    EXPECT_FALSE(parser.FindLibraryFile("missing.dms", path));
}

TEST_F(ParserImport, ALibraryImportsALibraryBesideIt) {
    folder.write("outer.dms", "import inner;");
    folder.write("inner.dms", "y = 2;");
    ASSERT_TRUE(parse("import outer;"));
    EXPECT_EQ(dump(), "Program outer {Program inner {Expression (Assign y i:2)}}");
}

TEST_F(ParserImport, ImportErrors) {
    EXPECT_EQ(error("import nolib;"), "file not found: nolib.dms: Text( ; )");
    EXPECT_EQ(error("import lib x"), "Text( x )");
    EXPECT_EQ(error("import lib.x;"), "Text( x )");
    EXPECT_EQ(error("import lib.*"), "Text(  )");
    EXPECT_EQ(error("import 1;"), "Text( 1 )");
    EXPECT_EQ(error("{ import lib; }"), "Text( import )");

    AnsiString locked = folder.write("locked.dms", "x = 1;");
    HANDLE handle = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error("import locked;"), "can not open: locked.dms: Text( ; )");
    CloseHandle(handle);
}

TEST_F(ParserImport, SyntaxErrorInsideALibraryCarriesItsLine) {
    folder.write("bad.dms", "\n\nx = ;");
    parser.Source = L"import bad;";
    try {
        parser.Parse();
        FAIL() << "no error";
    } catch (const EJSyntaxError& fault) {
        EXPECT_EQ(fault.message(), "Text( ; )");
        EXPECT_EQ(fault.Line, 3);
    }
}

TEST_F(ParserImport, CyclesAreSyntaxErrors) {
    folder.write("self.dms", "import self;");
    folder.write("c1.dms", "import c2;");
    folder.write("c2.dms", "import c1;");
    folder.write("t.dms", "a = 1;\nimport t.*;");
    folder.write("ta.dms", "import tb.*;");
    folder.write("tb.dms", "import ta.*;");
    folder.write("m.dms", "import m;");
    folder.write("n.dms", "import m.*;");
    EXPECT_EQ(error("import self;"), "circular import: self.dms: Text( ; )");
    EXPECT_EQ(error("import c1;"), "circular import: c1.dms: Text( ; )");
    EXPECT_EQ(error("import t.*;"), "circular import: t.dms: Text( . )");
    EXPECT_EQ(error("import ta.*;"), "circular import: ta.dms: Text( . )");
    EXPECT_EQ(error("import m.*;"), "circular import: m.dms: Text( ; )");
    EXPECT_EQ(error("import n;"), "circular import: m.dms: Text( ; )");
}

TEST_F(ParserImport, FinishedTextImportIsNoLongerOpen) {
    folder.write("wrap.dms", "import lib.*;\nw = 1;");
    ASSERT_TRUE(parse("import wrap.*;\nimport lib.*;\nimport wrap.*;"));
    EXPECT_EQ(dump(), std::string("Empty; Empty; ") + LibF + "; Expression (Assign w i:1); Empty; " + LibF +
                          "; Empty; Empty; " + LibF + "; Expression (Assign w i:1)");
}

TEST_F(ParserImport, LibraryWithoutStatementsGivesAnEmptyStatement) {
    folder.write("empty.dms", "");
    folder.write("comment.dms", "// nothing here\n");
    folder.write("xml.dms", "<widget/>");
    ASSERT_TRUE(parse("import empty;\nimport comment;\nimport xml;\nx;"));
    EXPECT_EQ(dump(), "Empty; Empty; Empty; Expression x");
    ASSERT_TRUE(parse("import empty.*;\nx;"));
    EXPECT_EQ(dump(), "Empty; Expression x");
}

TEST_F(ParserImport, NamespaceParsersStartWithoutDirectives) {
    folder.write("orlib.dms", "x = a || b;");
    ASSERT_TRUE(parse("@set @SHORT_CIRCUIT = 0\nimport orlib;"));
    EXPECT_EQ(dump(), "Empty; Program orlib {Expression (Assign x (OrShort a b))}");
    ASSERT_TRUE(parse("@set @SHORT_CIRCUIT = 0\nimport orlib.*;"));
    EXPECT_EQ(dump(), "Empty; Empty; Expression (Assign x (Or a b))");
}

TEST_F(ParserImport, ClassesInANamespaceGetItsScope) {
    folder.write("cls.dms", "class K { function m() {} }");
    ASSERT_TRUE(parse("import cls;"));
    TJStatement* space = parser.Root()->Child1;
    TJStatement* cls = space->Child1;
    ASSERT_EQ(cls->Kind, scClass);
    EXPECT_EQ(cls->Child3, space);
    EXPECT_EQ(cls->Child1->Child3, cls);
}

TEST_F(ParserImport, ImportedTokensAreTraced) {
    folder.write("one.dms", "t;");
    std::vector<std::string> traced;
    parser.Lexer().OnTrace = [&](TJLex&, const AnsiString& text) { traced.push_back(text.str()); };
    ASSERT_TRUE(parse("import one;"));
    EXPECT_EQ(traced, (std::vector<std::string>{"291( import )", "295( one )", "305( ; )", "295( t )", "305( ; )"}));
}
