#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "app/generator/CharacterClasses.h"
#include "app/generator/Generator.h"
#include "app/generator/TestSeams.h"
#include "tests/unit/TempDir.h"

namespace {
const TWordList& ShippedList() {
  static const TWordList list = WordListRead(QUORVEL_WORDLIST);
  return list;
}

TGeneratorSettings Settings(uint32_t classes, bool noLookAlikes, int32_t length, bool words = false,
                            char16_t separator = u' ') {
  TGeneratorSettings settings;
  settings.classes = classes;
  settings.noLookAlikes = noLookAlikes;
  settings.length = settings.wordCount = length;
  settings.words = words;
  settings.separator = separator;
  return settings;
}

TGeneratedPassword Make(const TGeneratorSettings& settings, const TWordList& list = ShippedList()) {
  TSystemRandomSource source;
  return GeneratorMakePassword(settings, source, list);
}

// A fixed stream (splitmix64) in place of getrandom: the statistics below
// give the same answer on every run.
uint64_t fixedState = 0;
long FixedGetRandom(void* buffer, unsigned long length, unsigned int) {
  for (unsigned long i = 0; i < length; ++i) {
    uint64_t z = (fixedState += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    static_cast<unsigned char*>(buffer)[i] = static_cast<unsigned char>((z ^ (z >> 31)) >> 24);
  }
  return static_cast<long>(length);
}
long FailingGetRandom(void*, unsigned long, unsigned int) { return -1; }

const uint32_t U = CharacterClassUpper, L = CharacterClassLower, D = CharacterClassDigits, Y = CharacterClassSymbols;
uint32_t ClassOf(char c) { return std::isupper(c) ? U : std::islower(c) ? L : std::isdigit(c) ? D : Y; }
}  // namespace

TEST(GeneratorSettings, EveryPasswordHasItsLengthItsClassesAndNothingElse) {
  const struct {
    TGeneratorSettings settings;
    const char* members;  // null for words
  } cases[] = {
      {Settings(U | L | D, false, 20), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"},
      {Settings(U | L | D | Y, true, 4),
       "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789!\"#$%&'()*+,-./:;<=>?@[\\]^_`{}~"},
      {Settings(Y, false, 999), "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
      {Settings(U | D, false, 1), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"},  // too short for both
      {Settings(0, false, 7, true), nullptr},
      {Settings(U, false, 99, true, u'#'), nullptr},  // classes do not apply to words
  };
  const std::set<std::string> words(ShippedList().words.begin(), ShippedList().words.end());
  for (const auto& c : cases) {
    for (int round = 0; round < 50; ++round) {
      const TGeneratedPassword made = Make(c.settings);
      ASSERT_TRUE(made.Made()) << made.problem;
      const std::string text = NarrowString(made.password) + char(c.settings.separator);
      if (!c.members) {
        size_t count = 0;
        for (size_t at = 0, end; (end = text.find(char(c.settings.separator), at)) != std::string::npos; at = end + 1)
          ASSERT_TRUE(words.count(text.substr(at, end - at)) && ++count) << text;
        ASSERT_EQ(count, static_cast<size_t>(c.settings.wordCount)) << text;
        continue;
      }
      ASSERT_EQ(made.password.size(), static_cast<size_t>(c.settings.length));
      uint32_t seen = 0;
      for (char ch : NarrowString(made.password)) {
        ASSERT_TRUE(std::strchr(c.members, ch)) << text;
        seen |= ClassOf(ch);
      }
      ASSERT_TRUE(seen == c.settings.classes || c.settings.length < std::popcount(c.settings.classes)) << text;
    }
  }
}

TEST(GeneratorSettings, DrawsAreUniformOverCharactersWholePasswordsAndWords) {
  RandomSourceUseGetRandom(FixedGetRandom);
  const struct {
    TGeneratorSettings settings;
    size_t categories;  // the distinct passwords the settings can make
  } cases[] = {
      {Settings(CharacterClassAll, false, 1), 94},  // shorter than the classes: any of the 94
      // Both classes: 2 orders x 24 x 8. One fixed up in place instead of
      // drawn again would favour some.
      {Settings(U | D, true, 2), 384},
      {Settings(0, false, 1, true), 7776},
  };
  for (const auto& c : cases) {
    // 100 draws a category: every one is drawn, and the chi-square statistic
    // stays under its bound at p = 0.001 (Wilson-Hilferty).
    const int draws = static_cast<int>(c.categories) * 100;
    std::map<String, int> counts;
    for (int i = 0; i < draws; ++i) ++counts[Make(c.settings).password];
    double chi = 0;
    for (const auto& [value, count] : counts) chi += (count - 100.0) * (count - 100.0) / 100.0;
    const double df = static_cast<double>(c.categories) - 1;
    const double bound = df * std::pow(1 - 2 / (9 * df) + 3.09 * std::sqrt(2 / (9 * df)), 3);
    EXPECT_EQ(counts.size(), c.categories);
    EXPECT_LT(chi, bound) << c.categories;
  }
  RandomSourceUseGetRandom(nullptr);
}

TEST(GeneratorSettings, WrongSettingsAFailingSourceOrADamagedListMakeNothing) {
  for (const TGeneratorSettings& wrong :
       {Settings(0, false, 1000), Settings(U, false, -1), Settings(0, false, 0, true), Settings(0, false, 100, true),
        Settings(0, false, 7, true, 0x1F), Settings(0, false, 7, true, 0x7F), Settings(0, false, 7, true, 0xE9)}) {
    const TGeneratedPassword made = Make(wrong);
    EXPECT_TRUE(!made.Made() && made.password.empty()) << wrong.length << " " << int(wrong.separator);
  }
  RandomSourceUseGetRandom(FailingGetRandom);
  for (const TGeneratorSettings& settings : {Settings(CharacterClassAll, false, 20), Settings(0, false, 7, true)})
    EXPECT_EQ(Make(settings).problem, "the system's random source failed");
  RandomSourceUseGetRandom(nullptr);

  // Damaged copies of the shipped list are refused whole.
  const std::string good = TempDir::Read(QUORVEL_WORDLIST);
  std::string duplicate = good, badWord = good, badDice = good;
  duplicate.replace(good.find("abdomen"), 7, "abacus");  // 11112 abacus
  badWord.replace(good.find("zoom"), 4, "Zoom");
  badDice.replace(good.find("66666"), 5, "66667");
  const struct {
    std::string content;
    const char* problem;  // "" for a usable list
  } lists[] = {
      {good, ""},
      {good.substr(0, good.size() - 1), ""},  // without the last line's end
      {good.substr(0, good.rfind('\n', good.size() - 2) + 1), "it has 7775 lines, not 7776"},
      {good + "66667\tmore\n", "it has more than 7776 lines"},
      {duplicate, "the word \"abacus\" comes twice"},
      {badWord, "line 7776 holds a word with other than a to z and -"},
      {badDice, "line 7776 has the wrong dice digits"},
      {"11111 abacus\n", "line 1 is not five dice digits, a tab and a word"},
      {std::string(2 << 20, 'a'), "is too large"},
  };
  TempDir dir;
  for (const auto& list : lists) {
    TempDir::Write("list.txt", list.content);
    const TWordList read = WordListRead("list.txt");
    EXPECT_NE(read.problem.find(list.problem), std::string::npos) << read.problem;
    EXPECT_EQ(read.Usable(), !*list.problem);
    EXPECT_EQ(read.words.size(), *list.problem ? 0 : kWordListSize);
    const TGeneratedPassword made = Make(Settings(0, false, 7, true), read);
    EXPECT_EQ(made.problem, *list.problem ? "no passphrase: " + read.problem : "");
  }
  EXPECT_FALSE(WordListRead("no such list.txt").Usable());
}
