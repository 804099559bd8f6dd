#include "app/generator/Random.h"

int32_t randomState = 4660;

void SeedRandom(int32_t seed) {
  randomState = seed & 0x7FFFFFFF;
  if (randomState == 0 || randomState == 0x7FFFFFFF) randomState = 4660;
}

int32_t RandomStep() {
  randomState = (randomState % 44488) * 48271 - (randomState / 44488) * 3399;
  if (randomState < 0) randomState += 0x7FFFFFFF;
  return randomState;
}

double RandomDouble() {
  int32_t a = RandomStep() & 0x1FFFFFFC;
  int32_t b = RandomStep() & 0x1FFFFFF8;
  return (a + b / 134217728.0) / 536870912.0;
}

int32_t RandomInt(int32_t min, int32_t max) {
  // 32-bit arithmetic that wraps, so even the widest bounds stay defined.
  int32_t range = static_cast<int32_t>(static_cast<uint32_t>(max) - static_cast<uint32_t>(min));
  int32_t base = range > 0 ? min : max;
  double span = range > 0 ? static_cast<double>(range) + 1 : 1 - static_cast<double>(range);
  auto offset = static_cast<int64_t>(RandomDouble() * span);
  return static_cast<int32_t>(static_cast<uint32_t>(base) + static_cast<uint32_t>(offset));
}
