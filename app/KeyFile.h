#pragma once

#include "runtime/String.h"

extern const char16_t* const kRecordFileName;  // "quorvel.dat"
extern const char16_t* const kKeyFileName;     // "quorvel.key"

// True when the key file already existed at start-up, so the record file holds
// ciphertext; false when this start-up created the key (a record file, if any,
// is legacy plain text to migrate). Never changes after start-up.
extern bool recordsEncrypted;

enum class KeyGuard {
  Proceed,     // start-up goes on
  KeyLost,     // an encrypted-looking record file without its key file
  Unreadable,  // a record file that exists but cannot be opened for the scan
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

// Writes an owner-only key file at path: a 32-character key and a
// 16-character IV drawn from the system's random source, and "aes_256_cbc".
// The file appears whole or not at all; with exclusive set, only where nothing
// exists yet.
KeySettle WriteFreshKey(const String& path, bool exclusive);

extern const char* const kKeyLostMessage;
