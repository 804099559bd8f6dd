#pragma once

#include <cstdint>

#include "system/LogindWatch.h"

// Watches the X server of displayName, on a connection and a thread of its own,
// for the two lock triggers X knows: idleMillis without input anywhere on the
// display (0 or less: not watched) gives one LockReasonIdle per idle period, a
// new one only after new input; the screen saver turning on gives
// LockReasonScreenSaver. Idle time counts from the first call at the earliest,
// so a display left idle before the program started does not count. notify runs
// on the watch's thread. The first call opens the connection and starts the
// thread; later ones change only the idle time. Returns false when the display
// cannot be opened or has no MIT-SCREEN-SAVER extension: nothing is watched.
bool LinuxLockWatchIdle(const char* displayName, int64_t idleMillis, TLockNotify notify);
