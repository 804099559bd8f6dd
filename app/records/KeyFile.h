#pragma once

#include <optional>
#include <string>

#include "app/records/SealedKey.h"
#include "runtime/String.h"

struct TKeyFileLines;

extern const char16_t* const kRecordFileName;  // "quorvel.dat"
extern const char16_t* const kKeyFileName;     // "quorvel.key"

// True when the key file already existed at start-up, so the record file holds
// ciphertext; false when this start-up created the key (a record file, if any,
// is legacy plain text to migrate). Never changes after start-up.
extern bool recordsEncrypted;

enum class KeyGuard {
  Proceed,        // start-up goes on
  KeyLost,        // an encrypted-looking record file without its key file
  Unreadable,     // a record file that exists but cannot be read (or is no regular file)
  KeyNotRegular,  // quorvel.key is a FIFO, a device or a folder (or a link to one)
};

// With a record file present and no key file, scans the record file: only
// "0"-"9", "A"-"F", CR and LF (or nothing at all) means it is encrypted and its
// key is lost.
KeyGuard RunKeyFileGuard();

enum class KeySettle {
  Ready,         // a key file is there (found or created)
  WriteFailed,   // no key file could be written
  RandomFailed,  // the system's random source failed; nothing was written
};

// Sets recordsEncrypted: true when the key file exists. Without a key file and
// without a record file it writes a fresh one (WriteFreshKey), exclusively: a
// key file that appears meanwhile is used, never replaced. Beside a legacy
// plain record file it writes nothing: the migration makes the key together
// with the encrypted records.
KeySettle SettleKeyFile();

// A fresh key of the "aes_256_gcm" kind, not yet in a file: the 256-bit
// record key from the system's random source and the bytes of its key file
// (64 hexadecimal digits, an empty second line and "aes_256_gcm", each line
// ending in CR LF; with a passphrase, the key sealed under it instead). Wiped
// when it goes.
struct TFreshKey {
  ByteArray key;
  std::string fileBytes;
  std::optional<TSealedKey> sealed;
  ~TFreshKey();
};
// False when the random source or the sealing failed.
bool MakeFreshKey(const String* passphrase, TFreshKey& fresh);

// Writes the key file fileBytes (three lines) at path, owner-only and whole
// or not at all; with exclusive set, only where nothing exists yet.
bool WriteKeyFile(const String& path, const std::string& fileBytes, bool exclusive);

// Writes an owner-only key file of the "aes_256_gcm" kind at path: a fresh
// 256-bit record key from the system's random source, as 64 hexadecimal
// digits, an empty second line and "aes_256_gcm"; with a passphrase, the key
// sealed under it instead (SealedKey.h), and remembered as unlocked. The
// file appears whole or not at all; with exclusive set, only where nothing
// exists yet.
KeySettle WriteFreshKey(const String& path, bool exclusive, const String* passphrase = nullptr);

enum class KeyLock {
  Open,     // the key file needs no passphrase (or is unusable as it always was)
  Sealed,   // a sealed "aes_256_gcm" key file, not unlocked yet
  Damaged,  // a sealed key file whose first two lines cannot be read
};
KeyLock KeyFileLock(const String& keyFile = kKeyFileName);
KeyLock KeyLinesLock(const TKeyFileLines& lines);
// True for a sealed key file, unlocked or not.
bool KeyFileSealed(const String& keyFile = kKeyFileName);
bool KeyLinesSealed(const TKeyFileLines& lines);

// Opens the sealed key file with passphrase and remembers its record key.
// False for a wrong passphrase; nothing is written either way.
bool KeyFileUnlock(const String& passphrase, const String& keyFile = kKeyFileName);
bool KeyLinesUnlock(const TKeyFileLines& lines, const String& passphrase);

extern const char* const kKeyLostMessage;
