#include "app/transfer/CsvExport.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "runtime/AtomicFile.h"
#include "runtime/Csv.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

namespace {
const char* const kHeader[] = {"Group", "Title", "Username", "Password",      "URL",
                               "Notes", "TOTP",  "Icon",     "Last Modified", "Created"};

size_t QuotedSize(const String& field) {
  size_t size = field.size() + 2;
  for (char16_t c : field) size += c == u'"';
  return size;
}

void AppendQuoted(String& out, const String& field) {
  out.push_back(u'"');
  for (char16_t c : field) {
    if (c == u'"') out.push_back(u'"');
    out.push_back(c);
  }
  out.push_back(u'"');
}

// The row's fields in the header's order: Group and Icon stand between them.
void ForEachField(const TExportRecord& record, const std::function<void(const String&)>& take) {
  static const String root = S("Root"), icon = S("0");
  take(root);
  for (int i = 0; i < 6; ++i) take(record.fields[i]);
  take(icon);
  take(record.fields[6]);
  take(record.fields[7]);
}
}  // namespace

TExportRecord::~TExportRecord() {
  for (String& field : fields) SecureWipe(field);
}

TCsvExportResult CsvExportRecords(const String& path, const std::vector<TExportRecord>& records) {
  const std::string name = NarrowString(path);
  // O_EXCL also refuses a symbolic link, dangling or not.
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST ? TCsvExportResult::Exists : TCsvExportResult::Failed;
  // A umask may have taken more than group and other bits away; the owner
  // must still be able to read the export back.
  ::fchmod(fd, 0600);
  auto stream = New<TStream>(fd, true);

  size_t size = 0;
  for (const char* column : kHeader) size += QuotedSize(S(column)) + 1;
  for (const TExportRecord& record : records)
    ForEachField(record, [&size](const String& field) { size += QuotedSize(field) + 1; });
  size += records.size() + 1;
  // Sized once, so that no outgrown copy of a password is left unwiped.
  String text;
  text.reserve(size);
  for (const char* column : kHeader) {
    if (!text.empty()) text.push_back(u',');
    AppendQuoted(text, S(column));
  }
  text += u"\r\n";
  for (const TExportRecord& record : records) {
    bool first = true;
    ForEachField(record, [&](const String& field) {
      if (!first) text.push_back(u',');
      first = false;
      AppendQuoted(text, field);
    });
    text += u"\r\n";
  }
  ByteArray bytes = StringToBytes(text);
  SecureWipe(text);
  bool ok = stream->WriteBytes(bytes.data(), bytes.size());
  SecureWipe(bytes);
  ok = stream->Sync() && ok;
  ok = stream->Close() && ok;
  if (!ok) {
    ::unlink(name.c_str());
    return TCsvExportResult::Failed;
  }
  SyncDirectoryOf(name);
  return TCsvExportResult::Written;
}
