// The run time's pseudo-random generator: one linear congruential sequence
// (seed x 134775813 + 1, modulo 2^32) for the whole program, seeded from the
// clock. The Math object's random() draws from it and re-seeds it.
#pragma once

#include <cstdint>

// The generator's state; setting it repeats a sequence.
extern uint32_t RandSeed;

// Seeds the generator from the system clock.
void Randomize();
// The next value in [0, 1).
double RandomDouble();
// The next value in 0..range-1; 0 when range is not positive.
int32_t RandomInt(int32_t range);
