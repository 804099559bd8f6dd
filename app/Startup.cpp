#include "app/Startup.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/KeyFile.h"
#include "gui/core/Event.h"
#include "gui/core/EventQueue.h"
#include "gui/core/Hook.h"
#include "runtime/Runtime.h"
#include "system/SystemDriver.h"
#include "system/linux/LinuxSystemDriver.h"

namespace {
[[noreturn]] void Fail(const char* text) {
  fprintf(stderr, "quorvel: %s\n", text);
  exit(1);
}

void InitLayers() {
  RuntimeInit();
  HookInit();
  EventInit();
  SystemInit();
  // Without a display there is nothing to show; end before anything is
  // written to disk.
  if (!LinuxSystemDriverInit()) {
    const char* name = getenv("DISPLAY");
    if (name && name[0])
      fprintf(stderr, "quorvel: cannot open the X display \"%s\"\n", name);
    else
      fprintf(stderr, "quorvel: cannot open the X display: DISPLAY is not set\n");
    exit(1);
  }
  EventQueueInit();
}
}  // namespace

void QuorvelMain() {
  ChangeToExecutableDirectory();
  InitLayers();
  switch (RunKeyFileGuard()) {
    case KeyGuard::KeyLost:
      SystemNotify(S(kKeyLostMessage), 0);
      SystemEndProgram();
    case KeyGuard::Unreadable:
      Fail("the record file quorvel.dat exists but cannot be read; nothing was changed.");
    case KeyGuard::Proceed:
      break;
  }
  if (!SettleKeyFile()) Fail("the key file quorvel.key could not be written; nothing was changed.");
  exit(0);
}
