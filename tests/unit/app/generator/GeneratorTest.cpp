#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/generator/PasswordGenerator.h"
#include "app/generator/Random.h"
#include "app/generator/TestSeams.h"

namespace {
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

TEST(Random, SchrageStepsAndSeedingFollowTheGenerator) {
  SeedRandom(0);
  EXPECT_EQ(randomState, 4660);
  SeedRandom(0x7FFFFFFF);
  EXPECT_EQ(randomState, 4660);
  SeedRandom(-1);
  EXPECT_EQ(randomState, 4660);
  SeedRandom(-2);
  EXPECT_EQ(randomState, 0x7FFFFFFE);
  // Against 64-bit arithmetic: state * 48271 mod (2^31 - 1).
  for (int32_t seed : {1, 4660, 44487, 44488, 2147483646, 123456789}) {
    SeedRandom(seed);
    int64_t expected = static_cast<int64_t>(randomState) * 48271 % 2147483647;
    EXPECT_EQ(RandomStep(), expected) << seed;
  }
  SeedRandom(4660);
  EXPECT_EQ(RandomInt(0, 1), 0);
  EXPECT_EQ(RandomInt(0, 2), 0);
  EXPECT_EQ(randomState, 1951098782);
}

TEST(Random, IntegersStayWithinTheirBoundsInEitherOrder) {
  SeedRandom(99);
  EXPECT_EQ(RandomInt(5, 5), 5);
  bool seen[4] = {};
  for (int i = 0; i < 2000; ++i) {
    int32_t v = RandomInt(3, 1);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 3);
    seen[v] = true;
    double d = RandomDouble();
    ASSERT_GE(d, 0.0);
    ASSERT_LT(d, 1.0);
  }
  EXPECT_TRUE(seen[1] && seen[2] && seen[3]);
  // Extreme bounds must not overflow.
  for (int i = 0; i < 100; ++i) {
    int32_t v = RandomInt(-2147483647 - 1, 2147483647);
    (void)v;
  }
}

// The seeded source with a fixed reseed, so that the whole draw order can be
// followed step by step.
struct TFixedReseedSource : TSchrageRandomSource {
  void Reseed() override { SeedRandom(777); }
};

TEST(Generator, OverTheSeededSourceDrawsInTheDocumentedOrder) {
  // A process's first password: from state 4660 the first two draws give one
  // letter, then a digit.
  randomState = 4660;
  TSchrageRandomSource clockSource;
  String first = *GeneratePassword(256, 1, clockSource);
  ASSERT_EQ(first.size(), 256u);
  EXPECT_FALSE(IsDigit(first[0]));
  EXPECT_TRUE(IsDigit(first[1]));

  // Kind and run limit before the reseed, then per character a case draw
  // (only in case-sensitive mode), a character draw and after each run a new
  // run limit.
  for (int32_t caseSensitive : {0, 1}) {
    randomState = 4660;
    int32_t kind = RandomInt(0, 1), runLimit = RandomInt(0, 2), runCount = 0;
    SeedRandom(777);
    String expected;
    for (int i = 0; i < 40; ++i) {
      if (kind == 0) {
        int32_t c = caseSensitive == 1 ? RandomInt(0, 1) : 1;
        expected.push_back(static_cast<char16_t>(c == 0 ? RandomInt(65, 71) : RandomInt(97, 102)));
      } else {
        expected.push_back(static_cast<char16_t>(RandomInt(48, 57)));
      }
      if (++runCount > runLimit) {
        kind = 1 - kind;
        runLimit = RandomInt(0, 2);
        runCount = 0;
      }
    }
    randomState = 4660;
    TFixedReseedSource source;
    EXPECT_EQ(*GeneratePassword(40, caseSensitive, source), expected) << caseSensitive;
  }
}

namespace {
std::vector<uint32_t> scriptedWords;
long ScriptedGetRandom(void* buffer, unsigned long length, unsigned int) {
  if (scriptedWords.empty() || length != sizeof(uint32_t)) return -1;
  std::memcpy(buffer, &scriptedWords.front(), sizeof(uint32_t));
  scriptedWords.erase(scriptedWords.begin());
  return static_cast<long>(length);
}
}  // namespace

TEST(Generator, SystemSourceIsUnbiasedUnpredictableAndFailsCleanly) {
  // Two passwords made within the same millisecond differ.
  EXPECT_NE(*GeneratePassword(24, 1), *GeneratePassword(24, 1));

  // A word from the incomplete top slice of the 32-bit range is drawn again
  // instead of being folded onto the small values.
  TSystemRandomSource source;
  int32_t value = -1;
  RandomSourceUseGetRandom(ScriptedGetRandom);
  scriptedWords = {0xFFFFFFFFu, 5};
  EXPECT_TRUE(source.Draw(2, 0, value));
  EXPECT_EQ(value, 2);
  scriptedWords = {0x80000001u};
  EXPECT_TRUE(source.Draw(-2147483647 - 1, 2147483647, value));
  EXPECT_EQ(value, 1);

  // When the system's source fails there is no password, not a weaker one.
  scriptedWords = {1, 2, 3};
  EXPECT_FALSE(GeneratePassword(20, 1).has_value());
  RandomSourceUseGetRandom(nullptr);
}

TEST(Generator, AlphabetAndRunsHoldInBothCaseModes) {
  EXPECT_TRUE(GeneratePassword(0, 1)->empty());
  EXPECT_TRUE(GeneratePassword(-5, 1)->empty());
  bool sawUpper = false;
  for (int caseSensitive : {0, 1, 2}) {
    for (int round = 0; round < 200; ++round) {
      String p = *GeneratePassword(64, caseSensitive);
      ASSERT_EQ(p.size(), 64u);
      int run = 0;
      for (size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        bool upper = c >= u'A' && c <= u'G';
        bool lower = c >= u'a' && c <= u'f';
        ASSERT_TRUE(IsDigit(c) || lower || (upper && caseSensitive == 1)) << NarrowString(p);
        sawUpper = sawUpper || upper;
        run = (i > 0 && IsDigit(c) == IsDigit(p[i - 1])) ? run + 1 : 1;
        ASSERT_LE(run, 3) << NarrowString(p);
      }
    }
  }
  EXPECT_TRUE(sawUpper);
}
