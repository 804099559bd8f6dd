#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_Choice.H>
// clang-format on

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "gui/fltk/TFLComboBox.h"

using namespace backend_test;

namespace {

constexpr int WindowX = 300, WindowY = 200;

// The dark pixels of one line of text, cropped to the box that holds them.
struct Ink {
  int w = 0, h = 0;
  std::vector<bool> dark;
  bool operator==(const Ink&) const = default;
};

// Failures draw the ink.
void PrintTo(const Ink& ink, std::ostream* out) {
  *out << ink.w << "x" << ink.h;
  for (int row = 0; row < ink.h; ++row) {
    *out << "\n";
    for (int col = 0; col < ink.w; ++col) *out << (ink.dark[static_cast<size_t>(row * ink.w + col)] ? '#' : '.');
  }
}

// The lines of text in a rectangle of an X window, top to bottom: runs of
// rows with dark pixels, separated by rows without.
std::vector<Ink> TextLines(Window xid, int x, int y, int w, int h) {
  XImage* image =
      XGetImage(fl_display, xid, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image) return {};
  auto brightness = [&](int col, int row) {
    const unsigned long pixel = XGetPixel(image, col, row);
    return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
  };
  // Black text is smoothed into the background it is drawn on: a pixel is ink
  // when the text covers more than half of it, whatever the background.
  std::map<int, int> seen;
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) ++seen[brightness(col, row)];
  const int background =
      std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  auto dark = [&](int col, int row) { return 2 * brightness(col, row) < background; };
  auto rowHasInk = [&](int row) {
    for (int col = 0; col < w; ++col)
      if (dark(col, row)) return true;
    return false;
  };
  std::vector<Ink> lines;
  for (int row = 0; row < h;) {
    if (!rowHasInk(row)) {
      ++row;
      continue;
    }
    int end = row;
    while (end < h && rowHasInk(end)) ++end;
    int left = w, right = -1;
    for (int r = row; r < end; ++r)
      for (int col = 0; col < w; ++col)
        if (dark(col, r)) left = std::min(left, col), right = std::max(right, col);
    Ink ink;
    ink.w = right - left + 1;
    ink.h = end - row;
    for (int r = row; r < end; ++r)
      for (int col = left; col <= right; ++col) ink.dark.push_back(dark(col, r));
    lines.push_back(std::move(ink));
    row = end;
  }
  XDestroyImage(image);
  return lines;
}

// The lines of a widget, inset from its edges; a right inset of its height
// leaves out a drop-down button.
std::vector<Ink> TextLinesOf(Fl_Widget* widget, int inset, int rightInset) {
  Pump();
  return TextLines(fl_xid(widget->window()), widget->x() + inset, widget->y() + inset, widget->w() - inset - rightInset,
                   widget->h() - 2 * inset);
}

std::vector<Ink> openList;
int openListTries = 0;

// Runs inside the open drop-down's loop: reads its lines, then closes it. On a
// slow machine the list may not be up yet: it looks again, for up to 5 s.
void ReadOpenList(void*) {
  for (Fl_Window* shown = Fl::first_window(); shown; shown = Fl::next_window(shown)) {
    if (!shown->menu_window()) continue;
    Fl::flush();
    XSync(fl_display, False);
    openList = TextLines(fl_xid(shown), 4, 4, shown->w() - 8, shown->h() - 8);
  }
  if (openList.empty() && ++openListTries < 50) {
    Fl::repeat_timeout(0.1, ReadOpenList);
    return;
  }
  PressKey(XK_Escape);
}

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

  // An item inserted at the pick's place pushes the pick down; it stays the pick.
  GadgetInsertItem(combo, 1, S("new"), 0, -1, String(), nullptr);
  EXPECT_EQ(GadgetGetText(combo), S("B"));
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
  // The box's callback, run while FLTK handles an unfocus, reports the focus
  // loss. (FLTK's inner input itself runs no callback on unfocus.)
  Fl::e_number = FL_UNFOCUS;
  box->do_callback();
  Fl::e_number = 0;
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(GadgetLostFocus).empty(); }));
  EXPECT_EQ(recorder.Of(GadgetLostFocus)[0]->source, combo);

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

TEST_F(ComboBoxTest, ItemsShowTheirTextExactlyAsAPlainLabelDoes) {
  const char* texts[] = {"AT&T", "me@home"};
  auto combo = MakeCombo(window, 0, {texts[0], texts[1]});
  std::vector<Ink> plain;
  for (int i = 0; i < 2; ++i) {
    auto label = MakeLabel(S(texts[i]), 10, 60 + 30 * i, 200, 24, window, 0);
    const auto lines = TextLinesOf(AsFLWidget(label)->flhandle, 0, 0);
    ASSERT_EQ(lines.size(), 1u) << texts[i];
    plain.push_back(lines[0]);
  }

  // The open list, opened with nothing selected so that no item is highlighted.
  std::dynamic_pointer_cast<TFLComboBox>(combo)->UpdateTable();
  List(combo)->value(static_cast<const Fl_Menu_Item*>(nullptr));
  openList.clear();
  openListTries = 0;
  MovePointer(WindowX + 100, WindowY + 20);
  Pump();
  Fl::add_timeout(0.3, ReadOpenList);
  ClickButton(1);
  ASSERT_TRUE(PumpUntil([] { return !openList.empty() || openListTries >= 50; }));
  ASSERT_FALSE(openList.empty()) << "the drop-down did not open";
  Pump();
  EXPECT_EQ(openList, plain);

  // The closed box shows the selected item the same way.
  for (int i = 0; i < 2; ++i) {
    GadgetSelectItem(combo, i);
    const auto face = TextLinesOf(List(combo), 4, List(combo)->h() + 4);
    ASSERT_EQ(face.size(), 1u) << texts[i];
    EXPECT_EQ(face[0], plain[static_cast<size_t>(i)]) << texts[i];
    EXPECT_EQ(GadgetItemText(combo, i), S(texts[i]));
  }
}

}  // namespace
