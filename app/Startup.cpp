#include "app/Startup.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/PairFolder.h"
#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "app/settings/Settings.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PassphraseWindow.h"
#include "app/windows/SettingsWindow.h"
#include "crypto/Crypto.h"
#include "gui/core/Event.h"
#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/core/Hook.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "gui/proxy/Proxy.h"
#include "runtime/FolderLock.h"
#include "runtime/Stream.h"
#include "runtime/Runtime.h"
#include "system/SystemDriver.h"
#include "system/linux/LinuxSystemDriver.h"

namespace {
// Reports a failure that stops the program, on the console and through the
// system driver's message, and ends with a non-zero status.
[[noreturn]] void Fail(const char* text) {
  fprintf(stderr, "quorvel: %s\n", text);
  fflush(stderr);
  if (systemDriver) SystemNotify(S(text), 1);
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
  GadgetInit();
  FrontEndInit();
  ProxyInit();
  EventQueueInit();
  // The legacy provider, which the older ciphers need, is loaded only once a
  // key file names one of them.
  if (!CryptoInit()) Fail("the cipher library's default provider could not be loaded.");
  FLTKBackEndInit();
}
}  // namespace

void QuorvelMain() {
  // The layers come up first, so that no display means nothing written, not
  // even the data folder, and a folder that cannot be made is shown in a
  // message as well.
  InitLayers();
  if (const std::string problem = EnterQuorvelDataFolder(); !problem.empty())
    Fail((problem + "; nothing was changed.").c_str());
  switch (LockFolder(S("."))) {
    case FolderLockResult::HeldElsewhere:
      fprintf(stderr, "quorvel: %s\n", kAlreadyRunningMessage);
      fflush(stderr);
      SystemNotify(S(kAlreadyRunningMessage), 0);
      SystemEndProgram();
    case FolderLockResult::Failed:
      Fail("the program's folder could not be opened to lock it; nothing was changed.");
    case FolderLockResult::Acquired:
      break;
  }
  RecoverPairCommit();
  RemoveLeftovers();
  // Settings never stop the start: what does not read gives the defaults and
  // a note in the status bar once the main window is up.
  const String settingsNote = SettingsLoad();
  switch (RunKeyFileGuard()) {
    case KeyGuard::KeyLost:
      SystemNotify(S(kKeyLostMessage), 0);
      SystemEndProgram();
    case KeyGuard::Unreadable:
      Fail("the record file quorvel.dat exists but cannot be read (or is not a regular file); nothing was changed.");
    case KeyGuard::KeyNotRegular:
      Fail("quorvel.key is not a regular file (a FIFO, a device or a folder, or a link to one); nothing was changed.");
    case KeyGuard::Proceed:
      break;
  }
  switch (SettleKeyFile()) {
    case KeySettle::WriteFailed:
      Fail("the key file quorvel.key could not be written; nothing was changed.");
    case KeySettle::RandomFailed:
      Fail("the system's random source failed, so no key could be made; nothing was changed.");
    case KeySettle::Ready:
      break;
  }
  // The key file, found or just made, is read once here for the whole run;
  // beside a legacy plain file there is none until the migration makes it.
  if (PathKind(kKeyFileName) != 0) {
    std::string why;
    if (!PairKeyLoad(&why)) Fail((why + "; nothing was changed.").c_str());
    if (recordsEncrypted && !RecordCipherLoadProvider(PairKeyCipher()))
      Fail(
          "the cipher library's legacy provider, which the cipher named in quorvel.key needs, could not be loaded; "
          "nothing was changed.");
  }
  switch (PairKeyLock()) {
    case KeyLock::Damaged:
      Fail("the key file quorvel.key is damaged: its sealed key cannot be read; nothing was changed.");
    case KeyLock::Sealed:
      // Cancelled: the program ends as it came, having written nothing.
      if (!RunUnlockWindow()) SystemEndProgram();
      break;
    case KeyLock::Open:
      break;
  }
  switch (LoadRecords(recordsEncrypted)) {
    case TLoadResult::Refused:
      Fail((NarrowString(RecordFileRefusal()) + "; nothing was changed.").c_str());
    case TLoadResult::MigrationFailed:
      // The legacy plain file could not be rewritten encrypted. It is still as
      // it was, without a key file, so the next start migrates it again.
      SystemNotify(S("Quorvel could not rewrite the record file quorvel.dat encrypted. The file was left as it was. "
                     "Will now exit."),
                   1);
      exit(1);
    case TLoadResult::Loaded:
      break;
  }
  if (!BuildMainWindow()) Fail("the main window could not be created.");
  ShowSettingsNote(settingsNote);
  RunMainLoop();
}
