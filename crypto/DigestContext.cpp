#include "crypto/DigestContext.h"

#include <openssl/evp.h>

#include "crypto/Digest.h"
#include "crypto/Engine.h"

namespace evp {

// The 1.0 calls EVP_MD_CTX_create, _destroy and _cleanup are EVP_MD_CTX_new,
// _free and _reset today.
EVP_MD_CTX::~EVP_MD_CTX() {
  if (ctxPtr) {
    EVP_MD_CTX_free(ctxPtr);
    ctxPtr = nullptr;
  }
}

Ref<EVP_MD_CTX> EVP_MD_CTX::CreateContext() { return New<EVP_MD_CTX>()->Create(); }

Ref<EVP_MD_CTX> EVP_MD_CTX::Create() {
  if (ctxPtr) EVP_MD_CTX_free(ctxPtr);
  ctxPtr = EVP_MD_CTX_new();
  return std::static_pointer_cast<EVP_MD_CTX>(shared_from_this());
}

int32_t EVP_MD_CTX::DigestInit(const Ref<EVP_MD>& digest, const Ref<ENGINE>& engine) {
  if (!ctxPtr) return 0;
  // A missing digest object is passed on as a null descriptor, which the
  // library refuses when the context has no digest yet.
  return EVP_DigestInit_ex(ctxPtr, digest ? digest->digestPtr : nullptr, engine ? engine->enginePtr : nullptr);
}

int32_t EVP_MD_CTX::DigestUpdate(const uint8_t* data, int32_t count) {
  if (!ctxPtr || !EVP_MD_CTX_get0_md(ctxPtr) || count < 0) return 0;
  return EVP_DigestUpdate(ctxPtr, data, static_cast<size_t>(count));
}

int32_t EVP_MD_CTX::DigestFinal(uint8_t* out, int32_t* outCount) {
  if (!ctxPtr || !EVP_MD_CTX_get0_md(ctxPtr)) {
    if (outCount) *outCount = 0;
    return 0;
  }
  unsigned int count = 0;
  int32_t result = EVP_DigestFinal_ex(ctxPtr, out, &count);
  if (outCount) *outCount = static_cast<int32_t>(count);
  return result;
}

int32_t EVP_MD_CTX::Cleanup() {
  if (!ctxPtr) return 0;
  return EVP_MD_CTX_reset(ctxPtr);
}

}  // namespace evp
