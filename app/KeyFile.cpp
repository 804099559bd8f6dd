#include "app/KeyFile.h"

#include "app/PasswordGenerator.h"
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

KeySettle WriteFreshKey(const String& path, bool exclusive) {
  std::optional<String> key = GeneratePassword(32, 1);
  std::optional<String> iv = GeneratePassword(16, 1);
  if (!key || !iv) {
    if (key) SecureWipe(*key);
    return KeySettle::RandomFailed;
  }
  TAtomicFile file(path);
  bool opened = file.Open();
  if (opened) {
    file.WriteLine(*key);
    file.WriteLine(*iv);
    file.WriteLine(S("aes_256_cbc"));
  }
  SecureWipe(*key);
  SecureWipe(*iv);
  const bool committed = opened && (exclusive ? file.CommitNew() : file.Commit());
  return committed ? KeySettle::Ready : KeySettle::WriteFailed;
}
