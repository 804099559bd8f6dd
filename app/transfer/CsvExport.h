#pragma once

#include <vector>

#include "runtime/String.h"

// Writes the records as plain, unencrypted CSV in KeePassXC's own layout, so
// that it and the other keepers read every field back: a first row
// "Group","Title","Username","Password","URL","Notes","TOTP","Icon",
// "Last Modified","Created", then one row per record with Group "Root" and
// Icon "0", every field quoted (RFC 4180), CR LF line ends, bytes as they are
// held (UTF-8 from the window).
//
// The file is created owner-only (0600) and only where nothing exists yet:
// an existing file, or a symbolic link, is never written through or replaced.
// It is synced before the answer; a write that fails removes the partial
// file. The text written is wiped from memory.
enum class TCsvExportResult { Written, Exists, Failed };

// One record's title, user name, password, web address, notes, one-time
// secret (an otpauth:// URI), and its last-modified and created times (ISO
// 8601 in UTC, or empty).
struct TExportRecord {
  String fields[8];
  ~TExportRecord();
};
TCsvExportResult CsvExportRecords(const String& path, const std::vector<TExportRecord>& records);
