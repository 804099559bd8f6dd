#pragma once

#include <cstdint>

// The program's one pseudo-random source: a multiplicative congruential
// generator (multiplier 48271, modulus 2^31 - 1) stepped with Schrage's method
// so that no 32-bit intermediate overflows.
extern int32_t randomState;

void SeedRandom(int32_t seed);
// One step of the generator; returns the new state.
int32_t RandomStep();
// A double in [0, 1) from two steps.
double RandomDouble();
// Uniform between min and max inclusive (either order); two steps.
int32_t RandomInt(int32_t min, int32_t max);
