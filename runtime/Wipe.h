#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Overwrites secrets with zeros in a way the optimiser cannot drop.
void SecureWipe(void* data, size_t size);

// Keeps the memory pages that data lies on out of swap (mlock) and out of
// core dumps (MADV_DONTDUMP), for a buffer that holds or will hold a secret.
// Best effort: a page over the process's locked-memory limit stays as it
// was. Pages stay so for the rest of the run; other data on them is only
// kept out of swap and dumps too.
void SecretPin(const void* data, size_t size);
template <class C>
void SecretPin(const std::basic_string<C>& text) {
  SecretPin(text.data(), text.capacity() * sizeof(C));
}

// Containers are wiped up to their capacity: text that was shortened away may
// still stand past the end. The size stays as it was.
template <class T>
void SecureWipe(std::vector<T>& buffer) {
  const size_t size = buffer.size();
  buffer.resize(buffer.capacity());
  if (!buffer.empty()) SecureWipe(buffer.data(), buffer.size() * sizeof(T));
  buffer.resize(size);
}

template <class C>
void SecureWipe(std::basic_string<C>& text) {
  const size_t size = text.size();
  text.resize(text.capacity());
  if (!text.empty()) SecureWipe(text.data(), text.size() * sizeof(C));
  text.resize(size);
}
