#include "app/records/PairFolder.h"

#include "app/records/KeyFile.h"

const char* const kAlreadyRunningMessage = "Quorvel is already running from this folder.";

TDataFolder QuorvelDataFolder() {
  return DataFolderChoose(DataFolderInputsOfProcess(), "quorvel",
                          {NarrowString(kKeyFileName), NarrowString(kRecordFileName)});
}

std::string EnterQuorvelDataFolder() { return DataFolderEnter(QuorvelDataFolder()); }
