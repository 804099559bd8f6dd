#pragma once

#include <cstddef>
#include <cstdint>

// Argon2id (RFC 9106, version 0x13) through libargon2, the reference
// implementation.
struct TArgon2Cost {
  uint32_t passes;     // t
  uint32_t memoryKiB;  // m
  uint32_t lanes;      // p
};

// Derives size bytes from the passphrase and salt into out. False when the
// library refuses the parameters or cannot get the memory; out is then wiped.
// The library wipes its own working memory.
bool Argon2idDerive(const uint8_t* passphrase, size_t passphraseSize, const uint8_t* salt, size_t saltSize,
                    const TArgon2Cost& cost, uint8_t* out, size_t size);
