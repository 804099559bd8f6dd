#include "app/transfer/CsvImport.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "runtime/Wipe.h"

namespace {

// Column names as each source writes them in its first row, compared without
// case. A null name means the source has no such column.
struct TLayout {
  const char* title;
  const char* user;
  const char* password;
  const char* url;
};
constexpr TLayout kLayouts[] = {
    {"title", "username", "password", "url"},                   // KeePassXC
    {"name", "login_username", "login_password", "login_uri"},  // Bitwarden
    {"name", "username", "password", "url"},                    // Chrome
    {nullptr, "username", "password", "url"},                   // Firefox
    {"title", nullptr, "password", nullptr},                    // Quorvel's own export
};

const char16_t* const kUnknownHeader =
    u"The file is not a CSV export Quorvel knows: its first line must name the columns Title, Username, "
    u"Password and URL (KeePassXC), name, login_username, login_password and login_uri (Bitwarden), name, url, "
    u"username and password (Chrome), url, username and password (Firefox) or Title and Password (Quorvel).";

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

size_t ColumnOf(const std::vector<String>& header, const char* name) {
  if (name == nullptr) return kNoColumn;
  for (size_t i = 0; i < header.size(); ++i)
    if (LowerAscii(Trimmed(header[i])) == S(name)) return i;
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

String Description(const String& title, const String& user, const String& url) {
  String name = OneLine(title);
  if (name.empty()) name = UrlHost(url);
  String who = OneLine(user);
  if (who.empty()) return name;
  if (name.empty()) return who;
  return name + u" (" + who + u")";
}

const String& Field(const std::vector<String>& row, size_t column) {
  static const String kEmpty;
  return column == kNoColumn ? kEmpty : row[column];
}

}  // namespace

TCsvImport CsvImportRows(const TCsvRows& table, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords) {
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
  size_t title = kNoColumn, user = kNoColumn, password = kNoColumn, url = kNoColumn;
  bool known = false;
  for (const TLayout& layout : kLayouts) {
    title = ColumnOf(header, layout.title);
    user = ColumnOf(header, layout.user);
    password = ColumnOf(header, layout.password);
    url = ColumnOf(header, layout.url);
    known = (layout.title == nullptr || title != kNoColumn) && (layout.user == nullptr || user != kNoColumn) &&
            password != kNoColumn && (layout.url == nullptr || url != kNoColumn);
    if (known) break;
  }
  if (!known) {
    result.error = kUnknownHeader;
    return result;
  }

  // Records by description, to find one already there. Only descriptions are
  // copied; passwords are compared where they stand. Indices below
  // existingCount are existing records, the others imported ones.
  const size_t existingCount = std::min(existingDescriptions.size(), existingPasswords.size());
  std::unordered_multimap<String, size_t> byDescription;
  for (size_t i = 0; i < existingCount; ++i) byDescription.emplace(existingDescriptions[i], i);
  auto passwordOf = [&](size_t index) -> std::u16string_view {
    return index < existingCount ? Trimmed(existingPasswords[index]) : result.passwords[index - existingCount];
  };

  // Reserved once: a password short enough to live inside its string object
  // would be copied, and the copy left unwiped, if the list reallocated.
  result.descriptions.reserve(table.rows.size());
  result.passwords.reserve(table.rows.size());
  for (size_t r = 1; r < table.rows.size(); ++r) {
    const auto& row = table.rows[r];
    if (row.size() != header.size()) {
      CsvImportWipe(result);
      result.withoutPassword = result.alreadyThere = 0;
      result.error = S("Line ") + IntToString(table.rowLines[r]) + S(" has ") + IntToString(row.size()) +
                     S(" fields, but the first line has ") + IntToString(header.size()) + S(".");
      return result;
    }
    const std::u16string_view secret = Trimmed(row[password]);
    if (secret.empty()) {
      ++result.withoutPassword;
      continue;
    }
    String description = Description(Field(row, title), Field(row, user), Field(row, url));
    bool there = false;
    auto [from, to] = byDescription.equal_range(description);
    for (auto it = from; it != to && !there; ++it) there = passwordOf(it->second) == secret;
    if (there) {
      ++result.alreadyThere;
      continue;
    }
    byDescription.emplace(description, existingCount + result.passwords.size());
    result.passwords.emplace_back(secret);
    result.descriptions.push_back(std::move(description));
  }
  return result;
}

TCsvImport CsvImportFile(const String& path, const std::vector<String>& existingDescriptions,
                         const std::vector<String>& existingPasswords) {
  TCsvRows table = CsvReadFile(path);
  TCsvImport result = CsvImportRows(table, existingDescriptions, existingPasswords);
  CsvWipe(table);
  return result;
}

String CsvImportSummary(const TCsvImport& result) {
  return S("Imported ") + IntToString(result.descriptions.size()) + S(" records; skipped ") +
         IntToString(result.withoutPassword + result.alreadyThere) + S(" (") + IntToString(result.withoutPassword) +
         S(" without a password, ") + IntToString(result.alreadyThere) + S(" already there).");
}

void CsvImportWipe(TCsvImport& result) {
  for (auto& password : result.passwords) SecureWipe(password);
  for (auto& description : result.descriptions) SecureWipe(description);
  result.passwords.clear();
  result.descriptions.clear();
}
