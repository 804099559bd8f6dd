#pragma once

#include <cstddef>

// libcrypto's secure heap: an arena of its own mapping, locked against
// swapping and left out of core dumps, with guard pages around it. Key
// material that lives for the whole run is kept there.
//
// Starts the arena (once; later calls answer as the first did). False when
// it could not be made; SecureAllocate then falls back to the ordinary heap,
// which the process's own hardening still keeps out of core files.
bool SecureHeapStart();
// size bytes, zeroed, from the arena; null when none are left anywhere.
void* SecureAllocate(size_t size);
// Wipes and returns what SecureAllocate gave.
void SecureRelease(void* data, size_t size);
// Whether data lies in the arena.
bool SecureHeapHolds(const void* data);
