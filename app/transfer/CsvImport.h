#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Csv.h"
#include "runtime/String.h"

// Turns the CSV export of another password keeper into records. The layout is
// recognised by the names in the first row (any order, any case, other
// columns ignored):
//   KeePassXC  Title, Username, Password, URL
//   Bitwarden  name, login_username, login_password, login_uri
//   Chrome     name, url, username, password
//   Firefox    url, username, password
//   Quorvel    Title, Password (what CsvExportRecords writes)
// A record's description is the title (or name), else the host of the URL,
// followed by the user name in parentheses when there is one:
// "Title (user)". Line breaks (CR LF, LF, CR) in these become spaces, and the
// description is trimmed as the record file holds descriptions (every
// character of code 32 or less off both ends). The password is trimmed the
// same way, as the record file does when it saves. A row whose password is
// then empty is skipped, and so is a row with the same description and
// password as an existing record or an earlier row of the file.
struct TCsvImport {
  // Empty when the file was understood. Otherwise why not, naming the line
  // where it applies; then there are no records and nothing is to be imported.
  String error;
  std::vector<String> descriptions;  // the new records, in file order
  std::vector<String> passwords;
  int32_t withoutPassword = 0;
  int32_t alreadyThere = 0;

  bool Ok() const { return error.empty(); }
};

// existingDescriptions and existingPasswords are the records held now, as
// parallel lists.
TCsvImport CsvImportRows(const TCsvRows& table, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords);
// Reads and parses the file, maps it as CsvImportRows does and wipes what it read.
TCsvImport CsvImportFile(const String& path, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords);
// "Imported N records; skipped M (K without a password, J already there)."
String CsvImportSummary(const TCsvImport& result);
// Overwrites the records' passwords and descriptions, then empties the lists.
void CsvImportWipe(TCsvImport& result);
