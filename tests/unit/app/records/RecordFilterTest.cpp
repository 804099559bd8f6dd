#include <gtest/gtest.h>

#include "app/records/RecordFilter.h"

TEST(RecordFilter, FindsDescriptionsContainingTheTextIgnoringCase) {
  std::vector<String> descriptions;
  // Octal escapes where a letter follows: a hexadecimal escape would take it in.
  for (const char* text : {"Bank of Springfield (alice)", "mail.EXAMPLE.com", "Forum",
                           "Caf\xC3\xA9 Cr\xC3\xA8me",  // UTF-8
                           "\311COLE",                  // Latin-1
                           "\303\211cole",              // UTF-8
                           "\xE6\x97\xA5\xE6\x9C\xAC", "2\303\2273"})
    descriptions.push_back(WidenString(text));
  struct Case {
    std::string text;
    std::vector<int32_t> found;
  } cases[] = {
      {"", {0, 1, 2, 3, 4, 5, 6, 7}},
      {"example", {1}},
      {"BANK", {0}},
      {"o", {0, 1, 2, 4, 5}},
      {"CAF\xC3\x89", {3}},   // UTF-8 upper case finds lower case
      {"\351cole", {4}},      // Latin-1 lower case finds upper case
      {"\303\211COLE", {5}},  // and neither finds the other encoding
      {"\xC3\xB7", {}},       // division sign: the multiplication sign is no letter
      {"\xE6\x97\xA5", {6}},
      {"zzz", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordFilter(descriptions, WidenString(c.text)), c.found) << c.text;
}
