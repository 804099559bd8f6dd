#pragma once

// libcrypto's own structure tags, declared opaquely so that callers of the
// binding never see OpenSSL headers. Only crypto/*.cpp include those.
struct evp_cipher_ctx_st;
struct evp_cipher_st;
struct engine_st;
struct evp_md_ctx_st;
struct evp_md_st;

namespace evp {
class EVP_CIPHER_CTX;
class EVP_CIPHER;
class ENGINE;
class EVP_MD_CTX;
class EVP_MD;
}  // namespace evp
