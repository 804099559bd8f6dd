#include "system/Clock.h"

#include <sys/sysinfo.h>
#include <sys/time.h>

namespace {
// Wall-clock milliseconds, truncated to 32 bits with wrapping arithmetic.
int32_t WallMillis() {
  timeval tv;
  gettimeofday(&tv, nullptr);
  uint32_t ms = static_cast<uint32_t>(tv.tv_sec) * 1000u + static_cast<uint32_t>(tv.tv_usec / 1000);
  return static_cast<int32_t>(ms);
}

int32_t ComputeClockBase() {
  struct sysinfo info;
  uint32_t uptimeMs = 0;
  if (sysinfo(&info) == 0) uptimeMs = static_cast<uint32_t>(info.uptime) * 1000u;
  return static_cast<int32_t>(static_cast<uint32_t>(WallMillis()) - uptimeMs);
}

// Fixed during static initialisation, before main runs.
const int32_t clockBase = ComputeClockBase();
}  // namespace

int32_t SystemClockMillis() {
  return static_cast<int32_t>(static_cast<uint32_t>(WallMillis()) - static_cast<uint32_t>(clockBase));
}
