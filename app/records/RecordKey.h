#pragma once

#include <cstddef>
#include <memory>

#include "app/records/KeyFile.h"
#include "app/records/RecordCipher.h"
#include "crypto/AesGcm.h"
#include "runtime/String.h"

enum class RecordField { Description, Password };

// The key of one key file, read once for a whole load or save, whatever the
// file's kind:
//   - the older kinds ("rc4", "aes_256_cbc", ...): TTableCipher, one key and
//     one IV for every field, answers as they always were;
//   - "aes_256_gcm": AES-256-GCM with a fresh 96-bit nonce from getrandom for
//     every field written and a 128-bit tag; the associated data name the
//     record's index and whether the field is its description or its
//     password, so a line that is changed, swapped or moved fails to decrypt.
//     A sealed key file gives its key only once it was unlocked in this
//     process (SealedKeyRemember); before that it is unusable.
// Key material is wiped when the object goes.
class TRecordKey {
 public:
  explicit TRecordKey(const String& keyFile = kKeyFileName);
  explicit TRecordKey(const TKeyFileLines& lines);
  // An open "aes_256_gcm" key of kGcmKeySize bytes (a fresh key not yet in a file).
  explicit TRecordKey(const ByteArray& gcmKey);
  ~TRecordKey();
  TRecordKey(const TRecordKey&) = delete;
  TRecordKey& operator=(const TRecordKey&) = delete;

  // The same "aes_256_gcm" key with a cipher context of its own, for another
  // thread; null for the older kinds and an unusable key.
  std::unique_ptr<TRecordKey> Twin() const;

  // True for the "aes_256_gcm" kind, sealed or not.
  bool Authenticated() const { return authenticated_; }
  // False when every answer would be "-3".
  bool Usable() const;

  // The authenticated kind: text sealed as nonce (fresh from getrandom) ||
  // ciphertext || tag, with ad as associated data. False, with out empty,
  // when the key is unusable or a step fails.
  bool Seal(const String& text, const std::string& ad, ByteArray& out) const;
  // Opens nonce || ciphertext || tag; false, with text empty, when the key
  // is unusable, the bytes are too short or the tag fails.
  bool Open(const uint8_t* sealed, size_t size, const std::string& ad, String& text) const;
  // The older kinds: one field as hexadecimal and back, out of band.
  bool TableEncrypt(const String& text, String& hex) const;
  bool TableDecrypt(const String& hex, String& text) const;

  // One field as an upper-case hexadecimal line. Sentinels: "-3" for an
  // unusable key file, "-2" when a cipher step or the random source fails.
  String Encrypt(const String& text, size_t record, RecordField field) const;
  // The field of a line; "-2" also when an authenticated line is not
  // hexadecimal, too short, or fails its tag.
  String Decrypt(const String& line, size_t record, RecordField field) const;

 private:
  void Prepare(const TKeyFileLines& lines);

  bool authenticated_ = false;
  ByteArray gcmKey_;  // 32 bytes, or empty when unusable
  std::unique_ptr<TAesGcm> gcm_;
  std::unique_ptr<TTableCipher> table_;
};

// The associated data of a field of the "aes_256_gcm" kind:
// "quorvel record <index> description" or "quorvel record <index> password".
std::string RecordFieldAssociatedData(size_t record, RecordField field);

extern const char16_t* const kGcmCipherName;  // "aes_256_gcm"
