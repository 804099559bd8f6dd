#include "app/records/KeyFile.h"

#include <sys/stat.h>

#include "app/generator/RandomSource.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordKey.h"
#include "app/records/RecordLayout.h"
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
  // What stands at either name must be a regular file: a FIFO or a device is
  // never read, and never replaced.
  for (const char16_t* name : {kKeyFileName, kRecordFileName}) {
    struct stat st;
    if (::stat(NarrowString(name).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      return name == kKeyFileName ? KeyGuard::KeyNotRegular : KeyGuard::Unreadable;
  }
  if (PathKind(kRecordFileName) == 0 || PathKind(kKeyFileName) != 0) return KeyGuard::Proceed;
  Ref<TStream> stream = OpenRegularForReading(kRecordFileName, kRecordFileCap);
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

TFreshKey::~TFreshKey() {
  SecureWipe(key);
  SecureWipe(fileBytes.data(), fileBytes.size());
}

bool MakeFreshKey(const String* passphrase, TFreshKey& fresh) {
  fresh.key.assign(kGcmKeySize, 0);
  if (!RandomBytes(fresh.key.data(), fresh.key.size())) return false;
  if (passphrase) {
    fresh.sealed = SealedKeyMake(fresh.key, *passphrase);
    if (!fresh.sealed) return false;
  }
  String hex = fresh.sealed ? fresh.sealed->keyLine : HexOfBytes(fresh.key.data(), fresh.key.size());
  const std::string second = fresh.sealed ? NarrowString(fresh.sealed->paramsLine) : std::string();
  fresh.fileBytes.reserve(hex.size() + second.size() + 20);
  for (char16_t c : hex) fresh.fileBytes.push_back(static_cast<char>(c));
  fresh.fileBytes += "\r\n" + second + "\r\n" + NarrowString(kGcmCipherName) + "\r\n";
  SecureWipe(hex);
  return true;
}

bool WriteKeyFile(const String& path, const std::string& fileBytes, bool exclusive) {
  TAtomicFile file(path);
  if (!file.Open()) return false;
  const TKeyFileLines lines(TKeyFileBytes{fileBytes});
  for (const String* line : {&lines.key, &lines.iv, &lines.cipher}) file.WriteLine(*line);
  return exclusive ? file.CommitNew() : file.Commit();
}

KeySettle WriteFreshKey(const String& path, bool exclusive, const String* passphrase) {
  TFreshKey fresh;
  if (!MakeFreshKey(passphrase, fresh)) return KeySettle::RandomFailed;
  const bool committed = WriteKeyFile(path, fresh.fileBytes, exclusive);
  if (committed && fresh.sealed) SealedKeyRemember(*fresh.sealed, fresh.key);
  return committed ? KeySettle::Ready : KeySettle::WriteFailed;
}

KeyLock KeyFileLock(const String& keyFile) { return KeyLinesLock(TKeyFileLines(keyFile)); }

KeyLock KeyLinesLock(const TKeyFileLines& lines) {
  if (lines.cipher != kGcmCipherName || lines.iv.empty()) return KeyLock::Open;
  if (!SealedKeyParse(lines.key, lines.iv)) return KeyLock::Damaged;
  return SealedKeyUnlocked(lines.key, lines.iv) ? KeyLock::Open : KeyLock::Sealed;
}

bool KeyFileSealed(const String& keyFile) { return KeyLinesSealed(TKeyFileLines(keyFile)); }

bool KeyLinesSealed(const TKeyFileLines& lines) { return lines.cipher == kGcmCipherName && !lines.iv.empty(); }

bool KeyFileUnlock(const String& passphrase, const String& keyFile) {
  return KeyLinesUnlock(TKeyFileLines(keyFile), passphrase);
}

bool KeyLinesUnlock(const TKeyFileLines& lines, const String& passphrase) {
  std::optional<TSealedKey> sealed = SealedKeyParse(lines.key, lines.iv);
  ByteArray key;
  if (!sealed || !SealedKeyOpen(*sealed, passphrase, key)) return false;
  SealedKeyRemember(*sealed, key);
  SecureWipe(key);
  return true;
}
