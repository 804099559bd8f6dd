#include "app/records/RecordCipher.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "app/records/KeyFile.h"
#include "crypto/Cipher.h"
#include "crypto/CipherContext.h"
#include "crypto/Crypto.h"
#include "runtime/Stream.h"
#include "runtime/Wipe.h"

const char16_t* const kKeyFileUnusable = u"-3";
const char16_t* const kCipherFailed = u"-2";

bool IsRecordCipherSentinel(const String& text) { return text == kKeyFileUnusable || text == kCipherFailed; }

namespace {

constexpr size_t kChunkSize = 2048;

struct TCipherRow {
  const char* name;
  size_t minKey;
  size_t maxKey;
  Ref<evp::EVP_CIPHER> (*descriptor)();
  bool legacy;  // served only by libcrypto's legacy provider
};

const TCipherRow kCipherTable[] = {
    {"aes_256_cbc", 32, 32, evp::EVP_CIPHER::aes_256_cbc, false}, {"bf_cbc", 4, 56, evp::EVP_CIPHER::bf_cbc, true},
    {"cast5_cbc", 5, 16, evp::EVP_CIPHER::cast5_cbc, true},       {"des_cbc", 7, 7, evp::EVP_CIPHER::des_cbc, true},
    {"rc2_cbc", 1, 16, evp::EVP_CIPHER::rc2_cbc, true},           {"rc4", 5, 256, evp::EVP_CIPHER::rc4, true},
};

const TCipherRow* FindRow(const String& name) {
  for (const TCipherRow& row : kCipherTable) {
    if (name == S(row.name)) return &row;
  }
  return nullptr;
}

// libcrypto reads the cipher's full default key and IV lengths from the
// buffers it gets; short keys and IVs are handed over as zero-padded copies
// so it never reads past what came from the key file.
ByteArray PaddedCopy(const ByteArray& bytes, int32_t length) {
  ByteArray copy(std::max(bytes.size(), static_cast<size_t>(std::max(length, 0))), 0);
  std::copy(bytes.begin(), bytes.end(), copy.begin());
  return copy;
}

// Every buffer that holds plaintext or ciphertext during one call; all of
// them are wiped when the call ends, whichever way it returns.
struct TCipherWork {
  ByteArray input, output, result;

  ~TCipherWork() {
    SecureWipe(result);
    SecureWipe(output);
    SecureWipe(input);
  }
};

int32_t HexDigitValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte a pair of characters stands for: what ParseInteger gives for "$"
// followed by the pair, low 8 bits.
uint8_t PairValue(char16_t high, char16_t low) {
  int32_t first = HexDigitValue(high);
  if (first < 0) return 0;
  int32_t second = HexDigitValue(low);
  if (second < 0) return static_cast<uint8_t>(first);
  return static_cast<uint8_t>(first * 16 + second);
}

}  // namespace

ByteArray StringToByteArray(const String& text) { return StringToBytes(text); }

TKeyFileLines::TKeyFileLines(const String& keyFile) {
  if (Ref<TStream> stream = OpenForReading(keyFile)) {
    key = stream->ReadLine();
    iv = stream->ReadLine();
    cipher = stream->ReadLine();
    stream->Close();
  }
}

TKeyFileLines::TKeyFileLines(TKeyFileBytes file) {
  // A line ends at LF, NUL or the end; every CR in it is dropped (TStream's rules).
  String* lines[] = {&key, &iv, &cipher};
  size_t at = 0;
  for (String* line : lines) {
    // Reserved once, so that no reallocation leaves a piece of the key behind.
    line->reserve(file.bytes.size() - at);
    while (at < file.bytes.size() && file.bytes[at] != '\n' && file.bytes[at] != '\0') {
      if (file.bytes[at] != '\r') line->push_back(static_cast<uint8_t>(file.bytes[at]));
      ++at;
    }
    if (at < file.bytes.size()) ++at;
  }
}

// The cipher name too: a line's storage may hold whatever the heap held
// before, past the line's end.
TKeyFileLines::~TKeyFileLines() {
  SecureWipe(key);
  SecureWipe(iv);
  SecureWipe(cipher);
}

// Picks the key file's cipher; none (answered with "-3") for missing lines, a
// key length outside the row's range, an unknown name, or a legacy cipher
// whose provider cannot be loaded.
TTableCipher::TTableCipher(const TKeyFileLines& lines) {
  CryptoInit();
  key_ = StringToByteArray(lines.key);
  ByteArray iv = StringToByteArray(lines.iv);
  const TCipherRow* row = FindRow(lines.cipher);
  if (iv.empty() || !row || key_.size() < row->minKey || key_.size() > row->maxKey ||
      (row->legacy && !CryptoLoadLegacy())) {
    SecureWipe(iv);
    return;
  }
  cipher_ = row->descriptor();
  keyCopy_ = PaddedCopy(key_, cipher_->GetKeyLength());
  ivCopy_ = PaddedCopy(iv, cipher_->GetIVLength());
  SecureWipe(iv);
  keyed_[0] = Keyed(0);
  keyed_[1] = Keyed(1);
}

TTableCipher::~TTableCipher() {
  for (Ref<evp::EVP_CIPHER_CTX>& ctx : keyed_)
    if (ctx) ctx->Cleanup();
  SecureWipe(key_);
  SecureWipe(keyCopy_);
  SecureWipe(ivCopy_);
}

// Runs input through the cipher into result. Returns nullptr on success, or
// the sentinel to answer.
Ref<evp::EVP_CIPHER_CTX> TTableCipher::Keyed(int32_t direction) const {
  Ref<evp::EVP_CIPHER_CTX> ctx = evp::EVP_CIPHER_CTX::CreateContext();
  // Passing the cipher again in the second init starts the context afresh,
  // so the key length in effect is the cipher's default, whatever the first
  // init and SetKeyLength left behind. Stored records depend on exactly this.
  ctx->CipherInit(cipher_, nullptr, ByteArray(), ByteArray(), direction);
  ctx->SetKeyLength(static_cast<int32_t>(key_.size()));
  if (ctx->CipherInit(cipher_, nullptr, keyCopy_, ivCopy_, direction) != 1) {
    ctx->Cleanup();
    return nullptr;
  }
  return ctx;
}

// Runs input through the cipher into result. Returns nullptr on success, or
// the sentinel to answer.
const char16_t* TTableCipher::Run(ByteArray& input, ByteArray& result, int32_t direction) const {
  if (!cipher_) return kKeyFileUnusable;
  const Ref<evp::EVP_CIPHER_CTX>& keyed = keyed_[direction == 1 ? 1 : 0];
  if (!keyed) return kCipherFailed;
  Ref<evp::EVP_CIPHER_CTX> ctx = New<evp::EVP_CIPHER_CTX>();
  if (ctx->Copy(keyed) != 1) ctx = Keyed(direction);
  if (!ctx) return kCipherFailed;

  TCipherWork work;
  size_t blockSize = static_cast<size_t>(std::max(ctx->GetBlockSize(), 0));
  // Room for one chunk and the blocks a cipher may hold back or add: a
  // field is usually far shorter than a chunk, and this buffer is zeroed and
  // wiped for every field.
  work.output.assign(std::min(kChunkSize, input.size()) + 2 * blockSize + 16, 0);
  // Reserved up front so that the result never reallocates and leaves an
  // unwiped copy behind.
  result.reserve(input.size() + 2 * blockSize);
  int32_t count = 0;
  for (size_t offset = 0; offset < input.size(); offset += kChunkSize) {
    size_t length = std::min(kChunkSize, input.size() - offset);
    if (!ctx->CipherUpdate(work.output.data(), &count, input.data() + offset, static_cast<int32_t>(length))) {
      ctx->Cleanup();
      return kCipherFailed;
    }
    result.insert(result.end(), work.output.begin(), work.output.begin() + count);
  }
  if (!ctx->CipherFinal(work.output.data(), &count)) {
    ctx->Cleanup();
    return kCipherFailed;
  }
  result.insert(result.end(), work.output.begin(), work.output.begin() + count);
  ctx->Cleanup();
  return nullptr;
}

bool TTableCipher::Encrypt(const String& text, String& hex) const {
  TCipherWork work;
  work.input = StringToByteArray(text);
  if (Run(work.input, work.result, 1)) return false;
  hex = HexOfBytes(work.result.data(), work.result.size());
  return true;
}

bool TTableCipher::Decrypt(const String& hex, String& text) const {
  TCipherWork work;
  work.input.resize(hex.size() / 2);
  for (size_t i = 0; i < work.input.size(); ++i) work.input[i] = PairValue(hex[2 * i], hex[2 * i + 1]);
  if (Run(work.input, work.result, 0)) return false;
  text = BytesToString(work.result.data(), work.result.size());
  return true;
}

String TTableCipher::Encrypt(const String& text) const {
  TCipherWork work;
  work.input = StringToByteArray(text);
  if (const char16_t* sentinel = Run(work.input, work.result, 1)) return sentinel;
  return HexOfBytes(work.result.data(), work.result.size());
}

String TTableCipher::Decrypt(const String& text) const {
  TCipherWork work;
  work.input.resize(text.size() / 2);
  for (size_t i = 0; i < work.input.size(); ++i) work.input[i] = PairValue(text[2 * i], text[2 * i + 1]);
  if (const char16_t* sentinel = Run(work.input, work.result, 0)) return sentinel;
  return BytesToString(work.result.data(), work.result.size());
}

bool RecordCipherLoadProvider(const String& cipher) {
  const TCipherRow* row = FindRow(cipher);
  return !row || !row->legacy || CryptoLoadLegacy();
}

String HexOfBytes(const uint8_t* bytes, size_t size) {
  // Each byte as exactly two upper-case digits, the same as ConvertBase from
  // base 10 to base 16 gives for 0 to 255.
  static const char16_t digits[] = u"0123456789ABCDEF";
  String hex;
  hex.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    hex.push_back(digits[bytes[i] >> 4]);
    hex.push_back(digits[bytes[i] & 15]);
  }
  return hex;
}

namespace {
template <typename TText>
bool DecodeHex(const TText& hex, ByteArray& out) {
  // A table rather than comparisons: record files are megabytes of this.
  static const auto digits = [] {
    std::array<int8_t, 256> table;
    table.fill(-1);
    for (int c = 0; c < 256; ++c) table[c] = static_cast<int8_t>(HexDigitValue(static_cast<char16_t>(c)));
    return table;
  }();
  const auto digit = [](auto c) -> int32_t {
    const auto code = static_cast<std::make_unsigned_t<decltype(c)>>(c);
    return code < 256 ? digits[code] : -1;
  };
  out.clear();
  if (hex.size() % 2 != 0) return false;
  out.resize(hex.size() / 2);
  const auto* from = hex.data();
  uint8_t* to = out.data();
  for (size_t i = 0; i < out.size(); ++i, from += 2) {
    const int32_t high = digit(from[0]), low = digit(from[1]);
    if ((high | low) < 0) {
      SecureWipe(out);
      out.clear();
      return false;
    }
    to[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}
}  // namespace

bool BytesOfHex(const String& hex, ByteArray& out) { return DecodeHex(hex, out); }
bool BytesOfHex(std::string_view hex, ByteArray& out) { return DecodeHex(hex, out); }

String ConvertBase(const String& text, int32_t fromBase, int32_t toBase) {
  if (fromBase < 2 || fromBase > 36 || toBase < 2 || toBase > 36) return String();
  static const char16_t digitSet[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  // Horner's rule gives the same sum of digit * base^position modulo 2^32.
  uint32_t value = 0;
  for (char16_t c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char16_t>(c - 'a' + 'A');
    int32_t digit = -1;
    for (int32_t i = 0; i < 36; ++i) {
      if (digitSet[i] == c) {
        digit = i;
        break;
      }
    }
    value = value * static_cast<uint32_t>(fromBase) + static_cast<uint32_t>(digit);
  }
  int64_t signedValue = static_cast<int32_t>(value);
  bool negative = signedValue < 0;
  int64_t magnitude = negative ? -signedValue : signedValue;
  // Gathered least significant first, then turned around.
  String digits;
  do {
    digits.push_back(digitSet[magnitude % toBase]);
    magnitude /= toBase;
  } while (magnitude != 0);
  if (digits.size() == 1) digits.push_back(u'0');
  if (negative) digits.push_back(u'-');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

int32_t ParseInteger(const String& text) {
  size_t i = 0;
  auto isSpace = [](char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return 0;
  uint32_t base = 10;
  if (text[i] == '$') {
    base = 16;
    ++i;
  } else if (text[i] == '%') {
    base = 2;
    ++i;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    int32_t digit = HexDigitValue(text[i]);
    if (digit < 0 || static_cast<uint32_t>(digit) >= base) break;
    value = value * base + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}
