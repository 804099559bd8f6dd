// clang-format off
// Before Xlib's headers: XInput's CREATE macro breaks this one.
#include <gtest/gtest.h>
#include <FL/Fl_File_Chooser.H>
#include "tests/gui/fltk/BackEndSupport.h"
#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
// clang-format on
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "gui/core/GadgetEvents.h"
#include "gui/fltk/TFLSystemDriver.h"

using namespace backend_test;

namespace {

// Answers the next modal dialog with real input: the pointer goes into the
// dialog (focus follows the pointer) and the key is pressed there. Records
// every label the dialog shows.
struct DialogAnswer {
  KeySym key = 0;
  bool close = false;  // ask the window to close instead, as a window manager does
  std::vector<std::string> labels;
  int tries = 0;
};

void CollectLabels(Fl_Widget* widget, std::vector<std::string>& labels) {
  if (widget->label()) labels.emplace_back(widget->label());
  if (Fl_Group* group = widget->as_group())
    for (int i = 0; i < group->children(); ++i) CollectLabels(group->child(i), labels);
}

void Answer(void* data) {
  auto* answer = static_cast<DialogAnswer*>(data);
  Fl_Window* dialog = Fl::modal();
  if (!dialog || !dialog->shown()) {
    if (++answer->tries < 300) Fl::repeat_timeout(0.02, Answer, data);
    return;
  }
  CollectLabels(dialog, answer->labels);
  if (answer->close) {
    Fl::handle(FL_CLOSE, dialog);
    return;
  }
  MovePointer(dialog->x() + dialog->w() / 2, dialog->y() + 5);
  PressKey(answer->key);
}

DialogAnswer AnswerNextDialog(KeySym key, bool close = false) {
  DialogAnswer answer;
  answer.key = key;
  answer.close = close;
  return answer;
}

class FlSystemDriverTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }

  template <class Call>
  auto WithAnswer(KeySym key, Call call, bool close = false) {
    answer = AnswerNextDialog(key, close);
    Fl::add_timeout(0.05, Answer, &answer);
    auto result = call();
    Fl::remove_timeout(Answer, &answer);
    return result;
  }

  DialogAnswer answer;
};

TEST_F(FlSystemDriverTest, FileFiltersFromExtensionLists) {
  EXPECT_EQ(TFLSystemDriver::FileFilter(String()), String());
  EXPECT_EQ(TFLSystemDriver::FileFilter(S("txt")), S("(*.{txt})"));
  EXPECT_EQ(TFLSystemDriver::FileFilter(S("png,jpg")), S("(*.{png,jpg})"));
  EXPECT_EQ(TFLSystemDriver::FileFilter(S("Text:txt,log;All:*")), S("Text(*.{txt,log})\tAll(*)"));
  EXPECT_EQ(TFLSystemDriver::FileFilter(S("Images:png;All Files:*")), S("Images(*.{png})\tAll Files(*)"));
}

TEST_F(FlSystemDriverTest, QuestionsAnswerByReturnEscapeAndClosing) {
  EXPECT_EQ(WithAnswer(XK_Return, [] { return SystemConfirm(S("Delete the record?"), 0); }), 1);
  EXPECT_EQ(WithAnswer(XK_Escape, [] { return SystemConfirm(S("Delete the record?"), 1); }), 0);
  EXPECT_EQ(WithAnswer(
                0, [] { return SystemConfirm(S("Delete the record?"), 0); }, true),
            0);
  EXPECT_EQ(WithAnswer(XK_Return, [] { return SystemProceed(S("Save first?"), 0); }), 0);
  EXPECT_EQ(WithAnswer(XK_Escape, [] { return SystemProceed(S("Save first?"), 0); }), -1);
  EXPECT_EQ(WithAnswer(
                0, [] { return SystemProceed(S("Save first?"), 0); }, true),
            -1);
  auto& labels = answer.labels;
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Cancel"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Yes"), labels.end());
}

TEST_F(FlSystemDriverTest, MessagesShowTheirTextLiterally) {
  const std::string text = "100% sure: %s %d %n";
  EXPECT_EQ(WithAnswer(XK_Return, [&] { return SystemNotify(WidenString(text), 0); }), 0);
  EXPECT_NE(std::find(answer.labels.begin(), answer.labels.end(), text), answer.labels.end());
  EXPECT_EQ(WithAnswer(XK_Escape, [&] { return SystemNotify(WidenString(text), 1); }), 0);
  EXPECT_NE(std::find(answer.labels.begin(), answer.labels.end(), text), answer.labels.end());
}

TEST_F(FlSystemDriverTest, ChoosersGiveThePickedPathOrNothing) {
  char pattern[] = "/tmp/quorvel-chooser-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  EXPECT_EQ(WithAnswer(XK_Escape, [&] { return SystemRequestFile(S("Open"), S("txt"), 0, WidenString(dir)); }),
            String());
  EXPECT_EQ(WithAnswer(XK_Escape, [&] { return SystemRequestDir(S("Folder"), WidenString(dir)); }), String());
  rmdir(dir.c_str());
}

// What the next chooser offers for its preview, read while it is shown.
struct PreviewSeen {
  bool found = false, offered = true, on = true;
  int tries = 0;
};

void InspectPreview(void* data) {
  auto* seen = static_cast<PreviewSeen*>(data);
  Fl_Window* chooser = Fl::modal();
  if (!chooser || !chooser->shown()) {
    if (++seen->tries < 300) Fl::repeat_timeout(0.02, InspectPreview, data);
    return;
  }
  std::vector<Fl_Widget*> widgets{chooser};
  for (size_t i = 0; i < widgets.size(); ++i) {
    if (Fl_Group* group = widgets[i]->as_group())
      for (int c = 0; c < group->children(); ++c) widgets.push_back(group->child(c));
    auto* button = dynamic_cast<Fl_Check_Button*>(widgets[i]);
    if (button && button->label() && std::string(button->label()) == Fl_File_Chooser::preview_label)
      *seen = {true, button->visible() || button->active(), button->value() != 0};
  }
  chooser->hide();
}

TEST_F(FlSystemDriverTest, ChoosersNeverPreviewTheFileNorOfferToTurnPreviewOn) {
  for (int32_t save : {0, 1}) {
    PreviewSeen seen;
    Fl::add_timeout(0.05, InspectPreview, &seen);
    SystemRequestFile(S("Passwords"), S("csv"), save, S("/tmp"));
    Fl::remove_timeout(InspectPreview, &seen);
    EXPECT_TRUE(seen.found && !seen.offered && !seen.on) << "save " << save;
  }
}

int32_t completionValue = 0;
ObjectRef completionArg;
bool waitTimedOut = false;

void RecordCompletion(const ObjectRef& arg, int32_t value) {
  completionArg = arg;
  completionValue = value;
}

void GiveUpWaiting(void*) { waitTimedOut = true; }

TEST_F(FlSystemDriverTest, WaitingWakesForWorkPostedFromAnotherThread) {
  completionValue = 0;
  waitTimedOut = false;
  auto arg = MakeStringObject(S("done"));
  std::thread poster([arg] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    AsyncOp(RecordCompletion, arg, 7);
  });
  // A limit so that a missing pipe watch fails the test instead of hanging it.
  Fl::add_timeout(5.0, GiveUpWaiting);
  while (completionValue == 0 && !waitTimedOut) SystemWaitEvents();
  Fl::remove_timeout(GiveUpWaiting);
  poster.join();
  EXPECT_FALSE(waitTimedOut);
  EXPECT_EQ(completionValue, 7);
  EXPECT_EQ(completionArg, arg);
  completionArg = nullptr;
}

TEST_F(FlSystemDriverTest, EventsMadeDuringTheNonBlockingPassAreTakenWithoutAnotherWakeUp) {
  // An event that comes out of the poll before the wait (a deferred gadget
  // event, or a button's release read together with its press) must not be
  // left waiting for the next, unrelated wake-up.
  auto gadget = New<TGadget>();
  while (EventQueuePoll() != 0) {
  }
  // A shown window, as in the program; anything the display still has for us
  // arrives first, so that only the deferred event can end the wait.
  Fl_Window window(10, 10, 50, 50);
  window.show();
  for (int i = 0; i < 10; ++i) Fl::wait(0.05);
  completionValue = 0;
  GadgetQueueEvent(GadgetAction, gadget, 3);
  // The unrelated wake-up: a completion posted from another thread once the
  // wait has returned, or after ten seconds when it does not return without it.
  std::atomic<bool> waited = false;
  std::thread poster([&waited] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!waited && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    AsyncOp(RecordCompletion, nullptr, 9);
  });
  EXPECT_EQ(EventQueueWait(), GadgetAction);
  waited = true;
  EXPECT_EQ(completionValue, 0) << "the wait held the event back until the completion";
  EXPECT_EQ(CurrentEventSource(), gadget);
  EXPECT_EQ(CurrentEventData(), 3);
  poster.join();
  waitTimedOut = false;
  Fl::add_timeout(5.0, GiveUpWaiting);
  while (completionValue == 0 && !waitTimedOut) SystemWaitEvents();
  Fl::remove_timeout(GiveUpWaiting);
  EXPECT_EQ(completionValue, 9);
}

TEST_F(FlSystemDriverTest, PollingEmitsDeferredGadgetEventsAndForwardsThePointer) {
  EventRecorder recorder;
  auto gadget = New<TGadget>();
  GadgetQueueEvent(GadgetAction, gadget, 5);
  EXPECT_TRUE(recorder.Events().empty());
  SystemPollEvents();
  ASSERT_EQ(recorder.Events().size(), 1u);
  EXPECT_EQ(recorder.Events()[0]->data, 5);
  EXPECT_EQ(recorder.Events()[0]->source, gadget);

  Window root, child;
  int x0, y0, x1, y1, wx, wy;
  unsigned mask;
  MovePointer(300, 300);
  XQueryPointer(fl_display, DefaultRootWindow(fl_display), &root, &child, &x0, &y0, &wx, &wy, &mask);
  SystemMoveMouse(10, 20);
  XSync(fl_display, False);
  XQueryPointer(fl_display, DefaultRootWindow(fl_display), &root, &child, &x1, &y1, &wx, &wy, &mask);
  EXPECT_EQ(x1 - x0, 10);
  EXPECT_EQ(y1 - y0, 20);

  unsetenv("KDE_FULL_DESKTOP");
  unsetenv("GNOME_DESKTOP_SESSION_ID");
  EXPECT_EQ(systemDriver->OpenURL(S("http://example.org/")), 0);
}

}  // namespace
