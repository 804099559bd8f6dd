#include "runtime/Csv.h"

#include <utility>

#include "runtime/Stream.h"
#include "runtime/Wipe.h"

namespace {

bool IsLineEnd(char16_t c) { return c == 13 || c == 10; }

// One pass over the text. The fields of the current row are collected in one
// scratch buffer reserved to the size of the whole text, which no row can
// outgrow, so it never reallocates; a row's fields are then copied out at
// their exact sizes into a row vector reserved to its exact count. Nothing
// is left behind unwiped, short fields (kept inside the string object itself)
// included.
class TCsvReader {
 public:
  explicit TCsvReader(const String& text) : text_(text), end_(text.size()) {}
  ~TCsvReader() { SecureWipe(scratch_); }
  TCsvReader(const TCsvReader&) = delete;
  TCsvReader& operator=(const TCsvReader&) = delete;

  TCsvRows Read() {
    TCsvRows out;
    if (end_ >= 3 && text_[0] == 0xEF && text_[1] == 0xBB && text_[2] == 0xBF) {
      pos_ = 3;
    } else if (end_ >= 1 && text_[0] == 0xFEFF) {
      pos_ = 1;  // a mark already decoded by whoever made the String
    }
    scratch_.reserve(end_ - pos_);
    while (pos_ < end_) {
      if (IsLineEnd(text_[pos_])) {
        SkipLineEnd();
        continue;
      }
      const int32_t rowLine = line_;
      if (!ReadRowFields()) {
        CsvWipe(out);
        out.errorLine = errorLine_;
        out.error = S("Line ") + IntToString(errorLine_) + S(": ") + S(error_);
        return out;
      }
      std::vector<String> row;
      row.reserve(spans_.size());
      for (auto [start, size] : spans_) row.emplace_back(scratch_, start, size);
      out.rows.push_back(std::move(row));
      out.rowLines.push_back(rowLine);
    }
    return out;
  }

 private:
  // Steps over CR LF, LF or a lone CR.
  void SkipLineEnd() {
    if (text_[pos_] == 13 && pos_ + 1 < end_ && text_[pos_ + 1] == 10) ++pos_;
    ++pos_;
    ++line_;
  }

  bool Fail(int32_t line, const char* what) {
    errorLine_ = line;
    error_ = what;
    return false;
  }

  // Reads the fields of one row into scratch_ and spans_, and its line end.
  bool ReadRowFields() {
    scratch_.clear();
    spans_.clear();
    for (;;) {
      const size_t start = scratch_.size();
      if (pos_ < end_ && text_[pos_] == u'"') {
        if (!ReadQuotedField()) return false;
      } else {
        while (pos_ < end_ && text_[pos_] != u',' && !IsLineEnd(text_[pos_])) {
          if (text_[pos_] == u'"') return Fail(line_, "a quote stands inside a field that does not start with one.");
          scratch_.push_back(text_[pos_++]);
        }
      }
      spans_.emplace_back(start, scratch_.size() - start);
      if (pos_ < end_ && text_[pos_] == u',') {
        ++pos_;
        continue;
      }
      if (pos_ < end_) SkipLineEnd();
      return true;
    }
  }

  bool ReadQuotedField() {
    const int32_t openLine = line_;
    ++pos_;
    for (;;) {
      if (pos_ >= end_) return Fail(openLine, "a quoted field that starts here is never closed.");
      const char16_t c = text_[pos_];
      if (c == u'"') {
        if (pos_ + 1 < end_ && text_[pos_ + 1] == u'"') {
          scratch_.push_back(u'"');
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      // A line break inside quotes is part of the field, kept as written.
      if (c == 13 && pos_ + 1 < end_ && text_[pos_ + 1] == 10) scratch_.push_back(text_[pos_++]);
      if (IsLineEnd(c)) ++line_;
      scratch_.push_back(text_[pos_++]);
    }
    if (pos_ < end_ && text_[pos_] != u',' && !IsLineEnd(text_[pos_]))
      return Fail(line_, "text follows the closing quote of a field.");
    return true;
  }

  const String& text_;
  const size_t end_;
  size_t pos_ = 0;
  int32_t line_ = 1;
  String scratch_;
  std::vector<std::pair<size_t, size_t>> spans_;  // start and size of each field in scratch_
  int32_t errorLine_ = 0;
  const char* error_ = "";
};

bool NeedsQuotes(const String& field) {
  if (field.empty()) return false;
  // At the start of a file a reader would drop a byte-order mark as the
  // file's, not the field's.
  if (field.front() == 0xFEFF || field.starts_with(u"\u00EF\u00BB\u00BF")) return true;
  if (field.front() == u' ' || field.front() == u'\t' || field.back() == u' ' || field.back() == u'\t') return true;
  for (char16_t c : field)
    if (c == u',' || c == u'"' || c == 13 || c == 10) return true;
  return false;
}

}  // namespace

TCsvRows CsvRead(const String& text) { return TCsvReader(text).Read(); }

TCsvRows CsvReadFile(const String& path) {
  TCsvRows out;
  auto stream = OpenForReading(path);
  if (!stream) {
    out.errorLine = -1;
    out.error = S("The file cannot be read.");
    return out;
  }
  // The file holds passwords: grow by hand so that each outgrown copy is
  // wiped before it is released.
  String text;
  text.reserve(65536);
  uint8_t chunk[8192];
  for (size_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) {
    if (text.size() + n > kCsvFileLimit) {
      SecureWipe(chunk, sizeof chunk);
      SecureWipe(text);
      out.errorLine = -1;
      out.error = S("The file is larger than 16 MiB, too large for a CSV export of records.");
      return out;
    }
    if (text.size() + n > text.capacity()) {
      String bigger;
      bigger.reserve(2 * (text.size() + n));
      bigger = text;
      SecureWipe(text);
      text.swap(bigger);
    }
    for (size_t i = 0; i < n; ++i) text.push_back(chunk[i]);
  }
  SecureWipe(chunk, sizeof chunk);
  stream->Close();
  out = CsvRead(text);
  SecureWipe(text);
  return out;
}

void CsvWipe(TCsvRows& table) {
  for (auto& row : table.rows)
    for (auto& field : row) SecureWipe(field);
  table.rows.clear();
  table.rowLines.clear();
}

size_t CsvFieldSize(const String& field) {
  if (!NeedsQuotes(field)) return field.size();
  size_t size = field.size() + 2;
  for (char16_t c : field)
    if (c == u'"') ++size;
  return size;
}

void CsvAppendField(String& out, const String& field) {
  if (!NeedsQuotes(field)) {
    out += field;
    return;
  }
  out.push_back(u'"');
  for (char16_t c : field) {
    if (c == u'"') out.push_back(u'"');
    out.push_back(c);
  }
  out.push_back(u'"');
}

size_t CsvRowSize(const std::vector<String>& fields) {
  if (fields.size() == 1 && fields[0].empty()) return 4;
  size_t size = 2 + (fields.empty() ? 0 : fields.size() - 1);
  for (const auto& field : fields) size += CsvFieldSize(field);
  return size;
}

void CsvAppendRow(String& out, const std::vector<String>& fields) {
  if (fields.size() == 1 && fields[0].empty()) {
    out += u"\"\"";
  } else {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out.push_back(u',');
      CsvAppendField(out, fields[i]);
    }
  }
  out += u"\r\n";
}

String CsvWrite(const std::vector<std::vector<String>>& rows) {
  size_t size = 0;
  for (const auto& row : rows) size += CsvRowSize(row);
  String out;
  out.reserve(size);
  for (const auto& row : rows) CsvAppendRow(out, row);
  return out;
}
