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

// Each record as "description|password|user name|web address|notes|one-time".
std::vector<std::string> Records(const TCsvImport& result) {
  std::vector<std::string> out;
  for (size_t i = 0; i < result.descriptions.size(); ++i) {
    const TImportedFields& f = result.fields[i];
    out.push_back(NarrowString(result.descriptions[i] + u"|" + result.passwords[i] + u"|" + f.user + u"|" + f.url +
                               u"|" + f.notes + u"|" + f.oneTime));
  }
  return out;
}

TEST(CsvImport, MapsEachSourcesLayoutByItsHeader) {
  struct Case {
    const char* source;
    std::string csv;
    std::vector<std::string> records;
    int32_t empty;
  } cases[] = {
      {"KeePassXC",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\"\r\n"
       "\"Root\",\"Bank\",\"alice\",\"pw1\",\"https://bank.example\",\"a, \"\"note\"\"\nline "
       "2\",\"otpauth://totp/x?secret=AB\",\"0\","
       "\"2024\"\r\n",
       {"Bank|pw1|alice|https://bank.example|a, \"note\"\nline 2|otpauth://totp/x?secret=AB"},
       0},
      {"Bitwarden, a secure note kept",
       "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
       "Social,1,login,Forum,,,0,https://forum.example/login,bob,pw2,JBSWY3DP\n,,note,Secure note,text,,0,,,,\n"
       ",,note,,,,0,,,,\n",
       {"Forum|pw2|bob|https://forum.example/login||JBSWY3DP", "Secure note||||text|"},
       1},
      {"Firefox",
       "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\"\r\n"
       "\"https://u:x@Mail.Example.com:8443/in?x=1\",\"carol\",\"pw3\",,\"https://mail.example.com\",\"{g}\",\"1\"\r\n",
       {"Mail.Example.com|pw3|carol|https://u:x@Mail.Example.com:8443/in?x=1||"},
       0},
      {"Chrome, a row shorter than the header",
       "name,url,username,password,note\nShop,https://shop.example/,,pw5,\n,http://[::1]:8080/,dave,pw6\n",
       {"Shop|pw5||https://shop.example/||", "[::1]|pw6|dave|http://[::1]:8080/||"},
       0},
      {"KeePass 2",
       "Account,Login Name,Password,Web Site,Comments\nMail,erin,pw7,mail.example,hi\n",
       {"Mail|pw7|erin|mail.example|hi|"},
       0},
      {"1Password",
       "Title,Url,Username,Password,OTPAuth,Favorite\nGit,https://git.example,fay,pw8,otpauth://t,0\n",
       {"Git|pw8|fay|https://git.example||otpauth://t"},
       0},
      {"LastPass",
       "url,username,password,totp,extra,name,grouping,fav\nhttps://l.example,gus,pw9,T,notes,LP,,0\n",
       {"LP|pw9|gus|https://l.example|notes|T"},
       0},
      {"Proton Pass, the e-mail as user name",
       "type,name,url,email,username,password,note,totp,createTime\nlogin,PP,https://p.example,h@p.example,,pwA,,,1\n",
       {"PP|pwA|h@p.example|https://p.example||"},
       0},
      {"Dashlane",
       "username,username2,username3,title,password,note,url,category\nivy,,,Dash,pwB,,d.example,\n",
       {"Dash|pwB|ivy|d.example||"},
       0},
      {"hostname",
       "hostname,username,password\nhttps://h.example:8080,jo,pwC\n",
       {"h.example|pwC|jo|https://h.example:8080||"},
       0},
      {"any order and case, line breaks, trimming",
       "PASSWORD,title,URL,UserName\n\" pw8 \t\",\"Multi\r\nLine\nTitle \",,\" eve\"\n\"  \",x,,\n",
       {"Multi Line Title|pw8|eve|||"},
       1},
      {"a longer row whose extra fields are empty",
       "url,username,password\nhttps://a.example,b,c,, \n",
       {"a.example|c|b|https://a.example||"},
       0},
      {"Quorvel", "Title,Password\r\n\"Say \"\"hi\"\", bye\",\"p,w\"\r\n", {"Say \"hi\", bye|p,w||||"}, 0},
  };
  for (const auto& c : cases) {
    TCsvImport result = Import(c.csv);
    EXPECT_TRUE(result.Ok()) << c.source << ": " << NarrowString(result.error);
    EXPECT_EQ(c.records, Records(result)) << c.source;
    EXPECT_EQ(std::pair(c.empty, 0), std::pair(result.empty, result.alreadyThere)) << c.source;
  }
}

TEST(CsvImport, SkipsRecordsAlreadyThereOrEarlierInTheFile) {
  // A duplicate has the same description, user name and password.
  TCsvImport result = CsvImportRows(
      CsvRead(S("Title,Username,Password,URL\n"
                "Bank,alice,pw1,\nBank,alice,pw2,\nBank,alice,pw2,\nOther,,x,\nNone,,,\nbank,alice,pw1,\nBank,,pw1,\n"
                "Bank,bob,pw1,\n")),
      Widened({"Bank", "Other"}), Widened({"pw1", "x "}), Widened({"alice"}));
  EXPECT_EQ(result.descriptions, Widened({"Bank", "bank", "Bank", "Bank"}));
  EXPECT_EQ(result.passwords, Widened({"pw2", "pw1", "pw1", "pw1"}));
  EXPECT_EQ(CsvImportSummary(result), S("Imported 4 records; skipped 4 (1 empty, 3 already there)."));
}

TEST(CsvImport, RefusesUnknownHeadersRaggedRowsAndMalformedFilesWithNothingImported) {
  const std::string unknown = "The file is not a CSV export Quorvel knows: its first line must name a Password column";
  struct Case {
    std::string csv, error;
  } cases[] = {
      {"", unknown},
      {"Title,User,Pass\nx,y,z\n", unknown},
      {"url,username\nx,y\n", unknown},
      {"url,username,password\n\"https://a\nb\",b,c\nx,y,z,w\n", "Line 4 has 4 fields, but the first line has 3."},
      {"url,username,password\na,b,c\nx,y\"z,w\n", "Line 3: a quote stands inside a field that does not start"},
  };
  for (const auto& c : cases) {
    TCsvImport result = Import(c.csv);
    EXPECT_EQ(NarrowString(result.error).substr(0, c.error.size()), c.error) << c.csv;
    EXPECT_TRUE(result.descriptions.empty() && result.passwords.empty()) << c.csv;
    EXPECT_EQ(result.empty + result.alreadyThere, 0) << c.csv;
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
