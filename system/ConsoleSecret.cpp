#include "system/ConsoleSecret.h"

#include <errno.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include "runtime/Wipe.h"

namespace {
// The signals that end or stop a program at the terminal. While echo is off
// they first give the terminal its attributes back; otherwise Ctrl+C at the
// prompt would leave the shell without echo.
constexpr int kPromptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGTSTP};
constexpr int kPromptSignalCount = sizeof kPromptSignals / sizeof kPromptSignals[0];

// Shared with the handler, so plain data set before it is installed.
int promptFd = -1;
struct termios promptSaved {};
struct sigaction promptPrevious[kPromptSignalCount];
bool promptHandled[kPromptSignalCount];
// Set by the handler when it gave the terminal back and the program goes on
// (after a stop, or a handler of its own that returned): echo goes off again.
volatile sig_atomic_t promptDisturbed = 0;

void RestoreTerminalOnSignal(int sig) {
  const int savedErrno = errno;
  ::tcsetattr(promptFd, TCSANOW, &promptSaved);
  promptDisturbed = 1;
  if (sig == SIGTSTP) {
    // Stop as a program without a handler would; the read is interrupted and
    // the prompt turns echo off again once it is continued.
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    ::sigaction(SIGTSTP, &stop, nullptr);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    ::raise(SIGTSTP);
  } else {
    // Blocked until this handler returns, then taken as before the prompt
    // (the default: the program ends).
    for (int i = 0; i < kPromptSignalCount; ++i) {
      if (kPromptSignals[i] == sig) ::sigaction(sig, &promptPrevious[i], nullptr);
    }
    ::raise(sig);
  }
  errno = savedErrno;
}

// Turns the terminal's echo off for as long as it lives.
class TEchoOff {
 public:
  explicit TEchoOff(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) return;
    quiet_ = saved_;
    quiet_.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet_.c_lflag |= ECHONL;
    promptFd = fd_;
    promptSaved = saved_;
    promptDisturbed = 0;
    // The handlers go in first: a signal that comes as soon as echo is off
    // already finds them.
    for (int i = 0; i < kPromptSignalCount; ++i) {
      ::sigaction(kPromptSignals[i], nullptr, &promptPrevious[i]);
      // An ignored signal stays ignored (nohup); it cannot end the prompt.
      promptHandled[i] = promptPrevious[i].sa_handler != SIG_IGN;
    }
    InstallHandlers();
    active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet_) == 0;
    if (!active_) RestoreDispositions();
  }
  ~TEchoOff() {
    if (!active_) return;
    // The terminal first: a signal in between still finds the handler.
    ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    RestoreDispositions();
  }
  TEchoOff(const TEchoOff&) = delete;
  TEchoOff& operator=(const TEchoOff&) = delete;

  // After a signal that gave the terminal back but did not end the program.
  void ResumeIfDisturbed() {
    if (!active_ || !promptDisturbed) return;
    promptDisturbed = 0;
    InstallHandlers();
    ::tcsetattr(fd_, TCSANOW, &quiet_);
  }

 private:
  static void InstallHandlers() {
    struct sigaction restore {};
    restore.sa_handler = RestoreTerminalOnSignal;
    // No SA_RESTART: the read comes back with EINTR, so that the prompt
    // notices at once when it goes on after a signal.
    sigemptyset(&restore.sa_mask);
    for (int sig : kPromptSignals) sigaddset(&restore.sa_mask, sig);
    for (int i = 0; i < kPromptSignalCount; ++i) {
      if (promptHandled[i]) ::sigaction(kPromptSignals[i], &restore, nullptr);
    }
  }
  static void RestoreDispositions() {
    for (int i = 0; i < kPromptSignalCount; ++i) {
      if (promptHandled[i]) ::sigaction(kPromptSignals[i], &promptPrevious[i], nullptr);
    }
  }

  int fd_;
  struct termios saved_ {};
  struct termios quiet_ {};
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
    const int error = errno;
    if (echoOff) echoOff->ResumeIfDisturbed();
    if (n < 0 && error == EINTR) continue;
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
