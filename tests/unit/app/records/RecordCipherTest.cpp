#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/records/RecordCipher.h"
#include "tests/unit/FreedBlockWatch.h"
#include "tests/unit/app/records/RecordTestSupport.h"

namespace {

String W(const std::string& bytes) { return WidenString(bytes); }

std::string AllBytes() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

TEST(RecordCipher, Rc4UsesTheFirstSixteenKeyBytesAsRfc6229Shows) {
  TempDir dir;
  const std::string key = FromHex("ebb46227c6cc8b37641910833222772a");
  const String zeros(16, u'\0');
  // However long the key line, RC4 runs with its default 16-byte key.
  for (const std::string& line : {key, key + std::string(240, 'x'), key + "tail"}) {
    WriteKeyFile(line, "01234567", "rc4");
    EXPECT_EQ(S("720C94B63EDF44E131D950CA211A5A30"), EncryptRecordText(zeros));
    EXPECT_EQ(zeros, DecryptRecordText(S("720C94B63EDF44E131D950CA211A5A30")));
  }
  // A key line shorter than 16 bytes is used zero-padded, as openssl does.
  WriteKeyFile("Short", "01234567", "rc4");
  String hex = EncryptRecordText(S("secret text"));
  EXPECT_EQ("secret text", OpensslDecrypt("rc4", ToHex("Short"), "", FromHex(NarrowString(hex))));
}

TEST(RecordCipher, Aes256CbcMatchesNistVectorThroughTheKeyFile) {
  TempDir dir;
  // The IV cannot hold the vector's control bytes in a text line, so the
  // plaintext absorbs the difference: P' xor IV' = P xor IV.
  const std::string nistIv = FromHex("000102030405060708090a0b0c0d0e0f");
  const std::string nistPlain = FromHex("6bc1bee22e409f96e93d7e117393172a");
  const std::string iv(16, 'A');
  std::string plain;
  for (int i = 0; i < 16; ++i) plain.push_back(static_cast<char>(nistPlain[i] ^ nistIv[i] ^ iv[i]));
  WriteKeyFile(FromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4"), iv, "aes_256_cbc");
  String hex = EncryptRecordText(W(plain));
  ASSERT_EQ(64u, hex.size());  // one data block and one padding block
  EXPECT_EQ(S("F58C4C04D6E5F1BA779EABFB5F7BFBD6"), hex.substr(0, 32));
  EXPECT_EQ(W(plain), DecryptRecordText(hex));

  // The created key files carry an 8-byte IV; AES then sees it zero-padded.
  WriteKeyFile(std::string(32, 'k'), "ABCDEFGH", "aes_256_cbc");
  hex = EncryptRecordText(S("padded iv"));
  EXPECT_EQ("padded iv",
            OpensslDecrypt("aes-256-cbc", ToHex(std::string(32, 'k')), ToHex("ABCDEFGH"), FromHex(NarrowString(hex))));
}

// The IV, like the key, is wiped from every buffer that held it, for a block
// cipher (whose IV is handed over padded) and a stream cipher alike.
TEST(RecordCipher, NoBufferIsFreedWithTheIvOrTheKeyInIt) {
  TempDir dir;
  const std::string iv = "Iv#9q!Z7", key(32, '\xA7');
  for (const char* cipher : {"aes_256_cbc", "bf_cbc", "rc4"}) {
    WriteKeyFile(key, iv, cipher);
    for (const std::string* secret : {&iv, &key}) {
      secretsFreed = 0;
      watchedSecret = secret;
      const String hex = EncryptRecordText(S("plain"));
      const String plain = DecryptRecordText(hex);
      watchedSecret = nullptr;
      EXPECT_EQ(plain, S("plain")) << cipher;
      EXPECT_EQ(secretsFreed, 0) << cipher << (secret == &iv ? ": the IV" : ": the key");
    }
  }
}

TEST(RecordCipher, EveryCipherOfTheTableRoundTripsAnyBytes) {
  TempDir dir;
  struct Case {
    const char* name;
    size_t keyLength;
    const char* opensslName;
    size_t defaultKey;
  };
  const Case cases[] = {
      {"aes_256_cbc", 32, "aes-256-cbc", 32}, {"bf_cbc", 4, "bf-cbc", 16},  {"bf_cbc", 56, "bf-cbc", 16},
      {"cast5_cbc", 5, "cast5-cbc", 16},      {"des_cbc", 7, "des-cbc", 8}, {"rc2_cbc", 1, "rc2-cbc", 16},
      {"rc2_cbc", 16, "rc2-cbc", 16},         {"rc4", 5, "rc4", 16},        {"rc4", 256, "rc4", 16}};
  const std::vector<std::string> texts = {
      "", "a", AllBytes(), std::string(2048, 'q'), std::string(2049, 'r'), std::string(5000, '\xff')};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.keyLength));
    std::string key;
    for (size_t i = 0; i < c.keyLength; ++i) key.push_back(static_cast<char>('0' + (i * 7) % 43));
    WriteKeyFile(key, "IvIvIvIv", c.name);
    for (const std::string& text : texts) {
      String hex = EncryptRecordText(W(text));
      ASSERT_FALSE(IsRecordCipherSentinel(hex));
      for (char16_t ch : hex) {
        ASSERT_TRUE((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'));
      }
      if (std::string(c.name) == "rc4") {
        EXPECT_EQ(text.size() * 2, hex.size());
      }
      EXPECT_EQ(W(text), DecryptRecordText(hex));
    }
    // The openssl tool agrees, with the key cut or padded to the default length.
    std::string effectiveKey = key.substr(0, c.defaultKey);
    effectiveKey.resize(c.defaultKey, '\0');
    std::string ivHex = std::string(c.name) == "rc4" ? "" : ToHex("IvIvIvIv");
    EXPECT_EQ(AllBytes(), OpensslDecrypt(c.opensslName, ToHex(effectiveKey), ivHex,
                                         FromHex(NarrowString(EncryptRecordText(W(AllBytes()))))));
  }
  // Characters above 255 come back as their low 8 bits.
  WriteKeyFile("0123456789abcdef", "IvIvIvIv", "rc4");
  EXPECT_EQ(S("A\x01"), DecryptRecordText(EncryptRecordText(String(u"\u0141\u0101"))));
}

TEST(RecordCipher, UnusableKeyFilesAnswerMinusThreeBothWays) {
  TempDir dir;
  struct Case {
    std::string content;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"0123456789abcdef\r\n\r\nrc4\r\n", "empty IV"},
      {"0123456789abcdef\r\n01234567\r\nRC4\r\n", "upper-case name"},
      {"0123456789abcdef\r\n01234567\r\n rc4\r\n", "leading space"},
      {"0123456789abcdef\r\n01234567\r\nrc4 \r\n", "trailing space"},
      {"0123456789abcdef\r\n01234567\r\nidea_cbc\r\n", "unknown cipher"},
      {"01234567\r\n01234567\r\ndes_cbc\r\n", "8-byte DES key"},
      {std::string(31, 'k') + "\r\n01234567\r\naes_256_cbc\r\n", "31-byte AES key"},
      {std::string(33, 'k') + "\r\n01234567\r\naes_256_cbc\r\n", "33-byte AES key"},
      {"abc\r\n01234567\r\nbf_cbc\r\n", "3-byte Blowfish key"},
      {std::string(57, 'k') + "\r\n01234567\r\nbf_cbc\r\n", "57-byte Blowfish key"},
      {"abcd\r\n01234567\r\ncast5_cbc\r\n", "4-byte CAST5 key"},
      {std::string(17, 'k') + "\r\n01234567\r\ncast5_cbc\r\n", "17-byte CAST5 key"},
      {"\r\n01234567\r\nrc2_cbc\r\n", "empty RC2 key"},
      {std::string(17, 'k') + "\r\n01234567\r\nrc2_cbc\r\n", "17-byte RC2 key"},
      {"abcd\r\n01234567\r\nrc4\r\n", "4-byte RC4 key"},
      {std::string(257, 'k') + "\r\n01234567\r\nrc4\r\n", "257-byte RC4 key"},
      {"0123456789abcdef\r\n01234567\r\n", "two lines"},
      {"0123456789abcdef\r\n", "one line"},
      {"", "empty file"},
  };
  for (const Case& c : cases) {
    TempDir::Write("quorvel.key", c.content);
    EXPECT_EQ(S("-3"), EncryptRecordText(S("text"))) << c.why;
    EXPECT_EQ(S("-3"), DecryptRecordText(S("ABCDEF"))) << c.why;
  }
  remove("quorvel.key");
  EXPECT_EQ(S("-3"), EncryptRecordText(S("text")));
  EXPECT_EQ(S("-3"), DecryptRecordText(S("")));
}

TEST(RecordCipher, FailingBlockCipherStepsAnswerMinusTwo) {
  TempDir dir;
  WriteKeyFile(std::string(32, 'k'), "0123456789abcdef", "aes_256_cbc");
  String hex = EncryptRecordText(S("attack at dawn"));
  ASSERT_EQ(32u, hex.size());
  EXPECT_EQ(S("-2"), DecryptRecordText(hex.substr(0, 30)));  // not a whole block
  EXPECT_EQ(S("-2"), DecryptRecordText(S("")));              // no block at all
  WriteKeyFile(std::string(31, 'k') + "j", "0123456789abcdef", "aes_256_cbc");
  EXPECT_EQ(S("-2"), DecryptRecordText(hex));  // wrong key: the padding does not check out
}

TEST(RecordCipher, HexadecimalPairsAreReadAsFarAsTheyGo) {
  TempDir dir;
  WriteKeyFile("0123456789abcdef", "01234567", "rc4");
  // With RC4 a ciphertext byte maps to one plaintext byte, so the byte each
  // pair stands for can be compared through the plaintext.
  auto byteOf = [](const String& pair) { return DecryptRecordText(pair); };
  EXPECT_EQ(byteOf(S("0A")), byteOf(S("0a")));
  EXPECT_EQ(byteOf(S("00")), byteOf(S("G1")));
  EXPECT_EQ(byteOf(S("01")), byteOf(S("1G")));
  const char16_t interesting[] = {'0', '9', 'A', 'F', 'a',  'f', 'G',   'g',  '$',
                                  '%', '-', '+', ' ', '\t', 0,   0x141, 0x130};
  for (char16_t high : interesting) {
    for (char16_t low : interesting) {
      String pair{high, low};
      int32_t value = ParseInteger(S("$") + pair) & 0xFF;
      String digits = ConvertBase(IntToString(value), 10, 16);
      ASSERT_EQ(byteOf(digits), byteOf(pair)) << int(high) << " " << int(low);
    }
  }
  // A last unpaired character is ignored.
  String hex = EncryptRecordText(S("odd"));
  EXPECT_EQ(S("odd"), DecryptRecordText(hex + S("F")));
}

TEST(RecordCipher, ConvertBaseWritesTwoDigitsAtLeast) {
  for (int value = 0; value < 256; ++value) {
    static const char digits[] = "0123456789ABCDEF";
    String expected{static_cast<char16_t>(digits[value >> 4]), static_cast<char16_t>(digits[value & 15])};
    ASSERT_EQ(expected, ConvertBase(IntToString(value), 10, 16)) << value;
  }
  EXPECT_EQ(S("255"), ConvertBase(S("ff"), 16, 10));
  EXPECT_EQ(S("35"), ConvertBase(S("z"), 36, 10));
  EXPECT_EQ(S("ZZ"), ConvertBase(S("1295"), 10, 36));
  EXPECT_EQ(S("101"), ConvertBase(S("5"), 10, 2));
  EXPECT_EQ(S("00"), ConvertBase(S(""), 10, 16));
  EXPECT_EQ(S("15"), ConvertBase(S("1B"), 10, 16));          // digits at or above the base count: 10 + 11
  EXPECT_EQ(S("01"), ConvertBase(S("4294967297"), 10, 10));  // 32-bit wrap
  EXPECT_EQ(S("-05"), ConvertBase(S("-5"), 10, 10));         // "-" counts as -1: -10 + 5
  EXPECT_EQ(S("-80000000"), ConvertBase(S("2147483648"), 10, 16));
  EXPECT_EQ(String(), ConvertBase(S("10"), 1, 16));
  EXPECT_EQ(String(), ConvertBase(S("10"), 10, 37));
}

TEST(RecordCipher, ParseIntegerReadsSignsPrefixesAndStopsAtTheFirstOtherCharacter) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {{"", 0},
                        {"   ", 0},
                        {"42", 42},
                        {"  \t\n\v\f\r7", 7},
                        {"-17", -17},
                        {"+5", 5},
                        {"-", 0},
                        {"+", 0},
                        {"$ff", 255},
                        {"$FF", 255},
                        {"$AB", 171},
                        {"-$10", -16},
                        {"%101", 5},
                        {"%102", 2},
                        {"$", 0},
                        {"$G1", 0},
                        {"$1G", 1},
                        {"12abc", 12},
                        {"x12", 0},
                        {"4294967297", 1},
                        {"2147483648", INT32_MIN},
                        {"$FFFFFFFF", -1},
                        {"- 5", 0},
                        {"0020", 20},
                        {"$0a", 10}};
  for (const Case& c : cases) EXPECT_EQ(c.value, ParseInteger(S(c.text))) << c.text;
  EXPECT_EQ(9, ParseInteger(String(u"9\u0130")));
}

}  // namespace
