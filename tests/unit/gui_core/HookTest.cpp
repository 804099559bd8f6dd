#include <gtest/gtest.h>

#include <string>

#include "gui/core/Hook.h"
#include "runtime/Errors.h"

namespace {
std::string trail;

// Appends its context's text to the trail and passes the data on.
ObjectRef Record(int32_t, const ObjectRef& data, const ObjectRef& context) {
  trail += NarrowString(StringOfObject(context)) + (data ? "+" : "-") + " ";
  return data;
}

ObjectRef Swallow(int32_t, const ObjectRef&, const ObjectRef&) { return nullptr; }

ObjectRef Replace(int32_t, const ObjectRef&, const ObjectRef& context) { return context; }

ObjectRef Tag(const char* text) { return MakeStringObject(S(text)); }
}  // namespace

TEST(Hook, ChainRunsInDescendingPriorityAndEqualPrioritiesInInsertionOrder) {
  HookInit();
  int32_t id = HookAllocId();
  HookAdd(id, Record, Tag("zeroA"), 0);
  HookAdd(id, Record, Tag("tenA"), 10);
  HookAdd(id, Record, Tag("minus"), -5);
  HookAdd(id, Record, Tag("zeroB"), 0);
  HookAdd(id, Record, Tag("tenB"), 10);
  trail.clear();
  auto data = Tag("data");
  EXPECT_EQ(HookRun(id, data), data);
  EXPECT_EQ(trail, "tenA+ tenB+ zeroA+ zeroB+ minus+ ");
}

TEST(Hook, EveryNodeRunsAfterASwallowAndTheLastResultIsReturned) {
  HookInit();
  int32_t id = HookAllocId();
  auto data = Tag("data");
  EXPECT_EQ(HookRun(id, data), data) << "an empty chain hands the data back";

  auto replacement = Tag("other");
  HookAdd(id, Record, Tag("first"), 30);
  HookAdd(id, Swallow, nullptr, 20);
  HookAdd(id, Record, Tag("second"), 10);
  HookAdd(id, Replace, replacement, 0);
  trail.clear();
  EXPECT_EQ(HookRun(id, data), replacement);
  EXPECT_EQ(trail, "first+ second- ");
}

TEST(Hook, RemoveTakesOnlyTheFirstNodeWithTheSameFunctionAndContext) {
  HookInit();
  int32_t id = HookAllocId();
  auto a = Tag("a");
  auto b = Tag("b");
  HookAdd(id, Record, a, 5);
  HookAdd(id, Record, b, 4);
  HookAdd(id, Record, a, 3);
  HookRemove(id, Swallow, a);        // other function: nothing happens
  HookRemove(id, Record, Tag("a"));  // equal text, other object: nothing happens
  HookRemove(id, Record, a);
  trail.clear();
  HookRun(id, a);
  EXPECT_EQ(trail, "b+ a+ ");
  HookRemove(id, Record, a);
  HookRemove(id, Record, b);
  HookRemove(id, Record, b);
  trail.clear();
  HookRun(id, a);
  EXPECT_EQ(trail, "");
}

namespace {
ObjectRef laterContext;
int addsLeft = 0;

// Removes itself and the Record hook with laterContext from the chain it runs in.
ObjectRef RemoveSelfAndLater(int32_t id, const ObjectRef& data, const ObjectRef& context) {
  trail += "remover ";
  HookRemove(id, RemoveSelfAndLater, context);
  HookRemove(id, Record, laterContext);
  return data;
}

// Adds one more of itself below itself on every call (bounded, so that a
// chain that runs new hooks at once still ends).
ObjectRef AddBelow(int32_t id, const ObjectRef& data, const ObjectRef& context) {
  trail += "adder ";
  if (addsLeft-- > 0) HookAdd(id, AddBelow, context, -1);
  return data;
}
}  // namespace

TEST(Hook, ARunSeesTheChainAsItStoodWhenItStartedLessHooksRemovedMeanwhile) {
  HookInit();
  int32_t edited = HookAllocId();
  laterContext = Tag("later");
  HookAdd(edited, Record, Tag("first"), 3);
  HookAdd(edited, RemoveSelfAndLater, nullptr, 2);
  HookAdd(edited, Record, laterContext, 1);
  HookAdd(edited, Record, Tag("last"), 0);
  trail.clear();
  HookRun(edited, Tag("data"));
  EXPECT_EQ(trail, "first+ remover last+ ");
  trail.clear();
  HookRun(edited, Tag("data"));
  EXPECT_EQ(trail, "first+ last+ ");

  int32_t growing = HookAllocId();
  HookAdd(growing, AddBelow, nullptr, 0);
  addsLeft = 100;
  trail.clear();
  HookRun(growing, Tag("data"));
  EXPECT_EQ(trail, "adder ") << "a hook added during a run waits for the next run";
  trail.clear();
  HookRun(growing, Tag("data"));
  EXPECT_EQ(trail, "adder adder ");
  laterContext.reset();
}

TEST(Hook, AddingToAnIdOutsideTheTableIsAnError) {
  HookInit();
  EXPECT_THROW(HookAdd(HookIdLimit, Record, nullptr, 0), TRuntimeError);
  EXPECT_THROW(HookAdd(-1, Record, nullptr, 0), TRuntimeError);
  auto data = Tag("data");
  EXPECT_EQ(HookRun(-1, data), data);
}

// Runs in a fresh process, so that no other test has taken ids yet.
TEST(HookDeathTest, The257thIdIsTheFatalTooManyHookIds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        HookInit();
        int32_t last = -1;
        for (int32_t expected = 0; expected < HookIdLimit; ++expected) {
          last = HookAllocId();
          if (last != expected) _exit(2);
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
          try {
            HookAllocId();
            _exit(3);
          } catch (const TRuntimeError& error) {
            if (std::string(error.what()) != "Too many hook ids") _exit(4);
          }
        }
        _exit(0);
      },
      testing::ExitedWithCode(0), "");
}
