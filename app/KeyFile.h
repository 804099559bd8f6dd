#pragma once

#include "runtime/String.h"

extern const char16_t* const kRecordFileName;  // "quorvel.dat"
extern const char16_t* const kKeyFileName;     // "quorvel.key"

// True when the key file already existed at start-up, so the record file holds
// ciphertext; false when this start-up created the key (a record file, if any,
// is legacy plain text to migrate). Never changes after start-up.
extern bool recordsEncrypted;

enum class KeyGuard {
  Proceed,       // start-up goes on
  KeyLost,       // an encrypted-looking record file without its key file
  Unreadable,    // a record file that exists but cannot be opened for the scan
};

// With a record file present and no key file, scans the record file: only
// "0"-"9", "A"-"F", CR and LF (or nothing at all) means it is encrypted and its
// key is lost.
KeyGuard RunKeyFileGuard();

// Writes a fresh owner-only key file (256-character key, 8-character IV,
// "rc4") when none exists, and sets recordsEncrypted. The file appears whole
// or not at all. Returns false when it could not be written.
bool SettleKeyFile();

extern const char* const kKeyLostMessage;
