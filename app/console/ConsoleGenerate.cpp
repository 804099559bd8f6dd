#include "app/console/ConsoleGenerate.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "app/generator/CharacterClasses.h"
#include "app/generator/Strength.h"
#include "runtime/Wipe.h"

namespace {
// A whole number from min to max written in decimal digits only, or -1.
int32_t ReadNumber(const char* text, int32_t min, int32_t max) {
  int32_t value = 0;
  size_t digits = 0;
  for (; text[digits]; ++digits) {
    if (text[digits] < '0' || text[digits] > '9' || value > max) return -1;
    value = value * 10 + (text[digits] - '0');
  }
  return digits > 0 && value >= min && value <= max ? value : -1;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

std::string GenerateOptionsRead(int argc, char** argv, TGeneratorSettings& settings) {
  settings = TGeneratorSettings{};
  std::string given = " ";  // the options seen so far, each followed by a space
  bool characterOption = false;
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    if (given.find(" " + option + " ") != std::string::npos) return option + " is given twice";
    given += option + " ";
    uint32_t oneClass = 0;
    if (option == "--upper") oneClass = CharacterClassUpper;
    if (option == "--lower") oneClass = CharacterClassLower;
    if (option == "--digits") oneClass = CharacterClassDigits;
    if (option == "--symbols") oneClass = CharacterClassSymbols;
    if (oneClass) {
      settings.classes |= oneClass;
      characterOption = true;
      continue;
    }
    if (option == "--no-look-alikes") {
      settings.noLookAlikes = true;
      characterOption = true;
      continue;
    }
    if (option != "--length" && option != "--words" && option != "--separator") return "unknown option " + option;
    if (i + 1 >= argc) return option + " needs a value";
    const char* value = argv[++i];
    if (option == "--length") {
      settings.length = ReadNumber(value, 1, kGeneratorMaxLength);
      if (settings.length < 0) return "--length takes 1 to " + std::to_string(kGeneratorMaxLength);
      characterOption = true;
    } else if (option == "--words") {
      settings.wordCount = ReadNumber(value, 1, kGeneratorMaxWords);
      if (settings.wordCount < 0) return "--words takes 1 to " + std::to_string(kGeneratorMaxWords);
      settings.words = true;
    } else {
      if (strlen(value) != 1 || value[0] < 0x20 || value[0] > 0x7E) return "--separator takes one printable character";
      settings.separator = static_cast<char16_t>(value[0]);
    }
  }
  if (settings.words && characterOption) return "--words makes words, not characters: it takes only --separator";
  if (!settings.words && given.find(" --separator ") != std::string::npos) return "--separator goes with --words";
  if (!settings.words && settings.classes == 0)
    settings.classes = CharacterClassUpper | CharacterClassLower | CharacterClassDigits;
  return "";
}

int QuorvelGenerate(const TGeneratorSettings& settings) {
  const TGeneratedPassword made = GeneratorMakePassword(settings);
  if (!made.Made()) {
    fprintf(stderr, "quorvel: %s.\n", made.problem.c_str());
    return 1;
  }
  // Written straight to the descriptor: stdio's buffer would keep a copy
  // that nothing wipes.
  std::string line;
  line.reserve(made.password.size() + 1);
  for (char16_t c : made.password) line.push_back(static_cast<char>(c & 0xFF));
  line.push_back('\n');
  fflush(stdout);
  const bool written = WriteAll(STDOUT_FILENO, line.data(), line.size());
  const int error = errno;
  SecureWipe(line);
  if (!written) {
    fprintf(stderr, "quorvel: the password could not be written (%s).\n", strerror(error));
    return 1;
  }
  fprintf(stderr, "Strength: %d bits\n", StrengthWholeBits(made.bits));
  return 0;
}
