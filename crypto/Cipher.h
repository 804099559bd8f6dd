#pragma once

#include <cstdint>

#include "crypto/Forward.h"
#include "runtime/Object.h"

namespace evp {

// A borrowed libcrypto cipher descriptor. The descriptors live for the whole
// process, so the object never releases what it points to. Each class
// function makes a new object.
class EVP_CIPHER : public TObject {
 public:
  EVP_CIPHER() = default;
  ~EVP_CIPHER() override = default;

  // The descriptor's default key length and IV length in bytes; 0 for none.
  int32_t GetKeyLength() const;
  int32_t GetIVLength() const;

  static Ref<EVP_CIPHER> des_cbc();
  static Ref<EVP_CIPHER> des_ecb();
  static Ref<EVP_CIPHER> des_ofb();
  static Ref<EVP_CIPHER> des_ede_cbc();
  static Ref<EVP_CIPHER> des_ede();
  static Ref<EVP_CIPHER> des_ede_ofb();
  static Ref<EVP_CIPHER> des_ede3_cbc();
  static Ref<EVP_CIPHER> des_ede3();
  static Ref<EVP_CIPHER> des_ede3_ofb();
  static Ref<EVP_CIPHER> desx_cbc();
  static Ref<EVP_CIPHER> bf_cbc();
  static Ref<EVP_CIPHER> bf_ecb();
  static Ref<EVP_CIPHER> bf_ofb();
  static Ref<EVP_CIPHER> rc4();
  static Ref<EVP_CIPHER> rc2_cbc();
  static Ref<EVP_CIPHER> rc2_ecb();
  static Ref<EVP_CIPHER> rc2_ofb();
  static Ref<EVP_CIPHER> cast5_cbc();
  static Ref<EVP_CIPHER> cast5_ecb();
  static Ref<EVP_CIPHER> cast5_ofb();
  static Ref<EVP_CIPHER> aes_128_ecb();
  static Ref<EVP_CIPHER> aes_128_cbc();
  static Ref<EVP_CIPHER> aes_128_ofb();
  static Ref<EVP_CIPHER> aes_192_ecb();
  static Ref<EVP_CIPHER> aes_192_cbc();
  static Ref<EVP_CIPHER> aes_192_ofb();
  static Ref<EVP_CIPHER> aes_256_ecb();
  static Ref<EVP_CIPHER> aes_256_cbc();
  static Ref<EVP_CIPHER> aes_256_ofb();

  const evp_cipher_st* cipherPtr = nullptr;
};

}  // namespace evp
