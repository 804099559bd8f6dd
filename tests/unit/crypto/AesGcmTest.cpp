#include <gtest/gtest.h>

#include <string>

#include "crypto/AesGcm.h"

namespace {
ByteArray Hex(const std::string& hex) {
  ByteArray bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), 0, 16)));
  return bytes;
}

// The published GCM test case 16 (AES-256, 96-bit IV, associated data).
const ByteArray kKey = Hex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
const ByteArray kNonce = Hex("cafebabefacedbaddecaf888");
const ByteArray kAd = Hex("feedfacedeadbeeffeedfacedeadbeefabaddad2");
const ByteArray kPlain =
    Hex("d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de6"
        "57ba637b39");
const ByteArray kSealed =
    Hex("522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a"
        "0abcc9f662"
        "76fc6ece0f4e1768cddf8853bb2d551b");
}  // namespace

TEST(AesGcm, MatchesThePublishedVectorAndRefusesAnyChangedBit) {
  ByteArray out;
  ASSERT_TRUE(AesGcmSeal({kKey.data(), kNonce.data(), kAd.data(), kAd.size()}, kPlain.data(), kPlain.size(), out));
  EXPECT_EQ(kSealed, out);
  ASSERT_TRUE(AesGcmOpen({kKey.data(), kNonce.data(), kAd.data(), kAd.size()}, kSealed.data(), kSealed.size(), out));
  EXPECT_EQ(kPlain, out);

  // One bit flipped in the ciphertext, the tag, the associated data, the
  // nonce or the key (parts 0 to 4): refused, and nothing handed out.
  for (int part = 0; part < 5; ++part) {
    ByteArray key = kKey, nonce = kNonce, ad = kAd, sealed = kSealed;
    ByteArray* parts[] = {&sealed, &sealed, &ad, &nonce, &key};
    const size_t byte = part == 1 ? sealed.size() - 1 : part;  // part 1: the tag's last byte
    (*parts[part])[byte] ^= 0x10;
    out.assign(5, 1);
    EXPECT_FALSE(AesGcmOpen({key.data(), nonce.data(), ad.data(), ad.size()}, sealed.data(), sealed.size(), out))
        << "part " << part;
    EXPECT_TRUE(out.empty()) << "part " << part;
  }
  EXPECT_FALSE(AesGcmOpen({kKey.data(), kNonce.data(), nullptr, 0}, kSealed.data(), kGcmTagSize - 1, out));

  // An empty message is its tag alone, and opens to nothing.
  ASSERT_TRUE(AesGcmSeal({kKey.data(), kNonce.data(), nullptr, 0}, nullptr, 0, out));
  ASSERT_EQ(kGcmTagSize, out.size());
  const ByteArray tagOnly = out;
  EXPECT_TRUE(AesGcmOpen({kKey.data(), kNonce.data(), nullptr, 0}, tagOnly.data(), tagOnly.size(), out));
  EXPECT_TRUE(out.empty());
}
