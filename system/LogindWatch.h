#pragma once

#include <cstdint>

// Called on the watch's own thread with a TLockReason.
using TLockNotify = void (*)(int32_t reason);

// Listens, on a thread of its own, to logind on the system bus: its Lock signal
// for this process's session gives LockReasonSession, PrepareForSleep(true)
// gives LockReasonSleep, each passed to notify. Nothing on the caller's thread
// touches the bus, so a missing or silent bus cannot hold up start-up; without a
// bus, without logind, or when the bus goes away, the watch ends quietly.
// QUORVEL_LOGIND_BUS, a test seam, names the bus address to use instead of the
// system bus ("" for none). Only the first call starts anything.
//
// logind suspends as soon as PrepareForSleep(true) is out unless a program
// holds a delay lock, so the watch holds one from start and from each resume
// on, and lets it go at LogindSleepHandled: the machine sleeps once the
// program has locked, or when logind stops waiting (InhibitDelayMaxSec).
void LogindWatchStart(TLockNotify notify);
// Lets the delay lock on sleep go, if one is held. Any thread.
void LogindSleepHandled();
