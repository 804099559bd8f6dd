#include "system/ConsoleDialog.h"

#include <string>

namespace {
void Write(FILE* out, const std::string& bytes) {
  fwrite(bytes.data(), 1, bytes.size(), out);
  fflush(out);
}

char16_t FirstLower(const String& reply) {
  if (reply.empty()) return 0;
  char16_t c = reply[0];
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
}  // namespace

String ConsoleReadLine(FILE* in) {
  std::string line;
  for (int c = fgetc(in); c != EOF && c != '\n'; c = fgetc(in)) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return WidenString(line);
}

int32_t ConsoleNotify(const String& text, FILE* out) {
  Write(out, NarrowString(text) + "\r\n");
  return 0;
}

String ConsoleAsk(const char* prompt, FILE* in, FILE* out) {
  Write(out, prompt);
  return ConsoleReadLine(in);
}

int32_t ConsoleConfirm(const String& text, FILE* in, FILE* out) {
  Write(out, NarrowString(text) + " (Yes/No)?");
  return FirstLower(ConsoleReadLine(in)) == u'y' ? 1 : 0;
}

int32_t ConsoleProceed(const String& text, FILE* in, FILE* out) {
  Write(out, NarrowString(text) + " (Yes/No/Cancel)?");
  char16_t first = FirstLower(ConsoleReadLine(in));
  if (first == u'y') return 1;
  if (first == u'n') return 0;
  return -1;
}
