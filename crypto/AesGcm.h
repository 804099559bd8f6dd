#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/String.h"

// AES-256 in Galois/Counter mode: the one authenticated cipher of the record
// files and of sealed key files. A sealed message is the ciphertext followed
// by the 16-byte tag.
constexpr size_t kGcmKeySize = 32;
constexpr size_t kGcmNonceSize = 12;
constexpr size_t kGcmTagSize = 16;

struct TGcmInput {
  const uint8_t* key;    // kGcmKeySize bytes
  const uint8_t* nonce;  // kGcmNonceSize bytes
  const uint8_t* ad;     // associated data, authenticated but not encrypted
  size_t adSize;
};

// Appends the ciphertext of plain and the tag to out (reserved first, so no
// reallocation leaves a copy behind). False when a library step fails; out is
// then wiped and emptied.
bool AesGcmSeal(const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out);

// Checks the tag at the end of sealed and writes the plaintext to out. False
// when the tag does not match (a wrong key, nonce or associated data, or a
// changed message) or sealed is shorter than a tag; out is then wiped and
// emptied, so nothing unauthenticated is ever handed out.
bool AesGcmOpen(const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out);

// One key for many messages: the key schedule is made once and every message
// only sets its nonce, which is what a whole record file needs. The same
// answers as the functions above (whose input.key it ignores). The library's
// key schedule is wiped when the object goes.
class TAesGcm {
 public:
  explicit TAesGcm(const uint8_t* key);
  ~TAesGcm();
  TAesGcm(const TAesGcm&) = delete;
  TAesGcm& operator=(const TAesGcm&) = delete;

  bool Seal(const TGcmInput& input, const uint8_t* plain, size_t size, ByteArray& out);
  bool Open(const TGcmInput& input, const uint8_t* sealed, size_t size, ByteArray& out);

 private:
  struct TContexts;
  std::unique_ptr<TContexts> contexts_;
};
