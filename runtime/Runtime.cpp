#include "runtime/Runtime.h"

#include <stdio.h>
#include <unistd.h>

#include <string>

void RuntimeInit() {
  static bool done = false;
  if (done) return;
  done = true;
}

bool ChangeToExecutableDirectory() {
  char link[64];
  snprintf(link, sizeof link, "/proc/%i/exe", static_cast<int>(getpid()));
  std::string path(4096, '\0');
  ssize_t n = readlink(link, path.data(), path.size() - 1);
  std::string dir;
  if (n > 0) {
    path.resize(static_cast<size_t>(n));
    auto slash = path.rfind('/');
    if (slash != std::string::npos) dir = path.substr(0, slash == 0 ? 1 : slash);
  }
  return chdir(dir.c_str()) == 0;
}
