#pragma once

// For tests only: the getrandom call the system random source uses (null restores it).
using TGetRandom = long (*)(void* buffer, unsigned long length, unsigned int flags);
void RandomSourceUseGetRandom(TGetRandom call);
