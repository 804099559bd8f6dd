#include <gtest/gtest.h>

#include "app/transfer/CsvImport.h"
#include "tests/unit/FreedBlockWatch.h"
#include "tests/unit/TempDir.h"

namespace {
std::vector<String> Widened(const std::vector<std::string>& list) {
  std::vector<String> out;
  for (const auto& text : list) out.push_back(WidenString(text));
  return out;
}

TCsvImport Import(const std::string& csv, const std::vector<std::string>& descriptions = {},
                  const std::vector<std::string>& passwords = {}) {
  return CsvImportRows(CsvRead(WidenString(csv)), Widened(descriptions), Widened(passwords));
}
}  // namespace

TEST(CsvImport, MapsEachSourcesLayoutByItsHeader) {
  struct Case {
    const char* source;
    std::string csv;
    std::vector<std::pair<std::string, std::string>> records;
    int32_t withoutPassword;
  } cases[] = {
      {"KeePassXC",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\"\r\n"
       "\"Root\",\"Bank\",\"alice\",\"pw1\",\"https://bank.example\",\"a, \"\"note\"\"\",\"\",\"0\",\"2024\"\r\n",
       {{"Bank (alice)", "pw1"}},
       0},
      {"Bitwarden",
       "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
       "Social,1,login,Forum,,,0,https://forum.example/login,bob,pw2,\n,,note,Secure note,text,,0,,,,\n",
       {{"Forum (bob)", "pw2"}},
       1},
      {"Firefox",
       "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\"\r\n"
       "\"https://u:x@Mail.Example.com:8443/in?x=1\",\"carol\",\"pw3\",,\"https://mail.example.com\",\"{g}\",\"1\"\r\n"
       "\"shop.example/login\",\"\",\"pw4\",,,\"{h}\",\"1\"\r\n",
       {{"Mail.Example.com (carol)", "pw3"}, {"shop.example", "pw4"}},
       0},
      {"Chrome",
       "name,url,username,password,note\nShop,https://shop.example/,,pw5,\n,http://[::1]:8080/,dave,pw6,\n,,,pw7,\n",
       {{"Shop", "pw5"}, {"[::1] (dave)", "pw6"}, {"", "pw7"}},
       0},
      {"any order and case, line breaks, trimming",
       "PASSWORD,title,URL,UserName\n\" pw8 \t\",\"Multi\r\nLine\nTitle \",,\" eve\"\n\"  \",x,,\n",
       {{"Multi Line Title (eve)", "pw8"}},
       1},
      {"Quorvel", "Title,Password\r\n\"Say \"\"hi\"\", bye\",\"p,w\"\r\n", {{"Say \"hi\", bye", "p,w"}}, 0},
  };
  for (const auto& c : cases) {
    TCsvImport result = Import(c.csv);
    EXPECT_TRUE(result.Ok()) << c.source << ": " << NarrowString(result.error);
    std::vector<std::pair<std::string, std::string>> records;
    for (size_t i = 0; i < result.descriptions.size(); ++i)
      records.emplace_back(NarrowString(result.descriptions[i]), NarrowString(result.passwords[i]));
    EXPECT_EQ(records, c.records) << c.source;
    EXPECT_EQ(std::pair(result.withoutPassword, result.alreadyThere), std::pair(c.withoutPassword, 0)) << c.source;
  }
}

TEST(CsvImport, SkipsRecordsAlreadyThereOrEarlierInTheFile) {
  TCsvImport result = Import(
      "Title,Username,Password,URL\n"
      "Bank,alice,pw1,\nBank,alice,pw2,\nBank,alice,pw2,\nOther,,x,\nNone,,,\nbank,alice,pw1,\nBank,,pw1,\n",
      {"Bank (alice)", "Other"}, {"pw1", "x "});
  EXPECT_EQ(result.descriptions, Widened({"Bank (alice)", "bank (alice)", "Bank"}));
  EXPECT_EQ(result.passwords, Widened({"pw2", "pw1", "pw1"}));
  EXPECT_EQ(CsvImportSummary(result), S("Imported 3 records; skipped 4 (1 without a password, 3 already there)."));
}

TEST(CsvImport, RefusesUnknownHeadersRaggedRowsAndMalformedFilesWithNothingImported) {
  const std::string unknown = "The file is not a CSV export Quorvel knows: its first line must name the columns ";
  struct Case {
    std::string csv, error;
  } cases[] = {
      {"", unknown},
      {"Title,User,Pass\nx,y,z\n", unknown},
      {"url,username\nx,y\n", unknown},
      {"url,username,password\nhttps://a,b,c\nhttps://d,e\n", "Line 3 has 2 fields, but the first line has 3."},
      {"url,username,password\n\"https://a\nb\",b,c\nx,y,z,w\n", "Line 4 has 4 fields, but the first line has 3."},
      {"url,username,password\na,b,c\nx,y\"z,w\n", "Line 3: a quote stands inside a field that does not start"},
  };
  for (const auto& c : cases) {
    TCsvImport result = Import(c.csv);
    EXPECT_EQ(NarrowString(result.error).substr(0, c.error.size()), c.error) << c.csv;
    EXPECT_TRUE(result.descriptions.empty() && result.passwords.empty()) << c.csv;
    EXPECT_EQ(result.withoutPassword + result.alreadyThere, 0) << c.csv;
  }
}

TEST(CsvImport, ImportFileLeavesNoUnwipedCopyOfAPassword) {
  TempDir dir;
  // A long password lives on the heap, a short one inside its string object.
  for (std::string password : {"correct horse battery staple", "Sh0rt!"}) {
    // Many columns make a row's fields outgrow any small buffer; later rows
    // make the list of records grow after the secret is in it.
    std::string extra, csv;
    for (int i = 0; i < 40; ++i) extra += ",extra column " + std::to_string(i);
    csv = "Title,Username,Password,URL" + extra;
    for (const std::string& secret : {password, std::string("a"), std::string("b"), std::string("c")})
      csv += "\r\nSite " + std::to_string(csv.size()) + ",user," + secret + ",https://site.example" + extra;
    TempDir::Write("in.csv", csv);
    const String wide = WidenString(password);
    const std::string watched(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    secretsFreed = 0;
    watchedSecret = &watched;
    TCsvImport result = CsvImportFile(S("in.csv"), {}, {});
    EXPECT_TRUE(result.passwords.size() == 4 && result.passwords[0] == wide);
    CsvImportWipe(result);
    watchedSecret = nullptr;
    EXPECT_EQ(secretsFreed, 0) << password;
  }
  EXPECT_EQ(CsvImportFile(S("missing.csv"), {}, {}).error, S("The file cannot be read."));
}
