#include "app/records/KeyFile.h"

#include "app/generator/RandomSource.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordKey.h"
#include "app/records/SealedKey.h"
#include "crypto/AesGcm.h"
#include "runtime/AtomicFile.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

const char16_t* const kRecordFileName = u"quorvel.dat";
const char16_t* const kKeyFileName = u"quorvel.key";
const char* const kKeyLostMessage =
    "Quorvel has detected you are trying to launch the program without the required encryption key file "
    "present. Will now exit.";

bool recordsEncrypted = false;

namespace {
bool IsCiphertextByte(int b) { return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F') || b == 13 || b == 10; }
}  // namespace

KeyGuard RunKeyFileGuard() {
  if (PathKind(kRecordFileName) == 0 || PathKind(kKeyFileName) != 0) return KeyGuard::Proceed;
  Ref<TStream> stream = OpenForReading(kRecordFileName);
  if (!stream) return KeyGuard::Unreadable;
  while (!stream->Eof()) {
    if (!IsCiphertextByte(stream->ReadByte())) return KeyGuard::Proceed;  // legacy plain text
  }
  return KeyGuard::KeyLost;
}

KeySettle SettleKeyFile() {
  recordsEncrypted = PathKind(kKeyFileName) != 0;
  if (recordsEncrypted || PathKind(kRecordFileName) != 0) return KeySettle::Ready;
  KeySettle made = WriteFreshKey(kKeyFileName, true);
  if (made == KeySettle::WriteFailed && PathKind(kKeyFileName) != 0) {
    // Another process made one meanwhile: it holds the key from now on.
    recordsEncrypted = true;
    return KeySettle::Ready;
  }
  return made;
}

KeySettle WriteFreshKey(const String& path, bool exclusive, const String* passphrase) {
  ByteArray key(kGcmKeySize, 0);
  if (!RandomBytes(key.data(), key.size())) return KeySettle::RandomFailed;
  std::optional<TSealedKey> sealed;
  if (passphrase) {
    sealed = SealedKeyMake(key, *passphrase);
    if (!sealed) {
      SecureWipe(key);
      return KeySettle::RandomFailed;
    }
  }
  TAtomicFile file(path);
  bool opened = file.Open();
  if (opened) {
    String hex = sealed ? sealed->keyLine : HexOfBytes(key.data(), key.size());
    file.WriteLine(hex);
    file.WriteLine(sealed ? sealed->paramsLine : String());
    file.WriteLine(kGcmCipherName);
    SecureWipe(hex);
  }
  const bool committed = opened && (exclusive ? file.CommitNew() : file.Commit());
  if (committed && sealed) SealedKeyRemember(*sealed, key);
  SecureWipe(key);
  return committed ? KeySettle::Ready : KeySettle::WriteFailed;
}

KeyLock KeyFileLock(const String& keyFile) {
  TKeyFileLines lines(keyFile);
  if (lines.cipher != kGcmCipherName || lines.iv.empty()) return KeyLock::Open;
  if (!SealedKeyParse(lines.key, lines.iv)) return KeyLock::Damaged;
  return SealedKeyUnlocked(lines.key, lines.iv) ? KeyLock::Open : KeyLock::Sealed;
}

bool KeyFileSealed(const String& keyFile) {
  TKeyFileLines lines(keyFile);
  return lines.cipher == kGcmCipherName && !lines.iv.empty();
}

bool KeyFileUnlock(const String& passphrase, const String& keyFile) {
  TKeyFileLines lines(keyFile);
  std::optional<TSealedKey> sealed = SealedKeyParse(lines.key, lines.iv);
  ByteArray key;
  if (!sealed || !SealedKeyOpen(*sealed, passphrase, key)) return false;
  SealedKeyRemember(*sealed, key);
  SecureWipe(key);
  return true;
}
