#include "app/records/PairCommit.h"

#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/records/KeyFile.h"
#include "app/records/SealedKey.h"
#include "app/records/TestSeams.h"
#include "runtime/AtomicFile.h"
#include "runtime/Wipe.h"

namespace {
TPairStepHook stepHook = nullptr;

void Step(int number) {
  if (stepHook) stepHook(number);
}

struct TPairPaths {
  std::string key, records, pendingKey, pendingRecords;
};

TPairPaths Paths() {
  TPairPaths paths;
  paths.key = ResolveLinks(NarrowString(kKeyFileName));
  paths.records = ResolveLinks(NarrowString(kRecordFileName));
  paths.pendingKey = paths.key + ".pending";
  paths.pendingRecords = paths.records + ".pending";
  return paths;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

void RemovePending(const TPairPaths& paths) {
  ::unlink(paths.pendingKey.c_str());
  ::unlink(paths.pendingRecords.c_str());
  SyncDirectoryOf(paths.pendingKey);
  SyncDirectoryOf(paths.pendingRecords);
}

bool RenameDurably(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  SyncDirectoryOf(to);
  return true;
}

// "quorvel.dat" or "quorvel.key", optionally ".pending", or the settings
// file "quorvel.conf", then ".tmp" and the six characters mkostemp fills in.
bool IsLeftoverName(const char* name) {
  for (const char* base : {"quorvel.dat", "quorvel.key", "quorvel.conf"}) {
    const size_t length = std::strlen(base);
    if (std::strncmp(name, base, length) != 0) continue;
    const char* rest = name + length;
    if (std::strncmp(rest, ".pending", 8) == 0) rest += 8;
    if (std::strncmp(rest, ".tmp", 4) != 0) return false;
    rest += 4;
    if (std::strlen(rest) != 6) return false;
    for (const char* c = rest; *c; ++c) {
      if (!((*c >= '0' && *c <= '9') || (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z'))) return false;
    }
    return true;
  }
  return false;
}

}  // namespace

PairResult CommitPairFiles(const std::string& keyFileBytes, const TPairRecordsWriter& write) {
  const TPairPaths paths = Paths();
  if (!WriteKeyFile(WidenString(paths.pendingKey), keyFileBytes, false)) {
    RemovePending(paths);
    return PairResult::WriteFailed;
  }
  Step(1);
  if (!write(WidenString(paths.pendingRecords))) {
    RemovePending(paths);
    return PairResult::WriteFailed;
  }
  Step(2);
  if (!RenameDurably(paths.pendingKey, paths.key)) {
    RemovePending(paths);
    return PairResult::WriteFailed;
  }
  Step(3);
  // The key is committed: should this rename fail, the next start finishes it.
  if (!RenameDurably(paths.pendingRecords, paths.records)) return PairResult::WriteFailed;
  Step(4);
  return PairResult::Done;
}

void PairCommitStepHook(TPairStepHook hook) { stepHook = hook; }

void RecoverPairCommit() {
  const TPairPaths paths = Paths();
  if (Exists(paths.pendingKey))
    RemovePending(paths);
  else if (Exists(paths.pendingRecords))
    RenameDurably(paths.pendingRecords, paths.records);
}

void RemoveLeftovers() {
  DIR* folder = ::opendir(".");
  if (!folder) return;
  const uid_t me = ::geteuid();
  while (dirent* entry = ::readdir(folder)) {
    if (!IsLeftoverName(entry->d_name)) continue;
    struct stat st;
    if (::lstat(entry->d_name, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != me) continue;
    ::unlink(entry->d_name);
  }
  ::closedir(folder);
}
