#include "crypto/DigestText.h"

#include "crypto/Digest.h"
#include "crypto/DigestContext.h"
#include "runtime/Wipe.h"

namespace evp {

namespace {
constexpr size_t kBlockSize = 2048;
constexpr int32_t kMaxDigestSize = 64;

String Hex(const uint8_t* bytes, int32_t count) {
  static const char16_t digits[] = u"0123456789ABCDEF";
  String text;
  text.reserve(static_cast<size_t>(count) * 2);
  for (int32_t i = 0; i < count; ++i) {
    text.push_back(digits[bytes[i] >> 4]);
    text.push_back(digits[bytes[i] & 15]);
  }
  return text;
}

// Exactly one of text and stream is given. An empty text gives the empty
// string, not the digest of no data.
String DigestText(const Ref<EVP_MD>& digest, const String* text, TStream* stream) {
  if (text ? text->empty() : stream == nullptr) return String();
  Ref<EVP_MD_CTX> ctx = EVP_MD_CTX::CreateContext();
  if (ctx->DigestInit(digest, nullptr) != 1) return String();
  if (text) {
    ByteArray bytes = StringToBytes(*text);
    int32_t ok = ctx->DigestUpdate(bytes.data(), static_cast<int32_t>(bytes.size()));
    SecureWipe(bytes);
    if (!ok) return String();
  } else {
    uint8_t block[kBlockSize];
    for (;;) {
      size_t count = stream->Read(block, kBlockSize);
      if (count == 0) break;
      if (!ctx->DigestUpdate(block, static_cast<int32_t>(count))) {
        SecureWipe(block, sizeof block);
        return String();
      }
    }
    SecureWipe(block, sizeof block);
  }
  uint8_t out[kMaxDigestSize] = {};
  int32_t outCount = 0;
  if (!ctx->DigestFinal(out, &outCount)) return String();
  ctx->Cleanup();
  return Hex(out, outCount);
}
}  // namespace

String MD5Text(const String& text) { return DigestText(EVP_MD::MD5(), &text, nullptr); }
String MD5Text(const Ref<TStream>& stream) { return DigestText(EVP_MD::MD5(), nullptr, stream.get()); }
String SHAText(const String& text) { return DigestText(EVP_MD::SHA(), &text, nullptr); }
String SHAText(const Ref<TStream>& stream) { return DigestText(EVP_MD::SHA(), nullptr, stream.get()); }
String SHA1Text(const String& text) { return DigestText(EVP_MD::SHA1(), &text, nullptr); }
String SHA1Text(const Ref<TStream>& stream) { return DigestText(EVP_MD::SHA1(), nullptr, stream.get()); }
String DSSText(const String& text) { return DigestText(EVP_MD::DSS(), &text, nullptr); }
String DSSText(const Ref<TStream>& stream) { return DigestText(EVP_MD::DSS(), nullptr, stream.get()); }
String DSS1Text(const String& text) { return DigestText(EVP_MD::DSS1(), &text, nullptr); }
String DSS1Text(const Ref<TStream>& stream) { return DigestText(EVP_MD::DSS1(), nullptr, stream.get()); }
String RIPEMD160Text(const String& text) { return DigestText(EVP_MD::RIPEMD160(), &text, nullptr); }
String RIPEMD160Text(const Ref<TStream>& stream) { return DigestText(EVP_MD::RIPEMD160(), nullptr, stream.get()); }

}  // namespace evp
