#include "gui/core/Hook.h"

#include <array>
#include <vector>

#include "runtime/Errors.h"

namespace {
ObjectRef UninitialisedHook(int32_t, const ObjectRef&, const ObjectRef&) {
  throw TRuntimeError("Uninitialised function called");
}

bool hookReady = false;
int32_t lastHookId = -1;
std::array<Ref<THook>, HookIdLimit> chains;

bool ValidId(int32_t id) { return id >= 0 && id < HookIdLimit; }
}  // namespace

THook::THook() : func(UninitialisedHook) {}

void HookInit() {
  if (hookReady) return;
  hookReady = true;
  for (auto& head : chains) head.reset();
}

int32_t HookAllocId() {
  if (lastHookId + 1 >= HookIdLimit) throw TRuntimeError("Too many hook ids");
  return ++lastHookId;
}

void HookAdd(int32_t id, THookFunc func, const ObjectRef& context, int32_t priority) {
  if (!ValidId(id)) throw TRuntimeError("Invalid hook id " + std::to_string(id));
  auto node = New<THook>();
  node->priority = priority;
  if (func) node->func = func;
  node->context = context;
  Ref<THook>* link = &chains[static_cast<size_t>(id)];
  while (*link && (*link)->priority >= priority) link = &(*link)->succ;
  node->succ = *link;
  *link = node;
}

ObjectRef HookRun(int32_t id, const ObjectRef& data) {
  if (!ValidId(id)) return data;
  // The snapshot also holds each node while its function runs, which may
  // remove it.
  std::vector<Ref<THook>> snapshot;
  for (Ref<THook> node = chains[static_cast<size_t>(id)]; node; node = node->succ) snapshot.push_back(node);
  ObjectRef current = data;
  for (const Ref<THook>& node : snapshot) {
    if (!node->removed) current = node->func(id, current, node->context);
  }
  return current;
}

void HookRemove(int32_t id, THookFunc func, const ObjectRef& context) {
  if (!ValidId(id)) return;
  for (Ref<THook>* link = &chains[static_cast<size_t>(id)]; *link; link = &(*link)->succ) {
    if ((*link)->func == func && (*link)->context == context) {
      (*link)->removed = true;
      *link = (*link)->succ;
      return;
    }
  }
}
