#include <gtest/gtest.h>

#include "app/records/OneTimeCode.h"

namespace {
// The secrets of RFC 6238's Appendix B, in base32: "12345678901234567890"
// repeated to 20, 32 and 64 bytes.
const char* const kSha1 = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
const char* const kSha256 = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA";
const char* const kSha512 =
    "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNA";
}  // namespace

TEST(OneTimeCode, GivesTheCodesOfThePublishedVectors) {
  struct Row {
    int64_t time;
    const char *sha1, *sha256, *sha512;
  } rows[] = {
      {59, "94287082", "46119246", "90693936"},         {1111111109, "07081804", "68084774", "25091201"},
      {1111111111, "14050471", "67062674", "99943326"}, {1234567890, "89005924", "91819424", "93441116"},
      {2000000000, "69279037", "90698825", "38618901"}, {20000000000, "65353130", "77737706", "47863826"},
  };
  for (const Row& row : rows) {
    const std::pair<const char*, const char*> cases[] = {
        {"SHA1", row.sha1}, {"SHA256", row.sha256}, {"sha512", row.sha512}};
    for (const auto& [algorithm, code] : cases) {
      const char* secret = algorithm[3] == '1' ? kSha1 : algorithm[3] == '2' ? kSha256 : kSha512;
      auto parsed =
          OneTimeParse(S("otpauth://totp/RFC:test?digits=8&secret=") + S(secret) + S("&algorithm=") + S(algorithm));
      ASSERT_TRUE(parsed) << algorithm;
      EXPECT_EQ(S(code), OneTimeCode(*parsed, row.time)) << algorithm << " at " << row.time;
    }
  }
}

TEST(OneTimeCode, ReadsTheStoredFormsAndRefusesAnythingElse) {
  struct Case {
    const char* text;
    bool ok;
    int32_t digits, period;
    const char* codeAt59;  // with the SHA-1 vector secret
  } cases[] = {
      {kSha1, true, 6, 30, "287082"},
      {"gezd gnbv gy3t qojq gezd gnbv gy3t qojq", true, 6, 30, "287082"},
      {"GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ====", true, 6, 30, "287082"},
      {"OTPAUTH://TOTP/x?SECRET=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&Period=60&digits=7", true, 7, 60, "4755224"},
      {"otpauth://totp/Issuer%3Aalice?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&issuer=Issuer", true, 6, 30, "287082"},
      {"otpauth://hotp/x?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&counter=1", false, 0, 0, ""},
      {"otpauth://totp/x?issuer=nothing", false, 0, 0, ""},
      {"otpauth://totp/x?secret=GEZD1&digits=6", false, 0, 0, ""},
      {"otpauth://totp/x?secret=GEZDGNBV&digits=9", false, 0, 0, ""},
      {"otpauth://totp/x?secret=GEZDGNBV&algorithm=MD5", false, 0, 0, ""},
      {"otpauth://totp/x?secret=GEZDGNBV&period=0", false, 0, 0, ""},
      {"https://example.org/?secret=GEZDGNBV", false, 0, 0, ""},
      {"not base32!", false, 0, 0, ""},
      {"", false, 0, 0, ""},
  };
  for (const Case& c : cases) {
    auto parsed = OneTimeParse(S(c.text));
    ASSERT_EQ(c.ok, parsed.has_value()) << c.text;
    if (!parsed) continue;
    EXPECT_EQ(c.digits, parsed->digits) << c.text;
    EXPECT_EQ(c.period, parsed->period) << c.text;
    EXPECT_EQ(S(c.codeAt59), OneTimeCode(*parsed, 59)) << c.text;
  }
  auto secret = OneTimeParse(S(kSha1));
  ASSERT_TRUE(secret);
  EXPECT_EQ(30, OneTimeSecondsLeft(*secret, 60));
  EXPECT_EQ(1, OneTimeSecondsLeft(*secret, 59));
}
