#include <gtest/gtest.h>

#include <string>

#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/RecordFile.h"
#include "app/records/SealedKey.h"
#include "tests/unit/app/records/RecordTestSupport.h"

namespace {
const std::string kKeyLine(120, 'A');
const std::string kSalt(32, '5');
}  // namespace

// The reader takes exactly the layout sealing writes, within bounds that keep
// a hostile key file from asking for unbounded work or a weak derivation.
TEST(SealedKey, TheReaderTakesOnlyWellFormedLinesWithinBounds) {
  struct TCase {
    std::string key, params;
    bool good;
  } cases[] = {
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + kSalt, true},
      {kKeyLine, "argon2id,v=19,m=1048576,t=100,p=16,salt=" + std::string(128, 'f'), true},
      {kKeyLine, "argon2id,v=19,m=65535,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=1048577,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=65536,t=2,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=65536,t=101,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=0,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + std::string(30, '5'), false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + std::string(33, '5'), false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + std::string(130, '5'), false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + std::string(31, '5') + "g", false},
      {kKeyLine, "argon2id,v=19,m=+65536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=00000000065536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2i,v=19,m=65536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=16,m=65536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,t=3,m=65536,p=4,salt=" + kSalt, false},
      {kKeyLine, "argon2id,v=19,m=65536,t=3,p=4,salt=" + kSalt + ",", false},
      {kKeyLine.substr(2), "argon2id,v=19,m=65536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine + "AA", "argon2id,v=19,m=65536,t=3,p=4,salt=" + kSalt, false},
      {kKeyLine.substr(1) + "x", "argon2id,v=19,m=65536,t=3,p=4,salt=" + kSalt, false},
  };
  for (const TCase& c : cases) {
    std::optional<TSealedKey> parsed = SealedKeyParse(WidenString(c.key), WidenString(c.params));
    EXPECT_EQ(c.good, parsed.has_value()) << c.key.size() << " " << c.params;
  }
  std::optional<TSealedKey> parsed = SealedKeyParse(WidenString(kKeyLine), WidenString(cases[0].params));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(65536u, parsed->cost.memoryKiB);
  EXPECT_EQ(3u, parsed->cost.passes);
  EXPECT_EQ(4u, parsed->cost.lanes);
  EXPECT_EQ(16u, parsed->salt.size());
  EXPECT_EQ(12u, parsed->nonce.size());
  EXPECT_EQ(48u, parsed->sealed.size());
}

// A pair sealed through the pair commit opens with its passphrase alone, in
// this process and in an independent implementation, and with no other.
TEST(SealedKey, ASealedPairOpensWithItsPassphraseOnly) {
  TempDir dir;
  PairKeyForget();
  descriptions = {S("bank"), S("mail")};
  passwords = {S("pw 1"), S("pw 2")};
  recordCount = 2;
  const String passphrase = S("correct horse");
  ASSERT_EQ(PairResult::Done, CommitNewPair(2, &passphrase));
  const std::string keyFile = TempDir::Read("quorvel.key");
  EXPECT_EQ(std::string::npos, keyFile.find("pw 1"));
  std::optional<TSealedKey> sealed = SealedKeyParse(WidenString(keyFile.substr(0, 120)),
                                                    WidenString(keyFile.substr(122, keyFile.find("\r\n", 122) - 122)));
  ASSERT_TRUE(sealed);
  EXPECT_GE(sealed->cost.passes, 3u);
  EXPECT_EQ(65536u, sealed->cost.memoryKiB);

  EXPECT_EQ("bank\npw 1\nmail\npw 2", IndependentDump("correct horse"));
  EXPECT_EQ("<not authentic>", IndependentDump("correct horse "));

  // This process remembers the key it sealed; once forgotten, the key file
  // is locked until the right passphrase opens it.
  EXPECT_EQ(KeyLock::Open, KeyFileLock());
  SealedKeyForgetAll();
  EXPECT_EQ(KeyLock::Sealed, KeyFileLock());
  ASSERT_TRUE(Reload());
  EXPECT_EQ(2u, UnreadableRecords().size()) << "read without the key";
  EXPECT_FALSE(KeyFileUnlock(S("Correct horse")));
  EXPECT_EQ(KeyLock::Sealed, KeyFileLock());
  ASSERT_TRUE(KeyFileUnlock(passphrase));
  ASSERT_TRUE(Reload());
  EXPECT_TRUE(UnreadableRecords().empty());
  EXPECT_EQ(S("pw 2"), passwords[1].Open());

  // Removing the passphrase: an open key file of the same kind, a new key.
  ASSERT_EQ(PairResult::Done, CommitNewPair(2));
  EXPECT_FALSE(KeyFileSealed());
  EXPECT_EQ("bank\npw 1\nmail\npw 2", IndependentDump());
  TempDir::Write("quorvel.key", keyFile.substr(0, 122) + "argon2id,v=19,m=65536\r\naes_256_gcm\r\n");
  EXPECT_EQ(KeyLock::Damaged, KeyFileLock());
}
