#include "app/records/OneTimeCode.h"

#include <cctype>
#include <string>

#include "runtime/Wipe.h"

namespace {
// RFC 4648 base32, without padding; false for any other character.
bool Base32Decode(const std::string& text, ByteArray& out) {
  out.clear();
  out.reserve(text.size() * 5 / 8 + 1);
  uint32_t buffer = 0;
  int bits = 0;
  for (char c : text) {
    if (c == ' ' || c == '=') continue;
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    int value;
    if (upper >= 'A' && upper <= 'Z')
      value = upper - 'A';
    else if (upper >= '2' && upper <= '7')
      value = upper - '2' + 26;
    else
      return false;
    buffer = (buffer << 5) | static_cast<uint32_t>(value);
    bits += 5;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(buffer >> bits));
    }
  }
  buffer = 0;
  return !out.empty();
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A decimal number within [low, high]; false otherwise.
bool Number(const std::string& text, int32_t low, int32_t high, int32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return false;
  out = value;
  return true;
}

// "%41" and the like in a URI's parameter.
std::string Unescaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool ParseUri(const std::string& uri, TOneTimeSecret& secret) {
  const size_t query = uri.find('?');
  if (Lower(uri.substr(0, 15)) != "otpauth://totp/" || query == std::string::npos) return false;
  bool haveSecret = false;
  for (size_t at = query + 1; at <= uri.size();) {
    size_t end = uri.find('&', at);
    if (end == std::string::npos) end = uri.size();
    const std::string pair = uri.substr(at, end - at);
    at = end + 1;
    const size_t equals = pair.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = Lower(pair.substr(0, equals));
    std::string value = Unescaped(pair.substr(equals + 1));
    if (name == "secret") {
      haveSecret = Base32Decode(value, secret.key);
      if (!haveSecret) return false;
    } else if (name == "algorithm") {
      const std::string algorithm = Lower(value);
      if (algorithm == "sha1")
        secret.digest = THmacDigest::Sha1;
      else if (algorithm == "sha256")
        secret.digest = THmacDigest::Sha256;
      else if (algorithm == "sha512")
        secret.digest = THmacDigest::Sha512;
      else
        return false;
    } else if (name == "digits") {
      if (!Number(value, 6, 8, secret.digits)) return false;
    } else if (name == "period") {
      if (!Number(value, 1, 86400 * 365, secret.period)) return false;
    }
    SecureWipe(value);
  }
  return haveSecret;
}
}  // namespace

TOneTimeSecret::~TOneTimeSecret() { SecureWipe(key); }

std::optional<TOneTimeSecret> OneTimeParse(const String& text) {
  std::string narrow = NarrowString(text);
  TOneTimeSecret secret;
  const bool uri = narrow.find("://") != std::string::npos;
  const bool parsed = uri ? ParseUri(narrow, secret) : Base32Decode(narrow, secret.key);
  SecureWipe(narrow);
  if (!parsed) return std::nullopt;
  return secret;
}

String OneTimeCode(const TOneTimeSecret& secret, int64_t unixSeconds) {
  const uint64_t counter =
      static_cast<uint64_t>(unixSeconds < 0 ? 0 : unixSeconds) / static_cast<uint64_t>(secret.period);
  uint8_t message[8];
  for (int i = 0; i < 8; ++i) message[i] = static_cast<uint8_t>(counter >> (56 - 8 * i));
  ByteArray mac;
  if (!HmacCompute(secret.digest, secret.key.data(), secret.key.size(), message, sizeof message, mac)) return String();
  // Dynamic truncation: four bytes from the offset the last nibble names.
  const size_t offset = mac.back() & 0x0F;
  uint32_t value = (static_cast<uint32_t>(mac[offset] & 0x7F) << 24) | (static_cast<uint32_t>(mac[offset + 1]) << 16) |
                   (static_cast<uint32_t>(mac[offset + 2]) << 8) | mac[offset + 3];
  SecureWipe(mac);
  String code(static_cast<size_t>(secret.digits), u'0');
  for (int32_t i = secret.digits - 1; i >= 0; --i) {
    code[static_cast<size_t>(i)] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  }
  return code;
}

int32_t OneTimeSecondsLeft(const TOneTimeSecret& secret, int64_t unixSeconds) {
  const int64_t now = unixSeconds < 0 ? 0 : unixSeconds;
  return secret.period - static_cast<int32_t>(now % secret.period);
}
