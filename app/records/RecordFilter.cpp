#include "app/records/RecordFilter.h"

#include <algorithm>
#include <string_view>

#include "runtime/Wipe.h"

namespace {

// Latin-1's upper-case letters, 0xC0 to 0xDE without the multiplication sign
// 0xD7, are their lower-case letters less 0x20.
bool IsLatin1Upper(char16_t c) { return c >= 0xC0 && c <= 0xDE && c != 0xD7; }
bool IsContinuation(char16_t c) { return c >= 0x80 && c <= 0xBF; }

// Folds text to lower case, one character for one, so that positions stay.
// In UTF-8, Latin-1's upper-case letters are 0xC3 then 0x80 to 0x9E, and a
// lead byte from 0xC0 to 0xDE is always followed by a continuation byte; a
// byte in that range that is not is taken as a Latin-1 letter.
void Fold(std::u16string_view text, String& out) {
  out.assign(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const char16_t c = out[i];
    const bool continued = i + 1 < out.size() && IsContinuation(out[i + 1]);
    if (c >= u'A' && c <= u'Z') {
      out[i] = static_cast<char16_t>(c + 0x20);
    } else if (c == 0xC3 && continued) {
      if (IsLatin1Upper(static_cast<char16_t>(out[i + 1] + 0x40)))
        out[i + 1] = static_cast<char16_t>(out[i + 1] + 0x20);
      ++i;
    } else if (IsLatin1Upper(c) && !continued) {
      out[i] = static_cast<char16_t>(c + 0x20);
    }
  }
}

}  // namespace

std::vector<int32_t> RecordFilter(const std::vector<String>& descriptions, const String& text) {
  std::vector<int32_t> found;
  found.reserve(descriptions.size());
  String needle, folded;
  Fold(text, needle);
  // The texts may hold user names: one buffer, sized once for the longest,
  // so that no outgrown copy is freed unwiped, and wiped at the end.
  size_t longest = 0;
  for (const String& description : descriptions) longest = std::max(longest, description.size());
  folded.reserve(longest);
  for (size_t i = 0; i < descriptions.size(); ++i) {
    if (!needle.empty()) {
      Fold(descriptions[i], folded);
      if (folded.find(needle) == String::npos) continue;
    }
    found.push_back(static_cast<int32_t>(i));
  }
  SecureWipe(folded);
  SecureWipe(needle);
  return found;
}
