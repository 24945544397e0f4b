// The fuzz driver's two processes and what they share. The supervisor starts
// a worker, which runs the inputs one after another in its one process and
// publishes each in a shared block before running it. A worker that crashes,
// hangs or sees a failed check leaves the input there: the supervisor, whose
// heap nothing has touched, saves it and starts a worker on the next input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

constexpr uint32_t MaxInputBytes = 8u << 20;

// How a worker ends; any other exit code is a crash (the exception code).
enum : UINT {
    WorkerDone = 0,
    WorkerHeap = 0xE0F0F001,   // the heap check after an input failed
    WorkerCheck = 0xE0F0F002,  // an input's check failed: see the note
    WorkerTerminated = 0xE0F0F003,  // an exception no one caught
};

struct SharedBlock {
    volatile LONG running;   // 1 while the input below runs
    volatile DWORD started;  // the tick count when it started
    volatile LONG startedWork;  // the processor time (ms) the worker had used then
    volatile LONG work;         // the processor time it has used, renewed every 50 ms
    volatile LONG next;      // the position of the input after it
    volatile LONG regressions;  // how many positions the regression inputs take
    char name[128];          // the file name the input is saved under
    char note[512];          // what a failed check saw
    uint32_t size;
    char bytes[MaxInputBytes];
};

// An input has run too long when it took more processor time than the
// limit: a loaded machine only slows it down; or, waiting on something that
// takes none, when five times the limit has passed.
inline bool overran(const SharedBlock& block, DWORD limit) {
    return block.running && (block.work - block.startedWork > static_cast<LONG>(limit) ||
                             GetTickCount() - block.started > 5 * limit);
}

// The shared block's name for a supervisor's process id.
inline void sharedBlockName(DWORD supervisor, char (&name)[64]) {
    wsprintfA(name, "Local\\nimbora-fuzz-%lu", supervisor);
}

// A worker's folder of files, its working folder; its supervisor removes it.
inline std::string workerFolder(DWORD worker) {
    char temporary[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temporary);
    return std::string(temporary, length) + "nimbora-fuzz-" + std::to_string(worker) + "\\";
}
