#include "crypto/Argon2.h"

#include <argon2.h>

#include <cstdint>

#include "runtime/Wipe.h"

bool Argon2idDerive(const uint8_t* passphrase, size_t passphraseSize, const uint8_t* salt, size_t saltSize,
                    const TArgon2Cost& cost, uint8_t* out, size_t size) {
  // The library's context form, so that it wipes the passphrase-dependent
  // memory it allocates; the passphrase itself stays the caller's to wipe.
  if (passphraseSize > UINT32_MAX || saltSize > UINT32_MAX || size > UINT32_MAX) return false;
  argon2_context context{};
  context.out = out;
  context.outlen = static_cast<uint32_t>(size);
  context.pwd = const_cast<uint8_t*>(passphrase);
  context.pwdlen = static_cast<uint32_t>(passphraseSize);
  context.salt = const_cast<uint8_t*>(salt);
  context.saltlen = static_cast<uint32_t>(saltSize);
  context.t_cost = cost.passes;
  context.m_cost = cost.memoryKiB;
  context.lanes = cost.lanes;
  context.threads = cost.lanes;
  context.version = ARGON2_VERSION_13;
  context.flags = ARGON2_DEFAULT_FLAGS;
  const bool done = argon2_ctx(&context, Argon2_id) == ARGON2_OK;
  if (!done) SecureWipe(out, size);
  return done;
}
