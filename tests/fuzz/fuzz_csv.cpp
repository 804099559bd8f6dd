// Feeds arbitrary bytes to the CSV reader and the import mapping, and checks
// what they promise: a failed read names a line within the text and returns
// no rows; rows that were read are written back and read again unchanged
// (blank-line rows aside, which the writer never makes); an import either
// fails with nothing imported or yields only records with a password and
// counts that add up.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/transfer/CsvImport.h"
#include "runtime/Csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text = WidenString(std::string_view(reinterpret_cast<const char*>(data), size));
  TCsvRows table = CsvRead(text);
  if (!table.Ok()) {
    if (!table.rows.empty() || table.errorLine < 1) abort();
    int64_t lines = 1;
    for (char16_t c : text) lines += c == 10 || c == 13;
    if (table.errorLine > lines) abort();
  } else {
    if (table.rows.size() != table.rowLines.size()) abort();
    for (size_t i = 1; i < table.rowLines.size(); ++i)
      if (table.rowLines[i] <= table.rowLines[i - 1]) abort();
    TCsvRows again = CsvRead(CsvWrite(table.rows));
    if (!again.Ok() || again.rows != table.rows) abort();
  }

  const std::vector<String> existingDescriptions = {S("a (b)"), S("example.com")};
  const std::vector<String> existingPasswords = {S("c"), S("secret")};
  TCsvImport result = CsvImportRows(table, existingDescriptions, existingPasswords);
  if (result.descriptions.size() != result.passwords.size()) abort();
  if (!result.Ok() && (!result.descriptions.empty() || result.empty || result.alreadyThere)) abort();
  if (result.Ok()) {
    if (result.descriptions.size() + result.empty + result.alreadyThere != table.rows.size() - 1) abort();
    for (const auto& password : result.passwords)
      if (password.empty() || password.front() <= 32 || password.back() <= 32) abort();
  }
  CsvImportWipe(result);
  CsvWipe(table);
  return 0;
}
