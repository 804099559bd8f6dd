#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_Choice.H>
// clang-format on

#include "gui/fltk/TFLComboBox.h"

using namespace backend_test;

namespace {

constexpr int WindowX = 300, WindowY = 200;

class ComboBoxTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void SetUp() override {
    window = MakeWindow(S("Combo"), WindowX, WindowY, 400, 300, nullptr, 1 | 32);
    ShowAndWait(static_cast<Fl_Window*>(AsFLWidget(window)->flhandle));
  }
  void TearDown() override {
    GadgetFree(window);
    Fl::focus(nullptr);
    Pump(2);
  }
  static Ref<TGadget> MakeCombo(const Ref<TGadget>& parent, int32_t style, std::initializer_list<const char*> texts) {
    auto combo = MakeComboBox(10, 10, 200, 24, parent, style);
    for (const char* text : texts) GadgetAddItem(combo, S(text), 0, -1, String(), nullptr);
    return combo;
  }
  static Fl_Menu_* List(const Ref<TGadget>& combo) {
    Fl_Widget* widget = AsFLWidget(combo)->flhandle;
    if (auto* editable = dynamic_cast<Fl_Input_Choice*>(widget)) return editable->menubutton();
    return static_cast<Fl_Choice*>(widget);
  }
  // The drop-down's texts as FLTK has them once the table is current.
  static std::vector<std::string> Shown(const Ref<TGadget>& combo) {
    std::dynamic_pointer_cast<TFLComboBox>(combo)->UpdateTable();
    std::vector<std::string> texts;
    for (const Fl_Menu_Item* item = List(combo)->menu(); item && item->label(); ++item) texts.push_back(item->label());
    return texts;
  }

  Ref<TGadget> window;
};

TEST_F(ComboBoxTest, PickingAnItemReportsItsIndex) {
  auto combo = MakeCombo(window, 0, {"A", "B", "C"});
  EventRecorder recorder;
  // Open the list with a real click and pick the next item with the keyboard.
  // The open list runs FLTK's loop inside the click, so all input goes first.
  MovePointer(WindowX + 100, WindowY + 20);
  Pump();
  ClickButton(1);
  PressKey(XK_Down);
  PressKey(XK_Return);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(GadgetAction).empty(); }));
  const auto action = recorder.Of(GadgetAction)[0];
  EXPECT_EQ(action->source, combo);
  EXPECT_EQ(action->data, 1);
  EXPECT_TRUE(recorder.Of(MenuAction).empty());
  EXPECT_EQ(GadgetGetText(combo), S("B"));
  EXPECT_EQ(GadgetSelectedItem(combo), 1);

  // A selection made by the program shows but is not the user's pick.
  GadgetSelectItem(combo, 2);
  EXPECT_EQ(List(combo)->value(), 2);
  EXPECT_STREQ(List(combo)->text(), "C");
  EXPECT_EQ(GadgetGetText(combo), S("B"));
  EXPECT_EQ(GadgetSelectedItem(combo), 2);
  combo->SetListItemState(0, 0);
  EXPECT_EQ(GadgetSelectedItem(combo), 2);
}

TEST_F(ComboBoxTest, ChangingItemsKeepsTheDropDownInStepAndTheSelectionInPlace) {
  auto combo = MakeCombo(window, 0, {"A", "B", "C"});
  GadgetSelectItem(combo, 1);
  GadgetModifyItem(combo, 1, S("Bee"), 0, -1, String(), nullptr);
  EXPECT_EQ(GadgetSelectedItem(combo), 1);
  EXPECT_EQ(Shown(combo), (std::vector<std::string>{"A", "Bee", "C"}));

  // Items inserted in the middle appear there; the selected item stays selected.
  GadgetInsertItem(combo, 0, S("first"), 0, -1, String(), nullptr);
  GadgetInsertItem(combo, 2, S("middle"), 0, -1, String(), nullptr);
  EXPECT_EQ(Shown(combo), (std::vector<std::string>{"first", "A", "middle", "Bee", "C"}));
  EXPECT_EQ(GadgetSelectedItem(combo), 3);
  GadgetAddItem(combo, S("last"), 0, -1, String(), nullptr);
  EXPECT_EQ(GadgetSelectedItem(combo), 3);

  GadgetRemoveItem(combo, 0);
  EXPECT_EQ(Shown(combo), (std::vector<std::string>{"A", "middle", "Bee", "C", "last"}));
  EXPECT_EQ(GadgetSelectedItem(combo), 2);
  EXPECT_STREQ(List(combo)->text(), "Bee");

  // Emptied and refilled, as deleting a record does.
  GadgetClearItems(combo);
  EXPECT_TRUE(Shown(combo).empty());
  for (const char* text : {"x", "y"}) GadgetAddItem(combo, S(text), 0, -1, String(), nullptr);
  GadgetSelectItem(combo, 0);
  EXPECT_EQ(Shown(combo), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(GadgetSelectedItem(combo), 0);

  // The table catches up at the next poll without being asked.
  GadgetAddItem(combo, S("z"), 0, -1, String(), nullptr);
  SystemPollEvents();
  EXPECT_EQ(List(combo)->size(), 4);
  EXPECT_STREQ(List(combo)->menu()[2].label(), "z");
}

TEST_F(ComboBoxTest, EditableBoxReportsTypingAndPicks) {
  auto combo = MakeCombo(window, 1, {"red", "green"});
  auto* box = static_cast<Fl_Input_Choice*>(AsFLWidget(combo)->flhandle);
  GadgetSetText(combo, S("blue"));
  EXPECT_EQ(GadgetGetText(combo), S("blue"));
  EXPECT_EQ(box->input()->position(), 0);
  EXPECT_EQ(box->input()->mark(), 4);

  EventRecorder recorder;
  MovePointer(WindowX + 60, WindowY + 20);
  GadgetFocus(combo);
  Pump();
  PressKey(XK_s);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(GadgetAction).empty(); }));
  EXPECT_EQ(recorder.Of(GadgetAction)[0]->data, -1);
  EXPECT_EQ(GadgetGetText(combo), S("s"));

  // A pick from the drop-down fills the input and reports the index.
  recorder.Clear();
  Shown(combo);
  box->menubutton()->picked(&box->menubutton()->menu()[1]);
  ASSERT_EQ(recorder.Of(GadgetAction).size(), 1u);
  EXPECT_EQ(recorder.Of(GadgetAction)[0]->data, 1);
  EXPECT_EQ(GadgetGetText(combo), S("green"));
  EXPECT_EQ(GadgetSelectedItem(combo), 1);

  GadgetSelectItem(combo, 0);
  EXPECT_EQ(GadgetGetText(combo), S("red"));
}

}  // namespace
