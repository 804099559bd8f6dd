#include "crypto/CipherContext.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include "crypto/Cipher.h"
#include "crypto/Engine.h"

namespace evp {

namespace {
// Absent objects and empty arrays reach libcrypto as null pointers. The
// lengths are not passed: the library reads what the context's cipher takes.
const ::EVP_CIPHER* CipherOf(const Ref<EVP_CIPHER>& cipher) { return cipher ? cipher->cipherPtr : nullptr; }
::ENGINE* EngineOf(const Ref<ENGINE>& engine) { return engine ? engine->enginePtr : nullptr; }
const unsigned char* BytesOf(const ByteArray& bytes) { return bytes.empty() ? nullptr : bytes.data(); }

// A context without a cipher (never initialised, or its init failed) has
// nothing to run; libcrypto would reach into the missing cipher for some calls.
bool Refuse(::EVP_CIPHER_CTX* ctx, int32_t* outCount = nullptr) {
  if (ctx && EVP_CIPHER_CTX_get0_cipher(ctx)) return false;
  if (outCount) *outCount = 0;
  return true;
}
}  // namespace

EVP_CIPHER_CTX::~EVP_CIPHER_CTX() {
  if (ctxPtr) {
    EVP_CIPHER_CTX_free(ctxPtr);
    ctxPtr = nullptr;
  }
}

Ref<EVP_CIPHER_CTX> EVP_CIPHER_CTX::CreateContext() { return New<EVP_CIPHER_CTX>()->Create(); }

Ref<EVP_CIPHER_CTX> EVP_CIPHER_CTX::Create() {
  if (ctxPtr) EVP_CIPHER_CTX_free(ctxPtr);
  // EVP_CIPHER_CTX_new hands back a context already in its initialised state.
  ctxPtr = EVP_CIPHER_CTX_new();
  return std::static_pointer_cast<EVP_CIPHER_CTX>(shared_from_this());
}

int32_t EVP_CIPHER_CTX::EncryptInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                                    const ByteArray& iv) {
  if (!ctxPtr) return 0;
  return EVP_EncryptInit_ex(ctxPtr, CipherOf(cipher), EngineOf(engine), BytesOf(key), BytesOf(iv));
}

int32_t EVP_CIPHER_CTX::EncryptUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_EncryptUpdate(ctxPtr, out, outCount, in, inCount);
}

int32_t EVP_CIPHER_CTX::EncryptFinal(uint8_t* out, int32_t* outCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_EncryptFinal_ex(ctxPtr, out, outCount);
}

// EVP_CIPHER_CTX_cleanup of the 1.0 interface is EVP_CIPHER_CTX_reset today.
int32_t EVP_CIPHER_CTX::Cleanup() {
  if (!ctxPtr) return 0;
  return EVP_CIPHER_CTX_reset(ctxPtr);
}

int32_t EVP_CIPHER_CTX::DecryptInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                                    const ByteArray& iv) {
  if (!ctxPtr) return 0;
  return EVP_DecryptInit_ex(ctxPtr, CipherOf(cipher), EngineOf(engine), BytesOf(key), BytesOf(iv));
}

int32_t EVP_CIPHER_CTX::DecryptUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_DecryptUpdate(ctxPtr, out, outCount, in, inCount);
}

int32_t EVP_CIPHER_CTX::DecryptFinal(uint8_t* out, int32_t* outCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_DecryptFinal_ex(ctxPtr, out, outCount);
}

int32_t EVP_CIPHER_CTX::SetPadding(int32_t padding) {
  if (Refuse(ctxPtr)) return 0;
  return EVP_CIPHER_CTX_set_padding(ctxPtr, padding);
}

int32_t EVP_CIPHER_CTX::SetKeyLength(int32_t keyLength) {
  if (Refuse(ctxPtr)) return 0;
  return EVP_CIPHER_CTX_set_key_length(ctxPtr, keyLength);
}

int32_t EVP_CIPHER_CTX::CtrlSet(int32_t type, int32_t arg) {
  if (Refuse(ctxPtr)) return 0;
  return EVP_CIPHER_CTX_ctrl(ctxPtr, type, arg, nullptr);
}

int32_t EVP_CIPHER_CTX::CtrlGet(int32_t type, int32_t* value) {
  if (Refuse(ctxPtr)) return 0;
  if (type == EVP_CTRL_GET_RC2_KEY_BITS && value) {
    // OpenSSL 3 answers this control with success but never writes the
    // result back; the provider parameter carries it.
    size_t bits = 0;
    OSSL_PARAM params[] = {OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_RC2_KEYBITS, &bits), OSSL_PARAM_END};
    if (EVP_CIPHER_CTX_get_params(ctxPtr, params) != 1) return 0;
    *value = static_cast<int32_t>(bits);
    return 1;
  }
  return EVP_CIPHER_CTX_ctrl(ctxPtr, type, 0, value);
}

int32_t EVP_CIPHER_CTX::CipherInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                                   const ByteArray& iv, int32_t direction) {
  if (!ctxPtr) return 0;
  return EVP_CipherInit_ex(ctxPtr, CipherOf(cipher), EngineOf(engine), BytesOf(key), BytesOf(iv), direction);
}

int32_t EVP_CIPHER_CTX::CipherUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_CipherUpdate(ctxPtr, out, outCount, in, inCount);
}

int32_t EVP_CIPHER_CTX::CipherFinal(uint8_t* out, int32_t* outCount) {
  if (Refuse(ctxPtr, outCount)) return 0;
  return EVP_CipherFinal_ex(ctxPtr, out, outCount);
}

int32_t EVP_CIPHER_CTX::GetBlockSize() {
  if (Refuse(ctxPtr)) return 0;
  return EVP_CIPHER_CTX_get_block_size(ctxPtr);
}

int32_t EVP_CIPHER_CTX::Copy(const Ref<EVP_CIPHER_CTX>& from) {
  if (!from || !from->ctxPtr || Refuse(from->ctxPtr)) return 0;
  if (!ctxPtr) ctxPtr = EVP_CIPHER_CTX_new();
  if (!ctxPtr) return 0;
  return EVP_CIPHER_CTX_copy(ctxPtr, from->ctxPtr);
}

}  // namespace evp
