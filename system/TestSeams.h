#pragma once

#include <cstdint>

// For tests only: replaces the clock and the microsecond sleep SystemSleepMillis
// uses; null restores the real ones. Safe while another thread sleeps.
using TSleepClock = int32_t (*)();
using TSleepMicros = void (*)(uint32_t micros);
void SystemSleepUseClock(TSleepClock clock, TSleepMicros sleeper);
