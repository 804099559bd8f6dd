#include "app/generator/PasswordGenerator.h"

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
