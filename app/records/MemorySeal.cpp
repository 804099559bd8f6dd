#include "app/records/MemorySeal.h"

#include <cstring>
#include <memory>

#include "app/generator/RandomSource.h"
#include "crypto/AesCtr.h"
#include "crypto/SecureHeap.h"
#include "runtime/Wipe.h"

namespace {

// After the ciphertext: the counter block it starts at and the number of
// code units, which the blocks were padded from with zeros.
constexpr size_t kUnitsSize = 4;
constexpr size_t kTrailer = kCtrBlockSize + kUnitsSize;

struct TRunKey {
  uint8_t* key = nullptr;  // kCtrKeySize bytes in the secure heap
  uint32_t epoch = 0;      // tells this key's seals from those of the keys before it
  uint64_t blocks = 0;     // keystream blocks used under it: where the next seal starts
  int batches = 0;
  // A batch's keystream, running on from blocks, and its opener.
  std::unique_ptr<TAesCtr> sealer, opener;
};
TRunKey run;
uint32_t epochs = 0;

const uint8_t* Key() {
  if (run.key) return run.key;
  SecureHeapStart();
  auto* key = static_cast<uint8_t*>(SecureAllocate(kCtrKeySize));
  if (!key) return nullptr;
  SecretPin(key, kCtrKeySize);
  if (!RandomBytes(key, kCtrKeySize)) {
    SecureRelease(key, kCtrKeySize);
    return nullptr;
  }
  run.key = key;
  run.epoch = ++epochs;
  run.blocks = 0;
  return run.key;
}

// The counter block of a seal: the key's epoch, then the block number, big-endian.
void Counter(uint32_t epoch, uint64_t block, uint8_t* counter) {
  for (size_t i = 0; i < 4; ++i) counter[i] = static_cast<uint8_t>(epoch >> (24 - 8 * i));
  for (size_t i = 4; i < 8; ++i) counter[i] = 0;
  for (size_t i = 8; i < kCtrBlockSize; ++i) counter[i] = static_cast<uint8_t>(block >> (8 * (15 - i)));
}

uint32_t EpochOf(const uint8_t* counter) {
  return static_cast<uint32_t>(counter[0]) << 24 | counter[1] << 16 | counter[2] << 8 | counter[3];
}

// The keystream from counter over size bytes, in place: the batch's opener
// or one made for the step.
bool RunFrom(const uint8_t* counter, uint8_t* bytes, size_t size) {
  if (run.opener) return run.opener->Start(counter) && run.opener->Run(bytes, size, bytes);
  TAesCtr own(run.key);
  return own.Start(counter) && own.Run(bytes, size, bytes);
}

}  // namespace

bool MemorySeal(const String& plain, ByteArray& sealed) {
  SecureWipe(sealed);
  sealed.clear();
  if (!Key()) return false;
  const size_t size = plain.size() * sizeof(char16_t);
  const size_t padded = (size + kCtrBlockSize - 1) / kCtrBlockSize * kCtrBlockSize;
  sealed.reserve(padded + kTrailer);
  sealed.resize(padded + kTrailer);
  if (size > 0) std::memcpy(sealed.data(), plain.data(), size);
  uint8_t* counter = sealed.data() + padded;
  Counter(run.epoch, run.blocks, counter);
  for (size_t i = 0; i < kUnitsSize; ++i) counter[kCtrBlockSize + i] = static_cast<uint8_t>(plain.size() >> (8 * i));
  const bool sealedNow = run.sealer ? run.sealer->Run(sealed.data(), padded, sealed.data())
                                    : RunFrom(counter, sealed.data(), padded);
  if (!sealedNow) {
    SecureWipe(sealed);
    sealed.clear();
    // The batch's keystream no longer knows where it stands.
    run.sealer.reset();
    return false;
  }
  run.blocks += padded / kCtrBlockSize;
  return true;
}

bool MemoryOpen(const ByteArray& sealed, String& plain) {
  SecureWipe(plain);
  plain.clear();
  if (!run.key || sealed.size() < kTrailer || (sealed.size() - kTrailer) % kCtrBlockSize != 0) return false;
  const size_t padded = sealed.size() - kTrailer;
  const uint8_t* counter = sealed.data() + padded;
  size_t units = 0;
  for (size_t i = 0; i < kUnitsSize; ++i) units |= static_cast<size_t>(counter[kCtrBlockSize + i]) << (8 * i);
  if (EpochOf(counter) != run.epoch || units * sizeof(char16_t) > padded ||
      padded - units * sizeof(char16_t) >= kCtrBlockSize)
    return false;
  // Reserved and pinned before the characters go in.
  plain.reserve(padded / sizeof(char16_t));
  SecretPin(plain);
  plain.resize(padded / sizeof(char16_t));
  auto* bytes = reinterpret_cast<uint8_t*>(plain.data());
  if (padded > 0) std::memcpy(bytes, sealed.data(), padded);
  if (!RunFrom(counter, bytes, padded)) {
    SecureWipe(plain);
    plain.clear();
    return false;
  }
  plain.resize(units);  // what is cut off is the zeros of the padding
  return true;
}

void MemorySealForget() {
  run.sealer.reset();
  run.opener.reset();
  SecureRelease(run.key, kCtrKeySize);
  run.key = nullptr;
  run.blocks = 0;
}

const void* MemorySealKeyAt() { return run.key; }

TMemorySealBatch::TMemorySealBatch() {
  if (run.batches++ > 0 || !Key()) return;
  uint8_t counter[kCtrBlockSize];
  Counter(run.epoch, run.blocks, counter);
  run.sealer = std::make_unique<TAesCtr>(run.key);
  if (!run.sealer->Start(counter)) run.sealer.reset();
  run.opener = std::make_unique<TAesCtr>(run.key);
}

TMemorySealBatch::~TMemorySealBatch() {
  if (--run.batches > 0) return;
  run.sealer.reset();
  run.opener.reset();
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
  static const String secrets[] = {kPasswordField, kNotesField, kOneTimeField, kHistoryField};
  for (const String& secret : secrets)
    if (name == secret) return true;
  return false;
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
