#pragma once

#include <cstdint>
#include <string>

#include "app/generator/RandomSource.h"
#include "app/generator/WordList.h"
#include "runtime/String.h"

// What the generator is asked for. With no class and no words it makes the
// runs of letters and digits of GeneratePassword, from caseSensitive and
// length, exactly as it always has.
struct TGeneratorSettings {
  int32_t length = 20;        // characters, 0 to kGeneratorMaxLength (0 makes the empty password)
  bool caseSensitive = true;  // the runs' only choice; ignored once a class is chosen
  uint32_t classes = 0;       // CharacterClass... bits (CharacterClasses.h)
  bool noLookAlikes = false;  // leaves 0 O 1 l I | out of the classes
  bool words = false;         // a passphrase of the word list instead of characters
  int32_t wordCount = 7;      // 1 to kGeneratorMaxWords
  char16_t separator = u' ';  // between the words: one printable ASCII character
};

constexpr int32_t kGeneratorMaxLength = 999;
constexpr int32_t kGeneratorMaxWords = 99;

// A made password and its strength. The password is wiped when this ends.
struct TGeneratedPassword {
  String password;
  double bits = 0;      // log2 of the number of passwords the settings could have made
  std::string problem;  // "" when made; otherwise why not, as a sentence's end

  TGeneratedPassword() = default;
  TGeneratedPassword(TGeneratedPassword&&) = default;
  TGeneratedPassword& operator=(TGeneratedPassword&&) = default;
  ~TGeneratedPassword();
  bool Made() const { return problem.empty(); }
};

// "" when the settings can make a password; otherwise why not (a length or
// word count out of range, a separator that is not one printable character).
std::string GeneratorSettingsProblem(const TGeneratorSettings& settings);

// The strength of what the settings make, exactly: log2 of the number of
// passwords they could make. Words count kWordListSize choices each.
double GeneratorStrengthBits(const TGeneratorSettings& settings);

// A password made with the settings, each draw from source, words from list.
// Made() is false, with the reason, when the settings are wrong, the list is
// unusable (never a weaker passphrase instead) or the source fails.
TGeneratedPassword GeneratorMakePassword(const TGeneratorSettings& settings, TRandomSource& source,
                                         const TWordList& list);
// The same with the operating system's cryptographic source and the
// program's own word list (QuorvelWordList).
TGeneratedPassword GeneratorMakePassword(const TGeneratorSettings& settings);
