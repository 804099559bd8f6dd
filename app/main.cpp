#include <stdio.h>

#include "app/Startup.h"
#include "app/console/CommandLine.h"
#include "runtime/Errors.h"
#include "system/ProcessHardening.h"

int main(int argc, char** argv) {
  // Before anything could read a secret: no core file, no attaching.
  if (!HardenProcess()) fprintf(stderr, "quorvel: the process could not be kept from core dumps and tracing.\n");
  try {
    return CommandLineRun(argc, argv, QuorvelMain);
  } catch (const TRuntimeError& error) {
    fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
