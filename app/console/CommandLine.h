#pragma once

// The command line: no argument opens the window; otherwise the first
// argument names one option of the table in CommandLine.cpp, which runs and
// gives the exit status. An unknown option, a missing or surplus argument
// prints the usage on standard error and gives 2, opening nothing.
// openWindow runs the program with its window, and never returns.
using TOpenWindow = void (*)();
int CommandLineRun(int argc, char** argv, TOpenWindow openWindow);
