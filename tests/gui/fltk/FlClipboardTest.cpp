#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <X11/Xatom.h>
// clang-format on

#include <set>
#include <sstream>
#include <string>

#include "gui/fltk/FlClipboard.h"

using namespace backend_test;

namespace {

constexpr int WindowX = 300, WindowY = 200;

Window Owner(const char* selection) {
  return XGetSelectionOwner(fl_display, XInternAtom(fl_display, selection, False));
}

void Disown(const char* selection) {
  XSetSelectionOwner(fl_display, XInternAtom(fl_display, selection, False), None, CurrentTime);
  XSync(fl_display, False);
}

class ClipboardTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void SetUp() override {
    window = MakeWindow(S("Clipboard"), WindowX, WindowY, 400, 300, nullptr, 1 | 32);
    ShowAndWait(static_cast<Fl_Window*>(AsFLWidget(window)->flhandle));
  }
  void TearDown() override {
    ClipboardClear();
    GadgetFree(window);
    Pump();
  }
  Ref<TGadget> window;
};

}  // namespace

TEST_F(ClipboardTest, OffersTheTextWithTheSecretHintAndNeverAsksToBeSaved) {
  auto area = MakeTextArea(10, 10, 200, 60, window, 0);
  GadgetSetText(area, S("pa$s w@rd!"));
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);

  const struct {
    const char* target;
    const char* expected;
  } served[] = {{"UTF8_STRING", "pa$s w@rd!"},
                {"STRING", "pa$s w@rd!"},
                {"TEXT", "pa$s w@rd!"},
                {"text/plain;charset=utf-8", "pa$s w@rd!"},
                {"x-kde-passwordManagerHint", "secret"},
                {"SAVE_TARGETS", ""},
                {"image/png", ""}};
  for (const auto& row : served) EXPECT_EQ(SelectionText("clipboard", row.target), row.expected) << row.target;

  std::set<std::string> targets;
  std::istringstream lines(SelectionText("clipboard", "TARGETS"));
  for (std::string line; std::getline(lines, line);) targets.insert(line);
  EXPECT_EQ(targets, (std::set<std::string>{"TARGETS", "UTF8_STRING", "STRING", "TEXT", "text/plain;charset=utf-8",
                                            "x-kde-passwordManagerHint"}));

  // Cleared: given up, so another program finds no owner at all.
  EXPECT_TRUE(FlOwnsClipboard());
  ClipboardClear();
  EXPECT_EQ(Owner("CLIPBOARD"), static_cast<Window>(None));
  EXPECT_FALSE(FlOwnsClipboard());
  EXPECT_EQ(SelectionText("clipboard"), "");
}

// A mouse selection in a secret area stays visible but reaches no selection,
// and the area's own copy and cut keys neither copy nor change its text; an
// ordinary area copies its selection to PRIMARY as FLTK does.
TEST_F(ClipboardTest, ASecretAreaKeepsItsSelectionFromOtherPrograms) {
  const struct {
    int32_t style;
    bool secret;
  } areas[] = {{TextAreaSecret, true}, {TextAreaSecret | 2, true}, {0, false}};
  const struct {
    int key;
    int state;
  } copyKeys[] = {{'c', FL_CTRL}, {FL_Insert, FL_CTRL}, {'x', FL_CTRL}, {FL_Delete, FL_SHIFT}};
  for (const auto& row : areas) {
    SCOPED_TRACE(row.style);
    auto area = MakeTextArea(20, 30, 300, 40, window, row.style);
    GadgetSetText(area, S("0123456789abcdefghij"));
    Pump();
    Disown("PRIMARY");
    Disown("CLIPBOARD");
    MovePointer(WindowX + 20 + 4, WindowY + 30 + 12);
    XTestFakeButtonEvent(fl_display, 1, True, CurrentTime);
    Pump();
    MovePointer(WindowX + 20 + 290, WindowY + 30 + 12);
    Pump();
    XTestFakeButtonEvent(fl_display, 1, False, CurrentTime);
    Pump();
    ASSERT_GT(TextAreaSelectionLength(area, 1), 0) << "the drag selected nothing";
    if (!row.secret) {
      EXPECT_FALSE(SelectionText("primary").empty());
      GadgetFree(area);
      continue;
    }
    EXPECT_EQ(Owner("PRIMARY"), static_cast<Window>(None));
    EXPECT_EQ(SelectionText("primary"), "");
    for (const auto& key : copyKeys) {
      SendKeyDown(AsFLWidget(area)->flhandle, key.key, "", 0, key.state);
      EXPECT_EQ(Owner("CLIPBOARD"), static_cast<Window>(None)) << key.key;
      EXPECT_EQ(GadgetGetText(area), S("0123456789abcdefghij")) << key.key;
    }
    // What the program copies itself still goes out.
    GadgetCopyText(area);
    EXPECT_FALSE(SelectionText("clipboard").empty());
    GadgetFree(area);
  }
}
