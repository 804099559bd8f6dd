#include "crypto/Hmac.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "runtime/Wipe.h"

bool HmacCompute(THmacDigest digest, const uint8_t* key, size_t keySize, const uint8_t* message, size_t messageSize,
                 ByteArray& out) {
  const EVP_MD* md = digest == THmacDigest::Sha1     ? EVP_sha1()
                     : digest == THmacDigest::Sha256 ? EVP_sha256()
                                                     : EVP_sha512();
  out.assign(EVP_MAX_MD_SIZE, 0);
  unsigned int length = 0;
  static const uint8_t none = 0;
  if (keySize > INT32_MAX || !HMAC(md, keySize ? key : &none, static_cast<int>(keySize), messageSize ? message : &none,
                                   messageSize, out.data(), &length)) {
    SecureWipe(out);
    out.clear();
    return false;
  }
  SecureWipe(out.data() + length, out.size() - length);
  out.resize(length);
  return true;
}
