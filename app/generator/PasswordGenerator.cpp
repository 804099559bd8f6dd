#include "app/generator/PasswordGenerator.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "runtime/Wipe.h"

namespace {
// Draws from the source, remembering a failure so that the caller can check
// once at the end of a password.
struct TDrawer {
  TRandomSource& source;
  bool failed = false;

  int32_t operator()(int32_t min, int32_t max) {
    int32_t value = min;
    if (!failed && !source.Draw(min, max, value)) failed = true;
    return value;
  }
};
}  // namespace

std::optional<String> GeneratePassword(int32_t length, int32_t caseSensitive, TRandomSource& source) {
  TDrawer draw{source};
  int32_t kind = draw(0, 1);
  int32_t runLimit = draw(0, 2);
  int32_t runCount = 0;
  String result;
  // Reserved whole, so that growing never leaves a partial copy behind.
  if (length > 0) result.reserve(static_cast<size_t>(length));
  source.Reseed();
  for (int32_t i = 0; i < length && !draw.failed; ++i) {
    if (kind == 0) {
      int32_t c = caseSensitive == 1 ? draw(0, 1) : 1;
      if (c == 0)
        result.push_back(static_cast<char16_t>(draw(65, 71)));
      else
        result.push_back(static_cast<char16_t>(draw(97, 102)));
    } else {
      result.push_back(static_cast<char16_t>(draw(48, 57)));
    }
    ++runCount;
    if (runCount > runLimit) {
      kind = kind == 0 ? 1 : 0;
      runLimit = draw(0, 2);
      runCount = 0;
    }
  }
  if (draw.failed) {
    SecureWipe(result);
    return std::nullopt;
  }
  return result;
}

std::optional<String> GeneratePassword(int32_t length, int32_t caseSensitive) {
  TSystemRandomSource source;
  return GeneratePassword(length, caseSensitive, source);
}

namespace {
// log2(2^a + 2^b), where -infinity stands for the count 0.
double Log2Sum(double a, double b) {
  if (a < b) std::swap(a, b);
  if (b == -std::numeric_limits<double>::infinity()) return a;
  return a + std::log2(1 + std::exp2(b - a));
}
}  // namespace

double GeneratePasswordBits(int32_t length, int32_t caseSensitive) {
  if (length <= 0) return 0;
  const double letterBits = std::log2(caseSensitive == 1 ? 13.0 : 6.0);
  const double digitBits = std::log2(10.0);
  const auto size = static_cast<size_t>(length) + 1;
  // endsInLetters[n]: log2 of the number of strings of n characters whose
  // last run is letters; endsInDigits[n] likewise. A string of n ending in a
  // run of j letters is either that run alone (j == n) or a string of n - j
  // ending in digits followed by it. Counts reach 13^999, so they are kept
  // as logarithms.
  std::vector<double> endsInLetters(size, -std::numeric_limits<double>::infinity());
  std::vector<double> endsInDigits(size, -std::numeric_limits<double>::infinity());
  for (size_t n = 1; n < size; ++n) {
    for (size_t j = 1; j <= 3 && j <= n; ++j) {
      const double beforeLetters = j == n ? 0 : endsInDigits[n - j];
      const double beforeDigits = j == n ? 0 : endsInLetters[n - j];
      endsInLetters[n] = Log2Sum(endsInLetters[n], beforeLetters + static_cast<double>(j) * letterBits);
      endsInDigits[n] = Log2Sum(endsInDigits[n], beforeDigits + static_cast<double>(j) * digitBits);
    }
  }
  return Log2Sum(endsInLetters[size - 1], endsInDigits[size - 1]);
}
