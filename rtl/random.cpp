// The run time's linear congruential generator and its clock seeding.
#include "rtl/random.h"

#include <windows.h>

uint32_t RandSeed = 0;

namespace {

uint32_t nextSeed() {
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed;
}

}  // namespace

void Randomize() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    RandSeed = static_cast<uint32_t>(counter.QuadPart) ^ static_cast<uint32_t>(counter.QuadPart >> 32) ^
               GetTickCount();
}

double RandomDouble() {
    return nextSeed() * (1.0 / 4294967296.0);
}

int32_t RandomInt(int32_t range) {
    uint32_t seed = nextSeed();
    if (range <= 0) return 0;
    // The high half of seed x range lies in 0..range-1.
    return static_cast<int32_t>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(range)) >> 32);
}
