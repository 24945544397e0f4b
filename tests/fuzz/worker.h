// The fuzz worker: the regression inputs, then generated inputs of one seed,
// each run through its target in this process and published in the shared
// block while it runs; the heap is checked after each.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct FuzzOptions {
    std::string root;                 // the source tree (a Windows path)
    std::string out = "fuzz-failures";  // where failing inputs are saved, by failure
    uint64_t seed = 1;
    DWORD seconds = 30;               // generated inputs start only within this time
    DWORD limit = 10000;              // processor milliseconds an input may take; a script stops at half
    uint64_t first = 0;               // the first generated input
    uint64_t count = UINT64_MAX;      // at most this many generated inputs
    bool all = false;                 // also the regression inputs listed as pending
    // Given to a worker by its supervisor:
    DWORD supervisor = 0;             // the supervisor's process id; 0 in the supervisor
    LONG from = 0;                    // the position to start at (regressions first)
    DWORD until = 0;                  // the tick count after which no generated input starts
};

int runWorker(const FuzzOptions& options);
