#include "system/linux/LinuxSystemDriver.h"

// clang-format off
// gtest before Xlib: Xlib's None macro breaks gtest's headers.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
// clang-format on
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gui/core/Event.h"
#include "gui/core/EventQueue.h"
#include "gui/core/Hook.h"
#include "system/linux/LinuxSystemDriver.h"
#include "tests/unit/TempDir.h"

namespace {
using Seen = std::vector<std::pair<int32_t, int32_t>>;  // (id, data)

class LinuxDriverTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HookInit();
    EventInit();
    SystemInit();
    ASSERT_TRUE(LinuxSystemDriverInit()) << "these tests need an X display in DISPLAY";
    EventQueueInit();
    driver = LinuxNativeDriver();
    display = driver->GetDisplay();
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask;
    window = XCreateWindow(display, DefaultRootWindow(display), 100, 100, 300, 200, 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    XWindowAttributes state;
    for (int i = 0; i < 100; ++i) {
      XGetWindowAttributes(display, window, &state);
      if (state.map_state == IsViewable) break;
      usleep(10000);
    }
    XWarpPointer(display, None, window, 0, 0, 0, 0, 150, 100);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
  }

  void SetUp() override {
    ASSERT_EQ(systemDriver, driver);
    Collect(0);  // whatever the set-up raised
  }

  // Lets the server deliver what was sent, pumps, and takes the events whose
  // ids lie in family (a bit of the id), until count of them arrived.
  static Seen Collect(size_t count, int32_t family = 0) {
    Seen seen;
    for (int round = 0; round < 100; ++round) {
      XSync(display, False);
      while (EventQueuePoll() != 0)
        if (family == 0 || (CurrentEventId() & family)) seen.emplace_back(CurrentEventId(), CurrentEventData());
      if (seen.size() >= count) break;
      usleep(10000);
    }
    return seen;
  }

  static void Key(KeySym keysym, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), press ? True : False, CurrentTime);
  }
  static void Tap(KeySym keysym) {
    Key(keysym, true);
    Key(keysym, false);
    XSync(display, False);
  }

  static Ref<TLinuxSystemDriver> driver;
  static Display* display;
  static Window window;
};

Ref<TLinuxSystemDriver> LinuxDriverTest::driver;
Display* LinuxDriverTest::display = nullptr;
Window LinuxDriverTest::window = 0;

constexpr int32_t kKeys = 0x200;
constexpr int32_t kMouse = 0x400;
}  // namespace

TEST(LinuxKeyCode, KeysymsMapByTheirLowByteAndPrintInsertMenuByTheWholeKeysym) {
  const std::pair<unsigned long, int32_t> table[] = {
      {XK_a, 65},          {XK_z, 90},          {XK_asciitilde, 94},   {XK_Left, 37},      {XK_Down, 40},
      {XK_F1, 112},        {XK_F12, 123},       {XK_Control_L, 162},   {XK_Alt_R, 165},    {XK_Shift_L, 160},
      {XK_Shift_R, 161},   {XK_Num_Lock, 144},  {XK_Scroll_Lock, 145}, {XK_KP_Insert, 96}, {XK_KP_Prior, 105},
      {XK_Super_L, 91},    {XK_Home, 36},       {XK_Prior, 33},        {XK_Delete, 46},    {XK_Next, 34},
      {XK_KP_Delete, 110}, {XK_KP_Enter, 13},   {XK_KP_Divide, 111},   {XK_grave, 192},    {XK_minus, 189},
      {XK_backslash, 226}, {XK_semicolon, 186}, {XK_slash, 191},       {XK_Print, 42},     {XK_Insert, 45},
      {XK_Menu, 93},       {XK_0, 48},          {XK_space, 32},        {XK_BackSpace, 8},  {XK_Tab, 9},
      {XK_Return, 13},     {XK_Escape, 27},     {XK_Pause, 19},
  };
  for (const auto& [keysym, code] : table) EXPECT_EQ(LinuxKeyCode(keysym), code) << XKeysymToString(keysym);
}

TEST_F(LinuxDriverTest, KeyPressesAndReleasesBecomeKeyDownKeyCharAndKeyUp) {
  Tap(XK_a);
  EXPECT_EQ(Collect(3, kKeys), (Seen{{KeyDown, 65}, {KeyChar, 'a'}, {KeyUp, 65}}));

  Key(XK_Shift_L, true);
  Tap(XK_a);
  Key(XK_Shift_L, false);
  XSync(display, False);
  EXPECT_EQ(Collect(5, kKeys), (Seen{{KeyDown, 160}, {KeyDown, 65}, {KeyChar, 'A'}, {KeyUp, 65}, {KeyUp, 160}}));

  Tap(XK_Return);
  Tap(XK_F1);
  Tap(XK_Insert);
  Tap(XK_Left);
  EXPECT_EQ(Collect(9, kKeys), (Seen{{KeyDown, 13},
                                     {KeyChar, 13},
                                     {KeyUp, 13},
                                     {KeyDown, 112},
                                     {KeyUp, 112},
                                     {KeyDown, 45},
                                     {KeyUp, 45},
                                     {KeyDown, 37},
                                     {KeyUp, 37}}));
}

TEST_F(LinuxDriverTest, AHeldKeyRepeatsAndGoesUpOnlyWhenReleased) {
  // Auto-repeat reaches clients as a release immediately followed by a press.
  // The server's own repeat is off meanwhile: the test makes every repeat
  // itself, and a slow run must not see more of them.
  XKeyboardState keyboard;
  XGetKeyboardControl(display, &keyboard);
  XAutoRepeatOff(display);
  Key(XK_b, true);
  XSync(display, False);
  EXPECT_EQ(Collect(2, kKeys), (Seen{{KeyDown, 66}, {KeyChar, 'b'}}));
  for (int i = 0; i < 2; ++i) {
    Key(XK_b, false);
    Key(XK_b, true);
  }
  XSync(display, False);
  Key(XK_b, false);
  XSync(display, False);
  EXPECT_EQ(Collect(5, kKeys), (Seen{{KeyRepeat, 66}, {KeyChar, 'b'}, {KeyRepeat, 66}, {KeyChar, 'b'}, {KeyUp, 66}}));
  if (keyboard.global_auto_repeat == AutoRepeatModeOn) XAutoRepeatOn(display);
  XSync(display, False);
}

TEST_F(LinuxDriverTest, ButtonsWheelAndMotionBecomeMouseEvents) {
  XTestFakeMotionEvent(display, DefaultScreen(display), 120, 130, CurrentTime);
  XSync(display, False);
  Collect(1, kMouse);
  for (unsigned button : {1u, 3u, 2u, 4u, 5u}) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
  }
  XTestFakeMotionEvent(display, DefaultScreen(display), 140, 150, CurrentTime);
  XSync(display, False);
  EXPECT_EQ(Collect(11, kMouse), (Seen{{MouseDown, 1},
                                       {MouseUp, 1},
                                       {MouseDown, 2},
                                       {MouseUp, 2},
                                       {MouseDown, 3},
                                       {MouseUp, 3},
                                       {MouseWheel, 1},
                                       {MouseUp, 1},
                                       {MouseWheel, -1},
                                       {MouseUp, 0},
                                       {MouseMove, 0}}));
  EXPECT_EQ(CurrentEventX(), 0) << "the queue is drained";
  XTestFakeMotionEvent(display, DefaultScreen(display), 150, 160, CurrentTime);
  XSync(display, False);
  for (int round = 0; round < 100 && EventQueueLength() == 0; ++round) {
    SystemPollEvents();
    usleep(10000);
  }
  ASSERT_EQ(EventQueuePoll(), MouseMove);
  EXPECT_EQ(CurrentEventX(), 50) << "positions are relative to the window";
  EXPECT_EQ(CurrentEventY(), 60);
  EXPECT_EQ(CurrentEventSource(), nullptr);
}

TEST_F(LinuxDriverTest, OnlyAWindowDeleteRequestBecomesAppTerminate) {
  XEvent message = {};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_TAKE_FOCUS", False));
  XSendEvent(display, window, False, NoEventMask, &message);
  message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &message);
  XSync(display, False);
  EXPECT_EQ(Collect(1, 0x100), (Seen{{AppTerminate, 0}}));
}

TEST_F(LinuxDriverTest, MoveMouseWithoutADesignatedWindowMovesThePointerBy) {
  Window root, child;
  int before[2], after[2], local[2];
  unsigned mask;
  XQueryPointer(display, window, &root, &child, &before[0], &before[1], &local[0], &local[1], &mask);
  EXPECT_EQ(SystemMoveMouse(-7, 5), 0);
  XQueryPointer(display, window, &root, &child, &after[0], &after[1], &local[0], &local[1], &mask);
  EXPECT_EQ(after[0] - before[0], -7);
  EXPECT_EQ(after[1] - before[1], 5);
  Collect(0);
}

TEST_F(LinuxDriverTest, AHiddenMouseShowsNoPixelOverItsWindowAndComesBack) {
  // Counts the visible pixels of the cursor the server shows at the pointer.
  auto visiblePixels = [] {
    XSync(display, False);
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return -1;
    int visible = 0;
    for (size_t i = 0; i < size_t(image->width) * image->height; ++i) visible += (image->pixels[i] >> 24) != 0;
    XFree(image);
    return visible;
  };
  XWarpPointer(display, None, window, 0, 0, 0, 0, 150, 100);
  driver->SetMouseWindow(window);
  EXPECT_EQ(SystemHideMouse(), 0);
  EXPECT_EQ(visiblePixels(), 0);
  EXPECT_EQ(SystemShowMouse(), 0);
  EXPECT_GT(visiblePixels(), 0);
  driver->SetMouseWindow(None);
  Collect(0);
}

TEST_F(LinuxDriverTest, AProtocolErrorIsReportedOncePerCodeAndIgnored) {
  const Window gone = XAllocID(display);  // names no window
  Window root;
  int x, y;
  unsigned w, h, border, depth;
  testing::internal::CaptureStderr();
  XMapWindow(display, gone);
  XSync(display, False);
  EXPECT_EQ(XGetGeometry(display, gone, &root, &x, &y, &w, &h, &border, &depth), 0);
  XMapWindow(display, gone);
  XSync(display, False);
  const std::string console = testing::internal::GetCapturedStderr();
  EXPECT_EQ(console,
            "quorvel: X error BadWindow (invalid Window parameter) (code 3, request 8) ignored\n"
            "quorvel: X error BadDrawable (invalid Pixmap or Window parameter) (code 9, request 14) ignored\n");
  XWindowAttributes state;
  EXPECT_NE(XGetWindowAttributes(display, window, &state), 0) << "the connection still serves";
}

namespace {
std::vector<int32_t> completedValues;
std::vector<std::thread::id> completedOn;
std::vector<ObjectRef> completedArgs;

void Completed(const ObjectRef& arg, int32_t value) {
  completedValues.push_back(value);
  completedOn.push_back(std::this_thread::get_id());
  completedArgs.push_back(arg);
}

void CompletedThenPostAgain(const ObjectRef& arg, int32_t value) {
  Completed(arg, value);
  AsyncOp(Completed, arg, value + 1);
}

int32_t Doubled(void* userData) { return *static_cast<int32_t*>(userData) * 2; }

int PipeBytesWaiting(int fd) {
  int waiting = -1;
  ioctl(fd, FIONREAD, &waiting);
  return waiting;
}
}  // namespace

TEST_F(LinuxDriverTest, CompletionsPostedFromOtherThreadsWakeWaitAndRunOnTheMainThread) {
  completedValues.clear();
  completedOn.clear();
  completedArgs.clear();
  auto arg = MakeStringObject(S("arg"));
  std::atomic<int32_t> postedAt = 0;
  std::thread poster([arg, &postedAt] {
    usleep(50000);
    postedAt = SystemClockMillis();
    AsyncOp(Completed, arg, 1);
    AsyncOp(Completed, arg, 2);
    AsyncOp(CompletedThenPostAgain, arg, 3);
  });
  for (int round = 0; round < 10 && completedValues.size() < 4; ++round) SystemWaitEvents();
  const int32_t ranAt = SystemClockMillis();
  poster.join();
  EXPECT_EQ(completedValues, (std::vector<int32_t>{1, 2, 3, 4}));
  // Woken by the pipe, not by the wait's own 10 s limit.
  EXPECT_LT(ranAt - postedAt, 2000);

  int32_t seven = 7;
  AsyncOpInBackground(Doubled, &seven, Completed, arg);
  for (int round = 0; round < 10 && completedValues.size() < 5; ++round) SystemWaitEvents();
  ASSERT_EQ(completedValues.size(), 5u);
  EXPECT_EQ(completedValues[4], 14);
  for (const auto& on : completedOn) EXPECT_EQ(on, std::this_thread::get_id());
  for (const auto& passed : completedArgs) EXPECT_EQ(passed, arg);
  completedArgs.clear();
  EXPECT_EQ(arg.use_count(), 1) << "the completions let go of their arg";
  EXPECT_EQ(PipeBytesWaiting(driver->WakePipeReadFd()), 0) << "every wake-up byte was drained";

  // A stray wake-up byte with no completion behind it is drained too: left in
  // the pipe it would keep a watching loop waking for nothing.
  std::string pipePath = "/proc/self/fd/" + std::to_string(driver->WakePipeReadFd());
  int writer = open(pipePath.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, "x", 1), 1);
  close(writer);
  driver->FlushAsyncOps();
  EXPECT_EQ(PipeBytesWaiting(driver->WakePipeReadFd()), 0);
  EXPECT_EQ(completedValues.size(), 5u);
}

namespace {
// Puts fake launchers first on PATH; each writes its arguments, one per line,
// to a file named after it, a moment after it starts.
class FakeLaunchers {
 public:
  FakeLaunchers() : oldPath(getenv("PATH") ? getenv("PATH") : "") {
    for (const char* name : {"gnome-open", "kfmclient"}) {
      std::string script = std::string("#!/bin/sh\nsleep 0.2\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > ") +
                           dir.path() + "/" + name + ".args\n";
      TempDir::Write(name, script);
      chmod(name, 0755);
    }
    setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);
    unsetenv("KDE_FULL_DESKTOP");
    unsetenv("GNOME_DESKTOP_SESSION_ID");
  }
  ~FakeLaunchers() {
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("KDE_FULL_DESKTOP");
    unsetenv("GNOME_DESKTOP_SESSION_ID");
  }
  std::string Args(const char* name) { return TempDir::Read(dir.path() + "/" + name + ".args"); }
  void Forget() {
    unlink((dir.path() + "/gnome-open.args").c_str());
    unlink((dir.path() + "/kfmclient.args").c_str());
  }
  bool Exists(const std::string& name) { return access((dir.path() + "/" + name).c_str(), F_OK) == 0; }

  TempDir dir;
  std::string oldPath;
};
}  // namespace

// Wait sleeps only until the next timer is due (not its 10 s limit), and each
// timer raises one TimerTick; a restarted timer counts from the restart and a
// stopped one never fires.
TEST_F(LinuxDriverTest, OneShotTimersWakeWaitAndTickOnceForTheirSource) {
  const ObjectRef first = New<TObject>(), second = New<TObject>(), stopped = New<TObject>();
  SystemStartTimer(40, second);
  SystemStartTimer(0, stopped);
  SystemStopTimer(stopped);
  SystemStartTimer(5000, first);
  SystemStartTimer(20, first);
  std::vector<ObjectRef> ticks;
  const int32_t started = SystemClockMillis();
  while (ticks.size() < 2 && SystemClockMillis() - started < 5000) {
    if (EventQueueWait() == TimerTick) ticks.push_back(CurrentEventSource());
  }
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], first);
  EXPECT_EQ(ticks[1], second);
  EXPECT_LT(SystemClockMillis() - started, 2000);
  EXPECT_EQ(Collect(0, TimerTick).size(), 0u);
}

TEST_F(LinuxDriverTest, TheLauncherGetsTheUrlAsOneUninterpretedArgument) {
  FakeLaunchers launchers;
  const std::string hostile = "http://example.org/a?q=\"x\"&b=`touch bq`$(touch dollar)\\n'; touch semi #x";

  EXPECT_EQ(driver->OpenURL(WidenString(hostile)), 0);
  EXPECT_FALSE(launchers.Exists("gnome-open.args") || launchers.Exists("kfmclient.args"))
      << "no desktop variable, no launcher";

  setenv("KDE_FULL_DESKTOP", "", 1);
  setenv("GNOME_DESKTOP_SESSION_ID", "this-1", 1);
  EXPECT_EQ(driver->OpenURL(WidenString(hostile)), 0);
  EXPECT_EQ(launchers.Args("gnome-open"), hostile + "\n") << "the launcher was waited for and got one argument";

  launchers.Forget();
  setenv("KDE_FULL_DESKTOP", "true", 1);
  EXPECT_EQ(SystemOpenURL(WidenString(hostile)), 0);
  EXPECT_EQ(launchers.Args("kfmclient"), "exec\n" + hostile + "\n");
  EXPECT_FALSE(launchers.Exists("gnome-open.args")) << "KDE wins when both are set";

  for (const char* planted : {"bq", "dollar", "semi"}) EXPECT_FALSE(launchers.Exists(planted)) << planted;
}

// In a fresh process: the display named in DISPLAY does not exist.
TEST(LinuxDriverDeathTest, WithoutADisplayInitFailsAndInstallsNothing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("DISPLAY", ":4321", 1);
        SystemInit();
        auto before = systemDriver;
        bool opened = LinuxSystemDriverInit();
        TLinuxSystemDriver lone;
        bool quiet = lone.Poll() == 0 && lone.Wait() == 0 && lone.MoveMouse(1, 1) == 0;
        _exit(!opened && !LinuxSystemDriverInit() && systemDriver == before && !LinuxNativeDriver() && quiet ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// In a fresh process: another client has the server close our connection.
TEST(LinuxDriverDeathTest, ALostDisplayEndsTheProgramWithStatusOneAndSaysSo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        HookInit();
        EventInit();
        if (!LinuxSystemDriverInit()) _exit(2);
        Display* own = LinuxNativeDriver()->GetDisplay();
        const Window mine = XCreateSimpleWindow(own, DefaultRootWindow(own), 0, 0, 10, 10, 0, 0, 0);
        XSync(own, False);
        Display* other = XOpenDisplay(nullptr);
        XKillClient(other, mine);
        XSync(other, False);
        for (int round = 0; round < 20; ++round) SystemWaitEvents();
        _exit(0);
      },
      testing::ExitedWithCode(1), "^quorvel: the connection to the X display was lost\n$");
}
