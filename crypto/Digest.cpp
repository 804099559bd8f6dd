#include "crypto/Digest.h"

#include <openssl/evp.h>

namespace evp {

namespace {
Ref<EVP_MD> Wrap(const ::EVP_MD* descriptor) {
  Ref<EVP_MD> digest = New<EVP_MD>();
  digest->digestPtr = descriptor;
  return digest;
}
}  // namespace

Ref<EVP_MD> EVP_MD::MD5() { return Wrap(EVP_md5()); }
// SHA-0 is gone from OpenSSL 3: a null descriptor, refused at init.
Ref<EVP_MD> EVP_MD::SHA() { return Wrap(nullptr); }
Ref<EVP_MD> EVP_MD::SHA1() { return Wrap(EVP_sha1()); }
// DSS was DSA over SHA-0, gone with it. DSS1 was DSA over SHA-1, and as a
// digest it computes SHA-1.
Ref<EVP_MD> EVP_MD::DSS() { return Wrap(nullptr); }
Ref<EVP_MD> EVP_MD::DSS1() { return Wrap(EVP_sha1()); }
Ref<EVP_MD> EVP_MD::RIPEMD160() { return Wrap(EVP_ripemd160()); }

}  // namespace evp
