#pragma once

#include <cstdint>
#include <memory>

#include "runtime/String.h"

// Root of every reference-counted object. Objects are held through Ref<T>
// (a shared_ptr); identity is pointer identity.
class TObject : public std::enable_shared_from_this<TObject> {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  // The object's text form; the root answers the class-neutral "Object".
  virtual String ToString() const;

 private:
  friend int32_t HandleFromObject(const std::shared_ptr<TObject>& object);
  int32_t handle_ = 0;
};

template <class T>
using Ref = std::shared_ptr<T>;
using ObjectRef = Ref<TObject>;

template <class T, class... Args>
Ref<T> New(Args&&... args) {
  return std::make_shared<T>(std::forward<Args>(args)...);
}

// A string that travels as an object (event extras, list elements).
class TStringObject : public TObject {
 public:
  explicit TStringObject(String text) : value(std::move(text)) {}
  String ToString() const override { return value; }
  String value;
};

inline Ref<TStringObject> MakeStringObject(String text) { return New<TStringObject>(std::move(text)); }

// The text of an object when it is a string object, otherwise empty.
String StringOfObject(const ObjectRef& object);
