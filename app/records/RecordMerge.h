#pragma once

#include <cstdint>
#include <vector>

#include "runtime/String.h"

// One record as the merge sees it. Records have no identity besides their
// content, so two records are the same when both fields are equal. The fields
// may hold plaintext or, for a record that could not be decrypted, its stored
// lines: the merge only compares them, so any form works as long as one
// record has the same form in all three lists.
struct TRecordPair {
  String description;
  String password;

  bool operator==(const TRecordPair&) const = default;
};

struct TRecordMerge {
  std::vector<TRecordPair> records;
  int32_t addedThere = 0;    // records taken over from theirs
  int32_t removedThere = 0;  // records of ours dropped because theirs removed them
};

// Three-way merge of record lists: base is what was last read or written,
// ours what is held now, theirs what is on disk now. Each list is a multiset
// of records, and each side's change to base is applied to the other:
//   - a record added on either side is kept;
//   - a record removed on one side and still there on the other is removed;
//   - a changed record is a removal and an addition, so when both sides
//     changed the same record differently, both new versions are kept;
//   - the same change made on both sides is made once (both added one copy of
//     a record: one copy; both removed it: removed).
// Copies of a record count: if theirs holds one more copy than base, one more
// copy is kept. The result lists ours' records that stay, in ours' order,
// then the records theirs added, in theirs' order.
TRecordMerge RecordMerge(const std::vector<TRecordPair>& base, const std::vector<TRecordPair>& ours,
                         const std::vector<TRecordPair>& theirs);

// The status bar's account of a merge with fileName as it was on disk, e.g.
// "quorvel.dat was changed elsewhere and merged: 2 records added there, 1 removed there."
String RecordMergeStatus(const TRecordMerge& merge, const String& fileName);

// Overwrites both fields of every record, then empties the list.
void RecordPairsWipe(std::vector<TRecordPair>& records);
