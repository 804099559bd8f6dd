#include "app/records/RecordMerge.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "runtime/Wipe.h"

namespace {

// Records are counted by reference to one of the input lists; nothing is
// copied. Only the description is hashed, so no value derived from a
// password is kept in the table.
struct TPairHash {
  size_t operator()(const TRecordPair* pair) const { return std::hash<String>()(pair->description); }
};
struct TPairEqual {
  bool operator()(const TRecordPair* a, const TRecordPair* b) const { return *a == *b; }
};

struct TCounts {
  int64_t base = 0, ours = 0, theirs = 0;
  int64_t kept = 0;  // how many copies the result holds so far
};

// Copies of a record in the result: each side's change to base is applied,
// and a change both sides made the same way counts once.
int64_t MergedCount(const TCounts& c) {
  const int64_t ourChange = c.ours - c.base, theirChange = c.theirs - c.base;
  if (ourChange > 0 && theirChange > 0) return c.base + std::max(ourChange, theirChange);
  if (ourChange < 0 && theirChange < 0) return c.base + std::min(ourChange, theirChange);
  return c.base + ourChange + theirChange;
}

String Records(int32_t n) { return IntToString(n) + (n == 1 ? S(" record") : S(" records")); }

}  // namespace

TRecordMerge RecordMerge(const std::vector<TRecordPair>& base, const std::vector<TRecordPair>& ours,
                         const std::vector<TRecordPair>& theirs) {
  std::unordered_map<const TRecordPair*, TCounts, TPairHash, TPairEqual> counts;
  for (const auto& pair : base) ++counts[&pair].base;
  for (const auto& pair : ours) ++counts[&pair].ours;
  for (const auto& pair : theirs) ++counts[&pair].theirs;

  int64_t total = 0;
  for (const auto& [pair, c] : counts) total += MergedCount(c);
  TRecordMerge merge;
  // Reserved once: a short field lives inside its string object and would
  // be left unwiped in the old storage if the list reallocated.
  merge.records.reserve(static_cast<size_t>(total));
  for (const auto& pair : ours) {
    TCounts& c = counts.at(&pair);
    if (c.kept < MergedCount(c)) {
      merge.records.push_back(pair);
      ++c.kept;
    } else {
      ++merge.removedThere;
    }
  }
  for (const auto& pair : theirs) {
    TCounts& c = counts.at(&pair);
    if (c.kept < MergedCount(c)) {
      merge.records.push_back(pair);
      ++c.kept;
      ++merge.addedThere;
    }
  }
  return merge;
}

String RecordMergeStatus(const TRecordMerge& merge, const String& fileName) {
  String text = fileName + S(" was changed elsewhere and merged: ");
  if (merge.addedThere == 0 && merge.removedThere == 0) return text + S("no record added or removed there.");
  return text + Records(merge.addedThere) + S(" added there, ") + IntToString(merge.removedThere) +
         S(" removed there.");
}

void RecordPairsWipe(std::vector<TRecordPair>& records) {
  for (auto& pair : records) {
    SecureWipe(pair.description);
    SecureWipe(pair.password);
  }
  records.clear();
}
