// Feeds arbitrary text to the record cipher's parsers: decryption of a stored
// line (hexadecimal pairs read with ParseInteger), ParseInteger and
// ConvertBase themselves, and checks that encryption round-trips.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/records/RecordCipher.h"
#include "crypto/Crypto.h"

namespace {
// A private folder with a key file, made once per process.
void SetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  char dir[] = "/tmp/quorvel-fuzz-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) abort();
  FILE* key = fopen("quorvel.key", "wb");
  if (!key) abort();
  fputs("0123456789ABCDEFabcdef0123456789\r\nIvIvIvIv\r\nrc4\r\n", key);
  fclose(key);
  if (!CryptoLoadLegacy()) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUp();
  String text = WidenString(std::string_view(reinterpret_cast<const char*>(data), size));
  (void)DecryptRecordText(text);
  (void)ParseInteger(text);
  if (size >= 2) (void)ConvertBase(text.substr(2), data[0] % 40, data[1] % 40);
  String cipher = EncryptRecordText(text);
  if (cipher.size() != 2 * text.size()) abort();
  if (DecryptRecordText(cipher) != WidenString(NarrowString(text))) abort();
  return 0;
}
