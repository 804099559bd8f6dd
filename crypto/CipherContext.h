#pragma once

#include <cstdint>

#include "crypto/Forward.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace evp {

// An owned libcrypto cipher context. Every forwarding method passes ctxPtr and
// returns the library's result unchanged (1 success, 0 failure). Absent cipher
// and engine objects and empty key or IV arrays reach the library as null
// pointers; the library reads as many key and IV bytes as the cipher in the
// context takes, so callers must hand over buffers at least that long.
//
// Calls that libcrypto would answer by dereferencing a missing context or a
// missing cipher (a context never created, or one whose init failed) answer 0
// here instead of crashing.
class EVP_CIPHER_CTX : public TObject {
 public:
  EVP_CIPHER_CTX() = default;
  // Frees the context's memory. Callers still call Cleanup first.
  ~EVP_CIPHER_CTX() override;

  static Ref<EVP_CIPHER_CTX> CreateContext();
  // Allocates and initialises the library context; returns this object.
  Ref<EVP_CIPHER_CTX> Create();

  int32_t EncryptInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                      const ByteArray& iv);
  int32_t EncryptUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount);
  int32_t EncryptFinal(uint8_t* out, int32_t* outCount);
  int32_t Cleanup();
  int32_t DecryptInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                      const ByteArray& iv);
  int32_t DecryptUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount);
  int32_t DecryptFinal(uint8_t* out, int32_t* outCount);
  int32_t SetPadding(int32_t padding);
  int32_t SetKeyLength(int32_t keyLength);
  int32_t CtrlSet(int32_t type, int32_t arg);
  int32_t CtrlGet(int32_t type, int32_t* value);
  int32_t CipherInit(const Ref<EVP_CIPHER>& cipher, const Ref<ENGINE>& engine, const ByteArray& key,
                     const ByteArray& iv, int32_t direction);
  int32_t CipherUpdate(uint8_t* out, int32_t* outCount, const uint8_t* in, int32_t inCount);
  int32_t CipherFinal(uint8_t* out, int32_t* outCount);
  int32_t GetBlockSize();
  // Makes this context a copy of from, keys and state included
  // (EVP_CIPHER_CTX_copy); creates the library context when there is none.
  int32_t Copy(const Ref<EVP_CIPHER_CTX>& from);

  evp_cipher_ctx_st* ctxPtr = nullptr;
};

}  // namespace evp
