#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/transfer/CsvExport.h"
#include "app/transfer/CsvImport.h"
#include "runtime/Stream.h"
#include "runtime/TestSeams.h"
#include "tests/unit/FreedBlockWatch.h"
#include "tests/unit/TempDir.h"

namespace {
std::vector<TExportRecord> Records(const std::vector<std::vector<std::string>>& rows) {
  std::vector<TExportRecord> records(rows.size());
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t f = 0; f < rows[r].size(); ++f) records[r].fields[f] = WidenString(rows[r][f]);
  return records;
}
}  // namespace

TEST(CsvExport, WritesKeePassXCsLayoutOwnerOnlyThatImportReadsBackFieldForField) {
  TempDir dir;
  const std::vector<TExportRecord> records =
      Records({{"Bank", "alice", "p,w", "https://bank.example", "two\nlines", "otpauth://totp/x?secret=AB",
                "2026-12-09T15:00:00Z", "2026-01-01T00:00:00Z"},
               {"Say \"hi\", bye", "", "plain"},
               {"Caf\xC3\xA9", "", "new\nline"}});
  // A strict umask must not leave the owner unable to read the file back.
  const mode_t oldMask = umask(0277);
  // The text written, in its wide and its byte form, is wiped before it is freed.
  for (const std::string& watched : {std::string("n\0e\0w\0\n\0l\0i\0n\0e\0", 16), std::string("\"new\nline\"")}) {
    unlink("out.csv");
    secretsFreed = 0;
    watchedSecret = &watched;
    EXPECT_EQ(CsvExportRecords(S("out.csv"), records), TCsvExportResult::Written);
    watchedSecret = nullptr;
    EXPECT_EQ(secretsFreed, 0);
  }
  umask(oldMask);
  EXPECT_EQ(TempDir::Read("out.csv"),
            "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last "
            "Modified\",\"Created\"\r\n"
            "\"Root\",\"Bank\",\"alice\",\"p,w\",\"https://bank.example\",\"two\nlines\",\"otpauth://totp/"
            "x?secret=AB\",\"0\","
            "\"2026-12-09T15:00:00Z\",\"2026-01-01T00:00:00Z\"\r\n"
            "\"Root\",\"Say \"\"hi\"\", bye\",\"\",\"plain\",\"\",\"\",\"\",\"0\",\"\",\"\"\r\n"
            "\"Root\",\"Caf\xC3\xA9\",\"\",\"new\nline\",\"\",\"\",\"\",\"0\",\"\",\"\"\r\n");
  struct stat st;
  ASSERT_EQ(stat("out.csv", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TCsvImport back = CsvImportFile(S("out.csv"), {}, {});
  ASSERT_EQ(3u, back.descriptions.size());
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i].fields[0], back.descriptions[i]);
    EXPECT_EQ(records[i].fields[2], back.passwords[i]);
    const TImportedFields& f = back.fields[i];
    EXPECT_EQ(
        (std::vector<String>{records[i].fields[1], records[i].fields[3], records[i].fields[4], records[i].fields[5]}),
        (std::vector<String>{f.user, f.url, f.notes, f.oneTime}));
  }
}

TEST(CsvExport, NeverReplacesAFileOrLinkAndRemovesAFailedOne) {
  TempDir dir;
  const std::vector<TExportRecord> one = Records({{"d", "", "d"}});
  TempDir::Write("taken.csv", "keep");
  EXPECT_EQ(CsvExportRecords(S("taken.csv"), one), TCsvExportResult::Exists);
  EXPECT_EQ(TempDir::Read("taken.csv"), "keep");
  ASSERT_EQ(symlink("elsewhere.csv", "link.csv"), 0);
  EXPECT_EQ(CsvExportRecords(S("link.csv"), one), TCsvExportResult::Exists);
  EXPECT_EQ(PathKind(S("elsewhere.csv")), 0);
  EXPECT_EQ(CsvExportRecords(S("no/such/dir.csv"), one), TCsvExportResult::Failed);
  StreamFailWritesAfter(10);
  EXPECT_EQ(CsvExportRecords(S("failed.csv"), one), TCsvExportResult::Failed);
  StreamFailWritesAfter(-1);
  EXPECT_EQ(PathKind(S("failed.csv")), 0);
}
