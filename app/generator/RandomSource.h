#pragma once

#include <cstddef>
#include <cstdint>

// Where the password generator takes its draws from.
class TRandomSource {
 public:
  virtual ~TRandomSource() = default;
  // A uniformly drawn integer between min and max inclusive (either order).
  // False when the source could not deliver one.
  virtual bool Draw(int32_t min, int32_t max, int32_t& out) = 0;
  // Called by the generator after its first two draws of a password.
  virtual void Reseed() {}
};

// The operating system's cryptographic random source (getrandom). Each draw
// is rejection-sampled, so every value in the range is equally likely.
class TSystemRandomSource : public TRandomSource {
 public:
  bool Draw(int32_t min, int32_t max, int32_t& out) override;
};

// The seeded congruential generator of Random.h (RandomInt), reseeded from the
// millisecond clock after the first two draws of each password. Its passwords
// are predictable from the clock: it serves tests that pin the draw order.
class TSchrageRandomSource : public TRandomSource {
 public:
  bool Draw(int32_t min, int32_t max, int32_t& out) override;
  void Reseed() override;
};

// Fills out with size bytes from the operating system's cryptographic random
// source (getrandom). False when it could not; out is then wiped.
bool RandomBytes(uint8_t* out, size_t size);
