// Feeds arbitrary bytes as a key file of the "aes_256_gcm" kind: the key-file
// lock check reads its lines, and the sealed-key reader parses the first two.
// Checks that whatever the reader takes keeps every bound (so no key file can
// ask for unbounded work or a derivation weaker than sealing makes), has the
// sizes sealing writes, and that the lock check agrees with the reader.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/records/KeyFile.h"
#include "app/records/RecordCipher.h"
#include "app/records/SealedKey.h"

namespace {
void SetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  char dir[] = "/tmp/quorvel-fuzz-sealed-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUp();
  FILE* file = fopen("quorvel.key", "wb");
  if (!file) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  if (fclose(file) != 0) abort();

  const TKeyFileLines lines(kKeyFileName);
  const std::optional<TSealedKey> sealed = SealedKeyParse(lines.key, lines.iv);
  if (sealed) {
    const TArgon2Cost& cost = sealed->cost;
    if (cost.memoryKiB < kSealMinMemoryKiB || cost.memoryKiB > kSealMaxMemoryKiB) abort();
    if (cost.passes < kSealMinPasses || cost.passes > kSealMaxPasses) abort();
    if (cost.lanes < 1 || cost.lanes > kSealMaxLanes) abort();
    if (sealed->salt.size() < kSealSaltSize || sealed->salt.size() > kSealMaxSaltSize) abort();
    if (sealed->nonce.size() != 12 || sealed->sealed.size() != 48) abort();
    if (sealed->keyLine != lines.key || sealed->paramsLine != lines.iv) abort();
  }
  const KeyLock lock = KeyFileLock();
  const bool sealedKind = lines.cipher == S("aes_256_gcm") && !lines.iv.empty();
  if (lock != (!sealedKind ? KeyLock::Open : sealed ? KeyLock::Sealed : KeyLock::Damaged)) abort();
  if (unlink("quorvel.key") != 0) abort();
  return 0;
}
