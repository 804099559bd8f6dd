#include "app/records/RecordMerge.h"

#include <functional>
#include <unordered_map>

namespace {

using TById = std::unordered_map<uint64_t, const TRecordFields*>;

TById ById(const std::vector<TRecordFields>& records) {
  TById map;
  map.reserve(records.size());
  for (const TRecordFields& record : records) map.emplace(record.id, &record);
  return map;
}

const TRecordFields* Lookup(const TById& map, uint64_t id) {
  const auto at = map.find(id);
  return at == map.end() ? nullptr : at->second;
}

// Only the description is hashed, so no value derived from a password is
// kept in the table.
size_t ContentHash(const TRecordFields& record) {
  const TField* description = record.Find(kDescriptionField);
  return std::hash<String>()(description ? description->value : String());
}

String Records(int32_t n) { return IntToString(n) + (n == 1 ? S(" record") : S(" records")); }

}  // namespace

void RecordIdsAdopt(std::vector<TRecordFields>& records,
                    std::initializer_list<const std::vector<TRecordFields>*> known) {
  std::unordered_multimap<size_t, const TRecordFields*> byContent;
  for (const std::vector<TRecordFields>* list : known)
    for (const TRecordFields& record : *list) byContent.emplace(ContentHash(record), &record);
  std::unordered_set<uint64_t> given;
  given.reserve(records.size());
  for (TRecordFields& record : records) {
    if (record.id == 0) {
      auto [from, to] = byContent.equal_range(ContentHash(record));
      for (auto at = from; at != to; ++at) {
        if (at->second->SameContent(record) && !given.count(at->second->id)) {
          record.id = at->second->id;
          byContent.erase(at);
          break;
        }
      }
    }
    while (record.id == 0 || given.count(record.id)) record.id = NewRecordId();
    given.insert(record.id);
  }
}

TRecordMerge RecordMerge(const std::vector<TRecordFields>& base, const std::vector<TRecordFields>& ours,
                         std::vector<TRecordFields>& theirs, TMergeMode mode,
                         const std::unordered_set<uint64_t>& deletedHere) {
  RecordIdsAdopt(theirs, {&base, &ours});
  const TById baseById = ById(base), oursById = ById(ours), theirsById = ById(theirs);
  TRecordMerge merge;
  // Reserved once: a short field lives inside its string object and would be
  // left unwiped in the old storage if the list reallocated.
  merge.records.reserve(ours.size() + theirs.size());
  std::unordered_set<uint64_t> copies;  // theirs' versions kept beside ours'
  for (const TRecordFields& own : ours) {
    const TRecordFields* other = Lookup(theirsById, own.id);
    const TRecordFields* was = Lookup(baseById, own.id);
    const bool ownChanged = !was || !own.SameContent(*was);
    if (!other) {
      if (mode == TMergeMode::Descendant && !ownChanged) {
        ++merge.removedThere;
        continue;
      }
      merge.records.push_back(own);
      continue;
    }
    const bool otherChanged = !was || !other->SameContent(*was);
    if (other->SameContent(own) || !otherChanged) {
      merge.records.push_back(own);
    } else if (mode == TMergeMode::Descendant && !ownChanged) {
      merge.records.push_back(*other);
      ++merge.changedThere;
    } else {
      merge.records.push_back(own);
      if (mode != TMergeMode::Older) copies.insert(own.id);
    }
  }
  for (const TRecordFields& other : theirs) {
    const bool copy = copies.count(other.id) > 0;
    if (!copy && Lookup(oursById, other.id)) continue;
    if (!copy) {
      const TRecordFields* was = Lookup(baseById, other.id);
      // Ours removed it: a descendant brings it back only when it changed it.
      if (mode == TMergeMode::Descendant ? was && other.SameContent(*was) : was || deletedHere.count(other.id) > 0)
        continue;
    }
    merge.records.push_back(other);
    if (copy) {
      merge.records.back().id = 0;
      ++merge.keptBoth;
    }
    ++merge.addedThere;
  }
  RecordIdsAdopt(merge.records, {});
  return merge;
}

String RecordMergeStatus(const TRecordMerge& merge, const String& fileName) {
  // Short enough for the status bar of the main window.
  String text = fileName + S(" was changed elsewhere and merged: ");
  if (merge.addedThere == 0 && merge.removedThere == 0 && merge.changedThere == 0)
    return text + S("nothing added, changed or removed there.");
  text += IntToString(merge.addedThere) + S(" added, ");
  if (merge.changedThere > 0) text += IntToString(merge.changedThere) + S(" changed, ");
  text += IntToString(merge.removedThere) + S(" removed there");
  if (merge.keptBoth > 0) text += S("; ") + IntToString(merge.keptBoth) + S(" kept twice");
  return text + S(".");
}

String RecordMergeOlderStatus(const TRecordMerge& merge, const String& fileName) {
  // Short enough for the status bar of the main window.
  return S("An older ") + fileName + S(" came back: nothing was removed or undone; ") +
         (merge.addedThere > 0 ? Records(merge.addedThere) + S(" came in from it.") : S("nothing came in from it."));
}
