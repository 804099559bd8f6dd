#include "app/RecordFile.h"

#include <algorithm>
#include <optional>

#include "app/AppGadgets.h"
#include "app/KeyFile.h"
#include "app/PairCommit.h"
#include "app/RecordCipher.h"
#include "app/RecordKey.h"
#include "gui/core/FrontEnd.h"
#include "runtime/AtomicFile.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

int32_t recordCount = 0;
std::vector<String> descriptions;
std::vector<String> passwords;

const char16_t* const kSaveFailedMessage = u"Error while trying to save the password record.";

namespace {

// The stored line of each field whose decryption answered a sentinel at load
// time, by record index; records added later have no entry.
std::vector<std::optional<String>> keptDescriptionLines;
std::vector<std::optional<String>> keptPasswordLines;

void ReportSaveFailure() {
  if (mainWindow) WindowSetStatusText(mainWindow, kSaveFailedMessage);
}

// Decrypts one stored line; a sentinel result keeps the line for saving.
String LoadField(const TRecordKey& key, const String& line, size_t record, RecordField which,
                 std::vector<std::optional<String>>& kept) {
  String field = key.Decrypt(line, record, which);
  if (IsRecordCipherSentinel(field))
    kept.emplace_back(line);
  else
    kept.emplace_back(std::nullopt);
  return field;
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
  for (String& password : passwords) SecureWipe(password);
  recordCount = 0;
  descriptions.clear();
  passwords.clear();
  keptDescriptionLines.clear();
  keptPasswordLines.clear();

  Ref<TStream> stream = OpenForReading(kRecordFileName);
  if (!stream) return true;
  // Read once for the whole file, and only for an encrypted one.
  std::optional<TRecordKey> key;
  if (recordsEncrypted) key.emplace(kKeyFileName);
  while (!stream->Eof()) {
    String descriptionLine = stream->ReadLine();
    String passwordLine = stream->ReadLine();
    String description = TrimText(descriptionLine);
    String password = TrimText(passwordLine);
    const size_t index = static_cast<size_t>(recordCount++);
    if (recordsEncrypted) {
      descriptions.push_back(LoadField(*key, description, index, RecordField::Description, keptDescriptionLines));
      passwords.push_back(LoadField(*key, password, index, RecordField::Password, keptPasswordLines));
      SecureWipe(password);
    } else {
      descriptions.push_back(std::move(description));
      passwords.push_back(std::move(password));
    }
    SecureWipe(descriptionLine);
    SecureWipe(passwordLine);
  }
  stream->Close();
  if (recordsEncrypted) return true;
  return CommitNewPair(recordCount) == PairResult::Done;
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

bool WriteRecordLines(const String& path, const std::vector<String>& lines) {
  TAtomicFile file(path);
  if (!file.Open()) return false;
  for (const String& line : lines) file.WriteLine(line);
  return file.Commit();
}

int32_t SaveRecords(int32_t count) {
  // Encrypt everything first: a sentinel must never replace a stored record,
  // and a failure must leave the file untouched.
  std::vector<String> lines;
  if (!EncryptRecordLines(count, kKeyFileName, lines) || !WriteRecordLines(kRecordFileName, lines)) {
    ReportSaveFailure();
    return 0;
  }
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
  if (!recordCombo) return 1;
  GadgetClearItems(recordCombo);
  for (size_t i = 0; i + 1 < n; ++i)
    GadgetAddItem(recordCombo, RecordLabel(static_cast<int32_t>(i)), 0, -1, String(), nullptr);
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
