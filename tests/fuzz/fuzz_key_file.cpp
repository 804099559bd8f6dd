// Feeds arbitrary bytes as the key file: the record cipher reads its three
// lines and picks a cipher from them, the provider loader reads the same file,
// and, as a record file without its key, the start-up guard scans them.
// Checks that every cipher answer is a sentinel or upper-case hexadecimal of
// even length, that a successful encryption decrypts back, and that the guard
// calls exactly the files made only of ciphertext characters "key lost".
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/records/KeyFile.h"
#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"

namespace {
// A private working folder, made once per process: the provider loader and
// the guard look for their files in the working folder.
void SetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  char dir[] = "/tmp/quorvel-fuzz-key-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) abort();
}

void WriteFile(const char* name, const uint8_t* data, size_t size) {
  FILE* file = fopen(name, "wb");
  if (!file) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  if (fclose(file) != 0) abort();
}

bool IsUpperHex(const String& text) {
  if (text.size() % 2 != 0) return false;
  for (char16_t c : text) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

bool IsCiphertextByte(uint8_t b) { return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F') || b == 13 || b == 10; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUp();
  WriteFile("quorvel.key", data, size);

  // Long enough to need a second block from every block cipher in the table.
  const String field = S("field \x01\x7f\xff 0123456789");
  String cipher = EncryptRecordText(field, kKeyFileName);
  String back = DecryptRecordText(cipher, kKeyFileName);
  if (cipher == kKeyFileUnusable) {
    // Whether the key file is usable does not depend on the direction.
    if (back != kKeyFileUnusable) abort();
  } else if (cipher == kCipherFailed) {
    if (back == kKeyFileUnusable) abort();
  } else {
    if (cipher.empty() || !IsUpperHex(cipher)) abort();
    if (back != field) abort();
    // Decrypting arbitrary text with a usable key answers a sentinel or some
    // plaintext, never "key file unusable".
    String text = WidenString(std::string_view(reinterpret_cast<const char*>(data), size));
    if (DecryptRecordText(text, kKeyFileName) == kKeyFileUnusable) abort();
  }
  // The legacy provider loads in this process, so no key file makes this fail.
  if (!RecordCipherLoadProvider(TKeyFileLines(kKeyFileName).cipher)) abort();
  // The key file held for a run reads its lines as the file reader does.
  PairKeyForget();
  if (!PairKeyLoad()) abort();
  {
    const TKeyFileLines fromFile(kKeyFileName);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const TKeyFileLines fromBytes(TKeyFileBytes{bytes});
    if (fromFile.key != fromBytes.key || fromFile.iv != fromBytes.iv || fromFile.cipher != fromBytes.cipher) abort();
  }
  if (!PairKeyOnDiskUnchanged()) abort();
  // Beside a key file the guard never scans.
  if (RunKeyFileGuard() != KeyGuard::Proceed) abort();

  if (unlink("quorvel.key") != 0) abort();
  WriteFile("quorvel.dat", data, size);
  bool onlyCiphertext = true;
  for (size_t i = 0; i < size; ++i) onlyCiphertext = onlyCiphertext && IsCiphertextByte(data[i]);
  if (RunKeyFileGuard() != (onlyCiphertext ? KeyGuard::KeyLost : KeyGuard::Proceed)) abort();
  if (unlink("quorvel.dat") != 0) abort();
  return 0;
}
