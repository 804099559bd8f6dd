#include "app/RecordCipher.h"

#include <algorithm>

#include "app/KeyFile.h"
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
constexpr size_t kEncryptSlack = 2048;
constexpr size_t kDecryptSlack = 2058;

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

// The key file's three lines; a key file that is missing, unreadable or short
// leaves the missing lines empty.
void ReadKeyFile(const String& keyFile, String& keyLine, String& ivLine, String& name) {
  if (Ref<TStream> stream = OpenForReading(keyFile)) {
    keyLine = stream->ReadLine();
    ivLine = stream->ReadLine();
    name = stream->ReadLine();
    stream->Close();
  }
}

// Every buffer that holds key material, plaintext or ciphertext during one
// call; all of them are wiped when the call ends, whichever way it returns.
struct TCipherWork {
  String keyLine, ivLine;
  ByteArray input, key, iv, keyCopy, ivCopy, output, result;

  ~TCipherWork() {
    SecureWipe(result);
    SecureWipe(output);
    SecureWipe(input);
    SecureWipe(key);
    SecureWipe(iv);
    SecureWipe(keyCopy);
    SecureWipe(ivCopy);
    SecureWipe(keyLine);
    SecureWipe(ivLine);
  }
};

// Reads the key file and picks its cipher; none (answered with "-3") for
// missing lines, a key length outside the row's range, an unknown name, or a
// legacy cipher whose provider cannot be loaded.
Ref<evp::EVP_CIPHER> ChooseCipher(TCipherWork& work, const String& keyFile) {
  String name;
  ReadKeyFile(keyFile, work.keyLine, work.ivLine, name);
  work.key = StringToByteArray(work.keyLine);
  work.iv = StringToByteArray(work.ivLine);
  if (work.iv.empty()) return nullptr;
  const TCipherRow* row = FindRow(name);
  if (!row || work.key.size() < row->minKey || work.key.size() > row->maxKey) return nullptr;
  if (row->legacy && !CryptoLoadLegacy()) return nullptr;
  return row->descriptor();
}

// libcrypto reads the cipher's full default key and IV lengths from the
// buffers it gets; short keys and IVs are handed over as zero-padded copies
// so it never reads past what came from the key file.
ByteArray PaddedCopy(const ByteArray& bytes, int32_t length) {
  ByteArray copy(std::max(bytes.size(), static_cast<size_t>(std::max(length, 0))), 0);
  std::copy(bytes.begin(), bytes.end(), copy.begin());
  return copy;
}

// Runs work.input through the cipher named in the key file into work.result.
// Returns nullptr on success, or the sentinel to answer.
const char16_t* RunCipher(TCipherWork& work, int32_t direction, const String& keyFile) {
  CryptoInit();
  Ref<evp::EVP_CIPHER> cipher = ChooseCipher(work, keyFile);
  if (!cipher) return kKeyFileUnusable;

  Ref<evp::EVP_CIPHER_CTX> ctx = evp::EVP_CIPHER_CTX::CreateContext();
  // Passing the cipher again in the second init starts the context afresh,
  // so the key length in effect is the cipher's default, whatever the first
  // init and SetKeyLength left behind. Stored records depend on exactly this.
  ctx->CipherInit(cipher, nullptr, ByteArray(), ByteArray(), direction);
  ctx->SetKeyLength(static_cast<int32_t>(work.key.size()));
  work.keyCopy = PaddedCopy(work.key, cipher->GetKeyLength());
  work.ivCopy = PaddedCopy(work.iv, cipher->GetIVLength());
  if (ctx->CipherInit(cipher, nullptr, work.keyCopy, work.ivCopy, direction) != 1) {
    ctx->Cleanup();
    return kCipherFailed;
  }

  size_t blockSize = static_cast<size_t>(std::max(ctx->GetBlockSize(), 0));
  work.output.assign(blockSize + (direction == 1 ? kEncryptSlack : kDecryptSlack), 0);
  // Reserved up front so that the result never reallocates and leaves an
  // unwiped copy behind.
  work.result.reserve(work.input.size() + 2 * blockSize);
  int32_t count = 0;
  for (size_t offset = 0; offset < work.input.size(); offset += kChunkSize) {
    size_t length = std::min(kChunkSize, work.input.size() - offset);
    if (!ctx->CipherUpdate(work.output.data(), &count, work.input.data() + offset, static_cast<int32_t>(length))) {
      ctx->Cleanup();
      return kCipherFailed;
    }
    work.result.insert(work.result.end(), work.output.begin(), work.output.begin() + count);
  }
  if (!ctx->CipherFinal(work.output.data(), &count)) {
    ctx->Cleanup();
    return kCipherFailed;
  }
  work.result.insert(work.result.end(), work.output.begin(), work.output.begin() + count);
  ctx->Cleanup();
  return nullptr;
}

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

String RecordKeyFileCipher() {
  String keyLine, ivLine, name;
  ReadKeyFile(kKeyFileName, keyLine, ivLine, name);
  SecureWipe(keyLine);
  SecureWipe(ivLine);
  return name;
}

bool RecordCipherLoadProvider() {
  const TCipherRow* row = FindRow(RecordKeyFileCipher());
  return !row || !row->legacy || CryptoLoadLegacy();
}

String EncryptRecordText(const String& text, const String& keyFile) {
  TCipherWork work;
  work.input = StringToByteArray(text);
  if (const char16_t* sentinel = RunCipher(work, 1, keyFile)) return sentinel;
  // Each byte as exactly two upper-case digits, the same as ConvertBase from
  // base 10 to base 16 gives for 0 to 255.
  static const char16_t digits[] = u"0123456789ABCDEF";
  String hex;
  hex.reserve(work.result.size() * 2);
  for (uint8_t b : work.result) {
    hex.push_back(digits[b >> 4]);
    hex.push_back(digits[b & 15]);
  }
  return hex;
}

String DecryptRecordText(const String& text, const String& keyFile) {
  TCipherWork work;
  work.input.resize(text.size() / 2);
  for (size_t i = 0; i < work.input.size(); ++i) work.input[i] = PairValue(text[2 * i], text[2 * i + 1]);
  if (const char16_t* sentinel = RunCipher(work, 0, keyFile)) return sentinel;
  return BytesToString(work.result.data(), work.result.size());
}

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
