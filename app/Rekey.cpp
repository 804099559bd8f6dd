#include "app/Rekey.h"

#include <stdio.h>

#include "app/KeyFile.h"
#include "app/PairCommit.h"
#include "app/RecordCipher.h"
#include "app/RecordFile.h"
#include "app/Startup.h"
#include "crypto/Crypto.h"
#include "runtime/FolderLock.h"
#include "runtime/Runtime.h"
#include "runtime/Stream.h"

namespace {
int Refuse(const char* why) {
  fprintf(stderr, "quorvel: %s Nothing was changed.\n", why);
  return 1;
}

bool AllFieldsDecrypted() {
  for (int32_t i = 0; i < recordCount; ++i) {
    const size_t at = static_cast<size_t>(i);
    if (IsRecordCipherSentinel(descriptions[at]) || IsRecordCipherSentinel(passwords[at])) return false;
  }
  return true;
}
}  // namespace

int QuorvelRekey() {
  if (const std::string problem = EnterQuorvelDataFolder(); !problem.empty()) return Refuse((problem + ".").c_str());
  RuntimeInit();
  if (!CryptoInit()) return Refuse("the cipher library's default provider could not be loaded.");
  switch (LockFolder(S("."))) {
    case FolderLockResult::HeldElsewhere:
      return Refuse(kAlreadyRunningMessage);
    case FolderLockResult::Failed:
      return Refuse("the program's folder could not be opened to lock it.");
    case FolderLockResult::Acquired:
      break;
  }
  RecoverPairCommit();
  RemoveLeftovers();
  if (PathKind(kKeyFileName) != 1 || PathKind(kRecordFileName) != 1)
    return Refuse(
        ("there is nothing to re-key: quorvel.key and quorvel.dat must both be in " + QuorvelDataFolder().path + ".")
            .c_str());
  if (!RecordCipherLoadProvider())
    return Refuse(
        "the cipher library's legacy provider, which the cipher named in quorvel.key needs, could not be "
        "loaded.");
  const std::string oldCipher = NarrowString(RecordKeyFileCipher());
  LoadRecords(true);
  if (recordCount == 0) return Refuse("there is nothing to re-key: quorvel.dat holds no records.");
  if (!AllFieldsDecrypted())
    return Refuse("a record in quorvel.dat does not decrypt with quorvel.key, so it cannot be re-keyed.");
  switch (CommitNewPair(recordCount)) {
    case PairResult::RandomFailed:
      return Refuse("the system's random source failed, so no key could be made.");
    case PairResult::WriteFailed:
      fprintf(stderr,
              "quorvel: the new key file and record file could not be written. The old pair was kept, or is "
              "completed at the next start.\n");
      return 1;
    case PairResult::Done:
      break;
  }
  printf(
      "quorvel: re-keyed %d records from \"%s\" to \"aes_256_cbc\": quorvel.key and quorvel.dat were replaced "
      "together.\n",
      static_cast<int>(recordCount), oldCipher.c_str());
  return 0;
}
