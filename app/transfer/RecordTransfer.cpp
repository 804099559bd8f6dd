#include "app/transfer/RecordTransfer.h"

#include <optional>
#include <vector>

#include "app/records/RecordFile.h"
#include "app/records/RecordView.h"
#include "app/transfer/CsvExport.h"
#include "app/transfer/CsvImport.h"
#include "runtime/Wipe.h"

namespace {
String Quoted(const String& path) { return S("\"") + path + S("\""); }

String BaseName(const String& path) {
  const size_t slash = path.rfind(u'/');
  return slash == String::npos ? path : path.substr(slash + 1);
}

// A one-time secret as other keepers read it: a bare base32 secret becomes
// an otpauth:// URI (the wiped argument is consumed).
String OneTimeUri(String stored) {
  String uri;
  if (stored.empty() || stored.find(u"://") != String::npos) {
    uri = stored;
  } else {
    uri.reserve(32 + stored.size());
    uri = S("otpauth://totp/Quorvel?secret=");
    for (char16_t c : stored)
      if (c != u' ' && c != u'=') uri.push_back(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c);
  }
  SecureWipe(stored);
  return uri;
}

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

}  // namespace

TTransfer ImportRecords(const String& path) {
  const size_t count = static_cast<size_t>(recordCount);
  std::vector<String> users;
  users.reserve(count);
  for (size_t i = 0; i < count; ++i) users.push_back(RecordFieldValue(static_cast<int32_t>(i), kUserNameField));
  // Opened only to find records already there, and wiped at once.
  std::vector<String> held;
  held.reserve(count);
  for (size_t i = 0; i < count; ++i) held.push_back(passwords[i].Open());
  TCsvImport found = CsvImportFile(path, descriptions, held, users);
  for (std::vector<String>* list : {&users, &held})
    for (String& text : *list) SecureWipe(text);
  if (!found.Ok())
    return {false, Quoted(path) + S(": ") + found.error + S(" Nothing was imported."),
            S("Nothing was imported from ") + BaseName(path) + S(": it is no export Quorvel can read.")};
  // Reserved once, so that no reallocation leaves a short password behind.
  descriptions.reserve(count + found.descriptions.size());
  passwords.reserve(count + found.passwords.size());
  // A pair of an older kind has no room for fields besides the two.
  const bool roomy = RecordsHoldMore();
  bool leftOut = false;
  for (size_t i = 0; i < found.descriptions.size(); ++i) {
    descriptions.push_back(found.descriptions[i]);
    passwords.push_back(found.passwords[i]);
    const TImportedFields& fields = found.fields[i];
    const std::pair<const char16_t*, const String*> named[] = {{kUserNameField, &fields.user},
                                                               {kWebAddressField, &fields.url},
                                                               {kNotesField, &fields.notes},
                                                               {kOneTimeField, &fields.oneTime}};
    const int32_t index = static_cast<int32_t>(descriptions.size() - 1);
    for (const auto& [name, value] : named) {
      if (value->empty()) continue;
      if (roomy)
        RecordSetField(index, name, *value);
      else
        leftOut = true;
    }
    RecordStamp(index, true);
    // Times another keeper exported are kept as they were.
    if (roomy && !fields.created.empty()) RecordSetField(index, kCreatedField, fields.created);
    if (roomy && !fields.changed.empty()) RecordSetField(index, kChangedField, fields.changed);
  }
  recordCount = static_cast<int32_t>(descriptions.size());
  String summary = CsvImportSummary(found);
  if (leftOut)
    summary +=
        S(" User names, web addresses, notes and one-time secrets were left out: a pair of an older kind "
          "cannot hold them (quorvel --rekey moves it to the current kind).");
  const bool added = !found.descriptions.empty();
  CsvImportWipe(found);
  if (!added) return {true, summary, summary};
  RecordViewChanged();
  if (!SaveRecords(recordCount)) {
    // Nothing was written; the records are put back as they were, unless a
    // merge already rebuilt them (then the next save writes them all).
    if (!lastSaveMerged) {
      for (size_t i = count; i < passwords.size(); ++i) passwords[i].Wipe();
      descriptions.resize(count);
      passwords.resize(count);
      recordCount = static_cast<int32_t>(count);
      RecordViewChanged();
    }
    if (lastSaveMerged)
      return {false,
              summary + S(" But quorvel.dat could not be written: the records are held here and saved with "
                          "the next change."),
              S("The import is held here but not saved: quorvel.dat could not be written.")};
    const String why = lastMergeStatus.empty() ? S("quorvel.dat could not be written.") : lastMergeStatus;
    return {false, S("Nothing was imported: ") + why, S("Nothing was imported: quorvel.dat was not written.")};
  }
  return {true, lastMergeStatus.empty() ? summary : summary + S(" ") + lastMergeStatus, summary};
}

TTransfer ExportRecords(const String& path) {
  const std::vector<int32_t> unreadable = UnreadableRecords();
  const size_t n = static_cast<size_t>(recordCount);
  std::vector<TExportRecord> records;
  // Reserved once, so that no reallocation leaves a short field behind.
  records.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const int32_t index = static_cast<int32_t>(i);
    if (!RecordReadable(index)) continue;
    TExportRecord& record = records.emplace_back();
    record.fields[0] = descriptions[i];
    record.fields[1] = RecordFieldValue(index, kUserNameField);
    String password = RecordPassword(index);
    record.fields[2] = TrimText(password);
    SecureWipe(password);
    record.fields[3] = RecordFieldValue(index, kWebAddressField);
    record.fields[4] = RecordFieldValue(index, kNotesField);
    record.fields[5] = OneTimeUri(RecordFieldValue(index, kOneTimeField));
    record.fields[6] = RecordFieldValue(index, kChangedField);
    record.fields[7] = RecordFieldValue(index, kCreatedField);
  }
  const TCsvExportResult written = CsvExportRecords(path, records);
  const size_t exported = records.size();
  records.clear();
  switch (written) {
    case TCsvExportResult::Exists:
      return {false, Quoted(path) + S(" exists already; it was not replaced. Nothing was exported."),
              BaseName(path) + S(" exists already; nothing was exported.")};
    case TCsvExportResult::Failed:
      return {false, Quoted(path) + S(" could not be written. Nothing was exported."),
              BaseName(path) + S(" could not be written; nothing was exported.")};
    case TCsvExportResult::Written:
      break;
  }
  // A damaged file still gives what it can, but the export is not the whole list.
  const bool whole = !RecordFileDamaged();
  return {
      whole,
      S("Exported ") + IntToString(static_cast<int64_t>(exported)) + S(" records to ") + Quoted(path) +
          S(". The file is not encrypted: anyone who can read it reads every password.") + LeftOut(unreadable) +
          (whole ? String() : S(" But quorvel.dat is damaged or cut short: records may be missing from the export.")),
      S("Exported ") + IntToString(static_cast<int64_t>(exported)) + S(" records to ") + BaseName(path) +
          S(whole ? "; it is not encrypted." : "; it is not encrypted, and records may be missing.")};
}
