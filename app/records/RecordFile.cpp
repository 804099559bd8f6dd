#include "app/records/RecordFile.h"

#include <stdio.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "app/generator/RandomSource.h"
#include "app/records/ConflictCopies.h"
#include "app/records/KeyFile.h"
#include "app/records/PairKey.h"
#include "app/records/RecordLayout.h"
#include "app/records/RecordMerge.h"
#include "app/records/RecordView.h"
#include "app/records/SealedKey.h"
#include "runtime/AtomicFile.h"
#include "runtime/Wipe.h"

int32_t recordCount = 0;
std::vector<String> descriptions;
std::vector<TSecret> passwords;
String lastMergeStatus;
bool lastSaveMerged = false;

const char16_t* const kSaveFailedMessage = u"Error while trying to save the password record.";

namespace {

const char* const kDamagedQuestion =
    "quorvel.dat is damaged or cut short, so records may be missing from it. Save it anyway, without what is "
    "missing?";

// What a record holds besides its description and password, by index beside
// the arrays; records added since the load have no entry yet.
struct TRecordMeta {
  uint64_t id = 0;
  std::optional<TStoredLine> stored[2];  // description, password
  std::vector<TField> extra;             // fields of other names, in file order
  bool named = true;                     // it has a description or password field at all

  // The other fields, every run of them a read left sealed as one parsed.
  std::vector<TField>& Fields() {
    RecordFieldsExpand(extra, PairKeyGet());
    return extra;
  }

  void WipeExtra() {
    TRecordFields wiped{id, std::move(extra)};
    RecordFieldsWipe(wiped);
    extra.clear();
  }
};
std::vector<TRecordMeta> meta;

// The file as last read or written: its records (the base of the next
// merge, plaintext: wiped whenever replaced), identity and header.
struct TFileState {
  std::vector<TRecordFields> records;
  // Instead of records, for a file of the current layout: its bytes, parsed
  // into records only when a merge needs them (a copy of every record costs
  // more than the load at ten thousand records).
  std::shared_ptr<const TSealedFile> source;
  TFileStamp stamp;
  TLayout layout = TLayout::Empty;
  ByteArray fileId;  // this pair's file id (one is made for a file that has none yet)
  uint64_t generation = 0;
  bool damaged = false;
  String refusal;
};
TFileState file;

// The stamp of the disk version the last merge took in, which the save then
// expects to replace.
TFileStamp expected;
std::unordered_set<uint64_t> deletedHere;
String saveFailure;  // why the last save failed; empty once one succeeded

ByteArray NewFileId() {
  ByteArray id(kFileIdSize, 0);
  if (!RandomBytes(id.data(), id.size())) id.clear();
  return id;
}

void Report(const String& text) { RecordViewReport(RecordStatusLine(text)); }

int32_t Fail(const String& why) {
  saveFailure = why;
  RecordViewReport(why);
  return 0;
}

void MetaFit() {
  // Records dropped from the arrays take their other fields with them, wiped.
  for (size_t i = descriptions.size(); i < meta.size(); ++i) meta[i].WipeExtra();
  meta.resize(descriptions.size());
  std::unordered_set<uint64_t> seen;
  seen.reserve(meta.size());
  for (TRecordMeta& entry : meta) {
    while (entry.id == 0 || seen.count(entry.id)) entry.id = NewRecordId();
    seen.insert(entry.id);
  }
}

void AddField(TRecordFields& record, const char16_t* name, const String& value,
              const std::optional<TStoredLine>& stored) {
  TField& field = record.fields.emplace_back();
  field.name = name;
  if (stored)
    field.stored = stored;
  else
    field.value = TrimText(value);
}

// The password as a field: its stored line when it did not read, otherwise
// sealed in memory as it is held, trimmed as a file holds it.
void AddPassword(TRecordFields& record, const TSecret& password, const std::optional<TStoredLine>& stored) {
  if (!stored && !password.Empty() && !password.Padded()) {
    // Nothing to trim: the sealed bytes as they are.
    TField& field = record.fields.emplace_back();
    field.name = kPasswordField;
    if (password.AsStoredLine(field.stored.emplace())) return;
    record.fields.pop_back();
  }
  String plain = stored ? String() : password.Open();
  AddField(record, kPasswordField, plain, stored);
  SecureWipe(plain);
  RecordFieldSeal(record.fields.back());
}

// A held field's value, opened when it was left sealed; one that turns out
// not to decrypt makes its record unreadable from now on. The fields that are
// no secret (find searches the user names and web addresses) stay open once
// opened; the others are opened afresh each time.
String ValueOf(TField& field) {
  if (!field.stored) return field.value;
  String value;
  const TRecordKey* key = PairKeyGet();
  if (!key || !field.stored->unopened) return value;
  if (!RecordFieldOpen(field, *key, value)) {
    field.stored->unopened = false;
  } else if (field.name == kUserNameField || field.name == kWebAddressField || field.name == kCreatedField ||
             field.name == kChangedField) {
    field.value = value;
    field.stored.reset();
  }
  return value;
}

// Makes records the records held, moved out of records.
void HoldRecords(std::vector<TRecordFields>& records) {
  TMemorySealBatch batch;
  for (TSecret& password : passwords) password.Wipe();
  for (String& description : descriptions) SecureWipe(description);
  for (TRecordMeta& entry : meta) entry.WipeExtra();
  descriptions.clear();
  passwords.clear();
  meta.clear();
  // Reserved once, so that no reallocation leaves a short password behind.
  passwords.reserve(records.size());
  descriptions.reserve(records.size());
  meta.reserve(records.size());
  for (TRecordFields& record : records) {
    TRecordMeta& entry = meta.emplace_back();
    entry.id = record.id;
    descriptions.emplace_back();
    TSecret& password = passwords.emplace_back();
    static const String names[2] = {kDescriptionField, kPasswordField};
    std::vector<TField>& fields = record.fields;
    // The two fields' places in the record, -1 for one it lacks: first and
    // second, as every file of the current layout has them, or found.
    const bool first = fields.size() >= 2 && fields[0].name == names[0] && fields[1].name == names[1];
    int at[2] = {first ? 0 : -1, first ? 1 : -1};
    for (size_t i = 0; !first && i < fields.size() && (at[0] < 0 || at[1] < 0); ++i) {
      const int which = fields[i].name == names[0] ? 0 : fields[i].name == names[1] ? 1 : -1;
      if (which >= 0 && at[which] < 0) at[which] = static_cast<int>(i);
    }
    entry.named = at[0] >= 0 || at[1] >= 0;
    for (int which = 0; which < 2; ++which) {
      if (at[which] < 0) continue;
      TField& field = fields[static_cast<size_t>(at[which])];
      if (field.stored && field.stored->kind == TStoredKind::Memory) {
        // Sealed in memory already: opened for the moment it is sealed again as held.
        String value;
        MemoryOpen(field.stored->bytes, value);
        field.stored.reset();
        field.value = std::move(value);
      }
      entry.stored[which] = std::move(field.stored);
      if (which == 0) {
        descriptions.back() = std::move(field.value);
      } else {
        password = TSecret(field.value);
      }
      SecureWipe(field.value);
    }
    // The rest become the other fields where they stand, moved down over the
    // two; what a move leaves behind is wiped at once.
    size_t kept = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (static_cast<int>(i) == at[0] || static_cast<int>(i) == at[1]) continue;
      if (kept != i) {
        fields[kept] = std::move(fields[i]);
        SecureWipe(fields[i].value);
      }
      ++kept;
    }
    for (size_t i = kept; i < fields.size(); ++i) SecureWipe(fields[i].value);
    fields.resize(kept);
    RecordFieldsSeal(fields);
    entry.extra = std::move(fields);
  }
  recordCount = static_cast<int32_t>(records.size());
  MetaFit();
}

void TakeFile(TRecordFileContent& content, const TFileStamp& stamp, int32_t count) {
  RecordFieldsWipe(file.records);
  file.source = content.source;
  if (!file.source) file.records = HeldRecords(count);
  file.stamp = stamp;
  file.layout = content.layout;
  file.damaged = content.damaged;
  file.generation = content.layout == TLayout::Gcm2 ? content.generation : 0;
  file.fileId = content.layout == TLayout::Gcm2 && content.fileId.size() == kFileIdSize ? content.fileId : NewFileId();
}

// The records of the file as last read or written, with every field opened.
std::vector<TRecordFields>& Base(const TRecordKey& key) {
  if (file.source) {
    TRecordFileContent content;
    ParseRecordFile(std::const_pointer_cast<TSealedFile>(file.source), &key, content);
    file.records = std::move(content.records);
    file.source.reset();
  }
  RecordFieldsOpen(file.records, key);
  return file.records;
}

// Whether a record of theirs that does not read is one this program already
// keeps as it is; anything else is another key's, and writing would lose it.
bool Known(const TRecordFields& record, const std::vector<TRecordFields>& ours, const TRecordKey& key) {
  const auto in = [&record](const std::vector<TRecordFields>& list) {
    return std::any_of(list.begin(), list.end(),
                       [&record](const TRecordFields& own) { return own.SameContent(record); });
  };
  return in(Base(key)) || in(ours);
}

bool AllReadable(const TRecordFileContent& content) {
  for (const TRecordFields& record : content.records)
    if (!record.Readable()) return false;
  return true;
}

// How far a file that replaced ours can be trusted to be newer.
TMergeMode ModeOf(const TRecordFileContent& theirs, const TRecordKey& key) {
  if (!key.Authenticated()) return TMergeMode::Descendant;
  if (file.layout != TLayout::Gcm2) {
    // Nothing of ours carries a generation yet: a file of the same layout grew from it.
    return theirs.layout == file.layout || theirs.layout == TLayout::Empty ||
                   (theirs.layout == TLayout::Gcm2 && !theirs.damaged)
               ? TMergeMode::Descendant
               : TMergeMode::Older;
  }
  const bool newer = theirs.layout == TLayout::Gcm2 && !theirs.damaged && theirs.fileId == file.fileId &&
                     theirs.generation > file.generation;
  return newer ? TMergeMode::Descendant : TMergeMode::Older;
}

// Ours and the base of the merge, with every field opened: a sealed line and
// the same value read from another file would otherwise differ.
void OpenForMerge(std::vector<TRecordFields>& ours, const TRecordKey& key) {
  RecordFieldsOpen(ours, key);
  Base(key);
}

// The base once a merge compared with it: its secrets sealed again.
void SealBase() { RecordFieldsSeal(file.records); }

// Opens every held field left sealed, before they go under another key;
// without the key they were sealed with, they count as unreadable.
void OpenHeld() {
  const TRecordKey* key = PairKeyGet();
  TMemorySealBatch batch;
  for (TRecordMeta& entry : meta) {
    if (key) RecordFieldsOpen(entry.Fields(), *key);
    for (TField& field : entry.extra)
      if (field.stored) field.stored->unopened = false;
    RecordFieldsSeal(entry.extra);
  }
}

enum class TWrite { Written, Failed, Changed };

TWrite WriteLines(const String& path, const std::vector<String>& lines, const TFileStamp* expect, TFileStamp& written) {
  TAtomicFile out(path);
  if (!out.Open()) return TWrite::Failed;
  if (expect) out.ExpectTarget(*expect);
  for (const String& line : lines) out.WriteLine(line);
  if (!out.Commit()) return out.TargetChanged() ? TWrite::Changed : TWrite::Failed;
  written = out.Written();
  return TWrite::Written;
}

bool FormatHeld(int32_t count, const TRecordKey& key, const ByteArray& fileId, uint64_t generation,
                std::vector<String>& lines) {
  std::vector<TRecordFields> records = HeldRecords(count);
  const bool formatted = FormatRecordLines(records, key, fileId, generation, lines);
  RecordFieldsWipe(records);
  return formatted;
}

void WipeLines(std::vector<String>& lines) {
  for (String& line : lines) SecureWipe(line);
  lines.clear();
}

// Merges the conflict copies that read under key into records 0 to count -
// 1; names holds those merged, to be renamed once the save is done.
int32_t MergeConflictCopies(int32_t count, const TRecordKey& key, std::vector<std::string>& names, String& status) {
  if (!key.Authenticated()) return count;  // an older kind cannot tell another key's lines from its own
  for (const std::string& name : ConflictCopyNames()) {
    TRecordFileContent copy;
    const String path = WidenString(name);
    if (ReadRecordFile(path, &key, copy) != TRecordRead::Read || copy.damaged || !AllReadable(copy)) {
      status += (status.empty() ? S("") : S(" ")) + path + S(" does not read with quorvel.key; left alone.");
      continue;
    }
    // Its lineage joins ours: the next generation is above it too.
    if (copy.layout == TLayout::Gcm2 && copy.fileId == file.fileId)
      file.generation = std::max(file.generation, copy.generation);
    std::vector<TRecordFields> ours = HeldRecords(count);
    OpenForMerge(ours, key);
    TRecordMerge merge = RecordMerge(file.records, ours, copy.records, TMergeMode::Conflict, deletedHere);
    RecordFieldsWipe(ours);
    SealBase();
    HoldRecords(merge.records);
    count = recordCount;
    names.push_back(name);
    status += (status.empty() ? S("") : S(" ")) + path + S(" merged: ") + IntToString(merge.addedThere) +
              (merge.addedThere == 1 ? S(" record came in; renamed to .merged.")
                                     : S(" records came in; renamed to .merged."));
  }
  if (!names.empty()) {
    lastSaveMerged = true;
    RecordViewChanged();
  }
  return count;
}

enum class TSave { Saved, Failed, Retry };

TSave SaveOnce(int32_t count) {
  lastMergeStatus.clear();
  lastSaveMerged = false;
  const TRecordKey* key = PairKeyGet();
  if (!PairKeyOnDiskUnchanged() || !key) return Fail(kKeyFileChangedMessage), TSave::Failed;
  if (file.damaged && !RecordViewConfirm(S(kDamagedQuestion)))
    return Fail(S("The change was not saved: quorvel.dat is damaged or cut short.")), TSave::Failed;
  count = MergeChangesMadeElsewhere(count);
  if (count < 0) return saveFailure = lastMergeStatus, TSave::Failed;
  std::vector<std::string> copies;
  String copyStatus;
  count = MergeConflictCopies(count, *key, copies, copyStatus);
  std::vector<String> lines;
  if (!FormatHeld(count, *key, file.fileId, file.generation + 1, lines)) return Fail(kSaveFailedMessage), TSave::Failed;
  TFileStamp written;
  const TWrite result = WriteLines(kRecordFileName, lines, &expected, written);
  TRecordFileContent content;
  if (result == TWrite::Written && key->Authenticated()) content.source = SealedFileOf(lines);
  WipeLines(lines);
  if (result == TWrite::Changed) return TSave::Retry;
  if (result == TWrite::Failed) return Fail(kSaveFailedMessage), TSave::Failed;
  content.layout = key->Authenticated() ? TLayout::Gcm2 : TLayout::Table;
  content.fileId = file.fileId;
  content.generation = file.generation + 1;
  TakeFile(content, written, count);
  saveFailure.clear();
  for (const std::string& name : copies) ::rename(name.c_str(), (name + ".merged").c_str());
  if (!copyStatus.empty()) lastMergeStatus += (lastMergeStatus.empty() ? S("") : S(" ")) + copyStatus;
  return TSave::Saved;
}

}  // namespace

TLoadResult LoadRecords(bool recordsEncrypted) {
  file.refusal.clear();
  std::string why;
  if (recordsEncrypted && !PairKeyGet() && !PairKeyLoad(&why)) {
    file.refusal = WidenString(why);
    return TLoadResult::Refused;
  }
  // Taken before reading: a file replaced meanwhile only shows as changed at
  // the next save, which then merges it.
  const TFileStamp stamp = FileStampOf(NarrowString(kRecordFileName));
  TRecordFileContent content;
  const TRecordKey* key = recordsEncrypted ? PairKeyGet() : nullptr;
  // Fields no list shows stay sealed until they are needed.
  if (ReadRecordFile(kRecordFileName, key, content, &file.refusal, true) == TRecordRead::Refused)
    return TLoadResult::Refused;
  if (content.layout != TLayout::Gcm2) RecordIdsAdopt(content.records, {});
  HoldRecords(content.records);
  TakeFile(content, stamp, recordCount);
  expected = stamp;
  deletedHere.clear();
  saveFailure.clear();
  if (content.layout != TLayout::Plain) return TLoadResult::Loaded;
  return CommitNewPair(recordCount) == PairResult::Done ? TLoadResult::Loaded : TLoadResult::MigrationFailed;
}

String RecordFileRefusal() { return file.refusal; }

bool RecordFileDamaged() { return file.damaged; }

String RecordFileDamageMessage() {
  if (!file.damaged) return String();
  // Short enough for the status bar of the main window.
  return S("quorvel.dat is damaged or cut short: records may be missing; what reads is shown.");
}

bool RecordsUnsaved() { return !saveFailure.empty(); }

String RecordStatusLine(const String& text) {
  if (saveFailure.empty() || text == saveFailure) return text;
  return text.empty() ? saveFailure : saveFailure + S(" ") + text;
}

std::vector<TRecordFields> HeldRecords(int32_t count) {
  MetaFit();
  const size_t n = std::min({static_cast<size_t>(std::max(count, 0)), descriptions.size(), passwords.size()});
  std::vector<TRecordFields> records;
  TMemorySealBatch batch;
  // Reserved once, so that no reallocation leaves a short field behind.
  records.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    TRecordFields& record = records.emplace_back();
    record.id = meta[i].id;
    record.fields.reserve(2 + meta[i].Fields().size());
    if (meta[i].named) {
      AddField(record, kDescriptionField, descriptions[i], meta[i].stored[0]);
      AddPassword(record, passwords[i], meta[i].stored[1]);
    }
    record.fields.insert(record.fields.end(), meta[i].extra.begin(), meta[i].extra.end());
  }
  return records;
}

int32_t MergeChangesMadeElsewhere(int32_t count) {
  lastMergeStatus.clear();
  lastSaveMerged = false;
  const TFileStamp now = FileStampOf(NarrowString(kRecordFileName));
  expected = now;
  if (!now.exists || now == file.stamp) return count;
  const TRecordKey* key = PairKeyGet();
  TRecordFileContent theirs;
  String why;
  const TRecordRead read = key ? ReadRecordFile(kRecordFileName, key, theirs, &why) : TRecordRead::Refused;
  if (read == TRecordRead::Missing) return count;
  std::vector<TRecordFields> ours = HeldRecords(count);
  // Compared by their values: fields left sealed are opened for it.
  if (key) OpenForMerge(ours, *key);
  bool readable = read == TRecordRead::Read;
  for (size_t i = 0; readable && i < theirs.records.size(); ++i)
    readable = theirs.records[i].Readable() || Known(theirs.records[i], ours, *key);
  if (!readable) {
    RecordFieldsWipe(ours);
    SealBase();
    // Short enough for the status bar of the main window.
    lastMergeStatus = why.empty() ? S("quorvel.dat was changed elsewhere and does not read with quorvel.key; nothing "
                                      "was written.")
                                  : why + S("; nothing was written.");
    Report(lastMergeStatus);
    return -1;
  }
  const TMergeMode mode = ModeOf(theirs, *key);
  TRecordMerge merge = RecordMerge(file.records, ours, theirs.records, mode, deletedHere);
  RecordFieldsWipe(ours);
  SealBase();
  HoldRecords(merge.records);
  if (theirs.layout == TLayout::Gcm2 && !theirs.damaged) {
    // Its lineage goes on: the next generation is above both.
    if (file.layout != TLayout::Gcm2) file.fileId = theirs.fileId;
    if (theirs.fileId == file.fileId) file.generation = std::max(file.generation, theirs.generation);
  }
  lastMergeStatus = mode == TMergeMode::Descendant ? RecordMergeStatus(merge, kRecordFileName)
                                                   : RecordMergeOlderStatus(merge, kRecordFileName);
  lastSaveMerged = true;
  RecordViewChanged();
  return recordCount;
}

int32_t SaveRecords(int32_t count) {
  const bool failedBefore = RecordsUnsaved();
  TSave result = TSave::Retry;
  // A copy renamed over the file between the merge and the rename is merged
  // too; a tool that keeps doing so wins after a few tries, and nothing is written.
  for (int attempt = 0; attempt < 4 && result == TSave::Retry; ++attempt) {
    result = SaveOnce(count);
    count = recordCount;
  }
  if (result == TSave::Retry) return Fail(kSaveFailedMessage);
  if (result == TSave::Failed) return 0;
  if (!lastMergeStatus.empty())
    Report(lastMergeStatus);
  else if (failedBefore)
    Report(S("The records were saved."));
  return 1;
}

void MergeConflictCopiesNow() {
  const TRecordKey* key = PairKeyGet();
  if (key && key->Authenticated() && !ConflictCopyNames().empty()) SaveRecords(recordCount);
}

PairResult CommitNewPair(int32_t count, const String* passphrase) {
  if (!PairKeyOnDiskUnchanged()) return PairResult::KeyChanged;
  // A field that could not be decrypted has no plaintext to re-encrypt, and
  // its stored line means nothing under a new key.
  OpenHeld();
  if (!UnreadableRecords().empty()) return PairResult::WriteFailed;
  TFreshKey fresh;
  if (!MakeFreshKey(passphrase, fresh)) return PairResult::RandomFailed;
  const TRecordKey key(fresh.key);
  const ByteArray fileId = NewFileId();
  if (fileId.empty()) return PairResult::RandomFailed;
  std::vector<String> lines;
  if (!FormatHeld(count, key, fileId, 1, lines)) return PairResult::WriteFailed;
  TFileStamp written;
  const PairResult result = CommitPairFiles(fresh.fileBytes, [&](const String& pendingRecords) {
    return WriteLines(pendingRecords, lines, nullptr, written) == TWrite::Written;
  });
  TRecordFileContent content;
  if (result == PairResult::Done) content.source = SealedFileOf(lines);
  WipeLines(lines);
  if (result != PairResult::Done) return result;
  if (fresh.sealed) SealedKeyRemember(*fresh.sealed, fresh.key);
  PairKeyAdopt(fresh.fileBytes);
  content.layout = TLayout::Gcm2;
  content.fileId = fileId;
  content.generation = 1;
  TakeFile(content, written, count);
  saveFailure.clear();
  return result;
}

int32_t DeleteRecord(int32_t index, int32_t count) {
  if (count <= 0 || index < 0 || index >= count) return 0;
  size_t n = static_cast<size_t>(count);
  if (descriptions.size() < n || passwords.size() < n) return 0;
  MetaFit();
  passwords[index].Wipe();
  SecureWipe(descriptions[index]);
  descriptions.erase(descriptions.begin() + index);
  passwords.erase(passwords.begin() + index);
  descriptions.resize(n - 1);
  passwords.resize(n - 1);
  deletedHere.insert(meta[index].id);
  meta[index].WipeExtra();
  meta.erase(meta.begin() + index);
  RecordViewChanged();
  return 1;
}

int32_t ChangeRecord(int32_t index, const String& description, const String& password) {
  if (index >= recordCount || !RecordReadable(index)) return 0;
  const size_t at = static_cast<size_t>(index);
  String trimmed = TrimText(description);
  String before = passwords[at].Open();
  const bool changed = trimmed != descriptions[at] || password != before;
  String newTrimmed = TrimText(password), oldTrimmed = TrimText(before);
  if (newTrimmed != oldTrimmed) KeepEarlierPassword(index);
  for (String* text : {&before, &newTrimmed, &oldTrimmed}) SecureWipe(*text);
  SecureWipe(descriptions[at]);
  descriptions[at] = trimmed;
  SecureWipe(trimmed);
  passwords[at] = TSecret(password);
  if (at < meta.size()) meta[at].named = true;
  if (changed) RecordStamp(index, false);
  RecordViewChanged();
  return 1;
}

void KeepEarlierPassword(int32_t index) {
  if (!RecordsHoldMore() || !RecordReadable(index)) return;  // no room in an older kind's pair
  MetaFit();
  std::vector<TField>& extra = meta[static_cast<size_t>(index)].Fields();
  if (extra.capacity() < 16) extra.reserve(16);
  String password = passwords[static_cast<size_t>(index)].Open();
  String trimmed = TrimText(password);
  TField earlier{kHistoryField, IsoTimeNow() + u' ' + trimmed, std::nullopt};
  for (String* text : {&password, &trimmed}) SecureWipe(*text);
  RecordFieldSeal(earlier);
  // Newest first: the new entry goes before the others, the eleventh goes.
  auto first = std::find_if(extra.begin(), extra.end(), [](const TField& f) { return f.name == kHistoryField; });
  extra.insert(first, std::move(earlier));
  size_t kept = 0;
  for (auto field = extra.begin(); field != extra.end();) {
    if (field->name == kHistoryField && ++kept > kHistoryKept) {
      SecureWipe(field->value);
      if (field->stored) SecureWipe(field->stored->bytes);
      field = extra.erase(field);
    } else {
      ++field;
    }
  }
}

std::vector<String> EarlierPasswords(int32_t index) {
  std::vector<String> earlier;
  if (!RecordReadable(index) || static_cast<size_t>(index) >= meta.size()) return earlier;
  for (TField& field : meta[static_cast<size_t>(index)].Fields())
    if (field.name == kHistoryField) earlier.push_back(ValueOf(field));
  return earlier;
}

void RecordStamp(int32_t index, bool made) {
  if (!RecordsHoldMore()) return;  // an older kind's pair holds no times
  const String now = IsoTimeNow();
  if (made) RecordSetField(index, kCreatedField, now);
  RecordSetField(index, kChangedField, now);
}

std::vector<int32_t> UnreadableRecords() {
  std::vector<int32_t> unreadable;
  const size_t n = std::min({static_cast<size_t>(std::max(recordCount, 0)), descriptions.size(), passwords.size()});
  for (size_t i = 0; i < n; ++i) {
    if (!RecordReadable(static_cast<int32_t>(i))) unreadable.push_back(static_cast<int32_t>(i));
  }
  return unreadable;
}

String UnreadableRecordsMessage() {
  const std::vector<int32_t> unreadable = UnreadableRecords();
  if (unreadable.empty()) return String();
  // Short enough for the status bar of the main window: five numbers at most.
  String numbers;
  for (size_t i = 0; i < unreadable.size() && i < 5; ++i) {
    if (i > 0) numbers += S(", ");
    numbers += IntToString(unreadable[i] + 1);
  }
  if (unreadable.size() > 5)
    numbers += S(" and ") + IntToString(static_cast<int64_t>(unreadable.size() - 5)) + S(" more");
  const bool one = unreadable.size() == 1;
  return S(one ? "Record " : "Records ") + numbers + S(" could not be read (changed or damaged); kept as ") +
         S(one ? "it is." : "they are.");
}

String RecordLabel(int32_t index) {
  const size_t at = static_cast<size_t>(index);
  if (index < 0 || at >= descriptions.size() || at >= passwords.size()) return String();
  if (!RecordReadable(index)) return S("Record ") + IntToString(index + 1) + S(": not readable");
  return descriptions[at];
}

bool RecordReadable(int32_t index) {
  const size_t at = static_cast<size_t>(index);
  if (index < 0 || at >= descriptions.size() || at >= passwords.size()) return false;
  if (at >= meta.size()) return true;
  const TRecordMeta& entry = meta[at];
  if (entry.stored[0] || entry.stored[1]) return false;
  for (const TField& field : entry.extra)
    if (field.Unreadable()) return false;
  return true;
}

String RecordPassword(int32_t index) {
  if (!RecordReadable(index)) return String();
  return passwords[static_cast<size_t>(index)].Open();
}

String RecordFieldValue(int32_t index, const char16_t* name) {
  if (!RecordReadable(index) || static_cast<size_t>(index) >= meta.size()) return String();
  for (TField& field : meta[static_cast<size_t>(index)].Fields())
    if (field.name == name) return ValueOf(field);
  return String();
}

bool RecordsHoldField(const char16_t* name) {
  for (TRecordMeta& entry : meta)
    for (const TField& field : entry.Fields())
      if (field.name == name) return true;
  return false;
}

void RecordSetField(int32_t index, const char16_t* name, const String& value) {
  MetaFit();
  if (index < 0 || static_cast<size_t>(index) >= meta.size()) return;
  std::vector<TField>& extra = meta[static_cast<size_t>(index)].Fields();
  for (auto field = extra.begin(); field != extra.end(); ++field) {
    if (field->name != name) continue;
    SecureWipe(field->value);
    if (field->stored) SecureWipe(field->stored->bytes);
    field->stored.reset();
    if (!value.empty()) {
      field->value = value;
      RecordFieldSeal(*field);
    } else {
      // Swapped to the end rather than erased: shifting would leave copies.
      std::swap(*field, extra.back());
      extra.pop_back();
    }
    return;
  }
  if (value.empty()) return;
  // Room for every field a record usually has, so that growing never leaves
  // a short value behind in the old storage.
  if (extra.capacity() < 8) extra.reserve(8);
  extra.push_back(TField{name, value, std::nullopt});
  RecordFieldSeal(extra.back());
}

uint64_t RecordId(int32_t index) {
  MetaFit();
  return index >= 0 && static_cast<size_t>(index) < meta.size() ? meta[static_cast<size_t>(index)].id : 0;
}

int32_t RecordIndexOfId(uint64_t id) {
  MetaFit();
  for (size_t i = 0; id != 0 && i < meta.size() && i < static_cast<size_t>(std::max(recordCount, 0)); ++i)
    if (meta[i].id == id) return static_cast<int32_t>(i);
  return -1;
}

namespace {
// The records while locked: the lines of a record file, sealed.
std::shared_ptr<TSealedFile> locked;
}  // namespace

bool RecordsLock() {
  const TRecordKey* key = PairKeyGet();
  if (locked || !key || !key->Authenticated() || !PairKeySealed()) return false;
  std::vector<String> lines;
  if (!FormatHeld(recordCount, *key, file.fileId, file.generation, lines)) return false;
  locked = SealedFileOf(lines);
  WipeLines(lines);
  std::vector<TRecordFields> none;
  HoldRecords(none);
  // The base of the next merge is kept as the sealed bytes it was read from.
  if (!file.source) RecordFieldsWipe(file.records);
  MemorySealForget();
  PairKeyRelock();
  return true;
}

bool RecordsLocked() { return locked != nullptr; }

bool RecordsUnlock() {
  const TRecordKey* key = PairKeyGet();
  if (!locked || !key || !key->Usable()) return false;
  TRecordFileContent content;
  ParseRecordFile(locked, key, content, true);
  if (content.damaged) return false;
  HoldRecords(content.records);
  locked.reset();
  MergeChangesMadeElsewhere(recordCount);
  return true;
}

bool RecordsHoldMore() {
  const TRecordKey* key = PairKeyGet();
  return key && key->Authenticated();
}
