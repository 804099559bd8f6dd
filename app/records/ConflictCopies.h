#pragma once

#include <string>
#include <vector>

// The copies of quorvel.dat that sync tools leave beside it when two
// machines changed it at once, in the working directory, sorted by name:
//   - Syncthing's "quorvel.sync-conflict-*.dat";
//   - Nextcloud's and ownCloud's "quorvel (conflicted copy *).dat";
//   - Dropbox's "quorvel (* conflicted copy *).dat".
// A copy already merged is renamed to "<its name>.merged" and no longer found.
std::vector<std::string> ConflictCopyNames();
bool IsConflictCopyName(const std::string& name);
