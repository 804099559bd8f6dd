#pragma once

#include "runtime/String.h"

// Records in and out of CSV files: File > "Import…" and "Export…" in the
// window, and through console/ConsoleTransfer from a terminal.

struct TTransfer {
  bool ok = false;
  String message;  // one line that says what was done, or why nothing was
  String brief;    // the same, short enough for the status bar (empty: message is)
};

// Appends the records of a CSV export (CsvImportFile: the layouts it knows,
// rows without a password and records already there skipped) and saves once.
// All or nothing: a malformed file, or a save that fails, leaves the records
// and quorvel.dat as they were. The message is CsvImportSummary's line, and
// what a merge with changes made elsewhere did.
TTransfer ImportRecords(const String& path);

// Writes the readable records to a new, owner-only CSV file that is not
// encrypted (CsvExportRecords); never over an existing file. Records that
// could not be read have no plaintext to write: they are left out, and the
// message names them. From a damaged file (RecordFileDamaged) it writes what
// it can read and answers not ok, saying that records may be missing.
TTransfer ExportRecords(const String& path);
