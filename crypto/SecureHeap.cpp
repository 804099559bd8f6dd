#include "crypto/SecureHeap.h"

#include <openssl/crypto.h>

namespace {
// Room for the run's keys many times over; the smallest piece is a key's size.
constexpr size_t kArenaSize = 64 << 10;
constexpr size_t kSmallest = 32;
}  // namespace

bool SecureHeapStart() {
  static const bool started = CRYPTO_secure_malloc_initialized() || CRYPTO_secure_malloc_init(kArenaSize, kSmallest);
  return started;
}

void* SecureAllocate(size_t size) { return OPENSSL_secure_zalloc(size); }

void SecureRelease(void* data, size_t size) {
  if (data) OPENSSL_secure_clear_free(data, size);
}

bool SecureHeapHolds(const void* data) { return data && CRYPTO_secure_allocated(data); }
