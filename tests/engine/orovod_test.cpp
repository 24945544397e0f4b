// Tests of the engine component and the engine's running: host events, exit
// codes, reports, calls from the host after the run, compiled-tree caching
// through CompileFile, and the rulings on robustness (busy state, released
// host results, deep nesting, the callback exception boundary).
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/object.h"
#include "engine/orovod.h"
#include "engine/syntax/parser.h"
#include "engine/core/scope.h"
#include "engine/core/valuelist.h"
#include "engine/support/sourcefiles.h"
#include "tests/support/tempfiles.h"
#include "ui/application.h"

namespace {

// A component with its output, error reports and run events captured.
class ScriptHost {
public:
    ScriptHost() {
        component.SetOnStdout(TStringEvent::bind<&ScriptHost::stdoutText>(this));
        component.SetOnStderr(TStringEvent::bind<&ScriptHost::stderrText>(this));
        component.SetOnError(TErrorEvent::bind<&ScriptHost::error>(this));
        component.SetOnDone(TNotifyEvent::bind<&ScriptHost::done>(this));
    }

    // Compiles and runs the text; -1000 when it does not compile.
    int run(const std::string& text) {
        if (!component.Compile(AnsiString(text))) return -1000;
        return component.RunNoArgs();
    }
    TJEngine& engine() { return component.Engine(); }
    // A variable of the finished program.
    TJValue global(const char* name) {
        TJValue value;
        EXPECT_TRUE(engine().FindGlobalValue(name, value)) << name;
        return value;
    }

    DIZI component;
    std::string out, err;
    std::vector<std::pair<int, std::string>> errors;
    int doneCount = 0;

private:
    void stdoutText(TObject*, const AnsiString& text) { out += text.str(); }
    void stderrText(TObject*, const AnsiString& text) { err += text.str(); }
    void error(TObject*, int32_t line, const AnsiString& message) { errors.emplace_back(line, message.str()); }
    void done(TObject*) { ++doneCount; }
};

// ==== A host class for the tests ====

TJRuntime* timerRuntime = nullptr;
TJValue timerHandler;
UINT_PTR pendingTimer = 0;
std::atomic<bool> timerHasFired{false};  // read by other threads

void CALLBACK timerFired(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pendingTimer = 0;
    timerHasFired = true;
    guardCallback([] {
        TJValue result;
        timerRuntime->CallFunction(timerHandler, nullptr, result, nullptr);
    });
}

// "TestHost": pump() runs one event-loop step, later(f) calls f from a timer
// on the next pumps, foreign() raises a C++ exception of no script kind.
class TTestHostObject : public TJObject {
    RTL_DECLARE_CLASS()
    TTestHostObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
        SetClassName("TestHost");
    }
    // A timer still pending calls no handler of a gone engine.
    ~TTestHostObject() override {
        if (pendingTimer) KillTimer(nullptr, pendingTimer);
        pendingTimer = 0;
    }

    const TJMethodTable& Methods() const override;
};

void pump(TTestHostObject& self, TJValueList*, TJValue& result) { MakeBool(self.Runtime()->DoEventsStep(), result); }

void later(TTestHostObject& self, TJValueList* args, TJValue&) {
    timerRuntime = self.Runtime();
    timerHandler = args->At(0);
    if (pendingTimer) KillTimer(nullptr, pendingTimer);
    timerHasFired = false;
    pendingTimer = SetTimer(nullptr, 0, 1, &timerFired);
}

void foreign(TTestHostObject&, TJValueList*, TJValue&) { throw std::bad_alloc(); }

const TJMethod<TTestHostObject> testHostMethods[] = {
    {"pump", 0, &pump},
    {"later", 1, &later},
    {"foreign", 0, &foreign},
};

const TJMethodTable& TTestHostObject::Methods() const {
    static const TJMethodTable table(testHostMethods, TJObject::Methods());
    return table;
}

}  // namespace

const TClassInfo TTestHostObject::classInfo = makeClassInfo("TTestHostObject", &TJObject::classInfo,
                                                            &scriptCreator<TTestHostObject>, TGlobalInstance::No);

// ==== Events and streams ====

TEST(EngineComponent, OutputGoesToTheHostOnlyWhenAssigned) {
    DIZI silent;
    EXPECT_FALSE(silent.Engine().StdoutHook);
    ASSERT_TRUE(silent.Compile("WScript.StdOut.Write(\"dropped\");"));
    EXPECT_EQ(silent.RunNoArgs(), 0);

    ScriptHost host;
    EXPECT_EQ(host.run("WScript.StdOut.Write(\"a\"); WScript.StdOut.WriteLine(1 + 1);"), 0);
    EXPECT_EQ(host.out, "a2\r\n");
    host.component.SetOnStdout(TStringEvent());
    EXPECT_FALSE(host.engine().StdoutHook);
}

TEST(EngineComponent, ReadingWithoutAnInputHandlerFails) {
    ScriptHost host;
    host.run("var line = WScript.StdIn.ReadLine();");
    EXPECT_EQ(host.err, "Exception: EFileError(1) => read error: STDIN\r\n");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], std::make_pair(1, std::string("Exception: EFileError(1) => read error: STDIN")));
    EXPECT_EQ(host.component.LastStderr(), "Exception: EFileError(1) => read error: STDIN\r\n");
}

namespace {
struct InputFeed {
    std::vector<std::string> lines;
    std::vector<std::pair<int32_t, bool>> requests;
    void read(TObject*, AnsiString& text, bool& success, int32_t count, bool line) {
        requests.emplace_back(count, line);
        if (lines.empty()) return;
        text = lines.front().c_str();
        lines.erase(lines.begin());
        success = true;
    }
};
}  // namespace

TEST(EngineComponent, InputComesFromTheHandler) {
    ScriptHost host;
    InputFeed feed{{"first", "second"}, {}};
    host.component.SetOnStdin(TReadStringEvent::bind<&InputFeed::read>(&feed));
    host.run("var a = WScript.StdIn.ReadLine(); var b = WScript.StdIn.Read(3);\n"
             "WScript.StdOut.Write(a + \"|\" + b);");
    EXPECT_EQ(host.out, "first|sec");
    ASSERT_EQ(feed.requests.size(), 2u);
    EXPECT_EQ(feed.requests[0], std::make_pair(-1, true));
    EXPECT_EQ(feed.requests[1], std::make_pair(3, false));
}

TEST(EngineComponent, TracesTokensToTheDebugEvent) {
    ScriptHost host;
    std::string trace;
    struct Tracer {
        std::string* text;
        void add(TObject*, const AnsiString& s) { *text += s.str() + "\n"; }
    } tracer{&trace};
    host.component.SetOnDebugout(TStringEvent::bind<&Tracer::add>(&tracer));
    ASSERT_TRUE(host.component.Compile("x = 1;"));
    EXPECT_NE(trace.find("( x )"), std::string::npos) << trace;
    host.component.SetOnDebugout(TStringEvent());
    trace.clear();
    ASSERT_TRUE(host.component.Compile("y = 2;"));
    EXPECT_EQ(trace, "");
}

TEST(EngineComponent, NewObjectsAreAnnounced) {
    ScriptHost host;
    std::vector<std::string> classes;
    struct Watch {
        std::vector<std::string>* names;
        void seen(TObject*, TJObject* object) { names->push_back(object->ClassName()); }
    } watch{&classes};
    host.component.SetOnNewObject(TNewObjectEvent::bind<&Watch::seen>(&watch));
    ASSERT_TRUE(host.component.Compile("var o = {}; var a = [1, 2];"));
    classes.clear();
    host.component.RunNoArgs();
    EXPECT_NE(std::find(classes.begin(), classes.end(), "TJArrayObject"), classes.end());
    EXPECT_NE(std::find(classes.begin(), classes.end(), "TJObject"), classes.end());
}

TEST(EngineComponent, RunEventsAndTimes) {
    ScriptHost host;
    int runs = 0;
    struct Counter {
        int* count;
        void run(TObject*) { ++*count; }
    } counter{&runs};
    host.component.SetOnRun(TNotifyEvent::bind<&Counter::run>(&counter));
    EXPECT_EQ(host.run("var i = 0; while (i < 100) i++;"), 0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(host.doneCount, 1);
    EXPECT_LT(host.component.RunTime(), 60000u);
    EXPECT_FALSE(host.engine().Busy);
    EXPECT_TRUE(host.engine().Ran);
}

// ==== Exit codes and reports ====

// The host's main form owns the engines: an engine can go alone, and the
// owner frees the rest with itself.
TEST(EngineComponent, OwnedByAComponent) {
    auto* owner = new TComponent(nullptr);
    auto* first = new DIZI(owner);
    new DIZI(owner);
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_TRUE(first->Compile("var x = 1;"));
    first->Free();
    EXPECT_EQ(owner->ComponentCount(), 1);
    owner->Free();
}

TEST(EngineRun, ExitCodes) {
    ScriptHost host;
    EXPECT_EQ(host.run("WScript.Quit(3); WScript.StdOut.Write(\"no\");"), 3);
    EXPECT_EQ(host.out, "");
    EXPECT_EQ(host.run("function f() { WScript.Quit(4); } f();"), 4);
    EXPECT_EQ(host.run("var a = 1;\nreturn 7;\na = 2;"), 7);
    EXPECT_EQ(host.global("a").IntegerValue, 1);
    EXPECT_EQ(host.run("return \"12\";"), 12);
    EXPECT_EQ(host.run("var x = 1;"), 0);
    EXPECT_EQ(host.err, "");
}

TEST(EngineRun, AbortFromTheStepEvent) {
    ScriptHost host;
    int steps = 0;
    struct Stepper {
        int* count;
        void step(TObject*, bool& abort) { abort = ++*count == 4; }
    } stepper{&steps};
    host.component.SetOnStep(TStepEvent::bind<&Stepper::step>(&stepper));
    host.run("var a = 1;\nvar b = 2;\nvar c = 3;\nvar d = 4;");
    // The program node is the first statement, then one per line.
    EXPECT_EQ(host.err, "Abort Script(3)\r\n");
    EXPECT_FALSE(host.engine().Running);
}

TEST(EngineRun, SyntaxErrorsWhileCompiling) {
    ScriptHost host;
    EXPECT_FALSE(host.component.Compile("var a = 1;\n\nvar b = ;"));
    EXPECT_EQ(host.err, "SyntaxError: Line(3) => Text( ; )\r\n");
    EXPECT_EQ(host.engine().CurrentLine, 3);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].first, 3);
}

TEST(EngineRun, TextThatBeginsNoStatementCompilesToNothing) {
    ScriptHost host;
    EXPECT_FALSE(host.component.Compile("<widget/>"));
    EXPECT_EQ(host.err, "");
    EXPECT_EQ(host.component.RunNoArgs(), 0);
}

TEST(EngineRun, RunningAgainStartsFromAClearState) {
    ScriptHost host;
    ASSERT_TRUE(host.component.Compile("var n = 0; n++; WScript.StdOut.Write(n);"));
    host.component.RunNoArgs();
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "11");
}

// Every run's named and positional arguments are that run's alone.
TEST(EngineRun, ArgumentsOfAnEarlierRunAreGone) {
    ScriptHost host;
    ASSERT_TRUE(host.component.Compile(
        "var a = WScript.Arguments; WScript.StdOut.Write(a.Named.Count + ' ' + a.Unnamed.Count + ';');"));
    TJValueList first, second;
    first.AddString("/a:1");
    first.AddString("b");
    second.AddString("/c:2");
    host.component.Run(&first);
    host.component.Run(&second);
    EXPECT_EQ(host.out, "1 1;1 0;");
}

// A run whose host handler throws still ends: busy is reset, OnDone fires,
// and the next run works.
TEST(EngineRun, HostFailuresNeverLeaveTheEngineBusy) {
    ScriptHost host;
    struct Thrower {
        void run(TObject*) { throw std::runtime_error("host trouble"); }
    } thrower;
    host.component.SetOnRun(TNotifyEvent::bind<&Thrower::run>(&thrower));
    EXPECT_EQ(host.run("WScript.StdOut.Write(\"x\");"), 0);
    EXPECT_EQ(host.err, "Exception: Exception(-1) => host trouble\r\n");
    EXPECT_EQ(host.doneCount, 1);
    EXPECT_FALSE(host.engine().Busy);
    host.component.SetOnRun(TNotifyEvent());
    host.err.clear();
    EXPECT_EQ(host.component.RunNoArgs(), 0);
    EXPECT_EQ(host.out, "x");
    EXPECT_EQ(host.err, "");

    struct Reentrant {
        DIZI* component;
        int code = -1;
        void run(TObject*) { code = component->RunNoArgs(); }
    } reentrant{&host.component};
    host.component.SetOnRun(TNotifyEvent::bind<&Reentrant::run>(&reentrant));
    host.component.RunNoArgs();
    EXPECT_EQ(reentrant.code, 0);  // a run while busy does nothing
    EXPECT_EQ(host.out, "xx");
}

TEST(EngineRun, ForeignExceptionsAreReported) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    host.run("var h = new TestHost;\nh.foreign();");
    EXPECT_EQ(host.err, "Exception: EOutOfMemory(2) => Out of memory\r\n");
}

TEST(EngineRun, OutOfMemoryIsAScriptError) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    host.run("var h = new TestHost;\ntry { h.foreign(); } catch (e) { WScript.StdOut.Write(e); }");
    EXPECT_EQ(host.out, "EOutOfMemory");
    EXPECT_EQ(host.err, "");
}

// ==== Calls from the host ====

TEST(EngineCalls, HandlersRunAfterTheProgram) {
    ScriptHost host;
    ASSERT_EQ(host.run("var count = 0;\nfunction onTick(step) { count += step; return count; }\n"
                       "function broken() {\n  var a = 1;\n  missing();\n}"),
              0);
    TJValue handler = host.global("onTick"), result;
    TJValueList args;
    args.AddInteger(5);
    host.engine().CallFunction(handler, &args, result, nullptr);
    host.engine().CallFunction(handler, &args, result, nullptr);
    EXPECT_EQ(ValueToInteger(result), 10);
    EXPECT_EQ(ValueToInteger(host.global("count")), 10);

    TJValue text;
    MakeString("count * 2", text);
    host.engine().CallFunction(text, nullptr, result, nullptr);
    EXPECT_EQ(ValueToInteger(result), 20);

    // An error after the program has finished is reported once, and the
    // engine stops delivering events.
    host.engine().CallFunction(host.global("broken"), nullptr, result, nullptr);
    EXPECT_EQ(host.err, "Exception: ENameError(5) => undefined - missing\r\n");
    EXPECT_FALSE(host.engine().Running);
    TJObject* object = createObject<TJObject>(&host.engine(), true, nullptr);
    EXPECT_FALSE(object->HasEventHandler(""));
}

TEST(EngineCalls, StrayJumpsFromHandlersAreSwallowed) {
    ScriptHost host;
    ASSERT_EQ(host.run("function quit() { WScript.Quit(2); }"), 0);
    TJValue result;
    host.engine().CallFunction(host.global("quit"), nullptr, result, nullptr);
    EXPECT_EQ(host.err, "");
    EXPECT_TRUE(host.engine().Running);
}

// Objects handed to the host are released at its next call: a handler run
// many times leaves no objects behind.
TEST(EngineCalls, HostResultsAreReleased) {
    ScriptHost host;
    ASSERT_EQ(host.run("function make(i) { var list = [i, i]; return {list: list, n: i}; }"), 0);
    TJValue handler = host.global("make"), result;
    TJValueList args;
    args.AddInteger(0);
    int before = host.engine().GetFactory()->ObjectCount();
    for (int i = 0; i < 20000; ++i) host.engine().CallFunction(handler, &args, result, nullptr);
    ASSERT_TRUE(IsObjectValue(result));
    EXPECT_LE(host.engine().GetFactory()->ObjectCount(), before + 4);
}

// ==== Nesting ====

TEST(EngineNesting, LongOperatorChainsNeedNoDepth) {
    std::string text = "var a = 1;\nvar s = a";
    for (int i = 1; i < 100000; ++i) text += " + a";
    text += ";\nWScript.StdOut.Write(s);";
    ScriptHost host;
    EXPECT_EQ(host.run(text), 0);
    EXPECT_EQ(host.out, "100000");
    EXPECT_EQ(host.err, "");

    // The same tree read back from a compiled-tree file.
    TempFolder folder;
    AnsiString script = folder.write("chain.dms", text);
    host.component.SetCompiledBinary(true);
    ASSERT_TRUE(host.component.CompileFile(script));
    ASSERT_TRUE(host.component.CompileFile(script));  // now from the cache
    host.out.clear();
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "100000");
}

TEST(EngineNesting, DeepExpressionTreesEvaluate) {
    std::string text = "var a = 1;\nvar s = a";
    for (int i = 1; i < 100000; ++i) text += " && a";
    // An operand that is not needed is never evaluated (nosuch is undefined).
    text += ";\nvar t = a";
    for (int i = 1; i < 100000; ++i) text += " || nosuch";
    text += ";\nvar f = 0 && nosuch && nosuch;";
    text += "\nWScript.StdOut.Write(s + \",\" + t + \",\" + f);";
    ScriptHost host;
    EXPECT_EQ(host.run(text), 0);
    EXPECT_EQ(host.out, "true,true,false");
    EXPECT_EQ(host.err, "");
}

// Nesting with no end (here a class that extends itself, which makes no
// script calls) ends in a script error before the stack does.
TEST(EngineNesting, RunawayNestingIsAScriptError) {
    ScriptHost host;
    EXPECT_EQ(host.run("class A extends A { }\nvar x = new A;\nWScript.StdOut.Write(\"not reached\");"), 0);
    EXPECT_EQ(host.err, "Exception: ECallError(2) => too deep nesting: the stack is exhausted\r\n");
    EXPECT_EQ(host.out, "");
    host.err.clear();
    EXPECT_EQ(host.run("WScript.StdOut.Write(\"usable\");"), 0);
    EXPECT_EQ(host.out, "usable");
}

// ==== The callback boundary ====

// A script error raised in a timer's handler while the program runs crosses
// no platform frame: the pump raises it again and the program reports it.
TEST(EngineCallbacks, ErrorsInCallbacksReachTheProgram) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    host.run("var h = new TestHost;\nvar fired = false;\n"
             "h.later(function () { fired = true;\n throw \"from timer\"; });\n"
             "for (var i = 0; i < 500 && !fired; i++) h.pump();\n"
             "WScript.StdOut.Write(\"not reached\");");
    EXPECT_EQ(host.out, "");
    EXPECT_EQ(host.err, "Exception: EThrow(4) => \r\n");

    host.err.clear();
    host.run("var h = new TestHost;\nvar fired = false;\n"
             "h.later(function () { fired = true; h.foreign(); });\n"
             "for (var i = 0; i < 500 && !fired; i++) h.pump();\n");
    EXPECT_EQ(host.err, "Exception: EOutOfMemory(3) => Out of memory\r\n");
}

TEST(EngineCallbacks, CaughtInTheScript) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    EXPECT_EQ(host.run("var h = new TestHost;\nvar fired = false;\n"
                       "h.later(function () { fired = true; throw \"t\"; });\n"
                       "try { for (var i = 0; i < 500 && !fired; i++) h.pump(); }\n"
                       "catch (e) { WScript.StdOut.Write(\"caught \" + e); }"),
              0);
    EXPECT_EQ(host.out, "caught t");
    EXPECT_EQ(host.err, "");
}

namespace {
// Closes the first message box of this process with OK, from a second thread,
// once the box's own loop has run the pending timer (a loaded machine may take
// a while).
class BoxCloser {
public:
    BoxCloser() : thread_(CreateThread(nullptr, 0, &BoxCloser::run, nullptr, 0, nullptr)) {}
    ~BoxCloser() {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }

private:
    static BOOL CALLBACK find(HWND window, LPARAM found) {
        char name[16];
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
            std::string_view(name) == "#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI run(LPVOID) {
        for (int i = 0; i < 500; ++i) {
            Sleep(20);
            HWND box = nullptr;
            EnumWindows(&BoxCloser::find, reinterpret_cast<LPARAM>(&box));
            if (!box) continue;
            for (int wait = 0; wait < 1000 && !timerHasFired; ++wait) Sleep(10);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return 0;
        }
        return 0;
    }
    HANDLE thread_;
};
}  // namespace

// A handler that fails while a message box waits: the box returns first, then
// the error goes on from the call that showed it.
TEST(EngineCallbacks, ErrorsDuringAMessageBoxFollowIt) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    BoxCloser closer;
    host.run("var h = new TestHost;\nh.later(function () { throw \"while the box waits\"; });\n"
             "try {\n  alert(\"box\");\n} catch (e) {\n  print(\"caught \" + e);\n}");
    EXPECT_EQ(host.out, "caught while the box waits");
    EXPECT_EQ(host.err, "");
}

// ==== Compiled trees through CompileFile ====

namespace {
void setFileTime(const AnsiString& path, int64_t offsetSeconds) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart += offsetSeconds * 10000000LL;
    FILETIME when{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, &when);
    CloseHandle(file);
}
}  // namespace

TEST(EngineCompileFile, CompiledTreesBesideTheScript) {
    TempFolder folder;
    AnsiString script = folder.write("s.dms", "WScript.StdOut.Write(\"one\");");
    AnsiString cache = folder.file("s.dmc");
    ScriptHost host;
    ASSERT_TRUE(host.component.CompileFile(script));
    EXPECT_EQ(GetFileAttributesA(cache.c_str()), INVALID_FILE_ATTRIBUTES);  // off by default
    EXPECT_EQ(host.component.ScriptFileName(), script);

    host.component.SetCompiledBinary(true);
    ASSERT_TRUE(host.component.CompileFile(script));
    ASSERT_NE(GetFileAttributesA(cache.c_str()), INVALID_FILE_ATTRIBUTES);

    // An up-to-date cache is used without reading the source.
    folder.write("s.dms", "WScript.StdOut.Write(\"two\");");
    setFileTime(script, -3600);
    ASSERT_TRUE(host.component.CompileFile(script));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "one");

    // An older cache is ignored and rewritten.
    setFileTime(script, 3600);
    ASSERT_TRUE(host.component.CompileFile(script));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "onetwo");
    setFileTime(script, -7200);
    ASSERT_TRUE(host.component.CompileFile(script));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "onetwotwo");
}

TEST(EngineCompileFile, AnUnwritableFolderCachesInTheTemporaryFolder) {
    TempFolder folder;
    AnsiString script = folder.write("v.dms", "WScript.StdOut.Write(\"one\");");
    folder.folder("v.dmc");  // a folder where the cache file would go
    AnsiString temporary = temporaryCompiledTreeName(script);
    ScriptHost host;
    host.component.SetCompiledBinary(true);
    ASSERT_TRUE(host.component.CompileFile(script));
    ASSERT_NE(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
    folder.write("v.dms", "WScript.StdOut.Write(\"two\");");
    setFileTime(script, -3600);
    ASSERT_TRUE(host.component.CompileFile(script));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "one");
    DeleteFileA(temporary.c_str());
}

TEST(EngineCompileFile, AScriptNamedLikeItsCacheIsNeverOverwritten) {
    TempFolder folder;
    AnsiString script = folder.write("s.dmc", "z = 1;");
    ScriptHost host;
    host.component.SetCompiledBinary(true);
    ASSERT_TRUE(host.component.CompileFile(script));
    EXPECT_EQ(readBytes(script), "z = 1;");
    DeleteFileA(temporaryCompiledTreeName(script).c_str());
}

TEST(EngineCompileFile, TreesThatImportLibrariesAreNotCached) {
    TempFolder folder;
    folder.write("lib.dms", "l = 1;");
    AnsiString script = folder.write("u.dms", "import lib;");
    folder.write("u.dmc", "an old cache");
    ScriptHost host;
    host.component.SetCompiledBinary(true);
    ASSERT_TRUE(host.component.CompileFile(script));
    EXPECT_EQ(GetFileAttributesA(folder.file("u.dmc").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(temporaryCompiledTreeName(script).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(EngineCompileFile, MissingAndXmlFiles) {
    TempFolder folder;
    ScriptHost host;
    AnsiString missing = folder.file("none.dms");
    EXPECT_FALSE(host.component.CompileFile(missing));
    EXPECT_EQ(host.component.ScriptFileName(), missing);
    AnsiString xml = folder.write("w.xml", "<?xml version=\"1.0\"?>\r\n<widget/>\r\n");
    EXPECT_FALSE(host.component.CompileFile(xml));
    EXPECT_EQ(host.component.ScriptFileName(), xml);
    EXPECT_EQ(host.err, "");
}

TEST(EngineCompileFile, ImportsFromTheScriptsFolder) {
    TempFolder folder;
    folder.write("lib.dms", "function twice(x) { return x * 2; }");
    AnsiString script = folder.write("main.dms", "import lib.*;\nWScript.StdOut.Write(twice(21));");
    ScriptHost host;
    ASSERT_TRUE(host.component.CompileFile(script));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "42");
    EXPECT_EQ(host.component.LibraryPath().Count(), 0);  // the folder was only lent
}

// ==== The event loop ====

TEST(EngineEventLoop, RunsUntilTerminate) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    EXPECT_EQ(host.run("var h = new TestHost;\nvar ticks = 0;\n"
                       "function tick() { ticks++; if (ticks < 3) h.later(tick); else terminate(); }\n"
                       "h.later(tick);\neventLoop();\nprint(\"end of program \", ticks);"),
              0);
    EXPECT_EQ(host.out, "end of program 0");
    EXPECT_EQ(ValueToInteger(host.global("ticks")), 3);
    EXPECT_EQ(host.err, "");
    EXPECT_EQ(host.doneCount, 1);
}

TEST(EngineEventLoop, WithoutEventLoopTheRunEndsAtOnce) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    EXPECT_EQ(host.run("var h = new TestHost;\nvar ticks = 0;\nh.later(function () { ticks++; });"), 0);
    EXPECT_EQ(ValueToInteger(host.global("ticks")), 0);
}

// An error in a handler after the program is reported once; the engine then
// stops and the loop ends.
TEST(EngineEventLoop, HandlerErrorsEndTheLoop) {
    ScriptHost host;
    host.component.ImportObject("TestHost", &TTestHostObject::classInfo);
    EXPECT_EQ(host.run("var h = new TestHost;\n"
                       "h.later(function () {\n  var a = null;\n  a.member;\n});\n"
                       "eventLoop();"),
              0);
    EXPECT_EQ(host.err, "Exception: ENameError(4) => member error member\r\n");
    EXPECT_FALSE(host.engine().Running);
    EXPECT_FALSE(host.engine().Busy);
}

TEST(EngineEventLoop, TheHostEndsTheLoop) {
    ScriptHost host;
    int steps = 0;
    struct Stopper {
        int* count;
        void step(TObject*, bool& abort) { abort = ++*count == 5; }
    } stopper{&steps};
    host.component.SetOnDoEvents(TStepEvent::bind<&Stopper::step>(&stopper));
    EXPECT_EQ(host.run("eventLoop();\nprint(\"before the loop\");"), 0);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(host.out, "before the loop");
    EXPECT_EQ(host.err, "");
}

// Boxed primitives live for their statement only.
TEST(EngineObjects, TemporariesAreReleasedAfterEachStatement) {
    ScriptHost host;
    ASSERT_TRUE(host.component.Compile("var n = 0;\nfor (var i = 0; i < 5000; i++) {\n"
                                       "  n = n + \"text\".length + [i].length + {a: i}.a;\n}\n"
                                       "while (n < 0) { }\nprint(n);"));
    int before = 0;
    struct Counter {
        int* objects;
        TJEngine* engine;
        void run(TObject*) { *objects = engine->GetFactory()->ObjectCount(); }
    } counter{&before, &host.engine()};
    host.component.SetOnRun(TNotifyEvent::bind<&Counter::run>(&counter));
    host.component.RunNoArgs();
    EXPECT_EQ(host.out, "12522500");  // 4 + 1 + i for i from 0 to 4999
    EXPECT_LE(host.engine().GetFactory()->ObjectCount(), before + 60);
}
