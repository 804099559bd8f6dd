#include "app/console/Rekey.h"

#include <stdio.h>
#include <unistd.h>

#include "app/console/ConsolePair.h"
#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "runtime/Wipe.h"
#include "system/ConsoleDialog.h"
#include "system/ConsoleSecret.h"

namespace {
int ReportCommit(PairResult result) {
  switch (result) {
    case PairResult::RandomFailed:
      return ConsoleRefuse("the system's random source failed, so no key could be made.");
    case PairResult::WriteFailed:
      fprintf(stderr,
              "quorvel: the new key file and record file could not be written. The old pair was kept, or is "
              "completed at the next start.\n");
      return 1;
    case PairResult::KeyChanged:
      fprintf(stderr, "quorvel: %s\n", NarrowString(kKeyFileChangedMessage).c_str());
      return 1;
    case PairResult::Done:
      break;
  }
  return 0;
}
}  // namespace

int QuorvelRekey() {
  TConsolePassphrase passphrase;
  if (const int status = ConsolePairOpen(true, passphrase.text)) return status;
  const std::string oldCipher = NarrowString(PairKeyCipher());
  if (recordCount == 0) return ConsoleRefuse("there is nothing to re-key: quorvel.dat holds no records.");
  if (!ConsoleFileWhole("it cannot be re-keyed.") || !ConsoleAllRecordsRead("it cannot be re-keyed.")) return 1;
  if (const int status = ReportCommit(CommitNewPair(recordCount, passphrase.text ? &*passphrase.text : nullptr)))
    return status;
  printf(
      "quorvel: re-keyed %d records from \"%s\" to \"aes_256_gcm\"%s: quorvel.key and quorvel.dat were replaced "
      "together.\n",
      static_cast<int>(recordCount), oldCipher.c_str(), passphrase.text ? ", sealed with the same passphrase" : "");
  return 0;
}

int QuorvelPassphrase() {
  TConsolePassphrase current, fresh, again;
  if (const int status = ConsolePairOpen(false, current.text)) return status;
  const bool sealed = PairKeySealed();
  if (!ConsoleFileWhole("the records cannot be re-encrypted.") ||
      !ConsoleAllRecordsRead("the records cannot be re-encrypted."))
    return 1;
  fresh.text = ConsoleReadSecret("New passphrase (empty: remove the passphrase): ");
  if (fresh.text) again.text = ConsoleReadSecret("New passphrase again: ");
  if (!fresh.text || !again.text) return ConsoleRefuse("the new passphrase was not given twice.");
  if (*fresh.text != *again.text) return ConsoleRefuse("the two new passphrases differ.");
  const bool removing = fresh.text->empty();
  if (removing && !sealed) return ConsoleRefuse("no passphrase is set, and the new one is empty.");
  if (removing && isatty(0) &&
      ConsoleConfirm(S("Remove the passphrase, so that anyone who has quorvel.key can read the records? (y/N) "), stdin,
                     stderr) != 1)
    return ConsoleRefuse("the passphrase was kept.");
  if (const int status = ReportCommit(CommitNewPair(recordCount, removing ? nullptr : &*fresh.text))) return status;
  printf("quorvel: %s: quorvel.key and quorvel.dat (%d records) were replaced together.\n",
         removing ? "the passphrase was removed"
                  : (sealed ? "the passphrase was changed" : "the records are sealed with the passphrase"),
         static_cast<int>(recordCount));
  return 0;
}
