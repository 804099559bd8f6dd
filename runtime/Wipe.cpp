#include "runtime/Wipe.h"

#include <string.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <unordered_set>

void SecureWipe(void* data, size_t size) {
  if (data != nullptr && size > 0) explicit_bzero(data, size);
}

void SecretPin(const void* data, size_t size) {
  if (data == nullptr || size == 0) return;
  static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size + page - 1) & ~(page - 1);
  // Pages pinned before stay so: the system calls are made only for new ones
  // (most buffers reuse pages of the heap that held others).
  static std::mutex guard;
  static std::unordered_set<uintptr_t> pinned;
  const std::lock_guard<std::mutex> hold(guard);
  bool known = true;
  for (uintptr_t at = first; at < end && known; at += page) known = pinned.count(at) != 0;
  if (known) return;
  for (uintptr_t at = first; at < end; at += page) pinned.insert(at);
  // A short string's characters stand inside the object itself, which may
  // be on the stack: those pages are the thread's, and are locked too.
  void* start = reinterpret_cast<void*>(first);
  // Through the system call itself: sanitizers turn mlock into nothing.
  syscall(SYS_mlock, start, end - first);
  madvise(start, end - first, MADV_DONTDUMP);
}
