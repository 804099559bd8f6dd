#pragma once

#include <vector>

#include "runtime/Object.h"

// Containers that can serve as a gadget's data source. The gadget mirrors the
// text forms of their elements as its items.

// An ordered list of objects.
class TList : public TObject {
 public:
  TList() = default;
  explicit TList(std::vector<ObjectRef> values) : elements(std::move(values)) {}
  std::vector<ObjectRef> elements;
};

// An array of strings, used as keys exactly as they are.
class TStringArray : public TObject {
 public:
  TStringArray() = default;
  explicit TStringArray(std::vector<String> texts) : values(std::move(texts)) {}
  std::vector<String> values;
};

// An array of objects; empty slots hold none.
class TObjectArray : public TObject {
 public:
  TObjectArray() = default;
  explicit TObjectArray(std::vector<ObjectRef> values) : elements(std::move(values)) {}
  std::vector<ObjectRef> elements;
};
