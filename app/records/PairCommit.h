#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/String.h"

// The key file and the record file replaced together, so that a crash at any
// instant leaves either the old pair or the complete new one:
//   1. a fresh key goes to "<key file>.pending";
//   2. the records, encrypted under it, go to "<record file>.pending";
//   3. the pending key is renamed over the key file: this is the commit;
//   4. the pending records are renamed over the record file.
// Each file is synced before the next step, and the folder after each rename.
// Symbolic links are resolved first: the pending files stand beside the
// links' targets, which get the new content.

enum class PairResult {
  Done,
  RandomFailed,  // the system's random source failed; nothing changed
  WriteFailed,   // nothing changed (or, after the commit, the next start finishes)
  KeyChanged,    // quorvel.key is not the file this program read: nothing was written
};

// Writes the records, encrypted under the new key, to the file at
// pendingRecords; false when it could not.
using TPairRecordsWriter = std::function<bool(const String& pendingRecords)>;

// Replaces the key file with keyFileBytes and the record file with what
// write puts there, as above. Nothing is read back.
PairResult CommitPairFiles(const std::string& keyFileBytes, const TPairRecordsWriter& write);

// Finishes or undoes a pair commit that a crash interrupted. A pending key
// means the commit never happened: both pending files go. Pending records
// without a pending key mean the key was committed: they take the record
// file's place. Runs at start-up, under the folder lock, before anything reads
// the files.
void RecoverPairCommit();

// Removes the temporary files that the program's own saves and key creations
// leave when interrupted ("quorvel.dat.tmpXXXXXX", "quorvel.key.tmpXXXXXX",
// the same for the pending files, and "quorvel.conf.tmpXXXXXX" of the
// settings), in the working directory, when they are regular files owned by
// this user.
void RemoveLeftovers();
