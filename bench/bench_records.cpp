// Loading and saving the record file through the application's layers,
// beside a minimal loop that does the same key-file reads and libcrypto calls
// directly, so that the cost of the layers above libcrypto shows.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "crypto/Crypto.h"

namespace {

const char* const kDataFile = "quorvel.dat";

// Writes the key file and holds it, as a start would.
void WriteKey(const std::string& text) {
  FILE* f = fopen("quorvel.key", "wb");
  fputs(text.c_str(), f);
  fclose(f);
  PairKeyForget();
  if (!PairKeyLoad()) abort();
}

void WriteRc4Key() {
  std::string key;
  for (int i = 0; i < 256; ++i) key.push_back("0123456789ABCDEFGabcdef"[(i * 7 + 3) % 23]);
  WriteKey(key + "\r\na1B2c3D4\r\nrc4\r\n");
}

// A temporary working directory with a key file of the size start-up writes:
// a 256-character key, an 8-character IV and "rc4".
void EnterBenchDirectory() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  static char pattern[] = "/tmp/quorvel-bench-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) abort();
  atexit([] {
    for (const char* name : {"quorvel.key", "quorvel.dat", "direct.dat", "direct.tmp"}) unlink(name);
    if (chdir("/") == 0) rmdir(pattern);
  });
  WriteRc4Key();
  CryptoInit();
}

// Fills the record arrays with n records of typical field sizes and writes
// them encrypted.
void PrepareRecords(int n) {
  descriptions.clear();
  passwords.clear();
  for (int i = 0; i < n; ++i) {
    descriptions.push_back(S(("account number " + std::to_string(i) + " at the bank").c_str()));
    passwords.push_back(S(("p4ssW0rd" + std::to_string(i * 7919) + "xYz").c_str()));
  }
  recordCount = n;
  if (SaveRecords(n) != 1) abort();
}

void BM_LoadRecords(benchmark::State& state) {
  EnterBenchDirectory();
  PrepareRecords(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    LoadRecords(true);
    benchmark::DoNotOptimize(recordCount);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same load under a key file of the "aes_256_gcm" kind new pairs have.
void BM_LoadGcmRecords(benchmark::State& state) {
  EnterBenchDirectory();
  WriteKey("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\r\n\r\naes_256_gcm\r\n");
  PrepareRecords(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    LoadRecords(true);
    benchmark::DoNotOptimize(recordCount);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  WriteRc4Key();
}

void BM_SaveRecords(benchmark::State& state) {
  EnterBenchDirectory();
  PrepareRecords(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(SaveRecords(recordCount));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The minimal loop: per field, read the key file's three lines with stdio,
// run RC4 with the same init / set-key-length / init sequence, convert hex.
struct KeyMaterial {
  std::string key, iv, name;
};

std::string ReadLineCrLf(FILE* f) {
  std::string line;
  for (int c; (c = fgetc(f)) != EOF && c != '\n' && c != 0;)
    if (c != '\r') line.push_back(static_cast<char>(c));
  return line;
}

KeyMaterial ReadKeyFile() {
  KeyMaterial m;
  FILE* f = fopen("quorvel.key", "rb");
  m.key = ReadLineCrLf(f);
  m.iv = ReadLineCrLf(f);
  m.name = ReadLineCrLf(f);
  fclose(f);
  return m;
}

std::string DirectCipher(const std::string& input, int direction) {
  KeyMaterial m = ReadKeyFile();
  if (m.name != "rc4" || m.iv.empty()) abort();
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, EVP_rc4(), nullptr, nullptr, nullptr, direction);
  EVP_CIPHER_CTX_set_key_length(ctx, static_cast<int>(m.key.size()));
  EVP_CipherInit_ex(ctx, EVP_rc4(), nullptr, reinterpret_cast<const unsigned char*>(m.key.data()),
                    reinterpret_cast<const unsigned char*>(m.iv.data()), direction);
  std::string out(input.size() + 2048, '\0');
  int n = 0, m2 = 0;
  EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                   reinterpret_cast<const unsigned char*>(input.data()), static_cast<int>(input.size()));
  EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n, &m2);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(n + m2);
  return out;
}

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    hex.push_back(digits[b >> 4]);
    hex.push_back(digits[b & 15]);
  }
  return hex;
}

std::string FromHex(const std::string& hex) {
  std::string bytes(hex.size() / 2, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(std::stoi(hex.substr(2 * i, 2), 0, 16));
  return bytes;
}

void BM_DirectLoad(benchmark::State& state) {
  EnterBenchDirectory();
  PrepareRecords(static_cast<int>(state.range(0)));
  std::vector<std::string> fields;
  for (auto _ : state) {
    fields.clear();
    FILE* f = fopen(kDataFile, "rb");
    for (int c; (c = fgetc(f)) != EOF;) {
      ungetc(c, f);
      fields.push_back(DirectCipher(FromHex(ReadLineCrLf(f)), 0));
      fields.push_back(DirectCipher(FromHex(ReadLineCrLf(f)), 0));
    }
    fclose(f);
    benchmark::DoNotOptimize(fields.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DirectSave(benchmark::State& state) {
  EnterBenchDirectory();
  PrepareRecords(static_cast<int>(state.range(0)));
  std::vector<std::pair<std::string, std::string>> records;
  for (size_t i = 0; i < descriptions.size(); ++i)
    records.emplace_back(NarrowString(descriptions[i]), NarrowString(passwords[i].Open()));
  for (auto _ : state) {
    FILE* f = fopen("direct.tmp", "wb");
    for (const auto& [description, password] : records) {
      std::string line = ToHex(DirectCipher(description, 1)) + "\r\n" + ToHex(DirectCipher(password, 1)) + "\r\n";
      fwrite(line.data(), 1, line.size(), f);
    }
    fflush(f);
    fsync(fileno(f));
    fclose(f);
    rename("direct.tmp", "direct.dat");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_LoadRecords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGcmRecords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectLoad)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveRecords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectSave)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
