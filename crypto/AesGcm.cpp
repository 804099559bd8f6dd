#include "crypto/AesGcm.h"

#include <openssl/evp.h>

#include <climits>

#include "runtime/Wipe.h"

namespace {
// libcrypto's AES-256-GCM implementation, fetched from its provider once:
// naming the cipher in every init would look it up again for every field.
const EVP_CIPHER* Gcm() {
  static EVP_CIPHER* const fetched = EVP_CIPHER_fetch(nullptr, "AES-256-GCM", nullptr);
  return fetched ? fetched : EVP_aes_256_gcm();
}

struct TContextFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using TContext = std::unique_ptr<EVP_CIPHER_CTX, TContextFree>;

// A context keyed for one direction; the default nonce length is GCM's 96 bits.
TContext Keyed(const uint8_t* key, int encrypt) {
  TContext ctx(EVP_CIPHER_CTX_new());
  if (!ctx || EVP_CipherInit_ex(ctx.get(), Gcm(), nullptr, key, nullptr, encrypt) != 1) return nullptr;
  return ctx;
}

// Starts one message on a keyed context: its nonce, then its associated data.
bool Start(EVP_CIPHER_CTX* ctx, const TGcmInput& input, int encrypt) {
  int count = 0;
  return ctx && input.adSize <= INT_MAX &&
         EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, input.nonce, encrypt) == 1 &&
         (input.adSize == 0 || EVP_CipherUpdate(ctx, nullptr, &count, input.ad, static_cast<int>(input.adSize)) == 1);
}

bool Fail(ByteArray& out) {
  SecureWipe(out);
  out.clear();
  return false;
}

bool Seal(EVP_CIPHER_CTX* ctx, const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out) {
  out.clear();
  if (size > INT_MAX - kGcmTagSize) return Fail(out);
  out.reserve(size + kGcmTagSize);
  out.resize(size + kGcmTagSize);
  int count = 0, last = 0;
  if (!Start(ctx, input, 1) || EVP_EncryptUpdate(ctx, out.data(), &count, plain, static_cast<int>(size)) != 1 ||
      EVP_EncryptFinal_ex(ctx, out.data() + count, &last) != 1 || static_cast<size_t>(count + last) != size ||
      EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, static_cast<int>(kGcmTagSize), out.data() + size) != 1)
    return Fail(out);
  return true;
}

bool Open(EVP_CIPHER_CTX* ctx, const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out) {
  out.clear();
  if (size < kGcmTagSize || size > INT_MAX) return Fail(out);
  const size_t length = size - kGcmTagSize;
  // One spare byte: libcrypto is never handed a null output for an empty message.
  out.reserve(length + 1);
  out.resize(length + 1);
  uint8_t tag[kGcmTagSize];
  for (size_t i = 0; i < kGcmTagSize; ++i) tag[i] = sealed[length + i];
  int count = 0, last = 0;
  if (!Start(ctx, input, 0) || EVP_DecryptUpdate(ctx, out.data(), &count, sealed, static_cast<int>(length)) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, static_cast<int>(kGcmTagSize), tag) != 1 ||
      EVP_DecryptFinal_ex(ctx, out.data() + count, &last) != 1 || static_cast<size_t>(count + last) != length)
    return Fail(out);
  out.resize(length);
  return true;
}
}  // namespace

struct TAesGcm::TContexts {
  TContext encrypt, decrypt;
};

TAesGcm::TAesGcm(const uint8_t* key) : contexts_(new TContexts{Keyed(key, 1), Keyed(key, 0)}) {}

// EVP_CIPHER_CTX_free wipes the key schedule it frees.
TAesGcm::~TAesGcm() = default;

bool TAesGcm::Seal(const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out) {
  return ::Seal(contexts_->encrypt.get(), input, plain, size, out);
}

bool TAesGcm::Open(const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out) {
  return ::Open(contexts_->decrypt.get(), input, sealed, size, out);
}

bool AesGcmSeal(const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out) {
  return TAesGcm(input.key).Seal(input, plain, size, out);
}

bool AesGcmOpen(const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out) {
  return TAesGcm(input.key).Open(input, sealed, size, out);
}
