#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "crypto/Crypto.h"
#include "crypto/Digest.h"
#include "crypto/DigestContext.h"
#include "crypto/DigestText.h"

namespace {

class DigestText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CryptoLoadLegacy()); }
};

String Upper(const char* hex) {
  String text = S(hex);
  for (auto& c : text)
    if (c >= 'a' && c <= 'f') c = static_cast<char16_t>(c - 'a' + 'A');
  return text;
}

TEST_F(DigestText, StringDigestsMatchPublishedValues) {
  EXPECT_EQ(Upper("900150983cd24fb0d6963f7d28e17f72"), evp::MD5Text(S("abc")));
  EXPECT_EQ(Upper("f96b697d7cb7938d525a2f31aaf161d0"), evp::MD5Text(S("message digest")));
  EXPECT_EQ(Upper("a9993e364706816aba3e25717850c26c9cd0d89d"), evp::SHA1Text(S("abc")));
  EXPECT_EQ(Upper("8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"), evp::RIPEMD160Text(S("abc")));
  // DSS1 digests with SHA-1.
  EXPECT_EQ(Upper("a9993e364706816aba3e25717850c26c9cd0d89d"), evp::DSS1Text(S("abc")));
  // Characters are narrowed to their low 8 bits before hashing.
  String wide = S("abc");
  for (auto& c : wide) c = static_cast<char16_t>(c | 0x4100);
  EXPECT_EQ(evp::MD5Text(S("abc")), evp::MD5Text(wide));
}

TEST_F(DigestText, EmptyOrMissingInputAndGoneDigestsGiveEmptyText) {
  // The empty string gives no text, not the digest of no data (d41d8cd9...).
  EXPECT_EQ(String(), evp::MD5Text(S("")));
  EXPECT_EQ(String(), evp::SHA1Text(Ref<TStream>()));
  // SHA-0 and DSS have no OpenSSL 3 implementation.
  EXPECT_EQ(nullptr, evp::EVP_MD::SHA()->digestPtr);
  EXPECT_EQ(String(), evp::SHAText(S("abc")));
  EXPECT_EQ(String(), evp::DSSText(S("abc")));

  // The context refuses updates and finals without a digest instead of crashing.
  Ref<evp::EVP_MD_CTX> ctx = evp::EVP_MD_CTX::CreateContext();
  EXPECT_EQ(0, ctx->DigestInit(evp::EVP_MD::SHA(), nullptr));
  EXPECT_EQ(0, ctx->DigestInit(nullptr, nullptr));
  uint8_t out[64];
  int32_t n = 5;
  EXPECT_EQ(0, ctx->DigestUpdate(reinterpret_cast<const uint8_t*>("abc"), 3));
  EXPECT_EQ(0, ctx->DigestFinal(out, &n));
  EXPECT_EQ(0, n);
}

TEST_F(DigestText, StreamDigestsReadTheWholeFileInBlocks) {
  char path[] = "/tmp/quorvel-digest-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  // One million "a" (FIPS 180 appendix A.3) spans many 2048-byte blocks.
  std::string block(1000, 'a');
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(1000, write(fd, block.data(), block.size()));
  close(fd);
  EXPECT_EQ(Upper("34aa973cd4c4daa4f61eeb2bdbad27316534016f"), evp::SHA1Text(OpenForReading(S(path))));

  fd = open(path, O_WRONLY | O_TRUNC);
  ASSERT_EQ(3, write(fd, "abc", 3));
  close(fd);
  EXPECT_EQ(Upper("900150983cd24fb0d6963f7d28e17f72"), evp::MD5Text(OpenForReading(S(path))));
  EXPECT_EQ(Upper("8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"), evp::RIPEMD160Text(OpenForReading(S(path))));
  unlink(path);
}

}  // namespace
