#include <gtest/gtest.h>

#include "app/records/ConflictCopies.h"
#include "tests/unit/TempDir.h"

// The names sync tools give the copies they leave beside a file both sides
// changed, and nothing else: not the file itself, not a copy already merged.
TEST(ConflictCopies, FindsTheCopiesOfEachSyncToolAndNothingElse) {
  TempDir dir;
  const std::vector<std::string> copies = {
      "quorvel (Alice's conflicted copy 2026-12-09).dat",   // Dropbox
      "quorvel (conflicted copy 2026-12-09 120000).dat",    // Nextcloud, ownCloud
      "quorvel.sync-conflict-20261209-120000-ABCDEFG.dat",  // Syncthing
  };
  for (const char* other : {"quorvel.dat", "quorvel.sync-conflict-20261209-120000-ABCDEFG.dat.merged",
                            "quorvel (copy).dat", "quorvel.sync-conflict-.dat", "notes (conflicted copy).dat",
                            "quorvel.key", "quorvel (conflicted copy).dat.tmp123456"})
    TempDir::Write(other, "");
  for (const std::string& copy : copies) TempDir::Write(copy.c_str(), "");
  EXPECT_EQ(copies, ConflictCopyNames());
}
