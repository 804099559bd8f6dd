#include <stdio.h>
#include <string.h>

#include "app/RecordTransfer.h"
#include "app/Rekey.h"
#include "app/Startup.h"
#include "runtime/Errors.h"
#include "system/ProcessHardening.h"

int main(int argc, char** argv) {
  // Before anything could read a secret: no core file, no attaching.
  if (!HardenProcess()) fprintf(stderr, "quorvel: the process could not be kept from core dumps and tracing.\n");
  try {
    if (argc > 1 && strcmp(argv[1], "--rekey") == 0) return QuorvelRekey();
    if (argc > 1 && strcmp(argv[1], "--passphrase") == 0) return QuorvelPassphrase();
    if (argc > 1 && strcmp(argv[1], "--import") == 0) return argc > 2 ? QuorvelImport(argv[2]) : NoFile("--import");
    if (argc > 1 && strcmp(argv[1], "--export") == 0) return argc > 2 ? QuorvelExport(argv[2]) : NoFile("--export");
    QuorvelMain();
  } catch (const TRuntimeError& error) {
    fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
