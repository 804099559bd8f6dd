#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Csv.h"
#include "runtime/String.h"

// Turns the CSV export of another password keeper into records. The layout is
// recognised by the names in the first row, in any order and case (other
// columns ignored): a password column and a title or web-address column,
// named as any of these keepers name them:
//   title        Title, name, Account
//   user name    Username, login_username, Login Name, login (else email)
//   password     Password, login_password
//   web address  URL, login_uri, Web Site, hostname
//   notes        Notes, note, Comments, extra
//   one-time     TOTP, OTPAuth, login_totp
//   times        Created, Last Modified
// which covers KeePassXC, KeePass 2, Bitwarden, 1Password, LastPass, Proton
// Pass, Safari and Apple Passwords, Dashlane, NordPass, Chrome and Edge,
// Firefox and Quorvel's own exports. A record's description is the title,
// else the host of the web address. Line breaks (CR LF, LF, CR) become spaces
// in every field but the notes, and every field is trimmed as the record file
// holds descriptions (every character of code 32 or less off both ends). A
// row with neither a password nor notes is skipped, and so is one with the
// same description, user name and password as an existing record or an
// earlier row. A row shorter than the first is read with its missing fields
// empty; a longer one is refused unless its extra fields are empty.
struct TImportedFields {
  String user, url, notes, oneTime;
  String created, changed;  // as the file gives them (Created, Last Modified), when it does
};
struct TCsvImport {
  // Empty when the file was understood. Otherwise why not, naming the line
  // where it applies; then there are no records and nothing is to be imported.
  String error;
  std::vector<String> descriptions;  // the new records, in file order
  std::vector<String> passwords;
  std::vector<TImportedFields> fields;
  int32_t empty = 0;  // rows with neither a password nor notes
  int32_t alreadyThere = 0;

  bool Ok() const { return error.empty(); }
};

// existingDescriptions, existingPasswords and existingUsers are the records
// held now, as parallel lists (existingUsers may be shorter: no user name).
TCsvImport CsvImportRows(const TCsvRows& table, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords, const std::vector<String>& existingUsers = {});
// Reads and parses the file, maps it as CsvImportRows does and wipes what it read.
TCsvImport CsvImportFile(const String& path, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords, const std::vector<String>& existingUsers = {});
// "Imported N records; skipped M (K empty, J already there)."
String CsvImportSummary(const TCsvImport& result);
// Overwrites every field of the records, then empties the lists.
void CsvImportWipe(TCsvImport& result);
