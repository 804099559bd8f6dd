#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "app/records/PairKey.h"
#include "app/records/RecordFile.h"
#include "tests/unit/TempDir.h"

// Loads the pair as a new start would: the key file is read again.
inline bool Reload(bool encrypted = true) {
  PairKeyForget();
  return LoadRecords(encrypted) == TLoadResult::Loaded;
}

// Writes quorvel.key with the three lines as given, each ending in CR LF.
inline void WriteKeyFile(const std::string& key, const std::string& iv, const std::string& cipher) {
  TempDir::Write("quorvel.key", key + "\r\n" + iv + "\r\n" + cipher + "\r\n");
}

inline std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), 0, 16)));
  return bytes;
}

inline std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex.push_back(digits[b >> 4]);
    hex.push_back(digits[b & 15]);
  }
  return hex;
}

// Decrypts raw ciphertext bytes with the openssl command-line tool, as an
// independent check of what the program writes. Key and IV are hexadecimal;
// the tool zero-pads short ones to the cipher's lengths.
inline std::string OpensslDecrypt(const std::string& cipher, const std::string& keyHex, const std::string& ivHex,
                                  const std::string& ciphertext) {
  TempDir::Write("openssl.in", ciphertext);
  remove("openssl.out");
  std::string command = "openssl enc -d -" + cipher + " -provider legacy -provider default -nosalt -K " + keyHex +
                        (ivHex.empty() ? "" : " -iv " + ivHex) + " -in openssl.in -out openssl.out 2>/dev/null";
  if (system(command.c_str()) != 0) return "<openssl failed>";
  return TempDir::Read("openssl.out");
}

// Every field of the "aes_256_gcm" pair in the working directory, one per
// line, as the independent reader of tests/e2e/quorvel_files.py (Python's
// cryptography and argon2 packages) decrypts them; "<not authentic>" when it
// refuses. A sealed key file is opened with passphrase.
inline std::string IndependentDump(const std::string& passphrase = "") {
  remove("dump.out");
  setenv("QUORVEL_PASSPHRASE", passphrase.c_str(), 1);
  const std::string command =
      std::string("/usr/bin/python3 ") + QUORVEL_E2E_DIR + "/quorvel_files.py dump . >dump.out 2>/dev/null";
  if (system(command.c_str()) != 0) return "<not authentic>";
  return TempDir::Read("dump.out");
}
