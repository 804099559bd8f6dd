#include "app/PasswordGenerator.h"

#include "app/Random.h"
#include "system/Clock.h"

String GeneratePassword(int32_t length, int32_t caseSensitive) {
  // The first two draws come from the state before the reseed, so calls
  // within one millisecond still differ.
  int32_t kind = RandomInt(0, 1);
  int32_t runLimit = RandomInt(0, 2);
  int32_t runCount = 0;
  String result;
  SeedRandom(SystemClockMillis());
  for (int32_t i = 0; i < length; ++i) {
    if (kind == 0) {
      int32_t c = caseSensitive == 1 ? RandomInt(0, 1) : 1;
      if (c == 0)
        result.push_back(static_cast<char16_t>(RandomInt(65, 71)));
      else
        result.push_back(static_cast<char16_t>(RandomInt(97, 102)));
    } else {
      result.push_back(static_cast<char16_t>(RandomInt(48, 57)));
    }
    ++runCount;
    if (runCount > runLimit) {
      kind = kind == 0 ? 1 : 0;
      runLimit = RandomInt(0, 2);
      runCount = 0;
    }
  }
  return result;
}
