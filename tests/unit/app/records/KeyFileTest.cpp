#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "app/generator/RandomSource.h"
#include "app/generator/TestSeams.h"
#include "app/records/KeyFile.h"
#include "runtime/Stream.h"
#include "runtime/TestSeams.h"
#include "tests/unit/TempDir.h"

TEST(KeyFile, GuardTellsEncryptedFilesFromLegacyOnes) {
  TempDir dir;
  EXPECT_EQ(RunKeyFileGuard(), KeyGuard::Proceed);  // nothing there
  TempDir::Write("quorvel.dat", "");
  EXPECT_EQ(RunKeyFileGuard(), KeyGuard::KeyLost);
  TempDir::Write("quorvel.dat", "0123456789ABCDEF\r\nFF\n");
  EXPECT_EQ(RunKeyFileGuard(), KeyGuard::KeyLost);
  for (const char* legacy : {"0a\r\n", "AB CD\r\n", "mail\r\npw\r\n", "00\t"}) {
    TempDir::Write("quorvel.dat", legacy);
    EXPECT_EQ(RunKeyFileGuard(), KeyGuard::Proceed) << legacy;
  }
  // With a key file present the record file is not examined at all.
  TempDir::Write("quorvel.dat", "ABCDEF\r\n");
  TempDir::Write("quorvel.key", "k\r\n");
  EXPECT_EQ(RunKeyFileGuard(), KeyGuard::Proceed);
}

TEST(KeyFile, RecordFileThatCannotBeReadStopsTheGuard) {
  TempDir dir;
  ASSERT_EQ(mkdir("quorvel.dat", 0700), 0);
  EXPECT_EQ(RunKeyFileGuard(), KeyGuard::Unreadable);
}

TEST(KeyFile, CreatesAnOwnerOnlyAuthenticatedKeyFileInItsLayout) {
  TempDir dir;
  recordsEncrypted = true;
  ASSERT_EQ(SettleKeyFile(), KeySettle::Ready);
  EXPECT_FALSE(recordsEncrypted);
  std::string bytes = TempDir::Read("quorvel.key");
  // 64 upper-case hexadecimal digits of the record key, no IV, the kind.
  ASSERT_EQ(bytes.size(), 81u);
  EXPECT_EQ(bytes.substr(64), "\r\n\r\naes_256_gcm\r\n");
  EXPECT_EQ(bytes.find_first_not_of("0123456789ABCDEF"), 64u);
  struct stat st;
  ASSERT_EQ(stat("quorvel.key", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_nlink, 1u) << "the temporary name is gone";
  // An existing key file is kept as it is.
  ASSERT_EQ(SettleKeyFile(), KeySettle::Ready);
  EXPECT_TRUE(recordsEncrypted);
  EXPECT_EQ(TempDir::Read("quorvel.key"), bytes);
}

namespace {
long FailingGetRandom(void*, unsigned long, unsigned int) { return -1; }

// Another copy writes its key file while this one is drawing its key.
long RacingGetRandom(void* buffer, unsigned long length, unsigned int) {
  if (PathKind(kKeyFileName) == 0) TempDir::Write("quorvel.key", "theirs\r\n");
  std::memset(buffer, 7, length);
  return static_cast<long>(length);
}

int Entries() {
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(".")) {
    (void)entry;
    ++entries;
  }
  return entries;
}
}  // namespace

TEST(KeyFile, FailedCreationLeavesNoPartialKeyFile) {
  TempDir dir;
  StreamFailWritesAfter(40);
  EXPECT_EQ(SettleKeyFile(), KeySettle::WriteFailed);
  StreamFailWritesAfter(-1);
  EXPECT_EQ(Entries(), 0);
  // Without the system's random source there is no key at all, never a
  // weaker one.
  RandomSourceUseGetRandom(FailingGetRandom);
  EXPECT_EQ(SettleKeyFile(), KeySettle::RandomFailed);
  RandomSourceUseGetRandom(nullptr);
  EXPECT_EQ(Entries(), 0);
}

TEST(KeyFile, AKeyFileWrittenMeanwhileByAnotherCopyIsKept) {
  TempDir dir;
  RandomSourceUseGetRandom(RacingGetRandom);
  EXPECT_EQ(SettleKeyFile(), KeySettle::Ready);
  RandomSourceUseGetRandom(nullptr);
  EXPECT_TRUE(recordsEncrypted);
  EXPECT_EQ(TempDir::Read("quorvel.key"), "theirs\r\n");
  EXPECT_EQ(Entries(), 1);
}
