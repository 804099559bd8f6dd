#include <gtest/gtest.h>
#include <zxcvbn.h>

#include <cmath>
#include <string>

#include "app/generator/CharacterClasses.h"
#include "app/generator/Generator.h"
#include "app/generator/Strength.h"

TEST(Strength, BitsCountExactlyThePasswordsTheSettingsCanMake) {
  const uint32_t U = CharacterClassUpper, L = CharacterClassLower, D = CharacterClassDigits, A = CharacterClassAll;
  struct TCase {
    uint32_t classes;
    bool caseSensitive, noLookAlikes;
    int32_t length;
    double bits;
  };
  const TCase cases[] = {
      // The runs, letters a-f (or with A-G: 13) and digits 0-9, each run one
      // to three long. Up to three characters any mix of kinds can be made:
      {0, false, false, 0, 0},
      {0, false, false, 1, 4},  // 6 + 10 = 16
      {0, false, false, 2, 8},  // 16^2 = 256
      // Four: all but four letters or four digits, 16^4 - 6^4 - 10^4.
      {0, false, false, 4, std::log2(54240.0)},
      {0, true, false, 4, std::log2(241280.0)},  // 23^4 - 13^4 - 10^4
      // Five: without a run of five (6^5, 10^5), nor a run of four before or
      // after one of the other kind (2 x 6^4 x 10, 2 x 10^4 x 6):
      // 16^5 - 7776 - 100000 - 25920 - 120000.
      {0, false, false, 5, std::log2(794880.0)},
      // The classes: 26 + 26 + 10 + 32 = 94, without look-alikes 24 + 25 + 8 + 31 = 88.
      {D, false, false, 1, std::log2(10.0)},
      {D, false, true, 3, 9},                            // 8^3
      {U | D, false, false, 2, std::log2(520.0)},        // both present: 2 x 26 x 10 = 36^2 - 26^2 - 10^2
      {U | L | D, false, true, 2, 2 * std::log2(57.0)},  // too short for three classes: any of 57
      {A, false, false, 3, 3 * std::log2(94.0)},
      {A, false, false, 4, std::log2(24.0 * 26 * 26 * 10 * 32)},  // each class once, in 4! orders
      {A, false, true, 4, std::log2(24.0 * 24 * 25 * 8 * 31)},
      // Long passwords lack a class almost never: all but a hair of 94^999.
      {A, false, false, 999, 999 * std::log2(94.0)},
  };
  for (const TCase& c : cases) {
    TGeneratorSettings settings;
    settings.classes = c.classes;
    settings.caseSensitive = c.caseSensitive;
    settings.noLookAlikes = c.noLookAlikes;
    settings.length = c.length;
    EXPECT_NEAR(GeneratorStrengthBits(settings), c.bits, 1e-9) << c.classes << " " << c.length;
  }
  // The runs at every length: finite and growing, never overflowing.
  TGeneratorSettings runs;
  double before = 0;
  for (runs.length = 1; runs.length <= kGeneratorMaxLength; ++runs.length) {
    const double bits = GeneratorStrengthBits(runs);
    ASSERT_TRUE(std::isfinite(bits) && bits > before) << runs.length;
    before = bits;
  }
  TGeneratorSettings words;
  words.words = true;
  EXPECT_NEAR(GeneratorStrengthBits(words), 7 * std::log2(7776.0), 1e-9);  // 6^5 words, 7 of them
}

TEST(Strength, WordsAndWholeBitsFollowTheThresholds) {
  const struct {
    double bits;
    int whole;
    const char* word;
  } cases[] = {{7.9999999999999, 8, "weak"}, {49.99, 49, "weak"},     {50, 50, "fair"},         {79.9, 79, "fair"},
               {80, 80, "strong"},           {127.99, 127, "strong"}, {128, 128, "very strong"}};
  for (const auto& c : cases)
    EXPECT_EQ(StrengthWord(c.bits) + std::to_string(StrengthWholeBits(c.bits)), c.word + std::to_string(c.whole));
}

TEST(Strength, TypedPasswordsGetZxcvbnsOwnEstimate) {
  for (const char* typed : {"password", "Tr0ub4dor&3", "correct horse battery staple", "qwertyuiop", "1987-06-05",
                            "k#9Vq!2zLp@7wX", "\xC3\xA9t\xC3\xA9"}) {
    EXPECT_DOUBLE_EQ(StrengthTypedBits(WidenString(typed)), ZxcvbnMatch(typed, nullptr, nullptr)) << typed;
  }
  EXPECT_EQ(StrengthTypedBits(String()), 0);
}
