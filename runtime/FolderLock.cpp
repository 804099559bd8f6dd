#include "runtime/FolderLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
int heldFd = -1;  // open until the process ends: closing it would drop the lock
}

FolderLockResult LockFolder(const String& path) {
  if (heldFd >= 0) return FolderLockResult::Acquired;
  // Close-on-exec: a launched program must not inherit, and so prolong, the
  // lock.
  int fd = ::open(NarrowString(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FolderLockResult::Failed;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? FolderLockResult::HeldElsewhere : FolderLockResult::Failed;
  }
  heldFd = fd;
  return FolderLockResult::Acquired;
}
