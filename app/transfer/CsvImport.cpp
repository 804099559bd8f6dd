#include "app/transfer/CsvImport.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "runtime/Wipe.h"

namespace {

// The names each field's column has in the exports of the keepers read,
// compared without case; the first name found wins.
enum TColumn { kTitle, kUser, kEmail, kPassword, kUrl, kNotes, kOneTime, kCreated, kChanged, kColumns };
const std::vector<const char*> kColumnNames[kColumns] = {
    {"title", "name", "account"},
    {"username", "login_username", "login name", "login"},
    {"email"},
    {"password", "login_password"},
    {"url", "login_uri", "web site", "website", "hostname"},
    {"notes", "note", "comments", "extra"},
    {"totp", "otpauth", "login_totp"},
    {"created"},
    {"last modified"},
};

const char16_t* const kUnknownHeader =
    u"The file is not a CSV export Quorvel knows: its first line must name a Password column and a Title, Name, "
    u"Account, URL, Web Site or hostname column, as the exports of KeePassXC, KeePass, Bitwarden, 1Password, "
    u"LastPass, Proton Pass, Apple, Dashlane, NordPass, Chrome, Edge and Firefox do.";

constexpr size_t kNoColumn = static_cast<size_t>(-1);

// The record file's trimming: every character of code 32 or less off both ends.
std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && text.front() <= 32) text.remove_prefix(1);
  while (!text.empty() && text.back() <= 32) text.remove_suffix(1);
  return text;
}

String LowerAscii(std::u16string_view text) {
  String out(text);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

size_t ColumnOf(const std::vector<String>& header, const std::vector<const char*>& names) {
  for (const char* name : names) {
    for (size_t i = 0; i < header.size(); ++i)
      if (LowerAscii(Trimmed(header[i])) == S(name)) return i;
  }
  return kNoColumn;
}

// One line of text: each line break (CR LF, LF or CR) becomes one space.
String OneLine(std::u16string_view text) {
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 13 && i + 1 < text.size() && text[i + 1] == 10) ++i;
    out.push_back(text[i] == 13 || text[i] == 10 ? u' ' : text[i]);
  }
  return String(Trimmed(out));
}

// The host part of a URL: after the scheme and any user information, before
// the port, path, query or fragment. Text without a scheme is taken as
// starting with the host ("example.com/login").
String UrlHost(std::u16string_view url) {
  url = Trimmed(url);
  if (auto scheme = url.find(u"://"); scheme != url.npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of(u"/?#\\, \t\r\n"));
  if (auto at = url.rfind(u'@'); at != url.npos) url.remove_prefix(at + 1);
  if (!url.empty() && url.front() == u'[') {
    url = url.substr(0, url.find(u']') == url.npos ? url.npos : url.find(u']') + 1);
  } else {
    url = url.substr(0, url.find(u':'));
  }
  return String(url);
}

String Description(const String& title, const String& url) {
  String name = OneLine(title);
  return name.empty() ? UrlHost(url) : name;
}

// A row's field; a column past a short row's end reads as empty.
const String& Field(const std::vector<String>& row, size_t column) {
  static const String kEmpty;
  return column >= row.size() ? kEmpty : row[column];
}

bool OnlyEmptyFrom(const std::vector<String>& row, size_t from) {
  for (size_t i = from; i < row.size(); ++i)
    if (!Trimmed(row[i]).empty()) return false;
  return true;
}

}  // namespace

TCsvImport CsvImportRows(const TCsvRows& table, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords, const std::vector<String>& existingUsers) {
  TCsvImport result;
  if (!table.Ok()) {
    result.error = table.error;
    return result;
  }
  if (table.rows.empty()) {
    result.error = kUnknownHeader;
    return result;
  }
  const auto& header = table.rows[0];
  size_t column[kColumns];
  for (int i = 0; i < kColumns; ++i) column[i] = ColumnOf(header, kColumnNames[i]);
  if (column[kPassword] == kNoColumn || (column[kTitle] == kNoColumn && column[kUrl] == kNoColumn)) {
    result.error = kUnknownHeader;
    return result;
  }

  // Records by description, to find one already there. Only descriptions are
  // copied; passwords and user names are compared where they stand. Indices
  // below existingCount are existing records, the others imported ones.
  const size_t existingCount = std::min(existingDescriptions.size(), existingPasswords.size());
  std::unordered_multimap<String, size_t> byDescription;
  for (size_t i = 0; i < existingCount; ++i) byDescription.emplace(existingDescriptions[i], i);
  auto passwordOf = [&](size_t index) -> std::u16string_view {
    return index < existingCount ? Trimmed(existingPasswords[index]) : result.passwords[index - existingCount];
  };
  auto userOf = [&](size_t index) -> std::u16string_view {
    if (index >= existingCount) return result.fields[index - existingCount].user;
    return index < existingUsers.size() ? Trimmed(existingUsers[index]) : std::u16string_view();
  };

  // Reserved once: a field short enough to live inside its string object
  // would be copied, and the copy left unwiped, if a list reallocated.
  result.descriptions.reserve(table.rows.size());
  result.passwords.reserve(table.rows.size());
  result.fields.reserve(table.rows.size());
  for (size_t r = 1; r < table.rows.size(); ++r) {
    const auto& row = table.rows[r];
    if (row.size() > header.size() && !OnlyEmptyFrom(row, header.size())) {
      CsvImportWipe(result);
      result.empty = result.alreadyThere = 0;
      result.error = S("Line ") + IntToString(table.rowLines[r]) + S(" has ") + IntToString(row.size()) +
                     S(" fields, but the first line has ") + IntToString(header.size()) + S(".");
      return result;
    }
    const std::u16string_view secret = Trimmed(Field(row, column[kPassword]));
    const std::u16string_view notes = Trimmed(Field(row, column[kNotes]));
    if (secret.empty() && notes.empty()) {
      ++result.empty;
      continue;
    }
    String description = Description(Field(row, column[kTitle]), Field(row, column[kUrl]));
    String user = OneLine(Field(row, column[kUser]));
    if (user.empty()) user = OneLine(Field(row, column[kEmail]));
    bool there = false;
    auto [from, to] = byDescription.equal_range(description);
    for (auto it = from; it != to && !there; ++it)
      there = passwordOf(it->second) == secret && userOf(it->second) == user;
    if (there) {
      SecureWipe(user);
      ++result.alreadyThere;
      continue;
    }
    byDescription.emplace(description, existingCount + result.passwords.size());
    result.passwords.emplace_back(secret);
    result.descriptions.push_back(std::move(description));
    TImportedFields& fields = result.fields.emplace_back();
    fields.user = std::move(user);
    fields.url = OneLine(Field(row, column[kUrl]));
    fields.notes = String(notes);
    fields.oneTime = OneLine(Field(row, column[kOneTime]));
    fields.created = OneLine(Field(row, column[kCreated]));
    fields.changed = OneLine(Field(row, column[kChanged]));
  }
  return result;
}

TCsvImport CsvImportFile(const String& path, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords, const std::vector<String>& existingUsers) {
  TCsvRows table = CsvReadFile(path);
  TCsvImport result = CsvImportRows(table, existingDescriptions, existingPasswords, existingUsers);
  CsvWipe(table);
  return result;
}

String CsvImportSummary(const TCsvImport& result) {
  return S("Imported ") + IntToString(result.descriptions.size()) + S(" records; skipped ") +
         IntToString(result.empty + result.alreadyThere) + S(" (") + IntToString(result.empty) + S(" empty, ") +
         IntToString(result.alreadyThere) + S(" already there).");
}

void CsvImportWipe(TCsvImport& result) {
  for (auto& password : result.passwords) SecureWipe(password);
  for (auto& description : result.descriptions) SecureWipe(description);
  for (auto& fields : result.fields) {
    for (String* field : {&fields.user, &fields.url, &fields.notes, &fields.oneTime}) SecureWipe(*field);
  }
  result.passwords.clear();
  result.descriptions.clear();
  result.fields.clear();
}
