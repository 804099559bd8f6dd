#include "system/ProcessHardening.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool HardenProcess() {
  const struct rlimit none = {0, 0};
  const bool noCore = ::setrlimit(RLIMIT_CORE, &none) == 0;
  const bool private_ = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
  return noCore && private_;
}
