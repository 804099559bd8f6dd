#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Overwrites secrets with zeros in a way the optimiser cannot drop.
void SecureWipe(void* data, size_t size);

template <class T>
void SecureWipe(std::vector<T>& buffer) {
  if (!buffer.empty()) SecureWipe(buffer.data(), buffer.size() * sizeof(T));
}

template <class C>
void SecureWipe(std::basic_string<C>& text) {
  if (!text.empty()) SecureWipe(text.data(), text.size() * sizeof(C));
}
