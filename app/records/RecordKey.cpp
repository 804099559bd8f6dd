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

TRecordKey::TRecordKey(const String& keyFile) { Prepare(TKeyFileLines(keyFile)); }

TRecordKey::TRecordKey(const TKeyFileLines& lines) { Prepare(lines); }

TRecordKey::TRecordKey(const ByteArray& gcmKey) : authenticated_(true) {
  if (gcmKey.size() != kGcmKeySize) return;
  gcmKey_.reserve(gcmKey.size());
  SecretPin(gcmKey_.data(), gcmKey_.capacity());
  gcmKey_.assign(gcmKey.begin(), gcmKey.end());
  gcm_ = std::make_unique<TAesGcm>(gcmKey_.data());
}

std::unique_ptr<TRecordKey> TRecordKey::Twin() const {
  if (!authenticated_ || gcmKey_.size() != kGcmKeySize) return nullptr;
  return std::make_unique<TRecordKey>(gcmKey_);
}

void TRecordKey::Prepare(const TKeyFileLines& lines) {
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
  if (gcmKey_.empty()) return;
  SecretPin(gcmKey_.data(), gcmKey_.size());
  gcm_ = std::make_unique<TAesGcm>(gcmKey_.data());
}

TRecordKey::~TRecordKey() { SecureWipe(gcmKey_); }

bool TRecordKey::Usable() const { return authenticated_ ? !gcmKey_.empty() : table_->Usable(); }

bool TRecordKey::Seal(const String& text, const std::string& ad, ByteArray& out) const {
  out.clear();
  if (!authenticated_ || gcmKey_.empty()) return false;
  TGcmWork work;
  work.plain = StringToBytes(text);
  if (!RandomBytes(work.nonce, sizeof work.nonce)) return false;
  if (!gcm_->Seal(GcmInput(gcmKey_, work.nonce, ad), work.plain.data(), work.plain.size(), work.sealed)) return false;
  out.reserve(sizeof work.nonce + work.sealed.size());
  out.assign(work.nonce, work.nonce + sizeof work.nonce);
  out.insert(out.end(), work.sealed.begin(), work.sealed.end());
  return true;
}

bool TRecordKey::Open(const uint8_t* sealed, size_t size, const std::string& ad, String& text) const {
  text.clear();
  if (!authenticated_ || gcmKey_.empty() || size < kGcmNonceSize + kGcmTagSize) return false;
  TGcmWork work;
  if (!gcm_->Open(GcmInput(gcmKey_, sealed, ad), sealed + kGcmNonceSize, size - kGcmNonceSize, work.plain))
    return false;
  text = BytesToString(work.plain.data(), work.plain.size());
  return true;
}

bool TRecordKey::TableEncrypt(const String& text, String& hex) const {
  return !authenticated_ && table_->Encrypt(text, hex);
}

bool TRecordKey::TableDecrypt(const String& hex, String& text) const {
  return !authenticated_ && table_->Decrypt(hex, text);
}

String TRecordKey::Encrypt(const String& text, size_t record, RecordField field) const {
  if (!authenticated_) return table_->Encrypt(text);
  if (gcmKey_.empty()) return kKeyFileUnusable;
  TGcmWork work;
  if (!Seal(text, RecordFieldAssociatedData(record, field), work.line)) return kCipherFailed;
  return HexOfBytes(work.line.data(), work.line.size());
}

String TRecordKey::Decrypt(const String& line, size_t record, RecordField field) const {
  if (!authenticated_) return table_->Decrypt(line);
  if (gcmKey_.empty()) return kKeyFileUnusable;
  TGcmWork work;
  String text;
  if (!BytesOfHex(line, work.line) ||
      !Open(work.line.data(), work.line.size(), RecordFieldAssociatedData(record, field), text))
    return kCipherFailed;
  return text;
}

String EncryptRecordText(const String& text, const String& keyFile) {
  return TRecordKey(keyFile).Encrypt(text, 0, RecordField::Description);
}

String DecryptRecordText(const String& text, const String& keyFile) {
  return TRecordKey(keyFile).Decrypt(text, 0, RecordField::Description);
}
