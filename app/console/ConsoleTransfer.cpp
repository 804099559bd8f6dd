#include "app/console/ConsoleTransfer.h"

#include <stdio.h>
#include <unistd.h>

#include "app/console/ConsolePair.h"
#include "app/transfer/RecordTransfer.h"

namespace {
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
}  // namespace

int QuorvelImport(const char* path) {
  const String file = FromStartingFolder(path);
  TConsolePassphrase passphrase;
  if (const int status = ConsolePairOpen(false, passphrase.text, true)) return status;
  if (!ConsoleFileWhole("nothing can be imported into it.")) return 1;
  return Report(ImportRecords(file));
}

int QuorvelExport(const char* path) {
  const String file = FromStartingFolder(path);
  TConsolePassphrase passphrase;
  if (const int status = ConsolePairOpen(false, passphrase.text)) return status;
  return Report(ExportRecords(file));
}
