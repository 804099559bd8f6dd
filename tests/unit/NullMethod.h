#pragma once

#include <functional>
#include <string>

#include "runtime/Errors.h"

// The message of the TNullMethodException that call raises; "" when it raises none.
inline std::string NullMethodMessage(const std::function<void()>& call) {
  try {
    call();
  } catch (const TNullMethodException& error) {
    return error.what();
  }
  return "";
}
