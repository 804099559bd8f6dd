#include "app/Startup.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/KeyFile.h"
#include "runtime/Runtime.h"

namespace {
void InitLayers() { RuntimeInit(); }

// Until the system services exist, messages go to standard output.
void Notify(const char* text) {
  printf("%s\n", text);
  fflush(stdout);
}

[[noreturn]] void Fail(const char* text) {
  fprintf(stderr, "quorvel: %s\n", text);
  exit(1);
}
}  // namespace

void QuorvelMain() {
  ChangeToExecutableDirectory();
  InitLayers();
  switch (RunKeyFileGuard()) {
    case KeyGuard::KeyLost:
      Notify(kKeyLostMessage);
      exit(0);
    case KeyGuard::Unreadable:
      Fail("the record file quorvel.dat exists but cannot be read; nothing was changed.");
    case KeyGuard::Proceed:
      break;
  }
  if (!SettleKeyFile()) Fail("the key file quorvel.key could not be written; nothing was changed.");
  exit(0);
}
