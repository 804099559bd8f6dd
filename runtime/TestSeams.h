#pragma once

#include <cstdint>

// For tests only: every stream write after this many more bytes fails (negative: never).
void StreamFailWritesAfter(int64_t bytes);
