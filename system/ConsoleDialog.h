#pragma once

#include <cstdint>
#include <cstdio>

#include "runtime/String.h"

// Questions asked on a terminal: the prompt goes to out and is flushed at
// once, the reply is one line read from in without its line end. The end of
// input reads as an empty reply.
int32_t ConsoleNotify(const String& text, FILE* out = stdout);
// 1 when the reply starts with "y" or "Y", else 0.
int32_t ConsoleConfirm(const String& text, FILE* in = stdin, FILE* out = stdout);
// 1 for a reply starting with "y", 0 for "n" (either case), else -1.
int32_t ConsoleProceed(const String& text, FILE* in = stdin, FILE* out = stdout);
// Writes prompt (no line end) and returns the reply.
String ConsoleAsk(const char* prompt, FILE* in = stdin, FILE* out = stdout);
// One line of in without its line end ("\n" or "\r\n"); "" at the end of input.
String ConsoleReadLine(FILE* in = stdin);
