#include <gtest/gtest.h>
#include <sys/stat.h>

#include "runtime/AtomicFile.h"
#include "runtime/Stream.h"
#include "runtime/TestSeams.h"
#include "tests/unit/TempDir.h"

namespace {
std::vector<String> ReadAllLines(const std::string& bytes) {
  TempDir::Write("lines", bytes);
  auto stream = OpenForReading(S("lines"));
  std::vector<String> lines;
  while (!stream->Eof()) lines.push_back(stream->ReadLine());
  stream->Close();
  return lines;
}
}  // namespace

TEST(Stream, ReadLineDropsEveryCrAndEndsAtLfNulOrEnd) {
  TempDir dir;
  EXPECT_TRUE(ReadAllLines("").empty());
  EXPECT_EQ(ReadAllLines("one\r\ntwo\r\n"), (std::vector<String>{S("one"), S("two")}));
  EXPECT_EQ(ReadAllLines("a\rb\r\r\nc"), (std::vector<String>{S("ab"), S("c")}));
  EXPECT_EQ(ReadAllLines(std::string("x\0y\n", 4)), (std::vector<String>{S("x"), S("y")}));
  EXPECT_EQ(ReadAllLines("\r\n\r\n"), (std::vector<String>{String(), String()}));
  // Bytes above 127 become characters of the same code.
  auto high = ReadAllLines("\xff\x80\n");
  ASSERT_EQ(high.size(), 1u);
  EXPECT_EQ(high[0], (String{u'\u00ff', u'\u0080'}));
}

TEST(Stream, LinesHaveNoLengthLimitAcrossBufferBoundaries) {
  TempDir dir;
  std::string longLine(100000, 'Q');
  longLine[50000] = '\r';
  auto lines = ReadAllLines(longLine + "\r\nend");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 99999u);
  EXPECT_EQ(lines[1], S("end"));
}

TEST(Stream, WriteLineNarrowsAndTerminatesWithCrLf) {
  TempDir dir;
  auto out = OpenForWriting(S("w"));
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->WriteLine(String{u'A', u'\u0142', u'\u00e9'}));  // 0x142 narrows to 0x42 "B"
  EXPECT_TRUE(out->WriteLine(String()));
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(TempDir::Read("w"), "AB\xe9\r\n\r\n");
  struct stat st;
  ASSERT_EQ(stat("w", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Stream, PathKindAndOpenFailures) {
  TempDir dir;
  EXPECT_EQ(PathKind(S("missing")), 0);
  TempDir::Write("file", "x");
  EXPECT_EQ(PathKind(S("file")), 1);
  EXPECT_EQ(PathKind(S(".")), 2);
  EXPECT_EQ(OpenForReading(S("missing")), nullptr);
  EXPECT_EQ(OpenForWriting(S("no/such/dir/file")), nullptr);
  auto in = OpenForReading(S("file"));
  EXPECT_EQ(in->ReadByte(), 'x');
  EXPECT_TRUE(in->Eof());
}

TEST(Stream, RegularOpenRefusesAllButRegularFilesUpToTheCap) {
  TempDir dir;
  TempDir::Write("exact", std::string(64, 'e'));
  TempDir::Write("big", std::string(65, 'b'));
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", "zero"), 0);
  ASSERT_EQ(mkdir("dir", 0700), 0);
  const std::pair<const char*, TOpenRefusal> cases[] = {
      {"exact", TOpenRefusal::None},      {"big", TOpenRefusal::TooLarge},   {"fifo", TOpenRefusal::NotRegular},
      {"zero", TOpenRefusal::NotRegular}, {"dir", TOpenRefusal::NotRegular}, {"missing", TOpenRefusal::Missing}};
  for (const auto& [name, refusal] : cases) {
    SCOPED_TRACE(name);
    TOpenRefusal why = TOpenRefusal::Unreadable;
    EXPECT_EQ(OpenRegularForReading(S(name), 64, &why) != nullptr, refusal == TOpenRefusal::None);
    EXPECT_EQ(why, refusal);
    std::string bytes = "stale";
    EXPECT_EQ(ReadRegularFile(S(name), 64, bytes, &why), refusal == TOpenRefusal::None);
    EXPECT_EQ(why, refusal);
    EXPECT_EQ(bytes, refusal == TOpenRefusal::None ? TempDir::Read("exact") : "");
  }
}

TEST(Stream, BoundedReadsStopAtTheirCaps) {
  TempDir dir;
  TempDir::Write("lines", "0123456789\r\n" + std::string(100000, 'Q') + "\nnext");
  auto in = OpenRegularForReading(S("lines"), 1 << 20);
  String line = S("left over");
  EXPECT_TRUE(in->ReadLineBounded(line, 10));
  EXPECT_EQ(line, S("0123456789"));
  EXPECT_FALSE(in->ReadLineBounded(line, 10));
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(in->ReadLine().size(), 100000u - 11) << "stops just past the cap";
  // A file that grows after it was opened (and found small enough) is cut at the cap.
  TempDir::Write("growing", std::string(100, 'g'));
  auto growing = OpenRegularForReading(S("growing"), 100);
  std::ofstream("growing", std::ios::app) << std::string(50000, 'h');
  uint8_t buffer[4096];
  size_t total = 0;
  for (size_t n; (n = growing->Read(buffer, sizeof buffer)) > 0;) total += n;
  EXPECT_EQ(total, 100u);
  EXPECT_TRUE(growing->LimitExceeded());
}

TEST(Stream, FailingWriteIsReported) {
  TempDir dir;
  auto out = OpenForWriting(S("w"));
  StreamFailWritesAfter(3);
  out->WriteLine(S("abcdef"));
  EXPECT_FALSE(out->Close());
  StreamFailWritesAfter(-1);
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFile) {
  TempDir dir;
  TempDir::Write("target", "old\r\n");
  {
    TAtomicFile file(S("target"));
    ASSERT_TRUE(file.Open());
    file.WriteLine(S("new"));
    StreamFailWritesAfter(2);
    EXPECT_FALSE(file.Commit());
    StreamFailWritesAfter(-1);
  }
  EXPECT_EQ(TempDir::Read("target"), "old\r\n");
  {
    TAtomicFile abandoned(S("target"));
    ASSERT_TRUE(abandoned.Open());
    abandoned.WriteLine(S("never committed"));
  }
  EXPECT_EQ(TempDir::Read("target"), "old\r\n");
  TAtomicFile file(S("target"));
  ASSERT_TRUE(file.Open());
  file.WriteLine(S("new"));
  EXPECT_TRUE(file.Commit());
  EXPECT_EQ(TempDir::Read("target"), "new\r\n");
  struct stat st;
  ASSERT_EQ(stat("target", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary files are left behind.
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(".")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, CommitFailsWhenTheTargetWasReplacedSinceItsStamp) {
  // {the target existed, another program renames its own file over it meanwhile}
  const std::pair<bool, bool> cases[] = {{true, false}, {true, true}, {false, false}, {false, true}};
  for (const auto& [existed, replaced] : cases) {
    SCOPED_TRACE(testing::Message() << "existed " << existed << ", replaced " << replaced);
    TempDir dir;
    if (existed) TempDir::Write("target", "old");
    TAtomicFile file(S("target"));
    file.ExpectTarget(FileStampOf("target"));
    ASSERT_TRUE(file.Open());
    file.WriteLine(S("new"));
    if (replaced) {
      TempDir::Write("theirs", "theirs");
      ASSERT_EQ(rename("theirs", "target"), 0);
    }
    EXPECT_EQ(file.Commit(), !replaced);
    EXPECT_EQ(file.TargetChanged(), replaced);
    EXPECT_EQ(TempDir::Read("target"), replaced ? "theirs" : "new\r\n");
    EXPECT_EQ(file.Written() == FileStampOf("target"), !replaced);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 1);
  }
}
