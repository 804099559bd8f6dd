#include "crypto/AesCtr.h"

#include <openssl/evp.h>

#include <climits>

namespace {
// Fetched from its provider once, as the record ciphers are.
const EVP_CIPHER* Ctr() {
  static EVP_CIPHER* const fetched = EVP_CIPHER_fetch(nullptr, "AES-256-CTR", nullptr);
  return fetched ? fetched : EVP_aes_256_ctr();
}
}  // namespace

struct TAesCtr::TContext {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  bool keyed = false;
  // EVP_CIPHER_CTX_free wipes the key schedule it frees.
  ~TContext() { EVP_CIPHER_CTX_free(ctx); }
};

TAesCtr::TAesCtr(const uint8_t* key) : context_(std::make_unique<TContext>()) {
  context_->keyed =
      context_->ctx && EVP_EncryptInit_ex(context_->ctx, Ctr(), nullptr, key, nullptr) == 1;
}

TAesCtr::~TAesCtr() = default;

bool TAesCtr::Start(const uint8_t* counter) {
  return context_->keyed && EVP_EncryptInit_ex(context_->ctx, nullptr, nullptr, nullptr, counter) == 1;
}

bool TAesCtr::Run(const uint8_t* in, size_t size, uint8_t* out) {
  if (!context_->keyed || size > INT_MAX) return false;
  int count = 0;
  return size == 0 || (EVP_EncryptUpdate(context_->ctx, out, &count, in, static_cast<int>(size)) == 1 &&
                       static_cast<size_t>(count) == size);
}
