#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/records/KeyFile.h"
#include "app/records/PairKey.h"
#include "app/records/PairCommit.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "app/records/RecordKey.h"
#include "app/records/RecordLayout.h"
#include "app/records/RecordView.h"
#include "app/records/TestSeams.h"
#include "runtime/Stream.h"
#include "runtime/TestSeams.h"
#include "tests/unit/app/records/RecordTestSupport.h"

namespace {

// A view that remembers the last status text and the labels it was told to
// show.
String status;
std::vector<std::string> shown;
bool confirmAnswer = true;
const TRecordView kView = {[] {
                             shown.clear();
                             for (size_t i = 0; i < descriptions.size(); ++i)
                               shown.push_back(NarrowString(RecordLabel(static_cast<int32_t>(i))));
                           },
                           [](const String& text) { status = text; }, [](const String&) { return confirmAnswer; }};

// Each test gets a fresh directory with an RC4 key file, and a view that
// stands in for the main window and the records combo box.
class RecordFile : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteKeyFile("0123456789abcdefTheRestOfTheKey", "01234567", "rc4");
    ASSERT_TRUE(Reload());  // no records, no state of an earlier test
    status.clear();
    shown.clear();
    RecordViewInstall(&kView);
  }
  void TearDown() override {
    RecordViewInstall(nullptr);
    StreamFailWritesAfter(-1);
    // Nothing held is left for the next test, sealed fields least of all.
    remove("quorvel.dat");
    Reload();
  }

  static std::string Line(const char* field) { return NarrowString(EncryptRecordText(S(field))) + "\r\n"; }

  static std::vector<std::string> Fields(const std::vector<String>& strings) {
    std::vector<std::string> out;
    for (const String& s : strings) out.push_back(NarrowString(s));
    return out;
  }
  static std::vector<std::string> Fields(const std::vector<TSecret>& secrets) {
    std::vector<std::string> out;
    for (const TSecret& s : secrets) out.push_back(NarrowString(s.Open()));
    return out;
  }

  static int Entries() {
    int count = 0;
    DIR* d = opendir(".");
    while (struct dirent* e = readdir(d)) count += e->d_name[0] != '.';
    closedir(d);
    return count;
  }

  TempDir dir;
};

using Strings = std::vector<std::string>;

TEST_F(RecordFile, LoadsTwoLinesPerRecordAndTestsTheEndBeforeEachRecord) {
  const std::string body = Line("mail") + Line("pw1") + Line("bank") + Line("pw 2");
  TempDir::Write("quorvel.dat", body);
  ASSERT_TRUE(Reload());
  EXPECT_EQ(2, recordCount);
  EXPECT_EQ(Strings({"mail", "bank"}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw1", "pw 2"}), Fields(passwords));

  // One extra line break: one more record, both fields empty.
  TempDir::Write("quorvel.dat", body + "\r\n");
  ASSERT_TRUE(Reload());
  EXPECT_EQ(3, recordCount);
  EXPECT_EQ(Strings({"mail", "bank", ""}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw1", "pw 2", ""}), Fields(passwords));

  // An odd number of lines: the last password is read at the end as empty.
  TempDir::Write("quorvel.dat", Line("mail") + Line("pw1") + Line("lonely"));
  ASSERT_TRUE(Reload());
  EXPECT_EQ(Strings({"mail", "lonely"}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw1", ""}), Fields(passwords));

  // LF-only lines, CR bytes inside lines and surrounding blanks load the same.
  std::string mail = NarrowString(EncryptRecordText(S("mail")));
  std::string pw = NarrowString(EncryptRecordText(S("pw1")));
  TempDir::Write("quorvel.dat", mail.substr(0, 3) + "\r" + mail.substr(3) + "\n \t" + pw + "  \n");
  ASSERT_TRUE(Reload());
  EXPECT_EQ(Strings({"mail"}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw1"}), Fields(passwords));

  // No record file: no records, nothing written.
  remove("quorvel.dat");
  ASSERT_TRUE(Reload());
  EXPECT_EQ(0, recordCount);
  EXPECT_TRUE(descriptions.empty());
  EXPECT_EQ(0, PathKind(S("quorvel.dat")));
}

TEST_F(RecordFile, LegacyPlainFileIsRewrittenEncryptedAndDecryptsIndependently) {
  remove("quorvel.key");
  RecordViewInstall(nullptr);  // start-up migrates before the window exists
  TempDir::Write("quorvel.dat", "  web mail\t\r\n\x01secret pw \x7f\r\n\x1f bank\nx  y\n");
  ASSERT_EQ(KeySettle::Ready, SettleKeyFile());
  EXPECT_EQ(0, PathKind(S("quorvel.key"))) << "the key is made together with the encrypted records";
  ASSERT_TRUE(Reload(false));
  ASSERT_EQ(81u, TempDir::Read("quorvel.key").size());
  EXPECT_EQ(2, recordCount);
  EXPECT_EQ(Strings({"web mail", "bank"}), Fields(descriptions));
  EXPECT_EQ(Strings({"secret pw \x7f", "x  y"}), Fields(passwords));

  std::string stored = TempDir::Read("quorvel.dat");
  Strings lines;
  for (size_t start = 0; start < stored.size();) {
    size_t end = stored.find("\r\n", start);
    ASSERT_NE(std::string::npos, end);
    lines.push_back(stored.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(5u, lines.size());
  const Strings expected = {"web mail", "secret pw \x7f", "bank", "x  y"};
  // The header, then each field: type, record id, its name, and a 12-byte
  // nonce and a 16-byte tag around the value.
  EXPECT_EQ(96u * 2, lines[0].size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ((10 + (i % 2 ? 8 : 11) + 12 + expected[i].size() + 16) * 2, lines[i + 1].size());
  EXPECT_EQ("web mail\nsecret pw \x7f\nbank\nx  y", IndependentDump());
  struct stat st;
  ASSERT_EQ(0, stat("quorvel.dat", &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
}

TEST_F(RecordFile, FailedMigrationLeavesThePlainFileExactlyAsItWasWithoutAKey) {
  const std::string plain = "mail\r\npw\r\n";
  remove("quorvel.key");
  TempDir::Write("quorvel.dat", plain);
  // Failing in the key, in the records, at the end of either.
  for (int64_t budget : {5, 64, 70, 100}) {
    StreamFailWritesAfter(budget);
    EXPECT_FALSE(Reload(false)) << budget;
    StreamFailWritesAfter(-1);
    EXPECT_EQ(plain, TempDir::Read("quorvel.dat")) << budget;
    EXPECT_EQ(1, Entries()) << budget;
  }
}

namespace {
int crashAt = 0;
void CrashAtStep(int step) {
  if (step == crashAt) _exit(0);
}

// Runs work in a child process that dies right after step crashAt.
void CrashDuring(void (*work)()) {
  const pid_t child = fork();
  if (child == 0) {
    PairCommitStepHook(CrashAtStep);
    work();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}
}  // namespace

// Killed after each step of a migration or a re-keying, the next start finds
// either the old pair (a plain file and no key, or the old key and records) or
// the complete new one; either way the records are all there.
TEST_F(RecordFile, ACrashBetweenAnyTwoStepsLeavesTheOldPairOrTheWholeNewOne) {
  RecordViewInstall(nullptr);
  const Strings expected = {"mail", "pw", "bank", "x y"};
  for (bool migrating : {true, false}) {
    for (crashAt = 1; crashAt <= 4; ++crashAt) {
      const std::string oldKey = "0123456789abcdefTheRestOfTheKey\r\n01234567\r\nrc4\r\n";
      if (migrating) {
        remove("quorvel.key");
        TempDir::Write("quorvel.dat", "mail\r\npw\r\nbank\r\nx y\r\n");
        CrashDuring([] { Reload(false); });
      } else {
        TempDir::Write("quorvel.key", oldKey);
        TempDir::Write("quorvel.dat", Line("mail") + Line("pw") + Line("bank") + Line("x y"));
        CrashDuring([] {
          Reload();
          CommitNewPair(recordCount);
        });
      }
      // The next start.
      RecoverPairCommit();
      RemoveLeftovers();
      const bool committed = crashAt >= 3;
      EXPECT_EQ(committed || !migrating, PathKind(S("quorvel.key")) == 1) << migrating << crashAt;
      if (PathKind(S("quorvel.key")) == 1) {
        EXPECT_EQ(!committed, TempDir::Read("quorvel.key") == oldKey) << migrating << crashAt;
      }
      ASSERT_TRUE(Reload(PathKind(S("quorvel.key")) == 1)) << migrating << crashAt;
      EXPECT_EQ(expected, Strings({NarrowString(descriptions[0]), NarrowString(passwords[0].Open()),
                                   NarrowString(descriptions[1]), NarrowString(passwords[1].Open())}))
          << migrating << crashAt;
      EXPECT_EQ(2, Entries()) << "pending or temporary files left: " << migrating << crashAt;
    }
  }
}

TEST_F(RecordFile, SavingNeverLeavesAHalfWrittenOrSentinelFile) {
  descriptions = {S("mail"), S(" bank ")};
  passwords = {S("pw1"), S("pw2\r\n")};
  recordCount = 2;
  TempDir::Write("quorvel.dat", "old");
  chmod("quorvel.dat", 0644);
  ASSERT_TRUE(Reload());  // the file this program last read: replaced, not merged
  descriptions = {S("mail"), S(" bank ")};
  passwords = {S("pw1"), S("pw2\r\n")};
  recordCount = 2;
  ASSERT_EQ(1, SaveRecords(2));
  const std::string saved = TempDir::Read("quorvel.dat");
  EXPECT_EQ(Line("mail") + Line("pw1") + Line("bank") + Line("pw2"), saved);
  struct stat st;
  ASSERT_EQ(0, stat("quorvel.dat", &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
  EXPECT_EQ(String(), status);

  // A write that fails midway keeps the previous file and leaves no debris.
  const int entries = Entries();
  descriptions.push_back(S("third"));
  passwords.push_back(S("pw3"));
  for (int64_t budget : {0, 10, 30}) {
    StreamFailWritesAfter(budget);
    EXPECT_EQ(0, SaveRecords(3));
    StreamFailWritesAfter(-1);
    EXPECT_EQ(saved, TempDir::Read("quorvel.dat"));
    EXPECT_EQ(entries, Entries());
    EXPECT_EQ(kSaveFailedMessage, status);
  }

  // Another key file swapped in, of any kind: nothing is written under it, and
  // the failure stays at the front of the status bar until a save succeeds.
  for (const char* cipher : {"RC4", "rc4", "aes_256_gcm"}) {
    status.clear();
    WriteKeyFile("0123456789abcdef", "01234567", cipher);
    EXPECT_EQ(0, SaveRecords(3));
    EXPECT_EQ(saved, TempDir::Read("quorvel.dat"));
    EXPECT_EQ(kKeyFileChangedMessage, status);
    EXPECT_TRUE(RecordsUnsaved());
    EXPECT_EQ(S("quorvel.key was changed by another program; nothing was written. Record 2 ..."),
              RecordStatusLine(S("Record 2 ...")));
  }
  WriteKeyFile("0123456789abcdefTheRestOfTheKey", "01234567", "rc4");
  ASSERT_EQ(1, SaveRecords(3));
  EXPECT_EQ(S("The records were saved."), status);
  EXPECT_FALSE(RecordsUnsaved());

  // With no window the failure is still answered with 0.
  RecordViewInstall(nullptr);
  StreamFailWritesAfter(0);
  EXPECT_EQ(0, SaveRecords(3));
  StreamFailWritesAfter(-1);

  // Zero records empty the file; counts beyond the arrays write what exists.
  ASSERT_EQ(1, SaveRecords(0));
  EXPECT_EQ("", TempDir::Read("quorvel.dat"));
  ASSERT_EQ(1, SaveRecords(99));
  ASSERT_TRUE(Reload());
  EXPECT_EQ(3, recordCount);
}

TEST_F(RecordFile, FieldsThatCouldNotBeDecryptedKeepTheirStoredLines) {
  WriteKeyFile(std::string(32, 'k'), "0123456789abcdef", "aes_256_cbc");
  std::string good = Line("mail") + Line("pw1");
  std::string bad = NarrowString(EncryptRecordText(S("bank"))).substr(0, 30) + "\r\n" + Line("pw2");
  TempDir::Write("quorvel.dat", good + bad);
  ASSERT_TRUE(Reload());
  EXPECT_EQ(Strings({"mail", ""}), Fields(descriptions));
  EXPECT_FALSE(RecordReadable(1));
  descriptions.push_back(S("new"));
  passwords.push_back(S("pw3"));
  recordCount = 3;
  ASSERT_EQ(1, SaveRecords(3));
  const std::string saved = TempDir::Read("quorvel.dat");
  EXPECT_EQ(good + bad, saved.substr(0, good.size() + bad.size()));
  ASSERT_TRUE(Reload());
  EXPECT_EQ(Strings({"mail", "", "new"}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw1", "pw2", "pw3"}), Fields(passwords));

  // However many there are, the status bar's line about them fits its 640 pixels.
  std::string many;
  for (int i = 0; i < 12; ++i) many += bad;
  TempDir::Write("quorvel.dat", many);
  ASSERT_TRUE(Reload());
  EXPECT_EQ("Records 1, 2, 3, 4, 5 and 7 more could not be read (changed or damaged); kept as they are.",
            NarrowString(UnreadableRecordsMessage()));
}

TEST_F(RecordFile, DeleteMovesLaterRecordsUpAndIgnoresIndicesOutsideTheRecords) {
  descriptions = {S("a"), S("b"), S("c")};
  passwords = {S("1"), S("2"), S("3")};
  recordCount = 3;
  for (int32_t index : {-1, 3, 7}) EXPECT_EQ(0, DeleteRecord(index, 3));
  EXPECT_EQ(3u, descriptions.size());
  EXPECT_TRUE(shown.empty());  // nothing refilled either

  ASSERT_EQ(1, DeleteRecord(0, 3));
  EXPECT_EQ(Strings({"b", "c"}), Fields(descriptions));
  EXPECT_EQ(Strings({"2", "3"}), Fields(passwords));
  EXPECT_EQ(Strings({"b", "c"}), shown);

  ASSERT_EQ(1, DeleteRecord(1, 2));
  EXPECT_EQ(Strings({"b"}), Fields(descriptions));
  EXPECT_EQ(Strings({"b"}), shown);

  ASSERT_EQ(1, DeleteRecord(0, 1));
  EXPECT_TRUE(descriptions.empty());
  EXPECT_TRUE(passwords.empty());
  EXPECT_TRUE(shown.empty());

  // No records left: nothing to delete.
  EXPECT_EQ(0, DeleteRecord(0, 0));
  EXPECT_EQ(0, DeleteRecord(-1, 0));

  // Before the window exists nothing is told.
  RecordViewInstall(nullptr);
  descriptions = {S("x"), S("y")};
  passwords = {S("1"), S("2")};
  EXPECT_EQ(1, DeleteRecord(1, 2));
  EXPECT_EQ(Strings({"x"}), Fields(descriptions));
}

// quorvel.dat replaced from outside between a load and a save, the way a sync
// tool does it (a new file renamed over the old one): the save merges what
// each side did, carries a stored line that could not be decrypted through
// byte for byte, and writes nothing over a version it cannot read.
TEST_F(RecordFile, ASaveMergesAFileReplacedElsewhereSinceItWasLastRead) {
  WriteKeyFile(std::string(32, 'k'), "0123456789abcdef", "aes_256_cbc");
  const std::string damaged = NarrowString(EncryptRecordText(S("old"))).substr(0, 30);
  // Records as "description=password"; "?" stands for the damaged line.
  auto body = [&](const Strings& records) {
    std::string text;
    for (const std::string& r : records) {
      const std::string d = r.substr(0, r.find('='));
      text += (d == "?" ? damaged + "\r\n" : Line(d.c_str())) + Line(r.substr(r.find('=') + 1).c_str());
    }
    return text;
  };
  auto replaceElsewhere = [](const std::string& text) {
    TempDir::Write("synced.tmp", text);
    ASSERT_EQ(0, rename("synced.tmp", "quorvel.dat"));
  };
  auto held = [] {
    Strings out;
    for (int32_t i = 0; i < recordCount; ++i)
      out.push_back((RecordReadable(i) ? NarrowString(descriptions[i]) : "?") + "=" + NarrowString(passwords[i].Open()));
    return out;
  };
  const Strings base = {"a=1", "b=2", "?=3"};
  struct TCase {
    const char* what;
    void (*ours)();
    Strings theirs, merged;
    const char* status;
  } cases[] = {
      {"added there", [] {}, {"a=1", "b=2", "?=3", "d=4"}, {"a=1", "b=2", "?=3", "d=4"}, "1 added, 0 removed"},
      {"added here, deleted there",
       [] {
         descriptions.push_back(S("e"));
         passwords.push_back(S("5"));
         ++recordCount;
       },
       {"a=1", "?=3"},
       {"a=1", "?=3", "e=5"},
       "0 added, 1 removed"},
      {"changed on both sides",
       [] { ChangeRecord(1, S("b"), S("2x")); },
       {"a=1", "b=2y", "?=3"},
       {"a=1", "b=2x", "?=3", "b=2y"},
       "1 added, 0 removed"},
      {"deleted here, changed there",
       [] { DeleteRecord(0, recordCount--); },
       {"a=1z", "b=2", "?=3"},
       {"b=2", "?=3", "a=1z"},
       "1 added, 0 removed"},
      {"the unreadable record deleted there", [] {}, {"a=1", "b=2"}, {"a=1", "b=2"}, "0 added, 1 removed"},
      {"the same change on both sides",
       [] { ChangeRecord(0, S("a"), S("1z")); },
       {"a=1z", "b=2", "?=3"},
       {"a=1z", "b=2", "?=3"},
       "nothing added, changed or removed"},
  };
  for (const TCase& c : cases) {
    TempDir::Write("quorvel.dat", body(base));
    ASSERT_TRUE(Reload());
    c.ours();
    replaceElsewhere(body(c.theirs));
    status.clear();
    ASSERT_EQ(1, SaveRecords(recordCount)) << c.what;
    EXPECT_EQ(c.merged, held()) << c.what;
    EXPECT_NE(std::string::npos, NarrowString(status).find(std::string("merged: ") + c.status)) << c.what;
    const bool keptLine = TempDir::Read("quorvel.dat").find(damaged + "\r\n") != std::string::npos;
    EXPECT_EQ(std::count(c.merged.begin(), c.merged.end(), "?=3") == 1, keptLine) << c.what;
    ASSERT_TRUE(Reload());
    EXPECT_EQ(c.merged, held()) << c.what << ", read back";
  }

  // Saved without a change elsewhere: no merge. A file removed meanwhile is
  // written anew.
  status.clear();
  ASSERT_EQ(1, SaveRecords(recordCount));
  remove("quorvel.dat");
  ASSERT_EQ(1, SaveRecords(recordCount));
  EXPECT_EQ(String(), status);

  // A version under another key cannot be read: nothing is written and the
  // records stay as they are.
  WriteKeyFile(std::string(32, 'o'), "0123456789abcdef", "aes_256_cbc");
  const std::string other = Line("x") + Line("y");
  WriteKeyFile(std::string(32, 'k'), "0123456789abcdef", "aes_256_cbc");
  replaceElsewhere(other);
  const Strings before = held();
  EXPECT_EQ(0, SaveRecords(recordCount));
  EXPECT_EQ(other, TempDir::Read("quorvel.dat"));
  EXPECT_EQ(before, held());
  EXPECT_NE(std::string::npos, NarrowString(status).find("does not read with quorvel.key"));
}

TEST(RecordFileText, TrimRemovesBlanksAndControlsFromBothEndsOnly) {
  EXPECT_EQ(S("a b"), TrimText(S(" \t\r\na b\x01\x1f ")));
  EXPECT_EQ(String(), TrimText(S(" \t\x01\x20")));
  EXPECT_EQ(String(), TrimText(String()));
  EXPECT_EQ(S("\x7f"
              "x\x7f"),
            TrimText(S("\x7fx\x7f")));  // 127 is kept
  EXPECT_EQ(String(u"\u0101"), TrimText(String(u" \u0101\n")));
}

}  // namespace

// Only the temporary names the program's own saves and key creations use, as
// regular files, go; anything else that merely looks alike stays.
TEST_F(RecordFile, StartUpRemovesOnlyTheProgramsOwnLeftovers) {
  const Strings ours = {"quorvel.dat.tmpAZaz09", "quorvel.key.tmp9Zz0aA", "quorvel.dat.pending.tmp000000",
                        "quorvel.key.pending.tmpzzzzzz", "quorvel.conf.tmpQ1w2E3"};
  const Strings theirs = {"quorvel.dat.tmp12345",  "quorvel.dat.tmp1234567", "quorvel.dat.tmp12345!",
                          "quorvel.datXtmp123456", "notes.tmp123456",        "quorvel.dat.pendingtmp123456",
                          "quorvel.bak.tmp123456"};
  for (const auto& name : ours) TempDir::Write(name.c_str(), "debris");
  for (const auto& name : theirs) TempDir::Write(name.c_str(), "mine");
  ASSERT_EQ(0, mkdir("quorvel.key.tmpdirect", 0700));
  ASSERT_EQ(0, symlink("quorvel.dat", "quorvel.dat.tmplinked"));
  RemoveLeftovers();
  for (const auto& name : ours) EXPECT_EQ(0, PathKind(S(name.c_str()))) << name;
  for (const auto& name : theirs) EXPECT_EQ(1, PathKind(S(name.c_str()))) << name;
  EXPECT_EQ(2, PathKind(S("quorvel.key.tmpdirect")));
  struct stat st;
  EXPECT_EQ(0, lstat("quorvel.dat.tmplinked", &st)) << "a link is not the program's own file";
}

namespace {
std::vector<std::string> FileLines() {
  const std::string text = TempDir::Read("quorvel.dat");
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size(); at = text.find("\r\n", at) + 2)
    lines.push_back(text.substr(at, text.find("\r\n", at) - at));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Flipped(std::string line, size_t at) { return line.replace(at, 1, line[at] == '0' ? "1" : "0"); }
}  // namespace

// Under an "aes_256_gcm" key file the whole file is authenticated: equal
// fields give different lines, and a file cut short, with a record dropped,
// records swapped, a line of an older version or any digit changed is
// detected. What reads is shown, the first save asks, and nothing readable
// or stored is lost by it.
TEST_F(RecordFile, DamageToTheAuthenticatedFileIsDetectedReportedAndLosesNothing) {
  remove("quorvel.key");
  ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
  ASSERT_TRUE(Reload());
  descriptions = {S("bank"), S("mail"), S("shop")};
  passwords = {S("same"), S("same"), S("older")};
  recordCount = 3;
  ASSERT_EQ(1, SaveRecords(3));
  const Strings older = FileLines();
  passwords[2] = S("other");  // changed as a record of two fields, with no time
  ASSERT_EQ(1, SaveRecords(3));
  const Strings lines = FileLines();
  ASSERT_EQ(7u, lines.size());
  EXPECT_NE(lines[2].substr(40), lines[4].substr(40)) << "equal passwords, equal lines";

  struct TCase {
    const char* what;
    Strings stored;
    bool damaged;
    Strings readable;  // the descriptions that read
    std::vector<int32_t> unreadable;
  } cases[] = {
      {"as written", lines, false, {"bank", "mail", "shop"}, {}},
      {"cut short", {lines[0], lines[1], lines[2], lines[3], lines[4]}, true, {"bank", "mail"}, {}},
      {"a record dropped", {lines[0], lines[1], lines[2], lines[5], lines[6]}, true, {"bank", "shop"}, {}},
      {"two records swapped",
       {lines[0], lines[5], lines[6], lines[3], lines[4], lines[1], lines[2]},
       true,
       {"shop", "mail", "bank"},
       {}},
      {"a line of an older version",
       {lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], older[6]},
       true,
       {"bank", "mail", "shop"},
       {}},
      {"the header changed",
       {Flipped(lines[0], 100), lines[1], lines[2], lines[3], lines[4], lines[5], lines[6]},
       true,
       {"bank", "mail", "shop"},
       {}},
      {"a digit changed",
       {lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], Flipped(lines[6], 60)},
       true,
       {"bank", "mail", "shop"},
       {2}},
  };
  for (const TCase& c : cases) {
    TempDir::Write("quorvel.dat", Joined(c.stored));
    ASSERT_TRUE(Reload()) << c.what;
    EXPECT_EQ(c.damaged, RecordFileDamaged()) << c.what;
    EXPECT_EQ(c.readable, Fields(descriptions)) << c.what;
    EXPECT_EQ(c.unreadable, UnreadableRecords()) << c.what;
    for (int32_t i : c.unreadable)
      EXPECT_EQ("Record " + std::to_string(i + 1) + ": not readable", NarrowString(RecordLabel(i))) << c.what;
    // Declined, the save writes nothing and the change stays unsaved.
    confirmAnswer = false;
    EXPECT_EQ(c.damaged ? 0 : 1, SaveRecords(recordCount)) << c.what;
    EXPECT_EQ(c.damaged, Joined(c.stored) == TempDir::Read("quorvel.dat")) << c.what;
    EXPECT_EQ(c.damaged, RecordsUnsaved()) << c.what;
    confirmAnswer = true;
    ASSERT_EQ(1, SaveRecords(recordCount)) << c.what;
    ASSERT_TRUE(Reload());
    EXPECT_FALSE(RecordFileDamaged()) << c.what << ", once saved whole";
    EXPECT_EQ(c.readable, Fields(descriptions)) << c.what << ", after the save";
    EXPECT_EQ(c.unreadable, UnreadableRecords()) << c.what << ", after the save";
    const bool kept = TempDir::Read("quorvel.dat").find(c.stored.back() + "\r\n") != std::string::npos;
    EXPECT_TRUE(c.unreadable.empty() || kept) << c.what << ": the stored line is written back as it was";
  }
  // A field that could not be read is never re-encrypted under a new key.
  EXPECT_EQ(PairResult::WriteFailed, CommitNewPair(recordCount));
}

// A record written under another key file is carried with all it needs to
// decrypt: records deleted before it, and a new layout written around it,
// never strand it. Values that look like the cipher's old failure markers
// are ordinary values.
TEST_F(RecordFile, ARecordUnderAnotherKeyReadsOnceItsKeyIsBackWhateverHappenedAroundIt) {
  for (bool firstLayout : {false, true}) {
    remove("quorvel.key");
    ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
    const std::string ownKey = TempDir::Read("quorvel.key");
    ASSERT_TRUE(Reload());
    descriptions = {S("-2"), S("kept"), S("-3")};
    passwords = {S("-3"), S("pw"), S("-2")};
    recordCount = 3;
    ASSERT_EQ(1, SaveRecords(3));
    if (firstLayout) {
      // The same records in the first authenticated layout, bound to their numbers.
      Strings old;
      for (int i = 0; i < 6; ++i)
        old.push_back(NarrowString(TRecordKey().Encrypt(i % 2 ? passwords[i / 2].Open() : descriptions[i / 2], i / 2,
                                                        i % 2 ? RecordField::Password : RecordField::Description)));
      TempDir::Write("quorvel.dat", Joined(old));
    }
    // Another key file takes its place between two runs.
    remove("quorvel.key");
    ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
    ASSERT_TRUE(Reload());
    EXPECT_EQ(3u, UnreadableRecords().size());
    ASSERT_EQ(1, DeleteRecord(0, recordCount--));
    ASSERT_EQ(1, SaveRecords(recordCount));
    TempDir::Write("quorvel.key", ownKey);
    ASSERT_TRUE(Reload());
    EXPECT_TRUE(UnreadableRecords().empty()) << firstLayout;
    EXPECT_EQ(Strings({"kept", "-3"}), Fields(descriptions)) << firstLayout;
    EXPECT_EQ(Strings({"pw", "-2"}), Fields(passwords)) << firstLayout;
    ASSERT_EQ(1, SaveRecords(recordCount));
    EXPECT_EQ("kept\npw\n-3\n-2", IndependentDump()) << firstLayout;
  }
}

// Pairs of the older kinds load and save byte for byte, and a record added
// to them is encrypted in their own kind.
TEST_F(RecordFile, OlderKindsSaveByteForByteAndAddInTheirOwnKind) {
  for (const char* cipher : {"rc4", "aes_256_cbc"}) {
    WriteKeyFile(std::string(32, 'k'), "0123456789abcdef", cipher);
    const std::string file = Line("bank") + Line("pw1") + Line("mail") + Line("pw1");
    TempDir::Write("quorvel.dat", file);
    ASSERT_TRUE(Reload());
    ASSERT_EQ(1, SaveRecords(recordCount));
    EXPECT_EQ(file, TempDir::Read("quorvel.dat")) << cipher;
    descriptions.push_back(S("new"));
    passwords.push_back(S("pw3"));
    ASSERT_EQ(1, SaveRecords(++recordCount));
    EXPECT_EQ(file + Line("new") + Line("pw3"), TempDir::Read("quorvel.dat")) << cipher;
    EXPECT_EQ(TempDir::Read("quorvel.key"), std::string(32, 'k') + "\r\n0123456789abcdef\r\n" + cipher + "\r\n");
  }
}

// Only a regular file of a bounded size is read as the record file or the
// key file: a FIFO never blocks the start, a link to a device is never read
// from, and a huge file or line is refused before it fills the memory.
TEST_F(RecordFile, OnlyBoundedRegularFilesAreReadAndNothingIsWrittenOverTheRest) {
  struct TCase {
    const char* what;
    const char* file;
    void (*make)(const char* path);
    const char* named;
  } cases[] = {
      {"a FIFO", "quorvel.dat", [](const char* path) { ASSERT_EQ(0, mkfifo(path, 0600)); }, "not a regular file"},
      {"a link to /dev/zero", "quorvel.dat", [](const char* path) { ASSERT_EQ(0, symlink("/dev/zero", path)); },
       "not a regular file"},
      {"a file over 256 MiB", "quorvel.dat",
       [](const char* path) {
         TempDir::Write(path, "");
         ASSERT_EQ(0, truncate(path, (256 << 20) + 1));  // sparse: nothing is stored
       },
       "larger than a record file"},
      {"a line over 1 MiB", "quorvel.dat",
       [](const char* path) { TempDir::Write(path, std::string((1 << 20) + 1, 'A')); }, "has a line longer"},
      {"a FIFO for a key", "quorvel.key", [](const char* path) { ASSERT_EQ(0, mkfifo(path, 0600)); },
       "not a regular file"},
      {"a key file over 64 KiB", "quorvel.key",
       [](const char* path) { TempDir::Write(path, std::string((64 << 10) + 1, 'A')); }, "larger than a key file"},
      {"a file of the current layout under an older kind's key", "quorvel.dat",
       [](const char* path) { TempDir::Write(path, "51554F5256454C3200\r\n"); }, "is of the aes_256_gcm kind"},
  };
  for (const TCase& c : cases) {
    remove(c.file);
    c.make(c.file);
    EXPECT_FALSE(Reload()) << c.what;
    EXPECT_NE(std::string::npos, NarrowString(RecordFileRefusal()).find(c.named)) << c.what;
    remove(c.file);
    WriteKeyFile("0123456789abcdefTheRestOfTheKey", "01234567", "rc4");
  }
  // The start-up guard does not scan a record file that is no regular file.
  remove("quorvel.key");
  ASSERT_EQ(0, mkfifo("quorvel.dat", 0600));
  EXPECT_EQ(KeyGuard::Unreadable, RunKeyFileGuard());
  remove("quorvel.dat");
  ASSERT_EQ(0, mkfifo("quorvel.key", 0600));
  EXPECT_EQ(KeyGuard::KeyNotRegular, RunKeyFileGuard());
}

// A changed password is kept among the record's earlier ones, newest first,
// ten at the most, through a save and a new load; a description alone
// changes none, and a pair of an older kind keeps none.
TEST_F(RecordFile, ChangedPasswordsAreKeptAsTheTenNewestEarlierOnes) {
  for (bool current : {true, false}) {
    if (current) {
      remove("quorvel.key");
      ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
    }
    remove("quorvel.dat");
    ASSERT_TRUE(Reload());
    descriptions = {S("site")};
    passwords = {S("pw0")};
    recordCount = 1;
    for (int i = 1; i <= 12; ++i) ASSERT_EQ(1, ChangeRecord(0, S("site"), S(("pw" + std::to_string(i)).c_str())));
    ASSERT_EQ(1, ChangeRecord(0, S("site renamed"), S("pw12")));
    ASSERT_EQ(1, SaveRecords(1));
    ASSERT_TRUE(Reload());
    Strings earlier;
    for (String& entry : EarlierPasswords(0)) earlier.push_back(NarrowString(entry.substr(entry.find(u' ') + 1)));
    EXPECT_EQ(current ? Strings({"pw11", "pw10", "pw9", "pw8", "pw7", "pw6", "pw5", "pw4", "pw3", "pw2"}) : Strings(),
              earlier)
        << current;
    EXPECT_EQ(Strings({"site renamed"}), Fields(descriptions));
    WriteKeyFile("0123456789abcdefTheRestOfTheKey", "01234567", "rc4");
  }
}

// Fields no list shows stay sealed as read: a save writes their lines back
// as they stood, while their values still read, merge and re-key as values.
// Odd line forms (LF alone, NUL, blanks, no last line end, a CR inside)
// read as the line reader reads them.
TEST_F(RecordFile, FieldsNoListShowsStaySealedAsReadYetReadMergeAndRekeyAsValues) {
  remove("quorvel.key");
  ASSERT_EQ(KeySettle::Ready, WriteFreshKey(kKeyFileName, true));
  ASSERT_TRUE(Reload());
  descriptions = {S("bank"), S("mail")};
  passwords = {S("pw0"), S("pw")};
  recordCount = 2;
  ASSERT_EQ(1, ChangeRecord(0, S("bank"), S("pw1")));
  RecordSetField(0, kNotesField, S("line one\nline two"));
  RecordSetField(1, kOneTimeField, S("JBSWY3DPEHPK3PXP"));
  ASSERT_EQ(1, SaveRecords(2));
  const Strings written = FileLines();
  ASSERT_TRUE(Reload());
  ASSERT_EQ(1, ChangeRecord(1, S("mail box"), S("pw")));
  ASSERT_EQ(1, SaveRecords(2));
  const Strings again = FileLines();
  for (size_t i = 1; i < written.size(); ++i) {
    // Type, record id, name length, name: the fields a list shows are read
    // and written afresh, and mail's change time changed.
    const std::string bytes = FromHex(written[i]), name = bytes.substr(10, static_cast<uint8_t>(bytes[9]));
    if (name == "description" || name == "password" || name == "changed") continue;
    EXPECT_NE(again.end(), std::find(again.begin(), again.end(), written[i])) << name << " re-encrypted";
  }
  EXPECT_EQ("line one\nline two", NarrowString(RecordFieldValue(0, kNotesField)));
  ASSERT_EQ(1u, EarlierPasswords(0).size());
  EXPECT_EQ(" pw0", NarrowString(EarlierPasswords(0)[0].substr(EarlierPasswords(0)[0].find(u' '))));

  // Changed elsewhere meanwhile: the merge compares values, not lines.
  const std::string mine = TempDir::Read("quorvel.dat");
  RecordSetField(1, kNotesField, S("noted there"));
  ASSERT_EQ(1, SaveRecords(2));
  const std::string theirs = TempDir::Read("quorvel.dat");
  TempDir::Write("quorvel.dat", mine);
  ASSERT_TRUE(Reload());
  RecordSetField(0, kUserNameField, S("alice"));
  TempDir::Write("synced.tmp", theirs);
  ASSERT_EQ(0, rename("synced.tmp", "quorvel.dat"));
  ASSERT_EQ(1, SaveRecords(2));
  EXPECT_EQ(2, recordCount) << "no false conflict";
  EXPECT_EQ("alice", NarrowString(RecordFieldValue(0, kUserNameField)));
  EXPECT_EQ("noted there", NarrowString(RecordFieldValue(1, kNotesField)));
  EXPECT_EQ("line one\nline two", NarrowString(RecordFieldValue(0, kNotesField)));

  // Read as the line reader reads: the same records, damaged or not alike.
  const Strings lines = FileLines();
  const std::string whole = Joined(lines);
  struct TForm {
    const char* what;
    std::string text;
  } forms[] = {
      {"LF alone", [&] {
         std::string t;
         for (const std::string& l : lines) t += l + "\n";
         return t;
       }()},
      {"NUL ends a line", lines[0] + '\0' + whole.substr(lines[0].size() + 2)},
      {"blanks around lines", " \t" + lines[0] + " \r\n" + whole.substr(lines[0].size() + 2)},
      {"no last line end", whole.substr(0, whole.size() - 2)},
      {"a CR inside a line", lines[0].substr(0, 9) + "\r" + lines[0].substr(9) + "\r\n" + whole.substr(lines[0].size() + 2)},
      {"lower-case digits", [&] {
         std::string t = whole;
         std::transform(t.begin(), t.end(), t.begin(), ::tolower);
         return t;
       }()},
  };
  const TRecordKey key;
  for (const TForm& form : forms) {
    TempDir::Write("form.dat", form.text);
    std::vector<String> byReader;
    Ref<TStream> in = OpenForReading(S("form.dat"));
    while (!in->Eof()) byReader.push_back(TrimText(in->ReadLine()));
    in->Close();
    const TRecordFileContent expected = ParseRecordLines(byReader, &key);
    TRecordFileContent read;
    ASSERT_EQ(TRecordRead::Read, ReadRecordFile(S("form.dat"), &key, read, nullptr, true)) << form.what;
    RecordFieldsOpen(read.records, key);
    EXPECT_EQ(expected.damaged, read.damaged) << form.what;
    ASSERT_EQ(expected.records.size(), read.records.size()) << form.what;
    for (size_t i = 0; i < read.records.size(); ++i)
      EXPECT_TRUE(expected.records[i].SameContent(read.records[i])) << form.what << ", record " << i;
  }

  // A big file is read in two halves at once, split where a record starts:
  // the same records, whether its digest holds or not (lower-case digits).
  ASSERT_TRUE(Reload());
  const std::string small = TempDir::Read("quorvel.dat");
  descriptions.clear();
  passwords.clear();
  // Five lines a record: more than a thread is started for.
  const int n = 900;
  for (int i = 0; i < n; ++i) {
    descriptions.push_back(S(("site " + std::to_string(i)).c_str()));
    passwords.push_back(S(("pw " + std::to_string(i)).c_str()));
  }
  recordCount = n;
  for (int i = 0; i < n; ++i) {
    RecordSetField(i, kNotesField, S(("notes " + std::to_string(i)).c_str()));
    RecordSetField(i, kUserNameField, S(("user " + std::to_string(i)).c_str()));
    RecordSetField(i, kWebAddressField, S("https://example.org"));
  }
  ASSERT_EQ(1, SaveRecords(n));
  std::string lower = TempDir::Read("quorvel.dat");
  std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
  const std::string upper = TempDir::Read("quorvel.dat");
  for (bool damaged : {false, true}) {
    TempDir::Write("quorvel.dat", damaged ? lower : upper);
    ASSERT_TRUE(Reload());
    EXPECT_EQ(damaged, RecordFileDamaged());
    ASSERT_EQ(n, recordCount);
    EXPECT_TRUE(UnreadableRecords().empty());
    for (int i : {0, n / 2 - 1, n / 2, n / 2 + 1, n - 1}) {
      EXPECT_EQ("site " + std::to_string(i), NarrowString(descriptions[i]));
      EXPECT_EQ("pw " + std::to_string(i), NarrowString(passwords[i].Open()));
      EXPECT_EQ("notes " + std::to_string(i), NarrowString(RecordFieldValue(i, kNotesField)));
      EXPECT_EQ("user " + std::to_string(i), NarrowString(RecordFieldValue(i, kUserNameField)));
    }
  }
  TempDir::Write("quorvel.dat", small);

  // Re-keyed, the sealed fields are written under the new key.
  ASSERT_TRUE(Reload());
  ASSERT_EQ(PairResult::Done, CommitNewPair(recordCount));
  ASSERT_TRUE(Reload());
  EXPECT_EQ("noted there", NarrowString(RecordFieldValue(1, kNotesField)));
  EXPECT_EQ("JBSWY3DPEHPK3PXP", NarrowString(RecordFieldValue(1, kOneTimeField)));
}

// Locked, a sealed pair holds its records only sealed, the key is gone, and
// a change that could not be saved comes back with them once unlocked.
TEST_F(RecordFile, ALockedPairHoldsNothingReadableAndLosesNoUnsavedChange) {
  const String passphrase = S("lock phrase");
  descriptions = {S("bank")};
  passwords = {S("pw-bank")};
  recordCount = 1;
  ASSERT_EQ(PairResult::Done, CommitNewPair(1, &passphrase));
  RecordSetField(0, kNotesField, S("note"));
  StreamFailWritesAfter(0);
  descriptions.push_back(S("mail"));
  passwords.push_back(S("pw-mail"));
  EXPECT_EQ(0, SaveRecords(++recordCount));
  StreamFailWritesAfter(-1);
  ASSERT_TRUE(RecordsUnsaved());
  ASSERT_TRUE(RecordsLock());
  EXPECT_EQ(0, recordCount);
  EXPECT_TRUE(descriptions.empty() && passwords.empty());
  EXPECT_EQ(KeyLock::Sealed, PairKeyLock());
  EXPECT_FALSE(RecordsUnlock()) << "opened without the passphrase";
  EXPECT_FALSE(PairKeyUnlock(S("wrong")));
  ASSERT_TRUE(PairKeyUnlock(passphrase));
  ASSERT_TRUE(RecordsUnlock());
  EXPECT_EQ(Strings({"bank", "mail"}), Fields(descriptions));
  EXPECT_EQ(Strings({"pw-bank", "pw-mail"}), Fields(passwords));
  EXPECT_EQ("note", NarrowString(RecordFieldValue(0, kNotesField)));
  EXPECT_TRUE(RecordsUnsaved());
  ASSERT_EQ(1, SaveRecords(recordCount));
  EXPECT_EQ("bank\npw-bank\nmail\npw-mail", IndependentDump("lock phrase"));
}
