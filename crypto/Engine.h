#pragma once

#include "crypto/Forward.h"
#include "runtime/Object.h"

namespace evp {

// A borrowed libcrypto engine. Nothing in the binding makes one, so enginePtr
// stays null in practice and the library picks its default implementation.
class ENGINE : public TObject {
 public:
  ENGINE() = default;
  ~ENGINE() override = default;

  engine_st* enginePtr = nullptr;
};

}  // namespace evp
