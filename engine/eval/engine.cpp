// TJEngine: construction, the standard-stream relays, compiling text and
// files, running a program with its event loop, the host entry CallFunction
// and the one place that turns exceptions into error reports.
#include "engine/eval/engine.h"

#include <windows.h>

#include <new>
#include <vector>

#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/object.h"
#include "engine/syntax/parser.h"
#include "engine/core/scope.h"
#include "engine/support/sourcefiles.h"
#include "engine/core/valuelist.h"
#include "rtl/codepage.h"
#include "rtl/filepath.h"
#include "rtl/numtext.h"
#include "ui/application.h"

namespace {

// Room left on the native stack below which evaluation goes no deeper: what
// native code between two nesting checks and the unwinding itself may need.
constexpr uintptr_t stackReserve = 256 * 1024;

// The folder of the running program, ending with a back-slash.
AnsiString programFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    AnsiString path(buffer, length);
    return path.substr(0, path.length() - extractFileName(path).length());
}

AnsiString currentFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? AnsiString(buffer, length) : AnsiString();
}

// Folders appended to the parser's library list for one compile, removed again
// whatever happens.
class TemporaryLibraryFolders {
public:
    TemporaryLibraryFolders(TJParser& parser, std::initializer_list<AnsiString> folders) : parser_(parser) {
        for (const AnsiString& folder : folders) parser_.LibraryPath.Add(folder);
        added_ = static_cast<int>(folders.size());
    }
    ~TemporaryLibraryFolders() {
        for (int i = 0; i < added_ && parser_.LibraryPath.Count() > 0; ++i)
            parser_.LibraryPath.Delete(parser_.LibraryPath.Count() - 1);
    }
    TemporaryLibraryFolders(const TemporaryLibraryFolders&) = delete;
    TemporaryLibraryFolders& operator=(const TemporaryLibraryFolders&) = delete;

private:
    TJParser& parser_;
    int added_;
};

// The report of a syntax error, at compile time and at run time alike.
AnsiString syntaxErrorReport(int32_t line, const AnsiString& message) {
    return "SyntaxError: Line(" + intToText(line) + ") => " + message;
}

// The compiled-tree caches of a script, beside it first; a script that itself
// ends in ".dmc" has only the temporary one, so it is never overwritten.
std::vector<AnsiString> treeCaches(const AnsiString& scriptPath) {
    AnsiString beside = compiledTreeName(scriptPath);
    AnsiString temporary = temporaryCompiledTreeName(scriptPath);
    if (sameFileName(expandFileName(beside), expandFileName(scriptPath))) return {temporary};
    return {beside, temporary};
}

// Loads the first cache that is not older than the script and holds a tree.
bool loadTreeCache(TJParser& parser, const AnsiString& scriptPath) {
    for (const AnsiString& tree : treeCaches(scriptPath))
        if (isCompiledTreeFresh(tree, scriptPath) && parser.LoadTreeFromFile(tree)) return true;
    return false;
}

// After a parse of the script: saves the tree beside the script, else in the
// temporary folder. A tree that read library files is not cached (a changed
// library would go unseen) and its old caches are removed.
void saveTreeCache(const TJParser& parser, const AnsiString& scriptPath) {
    std::vector<AnsiString> trees = treeCaches(scriptPath);
    if (parser.HasImports()) {
        for (const AnsiString& tree : trees) DeleteFileA(tree.c_str());
        return;
    }
    for (const AnsiString& tree : trees)
        if (parser.SaveTreeToFile(tree)) return;
}

// Counts an active entry for the duration of a scope.
class DepthCount {
public:
    explicit DepthCount(int& depth) : depth_(depth) { ++depth_; }
    ~DepthCount() { --depth_; }
    DepthCount(const DepthCount&) = delete;
    DepthCount& operator=(const DepthCount&) = delete;

private:
    int& depth_;
};

}  // namespace

// ==== Nesting guard ====

void TJNestingGuard::measureStack() {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(&info, &info, sizeof info)) {
        stackBottom_ = stackSpan_ = stackFloor_ = 0;
        return;
    }
    // The committed region holding this frame reaches up to the stack's top.
    stackBottom_ = reinterpret_cast<uintptr_t>(info.AllocationBase);
    stackSpan_ = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize - stackBottom_;
    stackFloor_ = stackBottom_ + stackReserve;
}

void TJNestingGuard::raiseTooDeep() {
    raiseScriptError("ECallError", "too deep nesting: the stack is exhausted");
}

// ==== Construction ====

TJEngine::TJEngine(TJBuiltinsRegistrar registerBuiltins, TROrovod* owner)
    : RootTable(new TJRootSymbolTable), Owner_(owner), Parser_(new TJParser), Factory_(new TJObjectFactory(this)) {
    CurrentTable = RootTable;
    Factory_->NewObjectHandler = TJNewObjectEvent::bind<&TJEngine::HandleNewObject>(this);
    Builtins_ = registerBuiltins(*this);
}

TJEngine::~TJEngine() {
    try {
        ClearEngineState();
        Builtins_.reset();
        delete RootTable;
        if (TextBox_) TextBox_->DecRef();
        while (SpareArgumentListCount_ > 0) delete SpareArgumentLists_[--SpareArgumentListCount_];
        Factory_.reset();
        Parser_.reset();
    } catch (...) {
        // Freeing objects cannot fail in a way a destructor could report.
    }
}

void TJEngine::ClearEngineState() {
    if (ScriptActive()) return;  // a script is still on the stack
    clearState();
}

void TJEngine::clearState() {
    Running = false;
    Ran = false;
    Builtins_->Reset();
    RootTable->Clear();
    Factory_->Clear();
    CurrentLine = -1;
    CurrentTable = RootTable;
}

// ==== Virtual operations ====

void TJEngine::RegisterScriptClass(const AnsiString& name, const TClassInfo* cls) { Factory_->AddClass(name, cls); }

AnsiString TJEngine::GetScriptFileName() { return ScriptFileName; }

bool TJEngine::FindLibraryFile(const AnsiString& name, AnsiString& path) { return Parser_->FindLibraryFile(name, path); }

TJObjectFactory* TJEngine::GetFactory() { return Factory_.get(); }

bool TJEngine::IsRunning() { return Running; }

bool TJEngine::FindGlobalValue(const AnsiString& name, TJValue& value) {
    return CurrentTable->GetVariable(name, value);
}

// ==== Standard streams ====

void TJEngine::WriteStdout(const AnsiString& text) { StdoutHook(text); }

void TJEngine::WriteStderr(const AnsiString& text) { StderrHook(text); }

bool TJEngine::ReadStdin(AnsiString& text, int32_t count, bool line) {
    if (!StdinHook) return false;
    bool success = false;
    StdinHook(text, success, count, line);
    return success;
}

// ==== Compiling ====

bool TJEngine::Compile(const AnsiString& text) {
    if (ScriptActive()) return false;
    // The old tree goes: nothing may keep running code from it.
    ClearEngineState();
    Ran = false;
    Parser_->Source = ansiToWide(text.view());
    TemporaryLibraryFolders folders(*Parser_, {programFolder(), currentFolder()});
    try {
        return Parser_->Parse();
    } catch (const EJSyntaxError& e) {
        CurrentLine = e.Line;
        ReportScriptError(syntaxErrorReport(e.Line, e.message()));
    } catch (const EJRuntimeError& e) {
        ReportScriptError("Exception: " + e.ErrorName + " => " + e.message());
    }
    return false;
}

bool TJEngine::CompileFile(const AnsiString& fileName, bool useCompiledTrees) {
    if (ScriptActive()) return false;
    ScriptFileName = fileName;
    if (!fileExists(fileName)) return false;
    ClearEngineState();
    Ran = false;
    if (useCompiledTrees && loadTreeCache(*Parser_, fileName)) return true;
    AnsiString folder = fileName.substr(0, fileName.length() - extractFileName(fileName).length());
    TemporaryLibraryFolders folders(*Parser_, {folder});
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const Exception&) {
        return false;  // unreadable: as if missing
    }
    bool compiled = Compile(lines.Text());
    if (compiled && useCompiledTrees) saveTreeCache(*Parser_, fileName);
    return compiled;
}

// ==== Running ====

int32_t TJEngine::RunScript(TJStatement* program, TJValueList* args) {
    if (Busy) return 0;
    if (!program) program = Parser_->Root();
    if (!program) return 0;
    Busy = true;
    struct BusyReset {
        bool& busy;
        ~BusyReset() { busy = false; }
    } busyReset{Busy};
    int32_t result = 0;
    std::exception_ptr hostFailure;  // raised by the host's own error handlers
    try {
        beginRun(args);
        bool completed = runProgram(program, result);
        if (completed) runEventLoop();
    } catch (...) {
        try {
            reportException(std::current_exception());
        } catch (...) {
            hostFailure = std::current_exception();
        }
    }
    DoneHook();
    if (hostFailure) std::rethrow_exception(hostFailure);
    return result;
}

void TJEngine::beginRun(TJValueList* args) {
    clearState();
    Running = true;
    Builtins_->BeginRun(args);
    RunHook();
    CurrentTable = RootTable;
}

// Runs the program; true when it ran to its end (the event loop may follow),
// false when exit or a top-level return ended it with a code.
bool TJEngine::runProgram(TJStatement* program, int32_t& result) {
    TJCompletion completion;
    try {
        completion = EvaluateStatements(program, 0, nullptr);
    } catch (const EJExit& e) {
        completion = TJCompletion::Return;
        MakeInteger(e.ExitCode, ReturnValue_);
    }
    if (completion == TJCompletion::Break) raiseScriptError("ESyntaxError", "break");
    if (completion == TJCompletion::Continue) raiseScriptError("ESyntaxError", "continue");
    Ran = true;
    // Later event calls run in the program's own scope.
    try {
        CurrentTable = RootTable->FindNamespace("__MAIN__");
    } catch (const EJThrow&) {
        CurrentTable = RootTable;
    }
    if (completion == TJCompletion::Normal) return true;
    result = ValueToInteger(ReturnValue_);
    MakeUndefined(ReturnValue_);
    return false;
}

bool TJEngine::DoEventsStep() {
    if (!Busy || !Running) return false;
    bool abort = false;
    DoEventsHook(abort);
    if (abort) return false;
    if (Application->IsMainThread()) {
        if (Application->Terminated()) return false;
        Application->ProcessMessages();
    }
    Sleep(10);
    return !Application->Terminated();
}

void TJEngine::runEventLoop() {
    while (Builtins_->EventLoopWanted() && DoEventsStep()) Sleep(5);
}

// ==== Host entry ====

void TJEngine::CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self) {
    TJNestingGuard guard;
    // Between host calls nothing runs in the current scope: what the last
    // host call left there is released now.
    if (Ran && HostCallDepth_ == 0 && CallDepth_ == 0) CurrentTable->ClearTemporaries();
    DepthCount entry(HostCallDepth_);
    MakeUndefined(result);
    try {
        if (IsFunctionValue(function)) CallFunctionValue(function.FuncValue, args, result, self);
        else if (function.ValueType == vtString) EvaluateText(function.StrValue, self, result);
    } catch (const EJException& e) {
        if (!Ran) throw;
        MakeUndefined(result);
        if (dynamic_cast<const EJStatement*>(&e)) return;  // a stray break, continue, return or exit
        reportException(std::current_exception());
    }
}

void TJEngine::HandleNewObject(TJObjectFactory*, TJObject* object) { NewObjectHook(object); }

// ==== Reports ====

void TJEngine::ReportScriptError(const AnsiString& text) {
    WriteStderr(text + "\r\n");
    ErrorHook(CurrentLine, text);
}

void TJEngine::reportException(std::exception_ptr exception) {
    AnsiString line = intToText(CurrentLine);
    AnsiString report;
    try {
        std::rethrow_exception(exception);
    } catch (const EJSyntaxError& e) {
        report = syntaxErrorReport(CurrentLine, e.message());
    } catch (const EJAbort&) {
        report = "Abort Script(" + line + ")";
    } catch (const EJRuntimeError& e) {
        report = "Exception: " + e.ErrorName + "(" + line + ") => " + e.message();
    } catch (const EJStatement&) {
        return;  // control flow that ended the run: nothing to report
    } catch (const Exception& e) {
        report = "Exception: " + AnsiString(e.className()) + "(" + line + ") => " + e.message();
    } catch (const std::bad_alloc&) {
        report = "Exception: EOutOfMemory(" + line + ") => Out of memory";
    } catch (const std::exception& e) {
        report = "Exception: Exception(" + line + ") => " + AnsiString(e.what());
    } catch (...) {
        report = "Exception: Exception(" + line + ") => unknown exception";
    }
    Running = false;
    ReportScriptError(report);
}
