#include "crypto/Sha256.h"

#include <openssl/evp.h>

#include <cstring>

struct TSha256::TContext {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  bool ok = ctx && EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) == 1;
  ~TContext() { EVP_MD_CTX_free(ctx); }
};

TSha256::TSha256() : context_(std::make_unique<TContext>()) {}
TSha256::~TSha256() = default;

void TSha256::Update(const void* bytes, size_t size) {
  if (context_->ok && size > 0) context_->ok = EVP_DigestUpdate(context_->ctx, bytes, size) == 1;
}

bool TSha256::Final(uint8_t out[kSha256Size]) {
  unsigned int length = 0;
  if (!context_->ok || EVP_DigestFinal_ex(context_->ctx, out, &length) != 1 || length != kSha256Size) {
    std::memset(out, 0, kSha256Size);
    return false;
  }
  return true;
}
