#pragma once

// The command line: no argument opens the window; otherwise the first
// argument names one option of the table in CommandLine.cpp, which runs and
// gives the exit status. An unknown option, a missing or surplus argument
// prints the usage on standard error and gives 2, opening nothing.
int CommandLineRun(int argc, char** argv);
