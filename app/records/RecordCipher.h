#pragma once

#include <cstdint>
#include <string_view>

#include "app/records/KeyFile.h"
#include "crypto/Forward.h"
#include "runtime/Object.h"
#include "runtime/String.h"

// A key file's three lines (key, IV, cipher name), read once; a key file that
// is missing, unreadable or short leaves the missing lines empty. The lines
// are wiped when the object goes.
struct TKeyFileBytes {
  const std::string& bytes;  // a key file's content, as read
};
struct TKeyFileLines {
  String key, iv, cipher;
  explicit TKeyFileLines(const String& keyFile);
  // The same lines from a key file's bytes, by the same line rules.
  explicit TKeyFileLines(TKeyFileBytes file);
  ~TKeyFileLines();
  TKeyFileLines(const TKeyFileLines&) = delete;
  TKeyFileLines& operator=(const TKeyFileLines&) = delete;
};

// The key material of a key file of one of the older kinds ("aes_256_cbc",
// "bf_cbc", "cast5_cbc", "des_cbc", "rc2_cbc", "rc4"), prepared once so that
// every field of a load or save reuses it. One key and one IV encrypt every
// field. The key material is wiped when the object goes.
class TTableCipher {
 public:
  explicit TTableCipher(const TKeyFileLines& lines);
  ~TTableCipher();
  TTableCipher(const TTableCipher&) = delete;
  TTableCipher& operator=(const TTableCipher&) = delete;

  // One field as upper-case hexadecimal, two digits per ciphertext byte.
  // Instead of a result it answers "-3" when the key file's content is
  // unusable (empty or missing IV line, a key length outside the named
  // cipher's range, an unknown cipher name, a missing or short key file) and
  // "-2" when a cipher step fails.
  String Encrypt(const String& text) const;
  // Parses the hexadecimal text back into bytes (each pair as far as it holds
  // hexadecimal digits; a last unpaired character is ignored) and decrypts
  // them. The same sentinels; "-2" also when a block cipher's padding does not
  // check out (a wrong key).
  String Decrypt(const String& text) const;
  // The same answers out of band: false where Encrypt or Decrypt answers a
  // sentinel, so that a field whose text is "-2" or "-3" is an ordinary one.
  bool Encrypt(const String& text, String& hex) const;
  bool Decrypt(const String& hex, String& text) const;
  // False when every answer would be "-3".
  bool Usable() const { return cipher_ != nullptr; }

 private:
  const char16_t* Run(ByteArray& input, ByteArray& result, int32_t direction) const;
  Ref<evp::EVP_CIPHER_CTX> Keyed(int32_t direction) const;

  Ref<evp::EVP_CIPHER> cipher_;  // none when the key file is unusable
  ByteArray key_, keyCopy_, ivCopy_;
  // A context keyed once per direction (none when that failed); every field
  // starts from a copy of it, which is the state a fresh init gives without
  // running the key schedule again.
  Ref<evp::EVP_CIPHER_CTX> keyed_[2];
};

// One field encrypted or decrypted with the key file (quorvel.key unless
// another is named), read for this one call, whatever its kind; a field of an
// "aes_256_gcm" key file counts as the description of record 0. The answers
// of TTableCipher, and of TRecordKey for the new kind.
String EncryptRecordText(const String& text, const String& keyFile = kKeyFileName);
String DecryptRecordText(const String& text, const String& keyFile = kKeyFileName);

// Loads the cipher provider that a key file's cipher needs (libcrypto's
// legacy provider for the older kinds but "aes_256_cbc"). False only when
// that provider cannot be loaded.
bool RecordCipherLoadProvider(const String& cipher);

// Upper-case hexadecimal, two digits per byte.
String HexOfBytes(const uint8_t* bytes, size_t size);
// The bytes of hexadecimal text (either case); false, with out empty, for an
// odd length or any other character.
bool BytesOfHex(const String& hex, ByteArray& out);
// The same of hexadecimal bytes.
bool BytesOfHex(std::string_view hex, ByteArray& out);

// One byte per character: the character's low 8 bits.
ByteArray StringToByteArray(const String& text);

// The number written in text in base fromBase, rewritten in base toBase with
// digits "0"-"9", "A"-"Z"; at least two digits. Empty when a base lies outside
// 2 to 36. Characters outside the digit set count as -1 and digits at or above
// fromBase are not rejected; arithmetic wraps at 32 bits. A negative result
// is written as "-" followed by the digits of its magnitude.
String ConvertBase(const String& text, int32_t fromBase, int32_t toBase);

// Leading white space, an optional sign, then decimal digits, or hexadecimal
// digits after "$", or binary digits after "%"; stops at the first other
// character. No digits give 0. Arithmetic wraps at 32 bits.
int32_t ParseInteger(const String& text);

// The sentinel results of the record cipher.
extern const char16_t* const kKeyFileUnusable;  // "-3"
extern const char16_t* const kCipherFailed;     // "-2"
bool IsRecordCipherSentinel(const String& text);
