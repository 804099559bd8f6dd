#include <gtest/gtest.h>
#include <stdio.h>

#include <regex>

#include "app/records/KeyFile.h"
#include "app/records/RecordFile.h"
#include "app/transfer/RecordTransfer.h"
#include "tests/unit/app/records/RecordTestSupport.h"

// Values that look like the cipher's old failure markers are ordinary ones
// all the way through: imported, saved, read back and exported.
TEST(RecordTransfer, MarkerLikeValuesGoInAndOutLikeAnyOther) {
  TempDir dir;
  ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
  ASSERT_TRUE(Reload());
  TempDir::Write("in.csv", "Title,Password\r\n-2,-3\r\n-3,-2\r\n");
  const TTransfer imported = ImportRecords(S("in.csv"));
  ASSERT_TRUE(imported.ok) << NarrowString(imported.message);
  ASSERT_TRUE(Reload());
  EXPECT_TRUE(UnreadableRecords().empty());
  EXPECT_EQ("-2\n-3\n-3\n-2", IndependentDump());
  // Each record also holds the times it was made and changed.
  const std::regex time("20[0-9][0-9]-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-6][0-9]Z");
  ASSERT_TRUE(ExportRecords(S("out.csv")).ok);
  const std::string header =
      "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last "
      "Modified\",\"Created\"\r\n";
  auto row = [](const char* title, const char* password) {
    return std::string("\"Root\",\"") + title + "\",\"\",\"" + password + "\",\"\",\"\",\"\",\"0\",\"T\",\"T\"\r\n";
  };
  auto exported = [&time](const char* name) { return std::regex_replace(TempDir::Read(name), time, "T"); };
  EXPECT_EQ(header + row("-2", "-3") + row("-3", "-2"), exported("out.csv"));

  // From a file cut short, the export still writes what reads, but says the
  // list may not be whole and does not count as done.
  std::string text = TempDir::Read("quorvel.dat");
  size_t end = 0;
  for (int line = 0; line < 3; ++line) end = text.find("\r\n", end) + 2;  // the header and the first record
  for (int line = 0; line < 2; ++line) end = text.find("\r\n", end) + 2;  // and its times
  TempDir::Write("quorvel.dat", text.substr(0, end));
  ASSERT_TRUE(Reload());
  ASSERT_TRUE(RecordFileDamaged());
  const TTransfer partial = ExportRecords(S("part.csv"));
  EXPECT_FALSE(partial.ok);
  EXPECT_NE(std::string::npos, NarrowString(partial.message).find("damaged or cut short"));
  EXPECT_EQ(header + row("-2", "-3"), exported("part.csv"));
}

// An import keeps every field a record can hold, through a save and a new
// load; a pair of an older kind says what it had to leave out.
TEST(RecordTransfer, ImportKeepsEveryFieldTheRecordsCanHold) {
  TempDir dir;
  for (bool current : {true, false}) {
    if (current)
      ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
    else
      WriteKeyFile("0123456789abcdefTheRestOfTheKey", "01234567", "rc4");
    remove("quorvel.dat");
    ASSERT_TRUE(Reload());
    TempDir::Write("in.csv",
                   "title,username,password,url,notes,totp\r\nMail,alice,pw,https://m.example,\"a\nb\",JBSWY3DP\r\n");
    const TTransfer imported = ImportRecords(S("in.csv"));
    ASSERT_TRUE(imported.ok) << NarrowString(imported.message);
    EXPECT_EQ(!current, NarrowString(imported.message).find("were left out") != std::string::npos) << current;
    ASSERT_TRUE(Reload());
    const std::string want[] = {"alice", "https://m.example", "a\nb", "JBSWY3DP"};
    const char16_t* names[] = {kUserNameField, kWebAddressField, kNotesField, kOneTimeField};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(current ? want[i] : "", NarrowString(RecordFieldValue(0, names[i]))) << current << " " << i;
  }
}
