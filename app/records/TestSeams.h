#pragma once

// For tests only: called after each of the four steps of a pair commit with its number.
using TPairStepHook = void (*)(int step);
void PairCommitStepHook(TPairStepHook hook);
