#include "crypto/Crypto.h"

#include <openssl/provider.h>

namespace {
bool cryptoStarted = false;
bool cryptoReady = false;
}  // namespace

bool CryptoInit() {
  if (cryptoStarted) return cryptoReady;
  cryptoStarted = true;
  // Loading "legacy" explicitly switches off the implicit fallback to
  // "default", so both are loaded. The handles stay for the process's life.
  OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
  OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
  cryptoReady = legacy != nullptr && standard != nullptr;
  return cryptoReady;
}
