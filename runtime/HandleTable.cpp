#include "runtime/HandleTable.h"

#include <vector>

#include "runtime/Object.h"

namespace {
// Never destroyed: objects held by other statics are released during exit and
// forget their handles then, whatever the order of static destruction.
std::vector<std::weak_ptr<TObject>>& Table() {
  static auto* table = new std::vector<std::weak_ptr<TObject>>(1);  // slot 0 is "none"
  return *table;
}
}  // namespace

int32_t HandleFromObject(const std::shared_ptr<TObject>& object) {
  if (!object) return 0;
  if (object->handle_ == 0) {
    auto& table = Table();
    table.push_back(object);
    object->handle_ = static_cast<int32_t>(table.size() - 1);
  }
  return object->handle_;
}

std::shared_ptr<TObject> HandleToObject(int32_t handle) {
  auto& table = Table();
  if (handle <= 0 || static_cast<size_t>(handle) >= table.size()) return nullptr;
  return table[static_cast<size_t>(handle)].lock();
}

void HandleForget(int32_t handle) {
  auto& table = Table();
  if (handle > 0 && static_cast<size_t>(handle) < table.size()) table[static_cast<size_t>(handle)].reset();
}
