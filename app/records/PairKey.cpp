#include "app/records/PairKey.h"

#include <stdlib.h>

#include <memory>

#include "app/records/SealedKey.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

const char16_t* const kKeyFileChangedMessage = u"quorvel.key was changed by another program; nothing was written.";

namespace {
struct THeld {
  bool loaded = false;
  std::string bytes;
  std::unique_ptr<TRecordKey> key;  // made on first use, after an unlock

  void Forget() {
    SecureWipe(bytes.data(), bytes.size());
    bytes.clear();
    key.reset();
    loaded = false;
  }
};
// Never destroyed as a static: the record key must go before the cipher
// library's own clean-up at exit, so it is wiped by an exit handler
// registered after the library started.
THeld& held = *new THeld;
bool exitHandlerSet = false;
}  // namespace

bool PairKeyLoad(std::string* why) {
  held.Forget();
  std::string bytes;
  TOpenRefusal refusal = TOpenRefusal::None;
  if (!ReadRegularFile(kKeyFileName, kKeyFileCap, bytes, &refusal)) {
    SecureWipe(bytes.data(), bytes.size());
    if (why) {
      *why = refusal == TOpenRefusal::NotRegular ? "quorvel.key is not a regular file (a FIFO, a device or a folder, "
                                                   "or a link to one)"
             : refusal == TOpenRefusal::TooLarge ? "quorvel.key is larger than a key file can be (64 KiB)"
                                                 : "quorvel.key cannot be read";
    }
    return false;
  }
  PairKeyAdopt(bytes);
  SecureWipe(bytes.data(), bytes.size());
  return true;
}

void PairKeyAdopt(const std::string& fileBytes) {
  held.Forget();
  held.bytes.reserve(fileBytes.size());
  held.bytes.assign(fileBytes);
  held.loaded = true;
  // Only the key of the key file held stays unlocked in this process.
  SealedKeyKeepOnly(TKeyFileLines(TKeyFileBytes{held.bytes}).key);
}

const TRecordKey* PairKeyGet() {
  if (!held.loaded) return nullptr;
  // Made again until it is usable: a sealed key gives its key only once unlocked.
  if (!held.key || !held.key->Usable())
    held.key = std::make_unique<TRecordKey>(TKeyFileLines(TKeyFileBytes{held.bytes}));
  if (!exitHandlerSet) exitHandlerSet = atexit(PairKeyForget) == 0;
  return held.key.get();
}

bool PairKeySealed() { return KeyLinesSealed(TKeyFileLines(TKeyFileBytes{held.bytes})); }

KeyLock PairKeyLock() { return KeyLinesLock(TKeyFileLines(TKeyFileBytes{held.bytes})); }

bool PairKeyUnlock(const String& passphrase) {
  const bool opened = KeyLinesUnlock(TKeyFileLines(TKeyFileBytes{held.bytes}), passphrase);
  if (opened) held.key.reset();
  return opened;
}

String PairKeyCipher() { return TKeyFileLines(TKeyFileBytes{held.bytes}).cipher; }

bool PairKeyOnDiskUnchanged() {
  std::string bytes;
  TOpenRefusal refusal = TOpenRefusal::None;
  const bool read = ReadRegularFile(kKeyFileName, kKeyFileCap, bytes, &refusal);
  const bool same = held.loaded ? read && bytes == held.bytes : refusal == TOpenRefusal::Missing;
  SecureWipe(bytes.data(), bytes.size());
  return same;
}

void PairKeyForget() { held.Forget(); }

void PairKeyRelock() {
  held.key.reset();
  SealedKeyForgetAll();
}
