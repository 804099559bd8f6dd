#include "app/records/SealedKey.h"

#include <chrono>
#include <string>
#include <vector>

#include "app/generator/RandomSource.h"
#include "app/records/RecordCipher.h"
#include "crypto/AesGcm.h"
#include "runtime/Wipe.h"

namespace {
constexpr size_t kSealedKeyBytes = kGcmNonceSize + kGcmKeySize + kGcmTagSize;

// Every buffer that holds the passphrase or a key during one call.
struct TSealWork {
  ByteArray passphrase, derived, opened, line;
  ~TSealWork() {
    SecureWipe(passphrase);
    SecureWipe(derived);
    SecureWipe(opened);
    SecureWipe(line);
  }
};

bool Derive(TSealWork& work, const String& passphrase, const ByteArray& salt, const TArgon2Cost& cost) {
  work.passphrase = StringToBytes(passphrase);
  work.derived.assign(kGcmKeySize, 0);
  return Argon2idDerive(work.passphrase.data(), work.passphrase.size(), salt.data(), salt.size(), cost,
                        work.derived.data(), work.derived.size());
}

TGcmInput WrapInput(const ByteArray& derived, const ByteArray& nonce, const std::string& params) {
  return TGcmInput{derived.data(), nonce.data(), reinterpret_cast<const uint8_t*>(params.data()), params.size()};
}

// "<name>=<1 to 10 decimal digits>" within [min, max].
bool ParseNumber(const std::string& field, const char* name, uint32_t min, uint32_t max, uint32_t& out) {
  const std::string prefix = std::string(name) + "=";
  if (field.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string digits = field.substr(prefix.size());
  if (digits.empty() || digits.size() > 10) return false;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value < min || value > max) return false;
  out = static_cast<uint32_t>(value);
  return true;
}

std::string ParamsLine(const TArgon2Cost& cost, const ByteArray& salt) {
  return "argon2id,v=19,m=" + std::to_string(cost.memoryKiB) + ",t=" + std::to_string(cost.passes) +
         ",p=" + std::to_string(cost.lanes) + ",salt=" + NarrowString(HexOfBytes(salt.data(), salt.size()));
}

struct TUnlocked {
  String keyLine, paramsLine;
  ByteArray key;
};
std::vector<TUnlocked> unlocked;
}  // namespace

std::optional<TSealedKey> SealedKeyParse(const String& keyLine, const String& paramsLine) {
  TSealedKey parsed;
  ByteArray bytes;
  if (!BytesOfHex(keyLine, bytes) || bytes.size() != kSealedKeyBytes) return std::nullopt;
  parsed.nonce.assign(bytes.begin(), bytes.begin() + kGcmNonceSize);
  parsed.sealed.assign(bytes.begin() + kGcmNonceSize, bytes.end());

  std::vector<std::string> fields(1);
  for (char c : NarrowString(paramsLine)) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back().push_back(c);
  }
  if (fields.size() != 6 || fields[0] != "argon2id" || fields[1] != "v=19" ||
      !ParseNumber(fields[2], "m", kSealMinMemoryKiB, kSealMaxMemoryKiB, parsed.cost.memoryKiB) ||
      !ParseNumber(fields[3], "t", kSealMinPasses, kSealMaxPasses, parsed.cost.passes) ||
      !ParseNumber(fields[4], "p", 1, kSealMaxLanes, parsed.cost.lanes) || fields[5].compare(0, 5, "salt=") != 0 ||
      !BytesOfHex(WidenString(fields[5].substr(5)), parsed.salt) || parsed.salt.size() < kSealSaltSize ||
      parsed.salt.size() > kSealMaxSaltSize)
    return std::nullopt;
  parsed.keyLine = keyLine;
  parsed.paramsLine = paramsLine;
  return parsed;
}

std::optional<TSealedKey> SealedKeyMake(const ByteArray& recordKey, const String& passphrase) {
  if (recordKey.size() != kGcmKeySize) return std::nullopt;
  TSealedKey made;
  made.salt.assign(kSealSaltSize, 0);
  made.nonce.assign(kGcmNonceSize, 0);
  if (!RandomBytes(made.salt.data(), made.salt.size()) || !RandomBytes(made.nonce.data(), made.nonce.size()))
    return std::nullopt;
  // Each derivation with too few passes tells how many would take long
  // enough; the last one, which did, gives the key.
  made.cost = TArgon2Cost{kSealMinPasses, kSealMinMemoryKiB, kSealLanes};
  TSealWork work;
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    if (!Derive(work, passphrase, made.salt, made.cost)) return std::nullopt;
    const int64_t millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (millis >= kSealMinMillis || made.cost.passes >= kSealMaxPasses) break;
    const uint64_t wanted = made.cost.passes * static_cast<uint64_t>(kSealMinMillis) * 6 / 5 /
                            static_cast<uint64_t>(millis > 0 ? millis : 1);
    made.cost.passes =
        static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(wanted, made.cost.passes + 1), kSealMaxPasses));
  }
  const std::string params = ParamsLine(made.cost, made.salt);
  if (!AesGcmSeal(WrapInput(work.derived, made.nonce, params), recordKey.data(), recordKey.size(), made.sealed))
    return std::nullopt;
  work.line.reserve(kSealedKeyBytes);
  work.line.assign(made.nonce.begin(), made.nonce.end());
  work.line.insert(work.line.end(), made.sealed.begin(), made.sealed.end());
  made.keyLine = HexOfBytes(work.line.data(), work.line.size());
  made.paramsLine = WidenString(params);
  return made;
}

bool SealedKeyOpen(const TSealedKey& sealed, const String& passphrase, ByteArray& recordKey) {
  SecureWipe(recordKey);
  recordKey.clear();
  TSealWork work;
  if (!Derive(work, passphrase, sealed.salt, sealed.cost)) return false;
  const std::string params = NarrowString(sealed.paramsLine);
  if (!AesGcmOpen(WrapInput(work.derived, sealed.nonce, params), sealed.sealed.data(), sealed.sealed.size(),
                  work.opened) ||
      work.opened.size() != kGcmKeySize)
    return false;
  recordKey.reserve(kGcmKeySize);
  recordKey.assign(work.opened.begin(), work.opened.end());
  return true;
}

void SealedKeyRemember(const TSealedKey& sealed, const ByteArray& recordKey) {
  if (SealedKeyUnlocked(sealed.keyLine, sealed.paramsLine)) return;
  TUnlocked& entry = unlocked.emplace_back();
  entry.keyLine = sealed.keyLine;
  entry.paramsLine = sealed.paramsLine;
  entry.key.reserve(recordKey.size());
  entry.key.assign(recordKey.begin(), recordKey.end());
}

const ByteArray* SealedKeyUnlocked(const String& keyLine, const String& paramsLine) {
  for (const TUnlocked& entry : unlocked) {
    if (entry.keyLine == keyLine && entry.paramsLine == paramsLine) return &entry.key;
  }
  return nullptr;
}

void SealedKeyKeepOnly(const String& keyLine) {
  for (auto it = unlocked.begin(); it != unlocked.end();) {
    if (it->keyLine == keyLine) {
      ++it;
      continue;
    }
    SecureWipe(it->key);
    it = unlocked.erase(it);
  }
}

void SealedKeyForgetAll() {
  for (TUnlocked& entry : unlocked) SecureWipe(entry.key);
  unlocked.clear();
}
