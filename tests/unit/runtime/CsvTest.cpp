#include <gtest/gtest.h>

#include "runtime/Csv.h"
#include "tests/unit/TempDir.h"

namespace {
using Rows = std::vector<std::vector<String>>;

Rows Widened(const std::vector<std::vector<std::string>>& rows) {
  Rows out(rows.size());
  for (size_t r = 0; r < rows.size(); ++r)
    for (const auto& field : rows[r]) out[r].push_back(WidenString(field));
  return out;
}
}  // namespace

TEST(Csv, ReadsQuotedFieldsLineBreaksAndByteOrderMark) {
  struct Case {
    std::string text;
    std::vector<std::vector<std::string>> rows;
    std::vector<int32_t> lines;
  } cases[] = {
      {"", {}, {}},
      {"a,b,c\r\nd,e,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}, {1, 2}},
      {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}},
      {"a\rb\r\n", {{"a"}, {"b"}}, {1, 2}},
      {"\"x,y\",\"say \"\"hi\"\"\",plain,\"\"", {{"x,y", "say \"hi\"", "plain", ""}}, {1}},
      {"\"two\r\nlines\",\"and\ntwo\"\r\nnext", {{"two\r\nlines", "and\ntwo"}, {"next"}}, {1, 4}},
      {"\xEF\xBB\xBFTitle,x\xEF\xBB\xBF\r\n", {{"Title", "x\xEF\xBB\xBF"}}, {1}},
      {",\r\n\r\n\n\"\"\r\n", {{"", ""}, {""}}, {1, 4}},
      {" spaced , \xC3\xA9\t", {{" spaced ", " \xC3\xA9\t"}}, {1}},
      {std::string("a\0b,c", 5), {{std::string("a\0b", 3), "c"}}, {1}},
  };
  for (const auto& c : cases) {
    TCsvRows table = CsvRead(WidenString(c.text));
    EXPECT_TRUE(table.Ok()) << c.text;
    EXPECT_EQ(table.rows, Widened(c.rows)) << c.text;
    EXPECT_EQ(table.rowLines, c.lines) << c.text;
  }
}

TEST(Csv, MalformedTextNamesTheLineOfTheFaultAndKeepsNoRows) {
  struct Case {
    std::string text;
    int32_t line;
    std::string what;
  } cases[] = {
      {"a,b\r\nc,d\"e\r\n", 2, "a quote stands inside a field that does not start with one."},
      {"a\n\"x\"y,z\n", 2, "text follows the closing quote of a field."},
      {"\"a\nb\" c\n", 2, "text follows the closing quote of a field."},
      {"\"a\r\nb\"\r\nx\"\r\n", 3, "a quote stands inside a field that does not start with one."},
      {"a\r\rb\"\n", 3, "a quote stands inside a field that does not start with one."},
      {"a\n\"ok\"\n\"never\nclosed\n", 3, "a quoted field that starts here is never closed."},
  };
  for (const auto& c : cases) {
    TCsvRows table = CsvRead(WidenString(c.text));
    EXPECT_EQ(table.errorLine, c.line) << c.text;
    EXPECT_EQ(table.error, S(("Line " + std::to_string(c.line) + ": " + c.what).c_str())) << c.text;
    EXPECT_TRUE(table.rows.empty()) << c.text;
  }
}

TEST(Csv, WriterQuotesOnlyWhatNeedsItAndReadsBackTheSameRows) {
  const Rows rows = Widened({{"plain", "a,b", "say \"hi\"", "two\nlines", "cr\r", " lead", "trail\t", "", "in side"},
                             {""},
                             {"\xEF\xBB\xBF", "\xC3\xA9", "\xFF"}});
  const String text = CsvWrite(rows);
  EXPECT_EQ(NarrowString(text),
            "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\",\" lead\",\"trail\t\",,in side\r\n"
            "\"\"\r\n"
            "\"\xEF\xBB\xBF\",\xC3\xA9,\xFF\r\n");
  size_t size = 0;
  for (const auto& row : rows) size += CsvRowSize(row);
  EXPECT_EQ(size, text.size());
  TCsvRows again = CsvRead(text);
  EXPECT_EQ(again.rows, rows);
}

TEST(Csv, ReadsWholeFilesAndReportsOneThatCannotBeRead) {
  TempDir dir;
  std::string big = "h1,h2\r\n";
  for (int i = 0; i < 20000; ++i) big += "\"row " + std::to_string(i) + "\",x\r\n";
  TempDir::Write("big.csv", big);
  TCsvRows table = CsvReadFile(S("big.csv"));
  ASSERT_TRUE(table.Ok());
  ASSERT_EQ(table.rows.size(), 20001u);
  EXPECT_EQ(table.rows[20000][0], S("row 19999"));
  CsvWipe(table);
  EXPECT_TRUE(table.rows.empty());
  for (const char* path : {"missing.csv", ".", "/dev/zero"}) {
    table = CsvReadFile(S(path));
    EXPECT_EQ(table.errorLine, -1);
    EXPECT_EQ(table.error, S(*path == '/' ? "The file is larger than 16 MiB, too large for a CSV export of records."
                                          : "The file cannot be read."));
  }
}
