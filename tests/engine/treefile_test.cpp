// Compiled-tree file tests: the record bytes of small trees, save-load-save
// identity, scopes rebuilt on loading, very long and very deep trees,
// corrupt and truncated files, and the cache names and freshness test.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "engine/syntax/parser.h"
#include "engine/support/sourcefiles.h"
#include "engine/syntax/treefile.h"
#include "rtl/codepage.h"
#include "tests/support/tempfiles.h"
#include "treedump.h"

namespace {

const std::string Header = std::string("DAZiduva") + '\x12';

std::string le32(int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    return bytes;
}

std::string bytesOf(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// Statement and expression record heads.
std::string statementHead(int presence, int kind, int line) { return bytesOf({presence, kind}) + le32(line); }
std::string identifierRecord(const std::string& name, int extraBits = 0) {
    return bytesOf({0x03 | extraBits, 21}) + le32(static_cast<int32_t>(name.size())) + name;
}

std::string treeBytes(const std::string& text) {
    TJParser parser;
    parser.Source = ansiToWide(text);
    EXPECT_TRUE(parser.Parse()) << text;
    std::string bytes;
    EXPECT_TRUE(writeTreeBytes(parser.Root(), bytes));
    return bytes;
}

// Every statement node in pre-order, so scope links can be compared by index.
void collect(TJStatement* node, std::vector<TJStatement*>& nodes);

void collectExpr(TJExpr* node, std::vector<TJStatement*>& nodes) {
    for (; node; node = node->Left) {
        collectExpr(node->Right, nodes);
        collectExpr(node->Third, nodes);
        if (node->Func) collect(node->Func, nodes);
    }
}

void collect(TJStatement* node, std::vector<TJStatement*>& nodes) {
    for (; node; node = node->Next) {
        nodes.push_back(node);
        collectExpr(node->Expr, nodes);
        collect(node->Child1, nodes);
        collect(node->Child2, nodes);
        if (!isScopedStatement(node->Kind)) collect(node->Child3, nodes);
    }
}

// For each scoped node: its index and the index of its Child3 (-1 for nil).
std::vector<std::pair<int, int>> scopeLinks(TJStatement* root) {
    std::vector<TJStatement*> nodes;
    collect(root, nodes);
    std::map<TJStatement*, int> index;
    for (size_t i = 0; i < nodes.size(); ++i) index[nodes[i]] = static_cast<int>(i);
    std::vector<std::pair<int, int>> links;
    for (size_t i = 0; i < nodes.size(); ++i)
        if (isScopedStatement(nodes[i]->Kind))
            links.emplace_back(static_cast<int>(i), nodes[i]->Child3 ? index.at(nodes[i]->Child3) : -1);
    return links;
}

class TreeFile : public ::testing::Test {
protected:
    // Saves the parsed text, loads it into a second parser and checks both
    // the dump and a second save.
    void roundTrip(const std::string& text) {
        TJParser parser;
        parser.LibraryPath.Add(folder.path());
        parser.Source = ansiToWide(text);
        ASSERT_TRUE(parser.Parse());
        AnsiString first = folder.file("first.dmc");
        AnsiString second = folder.file("second.dmc");
        ASSERT_TRUE(parser.SaveTreeToFile(first));
        TJParser loader;
        ASSERT_TRUE(loader.LoadTreeFromFile(first));
        EXPECT_EQ(dumpStatements(loader.Root(), true), dumpStatements(parser.Root(), true));
        EXPECT_EQ(scopeLinks(loader.Root()), scopeLinks(parser.Root()));
        ASSERT_TRUE(loader.SaveTreeToFile(second));
        EXPECT_EQ(readBytes(second), readBytes(first));
    }

    bool loads(const std::string& bytes) {
        TJParser loader;
        bool loaded = loader.LoadTreeFromFile(folder.write("test.dmc", bytes));
        EXPECT_EQ(loaded, loader.Root() != nullptr);
        if (!loaded) {
            EXPECT_EQ(loader.NodeCount(), 0u);
        }
        return loaded;
    }

    TempFolder folder;
};

}  // namespace

// ==== Record bytes ====

TEST(TreeFileBytes, ExpressionStatement) {
    EXPECT_EQ(treeBytes("x;"), Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1) + identifierRecord("x"));
}

TEST(TreeFileBytes, Constants) {
    // s = '': an empty text has no length and no bytes.
    std::string assign = bytesOf({0x19, 8}) + identifierRecord("s");
    EXPECT_EQ(treeBytes("s = '';"),
              Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1) + assign + bytesOf({0x05, 20, 0x01, 4}));
    std::string head = Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1);
    auto constant = [&](const std::string& value) {
        return head + bytesOf({0x19, 8}) + identifierRecord("x") + bytesOf({0x05, 20}) + value;
    };
    EXPECT_EQ(treeBytes("x = 'ab';"), constant(bytesOf({0x03, 4}) + le32(2) + "ab"));
    EXPECT_EQ(treeBytes("x = -2;"), constant(bytesOf({0x01, 2}) + le32(-2)));
    EXPECT_EQ(treeBytes("x = 1.5;"), constant(bytesOf({0x01, 3, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})));
    EXPECT_EQ(treeBytes("x = true;"), constant(bytesOf({0x01, 6, 1, 0, 0, 0})));
    EXPECT_EQ(treeBytes("x = null;"), constant(bytesOf({0x01, 1, 0, 0, 0, 0})));
    EXPECT_EQ(treeBytes("x = NaN;"), constant(bytesOf({0x01, 9, 0, 0, 0, 0})));
    EXPECT_EQ(treeBytes("x = -1 / 0;"), constant(bytesOf({0x01, 8, 1, 0, 0, 0})));
    EXPECT_EQ(treeBytes("x = /a/g;"), constant(bytesOf({0x03, 11, 1, 'g', 0, 0, 0, 0, 0, 0}) + le32(1) + "a"));
}

TEST(TreeFileBytes, FunctionRecordsOmitTheirScope) {
    std::string expected = Header + statementHead(0x05, 1, 1) +
                           statementHead(0x0F, 10, 1) + identifierRecord("f") +  // Expr, Child1, Child2: no Child3
                           statementHead(0x01, 11, 1) +                          // the parameter
                           statementHead(0x21, 2, 1) +                           // the block, then Next
                           statementHead(0x03, 16, -1) + bytesOf({0x01, 0});     // return of an empty expression
    EXPECT_EQ(treeBytes("function f() {}"), expected);
}

TEST(TreeFileBytes, LeftChainsKeepRecordOrder) {
    // f(a, b): the call's Right is the link of b, whose Left is the link of a.
    std::string expected = Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1) +
                           bytesOf({0x19, 31}) + identifierRecord("f") +
                           bytesOf({0x19, 32}) + bytesOf({0x11, 32}) + identifierRecord("a") + identifierRecord("b");
    EXPECT_EQ(treeBytes("f(a, b);"), expected);
}

// ==== Round trips ====

TEST_F(TreeFile, SaveLoadSaveGivesTheSameBytes) {
    roundTrip("var a = 1, b = 'text', c = 1.5, d = /re/gi, e = null, f = true, g = NaN, h = 1 / 0, i = '';\n"
              "function add(x, y) { return x + y; }\n"
              "function outer() { function inner() { return this; } return inner; }\n"
              "class K extends Base { var m = 1; function k() { super.k(); } n; }\n"
              "if (a < b) a++; else --b;\n"
              "while (a) { if (b) break; else continue; }\n"
              "do a = a - 1; while (a > 0);\n"
              "for (var i = 0; i < 10; i++) f(i);\nfor (;;) break;\n"
              "for (k in o) ;\nforeach (v in o.items()) print(v);\n"
              "switch (a) { case 1: b; break; default: c; }\n"
              "try { throw new Error('x'); } catch (e) { e = null; } finally { done(); }\n"
              "with (o) { x = [1, 2, 3]; y = {p: 1, 'q': 2, 3: 4, r}; }\n"
              "z = a ? b : c; z += typeof a; delete o.p; void 0; w = !a && ~b || -c;\n"
              "static s = 1; global gl = 2;\n"
              "q = function named(a) { return a; };\n"
              "@set @SHORT_CIRCUIT = 0\n"
              "r = a || b;\n"
              "new K; new K(1, 2); x = {}; y = []; o.m(1) = 2; a[1] = b[2, 3]; o.p.q = super;\n"
              "try {} finally {} function r() { return; } for (var j in o) throw;\n");
}

TEST_F(TreeFile, ScopesAreRebuiltAsAfterParsing) {
    folder.write("lib.dms", "function one() {}\nfunction two() { function three() {} }\nclass C { function m() {} }");
    roundTrip("function a() {}\nfunction b() { function c() {} }\nclass K { function m() {} }\n"
              "function d() {}\nimport lib;\nfunction e() {}\nimport lib.*;\nfunction f() {}\n"
              "x = function() { return function() {}; };\n");

    // Spot check: a function that follows another is scoped by the program.
    TJParser parser;
    parser.Source = L"function a() {}\nfunction b() {}";
    ASSERT_TRUE(parser.Parse());
    ASSERT_TRUE(parser.SaveTreeToFile(folder.file("two.dmc")));
    TJParser loader;
    ASSERT_TRUE(loader.LoadTreeFromFile(folder.file("two.dmc")));
    EXPECT_EQ(loader.Root()->Child1->Child3, loader.Root());
    EXPECT_EQ(loader.Root()->Child1->Next->Child3, loader.Root());
    EXPECT_EQ(loader.Root()->Child1->Prev, nullptr);
}

TEST_F(TreeFile, LongScriptsAndLongChains) {
    std::string script;
    for (int i = 0; i < 100000; ++i) script += "x = x + 1;\n";
    roundTrip(script);

    std::string list = "x = [1";
    for (int i = 0; i < 100000; ++i) list += ", a";
    roundTrip(list + "];");
}

TEST_F(TreeFile, TreeIsReplacedAndSourceCleared) {
    TJParser parser;
    parser.Source = L"a;";
    ASSERT_TRUE(parser.Parse());
    ASSERT_TRUE(parser.SaveTreeToFile(folder.file("a.dmc")));
    parser.Source = L"b; c;";
    ASSERT_TRUE(parser.Parse());
    ASSERT_TRUE(parser.LoadTreeFromFile(folder.file("a.dmc")));
    EXPECT_EQ(dumpStatements(parser.Root()->Child1), "Expression a");
    EXPECT_TRUE(parser.Source.empty());
}

TEST_F(TreeFile, NothingToSave) {
    TJParser parser;
    EXPECT_FALSE(parser.SaveTreeToFile(folder.file("none.dmc")));
    EXPECT_FALSE(fileExists(folder.file("none.dmc")));
    parser.Source = L"a;";
    ASSERT_TRUE(parser.Parse());
    EXPECT_FALSE(parser.SaveTreeToFile(folder.file("no-such-folder\\a.dmc")));
}

// ==== Broken files ====

TEST_F(TreeFile, BrokenFilesAreNoTree) {
    std::string good = treeBytes("function f(a) { return a + 1; }\nx = [f(1), 'y', 1.5, /r/g];");
    ASSERT_TRUE(loads(good));
    EXPECT_FALSE(loads(""));
    EXPECT_FALSE(loads("DAZi"));
    EXPECT_FALSE(loads(Header));                              // a header alone
    EXPECT_FALSE(loads("DAZiduvb\x12" + good.substr(9)));     // another magic
    EXPECT_FALSE(loads(std::string("DAZiduva\x11") + good.substr(9)));  // another version
    for (size_t length = 9; length < good.size(); ++length)
        EXPECT_FALSE(loads(good.substr(0, length))) << "cut at " << length;
    EXPECT_FALSE(loads(good + '\0'));  // bytes after the tree
    EXPECT_FALSE(loads(good + good.substr(9)));
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + identifierRecord("x")));  // a root that is no program
    EXPECT_FALSE(loads(Header + statementHead(0x04, 1, 1) + statementHead(0x01, 0, 1)));  // presence without bit 0
    EXPECT_FALSE(loads(Header + statementHead(0x41, 0, 1)));                              // reserved bit
    EXPECT_FALSE(loads(Header + statementHead(0x01, 27, 1)));                             // unknown kind
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x01, 64})));        // unknown code
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x05, 20, 0x01, 5})));  // an object constant
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x05, 20, 0x01, 13})));  // unknown type
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x03, 21}) + le32(0x7FFFFFFF) + "x"));
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x03, 21}) + le32(-1) + "x"));
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x03, 21}) + le32(0)));   // empty name stored
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) + bytesOf({0x01, 20})));             // constant without value
    EXPECT_FALSE(loads(Header + statementHead(0x01, 3, 1)));                                   // statement without expression
    EXPECT_FALSE(loads(Header + statementHead(0x15, 10, 1) + statementHead(0x01, 11, 1) +
                       statementHead(0x01, 2, 1)));  // a scope link stored for a function
    EXPECT_FALSE(loads(Header + statementHead(0x03, 3, 1) +
                       bytesOf({0x05, 20, 0x03, 11, 8, 'g', 'g', 'g', 'g', 'g', 'g', 'g'}) + le32(1) + "a"));
}

// Records that are well formed one by one but put together as the parser
// never does: each would hand the evaluator a part it cannot use.
TEST_F(TreeFile, ShapesTheParserNeverMakesAreNoTree) {
    std::string statement = Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1);
    std::string empty = statementHead(0x01, 0, 1);
    const std::pair<const char*, std::string> cases[] = {
        {"an object literal entry that is this",
         bytesOf({0x44, 0x41, 0x5a, 0x69, 0x64, 0x75, 0x76, 0x61, 0x12, 0x05, 0x01, 0x01, 0x00, 0x00, 0x00, 0x05,
                  0x16, 0x02, 0x00, 0x00, 0x00, 0x03, 0x0d, 0x01, 0x00, 0x00, 0x00, 0x0b, 0x15, 0x01, 0x00, 0x00,
                  0x00, 0x6f, 0x09, 0x1d, 0x01, 0x18})},
        {"a member named by a constant", statement + bytesOf({0x19, 25}) + identifierRecord("x") +
                                             bytesOf({0x05, 20, 0x01, 2}) + le32(1)},
        {"arguments that are no argument list", statement + bytesOf({0x19, 31}) + identifierRecord("f") +
                                                    identifierRecord("a")},
        {"new of this", statement + bytesOf({0x09, 28, 0x01, 24})},
        {"an identifier with an operand", statement + identifierRecord("x", 0x08) + identifierRecord("y")},
        {"a for statement with one clause", Header + statementHead(0x05, 1, 1) + statementHead(0x0D, 7, 1) + empty +
                                                empty},
        {"a try without catch or finally", Header + statementHead(0x05, 1, 1) + statementHead(0x05, 17, 1) + empty},
        {"a catch clause alone", Header + statementHead(0x05, 1, 1) + statementHead(0x05, 18, 1) + empty},
    };
    for (const auto& [what, bytes] : cases) EXPECT_FALSE(loads(bytes)) << what;
}

TEST_F(TreeFile, NestingBeyondTheBoundIsNoTree) {
    // a - (a - (a - ... z)): each subtraction holds the next in its Right.
    auto nested = [](int depth) {
        std::string bytes = Header + statementHead(0x05, 1, 1) + statementHead(0x03, 3, 1);
        for (int i = 0; i < depth; ++i) bytes += bytesOf({0x19, 3}) + identifierRecord("a");  // a - (...)
        return bytes + identifierRecord("z");
    };
    EXPECT_TRUE(loads(nested(1000)));
    EXPECT_FALSE(loads(nested(TreeFileMaxDepth + 10)));

    std::string blocks = Header + statementHead(0x05, 1, 1);
    for (int i = 0; i < TreeFileMaxDepth + 10; ++i) blocks += statementHead(0x05, 2, 1);
    blocks += statementHead(0x01, 2, 1);
    EXPECT_FALSE(loads(blocks));
}

// ==== Cache names ====

TEST(TreeFileCache, NamesBesideTheScriptAndInTheTemporaryFolder) {
    EXPECT_EQ(compiledTreeName("C:\\dir\\w.dms"), "C:\\dir\\w.dmc");
    EXPECT_EQ(compiledTreeName("C:\\d.x\\w"), "C:\\d.x\\w.dmc");
    EXPECT_EQ(compiledTreeName("w.xml.js"), "w.xml.dmc");
    // 0x95 0x5C is one double-byte character whose trail byte looks like '\'.
    EXPECT_EQ(extractFileName("C:\\dir\\\x95\x5C.dms"), "\x95\x5C.dms");
    EXPECT_EQ(compiledTreeName("C:\\\x95\x5C\\w"), "C:\\\x95\x5C\\w.dmc");

    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    AnsiString a = temporaryCompiledTreeName("C:\\a\\widget.dms");
    AnsiString b = temporaryCompiledTreeName("C:\\b\\widget.dms");
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(temp)) << a.str();
    EXPECT_TRUE(a.endsWith(".dmc"));
    EXPECT_EQ(extractFileName(a).substr(0, 7), "widget.");
    EXPECT_EQ(temporaryCompiledTreeName("c:\\A\\WIDGET.dms").length(), a.length());
    EXPECT_EQ(temporaryCompiledTreeName("c:\\A\\widget.dms"), a);  // the file system ignores case
}

TEST(TreeFileCache, FreshnessFollowsTheFileDates) {
    TempFolder folder;
    AnsiString script = folder.write("w.dms", "x;");
    AnsiString tree = folder.write("w.dmc", "tree");
    auto setTime = [](const AnsiString& path, int64_t offset) {
        HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ULARGE_INTEGER value;
        value.QuadPart = 130000000000000000ULL + offset;
        FILETIME time = {value.LowPart, value.HighPart};
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    };
    setTime(script, 0);
    setTime(tree, -10000000);  // a second older
    EXPECT_FALSE(isCompiledTreeFresh(tree, script));
    setTime(tree, 0);
    EXPECT_TRUE(isCompiledTreeFresh(tree, script));
    setTime(tree, 10000000);
    EXPECT_TRUE(isCompiledTreeFresh(tree, script));
    EXPECT_FALSE(isCompiledTreeFresh(folder.file("none.dmc"), script));
    EXPECT_FALSE(isCompiledTreeFresh(tree, folder.file("none.dms")));
}
