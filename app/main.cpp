#include <stdio.h>

#include "app/Startup.h"
#include "runtime/Errors.h"

int main() {
  try {
    QuorvelMain();
  } catch (const TRuntimeError& error) {
    fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
