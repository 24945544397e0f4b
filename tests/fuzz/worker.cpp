// The fuzz worker's loop: the inputs by position, the heap check, and the
// ways a worker ends when an input fails (its crash handler included).
#include "worker.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "calls.h"
#include "inputs.h"
#include "rtl/exceptions.h"
#include "rtl/fileio.h"
#include "shared.h"
#include "targets.h"

namespace {

// ==== Ending ====

SharedBlock* block = nullptr;

[[noreturn]] void end(UINT code) {
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);  // never reached
}

LONG WINAPI crashed(EXCEPTION_POINTERS* info) { end(info->ExceptionRecord->ExceptionCode); }

[[noreturn]] void terminated() { end(WorkerTerminated); }

// ==== Processor time ====

HANDLE mainThread = nullptr;

LONG workMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(mainThread, &created, &exited, &kernel, &user)) return 0;
    ULARGE_INTEGER k{{kernel.dwLowDateTime, kernel.dwHighDateTime}}, u{{user.dwLowDateTime, user.dwHighDateTime}};
    return static_cast<LONG>((k.QuadPart + u.QuadPart) / 10000);
}

// A thread of its own keeps the figure fresh while the main thread is busy
// or stuck; it touches nothing of the engine.
DWORD WINAPI publishWork(LPVOID) {
    for (;;) {
        block->work = workMilliseconds();
        Sleep(50);
    }
}

void startPublishingWork() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    CloseHandle(CreateThread(nullptr, 0, &publishWork, nullptr, 0, nullptr));
}

SharedBlock* openBlock(DWORD supervisor) {
    char name[64];
    sharedBlockName(supervisor, name);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (!mapping) return nullptr;
    return static_cast<SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)));
}

bool heapsValid() {
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    return true;
}

// ==== Inputs ====

// tests\fuzz\regressions\FAILURE\NAME, saved again as FAILURE\NAME when it
// fails; under check it must also run cleanly.
std::vector<Input> loadRegressions(const std::string& root) {
    std::string base = root + "\\tests\\fuzz\\regressions";
    std::vector<Input> inputs;
    for (const std::string& failure : filesIn(base, "*", true)) {
        for (const std::string& name : filesIn(base + "\\" + failure, "*")) {
            Input input{InputKind::Script, {}, name, failure == "check"};
            if (!kindOfFile(name, input.kind)) continue;
            input.bytes = readFileBytes(AnsiString(base + "\\" + failure + "\\" + name));
            inputs.push_back(std::move(input));
        }
    }
    return inputs;
}

// What the generated inputs are, in turn: mutated test scripts, built-in
// calls, compiled trees, widget files, settings files and form streams.
enum class Made { Script, Calls, Tree, Widget, Settings, Form };
constexpr Made Cycle[] = {Made::Script, Made::Calls, Made::Tree,   Made::Script, Made::Widget, Made::Form,
                          Made::Calls,  Made::Tree,  Made::Script, Made::Widget, Made::Settings};
constexpr size_t CallsPerCycle = 2;

Input generate(uint64_t seed, uint64_t index, const Corpus& corpus, const BuiltinCalls& calls) {
    Random random(seed, index);
    Input input;
    size_t slot = index % std::size(Cycle);
    switch (Cycle[slot]) {
    case Made::Calls:
        input.bytes = calls.script(index / std::size(Cycle) * CallsPerCycle + (slot > 1), random);
        break;
    case Made::Tree:
        input.kind = InputKind::Tree;
        // A tree of a mutated script carries deep nesting in its own records.
        if (random.chance(30)) {
            std::string script = random.pick(corpus.of(InputKind::Script));
            mutate(script, InputKind::Script, corpus, random);
            input.bytes = treeOf(script);
        }
        if (input.bytes.empty()) input.bytes = random.pick(corpus.of(InputKind::Tree));
        if (random.chance(70)) mutate(input.bytes, input.kind, corpus, random);
        break;
    default:
        input.kind = Cycle[slot] == Made::Widget ? InputKind::Widget
                     : Cycle[slot] == Made::Settings ? InputKind::Settings
                     : Cycle[slot] == Made::Form     ? InputKind::Form
                                                     : InputKind::Script;
        input.bytes = random.pick(corpus.of(input.kind));
        mutate(input.bytes, input.kind, corpus, random);
        break;
    }
    input.name = "s" + std::to_string(seed) + "-" + std::to_string(index) + extensionOf(input.kind);
    return input;
}

void publish(const Input& input, LONG next) {
    block->size = static_cast<uint32_t>(std::min<size_t>(input.bytes.size(), MaxInputBytes));
    memcpy(block->bytes, input.bytes.data(), block->size);
    lstrcpynA(block->name, input.name.c_str(), sizeof block->name);
    block->note[0] = '\0';
    block->next = next;
    block->started = GetTickCount();
    block->startedWork = workMilliseconds();
    block->work = block->startedWork;
    InterlockedExchange(&block->running, 1);
}

// The target's verdict; an exception out of a target is a failure too.
bool runInput(Targets& targets, const Input& input, std::string& failure) {
    try {
        return targets.run(input, failure);
    } catch (const Exception& error) {
        failure = std::string("raised ") + error.className() + ": " + error.message().str();
    } catch (const std::exception& error) {
        failure = std::string("raised ") + error.what();
    }
    return false;
}

}  // namespace

int runWorker(const FuzzOptions& options) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&crashed);
    std::set_terminate(&terminated);
    block = openBlock(options.supervisor);
    if (!block) return 2;
    std::string folder = workerFolder(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());

    std::vector<Input> regressions = loadRegressions(options.root);
    Corpus corpus = loadCorpus(options.root);
    for (const Input& input : regressions) corpus.add(input.kind, input.bytes);
    BuiltinCalls calls;
    Targets targets(folder, options.limit / 2);
    block->regressions = static_cast<LONG>(regressions.size());
    startPublishingWork();

    for (LONG position = options.from;; ++position) {
        Input input;
        if (position < block->regressions) {
            input = regressions[position];
        } else {
            uint64_t made = static_cast<uint64_t>(position - block->regressions);
            if (made >= options.count || static_cast<LONG>(GetTickCount() - options.until) >= 0) break;
            input = generate(options.seed, options.first + made, corpus, calls);
        }
        publish(input, position + 1);
        std::string failure;
        bool passed = runInput(targets, input, failure);
        if (!heapsValid()) end(WorkerHeap);
        if (!passed) {
            lstrcpynA(block->note, failure.c_str(), sizeof block->note);
            end(WorkerCheck);
        }
        InterlockedExchange(&block->running, 0);
    }
    return WorkerDone;
}
