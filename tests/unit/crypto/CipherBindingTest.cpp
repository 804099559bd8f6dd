#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "crypto/Cipher.h"
#include "crypto/CipherContext.h"
#include "crypto/Crypto.h"

using evp::EVP_CIPHER;
using evp::EVP_CIPHER_CTX;

namespace {

// libcrypto's RC2 effective-key-bits controls (EVP_CTRL_GET_RC2_KEY_BITS and
// EVP_CTRL_SET_RC2_KEY_BITS); the binding keeps OpenSSL headers to itself.
constexpr int32_t kGetRc2KeyBits = 2;
constexpr int32_t kSetRc2KeyBits = 3;

ByteArray FromHex(const std::string& hex) {
  ByteArray bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), 0, 16)));
  return bytes;
}

class CipherBinding : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CryptoLoadLegacy()); }
};

// RC4 keyed with a length other than its default: init without a key, set the
// length, then key it without passing the cipher again.
ByteArray Rc4Keystream(const ByteArray& key, int32_t count) {
  Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
  EXPECT_EQ(1, ctx->CipherInit(EVP_CIPHER::rc4(), nullptr, {}, {}, 1));
  EXPECT_EQ(1, ctx->SetKeyLength(static_cast<int32_t>(key.size())));
  EXPECT_EQ(1, ctx->CipherInit(nullptr, nullptr, key, {}, 1));
  ByteArray zeros(count, 0), out(count + 16, 0xEE);
  int32_t n = -1, m = -1;
  EXPECT_EQ(1, ctx->CipherUpdate(out.data(), &n, zeros.data(), count));
  EXPECT_EQ(1, ctx->CipherFinal(out.data() + n, &m));
  EXPECT_EQ(count, n);
  EXPECT_EQ(0, m);
  EXPECT_EQ(1, ctx->Cleanup());
  out.resize(count);
  return out;
}

TEST_F(CipherBinding, Rc4MatchesRfc6229Keystreams) {
  EXPECT_EQ(FromHex("b2396305f03dc027ccc3524a0a1118a8"), Rc4Keystream(FromHex("0102030405"), 16));
  EXPECT_EQ(FromHex(std::string("9ac7cc9a609d1ef7b2932899cde41b97") + "5248c4959014126a6e8a84f11d1a9e1c"),
            Rc4Keystream(FromHex("0102030405060708090a0b0c0d0e0f10"), 32));
  EXPECT_EQ(FromHex("720c94b63edf44e131d950ca211a5a30"), Rc4Keystream(FromHex("ebb46227c6cc8b37641910833222772a"), 16));
}

TEST_F(CipherBinding, Aes256CbcMatchesNistVectorBothWays) {
  ByteArray key = FromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
  ByteArray iv = FromHex("000102030405060708090a0b0c0d0e0f");
  ByteArray plain = FromHex("6bc1bee22e409f96e93d7e117393172a");
  ByteArray cipher = FromHex("f58c4c04d6e5f1ba779eabfb5f7bfbd6");

  Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
  ASSERT_EQ(1, ctx->EncryptInit(EVP_CIPHER::aes_256_cbc(), nullptr, key, iv));
  EXPECT_EQ(16, ctx->GetBlockSize());
  EXPECT_EQ(1, ctx->SetPadding(0));
  ByteArray out(48);
  int32_t n = 0, m = 0;
  ASSERT_EQ(1, ctx->EncryptUpdate(out.data(), &n, plain.data(), 16));
  ASSERT_EQ(1, ctx->EncryptFinal(out.data() + n, &m));
  out.resize(n + m);
  EXPECT_EQ(cipher, out);
  ctx->Cleanup();

  // The same context is reusable after Cleanup.
  ASSERT_EQ(1, ctx->DecryptInit(EVP_CIPHER::aes_256_cbc(), nullptr, key, iv));
  ctx->SetPadding(0);
  ByteArray back(48);
  ASSERT_EQ(1, ctx->DecryptUpdate(back.data(), &n, cipher.data(), 16));
  ASSERT_EQ(1, ctx->DecryptFinal(back.data() + n, &m));
  back.resize(n + m);
  EXPECT_EQ(plain, back);
  ctx->Cleanup();

  // With padding on, a wrong key is caught by the final step.
  ByteArray padded(64);
  ASSERT_EQ(1, ctx->CipherInit(EVP_CIPHER::aes_256_cbc(), nullptr, key, iv, 1));
  ASSERT_EQ(1, ctx->CipherUpdate(padded.data(), &n, plain.data(), 16));
  ASSERT_EQ(1, ctx->CipherFinal(padded.data() + n, &m));
  EXPECT_EQ(32, n + m);
  ctx->Cleanup();
  key[0] ^= 1;
  ASSERT_EQ(1, ctx->CipherInit(EVP_CIPHER::aes_256_cbc(), nullptr, key, iv, 0));
  ASSERT_EQ(1, ctx->CipherUpdate(out.data(), &n, padded.data(), 32));
  EXPECT_EQ(0, ctx->CipherFinal(back.data(), &m));
  ctx->Cleanup();
}

TEST_F(CipherBinding, EveryCipherDescriptorRoundTrips) {
  using Factory = Ref<EVP_CIPHER> (*)();
  const Factory factories[] = {
      EVP_CIPHER::des_cbc,      EVP_CIPHER::des_ecb,     EVP_CIPHER::des_ofb,      EVP_CIPHER::des_ede_cbc,
      EVP_CIPHER::des_ede,      EVP_CIPHER::des_ede_ofb, EVP_CIPHER::des_ede3_cbc, EVP_CIPHER::des_ede3,
      EVP_CIPHER::des_ede3_ofb, EVP_CIPHER::desx_cbc,    EVP_CIPHER::bf_cbc,       EVP_CIPHER::bf_ecb,
      EVP_CIPHER::bf_ofb,       EVP_CIPHER::rc4,         EVP_CIPHER::rc2_cbc,      EVP_CIPHER::rc2_ecb,
      EVP_CIPHER::rc2_ofb,      EVP_CIPHER::cast5_cbc,   EVP_CIPHER::cast5_ecb,    EVP_CIPHER::cast5_ofb,
      EVP_CIPHER::aes_128_ecb,  EVP_CIPHER::aes_128_cbc, EVP_CIPHER::aes_128_ofb,  EVP_CIPHER::aes_192_ecb,
      EVP_CIPHER::aes_192_cbc,  EVP_CIPHER::aes_192_ofb, EVP_CIPHER::aes_256_ecb,  EVP_CIPHER::aes_256_cbc,
      EVP_CIPHER::aes_256_ofb};
  ASSERT_EQ(29u, std::size(factories));
  ByteArray plain(100);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7);
  for (size_t f = 0; f < std::size(factories); ++f) {
    SCOPED_TRACE(f);
    Ref<EVP_CIPHER> cipher = factories[f]();
    ASSERT_NE(nullptr, cipher->cipherPtr);
    ByteArray key(cipher->GetKeyLength(), 0x5A), iv(cipher->GetIVLength(), 0x33);
    ByteArray sealed(plain.size() + 64), opened(plain.size() + 64);
    int32_t n = 0, m = 0;
    Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
    ASSERT_EQ(1, ctx->CipherInit(cipher, nullptr, key, iv, 1));
    ASSERT_EQ(1, ctx->CipherUpdate(sealed.data(), &n, plain.data(), static_cast<int32_t>(plain.size())));
    ASSERT_EQ(1, ctx->CipherFinal(sealed.data() + n, &m));
    sealed.resize(n + m);
    EXPECT_NE(0, std::memcmp(sealed.data(), plain.data(), plain.size()));
    ctx->Cleanup();
    ASSERT_EQ(1, ctx->CipherInit(cipher, nullptr, key, iv, 0));
    ASSERT_EQ(1, ctx->CipherUpdate(opened.data(), &n, sealed.data(), static_cast<int32_t>(sealed.size())));
    ASSERT_EQ(1, ctx->CipherFinal(opened.data() + n, &m));
    opened.resize(n + m);
    EXPECT_EQ(plain, opened);
    ctx->Cleanup();
  }
  // A new object on every call, all sharing the library's descriptor.
  Ref<EVP_CIPHER> a = EVP_CIPHER::rc4(), b = EVP_CIPHER::rc4();
  EXPECT_NE(a, b);
  EXPECT_EQ(a->cipherPtr, b->cipherPtr);
  EXPECT_EQ(16, a->GetKeyLength());
  EXPECT_EQ(8, EVP_CIPHER::des_cbc()->GetKeyLength());
  EXPECT_EQ(16, EVP_CIPHER::aes_256_cbc()->GetIVLength());
}

TEST_F(CipherBinding, PassingTheCipherAgainRestoresItsDefaultKeyLength) {
  ByteArray key = FromHex("ebb46227c6cc8b37641910833222772a0102030405060708");
  Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
  ctx->CipherInit(EVP_CIPHER::rc4(), nullptr, {}, {}, 1);
  EXPECT_EQ(1, ctx->SetKeyLength(24));
  ctx->CipherInit(EVP_CIPHER::rc4(), nullptr, key, {}, 1);
  ByteArray zeros(16, 0), out(32);
  int32_t n = 0;
  ASSERT_EQ(1, ctx->CipherUpdate(out.data(), &n, zeros.data(), 16));
  out.resize(n);
  // Only the first 16 key bytes count: the RFC 6229 keystream of that key.
  EXPECT_EQ(FromHex("720c94b63edf44e131d950ca211a5a30"), out);
  ctx->Cleanup();
}

TEST_F(CipherBinding, ControlsReachTheCipher) {
  Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
  ASSERT_EQ(1, ctx->CipherInit(EVP_CIPHER::rc2_cbc(), nullptr, {}, {}, 1));
  int32_t bits = 0;
  EXPECT_EQ(1, ctx->CtrlGet(kGetRc2KeyBits, &bits));
  EXPECT_EQ(128, bits);
  EXPECT_EQ(1, ctx->CtrlSet(kSetRc2KeyBits, 64));
  EXPECT_EQ(1, ctx->CtrlGet(kGetRc2KeyBits, &bits));
  EXPECT_EQ(64, bits);
  ctx->Cleanup();
}

TEST_F(CipherBinding, ContextsWithoutACipherFailInsteadOfCrashing) {
  uint8_t in[8] = {}, out[64];
  int32_t n = 7, value = 0;

  // Init without a cipher on a fresh context is refused by the library.
  Ref<EVP_CIPHER_CTX> ctx = EVP_CIPHER_CTX::CreateContext();
  EXPECT_EQ(0, ctx->CipherInit(nullptr, nullptr, ByteArray(16, 1), {}, 1));
  EXPECT_EQ(0, ctx->SetKeyLength(16));
  EXPECT_EQ(0, ctx->GetBlockSize());
  EXPECT_EQ(0, ctx->SetPadding(0));
  EXPECT_EQ(0, ctx->CtrlGet(kGetRc2KeyBits, &value));
  EXPECT_EQ(0, ctx->CtrlSet(kSetRc2KeyBits, 64));
  EXPECT_EQ(0, ctx->CipherUpdate(out, &n, in, 8));
  EXPECT_EQ(0, n);
  EXPECT_EQ(0, ctx->EncryptUpdate(out, &n, in, 8));
  EXPECT_EQ(0, ctx->DecryptUpdate(out, &n, in, 8));
  EXPECT_EQ(0, ctx->CipherFinal(out, &n));
  EXPECT_EQ(0, ctx->EncryptFinal(out, &n));
  EXPECT_EQ(0, ctx->DecryptFinal(out, &n));

  // A context object that was never created has no library context at all.
  EVP_CIPHER_CTX bare;
  EXPECT_EQ(nullptr, bare.ctxPtr);
  EXPECT_EQ(0, bare.CipherInit(EVP_CIPHER::rc4(), nullptr, ByteArray(16, 1), {}, 1));
  EXPECT_EQ(0, bare.GetBlockSize());
  EXPECT_EQ(0, bare.Cleanup());
}

}  // namespace
