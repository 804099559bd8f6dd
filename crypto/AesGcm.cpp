#include "crypto/AesGcm.h"

#include <openssl/evp.h>

#include <climits>
#include <memory>

#include "runtime/Wipe.h"

namespace {
struct TContextFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using TContext = std::unique_ptr<EVP_CIPHER_CTX, TContextFree>;

// A context keyed for one message, with its associated data already passed.
// The IV length is set before the key and nonce, as GCM requires.
TContext Start(const TGcmInput& input, int encrypt) {
  TContext ctx(EVP_CIPHER_CTX_new());
  if (!ctx || input.adSize > INT_MAX) return nullptr;
  int count = 0;
  if (EVP_CipherInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypt) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kGcmNonceSize), nullptr) != 1 ||
      EVP_CipherInit_ex(ctx.get(), nullptr, nullptr, input.key, input.nonce, encrypt) != 1 ||
      (input.adSize > 0 && EVP_CipherUpdate(ctx.get(), nullptr, &count, input.ad, static_cast<int>(input.adSize)) != 1))
    return nullptr;
  return ctx;
}

bool Fail(ByteArray& out) {
  SecureWipe(out);
  out.clear();
  return false;
}
}  // namespace

bool AesGcmSeal(const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out) {
  out.clear();
  if (size > INT_MAX - kGcmTagSize) return Fail(out);
  out.reserve(size + kGcmTagSize);
  out.resize(size + kGcmTagSize);
  TContext ctx = Start(input, 1);
  int count = 0, last = 0;
  if (!ctx || EVP_EncryptUpdate(ctx.get(), out.data(), &count, plain, static_cast<int>(size)) != 1 ||
      EVP_EncryptFinal_ex(ctx.get(), out.data() + count, &last) != 1 || static_cast<size_t>(count + last) != size ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kGcmTagSize), out.data() + size) != 1)
    return Fail(out);
  return true;
}

bool AesGcmOpen(const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out) {
  out.clear();
  if (size < kGcmTagSize || size > INT_MAX) return Fail(out);
  const size_t length = size - kGcmTagSize;
  // One spare byte: libcrypto is never handed a null output for an empty message.
  out.reserve(length + 1);
  out.resize(length + 1);
  TContext ctx = Start(input, 0);
  uint8_t tag[kGcmTagSize];
  for (size_t i = 0; i < kGcmTagSize; ++i) tag[i] = sealed[length + i];
  int count = 0, last = 0;
  if (!ctx || EVP_DecryptUpdate(ctx.get(), out.data(), &count, sealed, static_cast<int>(length)) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kGcmTagSize), tag) != 1 ||
      EVP_DecryptFinal_ex(ctx.get(), out.data() + count, &last) != 1 || static_cast<size_t>(count + last) != length)
    return Fail(out);
  out.resize(length);
  return true;
}
