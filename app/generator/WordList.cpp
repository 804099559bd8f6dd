#include "app/generator/WordList.h"

#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>

#include "runtime/Wipe.h"
#include "system/DataFolder.h"

const char* const kWordListFileName = "wordlist_en_eff.txt";

namespace {
// The real list is about 100 kB; anything far bigger is not it.
constexpr size_t kMaxFileSize = 1 << 20;
constexpr size_t kMaxWordLength = 32;

std::string LineProblem(size_t line, const char* what) { return "line " + std::to_string(line) + " " + what; }

// The problem with one line of the list, or "" when it is line number
// line (from 1) as it should be, its word stored in word.
std::string CheckLine(std::string_view text, size_t line, std::string& word) {
  if (text.size() < 7 || text[5] != '\t') return LineProblem(line, "is not five dice digits, a tab and a word");
  // The dice digits are line - 1 written in base 6 with digits 1 to 6.
  size_t expected = line - 1;
  for (int i = 4; i >= 0; --i) {
    if (text[static_cast<size_t>(i)] != static_cast<char>('1' + expected % 6))
      return LineProblem(line, "has the wrong dice digits");
    expected /= 6;
  }
  word = text.substr(6);
  if (word.size() > kMaxWordLength) return LineProblem(line, "holds a word that is too long");
  for (char c : word)
    if (!((c >= 'a' && c <= 'z') || c == '-')) return LineProblem(line, "holds a word with other than a to z and -");
  return "";
}
}  // namespace

TWordList WordListRead(const std::string& path) {
  TWordList list;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) {
    list.problem = "the word list " + path + " could not be read";
    return list;
  }
  std::string content;
  char chunk[4096];
  size_t n = 0;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0 && content.size() <= kMaxFileSize) content.append(chunk, n);
  const bool readError = ferror(file) != 0;
  fclose(file);
  if (readError) {
    list.problem = "the word list " + path + " could not be read";
    return list;
  }
  if (content.size() > kMaxFileSize) {
    list.problem = "the word list " + path + " is too large to be the EFF's list";
    return list;
  }
  std::vector<std::string> words;
  std::string problem;
  size_t start = 0;
  while (start < content.size() && problem.empty()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    if (words.size() == kWordListSize) {
      problem = "it has more than " + std::to_string(kWordListSize) + " lines";
      break;
    }
    std::string word;
    problem = CheckLine(std::string_view(content).substr(start, end - start), words.size() + 1, word);
    words.push_back(std::move(word));
    start = end + 1;
  }
  if (problem.empty() && words.size() != kWordListSize)
    problem = "it has " + std::to_string(words.size()) + " lines, not " + std::to_string(kWordListSize);
  if (problem.empty()) {
    std::vector<std::string_view> sorted(words.begin(), words.end());
    std::sort(sorted.begin(), sorted.end());
    auto twice = std::adjacent_find(sorted.begin(), sorted.end());
    if (twice != sorted.end()) problem = "the word \"" + std::string(*twice) + "\" comes twice";
  }
  if (!problem.empty()) {
    list.problem = "the word list " + path + " is damaged: " + problem;
    return list;
  }
  list.words = std::move(words);
  return list;
}

std::vector<std::string> WordListPlaces(const std::string& executableDir) {
  if (executableDir.empty()) return {};
  const std::string base = executableDir == "/" ? "" : executableDir;
  return {base + "/" + kWordListFileName, base + "/../share/quorvel/" + kWordListFileName};
}

const TWordList& QuorvelWordList() {
  static const TWordList list = [] {
    const std::vector<std::string> places = WordListPlaces(DataFolderInputsOfProcess().executableDir);
    struct stat st;
    for (const std::string& place : places)
      if (stat(place.c_str(), &st) == 0) return WordListRead(place);
    TWordList missing;
    missing.problem = places.empty()
                          ? "the program's own folder, where the word list lies, could not be found"
                          : "the word list is missing: neither " + places[0] + " nor " + places[1] + " exists";
    return missing;
  }();
  return list;
}

std::optional<String> WordListPassphrase(const TWordList& list, int32_t wordCount, char16_t separator,
                                         TRandomSource& source) {
  if (!list.Usable() || list.words.size() != kWordListSize || wordCount < 1) return std::nullopt;
  // The words are chosen first, so that the passphrase can be reserved whole.
  std::vector<int32_t> chosen(static_cast<size_t>(wordCount));
  size_t length = chosen.size() - 1;
  bool failed = false;
  for (int32_t& index : chosen) {
    if (!source.Draw(0, static_cast<int32_t>(kWordListSize) - 1, index)) {
      failed = true;
      break;
    }
    length += list.words[static_cast<size_t>(index)].size();
  }
  if (failed) {
    SecureWipe(chosen);
    return std::nullopt;
  }
  String result;
  result.reserve(length);
  for (size_t i = 0; i < chosen.size(); ++i) {
    if (i > 0) result.push_back(separator);
    for (char c : list.words[static_cast<size_t>(chosen[i])]) result.push_back(static_cast<char16_t>(c));
  }
  SecureWipe(chosen);
  return result;
}
