#include "app/transfer/CsvExport.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "runtime/AtomicFile.h"
#include "runtime/Csv.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

TCsvExportResult CsvExportRecords(const String& path, const std::vector<String>& descriptions,
                                  const std::vector<String>& passwords) {
  const std::string name = NarrowString(path);
  // O_EXCL also refuses a symbolic link, dangling or not.
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST ? TCsvExportResult::Exists : TCsvExportResult::Failed;
  // A umask may have taken more than group and other bits away; the owner
  // must still be able to read the export back.
  ::fchmod(fd, 0600);
  auto stream = New<TStream>(fd, true);

  const size_t count = std::min(descriptions.size(), passwords.size());
  const std::vector<String> header = {S("Title"), S("Password")};
  size_t size = CsvRowSize(header);
  for (size_t i = 0; i < count; ++i) size += CsvFieldSize(descriptions[i]) + 1 + CsvFieldSize(passwords[i]) + 2;
  // Sized once, so that no outgrown copy of a password is left unwiped.
  String text;
  text.reserve(size);
  CsvAppendRow(text, header);
  for (size_t i = 0; i < count; ++i) {
    CsvAppendField(text, descriptions[i]);
    text.push_back(u',');
    CsvAppendField(text, passwords[i]);
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
