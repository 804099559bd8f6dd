#include "app/console/ConsoleRecords.h"

#include <stdio.h>
#include <time.h>

#include <optional>
#include <vector>

#include "app/console/ConsolePair.h"
#include "app/records/OneTimeCode.h"
#include "app/records/RecordFile.h"
#include "app/records/RecordFilter.h"
#include "runtime/Wipe.h"

namespace {
// Writes a secret's bytes and wipes the narrowed copy.
void PrintSecret(const String& text) {
  std::string narrow = NarrowString(text);
  fwrite(narrow.data(), 1, narrow.size(), stdout);
  SecureWipe(narrow);
}

String CodeNow(const String& stored) {
  const std::optional<TOneTimeSecret> secret = OneTimeParse(stored);
  return secret ? OneTimeCode(*secret, static_cast<int64_t>(::time(nullptr))) : String();
}

// The one readable record whose description contains text; -1 after saying
// why there is not exactly one.
int32_t TheRecord(const char* text) {
  std::vector<String> labels;
  labels.reserve(static_cast<size_t>(recordCount));
  for (int32_t i = 0; i < recordCount; ++i) labels.push_back(RecordReadable(i) ? descriptions[i] : String());
  std::vector<int32_t> found;
  for (int32_t i : RecordFilter(labels, WidenString(text)))
    if (RecordReadable(i)) found.push_back(i);
  if (found.size() == 1) return found.front();
  fprintf(stderr, "quorvel: %s \"%s\"%s\n",
          found.empty() ? "no record's description contains" : "several records match", text,
          found.empty() ? "." : ":");
  for (int32_t i : found) fprintf(stderr, "%s\n", NarrowString(descriptions[i]).c_str());
  return -1;
}

int Open() {
  TConsolePassphrase passphrase;
  return ConsolePairOpen(false, passphrase.text);
}
}  // namespace

int QuorvelList() {
  if (const int status = Open()) return status;
  for (int32_t i = 0; i < recordCount; ++i) printf("%s\n", NarrowString(RecordLabel(i)).c_str());
  return 0;
}

int QuorvelShow(const char* text) {
  if (const int status = Open()) return status;
  const int32_t record = TheRecord(text);
  if (record < 0) return 1;
  String password = RecordPassword(record);
  PrintSecret(password);
  SecureWipe(password);
  printf("\n");
  const struct {
    const char* caption;
    const char16_t* field;
  } lines[] = {{"User name", kUserNameField}, {"Web address", kWebAddressField}, {"One-time code", kOneTimeField}};
  for (const auto& line : lines) {
    String value = RecordFieldValue(record, line.field);
    if (line.field == kOneTimeField && !value.empty()) {
      String code = CodeNow(value);
      SecureWipe(value);
      value = code.empty() ? S("(the secret cannot be read)") : code;
    }
    if (value.empty()) continue;
    printf("%s: ", line.caption);
    PrintSecret(value);
    printf("\n");
    SecureWipe(value);
  }
  String notes = RecordFieldValue(record, kNotesField);
  if (!notes.empty()) {
    printf("Notes:\n");
    PrintSecret(notes);
    printf("\n");
  }
  SecureWipe(notes);
  fflush(stdout);
  return 0;
}

int QuorvelTotp(const char* text) {
  if (const int status = Open()) return status;
  const int32_t record = TheRecord(text);
  if (record < 0) return 1;
  String stored = RecordFieldValue(record, kOneTimeField);
  String code = stored.empty() ? String() : CodeNow(stored);
  SecureWipe(stored);
  if (code.empty()) {
    fprintf(stderr, "quorvel: \"%s\" has no one-time code%s.\n", NarrowString(descriptions[record]).c_str(),
            RecordFieldValue(record, kOneTimeField).empty() ? "" : " that can be read");
    return 1;
  }
  PrintSecret(code);
  printf("\n");
  fflush(stdout);
  SecureWipe(code);
  return 0;
}
