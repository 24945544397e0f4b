// Parser tests: every statement rule, operator precedence and associativity,
// constant folding, line stamps, directives, function texts and the syntax
// error texts. Trees are compared through the dumps of treedump.h.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/errors.h"
#include "engine/syntax/parser.h"
#include "engine/core/value.h"
#include "rtl/codepage.h"
#include "treedump.h"

namespace {

// The dump of the program's statements.
std::string parsed(const std::string& text, bool lines = false) {
    TJParser parser;
    parser.Source = ansiToWide(text);
    EXPECT_TRUE(parser.Parse()) << text;
    return parser.Root() ? dumpStatements(parser.Root()->Child1, lines) : "";
}

// The expression of "text;".
std::string expr(const std::string& text) {
    TJParser parser;
    parser.Source = ansiToWide(text + ";");
    EXPECT_TRUE(parser.Parse()) << text;
    TJStatement* first = parser.Root() ? parser.Root()->Child1 : nullptr;
    if (!first || first->Kind != scExpression || first->Next) return "not one expression statement";
    return dumpExpr(first->Expr);
}

struct SyntaxFault {
    std::string message;
    int line = 0;
};

SyntaxFault syntaxError(const std::string& text) {
    TJParser parser;
    parser.Source = ansiToWide(text);
    try {
        parser.Parse();
    } catch (const EJSyntaxError& error) {
        EXPECT_EQ(error.ErrorName, "ESyntaxError");
        return {error.message().str(), error.Line};
    }
    ADD_FAILURE() << "no syntax error for: " << text;
    return {};
}

const char* const EmptyBody = "{Block; Return (Empty)}";

}  // namespace

// ==== Statement rules ====

TEST(ParserStatements, FunctionDeclarations) {
    EXPECT_EQ(parsed("function f(a, b) { return a; }"),
              "Function f {Parameter a; Parameter b} {Block {Return a}; Return (Empty)}");
    // No parameters still gives one parameter node, without a name.
    EXPECT_EQ(parsed("function f() {}"), std::string("Function f {Parameter} ") + EmptyBody);
    EXPECT_EQ(parsed("# g() {}"), std::string("Function g {Parameter} ") + EmptyBody);
    EXPECT_EQ(parsed("function () {}"), std::string("Function {Parameter} ") + EmptyBody);

    TJParser parser;
    parser.Source = L"function f() {}";
    ASSERT_TRUE(parser.Parse());
    TJStatement* function = parser.Root()->Child1;
    EXPECT_EQ(function->Child3, parser.Root());
    TJStatement* ret = function->Child2->Next;
    ASSERT_NE(ret, nullptr);
    EXPECT_EQ(ret->Kind, scReturn);
    EXPECT_EQ(ret->LineNo, -1);
    EXPECT_EQ(ret->Expr->Code, ecEmpty);
}

TEST(ParserStatements, BlocksExpressionsAndEmpty) {
    EXPECT_EQ(parsed("{ a; b; }"), "Block {Expression a; Expression b}");
    EXPECT_EQ(parsed("{}"), "Block");
    EXPECT_EQ(parsed("a;"), "Expression a");
    EXPECT_EQ(parsed(";"), "Empty");
    EXPECT_EQ(parsed("a; ; b;"), "Expression a; Empty; Expression b");
}

TEST(ParserStatements, IfWhileWithAndDo) {
    EXPECT_EQ(parsed("if (a) b; else c;"), "If a {Expression b} {Expression c}");
    EXPECT_EQ(parsed("if (a) b = 1;"), "If a {Expression (Assign b i:1)}");
    EXPECT_EQ(parsed("if (a) if (b) c; else d;"), "If a {If b {Expression c} {Expression d}}");
    EXPECT_EQ(parsed("while (a) b;"), "While a {Expression b}");
    EXPECT_EQ(parsed("with (o) f();"), "With o {Expression (Call f)}");
    // The ";" after do ... while () stays and is an empty statement.
    EXPECT_EQ(parsed("do a; while (b);"), "Do b {Expression a}; Empty");
}

TEST(ParserStatements, ForLoops) {
    EXPECT_EQ(parsed("for (i = 0; i < 3; i++) f();"),
              "For (Assign i i:0) {Expression (Call f)} {Empty (Less i i:3); Empty (PostInc i)}");
    EXPECT_EQ(parsed("for (var i = 0; i < 3; i++) ;"),
              "For (ForVar (Assign i i:0)) {Empty} {Empty (Less i i:3); Empty (PostInc i)}");
    EXPECT_EQ(parsed("for (;;) ;"), "For {Empty} {Empty; Empty}");
    EXPECT_EQ(parsed("foreach (;;) ;"), "For {Empty} {Empty; Empty}");
    EXPECT_EQ(parsed("for (k in o) f(k);"), "ForIn k {Expression (Call f [k])} {Empty o}");
    EXPECT_EQ(parsed("for (var k in a.b) ;"), "ForIn (ForVar k) {Empty} {Empty (Member a b)}");
    EXPECT_EQ(parsed("foreach (v in f()) ;"), "ForEach v {Empty} {Empty (Call f)}");
    // The collection is a postfix expression: no operators.
    EXPECT_EQ(syntaxError("for (k in a + b) ;").message, "Text( + )");
    EXPECT_EQ(syntaxError("for (in o) ;").message, "Text( in )");
}

TEST(ParserStatements, BreakAndContinueTakeTheirSemicolon) {
    EXPECT_EQ(parsed("while (a) { if (b) break; else continue; }"),
              "While a {Block {If b {Break} {Continue}}}");
    EXPECT_EQ(parsed("break;"), "Break");
    EXPECT_EQ(parsed("continue; a;"), "Continue; Expression a");
    EXPECT_EQ(syntaxError("break a;").message, "Text( a )");
}

TEST(ParserStatements, ReturnAndThrow) {
    EXPECT_EQ(parsed("function f() { return; }"), "Function f {Parameter} {Block {Return}; Return (Empty)}");
    EXPECT_EQ(parsed("#= 1;"), "Return i:1");
    EXPECT_EQ(parsed("throw e;"), "Throw e");
    EXPECT_EQ(parsed("throw;"), "Throw");
    EXPECT_EQ(syntaxError("return 1 2;").message, "Text( 2 )");
}

TEST(ParserStatements, Switch) {
    EXPECT_EQ(parsed("switch (a) { case 1: b; case 2: default: c; d; }"),
              "Switch a {Case i:1 {Expression b}; Case i:2; Case {Expression c; Expression d}}");
    EXPECT_EQ(syntaxError("switch (a) { default: default: }").message, "Text( default )");
    EXPECT_EQ(syntaxError("switch (a) { }").message, "Text( } )");
    EXPECT_EQ(syntaxError("switch (a) { case 1 b; }").message, "Text( b )");
}

TEST(ParserStatements, Declarations) {
    EXPECT_EQ(parsed("var a = 1, b;"), "Var {Declarator a<i:1>; Declarator b}");
    EXPECT_EQ(parsed("static s = f();"), "Static {Declarator s<(Call f)>}");
    EXPECT_EQ(parsed("global g = h = 2;"), "Global {Declarator g<(Assign h i:2)>}");
    EXPECT_EQ(syntaxError("var a = 1, ;").message, "Text( ; )");
    EXPECT_EQ(syntaxError("var 1;").message, "Text( 1 )");
}

TEST(ParserStatements, Try) {
    EXPECT_EQ(parsed("try { a; } catch (e) { b; } finally { c; }"),
              "Try {Block {Expression a}} {Catch e {Block {Expression b}}} {Finally {Block {Expression c}}}");
    EXPECT_EQ(parsed("try {} catch {}"), "Try {Block} {Catch {Block}}");
    EXPECT_EQ(parsed("try {} catch () {}"), "Try {Block} {Catch {Block}}");
    EXPECT_EQ(parsed("try a; finally b;"), "Try {Expression a} {} {Finally {Expression b}}");
    EXPECT_EQ(syntaxError("try a; b;").message, "not found catch-statement: Text( b )");
}

TEST(ParserStatements, Classes) {
    EXPECT_EQ(parsed("class A extends B { var x = 1; function f() {} y; z = 2; }"),
              std::string("Class A<B> {Var {Declarator x<i:1>}; Function f {Parameter} ") + EmptyBody +
                  "; Declarator y; Declarator z<i:2>}");
    EXPECT_EQ(parsed("class A {}"), "Class A");
    EXPECT_EQ(parsed("class A() {}"), "Class A");
    EXPECT_EQ(parsed("class A(B) {}"), "Class A<B>");
    EXPECT_EQ(syntaxError("class A extends B x").message, "Text( x )");
    EXPECT_EQ(syntaxError("class A { 1; }").message, "Text( 1 )");
    // Only at the top level.
    EXPECT_EQ(syntaxError("{ class A {} }").message, "Text( class )");

    TJParser parser;
    parser.Source = L"class A { function m() {} }";
    ASSERT_TRUE(parser.Parse());
    TJStatement* cls = parser.Root()->Child1;
    EXPECT_EQ(cls->Child3, parser.Root());
    EXPECT_EQ(cls->Child1->Child3, cls);
}

TEST(ParserStatements, Directives) {
    TJParser parser;
    EXPECT_EQ(parser.Directive("DAZiduva"), 1);  // until the first reset
    parser.Source = L"@set @X = 1\n@set @Y = true; @set @Z = -2";
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(dumpStatements(parser.Root()->Child1), "Empty; Empty; Empty; Empty");
    EXPECT_EQ(parser.Directive("X"), 1);
    EXPECT_EQ(parser.Directive("Y"), 1);
    EXPECT_EQ(parser.Directive("Z"), -2);
    EXPECT_EQ(parser.Directive("DAZiduva"), 0);

    EXPECT_EQ(parsed("@set @SHORT_CIRCUIT = 0\nx = a || b && c;"), "Empty; Expression (Assign x (Or a (And b c)))");
    EXPECT_EQ(parsed("@set @SHORT_CIRCUIT = 1\nx = a || b;"), "Empty; Expression (Assign x (OrShort a b))");
    EXPECT_EQ(parsed("@set @VERSION7 = true\nfor (k in o) ;"), "Empty; ForEach k {Empty} {Empty o}");
    EXPECT_EQ(parsed("@set @VERSION7 = 0\nfor (k in o) ;"), "Empty; ForIn k {Empty} {Empty o}");

    EXPECT_EQ(syntaxError("@set @X = 'a'; y;").message, "Text( ; )");
    EXPECT_EQ(syntaxError("@set @X = a; y;").message, "Text( ; )");
    EXPECT_EQ(syntaxError("@set @X = 1.5; y;").message, "Text( ; )");
    EXPECT_EQ(syntaxError("@get @X = 1").message, "Text( get )");
    EXPECT_EQ(syntaxError("@set X = 1").message, "Text( X )");
}

TEST(ParserStatements, FirstTokenThatBeginsNoStatementGivesNothing) {
    for (const char* text : {"<?xml version=\"1.0\"?><widget/>", "}", ")", "else x;", ""}) {
        TJParser parser;
        parser.Source = ansiToWide(text);
        EXPECT_FALSE(parser.Parse()) << text;
        EXPECT_EQ(parser.Root(), nullptr);
    }
    // Later on, such a token is an error, not the silent end of the program.
    SyntaxFault fault = syntaxError("a;\n}\nb;");
    EXPECT_EQ(fault.message, "Text( } )");
    EXPECT_EQ(fault.line, 2);
    EXPECT_EQ(syntaxError("a; else b;").message, "Text( else )");
}

// ==== Expressions ====

TEST(ParserExpressions, BinaryPrecedenceAndLeftAssociativity) {
    EXPECT_EQ(expr("a + b * c"), "(Add a (Mul b c))");
    EXPECT_EQ(expr("a * b + c"), "(Add (Mul a b) c)");
    EXPECT_EQ(expr("a - b - c"), "(Sub (Sub a b) c)");
    EXPECT_EQ(expr("a * b / c % d"), "(Mod (Div (Mul a b) c) d)");
    EXPECT_EQ(expr("a << b + c"), "(Shl a (Add b c))");
    EXPECT_EQ(expr("a >> b >>> c"), "(UShr (Shr a b) c)");
    EXPECT_EQ(expr("a < b << c"), "(Less a (Shl b c))");
    EXPECT_EQ(expr("a <= b > c >= d"), "(GreaterEqual (Greater (LessEqual a b) c) d)");
    EXPECT_EQ(expr("a == b < c"), "(Equal a (Less b c))");
    EXPECT_EQ(expr("a != b === c !== d"), "(StrictNotEqual (StrictEqual (NotEqual a b) c) d)");
    EXPECT_EQ(expr("a & b == c"), "(BitAnd a (Equal b c))");
    EXPECT_EQ(expr("a | b ^ c & d"), "(BitOr a (BitXor b (BitAnd c d)))");
    EXPECT_EQ(expr("a & b | c ^ d"), "(BitOr (BitAnd a b) (BitXor c d))");
    EXPECT_EQ(expr("a && b | c"), "(AndShort a (BitOr b c))");
    EXPECT_EQ(expr("a || b && c"), "(OrShort a (AndShort b c))");
    EXPECT_EQ(expr("a && b || c && d"), "(OrShort (AndShort a b) (AndShort c d))");
    EXPECT_EQ(expr("a || b || c"), "(OrShort (OrShort a b) c)");
}

TEST(ParserExpressions, ConditionalAssignmentAndComma) {
    EXPECT_EQ(expr("a ? b : c ? d : e"), "(Conditional a b (Conditional c d e))");
    EXPECT_EQ(expr("a || b ? c : d"), "(Conditional (OrShort a b) c d)");
    EXPECT_EQ(expr("a ? b = 1 : c"), "(Conditional a (Assign b i:1) c)");
    EXPECT_EQ(expr("a = b = c"), "(Assign a (Assign b c))");
    EXPECT_EQ(expr("a = b ? c : d"), "(Assign a (Conditional b c d))");
    EXPECT_EQ(expr("a += b -= c"), "(AddAssign a (SubAssign b c))");
    EXPECT_EQ(expr("a *= 1"), "(MulAssign a i:1)");
    EXPECT_EQ(expr("a /= 1"), "(DivAssign a i:1)");
    EXPECT_EQ(expr("a %= 1"), "(ModAssign a i:1)");
    EXPECT_EQ(expr("a <<= 1"), "(ShlAssign a i:1)");
    EXPECT_EQ(expr("a >>= 1"), "(ShrAssign a i:1)");
    EXPECT_EQ(expr("a >>>= 1"), "(UShrAssign a i:1)");
    EXPECT_EQ(expr("a &= 1"), "(AndAssign a i:1)");
    EXPECT_EQ(expr("a ^= 1"), "(XorAssign a i:1)");
    EXPECT_EQ(expr("a |= 1"), "(OrAssign a i:1)");
    EXPECT_EQ(expr("a, b = 1, c"), "(Comma (Comma a (Assign b i:1)) c)");
}

TEST(ParserExpressions, AssignmentNeedsAnAssignableTarget) {
    EXPECT_EQ(expr("f() = 2"), "(Assign (Call f) i:2)");
    EXPECT_EQ(expr("a.b = 1"), "(Assign (Member a b) i:1)");
    EXPECT_EQ(expr("a[0] = 1"), "(Assign (Call a [i:0]) i:1)");
    EXPECT_EQ(expr("new A = 1"), "(Assign (New A) i:1)");
    EXPECT_EQ(expr("-a = 1"), "(Assign (Minus a) i:1)");
    EXPECT_EQ(expr("(a = 1)"), "(Assign a i:1)");
    EXPECT_EQ(syntaxError("1 = 2;").message, "Text( = )");
    EXPECT_EQ(syntaxError("(a) = 1;").message, "Text( = )");
    EXPECT_EQ(syntaxError("[a] = 1;").message, "Text( = )");
    EXPECT_EQ(syntaxError("x = (function(){ y = 1; }) = 2;").message, "Text( = )");
    EXPECT_EQ(syntaxError("x = 1").message.substr(0, 5), "Text(");
}

TEST(ParserExpressions, UnaryOperators) {
    EXPECT_EQ(expr("- - a"), "(Minus (Minus a))");
    EXPECT_EQ(expr("+a"), "(Plus a)");
    EXPECT_EQ(expr("~a"), "(BitNot a)");
    EXPECT_EQ(expr("!a == b"), "(Equal (Not a) b)");
    EXPECT_EQ(expr("-a * b"), "(Mul (Minus a) b)");
    EXPECT_EQ(expr("-a.b"), "(Minus (Member a b))");
    EXPECT_EQ(expr("!f()"), "(Not (Call f))");
    EXPECT_EQ(expr("++a"), "(PreInc a)");
    EXPECT_EQ(expr("--a"), "(PreDec a)");
    EXPECT_EQ(expr("a++"), "(PostInc a)");
    EXPECT_EQ(expr("a--"), "(PostDec a)");
    EXPECT_EQ(expr("typeof a.b"), "(TypeOf (Member a b))");
    EXPECT_EQ(expr("delete a[1]"), "(Delete (Call a [i:1]))");
    EXPECT_EQ(expr("void 0"), "(Void i:0)");
    EXPECT_EQ(expr("typeof typeof a"), "(TypeOf (TypeOf a))");
}

TEST(ParserExpressions, PostfixForms) {
    EXPECT_EQ(expr("a.b.c"), "(Member (Member a b) c)");
    EXPECT_EQ(expr("a.b(1, 2)"), "(MethodCall a b [i:1, i:2])");
    EXPECT_EQ(expr("a.b[1]"), "(MethodCall a b [i:1])");
    EXPECT_EQ(expr("a.b()"), "(MethodCall a b)");
    EXPECT_EQ(expr("a[1](2)"), "(Call (Call a [i:1]) [i:2])");
    EXPECT_EQ(expr("a[1)"), "(Call a [i:1])");
    EXPECT_EQ(expr("f(a)[b]"), "(Call (Call f [a]) [b])");
    EXPECT_EQ(expr("a.delete"), "(Member a delete)");
    EXPECT_EQ(expr("new A"), "(New A)");
    EXPECT_EQ(expr("new A(1, b)"), "(New A [i:1, b])");
    EXPECT_EQ(expr("new A()"), "(New A)");
    EXPECT_EQ(expr("new a.B(1)"), "(MethodCall (New a) B [i:1])");
    EXPECT_EQ(expr("this"), "(This)");
    EXPECT_EQ(expr("super"), "(This)");
    EXPECT_EQ(expr("super.x"), "(Super _ x)");
    EXPECT_EQ(syntaxError("f(a,);").message, "Text( ) )");
    EXPECT_EQ(syntaxError("a.1;").message, "Text( 1 )");
}

TEST(ParserExpressions, ArgumentChainsLeanLeft) {
    TJParser parser;
    parser.Source = L"f(a, b, c);";
    ASSERT_TRUE(parser.Parse());
    TJExpr* chain = parser.Root()->Child1->Expr->Right;
    // The node handed on is the last link; each link's Left is the one before.
    ASSERT_EQ(chain->Code, ecArgument);
    EXPECT_EQ(chain->Right->Name, "c");
    ASSERT_EQ(chain->Left->Code, ecArgument);
    EXPECT_EQ(chain->Left->Right->Name, "b");
    ASSERT_EQ(chain->Left->Left->Code, ecArgument);
    EXPECT_EQ(chain->Left->Left->Right->Name, "a");
    EXPECT_EQ(chain->Left->Left->Left, nullptr);
}

TEST(ParserExpressions, Literals) {
    EXPECT_EQ(expr("x = {a: 1, 'b': 2, 3: c, d}"),
              "(Assign x (ObjectLiteral [(ObjectEntry a i:1), (ObjectEntry s:'b' i:2), (ObjectEntry i:3 c), "
              "(ObjectEntry d)]))");
    EXPECT_EQ(expr("x = {}"), "(Assign x (ObjectLiteral))");
    EXPECT_EQ(expr("x = [1, a]"), "(Assign x (ArrayLiteral [i:1, a]))");
    EXPECT_EQ(expr("x = []"), "(Assign x (ArrayLiteral))");
    EXPECT_EQ(expr("x = function(a) {}"), std::string("(Assign x (Function Function {Parameter a} ") + EmptyBody + "))");
    EXPECT_EQ(expr("x = function g() {}"),
              std::string("(Assign x (Assign g (Function Function g {Parameter} ") + EmptyBody + ")))");
    EXPECT_EQ(expr("1"), "i:1");
    EXPECT_EQ(expr("1.5"), "d:1.5");
    EXPECT_EQ(expr("2147483648"), "d:2147483648");
    EXPECT_EQ(expr("0xFFFFFFFF"), "i:-1");
    EXPECT_EQ(expr("'x'"), "s:'x'");
    EXPECT_EQ(expr("\"a\\tb\""), "s:'a\tb'");
    EXPECT_EQ(expr("true"), "b:true");
    EXPECT_EQ(expr("false"), "b:false");
    EXPECT_EQ(expr("null"), "null");
    EXPECT_EQ(expr("NaN"), "NaN");
    EXPECT_EQ(expr("12x5"), "NaN");
    EXPECT_EQ(expr("x = /ab+c/gi"), "(Assign x re:/ab+c/gi)");
    EXPECT_EQ(expr("x = /a/gimgimgim"), "(Assign x re:/a/gimgimg)");  // seven flag letters at most
    EXPECT_EQ(expr("x = '\x93\xfa\x96\x7b'"), "(Assign x s:'\x93\xfa\x96\x7b')");  // code page 932 text

    EXPECT_EQ(syntaxError("x = {a: 1,};").message, "Text( } )");
    EXPECT_EQ(syntaxError("x = {f(): 1};").message, "Text( ( )");
    for (const char* word : {"undefined", "infinity", "const", "debugger", "enum", "export"})
        EXPECT_EQ(syntaxError(std::string("x = ") + word + ";").message, std::string("Text( ") + word + " )");
}

// ==== Constant folding ====

TEST(ParserFolding, OperatorsOnConstantsFold) {
    EXPECT_EQ(expr("x = 1 + 2 * 3"), "(Assign x d:7)");  // arithmetic gives doubles
    EXPECT_EQ(expr("x = -1"), "(Assign x i:-1)");
    EXPECT_EQ(expr("x = - -1"), "(Assign x i:1)");
    EXPECT_EQ(expr("x = ~0"), "(Assign x i:-1)");
    EXPECT_EQ(expr("x = +'3'"), "(Assign x i:3)");
    EXPECT_EQ(expr("x = -1.5"), "(Assign x d:-1.5)");
    EXPECT_EQ(expr("x = 'a' + 1"), "(Assign x s:'a1')");
    EXPECT_EQ(expr("x = 7 % 2"), "(Assign x i:1)");
    EXPECT_EQ(expr("x = -8 >> 1"), "(Assign x i:2147483644)");
    EXPECT_EQ(expr("x = 5 & 3 | 8"), "(Assign x i:9)");
    EXPECT_EQ(expr("x = 1 / 0"), "(Assign x inf)");
    EXPECT_EQ(expr("x = -1 / 0"), "(Assign x -inf)");
    EXPECT_EQ(expr("x = 0 / 0"), "(Assign x NaN)");
    EXPECT_EQ(expr("x = 1 < 2"), "(Assign x b:true)");
    EXPECT_EQ(expr("x = 1 == '1'"), "(Assign x b:true)");
    EXPECT_EQ(expr("x = 1 === '1'"), "(Assign x b:false)");
    EXPECT_EQ(expr("x = true && false"), "(Assign x b:false)");
    EXPECT_EQ(expr("x = 1 || 0"), "(Assign x b:true)");
    EXPECT_EQ(expr("x = 1 + 2 + a"), "(Assign x (Add d:3 a))");
    // Only constant operands fold.
    EXPECT_EQ(expr("x = a + 1 + 2"), "(Assign x (Add (Add a i:1) i:2))");
    EXPECT_EQ(expr("x = !1"), "(Assign x (Not i:1))");
    EXPECT_EQ(expr("x = 1 ? 2 : 3"), "(Assign x (Conditional i:1 i:2 i:3))");
}

TEST(ParserFolding, OperatorThatRaisesStaysUnfolded) {
    EXPECT_EQ(expr("x = NaN + 1"), "(Assign x (Add NaN i:1))");
    EXPECT_EQ(expr("x = 'a' + NaN"), "(Assign x (Add s:'a' NaN))");
    EXPECT_EQ(expr("x = -NaN"), "(Assign x (Minus NaN))");
    EXPECT_EQ(expr("x = ~(1 / 0)"), "(Assign x (BitNot inf))");
}

TEST(ParserFolding, FactoryFreesFoldedOperands) {
    TJExprFactory factory;
    TJExpr* one = factory.MakeInteger(1);
    TJExpr* sum = factory.MakeBinary(ecAdd, one, factory.MakeInteger(2));
    EXPECT_EQ(factory.Count(), 1u);
    EXPECT_EQ(dumpExpr(sum), "d:3");
    TJExpr* negative = factory.MakeUnary(ecMinus, sum);
    EXPECT_EQ(negative, sum);  // folded into the same node
    EXPECT_EQ(dumpExpr(negative), "d:-3");
    TJExpr* name = factory.MakeIdentifier("a");
    TJExpr* kept = factory.MakeBinary(ecAdd, name, negative);
    EXPECT_EQ(factory.Count(), 3u);
    EXPECT_EQ(dumpExpr(kept), "(Add a d:-3)");
}

// ==== Line stamps ====

TEST(ParserLines, NodesTakeTheLexersLineWhenMade) {
    EXPECT_EQ(parsed("a;\n"
                     "if (b)\n"
                     "  c;\n"
                     "function f(x)\n"
                     "{\n"
                     "  return x\n"
                     "  ;\n"
                     "}\n"
                     "while (d) e\n"
                     ";",
                     true),
              "Expression@1 a; If@4 b {Expression@3 c}; Function@4 f {Parameter@4 x} {Block@9 {Return@8 x}; "
              "Return@-1 (Empty)}; While@10 d {Expression@10 e}");
    EXPECT_EQ(parsed("for (;;)\n;", true), "For@2 {Empty@2} {Empty@0; Empty@0}");
    EXPECT_EQ(parsed("do\na;\nwhile (b)\n;", true), "Do@4 b {Expression@2 a}; Empty@4");
    EXPECT_EQ(parsed("while (a)\n{\nbreak\n;\ncontinue;}", true), "While@5 a {Block@5 {Break@4; Continue@5}}");
    EXPECT_EQ(parsed("\nclass\nA {}", true), "Class@3 A");

    TJParser parser;
    parser.Source = L"\n\na;";
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(parser.Root()->LineNo, 1);
}

TEST(ParserLines, SyntaxErrorsCarryTheirLine) {
    SyntaxFault fault = syntaxError("a;\nb;\nc d;");
    EXPECT_EQ(fault.line, 3);
    EXPECT_EQ(fault.message, "Text( d )");
    EXPECT_EQ(syntaxError("a;\r\nb;\r\nc d;").line, 3);
}

// ==== Function texts ====

TEST(ParserFunctionText, WrapsTheTextAsAReturnedExpression) {
    TJParser parser;
    parser.Source = L"var v = 1;";
    ASSERT_TRUE(parser.Parse());
    TJStatement* root = parser.Root();
    TJExpr* function = parser.ParseFunctionText("a + 1");
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(dumpExpr(function), "(Function Function {Parameter} {Block {Return (Add a i:1)}; Return (Empty)})");
    EXPECT_EQ(function->Func->Child3, nullptr);
    EXPECT_EQ(parser.Root(), root);
    EXPECT_EQ(dumpStatements(root->Child1), "Var {Declarator v<i:1>}");
    EXPECT_EQ(dumpExpr(parser.ParseFunctionText("x = 2;")),
              "(Function Function {Parameter} {Block {Return (Assign x i:2); Empty}; Return (Empty)})");
}

TEST(ParserFunctionText, SameTextReusesItsTree) {
    TJParser parser;
    TJExpr* first = parser.ParseFunctionText("f(1)");
    size_t nodes = parser.NodeCount();
    for (int i = 0; i < 100; ++i) EXPECT_EQ(parser.ParseFunctionText("f(1)"), first);
    EXPECT_EQ(parser.NodeCount(), nodes);
    EXPECT_NE(parser.ParseFunctionText("f(2)"), first);
}

TEST(ParserFunctionText, FailedTextLeavesNothingBehind) {
    TJParser parser;
    parser.ParseFunctionText("1");
    size_t nodes = parser.NodeCount();
    for (int i = 0; i < 50; ++i) {
        EXPECT_THROW(parser.ParseFunctionText("f(1 +"), EJSyntaxError);
        EXPECT_THROW(parser.ParseFunctionText("1 ;} x = {"), EJSyntaxError);  // no text after the function
    }
    EXPECT_EQ(parser.NodeCount(), nodes);
    EXPECT_NE(parser.ParseFunctionText("2"), nullptr);
}

TEST(ParserFunctionText, DirectivesArePartOfTheKey) {
    TJParser parser;
    EXPECT_EQ(dumpExpr(parser.ParseFunctionText("a || b")->Func->Child2->Child1->Expr), "(OrShort a b)");
    parser.ParseFunctionText("function() {\n@set @SHORT_CIRCUIT = 0\n}");
    EXPECT_EQ(dumpExpr(parser.ParseFunctionText("a || b")->Func->Child2->Child1->Expr), "(Or a b)");
}

// ==== Depth guard ====

TEST(ParserDepth, RunawayNestingIsASyntaxError) {
    auto nested = [](int depth, const std::string& open, const std::string& middle, const std::string& close) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += open;
        text += middle;
        for (int i = 0; i < depth; ++i) text += close;
        return text;
    };
    EXPECT_EQ(parsed("x = " + nested(100, "(", "1", ")") + ";"), "Expression (Assign x i:1)");
    EXPECT_EQ(syntaxError("x = " + nested(5000, "(", "1", ")") + ";").message, "nesting too deep: Text( ( )");
    EXPECT_EQ(syntaxError(nested(5000, "{", "", "}")).message, "nesting too deep: Text( { )");
    EXPECT_EQ(syntaxError("x = " + nested(5000, "- ", "a", "") + ";").message, "nesting too deep: Text( - )");
    EXPECT_EQ(syntaxError("x = " + nested(5000, "[", "", "]") + ";").message, "nesting too deep: Text( [ )");
    // The last level's condition is one level deeper than its statement.
    EXPECT_EQ(syntaxError(nested(5000, "if (a) ", "b;", "")).message, "nesting too deep: Text( a )");
    // A condition's then-part is checked before the else-part goes deeper.
    EXPECT_EQ(syntaxError("x = " + nested(5000, "a ? b : ", "c", "") + ";").message, "nesting too deep: Text( b )");
    // Long flat chains are no nesting.
    std::string sum = "x = a";
    for (int i = 0; i < 20000; ++i) sum += " + a";
    TJParser parser;
    parser.Source = ansiToWide(sum + ";");
    EXPECT_TRUE(parser.Parse());
    // Nor is an else-if chain: its if nodes nest through the else part as
    // reading them one by one would nest them, all on the chain's last line.
    std::string chain = "if (a) b;";
    for (int i = 0; i < 5000; ++i) chain += "\nelse if (a) b;";
    EXPECT_EQ(parsed("if (a) b; else if (c) d; else e;"), "If a {Expression b} {If c {Expression d} {Expression e}}");
    parser.Source = ansiToWide(chain + " else c;");
    ASSERT_TRUE(parser.Parse());
    const TJStatement* last = parser.Root()->Child1;
    for (int i = 0; i < 5000; ++i) last = last->Child2;
    EXPECT_EQ(last->LineNo, 5001);
    EXPECT_EQ(last->Child2->Kind, scExpression);
}
