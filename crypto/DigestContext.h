#pragma once

#include <cstdint>

#include "crypto/Forward.h"
#include "runtime/Object.h"

namespace evp {

// An owned libcrypto digest context; forwarding methods return the library's
// result unchanged. Updating or finishing a context that has no digest set
// answers 0 instead of reaching into the library's missing digest.
class EVP_MD_CTX : public TObject {
 public:
  EVP_MD_CTX() = default;
  ~EVP_MD_CTX() override;

  static Ref<EVP_MD_CTX> CreateContext();
  Ref<EVP_MD_CTX> Create();

  // The digest must be given; the engine may be none.
  int32_t DigestInit(const Ref<EVP_MD>& digest, const Ref<ENGINE>& engine);
  int32_t DigestUpdate(const uint8_t* data, int32_t count);
  int32_t DigestFinal(uint8_t* out, int32_t* outCount);
  int32_t Cleanup();

  evp_md_ctx_st* ctxPtr = nullptr;
};

}  // namespace evp
