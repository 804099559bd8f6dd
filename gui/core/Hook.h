#pragma once

#include <cstdint>

#include "runtime/Object.h"

// A hook function sees the chain's id, the data passed along the chain and the
// context it was added with; what it returns is handed to the next hook.
// Returning none swallows the data for every later hook.
using THookFunc = ObjectRef (*)(int32_t id, const ObjectRef& data, const ObjectRef& context);

constexpr int32_t HookIdLimit = 256;

// One node of a hook chain. Chains are ordered by descending priority.
class THook : public TObject {
 public:
  THook();

  Ref<THook> succ;
  int32_t priority = 0;
  THookFunc func;  // until set: a function that raises a runtime error
  ObjectRef context;
  bool removed = false;  // set by HookRemove, so that a run in progress skips it
};

// Creates the empty chain table. Later calls return at once.
void HookInit();
// A new hook id, counting up from 0. Raises TRuntimeError("Too many hook ids")
// once all HookIdLimit ids are taken.
int32_t HookAllocId();
// Inserts func after every node whose priority is greater than or equal to
// priority, so equal priorities run in the order they were added. Raises
// TRuntimeError for an id outside 0..HookIdLimit-1.
void HookAdd(int32_t id, THookFunc func, const ObjectRef& context, int32_t priority);
// Passes data through every node of chain id in order and returns what the last
// one returned; data itself for an empty chain or an id outside the table.
// A run goes over the chain as it stood when the run started: a hook added
// during the run (by a hook, or by anything it calls) first runs on the next
// run, and a hook removed during the run is skipped if it has not run yet.
ObjectRef HookRun(int32_t id, const ObjectRef& data);
// Removes the first node with exactly this function and context (context
// compared by identity). Nothing happens when there is none.
void HookRemove(int32_t id, THookFunc func, const ObjectRef& context);
