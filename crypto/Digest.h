#pragma once

#include "crypto/Forward.h"
#include "runtime/Object.h"

namespace evp {

// A borrowed libcrypto digest descriptor. Digests that OpenSSL 3 no longer
// has (SHA-0 and the SHA-0 based DSS) give a null descriptor, which the
// library refuses at init.
class EVP_MD : public TObject {
 public:
  EVP_MD() = default;
  ~EVP_MD() override = default;

  static Ref<EVP_MD> MD5();
  static Ref<EVP_MD> SHA();
  static Ref<EVP_MD> SHA1();
  static Ref<EVP_MD> DSS();
  static Ref<EVP_MD> DSS1();
  static Ref<EVP_MD> RIPEMD160();

  const evp_md_st* digestPtr = nullptr;
};

}  // namespace evp
