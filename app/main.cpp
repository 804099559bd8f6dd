#include <stdio.h>
#include <string.h>

#include "app/Rekey.h"
#include "app/Startup.h"
#include "runtime/Errors.h"

int main(int argc, char** argv) {
  try {
    if (argc > 1 && strcmp(argv[1], "--rekey") == 0) return QuorvelRekey();
    QuorvelMain();
  } catch (const TRuntimeError& error) {
    fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
