#pragma once

#include <string>

#include "app/generator/Generator.h"

// Reads the options that follow --generate into settings: --length N (1 to
// 999, by default 20), --upper, --lower, --digits, --symbols (none of them:
// the first three), --no-look-alikes; or --words N (1 to 99) with
// --separator S (one printable character, by default a space). Gives "" when
// they make sense, otherwise what is wrong with them.
std::string GenerateOptionsRead(int argc, char** argv, TGeneratorSettings& settings);

// Prints one password made with settings on standard output and "Strength: N
// bits" on standard error. Needs no pair and writes no file. Gives 0, or 1
// when no password could be made or written.
int QuorvelGenerate(const TGeneratorSettings& settings);
