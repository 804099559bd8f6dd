#pragma once

#include <string>
#include <vector>

// Where a program keeps its data files. A copy in a folder of its own (one
// outside the system prefixes /usr and /opt) keeps them beside its
// executable, and so does any copy that already has one of them there. An
// installed copy keeps them in the user's XDG data folder,
// "$XDG_DATA_HOME/<name>", by default "~/.local/share/<name>".
struct TDataFolder {
  std::string path;  // absolute; empty when it could not be worked out
  bool besideExecutable = false;
  std::string problem;  // why path is empty, as a sentence's end
};

// What the choice looks at, so that tests can give their own.
struct TDataFolderInputs {
  std::string executableDir;  // "" when it is unknown
  std::string xdgDataHome;    // "" when not set
  std::string home;           // "" when unknown
};

// The inputs of the running process: the folder of /proc/self/exe, the
// environment, and the password database's home when HOME is not set.
TDataFolderInputs DataFolderInputsOfProcess();

// Whether a folder is the system prefix /usr or /opt or lies under one.
bool DataFolderIsSystem(const std::string& dir);

// Chooses the folder for a program called name whose data files are files
// (names relative to the folder). Looks at the file system, changes nothing.
TDataFolder DataFolderChoose(const TDataFolderInputs& inputs, const std::string& name,
                             const std::vector<std::string>& files);

// Makes the folder the working directory. A folder in the XDG data folder is
// created when missing, owner-only (0700), with its missing parents. Returns
// "" when done, otherwise why not, as a sentence's end.
std::string DataFolderEnter(const TDataFolder& folder);
