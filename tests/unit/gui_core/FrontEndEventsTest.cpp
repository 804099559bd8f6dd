#include <gtest/gtest.h>

#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Hook.h"
#include "gui/core/TestSeams.h"
#include "system/SystemDriver.h"
#include "tests/unit/gui_core/GadgetRecording.h"

namespace {

std::vector<Ref<TEvent>>* captured = nullptr;

// Runs before the queue's hook and keeps what it sees out of the queue.
ObjectRef CaptureHook(int32_t, const ObjectRef& data, const ObjectRef&) {
  if (auto event = std::dynamic_pointer_cast<TEvent>(data)) captured->push_back(event);
  return nullptr;
}

// Queues a follow-up event the first time it sees one, as a hook may.
ObjectRef RequeueHook(int32_t, const ObjectRef& data, const ObjectRef& context) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  if (event && event->data == 1) GadgetQueueEvent(GadgetSelect, std::static_pointer_cast<TGadget>(context), 99);
  return data;
}

class FrontEndEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    FrontEndInit();
    captured = &events;
    HookAdd(EventEmitHookId, CaptureHook, nullptr, 5000);
  }
  void TearDown() override {
    HookRemove(EventEmitHookId, CaptureHook, nullptr);
    PendingGuiEvents.clear();
    captured = nullptr;
  }

  std::vector<Ref<TEvent>> events;
};

TEST_F(FrontEndEventsTest, EventsOfAWrappedGadgetNameTheOutermostProxy) {
  auto label = New<TGadget>();
  auto inner = New<TTestProxy>();
  auto outer = New<TTestProxy>();
  inner->Wrap(label);
  outer->Wrap(inner);
  auto extra = MakeStringObject(S("e"));

  GadgetPostEvent(GadgetAction, label, 1, 2, 3, 4, extra);
  GadgetPostEvent(GadgetAction, New<TGadget>(), 5);
  GadgetPostEvent(AppIdle, nullptr);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0]->source, outer);
  EXPECT_EQ(events[0]->id, GadgetAction);
  EXPECT_EQ(events[0]->data, 1);
  EXPECT_EQ(events[0]->mods, 2);
  EXPECT_EQ(events[0]->x, 3);
  EXPECT_EQ(events[0]->y, 4);
  EXPECT_EQ(events[0]->extra, extra);
  EXPECT_NE(events[1]->source, nullptr);
  EXPECT_EQ(events[2]->source, nullptr);

  // A source loop (a wiring mistake) ends instead of spinning.
  auto a = New<TTestProxy>(), b = New<TTestProxy>();
  a->source = b;
  b->source = a;
  GadgetPostEvent(GadgetAction, a);
  EXPECT_EQ(events.back()->source, b);

  // Through the real queue, the application sees the proxy as the source.
  HookRemove(EventEmitHookId, CaptureHook, nullptr);
  SystemInit();
  EventQueueInit();
  EventQueueResetCounters(0);
  GadgetPostEvent(GadgetAction, label, 7);
  ASSERT_EQ(EventQueuePoll(), GadgetAction);
  EXPECT_EQ(CurrentEventSource(), outer);
  EXPECT_EQ(CurrentEventData(), 7);
  EventQueueResetCounters(0);
  HookAdd(EventEmitHookId, CaptureHook, nullptr, 5000);
}

TEST_F(FrontEndEventsTest, DeferredEventsAreFlushedInOrderAndLateOnesWait) {
  auto button = New<TGadget>();
  auto proxy = New<TTestProxy>();
  proxy->Wrap(button);
  GadgetQueueEvent(GadgetAction, button, 1);
  GadgetQueueEvent(WindowClose, nullptr, 2);
  GadgetQueueEvent(GadgetAction, button, 3);
  EXPECT_TRUE(events.empty());
  ASSERT_EQ(PendingGuiEvents.size(), 3u);
  EXPECT_EQ(PendingGuiEvents[0]->source, proxy);

  HookAdd(EventEmitHookId, RequeueHook, button, 6000);
  GadgetFlushEvents();
  HookRemove(EventEmitHookId, RequeueHook, button);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0]->data, 1);
  EXPECT_EQ(events[1]->data, 2);
  EXPECT_EQ(events[2]->data, 3);
  // The event queued while the flush ran waits for the next one.
  ASSERT_EQ(PendingGuiEvents.size(), 1u);
  EXPECT_EQ(PendingGuiEvents[0]->data, 99);
  GadgetFlushEvents();
  EXPECT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3]->id, GadgetSelect);
  EXPECT_EQ(events[3]->source, proxy);
  EXPECT_TRUE(PendingGuiEvents.empty());
  GadgetFlushEvents();
  EXPECT_EQ(events.size(), 4u);
}

TEST_F(FrontEndEventsTest, UnproxyFollowsProxiesInward) {
  auto real = New<TGadget>();
  auto inner = New<TTestProxy>(), outer = New<TTestProxy>();
  inner->Wrap(real);
  outer->Wrap(inner);
  EXPECT_EQ(GadgetUnproxy(outer), real);
  EXPECT_EQ(GadgetUnproxy(real), real);
  EXPECT_EQ(GadgetUnproxy(nullptr), nullptr);
  auto empty = New<TTestProxy>();
  EXPECT_EQ(GadgetUnproxy(empty), nullptr);
  auto loop = New<TTestProxy>();
  loop->proxy = loop;
  EXPECT_EQ(GadgetUnproxy(loop), loop);
  loop->proxy = nullptr;
}

TEST_F(FrontEndEventsTest, HotKeysMatchKeyModsAndOwner) {
  auto any = HotKeySet('s', 2);
  ASSERT_NE(HotKeyFind('s', 2, 0), nullptr);
  EXPECT_EQ(HotKeyFind('s', 2, 0)->id, HotkeyHit);
  EXPECT_EQ(HotKeyFind('s', 2, 0)->data, 's');
  EXPECT_EQ(HotKeyFind('s', 2, 0)->mods, 2);
  EXPECT_EQ(HotKeyFind('s', 2, 77), any->event);  // owner 0 matches every owner
  EXPECT_EQ(HotKeyFind('s', 0, 0), nullptr);
  EXPECT_EQ(HotKeyFind('t', 2, 0), nullptr);

  auto own = EventNew(MenuAction, nullptr, 9);
  auto owned = HotKeySet('o', 1, own, 5);
  EXPECT_EQ(HotKeyFind('o', 1, 5), own);
  EXPECT_EQ(HotKeyFind('o', 1, 6), nullptr);

  // Setting the same key again replaces the event in the same entry.
  auto again = EventNew(MenuAction, nullptr, 10);
  EXPECT_EQ(HotKeySet('o', 1, again, 5), owned);
  EXPECT_EQ(HotKeyFind('o', 1, 5), again);

  // The newest entry wins; removing it uncovers the older one.
  auto newer = HotKeySet('o', 1, EventNew(MenuAction, nullptr, 11), 0);
  EXPECT_EQ(HotKeyFind('o', 1, 5)->data, 11);
  HotKeyRemove(newer);
  EXPECT_EQ(HotKeyFind('o', 1, 5), again);
  HotKeyRemove(owned);
  HotKeyRemove(owned);  // already gone: nothing happens
  EXPECT_EQ(HotKeyFind('o', 1, 5), nullptr);
  EXPECT_EQ(HotKeyFind('s', 2, 0), any->event);
  HotKeyRemove(any);
  EXPECT_EQ(HotKeyFind('s', 2, 0), nullptr);
}

}  // namespace
