#pragma once

#include <cstdint>

// For tests only: empties the event ring and sets both of its counters to
// value, so that tests can run the queue across the 32-bit wrap.
void EventQueueResetCounters(uint32_t value);
