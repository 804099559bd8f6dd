#pragma once

#include <cstdint>
#include <initializer_list>
#include <unordered_set>
#include <vector>

#include "app/records/RecordFields.h"
#include "runtime/String.h"

// How far the other side's file can be trusted to be newer than ours.
enum class TMergeMode {
  // The file that replaced ours grew from it (the same file id, a higher
  // generation, or a layout without either): each side's changes to base
  // are applied to the other, deletions included.
  Descendant,
  // An older copy came back (a lower or equal generation, another file id,
  // an older layout, or a damaged file): it never deletes a record or takes
  // back an older version; only the records it adds come in.
  Older,
  // A conflict copy a sync tool left beside the file: like Older, but where
  // it holds another version of a record that both sides changed, both
  // versions are kept.
  Conflict,
};

struct TRecordMerge {
  std::vector<TRecordFields> records;
  int32_t addedThere = 0;    // records taken over from theirs
  int32_t removedThere = 0;  // records of ours dropped because theirs removed them
  int32_t changedThere = 0;  // records of ours replaced by theirs' newer version
  int32_t keptBoth = 0;      // of the records taken, those kept beside ours' version

  ~TRecordMerge() { RecordFieldsWipe(records); }
};

// Three-way merge of record lists by record id: base is what was last read
// or written, ours what is held now, theirs the other file. deletedHere
// holds the ids this program deleted since it started, which Older and
// Conflict never bring back. In Descendant mode, for each id:
//   - changed on one side only: that side's version;
//   - changed on both sides differently: both (theirs under a fresh id);
//   - removed on one side and unchanged on the other: removed;
//   - removed on one side and changed on the other: the changed version.
// The result lists ours' records that stay, in ours' order, then those taken
// from theirs, in theirs' order. Records of theirs without an id (older
// layouts) take the id of an equal record of base or ours first.
TRecordMerge RecordMerge(const std::vector<TRecordFields>& base, const std::vector<TRecordFields>& ours,
                         std::vector<TRecordFields>& theirs, TMergeMode mode,
                         const std::unordered_set<uint64_t>& deletedHere = {});

// Gives each record of records without an id the id of an equal record of
// the known lists not given yet, or a fresh one; a second record with an id
// already seen gets a fresh one too.
void RecordIdsAdopt(std::vector<TRecordFields>& records,
                    std::initializer_list<const std::vector<TRecordFields>*> known);

// The status bar's account of a merge with fileName as it was on disk, e.g.
// "quorvel.dat was changed elsewhere and merged: 2 added, 1 removed there."
String RecordMergeStatus(const TRecordMerge& merge, const String& fileName);
// "An older quorvel.dat came back: ..." for an Older merge.
String RecordMergeOlderStatus(const TRecordMerge& merge, const String& fileName);
