#pragma once

#include <cstdint>

#include "app/KeyFile.h"
#include "runtime/String.h"

// Encrypts one record field with the key material of the key file (read anew
// on every call; quorvel.key unless another key file is named) and returns it as upper-case hexadecimal, two digits per
// ciphertext byte. Instead of a result it answers "-3" when the key file's
// content is unusable (empty or missing IV line, a key length outside the
// named cipher's range, an unknown cipher name, a missing or short key file)
// and "-2" when a cipher step fails.
String EncryptRecordText(const String& text, const String& keyFile = kKeyFileName);

// Parses the hexadecimal text back into bytes (each pair as far as it holds
// hexadecimal digits; a last unpaired character is ignored) and decrypts them.
// Answers the same sentinels as EncryptRecordText; "-2" also when a block
// cipher's padding does not check out (a wrong key).
String DecryptRecordText(const String& text, const String& keyFile = kKeyFileName);

// Loads the cipher provider that the key file's cipher needs (libcrypto's
// legacy provider for every cipher but "aes_256_cbc"). False only when that
// provider cannot be loaded.
bool RecordCipherLoadProvider();

// The cipher name on the key file's third line (empty when it has none).
String RecordKeyFileCipher();

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
