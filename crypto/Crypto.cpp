#include "crypto/Crypto.h"

#include <openssl/provider.h>
#include <stdlib.h>

namespace {
bool cryptoStarted = false;
bool cryptoReady = false;
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
  if (cryptoStarted) return cryptoReady;
  cryptoStarted = true;
  // Loading "legacy" explicitly switches off the implicit fallback to
  // "default", so both are loaded. They stay until the process ends.
  legacyProvider = OSSL_PROVIDER_load(nullptr, "legacy");
  defaultProvider = OSSL_PROVIDER_load(nullptr, "default");
  atexit(UnloadProviders);
  cryptoReady = legacyProvider != nullptr && defaultProvider != nullptr;
  return cryptoReady;
}
