#pragma once

#include <optional>

#include "runtime/String.h"
#include "runtime/Wipe.h"

// What the commands that work on the pair from a terminal ("--rekey",
// "--passphrase") share: the folder, its lock, an interrupted commit finished,
// the key file unlocked and the records loaded.

// A passphrase read on the console, wiped whichever way the command ends.
struct TConsolePassphrase {
  std::optional<String> text;
  ~TConsolePassphrase() {
    if (text) SecureWipe(*text);
  }
};

// Refuses: "quorvel: <why> Nothing was changed." on standard error; answers 1.
int ConsoleRefuse(const char* why);

// Enters the data folder (QuorvelDataFolder) and loads its records. Answers 0
// when ready, else the exit status after saying why (another copy running,
// no key file, or, with recordsNeeded, no record file). A sealed key file is
// unlocked with a passphrase read by ConsoleReadSecret ("Passphrase: "; on a
// terminal three tries); that passphrase stays in passphrase for the caller,
// who wipes it. With makeWhenNone, a folder with neither file first gets a
// fresh key file, as a first start makes it.
int ConsolePairOpen(bool recordsNeeded, std::optional<String>& passphrase, bool makeWhenNone = false);

// True when quorvel.dat matches its own header; otherwise says it is damaged
// or cut short, so what (a sentence's end) cannot be done, and answers false.
bool ConsoleFileWhole(const char* what);

// True when every record was read; otherwise says which was not and answers
// false.
bool ConsoleAllRecordsRead(const char* what);
