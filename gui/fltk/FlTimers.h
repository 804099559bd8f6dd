#pragma once

#include <cstdint>

#include "runtime/Object.h"

// One-shot timers on FLTK's clock: after ms milliseconds a TimerTick event with
// source as its source is raised from inside FLTK's wait. At most one timer per
// source; starting it again restarts it.
void FlStartTimer(int32_t ms, const ObjectRef& source);
void FlStopTimer(const ObjectRef& source);
