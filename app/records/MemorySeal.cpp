#include "app/records/MemorySeal.h"

#include <memory>

#include "app/generator/RandomSource.h"
#include "crypto/AesGcm.h"
#include "crypto/SecureHeap.h"
#include "runtime/Wipe.h"

namespace {

struct TRunKey {
  uint8_t* key = nullptr;  // kGcmKeySize bytes in the secure heap
  uint64_t sealed = 0;     // messages sealed under it: the next nonce
  int batches = 0;
  std::unique_ptr<TAesGcm> shared;
};
TRunKey run;

const uint8_t* Key() {
  if (run.key) return run.key;
  SecureHeapStart();
  auto* key = static_cast<uint8_t*>(SecureAllocate(kGcmKeySize));
  if (!key) return nullptr;
  SecretPin(key, kGcmKeySize);
  if (!RandomBytes(key, kGcmKeySize)) {
    SecureRelease(key, kGcmKeySize);
    return nullptr;
  }
  run.key = key;
  run.sealed = 0;
  return run.key;
}

// The cipher of one step: the batch's shared one, or one of its own.
template <class Step>
bool WithCipher(Step step) {
  const uint8_t* key = Key();
  if (!key) return false;
  if (run.shared) return step(*run.shared);
  TAesGcm own(key);
  return step(own);
}

void Nonce(uint64_t count, uint8_t* nonce) {
  for (size_t i = 0; i < kGcmNonceSize; ++i) nonce[i] = i < 8 ? static_cast<uint8_t>(count >> (8 * i)) : 0;
}

}  // namespace

bool MemorySeal(const String& plain, ByteArray& sealed) {
  SecureWipe(sealed);
  sealed.clear();
  return WithCipher([&](TAesGcm& cipher) {
    uint8_t nonce[kGcmNonceSize];
    Nonce(run.sealed++, nonce);
    const TGcmInput input{nullptr, nonce, nullptr, 0};
    const size_t size = plain.size() * sizeof(char16_t);
    // Room for the nonce after the tag from the start: one allocation.
    sealed.reserve(size + kGcmTagSize + kGcmNonceSize);
    if (!cipher.Seal(input, reinterpret_cast<const uint8_t*>(plain.data()), size, sealed)) return false;
    sealed.insert(sealed.end(), nonce, nonce + kGcmNonceSize);
    return true;
  });
}

bool MemoryOpen(const ByteArray& sealed, String& plain) {
  SecureWipe(plain);
  plain.clear();
  if (sealed.size() < kGcmNonceSize + kGcmTagSize || !run.key) return false;
  return WithCipher([&](TAesGcm& cipher) {
    const size_t body = sealed.size() - kGcmNonceSize;
    const TGcmInput input{nullptr, sealed.data() + body, nullptr, 0};
    ByteArray bytes;
    if (!cipher.Open(input, sealed.data(), body, bytes) ||
        bytes.size() % sizeof(char16_t) != 0) {
      SecureWipe(bytes);
      return false;
    }
    // Reserved and pinned before the characters go in.
    plain.reserve(bytes.size() / sizeof(char16_t));
    SecretPin(plain);
    plain.resize(bytes.size() / sizeof(char16_t));
    if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), reinterpret_cast<uint8_t*>(plain.data()));
    SecureWipe(bytes);
    return true;
  });
}

void MemorySealForget() {
  run.shared.reset();
  SecureRelease(run.key, kGcmKeySize);
  run.key = nullptr;
  run.sealed = 0;
}

const void* MemorySealKeyAt() { return run.key; }

TMemorySealBatch::TMemorySealBatch() {
  if (run.batches++ == 0 && Key()) run.shared = std::make_unique<TAesGcm>(run.key);
}

TMemorySealBatch::~TMemorySealBatch() {
  if (--run.batches == 0) run.shared.reset();
}

TSecret::TSecret(const String& plain) {
  padded_ = !plain.empty() && (plain.front() <= u' ' || plain.back() <= u' ');
  if (plain.empty() || MemorySeal(plain, sealed_)) return;
  plain_ = true;
  const auto* bytes = reinterpret_cast<const uint8_t*>(plain.data());
  sealed_.assign(bytes, bytes + plain.size() * sizeof(char16_t));
}

TSecret::~TSecret() { Wipe(); }

void TSecret::Wipe() {
  SecureWipe(sealed_);
  sealed_.clear();
  plain_ = padded_ = false;
}

bool TSecret::AsStoredLine(TStoredLine& line) const {
  if (plain_) return false;
  line = TStoredLine();
  line.kind = TStoredKind::Memory;
  line.unopened = true;
  line.bytes = sealed_;
  return true;
}

String TSecret::Open() const {
  String plain;
  if (plain_)
    plain.assign(reinterpret_cast<const char16_t*>(sealed_.data()), sealed_.size() / sizeof(char16_t));
  else if (!sealed_.empty())
    MemoryOpen(sealed_, plain);
  return plain;
}

bool TSecret::operator==(const TSecret& other) const {
  if (sealed_.empty() || other.sealed_.empty()) return sealed_.empty() && other.sealed_.empty();
  String mine = Open(), theirs = other.Open();
  const bool same = mine == theirs;
  SecureWipe(mine);
  SecureWipe(theirs);
  return same;
}

bool IsSecretField(const String& name) {
  return name == kPasswordField || name == kNotesField || name == kOneTimeField || name == kHistoryField;
}

void RecordFieldSeal(TField& field) {
  if (field.stored || !IsSecretField(field.name)) return;
  TStoredLine& line = field.stored.emplace();
  line.kind = TStoredKind::Memory;
  line.unopened = true;
  if (!MemorySeal(field.value, line.bytes)) {
    // No run key could be made: the value is held as it was.
    field.stored.reset();
    return;
  }
  SecureWipe(field.value);
  field.value.clear();
}

void RecordFieldsSeal(std::vector<TField>& fields) {
  for (TField& field : fields) RecordFieldSeal(field);
}

void RecordFieldsSeal(std::vector<TRecordFields>& records) {
  TMemorySealBatch batch;
  for (TRecordFields& record : records) RecordFieldsSeal(record.fields);
}
