#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Text_Display.H>
#include <malloc.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
// clang-format on

#include <string>

#include "gui/fltk/TFLTextArea.h"

using namespace backend_test;

namespace {

constexpr int WindowX = 300, WindowY = 200;

std::string DesktopClipboard() { return SelectionText("clipboard"); }

class TextAreaTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void SetUp() override {
    window = MakeWindow(S("Text"), WindowX, WindowY, 400, 300, nullptr, 1 | 32);
    ShowAndWait(static_cast<Fl_Window*>(AsFLWidget(window)->flhandle));
  }
  void TearDown() override {
    GadgetFree(window);
    Fl::focus(nullptr);
    Pump(2);
  }
  static Fl_Text_Display* Display(const Ref<TGadget>& area) {
    return static_cast<Fl_Text_Display*>(AsFLWidget(area)->flhandle);
  }
  // Drains the queue and counts what it held from source.
  static int QueuedActions(const Ref<TGadget>& source) {
    int count = 0;
    while (EventQueueLength() > 0) {
      if (EventQueuePoll() == GadgetAction && CurrentEventSource() == source) ++count;
    }
    // A poll of the empty queue lets go of the last event and its gadget.
    EventQueuePoll();
    return count;
  }

  Ref<TGadget> window;
};

TEST_F(TextAreaTest, ProgramChangesPostNothingAndTypingPostsOneAction) {
  auto area = MakeTextArea(10, 10, 200, 60, window, 0);
  EventRecorder recorder;
  GadgetSetText(area, S("first"));
  TextAreaAddText(area, S("\nsecond"));
  TextAreaAddText(area, String());  // reports no buffer change: must not swallow a later one
  TextAreaSetText(area, S("FIRST"), 0, 5, 1);
  TextAreaSelect(area, 2, 3, 1);
  EXPECT_TRUE(recorder.Events().empty());
  EXPECT_EQ(GadgetGetText(area), S("FIRST\nsecond"));
  EXPECT_EQ(TextAreaCursor(area, 1), 2);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 3);

  // A key typed by the user reaches the application as one action.
  TextAreaSelect(area, 0, 0, 1);
  EXPECT_EQ(AsFLGadget(area)->ignore, 0);
  MovePointer(WindowX + 100, WindowY + 40);
  GadgetFocus(area);
  Pump();
  recorder.Clear();
  PressKey(XK_x);
  ASSERT_TRUE(PumpUntil([&] { return GadgetGetText(area).size() == 13; }));
  EXPECT_EQ(GadgetGetText(area), S("xFIRST\nsecond"));
  EXPECT_FALSE(recorder.Of(GadgetAction).empty());
  EXPECT_EQ(recorder.Of(GadgetSelect).size(), 1u);
}

TEST_F(TextAreaTest, TypedKeyIsQueuedAsOneAction) {
  auto area = MakeTextArea(10, 10, 200, 60, window, 0);
  GadgetSetText(area, S("abc"));
  MovePointer(WindowX + 100, WindowY + 40);
  GadgetFocus(area);
  Pump();
  QueuedActions(area);
  GadgetSetText(area, S("abc"));
  EXPECT_EQ(QueuedActions(area), 0);
  PressKey(XK_z);
  ASSERT_TRUE(PumpUntil([&] { return GadgetGetText(area).size() == 4; }));
  Pump();
  EXPECT_EQ(QueuedActions(area), 1);
}

TEST_F(TextAreaTest, LinesSelectionAndLocking) {
  auto area = MakeTextArea(10, 10, 200, 80, window, 0);
  GadgetSetText(area, S("a\nbb\nccc"));
  EXPECT_EQ(TextAreaLength(area, 1), 8);
  EXPECT_EQ(TextAreaLength(area, 2), 2);
  EXPECT_EQ(TextAreaGetText(area, 1, 1, 2), S("bb\n"));
  EXPECT_EQ(TextAreaGetText(area, 1, -1, 2), S("bb\nccc"));
  EXPECT_EQ(TextAreaGetText(area, 2, 3, 1), S("bb\n"));

  TextAreaSelect(area, 1, 2, 2);
  EXPECT_EQ(TextAreaCursor(area, 1), 2);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 6);
  EXPECT_EQ(TextAreaCursor(area, 2), 1);
  EXPECT_EQ(TextAreaSelectionLength(area, 2), 2);

  // A negative length selects to the end; one still negative selects nothing new.
  TextAreaSelect(area, 5, -1, 1);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 3);
  TextAreaSelect(area, 20, -1, 1);
  EXPECT_EQ(TextAreaCursor(area, 1), 5);

  TextAreaSetText(area, S("B"), 1, 1, 2);
  EXPECT_EQ(GadgetGetText(area), S("a\nBccc"));

  // Locking selects everything; unlocking brings the old selection back.
  TextAreaSelect(area, 1, 2, 1);
  TextAreaLock(area);
  TextAreaLock(area);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 6);
  TextAreaUnlock(area);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 6);
  TextAreaUnlock(area);
  EXPECT_EQ(TextAreaCursor(area, 1), 1);
  EXPECT_EQ(TextAreaSelectionLength(area, 1), 2);
  TextAreaUnlock(area);
  EXPECT_EQ(AsFLGadget(area)->ignore, 0);

  // Style 1 wraps a long line at the area's width; style 0 keeps it one line.
  auto wrapping = MakeTextArea(220, 10, 100, 80, window, 1);
  const String longLine(60, u'w');
  GadgetSetText(wrapping, longLine);
  GadgetSetText(area, longLine);
  EXPECT_GT(Display(wrapping)->count_lines(0, 60, true), 0);
  EXPECT_EQ(Display(area)->count_lines(0, 60, true), 0);
}

TEST_F(TextAreaTest, TheDisplayTakesTheFontGiven) {
  auto area = MakeTextArea(10, 10, 200, 60, window, 0);
  EXPECT_EQ(TextAreaSetFont(area, GuiLoadFont(S("Courier"), 18, 1)), 0);
  EXPECT_EQ(Display(area)->textfont(), FL_COURIER_BOLD);
  EXPECT_EQ(Display(area)->textsize(), 18);
}

TEST_F(TextAreaTest, CopyPutsExactlyTheSelectionOnTheDesktopClipboard) {
  auto area = MakeTextArea(10, 10, 200, 60, window, 0);
  auto empty = MakeTextArea(10, 80, 200, 60, window, 0);
  GadgetSetText(area, S("pa$s w@rd!"));
  TextAreaSelect(area, 5, 1, 1);
  GadgetCopyText(area);
  EXPECT_EQ(DesktopClipboard(), "w") << "a selection of one character";
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);
  EXPECT_EQ(DesktopClipboard(), "pa$s w@rd!");

  // Nothing selected, or nothing there: the clipboard keeps what it had.
  TextAreaSelect(area, 3, 0, 1);
  GadgetSetText(area, S("other"));
  GadgetCopyText(area);
  GadgetCopyText(empty);
  EXPECT_EQ(DesktopClipboard(), "pa$s w@rd!");

  // Cut removes the selection as a user change; paste puts it back at the cursor.
  TextAreaSelect(area, 0, 2, 1);
  EventRecorder recorder;
  GadgetCutText(area);
  EXPECT_EQ(GadgetGetText(area), S("her"));
  EXPECT_FALSE(recorder.Of(GadgetAction).empty());
  EXPECT_EQ(DesktopClipboard(), "ot");
  GadgetPasteText(area);
  EXPECT_TRUE(PumpUntil([&] { return GadgetGetText(area) == S("other"); })) << NarrowString(GadgetGetText(area));

  // A read-only area copies but never changes its text.
  auto shown = MakeTextArea(220, 10, 150, 60, window, 2);
  GadgetSetText(shown, S("fixed"));
  TextAreaSelect(shown, 0, 3, 1);
  GadgetCutText(shown);
  GadgetPasteText(shown);
  Pump();
  EXPECT_EQ(GadgetGetText(shown), S("fixed"));
  GadgetCopyText(shown);
  EXPECT_EQ(DesktopClipboard(), "fix");

  // Each copy gives FLTK's copy of the selection back: copying a large
  // selection again and again does not grow the heap.
  const auto heapInUse = [] {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<int64_t>(heap.uordblks + heap.hblkhd);
  };
  GadgetSetText(area, String(1 << 20, u'x'));
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);
  const int64_t before = heapInUse();
  for (int i = 0; i < 4; ++i) GadgetCopyText(area);
  EXPECT_LT(heapInUse() - before, 1 << 20);
}

TEST_F(TextAreaTest, OnlyTheLeftButtonReachesTheTextAndRightReleaseAsksForAMenu) {
  auto area = MakeTextArea(20, 30, 200, 60, window, 0);
  GadgetSetText(area, S("keep"));
  Fl::copy("PRIMARY", 7, 0);
  EventRecorder recorder;

  // The right click after the middle one arrives after it: FLTK pastes its own
  // selection at once, so a paste would have happened by then.
  MovePointer(WindowX + 20 + 50, WindowY + 30 + 15);
  Pump();
  ClickButton(2);
  ClickButton(3);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(GadgetMenu).empty(); }));
  EXPECT_EQ(GadgetGetText(area), S("keep"));
  const auto menu = recorder.Of(GadgetMenu)[0];
  EXPECT_EQ(menu->source, area);
  EXPECT_EQ(menu->data, 0);
  EXPECT_EQ(menu->x, 50);
  EXPECT_EQ(menu->y, 15);

  // The left button places the cursor, which is reported.
  recorder.Clear();
  MovePointer(WindowX + 20 + 150, WindowY + 30 + 15);
  Pump();
  ClickButton(1);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(GadgetSelect).empty(); }));
  EXPECT_EQ(TextAreaCursor(area, 1), 4);
  EXPECT_EQ(GadgetGetText(area), S("keep"));

  // Dragging with any other button leaves cursor, selection and text alone;
  // a right click after each drag marks the point where it has all arrived.
  for (unsigned button : {3u, 2u}) {
    const size_t menus = recorder.Of(GadgetMenu).size() + (button == 3 ? 2 : 1);
    MovePointer(WindowX + 20 + 60, WindowY + 30 + 15);
    Pump();
    XTestFakeButtonEvent(fl_display, button, True, CurrentTime);
    for (int x = 50; x >= 0; x -= 10) {
      MovePointer(WindowX + 20 + x, WindowY + 30 + 15);
      Pump(2);
    }
    XTestFakeButtonEvent(fl_display, button, False, CurrentTime);
    ClickButton(3);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(GadgetMenu).size() >= menus; })) << "button " << button;
    EXPECT_EQ(TextAreaCursor(area, 1), 4) << "button " << button;
    EXPECT_EQ(TextAreaSelectionLength(area, 1), 0) << "button " << button;
    EXPECT_EQ(GadgetGetText(area), S("keep")) << "button " << button;
  }
}

}  // namespace
