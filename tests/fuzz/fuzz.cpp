// nimfuzz: the fuzz driver of the lexer and parser (with the evaluator), the
// compiled-tree reader, the widget translator and the settings reader. It
// runs the regression inputs, then generated inputs of one seed until the
// time is up, all in one worker process; an input that crashes the worker,
// runs past the limit (processor time, see overran), fails the heap check or
// a check of its own is saved in OUT\crash, OUT\hang, OUT\heap or OUT\check,
// and a new worker goes on with the next input. The exit code is 1 when any
// input failed.
//
//   nimfuzz [--seconds=S] [--seed=N] [--limit=MS] [--first=I] [--count=N]
//           [--out=FOLDER] ROOT
//
// ROOT is the source tree, for its test data and tests\fuzz\regressions.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

#include "inputs.h"
#include "shared.h"
#include "worker.h"

namespace {

// ==== Options ====

int usage() {
    std::fputs("usage: nimfuzz [--seconds=S] [--seed=N] [--limit=MS] [--first=I] [--count=N] [--out=FOLDER] ROOT\n",
               stderr);
    return 2;
}

bool parseOptions(int argc, char** argv, FuzzOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto value = [&](std::string_view name, auto& field) {
            if (!arg.starts_with(name)) return false;
            field = static_cast<std::remove_reference_t<decltype(field)>>(
                std::strtoull(std::string(arg.substr(name.size())).c_str(), nullptr, 10));
            return true;
        };
        if (value("--seconds=", options.seconds) || value("--seed=", options.seed) ||
            value("--limit=", options.limit) || value("--first=", options.first) ||
            value("--count=", options.count) || value("--worker=", options.supervisor) ||
            value("--from=", options.from) || value("--until=", options.until))
            continue;
        if (arg.starts_with("--out=")) options.out = arg.substr(6);
        else if (arg.starts_with("--") || !options.root.empty()) return false;
        else options.root = arg;
    }
    return !options.root.empty();
}

// ==== Workers ====

bool startWorker(const FuzzOptions& options, PROCESS_INFORMATION& worker) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = "\"" + std::string(program) + "\" --worker=" + std::to_string(GetCurrentProcessId()) +
                          " --from=" + std::to_string(options.from) + " --until=" + std::to_string(options.until) +
                          " --seed=" + std::to_string(options.seed) + " --limit=" + std::to_string(options.limit) +
                          " --first=" + std::to_string(options.first) + " --count=" + std::to_string(options.count) +
                          " \"" + options.root + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // The worker's heap check validates the plain heap: every block must be there.
    SetEnvironmentVariableA("NIMBORA_PLAIN_HEAP", "1");
    return CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &worker);
}

// Waits until the worker ends or an input overruns: the failure's
// folder name, or nullptr when the worker ended between inputs.
const char* watch(HANDLE worker, const SharedBlock& block, DWORD limit, DWORD& code) {
    for (;;) {
        if (WaitForSingleObject(worker, 100) == WAIT_OBJECT_0) {
            GetExitCodeProcess(worker, &code);
            if (!block.running) return nullptr;
            return code == WorkerHeap ? "heap" : code == WorkerCheck ? "check" : "crash";
        }
        if (overran(block, limit)) {
            TerminateProcess(worker, 1);
            WaitForSingleObject(worker, INFINITE);
            code = 0;
            return "hang";
        }
    }
}

void removeFolder(const std::string& folder, int depth = 0) {
    if (depth > 4) return;
    for (const std::string& name : filesIn(folder, "*", true)) removeFolder(folder + name + "\\", depth + 1);
    for (const std::string& name : filesIn(folder, "*")) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

// Saves the failed input as OUT\FAILURE\NAME and reports it.
void save(const FuzzOptions& options, const SharedBlock& block, const char* failure, DWORD code) {
    std::string folder = options.out + "\\" + failure;
    CreateDirectoryA(options.out.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\" + block.name;
    writeFile(path, std::string_view(block.bytes, block.size));
    std::printf("nimfuzz: %s", failure);
    if (code && code != WorkerCheck && code != WorkerHeap) std::printf(" (exit code %08lx)", code);
    std::printf(": %s, saved as %s\n", block.name, path.c_str());
    if (block.note[0]) std::printf("    %s\n", block.note);
    std::fflush(stdout);
}

int supervise(FuzzOptions options) {
    char name[64];
    sharedBlockName(GetCurrentProcessId(), name);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedBlock), name);
    auto* block = mapping ? static_cast<SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)))
                          : nullptr;
    if (!block) return 2;
    DWORD start = GetTickCount();
    options.until = start + options.seconds * 1000;
    int failures = 0;
    for (;;) {
        block->running = 0;
        PROCESS_INFORMATION worker;
        if (!startWorker(options, worker)) {
            std::fprintf(stderr, "nimfuzz: cannot start a worker (error %lu)\n", GetLastError());
            return 2;
        }
        DWORD code = 0;
        const char* failure = watch(worker.hProcess, *block, options.limit, code);
        CloseHandle(worker.hThread);
        CloseHandle(worker.hProcess);
        removeFolder(workerFolder(worker.dwProcessId));
        if (!failure) {
            if (code == WorkerDone) break;
            std::fprintf(stderr, "nimfuzz: the worker ended with %08lx between inputs\n", code);
            return 2;
        }
        ++failures;
        save(options, *block, failure, code);
        options.from = block->next;
    }
    long generated = block->next - block->regressions;
    std::printf("nimfuzz: %ld regression inputs, %ld generated (seed %llu from %llu) in %lu s: %d failed\n",
                static_cast<long>(block->regressions), generated > 0 ? generated : 0L,
                static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.first),
                (GetTickCount() - start) / 1000, failures);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    FuzzOptions options;
    // Heap checking slows everything down many times; scripts/test.sh then sets this.
    if (const char* timeout = std::getenv("NIMBORA_SCRIPT_TIMEOUT")) options.limit = std::strtoul(timeout, nullptr, 10);
    if (!parseOptions(argc, argv, options)) return usage();
    return options.supervisor ? runWorker(options) : supervise(options);
}
