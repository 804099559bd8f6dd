#include "app/generator/CharacterClasses.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "runtime/Wipe.h"

const char* const kLookAlikes = "0O1lI|";

namespace {
// A password lacking a class is drawn again. Even the least likely case (four
// classes in four characters without look-alikes) succeeds one time in 17, so
// this many failures in a row mean a broken source, not bad luck.
constexpr int kMaxDraws = 10000;

const uint32_t kClassBits[] = {CharacterClassUpper, CharacterClassLower, CharacterClassDigits, CharacterClassSymbols};

uint32_t ClassOf(char c) {
  if (c >= 'A' && c <= 'Z') return CharacterClassUpper;
  if (c >= 'a' && c <= 'z') return CharacterClassLower;
  if (c >= '0' && c <= '9') return CharacterClassDigits;
  return CharacterClassSymbols;
}

size_t MemberCount(uint32_t mask, bool noLookAlikes) { return CharacterClassMembers(mask, noLookAlikes).size(); }
}  // namespace

std::string CharacterClassMembers(uint32_t mask, bool noLookAlikes) {
  std::string members;
  // Printable ASCII less the space: letters, digits and the 32 punctuation marks.
  for (char c = '!'; c <= '~'; ++c) {
    if (!(ClassOf(c) & mask)) continue;
    if (noLookAlikes && std::strchr(kLookAlikes, c)) continue;
    members.push_back(c);
  }
  return members;
}

std::optional<String> CharacterClassPassword(int32_t length, uint32_t mask, bool noLookAlikes, TRandomSource& source) {
  mask &= CharacterClassAll;
  const std::string members = CharacterClassMembers(mask, noLookAlikes);
  if (members.empty()) return std::nullopt;
  const int32_t wanted = length >= std::popcount(mask) ? static_cast<int32_t>(std::popcount(mask)) : 0;
  const int32_t last = static_cast<int32_t>(members.size()) - 1;
  String result;
  // Reserved whole: each new draw overwrites the last one in place.
  if (length > 0) result.reserve(static_cast<size_t>(length));
  int32_t index = 0;
  for (int draws = 0; draws < kMaxDraws; ++draws) {
    result.clear();
    uint32_t seen = 0;
    bool failed = false;
    for (int32_t i = 0; i < length; ++i) {
      if (!source.Draw(0, last, index)) {
        failed = true;
        break;
      }
      const char c = members[static_cast<size_t>(index)];
      seen |= ClassOf(c);
      result.push_back(static_cast<char16_t>(c));
    }
    if (failed) break;
    if (std::popcount(seen) >= wanted) {
      SecureWipe(&index, sizeof index);
      return result;
    }
  }
  SecureWipe(&index, sizeof index);
  SecureWipe(result);
  return std::nullopt;
}

double CharacterClassPasswordBits(int32_t length, uint32_t mask, bool noLookAlikes) {
  mask &= CharacterClassAll;
  const size_t total = MemberCount(mask, noLookAlikes);
  if (length <= 0 || total == 0) return 0;
  const double n = static_cast<double>(length);
  const double all = n * std::log2(static_cast<double>(total));
  if (length < std::popcount(mask)) return all;
  // Inclusion-exclusion over the chosen classes: of the total^length strings,
  // take away those that lack a class, add back those that lack two, and so
  // on. Each term is divided by total^length so that none overflows.
  double share = 0;
  for (uint32_t lacking = 0; lacking <= mask; ++lacking) {
    if ((lacking & mask) != lacking) continue;
    size_t left = total;
    for (uint32_t bit : kClassBits)
      if (lacking & bit) left -= MemberCount(bit, noLookAlikes);
    const double term = std::pow(static_cast<double>(left) / static_cast<double>(total), n);
    share += std::popcount(lacking) % 2 ? -term : term;
  }
  return all + std::log2(share);
}
