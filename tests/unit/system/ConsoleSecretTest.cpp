#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "system/ConsoleSecret.h"

namespace {
bool EchoOn(int terminal) {
  struct termios attributes;
  return ::tcgetattr(terminal, &attributes) == 0 && (attributes.c_lflag & ECHO) != 0;
}

// The prompt runs in another process; a long bound makes a fault fail instead of hang.
bool WaitForEcho(int terminal, bool on) {
  for (int i = 0; i < 20000 && EchoOn(terminal) != on; ++i) ::usleep(500);
  return EchoOn(terminal) == on;
}
}  // namespace

TEST(ConsoleSecret, SignalsDuringThePromptGiveTheTerminalItsEchoBack) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGTSTP}) {
    SCOPED_TRACE(strsignal(sig));
    int master = -1, terminal = -1;
    ASSERT_EQ(::openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      // A group of its own in this session, so that a stop is not discarded.
      ::setpgid(0, 0);
      for (int s : {SIGINT, SIGTERM, SIGHUP, SIGTSTP}) ::signal(s, SIG_DFL);
      const auto secret = ConsoleReadSecret("Passphrase: ", terminal, ::fopen("/dev/null", "w"));
      struct sigaction after;
      ::sigaction(SIGINT, nullptr, &after);
      ::_exit(secret && *secret == S("abc") && after.sa_handler == SIG_DFL ? 0 : 1);
    }
    EXPECT_TRUE(WaitForEcho(terminal, false));
    ::kill(child, sig);
    int status = 0;
    if (sig == SIGTSTP) {
      // Stopped with echo on; continued, it prompts with echo off again.
      ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
      EXPECT_TRUE(WIFSTOPPED(status) && EchoOn(terminal));
      ::kill(child, SIGCONT);
      EXPECT_TRUE(WaitForEcho(terminal, false));
      ASSERT_EQ(::write(master, "abc\n", 4), 4);
    }
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const bool asWithoutPrompt =
        sig == SIGTSTP ? WIFEXITED(status) && WEXITSTATUS(status) == 0 : WIFSIGNALED(status) && WTERMSIG(status) == sig;
    EXPECT_TRUE(asWithoutPrompt);
    EXPECT_TRUE(EchoOn(terminal));
    ::close(terminal);
    ::close(master);
  }
}
