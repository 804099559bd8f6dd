#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/transfer/CsvExport.h"
#include "app/transfer/CsvImport.h"
#include "runtime/Stream.h"
#include "runtime/TestSeams.h"
#include "tests/unit/FreedBlockWatch.h"
#include "tests/unit/TempDir.h"

TEST(CsvExport, WritesTitlePasswordOwnerOnlyThatImportReadsBack) {
  TempDir dir;
  const std::vector<String> descriptions = {S("Bank (alice)"), S("Say \"hi\", bye"), WidenString("Caf\xC3\xA9")};
  const std::vector<String> passwords = {S("p,w"), S("plain"), S("new\nline")};
  // A strict umask must not leave the owner unable to read the file back.
  const mode_t oldMask = umask(0277);
  // The text written, in its wide and its byte form, is wiped before it is freed.
  for (const std::string& watched : {std::string("n\0e\0w\0\n\0l\0i\0n\0e\0", 16), std::string("\"new\nline\"")}) {
    unlink("out.csv");
    secretsFreed = 0;
    watchedSecret = &watched;
    EXPECT_EQ(CsvExportRecords(S("out.csv"), descriptions, passwords), TCsvExportResult::Written);
    watchedSecret = nullptr;
    EXPECT_EQ(secretsFreed, 0);
  }
  umask(oldMask);
  EXPECT_EQ(TempDir::Read("out.csv"),
            "Title,Password\r\nBank (alice),\"p,w\"\r\n\"Say \"\"hi\"\", bye\",plain\r\nCaf\xC3\xA9,\"new\nline\"\r\n");
  struct stat st;
  ASSERT_EQ(stat("out.csv", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TCsvImport back = CsvImportFile(S("out.csv"), {}, {});
  EXPECT_EQ(back.descriptions, descriptions);
  EXPECT_EQ(back.passwords, passwords);
}

TEST(CsvExport, NeverReplacesAFileOrLinkAndRemovesAFailedOne) {
  TempDir dir;
  const std::vector<String> one = {S("d")};
  TempDir::Write("taken.csv", "keep");
  EXPECT_EQ(CsvExportRecords(S("taken.csv"), one, one), TCsvExportResult::Exists);
  EXPECT_EQ(TempDir::Read("taken.csv"), "keep");
  ASSERT_EQ(symlink("elsewhere.csv", "link.csv"), 0);
  EXPECT_EQ(CsvExportRecords(S("link.csv"), one, one), TCsvExportResult::Exists);
  EXPECT_EQ(PathKind(S("elsewhere.csv")), 0);
  EXPECT_EQ(CsvExportRecords(S("no/such/dir.csv"), one, one), TCsvExportResult::Failed);
  StreamFailWritesAfter(10);
  EXPECT_EQ(CsvExportRecords(S("failed.csv"), one, one), TCsvExportResult::Failed);
  StreamFailWritesAfter(-1);
  EXPECT_EQ(PathKind(S("failed.csv")), 0);
}
