#include <gtest/gtest.h>

#include <sstream>

#include "app/RecordMerge.h"

namespace {
// "A:1 B:2" is the records (A, 1) and (B, 2).
std::vector<TRecordPair> Pairs(const std::string& text) {
  std::vector<TRecordPair> out;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const auto colon = word.find(':');
    out.push_back({WidenString(word.substr(0, colon)), WidenString(word.substr(colon + 1))});
  }
  return out;
}
}  // namespace

TEST(RecordMerge, AppliesEachSidesAddsChangesAndDeletesAndKeepsBothConflictingVersions) {
  struct Case {
    const char* what;
    std::string base, ours, theirs, merged;
    int32_t addedThere, removedThere;
  } cases[] = {
      {"nothing changed", "A:1 B:1", "A:1 B:1", "A:1 B:1", "A:1 B:1", 0, 0},
      {"ours added", "A:1", "A:1 C:1", "A:1", "A:1 C:1", 0, 0},
      {"theirs added", "A:1", "A:1", "D:1 A:1", "A:1 D:1", 1, 0},
      {"both added", "A:1", "C:1 A:1", "A:1 D:1", "C:1 A:1 D:1", 1, 0},
      {"both added the same", "A:1", "A:1 C:1", "C:1 A:1", "A:1 C:1", 0, 0},
      {"ours deleted", "A:1 B:1", "A:1", "A:1 B:1", "A:1", 0, 0},
      {"theirs deleted", "A:1 B:1", "A:1 B:1", "B:1", "B:1", 0, 1},
      {"both deleted", "A:1 B:1", "B:1", "B:1", "B:1", 0, 0},
      {"ours changed a password", "A:1 B:1", "A:2 B:1", "A:1 B:1", "A:2 B:1", 0, 0},
      {"theirs changed a password", "A:1 B:1", "A:1 B:1", "A:2 B:1", "B:1 A:2", 1, 1},
      {"theirs changed a description", "A:1", "A:1", "Z:1", "Z:1", 1, 1},
      {"both changed differently", "A:1 B:1", "A:2 B:1", "B:1 A:3", "A:2 B:1 A:3", 1, 0},
      {"both changed the same way", "A:1", "A:2", "A:2", "A:2", 0, 0},
      {"ours deleted what theirs changed", "A:1 B:1", "B:1", "A:2 B:1", "B:1 A:2", 1, 0},
      {"ours changed what theirs deleted", "A:1 B:1", "A:2 B:1", "B:1", "A:2 B:1", 0, 0},
      {"all at once", "A:1 B:1 C:1", "A:1 B:2 C:1 E:1", "A:1 C:1 D:1", "A:1 B:2 C:1 E:1 D:1", 1, 0},
      {"nothing read yet", "", "A:1", "B:1 A:1", "A:1 B:1", 1, 0},
      {"theirs emptied", "A:1 B:1", "A:1 B:1 C:1", "", "C:1", 0, 2},
      {"ours added a copy, theirs removed one", "A:1 A:1", "A:1 A:1 A:1", "A:1", "A:1 A:1", 0, 1},
      {"both added a copy", "A:1", "A:1 A:1", "A:1 A:1", "A:1 A:1", 0, 0},
      {"theirs added more copies", "", "A:1", "A:1 A:1", "A:1 A:1", 1, 0},
      {"copies removed on each side", "A:1 A:1 A:1", "A:1 A:1", "A:1", "A:1", 0, 1},
  };
  for (const auto& c : cases) {
    TRecordMerge merge = RecordMerge(Pairs(c.base), Pairs(c.ours), Pairs(c.theirs));
    EXPECT_EQ(merge.records, Pairs(c.merged)) << c.what;
    EXPECT_EQ(merge.addedThere, c.addedThere) << c.what;
    EXPECT_EQ(merge.removedThere, c.removedThere) << c.what;
  }
}

TEST(RecordMerge, StatusSaysWhatCameFromTheOtherSide) {
  auto status = [](int32_t added, int32_t removed) {
    return NarrowString(RecordMergeStatus(TRecordMerge{{}, added, removed}, S("quorvel.dat")));
  };
  const std::string start = "quorvel.dat was changed elsewhere and merged: ";
  EXPECT_EQ(status(0, 0), start + "no record added or removed there.");
  EXPECT_EQ(status(1, 0), start + "1 record added there, 0 removed there.");
  EXPECT_EQ(status(2, 3), start + "2 records added there, 3 removed there.");
}
