#include "app/console/ConsolePair.h"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/PairFolder.h"
#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "crypto/Crypto.h"
#include "runtime/FolderLock.h"
#include "runtime/Runtime.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"
#include "system/ConsoleSecret.h"

int ConsoleRefuse(const char* why) {
  fprintf(stderr, "quorvel: %s Nothing was changed.\n", why);
  return 1;
}

int ConsolePairOpen(bool recordsNeeded, std::optional<String>& passphrase, bool makeWhenNone) {
  if (const std::string problem = EnterQuorvelDataFolder(); !problem.empty())
    return ConsoleRefuse((problem + ".").c_str());
  RuntimeInit();
  if (!CryptoInit()) return ConsoleRefuse("the cipher library's default provider could not be loaded.");
  switch (LockFolder(S("."))) {
    case FolderLockResult::HeldElsewhere:
      return ConsoleRefuse(kAlreadyRunningMessage);
    case FolderLockResult::Failed:
      return ConsoleRefuse("the program's folder could not be opened to lock it.");
    case FolderLockResult::Acquired:
      break;
  }
  RecoverPairCommit();
  RemoveLeftovers();
  // A folder with neither file gets a pair as a first start makes it.
  if (makeWhenNone && PathKind(kKeyFileName) == 0 && PathKind(kRecordFileName) == 0) {
    struct stat st;
    if (::lstat(NarrowString(kKeyFileName).c_str(), &st) != 0 && WriteFreshKey(kKeyFileName, true) != KeySettle::Ready)
      return ConsoleRefuse("the key file quorvel.key could not be made.");
  }
  if (PathKind(kKeyFileName) != 1 || (recordsNeeded && PathKind(kRecordFileName) != 1)) {
    const std::string folder = QuorvelDataFolder().path;
    return ConsoleRefuse(
        (recordsNeeded ? "there is nothing to re-key: quorvel.key and quorvel.dat must both be in " + folder + "."
                       : "there is no key file: quorvel.key must be in " + folder + " (start Quorvel once).")
            .c_str());
  }
  std::string why;
  if (!PairKeyLoad(&why)) return ConsoleRefuse((why + ".").c_str());
  if (!RecordCipherLoadProvider(PairKeyCipher()))
    return ConsoleRefuse(
        "the cipher library's legacy provider, which the cipher named in quorvel.key needs, could not be "
        "loaded.");
  switch (PairKeyLock()) {
    case KeyLock::Damaged:
      return ConsoleRefuse("quorvel.key is damaged: its sealed key cannot be read.");
    case KeyLock::Sealed: {
      const int tries = isatty(0) ? 3 : 1;
      for (int i = 0; i < tries && !passphrase; ++i) {
        passphrase = ConsoleReadSecret("Passphrase: ");
        if (!passphrase) return ConsoleRefuse("no passphrase was given.");
        if (PairKeyUnlock(*passphrase)) break;
        SecureWipe(*passphrase);
        passphrase.reset();
        fprintf(stderr, "Wrong passphrase.\n");
      }
      if (!passphrase) return ConsoleRefuse("the passphrase was wrong.");
      break;
    }
    case KeyLock::Open:
      break;
  }
  if (LoadRecords(true) == TLoadResult::Refused)
    return ConsoleRefuse((NarrowString(RecordFileRefusal()) + ".").c_str());
  return 0;
}

bool ConsoleFileWhole(const char* what) {
  if (!RecordFileDamaged()) return true;
  fprintf(stderr,
          "quorvel: quorvel.dat is damaged or cut short (it does not match its own header), so %s Nothing was "
          "changed.\n",
          what);
  return false;
}

bool ConsoleAllRecordsRead(const char* what) {
  const std::vector<int32_t> unreadable = UnreadableRecords();
  if (unreadable.empty()) return true;
  fprintf(stderr, "quorvel: record %d in quorvel.dat does not decrypt with quorvel.key, so %s Nothing was changed.\n",
          static_cast<int>(unreadable.front() + 1), what);
  return false;
}
