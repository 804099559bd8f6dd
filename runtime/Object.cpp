#include "runtime/Object.h"

#include "runtime/HandleTable.h"

TObject::~TObject() {
  if (handle_ != 0) HandleForget(handle_);
}

String TObject::ToString() const { return S("Object"); }

String StringOfObject(const ObjectRef& object) {
  if (auto text = std::dynamic_pointer_cast<TStringObject>(object)) return text->value;
  return String();
}
