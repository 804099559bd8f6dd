#pragma once

#include "runtime/String.h"

// Records in and out of CSV files: File > "Import…" and "Export…" in the
// window, "quorvel --import FILE" and "quorvel --export FILE" from a terminal.

struct TTransfer {
  bool ok = false;
  String message;  // one line that says what was done, or why nothing was
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
// message names them.
TTransfer ExportRecords(const String& path);

// The terminal commands: the pair is opened as for "--rekey" (a sealed key
// file asks for its passphrase), the outcome is one line (on standard
// output when done, exit 0; on standard error otherwise, exit 1).
int QuorvelImport(const char* path);
int QuorvelExport(const char* path);
// The option given without its FILE: says so on standard error; answers 2.
int NoFile(const char* option);
