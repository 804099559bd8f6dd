#pragma once

#include "runtime/String.h"

enum class FolderLockResult {
  Acquired,       // this process holds the folder until it ends
  HeldElsewhere,  // another process holds it
  Failed,         // the folder could not be opened or locked
};

// Takes an advisory lock (flock) on the folder itself, held for the rest of
// the process's life. It needs no write access, and the kernel drops it when
// the process ends, however it ends. Later calls in the same process answer
// Acquired once the lock is held.
FolderLockResult LockFolder(const String& path);
