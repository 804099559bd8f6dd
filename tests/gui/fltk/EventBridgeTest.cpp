#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Input.H>
// clang-format on

#include <utility>

#include "gui/core/HotKey.h"
#include "gui/fltk/FlEventBridge.h"

using namespace backend_test;

namespace {

using Call = std::pair<int32_t, int32_t>;  // (event id, data)

std::vector<Call> filterCalls;
std::vector<int32_t> filterMods;
int32_t rejectKeyDown = -1;  // key code whose KeyDown the filter swallows
int32_t rejectChar = -1;     // character whose KeyChar the filter swallows

int32_t RecordingFilter(const Ref<TEvent>& event, const ObjectRef&) {
  filterCalls.emplace_back(event->id, event->data);
  filterMods.push_back(event->mods);
  if (event->id == KeyDown && event->data == rejectKeyDown) return 0;
  if (event->id == KeyChar && event->data == rejectChar) return 0;
  return 1;
}

// Lets only digits and backspace through, as a numeric field does.
int32_t DigitsOnly(const Ref<TEvent>& event, const ObjectRef&) {
  if (event->id != KeyChar) return 1;
  return (event->data >= '0' && event->data <= '9') || event->data == 8;
}

class EventBridgeTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void SetUp() override {
    filterCalls.clear();
    filterMods.clear();
    rejectKeyDown = rejectChar = -1;
    window = MakeKind(0, 200, 200, 300, 200);
  }
  void TearDown() override {
    window->CleanUp();
    Fl::focus(nullptr);
    SystemPollEvents();
    mouseOverGadget = nullptr;
  }
  Fl_Input* Input(const Ref<KindGadget>& gadget) { return static_cast<Fl_Input*>(gadget->flhandle); }

  Ref<KindGadget> window;
};

TEST_F(EventBridgeTest, KeyFilterSeesKeyDownThenOneKeyCharPerByte) {
  auto field = MakeKind(10, 10, 10, 150, 24, window);
  field->SetFilter(RecordingFilter, nullptr);
  Fl::focus(field->flhandle);

  // A swallowed KeyDown: no KeyChar call, nothing typed, no callback.
  rejectKeyDown = 'A';
  EXPECT_EQ(SendKeyDown(field->flhandle, 'a', "a", 1), 1);
  EXPECT_EQ(filterCalls, (std::vector<Call>{{KeyDown, 'A'}}));
  EXPECT_STREQ(Input(field)->value(), "");
  EXPECT_EQ(field->callbacks, 0);

  // An accepted key reaches the input and then the callback.
  filterCalls.clear();
  filterMods.clear();
  SendKeyDown(field->flhandle, 'b', "B", 1, FL_SHIFT);
  EXPECT_EQ(filterCalls, (std::vector<Call>{{KeyDown, 'B'}, {KeyChar, 'B'}}));
  EXPECT_EQ(filterMods, (std::vector<int32_t>{1, 1}));
  EXPECT_STREQ(Input(field)->value(), "B");
  EXPECT_EQ(field->callbacks, 1);

  // Tab has no event text: the filter still sees it as a tab character.
  filterCalls.clear();
  SendKeyDown(field->flhandle, FL_Tab, "", 0);
  EXPECT_EQ(filterCalls, (std::vector<Call>{{KeyDown, 9}, {KeyChar, 9}}));

  // Composed input: one KeyChar per byte of the event text.
  filterCalls.clear();
  SendKeyDown(field->flhandle, 0xe9, "\xc3\xa9", 2);
  EXPECT_EQ(filterCalls, (std::vector<Call>{{KeyDown, 0xe9}, {KeyChar, 0xc3}, {KeyChar, 0xa9}}));

  // A swallowed character stops the key.
  filterCalls.clear();
  rejectChar = '%';
  SendKeyDown(field->flhandle, '5', "%", 1, FL_SHIFT);
  EXPECT_EQ(filterCalls, (std::vector<Call>{{KeyDown, '5'}, {KeyChar, '%'}}));
  EXPECT_STREQ(Input(field)->value(), "B\xc3\xa9");
}

TEST_F(EventBridgeTest, RightControlIsSwallowedWithOrWithoutFilter) {
  auto filtered = MakeKind(10, 10, 10, 150, 24, window);
  filtered->SetFilter(RecordingFilter, nullptr);
  auto plain = MakeKind(10, 10, 40, 150, 24, window);

  Fl::focus(filtered->flhandle);
  EXPECT_EQ(SendKeyDown(filtered->flhandle, FL_Control_R, "", 0), 1);
  EXPECT_TRUE(filterCalls.empty());
  EXPECT_EQ(filtered->callbacks, 0);

  Fl::focus(plain->flhandle);
  EXPECT_EQ(SendKeyDown(plain->flhandle, FL_Control_R, "", 0), 1);
  EXPECT_EQ(plain->callbacks, 0);
  // Other keys pass the unfiltered field.
  SendKeyDown(plain->flhandle, 'x', "x", 1);
  EXPECT_STREQ(Input(plain)->value(), "x");
  EXPECT_EQ(plain->callbacks, 1);
}

TEST_F(EventBridgeTest, TypedKeysGoThroughTheFilterOnTheDisplay) {
  auto field = MakeKind(10, 10, 10, 150, 24, window);
  field->SetFilter(DigitsOnly, nullptr);
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  MovePointer(200 + 50, 200 + 20);
  field->Activate(0);
  Pump();
  for (KeySym key : {XK_a, XK_4, XK_period, XK_2}) PressKey(key);
  EXPECT_TRUE(PumpUntil([&] { return std::string(Input(field)->value()) == "42"; })) << Input(field)->value();
  PressKey(XK_BackSpace);
  EXPECT_TRUE(PumpUntil([&] { return std::string(Input(field)->value()) == "4"; })) << Input(field)->value();
}

TEST_F(EventBridgeTest, PointerEntersMovesAndLeavesSensitiveGadgets) {
  auto first = MakeKind(21, 50, 50, 100, 60, window);
  auto second = MakeKind(21, 180, 50, 80, 60, window);
  first->SetSensitivity(SensitivityMouse);
  second->SetSensitivity(SensitivityMouse);
  EventRecorder recorder;
  MovePointer(20, 20);
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  recorder.Clear();

  MovePointer(200 + 60, 200 + 70);  // into the first gadget
  Pump();
  MovePointer(200 + 62, 200 + 71);
  Pump();
  MovePointer(200 + 65, 200 + 75);
  ASSERT_TRUE(PumpUntil([&] {
    auto& all = recorder.Events();
    return !all.empty() && all.back()->x == 15 && all.back()->y == 25;
  }));
  // MouseEnter first, then a MouseMove for each new position only.
  auto& seen = recorder.Events();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0]->id, MouseEnter);
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i]->source, first);
    if (i == 0) continue;
    EXPECT_EQ(seen[i]->id, MouseMove);
    EXPECT_TRUE(seen[i]->x != seen[i - 1]->x || seen[i]->y != seen[i - 1]->y);
  }
  EXPECT_EQ(recorder.Of(MouseEnter).size(), 1u);
  EXPECT_EQ(mouseOverGadget, first);
  const size_t movesBefore = recorder.Of(MouseMove).size();

  // A move report at the same position posts nothing.
  Fl::e_x = 65;
  Fl::e_y = 75;
  Fl::e_state = 0;
  Fl::e_number = FL_MOVE;
  first->flhandle->handle(FL_MOVE);
  EXPECT_EQ(recorder.Of(MouseMove).size(), movesBefore);

  // Over to the second gadget: the first reports leaving at its last position.
  MovePointer(200 + 200, 200 + 70);
  Pump();
  MovePointer(200 + 201, 200 + 71);
  ASSERT_TRUE(PumpUntil([&] { return recorder.Of(MouseEnter).size() == 2; }));
  auto leave = recorder.Of(MouseLeave);
  ASSERT_EQ(leave.size(), 1u);
  EXPECT_EQ(leave[0]->source, first);
  EXPECT_EQ(leave[0]->x, 15);
  EXPECT_EQ(leave[0]->y, 25);
  EXPECT_EQ(recorder.Of(MouseEnter)[1]->source, second);

  // Out of the window altogether.
  MovePointer(5, 5);
  ASSERT_TRUE(PumpUntil([&] { return recorder.Of(MouseLeave).size() == 2; }));
  EXPECT_EQ(recorder.Of(MouseLeave)[1]->source, second);
  EXPECT_EQ(mouseOverGadget, nullptr);
}

TEST_F(EventBridgeTest, ButtonsAndWheelAreReportedOnlyToMouseSensitiveGadgets) {
  auto box = MakeKind(21, 50, 50, 100, 60, window);
  EventRecorder recorder;
  auto press = [&](int button) {
    Fl::e_x = 60;
    Fl::e_y = 70;
    Fl::e_keysym = FL_Button + button;
    Fl::e_number = FL_PUSH;
    box->flhandle->handle(FL_PUSH);
    Fl::e_number = FL_RELEASE;
    box->flhandle->handle(FL_RELEASE);
  };
  press(1);
  EXPECT_TRUE(recorder.Events().empty());

  box->SetSensitivity(SensitivityMouse);
  press(1);
  press(3);
  press(2);
  Fl::e_dy = -1;
  Fl::e_number = FL_MOUSEWHEEL;
  box->flhandle->handle(FL_MOUSEWHEEL);
  std::vector<Call> seen;
  for (auto& event : recorder.Events()) seen.emplace_back(event->id, event->data);
  EXPECT_EQ(
      seen,
      (std::vector<Call>{
          {MouseDown, 1}, {MouseUp, 1}, {MouseDown, 2}, {MouseUp, 2}, {MouseDown, 3}, {MouseUp, 3}, {MouseWheel, -1}}));
  EXPECT_EQ(recorder.Events()[0]->x, 10);
  EXPECT_EQ(recorder.Events()[0]->y, 20);
}

TEST_F(EventBridgeTest, InactiveWidgetsAnswerNothingAndGetNoHoverColour) {
  auto active = MakeKind(2, 10, 10, 80, 24, window);
  auto inactive = MakeKind(2, 100, 10, 80, 24, window);
  inactive->SetSensitivity(SensitivityMouse);
  inactive->SetEnabled(0);
  const Fl_Color normal = active->flhandle->color();
  const Fl_Color lighter = fl_color_average(normal, FL_WHITE, 0.67f);
  EventRecorder recorder;

  Fl::e_number = FL_ENTER;
  EXPECT_EQ(inactive->flhandle->handle(FL_ENTER), 0);
  EXPECT_EQ(inactive->flhandle->color(), normal);
  Fl::e_number = FL_PUSH;
  Fl::e_keysym = FL_Button + 1;
  EXPECT_EQ(inactive->flhandle->handle(FL_PUSH), 0);
  EXPECT_TRUE(recorder.Events().empty());

  Fl::e_number = FL_ENTER;
  EXPECT_EQ(active->flhandle->handle(FL_ENTER), 1);
  EXPECT_EQ(active->flhandle->color(), lighter);
  // A second enter without a leave does not lighten the lightened colour.
  active->flhandle->handle(FL_ENTER);
  EXPECT_EQ(active->flhandle->color(), lighter);
  Fl::e_number = FL_LEAVE;
  active->flhandle->handle(FL_LEAVE);
  EXPECT_EQ(active->flhandle->color(), normal);
}

TEST_F(EventBridgeTest, KeySensitiveGadgetsReportDownRepeatAndUp) {
  auto field = MakeKind(10, 10, 10, 150, 24, window);
  field->SetSensitivity(SensitivityKeys);
  Fl::focus(field->flhandle);
  EventRecorder recorder;
  lastKeyDown = 0;
  SendKeyDown(field->flhandle, 'q', "q", 1, FL_CTRL);
  SendKeyDown(field->flhandle, 'q', "q", 1, FL_CTRL);
  Fl::e_number = FL_KEYUP;
  field->flhandle->handle(FL_KEYUP);
  std::vector<Call> seen;
  for (auto& event : recorder.Events()) seen.emplace_back(event->id, event->data);
  EXPECT_EQ(seen, (std::vector<Call>{{KeyDown, 'Q'}, {KeyRepeat, 'Q'}, {KeyUp, 'Q'}}));
  EXPECT_EQ(recorder.Events()[0]->mods, 2);
  EXPECT_EQ(lastKeyDown, 0);
}

TEST_F(EventBridgeTest, UnusedShortcutsBecomeHotKeyEvents) {
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  auto hotKey = HotKeySet('S', 2);
  EventRecorder recorder;
  auto shortcut = [&](int key, int state) {
    Fl::e_keysym = key;
    Fl::e_state = state;
    Fl::e_text = const_cast<char*>("");
    Fl::e_length = 0;
    return Fl::handle(FL_KEYBOARD, static_cast<Fl_Window*>(window->flhandle));
  };
  EXPECT_EQ(shortcut('s', FL_CTRL), 1);
  ASSERT_EQ(recorder.Of(HotkeyHit).size(), 1u);
  EXPECT_EQ(recorder.Of(HotkeyHit)[0]->data, 'S');
  EXPECT_EQ(recorder.Of(HotkeyHit)[0]->mods, 2);
  EXPECT_EQ(shortcut('s', FL_ALT), 0);
  EXPECT_EQ(recorder.Of(HotkeyHit).size(), 1u);
  HotKeyRemove(hotKey);
}

TEST_F(EventBridgeTest, ShortcutsUsedInsideGroupsArePressedOnce) {
  auto group = MakeKind(22, 10, 10, 250, 150, window);
  auto cancel = New<KindGadget>(2);
  cancel->flkey = FL_Escape;
  cancel->CreateGadget(S("Cancel"), 10, 10, 80, 24, group, 0);
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  Fl::focus(nullptr);
  window->callbacks = 0;
  Fl::e_keysym = FL_Escape;
  Fl::e_state = 0;
  Fl::e_text = const_cast<char*>("\x1b");
  Fl::e_length = 1;
  EXPECT_EQ(Fl::handle(FL_KEYBOARD, static_cast<Fl_Window*>(window->flhandle)), 1);
  EXPECT_EQ(cancel->callbacks, 1);
  // The key was used: it does not go on to close the window.
  EXPECT_EQ(window->callbacks, 0);
}

TEST_F(EventBridgeTest, ReleasingADragPostsADropOnTheGadgetUnderThePointer) {
  auto source = MakeKind(21, 10, 10, 50, 50, window);
  auto target = MakeKind(22, 100, 40, 120, 100, window);
  auto inner = MakeKind(21, 10, 10, 50, 30, target);
  EventRecorder recorder;
  GadgetSetDragSource(1, source);
  Fl::e_x = 100 + 10 + 5;
  Fl::e_y = 40 + 10 + 7;
  Fl::e_keysym = FL_Button + 1;
  Fl::e_state = FL_SHIFT;
  Fl::e_number = FL_RELEASE;
  source->flhandle->handle(FL_RELEASE);
  auto drops = recorder.Of(GadgetDrop);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0]->source, inner);
  EXPECT_EQ(drops[0]->data, 1);
  EXPECT_EQ(drops[0]->mods, 1);
  EXPECT_EQ(drops[0]->x, 5);
  EXPECT_EQ(drops[0]->y, 7);
  EXPECT_EQ(drops[0]->extra, source);
  EXPECT_EQ(GadgetDragSource(1), nullptr);
}

}  // namespace

// FLTK handles a motion only after the events read with it, so a press right
// after the pointer jumped finds the widget under the mouse still naming the
// one the pointer came from, often a group around the one pressed. The press
// is the pressed gadget's: only it reports it and it gets the focus.
TEST_F(EventBridgeTest, APressRightAfterAJumpBelongsToThePressedGadgetNotTheGroupAroundIt) {
  auto group = MakeKind(22, 10, 10, 250, 120, window);
  auto button = MakeKind(2, 10, 10, 60, 24, group);
  auto input = MakeKind(10, 100, 40, 100, 24, group);
  group->SetSensitivity(SensitivityMouse);
  input->SetSensitivity(SensitivityMouse);
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  button->flhandle->take_focus();
  EventRecorder recorder;
  Fl::belowmouse(group->flhandle);
  Fl::e_x = input->flhandle->x() + 5;
  Fl::e_y = input->flhandle->y() + 5;
  Fl::e_keysym = FL_Button + 1;
  Fl::e_number = FL_PUSH;
  window->flhandle->handle(FL_PUSH);
  const auto downs = recorder.Of(MouseDown);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0]->source, input);
  EXPECT_EQ(Fl::focus(), input->flhandle);
  Fl::e_number = FL_RELEASE;
  window->flhandle->handle(FL_RELEASE);
}
