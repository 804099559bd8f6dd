#include <gtest/gtest.h>

#include <sstream>

#include "app/records/RecordMerge.h"

namespace {
// "A1 B2" is the records (A, 1) and (B, 2).
std::vector<TRecordPair> Pairs(const std::string& text) {
  std::vector<TRecordPair> out;
  std::istringstream words(text);
  for (std::string word; words >> word;) out.push_back({WidenString(word.substr(0, 1)), WidenString(word.substr(1))});
  return out;
}
}  // namespace

TEST(RecordMerge, AppliesEachSidesAddsChangesAndDeletesAndKeepsBothConflictingVersions) {
  struct Case {
    const char* what;
    std::string base, ours, theirs, merged;
    int32_t addedThere, removedThere;
  } cases[] = {
      {"nothing changed", "A1 B1", "A1 B1", "A1 B1", "A1 B1", 0, 0},
      {"ours added", "A1", "A1 C1", "A1", "A1 C1", 0, 0},
      {"theirs added", "A1", "A1", "D1 A1", "A1 D1", 1, 0},
      {"both added", "A1", "C1 A1", "A1 D1", "C1 A1 D1", 1, 0},
      {"both added the same", "A1", "A1 C1", "C1 A1", "A1 C1", 0, 0},
      {"ours deleted", "A1 B1", "A1", "A1 B1", "A1", 0, 0},
      {"theirs deleted", "A1 B1", "A1 B1", "B1", "B1", 0, 1},
      {"both deleted", "A1 B1", "B1", "B1", "B1", 0, 0},
      {"ours changed a password", "A1 B1", "A2 B1", "A1 B1", "A2 B1", 0, 0},
      {"theirs changed a password", "A1 B1", "A1 B1", "A2 B1", "B1 A2", 1, 1},
      {"theirs changed a description", "A1", "A1", "Z1", "Z1", 1, 1},
      {"both changed differently", "A1 B1", "A2 B1", "B1 A3", "A2 B1 A3", 1, 0},
      {"both changed the same way", "A1", "A2", "A2", "A2", 0, 0},
      {"ours deleted what theirs changed", "A1 B1", "B1", "A2 B1", "B1 A2", 1, 0},
      {"ours changed what theirs deleted", "A1 B1", "A2 B1", "B1", "A2 B1", 0, 0},
      {"all at once", "A1 B1 C1", "A1 B2 C1 E1", "A1 C1 D1", "A1 B2 C1 E1 D1", 1, 0},
      {"nothing read yet", "", "A1", "B1 A1", "A1 B1", 1, 0},
      {"theirs emptied", "A1 B1", "A1 B1 C1", "", "C1", 0, 2},
      {"ours added a copy, theirs removed one", "A1 A1", "A1 A1 A1", "A1", "A1 A1", 0, 1},
      {"both added a copy", "A1", "A1 A1", "A1 A1", "A1 A1", 0, 0},
      {"theirs added more copies", "", "A1", "A1 A1", "A1 A1", 1, 0},
      {"copies removed on each side", "A1 A1 A1", "A1 A1", "A1", "A1", 0, 1},
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
