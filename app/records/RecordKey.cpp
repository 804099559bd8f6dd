#include "app/records/RecordKey.h"

#include "app/generator/RandomSource.h"
#include "app/records/SealedKey.h"
#include "crypto/AesGcm.h"
#include "runtime/Wipe.h"

const char16_t* const kGcmCipherName = u"aes_256_gcm";

namespace {
// Every buffer of one authenticated field; wiped whichever way the call ends.
struct TGcmWork {
  ByteArray plain, sealed, line;
  uint8_t nonce[kGcmNonceSize] = {};
  ~TGcmWork() {
    SecureWipe(plain);
    SecureWipe(sealed);
    SecureWipe(line);
    SecureWipe(nonce, sizeof nonce);
  }
};

TGcmInput GcmInput(const ByteArray& key, const uint8_t* nonce, const std::string& ad) {
  return TGcmInput{key.data(), nonce, reinterpret_cast<const uint8_t*>(ad.data()), ad.size()};
}
}  // namespace

std::string RecordFieldAssociatedData(size_t record, RecordField field) {
  return "quorvel record " + std::to_string(record) +
         (field == RecordField::Description ? " description" : " password");
}

TRecordKey::TRecordKey(const String& keyFile) {
  TKeyFileLines lines(keyFile);
  if (lines.cipher != kGcmCipherName) {
    table_ = std::make_unique<TTableCipher>(lines);
    return;
  }
  authenticated_ = true;
  if (lines.iv.empty()) {
    if (!BytesOfHex(lines.key, gcmKey_) || gcmKey_.size() != kGcmKeySize) {
      SecureWipe(gcmKey_);
      gcmKey_.clear();
    }
  } else if (const ByteArray* unlocked = SealedKeyUnlocked(lines.key, lines.iv)) {
    gcmKey_.reserve(unlocked->size());
    gcmKey_.assign(unlocked->begin(), unlocked->end());
  }
  if (!gcmKey_.empty()) gcm_ = std::make_unique<TAesGcm>(gcmKey_.data());
}

TRecordKey::~TRecordKey() { SecureWipe(gcmKey_); }

bool TRecordKey::Usable() const { return authenticated_ ? !gcmKey_.empty() : table_->Usable(); }

String TRecordKey::Encrypt(const String& text, size_t record, RecordField field) const {
  if (!authenticated_) return table_->Encrypt(text);
  if (gcmKey_.empty()) return kKeyFileUnusable;
  TGcmWork work;
  work.plain = StringToBytes(text);
  if (!RandomBytes(work.nonce, sizeof work.nonce)) return kCipherFailed;
  const std::string ad = RecordFieldAssociatedData(record, field);
  if (!gcm_->Seal(GcmInput(gcmKey_, work.nonce, ad), work.plain.data(), work.plain.size(), work.sealed))
    return kCipherFailed;
  work.line.reserve(sizeof work.nonce + work.sealed.size());
  work.line.assign(work.nonce, work.nonce + sizeof work.nonce);
  work.line.insert(work.line.end(), work.sealed.begin(), work.sealed.end());
  return HexOfBytes(work.line.data(), work.line.size());
}

String TRecordKey::Decrypt(const String& line, size_t record, RecordField field) const {
  if (!authenticated_) return table_->Decrypt(line);
  if (gcmKey_.empty()) return kKeyFileUnusable;
  TGcmWork work;
  if (!BytesOfHex(line, work.line) || work.line.size() < kGcmNonceSize + kGcmTagSize) return kCipherFailed;
  const std::string ad = RecordFieldAssociatedData(record, field);
  if (!gcm_->Open(GcmInput(gcmKey_, work.line.data(), ad), work.line.data() + kGcmNonceSize,
                  work.line.size() - kGcmNonceSize, work.plain))
    return kCipherFailed;
  return BytesToString(work.plain.data(), work.plain.size());
}

String EncryptRecordText(const String& text, const String& keyFile) {
  return TRecordKey(keyFile).Encrypt(text, 0, RecordField::Description);
}

String DecryptRecordText(const String& text, const String& keyFile) {
  return TRecordKey(keyFile).Decrypt(text, 0, RecordField::Description);
}
