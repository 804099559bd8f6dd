#include "app/RecordTransfer.h"

#include <stdio.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "app/ConsolePair.h"
#include "app/CsvExport.h"
#include "app/CsvImport.h"
#include "app/RecordFile.h"
#include "runtime/Wipe.h"

namespace {
String Quoted(const String& path) { return S("\"") + path + S("\""); }

// "Records 3 and 5 could not be read and were left out." for the records
// that could not be read; empty when there are none.
String LeftOut(const std::vector<int32_t>& unreadable) {
  if (unreadable.empty()) return String();
  String numbers;
  for (size_t i = 0; i < unreadable.size(); ++i) {
    if (i > 0) numbers += i + 1 == unreadable.size() ? S(" and ") : S(", ");
    numbers += IntToString(unreadable[i] + 1);
  }
  return S(unreadable.size() == 1 ? " Record " : " Records ") + numbers + S(" could not be read and ") +
         S(unreadable.size() == 1 ? "was" : "were") + S(" left out.");
}

int Report(const TTransfer& result) {
  fprintf(result.ok ? stdout : stderr, "%s%s\n", result.ok ? "" : "quorvel: ", NarrowString(result.message).c_str());
  return result.ok ? 0 : 1;
}

// A relative FILE names a file from where the command was started; opening
// the pair moves to the program's folder, so it is made absolute first.
String FromStartingFolder(const char* path) {
  if (path[0] == '/') return WidenString(path);
  char folder[4096];
  if (!getcwd(folder, sizeof folder)) return WidenString(path);
  return WidenString(std::string(folder) + "/" + path);
}

// The passphrase ConsolePairOpen read, wiped whichever way the command ends.
struct TConsolePassphrase {
  std::optional<String> text;
  ~TConsolePassphrase() {
    if (text) SecureWipe(*text);
  }
};
}  // namespace

TTransfer ImportRecords(const String& path) {
  const size_t count = static_cast<size_t>(recordCount);
  TCsvImport found = CsvImportFile(path, descriptions, passwords);
  if (!found.Ok()) return {false, Quoted(path) + S(": ") + found.error + S(" Nothing was imported.")};
  // Reserved once, so that no reallocation leaves a short password behind.
  descriptions.reserve(count + found.descriptions.size());
  passwords.reserve(count + found.passwords.size());
  for (size_t i = 0; i < found.descriptions.size(); ++i) {
    descriptions.push_back(found.descriptions[i]);
    passwords.push_back(found.passwords[i]);
  }
  recordCount = static_cast<int32_t>(descriptions.size());
  const String summary = CsvImportSummary(found);
  const bool added = !found.descriptions.empty();
  CsvImportWipe(found);
  if (!added) return {true, summary};
  RefillRecordCombo();
  if (!SaveRecords(recordCount)) {
    // Nothing was written; the records are put back as they were, unless a
    // merge already rebuilt them (then the next save writes them all).
    if (!lastSaveMerged) {
      for (size_t i = count; i < passwords.size(); ++i) SecureWipe(passwords[i]);
      descriptions.resize(count);
      passwords.resize(count);
      recordCount = static_cast<int32_t>(count);
      RefillRecordCombo();
    }
    if (lastSaveMerged)
      return {false, summary + S(" But quorvel.dat could not be written: the records are held here and saved with "
                                 "the next change.")};
    const String why = lastMergeStatus.empty() ? S("quorvel.dat could not be written.") : lastMergeStatus;
    return {false, S("Nothing was imported: ") + why};
  }
  return {true, lastMergeStatus.empty() ? summary : summary + S(" ") + lastMergeStatus};
}

TTransfer ExportRecords(const String& path) {
  const std::vector<int32_t> unreadable = UnreadableRecords();
  const size_t n = static_cast<size_t>(recordCount);
  std::vector<String> readableDescriptions, readablePasswords;
  readableDescriptions.reserve(n);
  readablePasswords.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    if (!RecordReadable(static_cast<int32_t>(i))) continue;
    readableDescriptions.push_back(descriptions[i]);
    readablePasswords.push_back(passwords[i]);
  }
  const TCsvExportResult written = CsvExportRecords(path, readableDescriptions, readablePasswords);
  for (String& password : readablePasswords) SecureWipe(password);
  switch (written) {
    case TCsvExportResult::Exists:
      return {false, Quoted(path) + S(" exists already; it was not replaced. Nothing was exported.")};
    case TCsvExportResult::Failed:
      return {false, Quoted(path) + S(" could not be written. Nothing was exported.")};
    case TCsvExportResult::Written:
      break;
  }
  return {true, S("Exported ") + IntToString(static_cast<int64_t>(readablePasswords.size())) + S(" records to ") +
                    Quoted(path) + S(". The file is not encrypted: anyone who can read it reads every password.") +
                    LeftOut(unreadable)};
}

int QuorvelImport(const char* path) {
  const String file = FromStartingFolder(path);
  TConsolePassphrase passphrase;
  if (const int status = ConsolePairOpen(false, passphrase.text)) return status;
  return Report(ImportRecords(file));
}

int QuorvelExport(const char* path) {
  const String file = FromStartingFolder(path);
  TConsolePassphrase passphrase;
  if (const int status = ConsolePairOpen(false, passphrase.text)) return status;
  return Report(ExportRecords(file));
}

int NoFile(const char* option) {
  fprintf(stderr, "quorvel: %s needs the name of a CSV file: quorvel %s FILE\n", option, option);
  return 2;
}
