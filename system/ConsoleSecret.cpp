#include "system/ConsoleSecret.h"

#include <errno.h>
#include <termios.h>
#include <unistd.h>

#include "runtime/Wipe.h"

namespace {
// Turns the terminal's echo off for as long as it lives.
class TEchoOff {
 public:
  explicit TEchoOff(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) return;
    struct termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~TEchoOff() {
    if (active_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  TEchoOff(const TEchoOff&) = delete;
  TEchoOff& operator=(const TEchoOff&) = delete;

 private:
  int fd_;
  struct termios saved_ {};
  bool active_ = false;
};
}  // namespace

std::optional<String> ConsoleReadSecret(const char* prompt, int in, FILE* out) {
  fputs(prompt, out);
  fflush(out);
  std::optional<TEchoOff> echoOff;
  if (::isatty(in) == 1) echoOff.emplace(in);
  std::optional<String> line(std::in_place);
  line->reserve(kConsoleSecretMax + 1);
  bool complete = false;
  for (;;) {
    unsigned char byte = 0;
    const ssize_t n = ::read(in, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n != 1) break;
    if (byte == '\n') {
      complete = true;
      break;
    }
    if (line->size() <= kConsoleSecretMax) line->push_back(byte);
    byte = 0;
  }
  if (!line->empty() && line->back() == u'\r') line->pop_back();
  if ((!complete && line->empty()) || line->size() > kConsoleSecretMax) {
    SecureWipe(*line);
    return std::nullopt;
  }
  return line;
}
