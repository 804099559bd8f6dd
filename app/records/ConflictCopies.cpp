#include "app/records/ConflictCopies.h"

#include <dirent.h>

#include <algorithm>

namespace {
bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }
bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
}  // namespace

bool IsConflictCopyName(const std::string& name) {
  if (StartsWith(name, "quorvel.sync-conflict-")) return EndsWith(name, ".dat") && name.size() > 26;
  if (!StartsWith(name, "quorvel (") || !EndsWith(name, ").dat")) return false;
  // Between the brackets: "conflicted copy ..." (Nextcloud, ownCloud) or
  // "<who>'s conflicted copy ..." (Dropbox).
  const std::string inside = name.substr(9, name.size() - 9 - 5);
  return StartsWith(inside, "conflicted copy") || inside.find(" conflicted copy") != std::string::npos;
}

std::vector<std::string> ConflictCopyNames() {
  std::vector<std::string> names;
  DIR* folder = ::opendir(".");
  if (!folder) return names;
  while (dirent* entry = ::readdir(folder)) {
    if (IsConflictCopyName(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}
