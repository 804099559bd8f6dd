#pragma once

#include <cstdint>

// Milliseconds since the machine booted, as a wrapping signed 32-bit count.
int32_t SystemClockMillis();