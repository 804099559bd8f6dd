#include "app/generator/Strength.h"

#include <zxcvbn.h>

#include <cmath>
#include <string>

#include "runtime/Wipe.h"

const char* StrengthWord(double bits) {
  if (bits < 50) return "weak";
  if (bits < 80) return "fair";
  if (bits < 128) return "strong";
  return "very strong";
}

int StrengthWholeBits(double bits) {
  if (!(bits > 0)) return 0;
  return static_cast<int>(std::floor(bits + 1e-9));
}

double StrengthTypedBits(const String& password) {
  if (password.empty()) return 0;
  std::string bytes;
  // Reserved whole, with room for the terminating zero, so that no
  // reallocation leaves an unwiped copy.
  bytes.reserve(password.size() + 1);
  for (char16_t c : password) bytes.push_back(static_cast<char>(c & 0xFF));
  // FIXME: whatever working copies zxcvbn makes while it matches are its own
  // and are not wiped here; its interface offers no hook for that.
  const double bits = ZxcvbnMatch(bytes.c_str(), nullptr, nullptr);
  SecureWipe(bytes);
  return bits;
}
