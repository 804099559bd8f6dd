#include "app/RecordFile.h"

#include <algorithm>
#include <optional>

#include "app/AppGadgets.h"
#include "app/KeyFile.h"
#include "app/PairCommit.h"
#include "app/RecordCipher.h"
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
String LoadField(const String& line, std::vector<std::optional<String>>& kept) {
  String field = DecryptRecordText(line);
  if (IsRecordCipherSentinel(field))
    kept.emplace_back(line);
  else
    kept.emplace_back(std::nullopt);
  return field;
}

// Under the key file in use, a field that did not decrypt keeps its stored
// line; under another key that line would be meaningless.
String StoredLine(const std::vector<String>& fields, const std::vector<std::optional<String>>& kept, size_t index,
                  const String& keyFile) {
  const bool keep = keyFile == kKeyFileName && index < kept.size() && kept[index];
  if (keep && IsRecordCipherSentinel(fields[index])) return *kept[index];
  String trimmed = TrimText(fields[index]);
  String line = EncryptRecordText(trimmed, keyFile);
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
  while (!stream->Eof()) {
    String descriptionLine = stream->ReadLine();
    String passwordLine = stream->ReadLine();
    String description = TrimText(descriptionLine);
    String password = TrimText(passwordLine);
    ++recordCount;
    if (recordsEncrypted) {
      descriptions.push_back(LoadField(description, keptDescriptionLines));
      passwords.push_back(LoadField(password, keptPasswordLines));
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
  for (size_t i = 0; i < n; ++i) {
    lines.push_back(StoredLine(descriptions, keptDescriptionLines, i, keyFile));
    lines.push_back(StoredLine(passwords, keptPasswordLines, i, keyFile));
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
  for (size_t i = 0; i + 1 < n; ++i) GadgetAddItem(recordCombo, descriptions[i], 0, -1, String(), nullptr);
  return 1;
}
