#include "crypto/Crypto.h"

#include <openssl/provider.h>
#include <stdlib.h>

namespace {
bool cryptoStarted = false;
bool legacyTried = false;
OSSL_PROVIDER* legacyProvider = nullptr;
OSSL_PROVIDER* defaultProvider = nullptr;

// Runs before libcrypto's own clean-up at exit (handlers run in reverse
// order of registration, and libcrypto registered its handler first).
void UnloadProviders() {
  if (legacyProvider) OSSL_PROVIDER_unload(legacyProvider);
  if (defaultProvider) OSSL_PROVIDER_unload(defaultProvider);
  legacyProvider = defaultProvider = nullptr;
}
}  // namespace

bool CryptoInit() {
  if (cryptoStarted) return defaultProvider != nullptr;
  cryptoStarted = true;
  // Loading any provider explicitly switches off the implicit fallback to
  // "default", so it is loaded by name. It stays until the process ends.
  defaultProvider = OSSL_PROVIDER_load(nullptr, "default");
  atexit(UnloadProviders);
  return defaultProvider != nullptr;
}

bool CryptoLoadLegacy() {
  if (!CryptoInit()) return false;
  if (!legacyTried) {
    legacyTried = true;
    legacyProvider = OSSL_PROVIDER_load(nullptr, "legacy");
  }
  return legacyProvider != nullptr;
}

bool CryptoLegacyLoaded() { return legacyProvider != nullptr; }
