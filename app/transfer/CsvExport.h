#pragma once

#include <vector>

#include "runtime/String.h"

// Writes the records as plain, unencrypted CSV: a first row "Title,Password",
// then one row per record (description, password), RFC 4180 quoting, CR LF
// line ends, bytes as they are held (UTF-8 from the window). KeePassXC's CSV
// import reads it by mapping those two columns.
//
// The file is created owner-only (0600) and only where nothing exists yet:
// an existing file, or a symbolic link, is never written through or replaced.
// It is synced before the answer; a write that fails removes the partial
// file. The text written is wiped from memory.
enum class TCsvExportResult { Written, Exists, Failed };

// Pairs records up to the shorter of the two lists.
TCsvExportResult CsvExportRecords(const String& path, const std::vector<String>& descriptions,
                                  const std::vector<String>& passwords);
