#include "tests/unit/FreedBlockWatch.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

std::atomic<const std::string*> watchedSecret = nullptr;
std::atomic<int> secretsFreed = 0;

namespace {
void InspectFreed(void* block) {
  const std::string* secret = watchedSecret;
  if (!block || !secret) return;
  const size_t size = malloc_usable_size(block);
  const auto* bytes = static_cast<const char*>(block);
  for (size_t at = 0; at + secret->size() <= size; ++at)
    if (std::memcmp(bytes + at, secret->data(), secret->size()) == 0) ++secretsFreed;
}
}  // namespace

// The replacements live in a file of their own so that the compiler never
// sees a matching new and free side by side and warns about them.
void* operator new(size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  InspectFreed(block);
  std::free(block);
}

void operator delete(void* block, size_t) noexcept {
  InspectFreed(block);
  std::free(block);
}
