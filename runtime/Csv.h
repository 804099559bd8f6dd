#pragma once

#include <cstdint>
#include <vector>

#include "runtime/String.h"

// Comma-separated values as RFC 4180 describes them, knowing nothing of what
// the fields mean. Text is bytes as characters (String's rule); a field's
// bytes come back as they stood, whatever their encoding.
//
// Reading: fields are separated by commas and rows end at CR LF, LF or a lone
// CR. A field that starts with a quote runs to the matching closing quote and
// may hold commas, line breaks and doubled quotes (one quote each). A UTF-8
// byte-order mark at the very start is dropped, and so are lines with nothing
// on them, which RFC 4180 does not allow but spreadsheet tools write. Fields
// are read as secrets: every buffer the reader grows or drops is wiped, and
// CsvWipe wipes what it returned.
struct TCsvRows {
  std::vector<std::vector<String>> rows;
  std::vector<int32_t> rowLines;  // the 1-based line each row starts on
  // When the text is malformed: the 1-based line of the fault and what it is
  // ("Line 3: ..."). Rows read before the fault are then dropped (wiped).
  int32_t errorLine = 0;
  String error;

  bool Ok() const { return errorLine == 0; }
};

TCsvRows CsvRead(const String& text);
// Reads a whole file. A file that cannot be opened or read has errorLine -1
// and the error "The file cannot be read."; so has one larger than
// kCsvFileLimit, with "The file is larger than 16 MiB, too large for a CSV
// export of records." (a device or a wrongly chosen file must not take all
// memory).
constexpr size_t kCsvFileLimit = 16u << 20;
TCsvRows CsvReadFile(const String& path);
// Overwrites every field, then empties the rows.
void CsvWipe(TCsvRows& table);

// Writing: a field is quoted when it holds a comma, a quote, CR or LF, or
// starts or ends with a space or tab (so that no reader trims it) or starts
// with a byte-order mark (so that none drops it as the file's); quotes in
// it are doubled. A row is its fields joined by commas and ended with CR LF;
// a row of one empty field is written as "" so that it is not a blank line.
// Sizes are exact, so a caller can reserve once and grow no secret buffer.
size_t CsvFieldSize(const String& field);
void CsvAppendField(String& out, const String& field);
size_t CsvRowSize(const std::vector<String>& fields);
void CsvAppendRow(String& out, const std::vector<String>& fields);
// All rows, built in one buffer of the exact size.
String CsvWrite(const std::vector<std::vector<String>>& rows);
