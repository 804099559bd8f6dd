#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "gui/core/EventQueue.h"
#include "gui/core/Hook.h"
#include "gui/core/TestSeams.h"
#include "runtime/HandleTable.h"
#include "system/SystemDriver.h"

namespace {
// Counts pumps; each Wait may run a scripted action that raises events.
class TCountingDriver : public TSystemDriver {
 public:
  int32_t Poll() override {
    ++polls;
    if (onPoll) onPoll();
    return 0;
  }
  int32_t Wait() override {
    ++waits;
    if (onWait) onWait(waits);
    return 0;
  }
  int polls = 0;
  int waits = 0;
  std::function<void()> onPoll;
  std::function<void(int)> onWait;
};

class EventQueueTest : public testing::Test {
 protected:
  void SetUp() override {
    HookInit();
    EventInit();
    SystemInit();
    EventQueueInit();
    previous = systemDriver;
    driver = New<TCountingDriver>();
    systemDriver = driver;
    EventQueueResetCounters(0);
  }
  void TearDown() override {
    EventQueueResetCounters(0);
    systemDriver = previous;
  }

  // Takes every queued event, oldest first.
  std::vector<Ref<TEvent>> TakeAll() {
    std::vector<Ref<TEvent>> taken;
    while (EventQueueLength() > 0) {
      EventQueuePoll();
      taken.push_back(CurrentEvent);
    }
    return taken;
  }

  Ref<TSystemDriver> previous;
  Ref<TCountingDriver> driver;
};

ObjectRef SwallowMarked(int32_t, const ObjectRef& data, const ObjectRef&) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  return event && event->data == 666 ? nullptr : data;
}

int lateHookCalls = 0;
ObjectRef LateSwallow(int32_t, const ObjectRef&, const ObjectRef&) {
  ++lateHookCalls;
  return nullptr;
}
}  // namespace

TEST_F(EventQueueTest, PollOnAnEmptyQueuePumpsOnceAndResetsTheCurrentEvent) {
  auto source = New<TObject>();
  auto event = EventNew(MenuAction, source, 7, 1, 2, 3, MakeStringObject(S("text")));
  std::weak_ptr<TEvent> taken = event;
  EventEmit(std::exchange(event, nullptr));
  EXPECT_EQ(EventQueuePoll(), MenuAction);
  EXPECT_EQ(driver->polls, 0) << "a queued event is taken without pumping";
  EXPECT_EQ(CurrentEventData(), 7);
  EXPECT_EQ(CurrentEventMods(), 1);
  EXPECT_EQ(CurrentEventX(), 2);
  EXPECT_EQ(CurrentEventY(), 3);
  EXPECT_EQ(CurrentEventText(), S("text"));
  EXPECT_EQ(CurrentEventSource(), source);
  EXPECT_EQ(HandleToObject(CurrentEventSourceHandle()), source);
  EXPECT_NE(CurrentEventSourceHandle(), 0);

  EXPECT_EQ(EventQueuePoll(), 0);
  EXPECT_EQ(driver->polls, 1);
  EXPECT_EQ(CurrentEvent, NullEvent);
  // Events carry typed text: once taken and replaced, nothing in the ring keeps one alive.
  EXPECT_TRUE(taken.expired());
  EXPECT_EQ(CurrentEventId(), 0);
  EXPECT_EQ(CurrentEventData(), 0);
  EXPECT_EQ(CurrentEventMods(), 0);
  EXPECT_EQ(CurrentEventX(), 0);
  EXPECT_EQ(CurrentEventY(), 0);
  EXPECT_EQ(CurrentEventSource(), nullptr);
  EXPECT_EQ(CurrentEventExtra(), nullptr);
  EXPECT_EQ(CurrentEventText(), S(""));
  EXPECT_EQ(CurrentEventSourceHandle(), 0);
}

TEST_F(EventQueueTest, PollTakesWhatThePumpRaised) {
  EventQueueInit();  // a second start-up adds no second queue hook
  driver->onPoll = [] { EventEmit(EventNew(KeyDown, nullptr, 65)); };
  EXPECT_EQ(EventQueuePoll(), KeyDown);
  EXPECT_EQ(CurrentEventData(), 65);
  EXPECT_EQ(driver->polls, 1);
  EXPECT_EQ(EventQueueLength(), 0);
}

TEST_F(EventQueueTest, CoalescingMergesOnlyMovesSizesTicksAndActionsFromTheSameSource) {
  auto a = New<TObject>();
  auto b = New<TObject>();
  auto first = EventNew(GadgetAction, a, 1);
  EventEmit(first);
  EventEmit(EventNew(WindowClose, a));
  EventEmit(EventNew(GadgetAction, a, 2, 3, 4, 5, MakeStringObject(S("second"))));
  EventEmit(EventNew(GadgetAction, b, 9));
  EventEmit(EventNew(WindowClose, a));
  EventEmit(EventNew(TimerTick, nullptr, 1));
  EventEmit(EventNew(TimerTick, nullptr, 2));  // none is the same source as none
  EventEmit(EventNew(WindowMove, a, 0, 0, 10, 10));
  EventEmit(EventNew(WindowSize, a, 0, 0, 300, 200));
  EventEmit(EventNew(WindowMove, a, 0, 0, 20, 30));
  EventEmit(EventNew(WindowSize, a, 0, 0, 310, 220));

  auto taken = TakeAll();
  ASSERT_EQ(taken.size(), 7u);
  EXPECT_EQ(taken[0], first) << "the merged event keeps its place";
  EXPECT_EQ(taken[0]->data, 2);
  EXPECT_EQ(taken[0]->mods, 3);
  EXPECT_EQ(taken[0]->x, 4);
  EXPECT_EQ(taken[0]->y, 5);
  EXPECT_EQ(StringOfObject(taken[0]->extra), S("second"));
  EXPECT_EQ(taken[1]->id, WindowClose);
  EXPECT_EQ(taken[2]->source, b);
  EXPECT_EQ(taken[2]->data, 9);
  EXPECT_EQ(taken[3]->id, WindowClose);
  EXPECT_EQ(taken[4]->id, TimerTick);
  EXPECT_EQ(taken[4]->data, 2);
  EXPECT_EQ(taken[5]->id, WindowMove);
  EXPECT_EQ(taken[5]->x, 20);
  EXPECT_EQ(taken[5]->y, 30);
  EXPECT_EQ(taken[6]->id, WindowSize);
  EXPECT_EQ(taken[6]->x, 310);

  // Once taken, the next action from a queues anew.
  EventEmit(EventNew(GadgetAction, a, 5));
  EXPECT_EQ(EventQueueLength(), 1);
}

TEST_F(EventQueueTest, AFullRingDropsNewEventsButStillMergesIntoQueuedTwins) {
  auto a = New<TObject>();
  auto b = New<TObject>();
  for (int32_t i = 0; i < EventQueueCapacity; ++i) {
    if (i == 10)
      EventEmit(EventNew(GadgetAction, a, 1));
    else
      EventEmit(EventNew(KeyDown, nullptr, i));
  }
  ASSERT_EQ(EventQueueLength(), EventQueueCapacity);
  EventEmit(EventNew(KeyDown, nullptr, 1000));
  EventEmit(EventNew(GadgetAction, b, 2));
  EventEmit(EventNew(GadgetAction, a, 3));
  EXPECT_EQ(EventQueueLength(), EventQueueCapacity);

  EXPECT_EQ(EventQueuePoll(), KeyDown);
  EXPECT_EQ(CurrentEventData(), 0);
  EventEmit(EventNew(KeyDown, nullptr, 2000));
  EXPECT_EQ(EventQueueLength(), EventQueueCapacity);

  auto taken = TakeAll();
  ASSERT_EQ(taken.size(), static_cast<size_t>(EventQueueCapacity));
  for (int32_t i = 1; i < EventQueueCapacity; ++i) {
    if (i == 10) {
      EXPECT_EQ(taken[9]->id, GadgetAction);
      EXPECT_EQ(taken[9]->data, 3);
    } else {
      EXPECT_EQ(taken[i - 1]->data, i);
    }
  }
  EXPECT_EQ(taken.back()->data, 2000);
}

TEST_F(EventQueueTest, CountersKeepWorkingAcrossThe32BitWrap) {
  EventQueueResetCounters(0xFFFFFFF0u);
  for (int32_t i = 0; i < 300; ++i) EventEmit(EventNew(KeyChar, nullptr, i));
  EXPECT_EQ(EventQueueLength(), EventQueueCapacity);
  auto taken = TakeAll();
  ASSERT_EQ(taken.size(), static_cast<size_t>(EventQueueCapacity));
  for (int32_t i = 0; i < EventQueueCapacity; ++i) EXPECT_EQ(taken[i]->data, i);

  // Both counters are now past the wrap; a twin found across the wrap merges.
  auto a = New<TObject>();
  EventQueueResetCounters(0xFFFFFFFEu);
  EventEmit(EventNew(KeyChar, nullptr, 1));
  EventEmit(EventNew(KeyChar, nullptr, 2));
  EventEmit(EventNew(GadgetAction, a, 3));  // stored after the wrap
  EventEmit(EventNew(GadgetAction, a, 4));
  EXPECT_EQ(EventQueueLength(), 3);
  taken = TakeAll();
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[2]->data, 4);
  EXPECT_EQ(EventQueuePoll(), 0);
}

TEST_F(EventQueueTest, WaitPumpsUntilAnEventArrivesAndPeekLeavesTheCurrentEvent) {
  driver->onWait = [](int call) {
    if (call == 3) EventEmit(EventNew(WindowClose, nullptr, 42));
  };
  EXPECT_EQ(EventQueueWait(), WindowClose);
  EXPECT_EQ(driver->waits, 3);
  EXPECT_EQ(CurrentEventData(), 42);

  EXPECT_EQ(EventQueuePeek(), nullptr);
  EXPECT_EQ(driver->polls, 1);
  auto queued = EventNew(MenuAction, nullptr, 8);
  EventEmit(queued);
  EXPECT_EQ(EventQueuePeek(), queued);
  EXPECT_EQ(CurrentEventData(), 42) << "peeking takes nothing";
  EXPECT_EQ(EventQueueLength(), 1);
  EXPECT_EQ(EventQueueWait(), MenuAction);
  EXPECT_EQ(driver->waits, 3) << "a queued event is taken without waiting";
}

TEST_F(EventQueueTest, AWaitFromInsideAPumpTakesWhatIsQueuedAndOtherwiseReturnsNoEvent) {
  int32_t nestedFirst = -1, nestedSecond = -1;
  Ref<TEvent> currentAfterSecond;
  driver->onWait = [&](int) {
    EventEmit(EventNew(KeyDown, nullptr, 5));
    nestedFirst = EventQueueWait();
    nestedSecond = EventQueueWait();  // cannot pump: must not spin
    currentAfterSecond = CurrentEvent;
    EventEmit(EventNew(WindowClose, nullptr, 6));
  };
  EXPECT_EQ(EventQueueWait(), WindowClose);
  EXPECT_EQ(driver->waits, 1);
  EXPECT_EQ(nestedFirst, KeyDown);
  EXPECT_EQ(nestedSecond, 0);
  EXPECT_EQ(currentAfterSecond, NullEvent);
  EXPECT_EQ(CurrentEventData(), 6);
}

TEST_F(EventQueueTest, HooksAboveTheQueueMaySwallowEventsButHooksBelowItCannot) {
  HookAdd(EventEmitHookId, SwallowMarked, nullptr, 0);
  HookAdd(EventEmitHookId, LateSwallow, nullptr, -20000);
  lateHookCalls = 0;
  EventEmit(EventNew(KeyDown, nullptr, 666));
  EventEmit(EventNew(KeyDown, nullptr, 1));
  HookRemove(EventEmitHookId, SwallowMarked, nullptr);
  HookRemove(EventEmitHookId, LateSwallow, nullptr);
  EXPECT_EQ(lateHookCalls, 2);
  auto taken = TakeAll();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0]->data, 1);

  // Data on the emit chain that is not an event is not queued.
  EXPECT_EQ(EventQueueHook(EventEmitHookId, MakeStringObject(S("x")), nullptr), nullptr);
  EXPECT_EQ(HookRun(EventEmitHookId, MakeStringObject(S("x"))), nullptr);
  EXPECT_EQ(EventQueueLength(), 0);
}
