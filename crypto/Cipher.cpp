#include "crypto/Cipher.h"

#include <openssl/evp.h>

namespace evp {

namespace {
Ref<EVP_CIPHER> Wrap(const ::EVP_CIPHER* descriptor) {
  Ref<EVP_CIPHER> cipher = New<EVP_CIPHER>();
  cipher->cipherPtr = descriptor;
  return cipher;
}
}  // namespace

int32_t EVP_CIPHER::GetKeyLength() const { return cipherPtr ? EVP_CIPHER_get_key_length(cipherPtr) : 0; }
int32_t EVP_CIPHER::GetIVLength() const { return cipherPtr ? EVP_CIPHER_get_iv_length(cipherPtr) : 0; }

Ref<EVP_CIPHER> EVP_CIPHER::des_cbc() { return Wrap(EVP_des_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ecb() { return Wrap(EVP_des_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ofb() { return Wrap(EVP_des_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede_cbc() { return Wrap(EVP_des_ede_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede() { return Wrap(EVP_des_ede()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede_ofb() { return Wrap(EVP_des_ede_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede3_cbc() { return Wrap(EVP_des_ede3_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede3() { return Wrap(EVP_des_ede3()); }
Ref<EVP_CIPHER> EVP_CIPHER::des_ede3_ofb() { return Wrap(EVP_des_ede3_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::desx_cbc() { return Wrap(EVP_desx_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::bf_cbc() { return Wrap(EVP_bf_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::bf_ecb() { return Wrap(EVP_bf_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::bf_ofb() { return Wrap(EVP_bf_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::rc4() { return Wrap(EVP_rc4()); }
Ref<EVP_CIPHER> EVP_CIPHER::rc2_cbc() { return Wrap(EVP_rc2_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::rc2_ecb() { return Wrap(EVP_rc2_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::rc2_ofb() { return Wrap(EVP_rc2_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::cast5_cbc() { return Wrap(EVP_cast5_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::cast5_ecb() { return Wrap(EVP_cast5_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::cast5_ofb() { return Wrap(EVP_cast5_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_128_ecb() { return Wrap(EVP_aes_128_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_128_cbc() { return Wrap(EVP_aes_128_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_128_ofb() { return Wrap(EVP_aes_128_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_192_ecb() { return Wrap(EVP_aes_192_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_192_cbc() { return Wrap(EVP_aes_192_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_192_ofb() { return Wrap(EVP_aes_192_ofb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_256_ecb() { return Wrap(EVP_aes_256_ecb()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_256_cbc() { return Wrap(EVP_aes_256_cbc()); }
Ref<EVP_CIPHER> EVP_CIPHER::aes_256_ofb() { return Wrap(EVP_aes_256_ofb()); }

}  // namespace evp
