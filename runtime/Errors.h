#pragma once

#include <stdexcept>
#include <string>

// A fatal runtime error: start-up prints its message to standard error and
// ends with a non-zero status. Nothing else catches it.
class TRuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by an interface operation that a class does not implement.
class TNullMethodException : public TRuntimeError {
 public:
  explicit TNullMethodException(const std::string& operation)
      : TRuntimeError("Null method called: " + operation) {}
};
