#pragma once

#include <cstdint>

#include "runtime/String.h"

// A password of exactly length characters (empty for 0 or less): runs of one to
// three letters alternating with runs of one to three digits. Letters are "a"
// to "f", and with caseSensitive == 1 also "A" to "G". Reseeds the random
// source from the millisecond clock on every call.
String GeneratePassword(int32_t length, int32_t caseSensitive);
