#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// SHA-256 over bytes fed in pieces, through libcrypto.
constexpr size_t kSha256Size = 32;

class TSha256 {
 public:
  TSha256();
  ~TSha256();
  TSha256(const TSha256&) = delete;
  TSha256& operator=(const TSha256&) = delete;

  void Update(const void* bytes, size_t size);
  // Writes the digest of everything fed so far; false when a library step
  // failed at any point (out is then zeroed).
  bool Final(uint8_t out[kSha256Size]);

 private:
  struct TContext;
  std::unique_ptr<TContext> context_;
};
