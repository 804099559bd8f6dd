#pragma once

// Keeps the process's memory, which holds keys and passwords, to itself: no
// core file is written when it crashes (RLIMIT_CORE 0), and it is not
// dumpable, so other programs of the same user can neither attach to it nor
// read /proc/PID/mem. Call it first, before any secret is read. False when
// either setting was refused.
bool HardenProcess();
