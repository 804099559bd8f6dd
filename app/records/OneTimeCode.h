#pragma once

#include <cstdint>
#include <optional>

#include "crypto/Hmac.h"
#include "runtime/String.h"

// Time-based one-time codes (RFC 6238 over RFC 4226): HMAC with SHA-1,
// SHA-256 or SHA-512 of the number of periods since 1970, truncated to 6 to
// 8 decimal digits. The secret is a secret like a password: wiped when the
// object goes.
struct TOneTimeSecret {
  ByteArray key;
  THmacDigest digest = THmacDigest::Sha1;
  int32_t digits = 6;
  int32_t period = 30;  // seconds

  TOneTimeSecret() = default;
  TOneTimeSecret(const TOneTimeSecret&) = delete;
  TOneTimeSecret& operator=(const TOneTimeSecret&) = delete;
  TOneTimeSecret(TOneTimeSecret&&) = default;
  ~TOneTimeSecret();
};

// Reads a secret as it is stored or typed: an "otpauth://totp/LABEL?secret=
// BASE32&algorithm=SHA1|SHA256|SHA512&digits=6..8&period=N" URI (parameters
// in any order and case, the defaults SHA-1, 6 digits, 30 s), or a bare
// base32 secret (either case, spaces and "=" padding ignored). None for
// anything else: another scheme, an HOTP URI, a secret that is no base32, a
// parameter out of range.
std::optional<TOneTimeSecret> OneTimeParse(const String& text);

// The code at unixSeconds, zero-padded to its digits; empty when the HMAC fails.
String OneTimeCode(const TOneTimeSecret& secret, int64_t unixSeconds);

// Seconds until the code at unixSeconds changes (1 to the period).
int32_t OneTimeSecondsLeft(const TOneTimeSecret& secret, int64_t unixSeconds);
