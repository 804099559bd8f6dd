#pragma once

#include <cstdio>
#include <optional>

#include "runtime/String.h"

// Reads one secret line (a passphrase) from the file descriptor in, byte by
// byte, so that no stdio buffer keeps a copy and the next line stays unread.
// The prompt goes to out. On a terminal the typed characters are not echoed;
// otherwise the line is read as it comes, for scripts. While echo is off,
// SIGINT, SIGTERM, SIGHUP and SIGTSTP first give the terminal its settings
// back, then end or stop the program as they would have; a program continued
// after a stop is prompted with echo off again. The line end ("\n" or
// "\r\n") is dropped. None at the end of input, so that a missing line is
// never taken for an empty one, and none for a line longer than
// kConsoleSecretMax bytes. The buffer never reallocates and is wiped when
// the answer is none.
constexpr size_t kConsoleSecretMax = 1024;
std::optional<String> ConsoleReadSecret(const char* prompt, int in = 0, FILE* out = stderr);
