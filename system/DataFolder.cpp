#include "system/DataFolder.h"

#include <errno.h>
#include <pwd.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool StartsWithFolder(const std::string& path, const char* prefix) {
  const size_t n = strlen(prefix);
  return path.compare(0, n, prefix) == 0 && (path.size() == n || path[n] == '/');
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// mkdir -p, each missing folder made 0700. The last one, when made here, is
// set to 0700 explicitly, whatever the umask took away.
bool MakeFolders(const std::string& path, int* error) {
  for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
    if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) {
      *error = errno;
      return false;
    }
  }
  if (mkdir(path.c_str(), 0700) == 0) {
    if (chmod(path.c_str(), 0700) == 0) return true;
  } else if (errno == EEXIST) {
    return true;
  }
  *error = errno;
  return false;
}
}  // namespace

TDataFolderInputs DataFolderInputsOfProcess() {
  TDataFolderInputs inputs;
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n > 0) {
    path.resize(static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos) inputs.executableDir = path.substr(0, slash == 0 ? 1 : slash);
  }
  if (const char* xdg = getenv("XDG_DATA_HOME")) inputs.xdgDataHome = xdg;
  if (const char* home = getenv("HOME"); home && home[0]) {
    inputs.home = home;
  } else {
    // Started with a cleared environment (a service, "env -i"): the password
    // database still knows the user's home.
    struct passwd entry;
    struct passwd* found = nullptr;
    std::string buffer(16384, '\0');
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
      inputs.home = found->pw_dir;
  }
  return inputs;
}

bool DataFolderIsSystem(const std::string& dir) {
  return StartsWithFolder(dir, "/usr") || StartsWithFolder(dir, "/opt");
}

TDataFolder DataFolderChoose(const TDataFolderInputs& inputs, const std::string& name,
                             const std::vector<std::string>& files) {
  TDataFolder folder;
  const std::string& dir = inputs.executableDir;
  if (dir.empty()) {
    folder.problem = "the program's own folder could not be found";
    return folder;
  }
  bool beside = !DataFolderIsSystem(dir);
  // A link counts as the file, even a dangling one: its owner put it there.
  struct stat st;
  for (const std::string& file : files) beside = beside || lstat((dir + "/" + file).c_str(), &st) == 0;
  if (beside) {
    folder.path = dir;
    folder.besideExecutable = true;
    return folder;
  }
  // The XDG Base Directory rule: a relative XDG_DATA_HOME is ignored.
  std::string base;
  if (!inputs.xdgDataHome.empty() && inputs.xdgDataHome[0] == '/')
    base = inputs.xdgDataHome;
  else if (!inputs.home.empty() && inputs.home[0] == '/')
    base = WithoutTrailingSlashes(inputs.home) + "/.local/share";
  if (base.empty()) {
    folder.problem = "neither XDG_DATA_HOME nor HOME names a folder to keep the files in";
    return folder;
  }
  folder.path = WithoutTrailingSlashes(base) + "/" + name;
  return folder;
}

std::string DataFolderEnter(const TDataFolder& folder) {
  if (folder.path.empty()) return folder.problem;
  int error = 0;
  if (!folder.besideExecutable && !MakeFolders(folder.path, &error))
    return "the folder " + folder.path + " could not be created (" + strerror(error) + ")";
  if (chdir(folder.path.c_str()) != 0)
    return "the folder " + folder.path + " could not be entered (" + strerror(errno) + ")";
  return "";
}
