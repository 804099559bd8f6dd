#pragma once

#include <string>

#include "system/DataFolder.h"

// The folder that holds quorvel.key and quorvel.dat for this copy (see
// system/DataFolder.h for the rule). Changes nothing.
TDataFolder QuorvelDataFolder();

// Makes that folder the working directory, creating an XDG one. Returns ""
// when done, otherwise why not, as a sentence's end.
std::string EnterQuorvelDataFolder();

// "Quorvel is already running from this folder."
extern const char* const kAlreadyRunningMessage;
