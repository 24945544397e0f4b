// dmsrun: the console runner of script files. It drives the engine component
// like a host does: compiles the file, sends the script's standard output and
// error to its own as bytes, feeds standard input, passes the remaining
// arguments to the run and exits with the run's code (1 when the run ended
// with an error report and gave no code of its own). With --test it runs every
// script of a folder, each with its own input, arguments and dialog answers,
// and writes what each produced for the script tests to compare. It installs
// the system library, network, automation and DLL-call classes in the
// component's slots.
//
//   dmsrun [--compiled] [--trace] [--answer=ANSWER,...] [--timeout=MS] SCRIPT [ARG...]
//   dmsrun --test FOLDER OUTFOLDER [--cached]
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/orovod.h"
#include "engine/core/valuelist.h"
#include "engine/support/mbstring.h"
#include "libraries/standard.h"
#include "rtl/stringlist.h"
#include "tests/runner/uitest.h"

namespace {

// ==== Output and input ====

// Where the script's bytes go: the console handles, or buffers of a test run.
struct Sink {
    HANDLE Handle = nullptr;
    std::string Buffer;
    CRITICAL_SECTION* Lock = nullptr;

    void write(std::string_view bytes) {
        EnterCriticalSection(Lock);
        if (Handle) {
            DWORD written = 0;
            WriteFile(Handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        } else {
            Buffer.append(bytes);
        }
        LeaveCriticalSection(Lock);
    }
};

// Standard input of the script: the console's, or a test's input file.
class Input {
public:
    explicit Input(HANDLE handle) : handle_(handle) {}
    explicit Input(std::string bytes) : bytes_(std::move(bytes)), ended_(true) {}

    // A line (without its line break), count characters (a lead byte of code
    // page 932 with its trail byte is one), or (count -1) all the rest; false
    // at the end of the input.
    bool read(AnsiString& text, int32_t count, bool line) {
        if (line) {
            size_t end;
            while ((end = bytes_.find('\n', position_)) == std::string::npos && fill()) {}
            if (position_ >= bytes_.size() && end == std::string::npos) return false;
            size_t stop = end == std::string::npos ? bytes_.size() : end;
            size_t length = stop - position_;
            if (length > 0 && bytes_[position_ + length - 1] == '\r') --length;
            text = AnsiString(bytes_.data() + position_, length);
            position_ = end == std::string::npos ? bytes_.size() : end + 1;
            return true;
        }
        if (count < 0) {
            while (fill()) {}
        }
        if (count != 0 && !has(1)) return false;
        size_t length = count < 0 ? bytes_.size() - position_ : 0;
        for (int32_t n = 0; n < count && has(length + 1); ++n) {
            has(length + 2);  // the trail byte of a lead byte
            length += mbcsCharWidth(std::string_view(bytes_).substr(position_), length);
        }
        text = AnsiString(bytes_.data() + position_, length);
        position_ += length;
        return true;
    }

private:
    // Whether n bytes past the position are there, reading more when needed.
    bool has(size_t n) {
        while (bytes_.size() - position_ < n && fill()) {}
        return bytes_.size() - position_ >= n;
    }
    bool fill() {
        if (ended_) return false;
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(handle_, chunk, sizeof chunk, &got, nullptr) || got == 0) {
            ended_ = true;
            return false;
        }
        bytes_.append(chunk, got);
        return true;
    }

    HANDLE handle_ = nullptr;
    std::string bytes_;
    size_t position_ = 0;
    bool ended_ = false;
};

// ==== Dialogs ====

// One answer to a dialog: the button to press (a message box's button id; 1
// OK and 2 Cancel for the script dialogs), or closing its window; and what
// to do in a script dialog first.
struct Answer {
    int Id = 0;
    bool Close = false;
    bool SetsText = false;
    std::string Text;          // for the edit or memo
    std::vector<int> Toggles;  // check-list items whose check box flips, in order
    int Select = -1;           // the check list's current item at the end; -1: as it is
};

// Answers from lines (see tests/scripts/README.md): "text TEXT", "toggle N
// ...", "select N" prepare the next answer, which is "close" or a button id.
// In TEXT, "\n" is a line break (CR LF) and "\\" a backslash.
std::vector<Answer> parseAnswers(const std::vector<std::string>& lines) {
    std::vector<Answer> answers;
    Answer next;
    for (const std::string& line : lines) {
        std::string_view word = std::string_view(line).substr(0, line.find(' '));
        std::string rest = word.size() < line.size() ? line.substr(word.size() + 1) : std::string();
        if (word == "text") {
            next.SetsText = true;
            for (size_t i = 0; i < rest.size();) {
                size_t width = mbcsCharWidth(rest, i);  // a trail byte may be a backslash
                if (width == 1 && rest[i] == '\\' && i + 1 < rest.size()) {
                    next.Text += rest[i + 1] == 'n' ? std::string("\r\n") : rest.substr(i + 1, 1);
                    i += 2;
                } else {
                    next.Text.append(rest, i, width);
                    i += width;
                }
            }
        } else if (word == "toggle") {
            char* end;
            for (const char* p = rest.c_str();; p = end) {
                long item = std::strtol(p, &end, 10);
                if (end == p) break;
                next.Toggles.push_back(static_cast<int>(item));
            }
        } else if (word == "select") {
            next.Select = std::atoi(rest.c_str());
        } else {
            next.Close = word == "close";
            next.Id = std::atoi(line.c_str());
            answers.push_back(std::move(next));
            next = Answer();
        }
    }
    return answers;
}

// Answers the dialogs of this process from a second thread: the system's
// message boxes and common dialogs (dialog class "#32770") and the script
// dialogs. Each is logged to the script's output as "msgbox(CAPTION): TEXT
// => ID" (the text empty for a script dialog, "close" for the ID of a closed
// one) and answered with the next answer; when the answers are used up, a
// box with its default button and a script dialog with Cancel. A dialog
// still showing a while after its answer (a file dialog whose onCanClose
// refused) is answered again, with Cancel when the answers are used up.
class DialogAnswerer {
public:
    DialogAnswerer(Sink& out, std::vector<Answer> answers) : out_(out), answers_(std::move(answers)) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &DialogAnswerer::threadMain, this, 0, nullptr);
    }
    ~DialogAnswerer() {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

private:
    static DWORD WINAPI threadMain(LPVOID self) {
        auto* answerer = static_cast<DialogAnswerer*>(self);
        while (WaitForSingleObject(answerer->stop_, 20) == WAIT_TIMEOUT) answerer->poll();
        return 0;
    }

    static std::string classOf(HWND window) {
        char name[32] = "";
        GetClassNameA(window, name, sizeof name);
        return name;
    }

    static bool isScriptDialog(std::string_view className) {
        return className == "TfrmPrompt" || className == "TfrmTextArea" || className == "TfrmCheckList";
    }

    static BOOL CALLBACK findBox(HWND window, LPARAM found) {
        char className[32] = "";
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
        GetClassNameA(window, className, sizeof className);
        if (std::string_view(className) != "#32770" && !isScriptDialog(className)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    // A message box has no text boxes; a common dialog's labels are not logged.
    static bool isMessageBox(HWND box) {
        return !FindWindowExA(box, nullptr, "Edit", nullptr) && !FindWindowExA(box, nullptr, "ComboBox", nullptr);
    }

    // The first child window of the class (and caption, when given).
    static HWND findChild(HWND dialog, const char* className, const char* caption = nullptr) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[64] = "";
            if (caption) GetWindowTextA(child, text, sizeof text);
            if (classOf(child) == className && (!caption || std::string_view(text) == caption)) return child;
        }
        return nullptr;
    }

    // The text box a "text" answer writes: a script dialog's edit or memo; a
    // file dialog's name box (an edit, or the edit of its combo box); a find
    // dialog's search text.
    static HWND textBox(HWND dialog, bool scriptDialog) {
        if (scriptDialog) {
            HWND edit = findChild(dialog, "TEdit");
            return edit ? edit : findChild(dialog, "TMemo");
        }
        HWND combo = GetDlgItem(dialog, cmb13);
        HWND edit = combo ? editInside(combo) : nullptr;
        return edit ? edit : GetDlgItem(dialog, edt1);
    }

    // The first edit among the window's descendants (a combo box's, which
    // may sit inside an extended combo box).
    static HWND editInside(HWND window) {
        HWND edit = nullptr;
        EnumChildWindows(window, &DialogAnswerer::findEdit, reinterpret_cast<LPARAM>(&edit));
        return edit;
    }

    static BOOL CALLBACK findEdit(HWND window, LPARAM found) {
        if (classOf(window) != "Edit") return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    // What the answer does in a dialog before its button: sent, so it is
    // done when the button's message is posted.
    static void prepare(HWND dialog, const Answer& answer, bool scriptDialog) {
        if (answer.SetsText)
            SendMessageA(textBox(dialog, scriptDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.Text.c_str()));
        if (!scriptDialog) return;
        HWND list = findChild(dialog, "TCheckListBox");
        for (int item : answer.Toggles) {
            SendMessageA(list, LB_SETCURSEL, item, 0);
            SendMessageA(list, WM_CHAR, ' ', 0);
        }
        if (answer.Select >= 0) SendMessageA(list, LB_SETCURSEL, answer.Select, 0);
    }

    void poll() {
        HWND box = nullptr;
        EnumWindows(&DialogAnswerer::findBox, reinterpret_cast<LPARAM>(&box));
        if (!box) return;
        std::erase_if(answeredAt_, [](const auto& answered) { return !IsWindow(answered.first); });
        auto answered = answeredAt_.find(box);
        bool again = answered != answeredAt_.end();
        if (again && GetTickCount() - answered->second < kAnswerAgainAfter) return;
        answeredAt_[box] = GetTickCount();
        bool scriptDialog = isScriptDialog(classOf(box));
        char caption[512] = "", text[4096] = "";
        GetWindowTextA(box, caption, sizeof caption);
        if (!scriptDialog && isMessageBox(box)) GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        Answer answer;
        if (next_ < answers_.size()) {
            answer = answers_[next_++];
        } else if (scriptDialog || again) {
            answer.Id = IDCANCEL;
        } else {
            LRESULT defaultId = SendMessageA(box, DM_GETDEFID, 0, 0);
            answer.Id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
        }
        prepare(box, answer, scriptDialog);
        std::string id = answer.Close ? "close" : std::to_string(answer.Id);
        out_.write(std::string("msgbox(") + caption + "): " + text + " => " + id + "\r\n");
        HWND button = scriptDialog ? findChild(box, "TButton", answer.Id == IDOK ? "OK" : "Cancel")
                                   : GetDlgItem(box, answer.Id);
        if (answer.Close || (scriptDialog && answer.Id != IDOK && answer.Id != IDCANCEL))
            PostMessageA(box, WM_CLOSE, 0, 0);
        else
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer.Id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }

    Sink& out_;
    std::vector<Answer> answers_;
    size_t next_ = 0;
    // When each dialog still there was last answered: a file dialog goes on
    // showing a moment after its overwrite question is answered.
    std::map<HWND, DWORD> answeredAt_;
    static constexpr DWORD kAnswerAgainAfter = 2000;  // milliseconds
    HANDLE stop_;
    HANDLE thread_;
};

// ==== One run ====

struct RunOptions {
    bool Compiled = false;
    bool Trace = false;
    DWORD Timeout = 0;  // milliseconds, 0: none
    std::vector<AnsiString> Arguments;
    std::vector<AnsiString> LibraryFolders;
};

// Handlers of the component's events; the component's events carry this
// context as their data.
struct RunContext {
    Sink* Out;
    Sink* Err;
    Input* In;
    DWORD Deadline = 0;
    bool ErrorReported = false;

    void stdoutText(TObject*, const AnsiString& text) { Out->write(text.view()); }
    void stderrText(TObject*, const AnsiString& text) { Err->write(text.view()); }
    void stdinText(TObject*, AnsiString& text, bool& success, int32_t count, bool line) {
        success = In->read(text, count, line);
    }
    void error(TObject*, int32_t, const AnsiString&) { ErrorReported = true; }
    void step(TObject*, bool& abort) {
        if (Deadline && static_cast<LONG>(GetTickCount() - Deadline) >= 0) abort = true;
    }
};

// Compiles and runs one script; the exit code: 1 when it does not compile, or
// when its run ended with an error report and no code of its own.
int runScript(const AnsiString& script, const RunOptions& options, RunContext& context) {
    DIZI component;
    RegisterTestObjects(component);
    component.SetOnStdout(TStringEvent::bind<&RunContext::stdoutText>(&context));
    component.SetOnStderr(TStringEvent::bind<&RunContext::stderrText>(&context));
    component.SetOnError(TErrorEvent::bind<&RunContext::error>(&context));
    component.SetOnStdin(TReadStringEvent::bind<&RunContext::stdinText>(&context));
    if (options.Trace) component.SetOnDebugout(TStringEvent::bind<&RunContext::stderrText>(&context));
    if (options.Timeout) {
        context.Deadline = GetTickCount() + options.Timeout;
        component.SetOnStep(TStepEvent::bind<&RunContext::step>(&context));
        component.SetOnDoEvents(TStepEvent::bind<&RunContext::step>(&context));
    }
    component.SetCompiledBinary(options.Compiled);
    for (const AnsiString& folder : options.LibraryFolders) component.LibraryPath().Add(folder);
    if (!component.CompileFile(script)) return 1;
    TJValueList args;
    for (const AnsiString& argument : options.Arguments) args.AddString(argument);
    int code = component.Run(&args);
    return code == 0 && context.ErrorReported ? 1 : code;
}

// ==== Test folders ====

bool readFile(const std::string& path, std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t got;
    bytes.clear();
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return true;
}

void writeFile(const std::string& path, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The non-empty lines of a file, without line breaks.
std::vector<std::string> readLines(const std::string& path) {
    std::string bytes;
    std::vector<std::string> lines;
    if (!readFile(path, bytes)) return lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Runs a script of a test folder with its .in, .args, .library and .answers
// files and writes OUT.out, OUT.err and OUT.code.
void runTestScript(const std::string& script, const std::string& base, const std::string& out, RunOptions options,
                   CRITICAL_SECTION* lock) {
    std::string input;
    readFile(base + ".in", input);
    for (const std::string& argument : readLines(base + ".args")) options.Arguments.push_back(argument.c_str());
    std::string folder = base.substr(0, base.find_last_of('\\') + 1);
    for (const std::string& library : readLines(base + ".library"))
        options.LibraryFolders.push_back((folder + library).c_str());
    std::vector<Answer> answers = parseAnswers(readLines(base + ".answers"));
    Sink stdoutSink, stderrSink;
    stdoutSink.Lock = stderrSink.Lock = lock;
    Input stdinSource(input);
    RunContext context{&stdoutSink, &stderrSink, &stdinSource};
    int code;
    {
        DialogAnswerer answerer(stdoutSink, answers);
        code = runScript(script.c_str(), options, context);
    }
    writeFile(out + ".out", stdoutSink.Buffer);
    writeFile(out + ".err", stderrSink.Buffer);
    writeFile(out + ".code", std::to_string(code) + "\n");
}

std::string temporaryFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    std::string folder(buffer, length);
    folder += "dmsrun-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A hung script is aborted after 20 s, or after NIMBORA_SCRIPT_TIMEOUT
// milliseconds when set (heap checking slows every script down).
DWORD testTimeout() {
    char text[16];
    DWORD n = GetEnvironmentVariableA("NIMBORA_SCRIPT_TIMEOUT", text, sizeof text);
    DWORD milliseconds = n > 0 && n < sizeof text ? static_cast<DWORD>(std::atol(text)) : 0;
    return milliseconds ? milliseconds : 20000;
}

// Every *.dms of the folder, in name order. With cached, each is also copied
// to a temporary folder and run twice with compiled trees (the first run
// writes the tree, the second loads it), writing OUT.cached.*.
int runTestFolder(const std::string& folder, const std::string& outFolder, bool cached) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.dms").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "dmsrun: no scripts in %s\n", folder.c_str());
        return 2;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());

    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    RunOptions options;
    options.Timeout = testTimeout();
    std::string temporary = cached ? temporaryFolder() : std::string();
    for (const std::string& name : names) {
        std::string stem = name.substr(0, name.size() - 4);
        std::string base = folder + "\\" + stem;
        runTestScript(base + ".dms", base, outFolder + "\\" + stem, options, &lock);
        if (!cached) continue;
        std::string copy = temporary + name;
        CopyFileA((base + ".dms").c_str(), copy.c_str(), FALSE);
        DeleteFileA((temporary + stem + ".dmc").c_str());
        RunOptions cachedOptions = options;
        cachedOptions.Compiled = true;
        cachedOptions.LibraryFolders.push_back((folder + "\\").c_str());
        runTestScript(copy, base, outFolder + "\\" + stem + ".cached", cachedOptions, &lock);
        runTestScript(copy, base, outFolder + "\\" + stem + ".cached", cachedOptions, &lock);
        DeleteFileA(copy.c_str());
        DeleteFileA((temporary + stem + ".dmc").c_str());
    }
    if (cached) RemoveDirectoryA(temporary.c_str());
    DeleteCriticalSection(&lock);
    return 0;
}

// ==== Command line ====

int usage() {
    std::fputs("usage: dmsrun [--compiled] [--trace] [--answer=ANSWER,...] [--timeout=MS] SCRIPT [ARG...]\n"
               "       dmsrun --test FOLDER OUTFOLDER [--cached]\n",
               stderr);
    return 2;
}

// The answers of --answer=: the lines of an answers file, separated by commas.
std::vector<Answer> parseAnswerOption(std::string_view list) {
    std::vector<std::string> lines;
    while (!list.empty()) {
        size_t comma = list.find(',');
        lines.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return parseAnswers(lines);
}

}  // namespace

namespace {

// A crash ends the process at once, reported, instead of waiting in a debugger.
LONG WINAPI crashed(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "dmsrun: crashed with exception %08lx\n", info->ExceptionRecord->ExceptionCode);
    std::fflush(stderr);
    ExitProcess(255);
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&crashed);
    InstallStandardLibraries();
    if (argc >= 4 && std::string_view(argv[1]) == "--test")
        return runTestFolder(argv[2], argv[3], argc >= 5 && std::string_view(argv[4]) == "--cached");

    RunOptions options;
    bool answering = false;
    std::vector<Answer> answers;
    int i = 1;
    for (; i < argc && std::string_view(argv[i]).starts_with("--"); ++i) {
        std::string_view option = argv[i];
        if (option == "--compiled") {
            options.Compiled = true;
        } else if (option == "--trace") {
            options.Trace = true;
        } else if (option.starts_with("--answer=")) {
            answering = true;
            answers = parseAnswerOption(option.substr(9));
        } else if (option.starts_with("--timeout=")) {
            options.Timeout = static_cast<DWORD>(std::atoi(std::string(option.substr(10)).c_str()));
        } else {
            return usage();
        }
    }
    if (i >= argc) return usage();
    AnsiString script = argv[i++];
    for (; i < argc; ++i) options.Arguments.push_back(argv[i]);

    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    Sink out{GetStdHandle(STD_OUTPUT_HANDLE), {}, &lock};
    Sink err{GetStdHandle(STD_ERROR_HANDLE), {}, &lock};
    Input in(GetStdHandle(STD_INPUT_HANDLE));
    RunContext context{&out, &err, &in};
    int code;
    if (answering) {
        DialogAnswerer answerer(out, answers);
        code = runScript(script, options, context);
    } else {
        code = runScript(script, options, context);
    }
    DeleteCriticalSection(&lock);
    return code;
}
