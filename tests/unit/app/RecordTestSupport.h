#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "tests/unit/TempDir.h"

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
