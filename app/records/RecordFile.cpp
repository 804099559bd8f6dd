#include "app/records/RecordFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordKey.h"
#include "app/records/RecordMerge.h"
#include "app/records/RecordView.h"
#include "app/records/SealedKey.h"
#include "runtime/AtomicFile.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

int32_t recordCount = 0;
std::vector<String> descriptions;
std::vector<String> passwords;
String lastMergeStatus;
bool lastSaveMerged = false;

const char16_t* const kSaveFailedMessage = u"Error while trying to save the password record.";

namespace {

// The stored line of each field whose decryption answered a sentinel at load
// time, by record index; records added later have no entry.
std::vector<std::optional<String>> keptDescriptionLines;
std::vector<std::optional<String>> keptPasswordLines;

void ReportSaveFailure() { RecordViewReport(kSaveFailedMessage); }

// The identity of the record file when it was last read or written, and the
// records it then held, as the merge sees them (plaintext: wiped whenever
// replaced).
struct TFileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const TFileStamp& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};
TFileStamp baseStamp;
std::vector<TRecordPair> baseRecords;

TFileStamp RecordFileStamp() {
  struct stat st;
  TFileStamp stamp;
  if (::stat(NarrowString(kRecordFileName).c_str(), &st) != 0) return stamp;
  stamp = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  return stamp;
}

// In the merge, a field that could not be decrypted stands as its stored line
// after this mark. Held fields are trimmed, so none starts with a control
// character: a stored line never equals a plaintext.
constexpr char16_t kStoredLineMark = u'\x01';

bool IsStoredLine(const String& field) { return !field.empty() && field[0] == kStoredLineMark; }

String MergeField(const std::vector<String>& fields, const std::vector<std::optional<String>>& kept, size_t index) {
  if (!IsRecordCipherSentinel(fields[index])) return TrimText(fields[index]);
  const bool stored = index < kept.size() && kept[index];
  return kStoredLineMark + (stored ? *kept[index] : fields[index]);
}

// Records 0 to count - 1 as the merge sees them.
std::vector<TRecordPair> HeldPairs(int32_t count) {
  const size_t n = std::min({static_cast<size_t>(std::max(count, 0)), descriptions.size(), passwords.size()});
  std::vector<TRecordPair> pairs;
  pairs.reserve(n);
  for (size_t i = 0; i < n; ++i)
    pairs.push_back({MergeField(descriptions, keptDescriptionLines, i), MergeField(passwords, keptPasswordLines, i)});
  return pairs;
}

void HoldField(std::vector<String>& fields, std::vector<std::optional<String>>& kept, const String& field) {
  if (IsStoredLine(field)) {
    fields.emplace_back(kCipherFailed);
    kept.emplace_back(field.substr(1));
  } else {
    fields.push_back(field);
    kept.emplace_back(std::nullopt);
  }
}

// Makes pairs the records held (copied: the caller wipes pairs).
void HoldPairs(const std::vector<TRecordPair>& pairs) {
  for (String& password : passwords) SecureWipe(password);
  descriptions.clear();
  passwords.clear();
  keptDescriptionLines.clear();
  keptPasswordLines.clear();
  // Reserved once, so that no reallocation leaves a short password behind.
  passwords.reserve(pairs.size());
  descriptions.reserve(pairs.size());
  for (const TRecordPair& pair : pairs) {
    HoldField(descriptions, keptDescriptionLines, pair.description);
    HoldField(passwords, keptPasswordLines, pair.password);
  }
  recordCount = static_cast<int32_t>(pairs.size());
}

// Reads the record file, two trimmed lines per record, as pairs: decrypted
// with key, or as plain text without one; a field that does not decrypt is
// its stored line after kStoredLineMark. False when the file cannot be opened.
bool ReadPairs(const TRecordKey* key, std::vector<TRecordPair>& pairs) {
  Ref<TStream> stream = OpenForReading(kRecordFileName);
  if (!stream) return false;
  std::vector<String> lines;
  while (!stream->Eof()) lines.push_back(stream->ReadLine());
  stream->Close();
  pairs.reserve((lines.size() + 1) / 2);
  for (size_t at = 0; at < lines.size(); at += 2) {
    const size_t record = at / 2;
    String fields[2] = {TrimText(lines[at]), at + 1 < lines.size() ? TrimText(lines[at + 1]) : String()};
    if (key) {
      for (int which = 0; which < 2; ++which) {
        String plain =
            key->Decrypt(fields[which], record, which == 0 ? RecordField::Description : RecordField::Password);
        if (IsRecordCipherSentinel(plain)) {
          fields[which].insert(fields[which].begin(), kStoredLineMark);
        } else {
          SecureWipe(fields[which]);
          fields[which] = plain;
        }
        SecureWipe(plain);
      }
    }
    pairs.push_back({fields[0], fields[1]});
    SecureWipe(fields[0]);
    SecureWipe(fields[1]);
  }
  for (String& line : lines) SecureWipe(line);
  return true;
}

enum class DiskMerge { Merged, Unreadable };

// Merges the record file as it is on disk now into records 0 to count - 1.
DiskMerge MergeDiskVersion(int32_t count) {
  std::vector<TRecordPair> theirs;
  const TRecordKey key(kKeyFileName);
  if (!ReadPairs(&key, theirs)) return DiskMerge::Unreadable;
  std::vector<TRecordPair> ours = HeldPairs(count);
  // A field that does not decrypt is only carried through when this program
  // already keeps it; anything else is another key's, and writing would lose it.
  for (const TRecordPair& pair : theirs) {
    if ((IsStoredLine(pair.description) || IsStoredLine(pair.password)) &&
        std::find(baseRecords.begin(), baseRecords.end(), pair) == baseRecords.end() &&
        std::find(ours.begin(), ours.end(), pair) == ours.end()) {
      RecordPairsWipe(theirs);
      RecordPairsWipe(ours);
      return DiskMerge::Unreadable;
    }
  }
  TRecordMerge merge = RecordMerge(baseRecords, ours, theirs);
  HoldPairs(merge.records);
  lastMergeStatus = RecordMergeStatus(merge, kRecordFileName);
  RecordPairsWipe(merge.records);
  RecordPairsWipe(theirs);
  RecordPairsWipe(ours);
  return DiskMerge::Merged;
}

// Under the key file in use, a field that did not decrypt keeps its stored
// line; under another key that line would be meaningless.
String StoredLine(const std::vector<String>& fields, const std::vector<std::optional<String>>& kept, size_t index,
                  const TRecordKey& key, RecordField which, bool keyInUse) {
  if (IsRecordCipherSentinel(fields[index])) {
    // A field that could not be decrypted has no plaintext: only its stored
    // line, which means something under the key in use alone.
    const bool keep = keyInUse && index < kept.size() && kept[index];
    return keep ? *kept[index] : String(kCipherFailed);
  }
  String trimmed = TrimText(fields[index]);
  String line = key.Encrypt(trimmed, index, which);
  SecureWipe(trimmed);
  return line;
}

}  // namespace

String TrimText(const String& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return text.substr(begin, end - begin);
}

bool LoadRecords(bool recordsEncrypted) {
  // Taken before reading: a file replaced meanwhile only shows as changed at
  // the next save, which then merges it.
  const TFileStamp stamp = RecordFileStamp();
  std::optional<TRecordKey> key;
  // Read once for the whole file, and only for an encrypted one.
  if (recordsEncrypted) key.emplace(kKeyFileName);
  std::vector<TRecordPair> pairs;
  const bool read = ReadPairs(key ? &*key : nullptr, pairs);
  HoldPairs(pairs);
  RecordPairsWipe(baseRecords);
  baseRecords = std::move(pairs);
  baseStamp = stamp;
  if (!read || recordsEncrypted) return true;
  return CommitNewPair(recordCount) == PairResult::Done;
}

void RecordFileWritten(int32_t count) {
  RecordPairsWipe(baseRecords);
  baseRecords = HeldPairs(count);
  // FIXME: a replacement in the instant between the rename and this stat
  // would be taken for our own file.
  baseStamp = RecordFileStamp();
}

bool EncryptRecordLines(int32_t count, const String& keyFile, std::vector<String>& lines) {
  size_t n = std::min({static_cast<size_t>(std::max(count, 0)), descriptions.size(), passwords.size()});
  lines.clear();
  lines.reserve(2 * n);
  const TRecordKey key(keyFile);
  const bool keyInUse = keyFile == kKeyFileName;
  for (size_t i = 0; i < n; ++i) {
    lines.push_back(StoredLine(descriptions, keptDescriptionLines, i, key, RecordField::Description, keyInUse));
    lines.push_back(StoredLine(passwords, keptPasswordLines, i, key, RecordField::Password, keyInUse));
    if (IsRecordCipherSentinel(lines[lines.size() - 2]) || IsRecordCipherSentinel(lines.back())) return false;
  }
  return true;
}

PairResult CommitNewPair(int32_t count, const String* passphrase) {
  const PairResult result =
      CommitPairFiles(count, passphrase, [](const String& pendingKey, const String& pendingRecords, int32_t n) {
        std::vector<String> lines;
        const bool written = EncryptRecordLines(n, pendingKey, lines) && WriteRecordLines(pendingRecords, lines);
        for (String& line : lines) SecureWipe(line);
        return written;
      });
  SealedKeyKeepOnly(TKeyFileLines(kKeyFileName).key);
  if (result == PairResult::Done) RecordFileWritten(count);
  return result;
}

bool WriteRecordLines(const String& path, const std::vector<String>& lines) {
  TAtomicFile file(path);
  if (!file.Open()) return false;
  for (const String& line : lines) file.WriteLine(line);
  return file.Commit();
}

int32_t MergeChangesMadeElsewhere(int32_t count) {
  lastMergeStatus.clear();
  lastSaveMerged = false;
  const TFileStamp now = RecordFileStamp();
  if (!now.exists || now == baseStamp) return count;
  if (MergeDiskVersion(count) == DiskMerge::Unreadable) {
    lastMergeStatus =
        S("quorvel.dat was changed elsewhere and cannot be read with quorvel.key (was the key file changed?): "
          "nothing was written; the records here are kept as they are.");
    RecordViewReport(lastMergeStatus);
    return -1;
  }
  lastSaveMerged = true;
  RecordViewChanged();
  return recordCount;
}

int32_t SaveRecords(int32_t count) {
  count = MergeChangesMadeElsewhere(count);
  if (count < 0) return 0;
  // Encrypt everything first: a sentinel must never replace a stored record,
  // and a failure must leave the file untouched.
  std::vector<String> lines;
  if (!EncryptRecordLines(count, kKeyFileName, lines) || !WriteRecordLines(kRecordFileName, lines)) {
    ReportSaveFailure();
    return 0;
  }
  RecordFileWritten(count);
  if (!lastMergeStatus.empty()) RecordViewReport(lastMergeStatus);
  return 1;
}

int32_t DeleteRecord(int32_t index, int32_t count) {
  if (count <= 0 || index < 0 || index >= count) return 0;
  size_t n = static_cast<size_t>(count);
  if (descriptions.size() < n || passwords.size() < n) return 0;
  SecureWipe(passwords[index]);
  descriptions.erase(descriptions.begin() + index);
  passwords.erase(passwords.begin() + index);
  descriptions.resize(n - 1);
  passwords.resize(n - 1);
  for (auto* kept : {&keptDescriptionLines, &keptPasswordLines}) {
    if (static_cast<size_t>(index) < kept->size()) kept->erase(kept->begin() + index);
  }
  RecordViewChanged();
  return 1;
}

int32_t ChangeRecord(int32_t index, const String& description, const String& password) {
  if (index >= recordCount || !RecordReadable(index)) return 0;
  const size_t at = static_cast<size_t>(index);
  descriptions[at] = TrimText(description);
  // Overwritten in place first: assigning may reuse or free the old buffer.
  SecureWipe(passwords[at]);
  passwords[at] = password;
  RecordViewChanged();
  return 1;
}

std::vector<int32_t> UnreadableRecords() {
  std::vector<int32_t> unreadable;
  const size_t n = std::min({static_cast<size_t>(std::max(recordCount, 0)), descriptions.size(), passwords.size()});
  for (size_t i = 0; i < n; ++i) {
    if (IsRecordCipherSentinel(descriptions[i]) || IsRecordCipherSentinel(passwords[i]))
      unreadable.push_back(static_cast<int32_t>(i));
  }
  return unreadable;
}

String UnreadableRecordsMessage() {
  const std::vector<int32_t> unreadable = UnreadableRecords();
  if (unreadable.empty()) return String();
  String numbers;
  for (size_t i = 0; i < unreadable.size() && i < 10; ++i) {
    if (i > 0) numbers += S(", ");
    numbers += IntToString(unreadable[i] + 1);
  }
  if (unreadable.size() > 10)
    numbers += S(" and ") + IntToString(static_cast<int64_t>(unreadable.size() - 10)) + S(" more");
  const bool one = unreadable.size() == 1;
  return S(one ? "Record " : "Records ") + numbers +
         S(one ? " could not be read (changed or damaged); it is kept as it is in quorvel.dat, nothing was changed."
               : " could not be read (changed or damaged); they are kept as they are in quorvel.dat, nothing was "
                 "changed.");
}

String RecordLabel(int32_t index) {
  const size_t at = static_cast<size_t>(index);
  if (at >= descriptions.size() || at >= passwords.size()) return String();
  if (IsRecordCipherSentinel(descriptions[at]) || IsRecordCipherSentinel(passwords[at]))
    return S("Record ") + IntToString(index + 1) + S(": not readable");
  return descriptions[at];
}

bool RecordReadable(int32_t index) {
  const size_t at = static_cast<size_t>(index);
  return index >= 0 && at < descriptions.size() && at < passwords.size() && !IsRecordCipherSentinel(descriptions[at]) &&
         !IsRecordCipherSentinel(passwords[at]);
}
