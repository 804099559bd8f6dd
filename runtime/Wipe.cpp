#include "runtime/Wipe.h"

#include <string.h>

void SecureWipe(void* data, size_t size) {
  if (data != nullptr && size > 0) explicit_bzero(data, size);
}
