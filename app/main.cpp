#include <stdio.h>

#include "app/CommandLine.h"
#include "runtime/Errors.h"

int main(int argc, char** argv) {
  try {
    return CommandLineRun(argc, argv);
  } catch (const TRuntimeError& error) {
    fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
