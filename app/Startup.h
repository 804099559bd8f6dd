#pragma once

#include "system/DataFolder.h"

// The program: settles the working directory, brings the layers up in order,
// guards and settles the key file, and hands over to the records and the main
// window. Never returns.
[[noreturn]] void QuorvelMain();

// The folder that holds quorvel.key and quorvel.dat for this copy (see
// system/DataFolder.h for the rule). Changes nothing.
TDataFolder QuorvelDataFolder();

// Makes that folder the working directory, creating an XDG one. Returns ""
// when done, otherwise why not, as a sentence's end.
std::string EnterQuorvelDataFolder();

// "Quorvel is already running from this folder."
extern const char* const kAlreadyRunningMessage;
