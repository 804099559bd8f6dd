#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
// clang-format on

#include "gui/fltk/TFLButton.h"
#include "gui/fltk/TFLTextField.h"

using namespace backend_test;

namespace {

constexpr int WindowX = 300, WindowY = 200;

class ButtonTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void SetUp() override {
    window = MakeWindow(S("Buttons"), WindowX, WindowY, 400, 300, nullptr, 1 | 32);
    ShowAndWait(static_cast<Fl_Window*>(AsFLWidget(window)->flhandle));
  }
  void TearDown() override {
    GadgetFree(window);
    Fl::focus(nullptr);
    Pump(2);
  }
  // A real click in the middle of a gadget, and the wait for the action it
  // reports; a click that reports nothing is waited for by the next one.
  void Click(EventRecorder& recorder, const Ref<TGadget>& gadget, bool reports = true) {
    Fl_Widget* widget = AsFLWidget(gadget)->flhandle;
    MovePointer(WindowX + widget->x() + widget->w() / 2, WindowY + widget->y() + widget->h() / 2);
    Pump(2);
    const size_t before = recorder.Of(GadgetAction).size();
    ClickButton(1);
    if (reports) {
      EXPECT_TRUE(PumpUntil([&] { return recorder.Of(GadgetAction).size() > before; }));
    }
  }
  std::vector<int32_t> ActionData(EventRecorder& recorder, const Ref<TGadget>& source) {
    std::vector<int32_t> data;
    for (const auto& event : recorder.Of(GadgetAction))
      if (event->source == source) data.push_back(event->data);
    return data;
  }

  Ref<TGadget> window;
};

TEST_F(ButtonTest, ClicksReportTheButtonState) {
  auto push = MakeButton(S("Push"), 10, 10, 80, 24, window, 0);
  auto check = MakeButton(S("Check"), 10, 40, 120, 24, window, 2);
  auto toggle = MakeButton(S("Toggle"), 10, 70, 80, 24, window, 2 | 8);
  EXPECT_EQ(AsFLWidget(check)->fltype, 3);
  EXPECT_EQ(AsFLWidget(toggle)->fltype, 5);
  EventRecorder recorder;

  Click(recorder, push);
  Click(recorder, push);
  EXPECT_EQ(ActionData(recorder, push), (std::vector<int32_t>{0, 0}));

  Click(recorder, check);
  EXPECT_EQ(ButtonGetState(check), 1);
  Click(recorder, check);
  EXPECT_EQ(ButtonGetState(check), 0);
  EXPECT_EQ(ActionData(recorder, check), (std::vector<int32_t>{16, 0}));

  Click(recorder, toggle);
  EXPECT_EQ(ActionData(recorder, toggle), (std::vector<int32_t>{16}));

  // A disabled button ignores clicks and says so in its state.
  GadgetDisable(push);
  Click(recorder, push, false);
  Click(recorder, toggle);
  EXPECT_EQ(ActionData(recorder, push).size(), 2u);
  EXPECT_EQ(push->State() & 4, 4);

  // Labels show "@" literally; the text reads back as given.
  GadgetSetText(push, S("a@b"));
  EXPECT_EQ(GadgetGetText(push), S("a@b"));
  EXPECT_STREQ(AsFLWidget(push)->flhandle->label(), "a@@b");
}

TEST_F(ButtonTest, RadioButtonsExcludeTheirSiblings) {
  auto panel = MakePanel(0, 0, 200, 120, window, 0, String());
  auto first = MakeButton(S("One"), 10, 10, 100, 24, panel, 3);
  auto second = MakeButton(S("Two"), 10, 40, 100, 24, panel, 3);
  auto third = MakeButton(S("Three"), 10, 70, 100, 24, panel, 3 | 8);
  auto elsewhere = MakeButton(S("Other"), 250, 10, 100, 24, window, 3);
  ButtonSetState(elsewhere, 1);
  ButtonSetState(first, 1);
  EventRecorder recorder;

  Click(recorder, second);
  EXPECT_EQ(ButtonGetState(first), 0);
  EXPECT_EQ(ButtonGetState(second), 1);
  // Clicking a radio button that is on leaves it on and reports it on.
  Click(recorder, second);
  EXPECT_EQ(ButtonGetState(second), 1);
  EXPECT_EQ(ActionData(recorder, second), (std::vector<int32_t>{16, 16}));

  Click(recorder, third);
  EXPECT_EQ(ButtonGetState(second), 0);
  EXPECT_EQ(ButtonGetState(third), 1);
  // Radio groups end at the parent.
  EXPECT_EQ(ButtonGetState(elsewhere), 1);

  ButtonSetState(first, 1);
  EXPECT_EQ(ButtonGetState(third), 0);
  EXPECT_TRUE(recorder.Of(GadgetAction).size() == 3u);
}

TEST_F(ButtonTest, ReturnAndEscapePressDefaultAndCancelButtons) {
  auto field = MakeTextField(10, 10, 150, 24, window, 0);
  auto ok = MakeButton(S("OK"), 10, 50, 80, 24, window, 4);
  auto cancel = MakeButton(S("Cancel"), 100, 50, 80, 24, window, 5);
  EventRecorder recorder;
  MovePointer(WindowX + 50, WindowY + 20);
  GadgetFocus(field);
  Pump();
  PressKey(XK_Return);
  EXPECT_TRUE(PumpUntil([&] { return ActionData(recorder, ok).size() == 1; }));
  PressKey(XK_Escape);
  EXPECT_TRUE(PumpUntil([&] { return ActionData(recorder, cancel).size() == 1; }));
  Pump();
  // Each key presses its button once.
  EXPECT_EQ(ActionData(recorder, ok).size(), 1u);
  EXPECT_EQ(ActionData(recorder, cancel).size(), 1u);
  EXPECT_TRUE(recorder.Of(WindowClose).empty());
}

// Accepts digits and control keys only, as the application's length field does.
int32_t DigitsOnly(const Ref<TEvent>& event, const ObjectRef&) {
  if (event->id != KeyChar) return 1;
  return (event->data >= '0' && event->data <= '9') || event->data == 8;
}

TEST_F(ButtonTest, TextFieldReportsEachAcceptedEditOnce) {
  auto field = MakeTextField(10, 10, 150, 24, window, 0);
  auto other = MakeTextField(10, 50, 150, 24, window, 0);
  GadgetSetFilter(field, DigitsOnly, nullptr);
  auto* input = static_cast<Fl_Input*>(AsFLWidget(field)->flhandle);
  EventRecorder recorder;

  MovePointer(WindowX + 50, WindowY + 20);
  GadgetFocus(field);
  Pump();
  for (KeySym key : {XK_1, XK_x, XK_2, XK_space}) PressKey(key);
  ASSERT_TRUE(PumpUntil([&] { return GadgetGetText(field) == S("12"); })) << input->value();
  Pump();
  EXPECT_EQ(ActionData(recorder, field), (std::vector<int32_t>{0, 0}));

  // Moving the focus away reports the loss.
  GadgetFocus(other);
  Pump();
  ASSERT_EQ(recorder.Of(GadgetLostFocus).size(), 1u);
  EXPECT_EQ(recorder.Of(GadgetLostFocus)[0]->source, field);

  // Setting the text reports nothing and leaves all of it selected.
  recorder.Clear();
  GadgetSetText(field, S("2048"));
  EXPECT_TRUE(recorder.Events().empty());
  EXPECT_EQ(input->position(), 0);
  EXPECT_EQ(input->mark(), 4);
  // Focus puts the insertion point at the end, still selecting everything.
  GadgetFocus(field);
  EXPECT_EQ(input->position(), 4);
  EXPECT_EQ(input->mark(), 0);

  // A password field hides its characters but gives back the text.
  auto secret = MakeTextField(10, 90, 150, 24, window, 1);
  EXPECT_EQ(AsFLWidget(secret)->flhandle->type(), FL_SECRET_INPUT);
  GadgetSetText(secret, S("s3cr\xe9t"));
  EXPECT_EQ(GadgetGetText(secret), S("s3cr\xe9t"));
}

}  // namespace
