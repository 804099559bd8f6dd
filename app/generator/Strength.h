#pragma once

#include "runtime/String.h"

// How strong a password of so many bits is, in one word: "weak" below 50,
// "fair" below 80, "strong" below 128 and "very strong" from 128.
const char* StrengthWord(double bits);

// The bits as a whole number to show, rounded down so that a strength is
// never overstated (a figure a hair under a whole number from rounding in
// the computation still counts as that number).
int StrengthWholeBits(double bits);

// zxcvbn's estimate, in bits, of a password that someone typed: it looks for
// dictionary words, keyboard patterns, dates and repeats. Each character is
// narrowed to its low 8 bits, as everywhere the text meets a library; the
// narrowed copy is wiped before returning. 0 for the empty password.
double StrengthTypedBits(const String& password);
