#include "app/generator/RandomSource.h"

#include <errno.h>
#include <sys/random.h>

#include "app/generator/Random.h"
#include "app/generator/TestSeams.h"
#include "runtime/Wipe.h"
#include "system/Clock.h"

namespace {
long SystemGetRandom(void* buffer, unsigned long length, unsigned int flags) {
  return getrandom(buffer, length, flags);
}

TGetRandom getRandom = SystemGetRandom;

bool RandomWord(uint32_t& word) {
  for (;;) {
    long n = getRandom(&word, sizeof word, 0);
    if (n == static_cast<long>(sizeof word)) return true;
    // A signal may interrupt the wait for the entropy pool at boot.
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}
}  // namespace

bool RandomBytes(uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    const long n = getRandom(out + done, size - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SecureWipe(out, size);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

void RandomSourceUseGetRandom(TGetRandom call) { getRandom = call ? call : SystemGetRandom; }

bool TSystemRandomSource::Draw(int32_t min, int32_t max, int32_t& out) {
  if (max < min) {
    int32_t swap = min;
    min = max;
    max = swap;
  }
  // span - 1 fits in 32 bits even for the widest bounds.
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(max) - min) + 1;
  // Words at or above the largest multiple of span would favour small values.
  const uint64_t limit = (uint64_t{1} << 32) - (uint64_t{1} << 32) % span;
  uint32_t word = 0;
  do {
    if (!RandomWord(word)) return false;
  } while (word >= limit);
  out = static_cast<int32_t>(min + static_cast<int64_t>(word % span));
  SecureWipe(&word, sizeof word);
  return true;
}

bool TSchrageRandomSource::Draw(int32_t min, int32_t max, int32_t& out) {
  out = RandomInt(min, max);
  return true;
}

void TSchrageRandomSource::Reseed() { SeedRandom(SystemClockMillis()); }
