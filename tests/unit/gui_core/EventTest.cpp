#include <gtest/gtest.h>

#include "gui/core/Event.h"
#include "gui/core/Hook.h"

namespace {
Ref<TEvent> seen;
int watched = 0;
ObjectRef Watch(int32_t, const ObjectRef& data, const ObjectRef&) {
  ++watched;
  seen = std::dynamic_pointer_cast<TEvent>(data);
  return data;
}
}  // namespace

TEST(Event, RegistryHoldsTheBuiltinIdsAndLookupsFindTheFirstEntry) {
  EventInit();
  EXPECT_EQ(EventIdRegistry().substr(0, 30), S("}257{AppSuspend}258{AppResume}"));
  EXPECT_EQ(TEvent::DescriptionForId(GadgetAction), S("GadgetAction"));
  EXPECT_EQ(TEvent::DescriptionForId(KeyChar), S("KeyChar"));
  EXPECT_EQ(TEvent::DescriptionForId(ProcessExit), S("ProcessExit"));
  EXPECT_EQ(TEvent::DescriptionForId(WindowClose), S("WindowClose"));
  EXPECT_EQ(TEvent::DescriptionForId(7), S(""));
  // "}1{" must not be found inside "}1025{" or "}16385{".
  EXPECT_EQ(TEvent::DescriptionForId(1), S(""));
  EXPECT_EQ(TEvent::DescriptionForId(25), S(""));

  TEvent::RegisterId(GadgetAction, S("Clicked"));
  EXPECT_EQ(TEvent::DescriptionForId(GadgetAction), S("GadgetAction"));
  EventInit();  // a second start-up registers nothing
  EXPECT_EQ(EventIdRegistry().find(S("}257{"), 1), String::npos);
}

TEST(Event, TextFormNamesTheIdAndEveryField) {
  EventInit();
  EXPECT_EQ(EventNew(GadgetAction, nullptr, 1)->ToString(), S("GadgetAction: data=1, mods=0, x=0, y=0, extra=\"\""));
  auto source = MakeStringObject(S("ignored: sources are not part of the text"));
  EXPECT_EQ(EventNew(MouseMove, source, -3, 2, -40, 50, MakeStringObject(S("hi")))->ToString(),
            S("MouseMove: data=-3, mods=2, x=-40, y=50, extra=\"hi\""));
  EXPECT_EQ(EventNew(KeyDown, nullptr, 65, 0, 0, 0, New<TObject>())->ToString(),
            S("KeyDown: data=65, mods=0, x=0, y=0, extra=\"\""))
      << "an extra that is not a string prints as empty";
  EXPECT_EQ(EventNew(7)->ToString(), S("Unknown Event, id=7: data=0, mods=0, x=0, y=0, extra=\"\""));
  EXPECT_EQ(EventNew(0x7FFFFFF0)->ToString(), S("Unknown Event, id=2147483632: data=0, mods=0, x=0, y=0, extra=\"\""));
}

TEST(Event, UserIdsCountUpWithBit31SetAndPrintByTheirNumber) {
  EventInit();
  int32_t first = TEvent::AllocUserId();
  int32_t second = EventAllocUserId(S(""));
  int32_t named = EventAllocUserId(S("RecordSaved"));
  EXPECT_LT(first, 0);
  EXPECT_EQ(static_cast<uint32_t>(second), static_cast<uint32_t>(first) + 1);
  EXPECT_EQ(static_cast<uint32_t>(named), static_cast<uint32_t>(first) + 2);
  EXPECT_EQ(TEvent::DescriptionForId(second), S(""));
  EXPECT_EQ(TEvent::DescriptionForId(named), S("RecordSaved"));
  uint32_t number = static_cast<uint32_t>(second) - 0x80000000u;
  EXPECT_EQ(EventNew(second, nullptr, 4)->ToString(),
            S("UserEvent") + IntToString(number) + S(": data=4, mods=0, x=0, y=0, extra=\"\""));
  EXPECT_EQ(EventNew(named)->ToString(), S("RecordSaved: data=0, mods=0, x=0, y=0, extra=\"\""));
}

TEST(EventDeathTest, TheFirstUserIdIsOneAboveBit31) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        EventInit();
        int32_t first = TEvent::AllocUserId();
        bool ok = static_cast<uint32_t>(first) == 0x80000001u &&
                  EventNew(first)->ToString() == S("UserEvent1: data=0, mods=0, x=0, y=0, extra=\"\"");
        _exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Event, EmitHandsTheEventItselfToTheEmitChainAndNoneIsNotEmitted) {
  EventInit();
  auto source = New<TObject>();
  auto event = TEvent::Create(MenuAction, source, 1, 2, 3, 4, MakeStringObject(S("x")));
  HookAdd(EventEmitHookId, Watch, nullptr, 1000);
  seen.reset();
  watched = 0;
  EventEmit(event);
  EXPECT_EQ(seen, event);
  EXPECT_EQ(seen->source, source);
  EXPECT_EQ(seen->ToString(), S("MenuAction: data=1, mods=2, x=3, y=4, extra=\"x\""));
  EventEmit(nullptr);
  EXPECT_EQ(watched, 1);
  HookRemove(EventEmitHookId, Watch, nullptr);
  seen.reset();
}
