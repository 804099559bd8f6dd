#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// AES-256 in counter mode: a keystream, with no tag. For secrets held in
// memory, where what counts is that no plaintext stands there, and where
// the keystream can run on from one message to the next without a new
// start (a sixteenth of a microsecond per message instead of half of one).
constexpr size_t kCtrKeySize = 32;
constexpr size_t kCtrBlockSize = 16;

class TAesCtr {
 public:
  explicit TAesCtr(const uint8_t* key);
  // The library's key schedule is wiped when the object goes.
  ~TAesCtr();
  TAesCtr(const TAesCtr&) = delete;
  TAesCtr& operator=(const TAesCtr&) = delete;

  // Sets the counter block the keystream goes on from.
  bool Start(const uint8_t* counter);
  // XORs size bytes of in with the keystream's next bytes into out (which
  // may be in). False when a library step fails.
  bool Run(const uint8_t* in, size_t size, uint8_t* out);

 private:
  struct TContext;
  std::unique_ptr<TContext> context_;
};
