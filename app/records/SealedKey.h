#pragma once

#include <optional>

#include "crypto/Argon2.h"
#include "runtime/String.h"

// A sealed key file of the "aes_256_gcm" kind holds its record key encrypted
// under a key derived from a passphrase:
//   line 1: nonce (12 bytes), encrypted record key (32), tag (16), as 120
//           upper-case hexadecimal digits;
//   line 2: "argon2id,v=19,m=<KiB>,t=<passes>,p=<lanes>,salt=<hex>";
//   line 3: "aes_256_gcm".
// The derived key is Argon2id's 32 bytes; line 2, as written, is the
// associated data of the record key's encryption, so changed parameters read
// as a wrong passphrase.
struct TSealedKey {
  String keyLine, paramsLine;
  TArgon2Cost cost{};
  ByteArray salt, nonce, sealed;  // sealed: encrypted record key and tag
};

// The bounds a sealed key file's parameters must keep; the reader refuses
// anything outside them, so a hostile key file cannot ask for unbounded time
// or memory, nor for a derivation weaker than sealing ever makes.
constexpr uint32_t kSealMinMemoryKiB = 65536, kSealMaxMemoryKiB = 1048576;
constexpr uint32_t kSealMinPasses = 3, kSealMaxPasses = 100;
constexpr uint32_t kSealLanes = 4, kSealMaxLanes = 16;
constexpr size_t kSealSaltSize = 16, kSealMaxSaltSize = 64;

// Reads the first two lines of an "aes_256_gcm" key file whose second line is
// not empty. None when either is malformed or a parameter is out of bounds.
std::optional<TSealedKey> SealedKeyParse(const String& keyLine, const String& paramsLine);

// Seals a 32-byte record key under passphrase: a fresh salt from getrandom,
// 64 MiB and 4 lanes, and as many passes (at least 3) as make one derivation
// take at least kSealMinMillis on this machine. None when the random source or
// the derivation fails.
constexpr int64_t kSealMinMillis = 500;
std::optional<TSealedKey> SealedKeyMake(const ByteArray& recordKey, const String& passphrase);

// Derives the key from passphrase and opens the record key into recordKey.
// False for a wrong passphrase (or a failed derivation); nothing is then left
// in recordKey.
bool SealedKeyOpen(const TSealedKey& sealed, const String& passphrase, ByteArray& recordKey);

// The record keys unlocked in this process, by the two lines of their sealed
// key file, so that a load or save under that key file (TRecordKey) finds the
// key without asking again. KeepOnly wipes every entry but the one of that
// first line (none when it is no entry's); ForgetAll wipes them all.
void SealedKeyRemember(const TSealedKey& sealed, const ByteArray& recordKey);
const ByteArray* SealedKeyUnlocked(const String& keyLine, const String& paramsLine);
void SealedKeyKeepOnly(const String& keyLine);
void SealedKeyForgetAll();
