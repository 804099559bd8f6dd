#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/records/RecordMerge.h"

namespace {
// "1A2" is the record of id 1 with description "A" and password "2"; "_A2"
// has no id (an older layout), and "?A2" in a result any fresh id.
std::vector<TRecordFields> Records(const std::string& text) {
  std::vector<TRecordFields> out;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    TRecordFields& record = out.emplace_back();
    record.id = word[0] == '_' || word[0] == '?' ? 0 : static_cast<uint64_t>(word[0] - '0');
    record.fields = {{kDescriptionField, WidenString(word.substr(1, 1)), std::nullopt},
                     {kPasswordField, WidenString(word.substr(2)), std::nullopt}};
  }
  return out;
}

std::string Text(const std::vector<TRecordFields>& records) {
  std::string text;
  std::set<uint64_t> ids;
  for (const TRecordFields& record : records) {
    EXPECT_TRUE(record.id != 0 && ids.insert(record.id).second) << "ids are given once";
    const std::string id = record.id < 10 ? std::to_string(record.id) : "?";
    text +=
        (text.empty() ? "" : " ") + id + NarrowString(record.fields[0].value) + NarrowString(record.fields[1].value);
  }
  return text;
}
}  // namespace

TEST(RecordMerge, AppliesEachSidesChangesByIdAndNeverDeletesBecauseOfAnOlderCopy) {
  using M = TMergeMode;
  struct Case {
    const char* what;
    M mode;
    std::string base, ours, theirs, merged;
    int32_t added, removed, changed, both;
  } cases[] = {
      {"nothing changed", M::Descendant, "1A1 2B1", "1A1 2B1", "1A1 2B1", "1A1 2B1", 0, 0, 0, 0},
      {"ours added", M::Descendant, "1A1", "1A1 3C1", "1A1", "1A1 3C1", 0, 0, 0, 0},
      {"theirs added", M::Descendant, "1A1", "1A1", "4D1 1A1", "1A1 4D1", 1, 0, 0, 0},
      {"theirs deleted", M::Descendant, "1A1 2B1", "1A1 2B1", "2B1", "2B1", 0, 1, 0, 0},
      {"ours deleted", M::Descendant, "1A1 2B1", "1A1", "1A1 2B1", "1A1", 0, 0, 0, 0},
      {"theirs changed", M::Descendant, "1A1 2B1", "1A1 2B1", "1A2 2B1", "1A2 2B1", 0, 0, 1, 0},
      {"both changed differently", M::Descendant, "1A1", "1A2", "1A3", "1A2 ?A3", 1, 0, 0, 1},
      {"both changed the same way", M::Descendant, "1A1", "1A2", "1A2", "1A2", 0, 0, 0, 0},
      {"ours deleted what theirs changed", M::Descendant, "1A1 2B1", "2B1", "1A2 2B1", "2B1 1A2", 1, 0, 0, 0},
      {"ours changed what theirs deleted", M::Descendant, "1A1 2B1", "1A2 2B1", "2B1", "1A2 2B1", 0, 0, 0, 0},
      {"an older layout's records match by content", M::Descendant, "1A1 2B1", "1A1 2B1", "_B1 _C1", "2B1 ?C1", 1, 1, 0,
       0},
      {"both added the same, in an older layout", M::Descendant, "1A1", "1A1 3C1", "_A1 _C1", "1A1 3C1", 0, 0, 0, 0},
      {"an older copy deletes nothing and takes nothing back", M::Older, "1A2 2B1 3C1", "1A2 2B1 3C1", "1A1 2B1 4D1",
       "1A2 2B1 3C1 4D1", 1, 0, 0, 0},
      {"an older copy brings back nothing deleted here", M::Older, "1A1 2B1", "1A1", "1A1 2B1 5E1", "1A1", 0, 0, 0, 0},
      {"a conflict copy keeps both changed versions", M::Conflict, "1A1 2B1", "1A2 2B1", "1A3 2B1 6F1",
       "1A2 2B1 ?A3 6F1", 2, 0, 0, 1},
      {"a conflict copy's unchanged version yields", M::Conflict, "1A1", "1A2", "1A1", "1A2", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    std::vector<TRecordFields> theirs = Records(c.theirs);
    TRecordMerge merge = RecordMerge(Records(c.base), Records(c.ours), theirs, c.mode, {5});
    EXPECT_EQ(c.merged, Text(merge.records)) << c.what;
    EXPECT_EQ(c.added, merge.addedThere) << c.what;
    EXPECT_EQ(c.removed, merge.removedThere) << c.what;
    EXPECT_EQ(c.changed, merge.changedThere) << c.what;
    EXPECT_EQ(c.both, merge.keptBoth) << c.what;
  }
}

TEST(RecordMerge, StatusSaysWhatCameFromTheOtherSide) {
  auto status = [](int32_t added, int32_t removed, int32_t changed, int32_t both, bool older = false) {
    TRecordMerge merge;
    merge.addedThere = added;
    merge.removedThere = removed;
    merge.changedThere = changed;
    merge.keptBoth = both;
    return NarrowString(older ? RecordMergeOlderStatus(merge, S("quorvel.dat"))
                              : RecordMergeStatus(merge, S("quorvel.dat")));
  };
  const std::string start = "quorvel.dat was changed elsewhere and merged: ";
  EXPECT_EQ(start + "nothing added, changed or removed there.", status(0, 0, 0, 0));
  EXPECT_EQ(start + "1 added, 0 removed there.", status(1, 0, 0, 0));
  EXPECT_EQ(start + "2 added, 1 changed, 3 removed there; 1 kept twice.", status(2, 3, 1, 1));
  EXPECT_EQ("An older quorvel.dat came back: nothing was removed or undone; 1 record came in from it.",
            status(1, 0, 0, 0, true));
}
