#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/generator/RandomSource.h"
#include "runtime/String.h"

// The EFF's large word list for passphrases (CC-BY 3.0), shipped with the
// program: 7,776 lines, each five dice digits (1 to 6, in order from 11111),
// a tab and a word of lower-case letters and hyphens, no word twice.
extern const char* const kWordListFileName;
constexpr size_t kWordListSize = 7776;

struct TWordList {
  std::vector<std::string> words;  // kWordListSize of them when usable
  std::string problem;             // "" when usable; otherwise why not, as a sentence's end
  bool Usable() const { return problem.empty() && words.size() == kWordListSize; }
};

// Reads and checks the list in the file at path. A missing, short, long or
// damaged file gives no words and says why, never a shorter list.
TWordList WordListRead(const std::string& path);

// Where a copy of the program looks for its list, in order: beside the
// executable (a copy in a folder of its own, and the build tree), then in
// "../share/quorvel" from there (an installed copy, whatever its prefix).
std::vector<std::string> WordListPlaces(const std::string& executableDir);

// The program's own list: the first of WordListPlaces that exists, read on
// the first call and kept for the process.
const TWordList& QuorvelWordList();

// wordCount words of list, each drawn uniformly, joined by separator. None
// when the list is unusable, wordCount is below 1 or the source fails
// (nothing is left behind in memory).
std::optional<String> WordListPassphrase(const TWordList& list, int32_t wordCount, char16_t separator,
                                         TRandomSource& source);
