#include "app/generator/Generator.h"

#include <cmath>

#include "app/generator/CharacterClasses.h"
#include "app/generator/PasswordGenerator.h"
#include "runtime/Wipe.h"

TGeneratedPassword::~TGeneratedPassword() { SecureWipe(password); }

std::string GeneratorSettingsProblem(const TGeneratorSettings& settings) {
  if (settings.words) {
    if (settings.wordCount < 1 || settings.wordCount > kGeneratorMaxWords)
      return "the number of words must be 1 to " + std::to_string(kGeneratorMaxWords);
    if (settings.separator < 0x20 || settings.separator > 0x7E) return "the separator must be one printable character";
    return "";
  }
  if (settings.length < 0 || settings.length > kGeneratorMaxLength)
    return "the length must be 0 to " + std::to_string(kGeneratorMaxLength);
  return "";
}

double GeneratorStrengthBits(const TGeneratorSettings& settings) {
  if (!GeneratorSettingsProblem(settings).empty()) return 0;
  if (settings.words) return settings.wordCount * std::log2(static_cast<double>(kWordListSize));
  const uint32_t classes = settings.classes & CharacterClassAll;
  if (classes == 0) return GeneratePasswordBits(settings.length, settings.caseSensitive ? 1 : 0);
  return CharacterClassPasswordBits(settings.length, classes, settings.noLookAlikes);
}

TGeneratedPassword GeneratorMakePassword(const TGeneratorSettings& settings, TRandomSource& source,
                                         const TWordList& list) {
  TGeneratedPassword made;
  made.problem = GeneratorSettingsProblem(settings);
  if (!made.Made()) return made;
  if (settings.words && !list.Usable()) {
    made.problem = "no passphrase: " + (list.problem.empty() ? "the word list was not read" : list.problem);
    return made;
  }
  const uint32_t classes = settings.classes & CharacterClassAll;
  std::optional<String> password;
  if (settings.words)
    password = WordListPassphrase(list, settings.wordCount, settings.separator, source);
  else if (classes == 0)
    password = GeneratePassword(settings.length, settings.caseSensitive ? 1 : 0, source);
  else
    password = CharacterClassPassword(settings.length, classes, settings.noLookAlikes, source);
  if (!password) {
    made.problem = "the system's random source failed";
    return made;
  }
  // A short password moves by copying its characters: wipe where it was.
  made.password = std::move(*password);
  SecureWipe(*password);
  made.bits = GeneratorStrengthBits(settings);
  return made;
}

TGeneratedPassword GeneratorMakePassword(const TGeneratorSettings& settings) {
  TSystemRandomSource source;
  // The list is read only when words are asked for.
  static const TWordList noList;
  return GeneratorMakePassword(settings, source, settings.words ? QuorvelWordList() : noList);
}
