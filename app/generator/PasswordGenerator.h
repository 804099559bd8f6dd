#pragma once

#include <cstdint>
#include <optional>

#include "app/generator/RandomSource.h"
#include "runtime/String.h"

// A password of exactly length characters (empty for 0 or less): runs of one to
// three letters alternating with runs of one to three digits. Letters are "a"
// to "f", and with caseSensitive == 1 also "A" to "G". Every draw comes from
// source; none when the source fails (nothing is left behind in memory).
std::optional<String> GeneratePassword(int32_t length, int32_t caseSensitive, TRandomSource& source);
// The same with the operating system's cryptographic random source.
std::optional<String> GeneratePassword(int32_t length, int32_t caseSensitive);

// log2 of the number of passwords GeneratePassword can make: every string of
// length characters whose letter runs and digit runs (maximal, alternating)
// hold one to three characters each, letters from its alphabet of 6 (or 13
// with caseSensitive == 1) and digits from 10. The last run may be cut short
// by the length, never made longer, so the string tells its runs apart.
double GeneratePasswordBits(int32_t length, int32_t caseSensitive);
