// Feeds arbitrary bytes as what a person types at the console and asks
// questions until the input ends, in turn Confirm, Proceed and Ask. Checks each
// answer against the reply line taken straight from the bytes (up to "\n",
// without it and one "\r" before it), and that each question consumes exactly
// one line, so the next question reads the next one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "system/ConsoleDialog.h"

namespace {
char16_t FirstLower(const std::string& line) {
  if (line.empty()) return 0;
  unsigned char c = static_cast<unsigned char>(line[0]);
  return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c - 'A' + 'a') : c;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* out = fopen("/dev/null", "w");
  if (!out) abort();
  // fmemopen may refuse an empty buffer; an empty file reads the same.
  FILE* in = size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "r") : fopen("/dev/null", "r");
  if (!in) abort();
  if (ConsoleNotify(S("notice"), out) != 0) abort();

  size_t position = 0;
  // One round more than there are lines: the end of input reads as "".
  for (int round = 0;; ++round) {
    bool atEnd = position >= size;
    size_t end = position;
    while (end < size && data[end] != '\n') ++end;
    std::string line(reinterpret_cast<const char*>(data) + position, end - position);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    position = end < size ? end + 1 : size;
    char16_t first = FirstLower(line);

    switch (round % 3) {
      case 0:
        if (ConsoleConfirm(S("Sure"), in, out) != (first == u'y' ? 1 : 0)) abort();
        break;
      case 1: {
        int32_t expected = first == u'y' ? 1 : first == u'n' ? 0 : -1;
        if (ConsoleProceed(S("Save"), in, out) != expected) abort();
        break;
      }
      default:
        if (ConsoleAsk("Name: ", in, out) != WidenString(line)) abort();
        break;
    }
    if (ftell(in) != static_cast<long>(position)) abort();
    if (atEnd) break;
  }
  fclose(in);
  return 0;
}
