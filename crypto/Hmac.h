#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/String.h"

// HMAC (RFC 2104) over one message, through libcrypto.
enum class THmacDigest { Sha1, Sha256, Sha512 };

// Writes the MAC of message under key to out (20, 32 or 64 bytes). False
// when a library step fails; out is then empty.
bool HmacCompute(THmacDigest digest, const uint8_t* key, size_t keySize, const uint8_t* message, size_t messageSize,
                 ByteArray& out);
