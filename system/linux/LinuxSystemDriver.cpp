#include "system/linux/LinuxSystemDriver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gui/core/Event.h"
#include "system/ConsoleDialog.h"
#include "system/LogindWatch.h"
#include "system/linux/LinuxLockWatch.h"

extern char** environ;

namespace {
struct AsyncRecord {
  AsyncRecord* next = nullptr;
  TAsyncCallback callback = nullptr;
  ObjectRef arg;
  int32_t value = 0;
  TAsyncWork work = nullptr;
  void* userData = nullptr;
};

struct NativeTimer {
  int32_t due;  // on SystemClockMillis, which wraps
  ObjectRef source;
};

// State of the native side, one per process. The pipe exists from the first
// use on, so a thread may post before the driver is made.
struct NativeState {
  NativeState() {
    if (pipe2(wakePipe, O_CLOEXEC) != 0) {
      wakePipe[0] = wakePipe[1] = -1;
    } else {
      // A full pipe already guarantees a wake-up; a poster must never block
      // on it while holding the lock the main thread needs to drain it.
      fcntl(wakePipe[1], F_SETFL, fcntl(wakePipe[1], F_GETFL) | O_NONBLOCK);
    }
  }

  Display* display = nullptr;
  int displayFd = -1;
  int wakePipe[2] = {-1, -1};
  std::mutex lock;
  AsyncRecord* first = nullptr;  // guarded by lock
  AsyncRecord* last = nullptr;   // guarded by lock
  std::vector<char> drain;       // grows, never shrinks
  Cursor hiddenCursor = None;
  Window mouseWindow = None;
  std::vector<NativeTimer> timers;  // main thread only
};

NativeState& Native() {
  static NativeState* state = new NativeState;  // lives until the process ends
  return *state;
}

void PostRecord(AsyncRecord* record) {
  NativeState& native = Native();
  std::lock_guard<std::mutex> hold(native.lock);
  if (native.last)
    native.last->next = record;
  else
    native.first = record;
  native.last = record;
  char wake = 1;
  ssize_t written = write(native.wakePipe[1], &wake, 1);
  (void)written;
}

bool driverTried = false;
bool driverOpened = false;
Ref<TLinuxSystemDriver> nativeDriver;

void Raise(int32_t id, const ObjectRef& source, int32_t data, int32_t x, int32_t y) {
  EventEmit(EventNew(id, source, data, 0, x, y, nullptr));
}

int32_t RaiseKey(int32_t id, XKeyEvent& key, const ObjectRef& source) {
  Raise(id, source, LinuxKeyCode(XLookupKeysym(&key, 0)), key.x, key.y);
  if (id == KeyUp) return 1;
  char text[16];
  KeySym ignored;
  int count = XLookupString(&key, text, 15, &ignored, nullptr);
  for (int i = 0; i < count; ++i) Raise(KeyChar, source, static_cast<unsigned char>(text[i]), key.x, key.y);
  return 1 + (count > 0 ? count : 0);
}

int32_t MouseButton(unsigned int button) {
  return button <= 1 ? static_cast<int32_t>(button) : 5 - static_cast<int32_t>(button);
}

// A protocol error is a request the server refused, most often one naming a
// window that went away a moment earlier. Nothing the program holds is lost
// by it, so it is reported once per error code and the program goes on;
// Xlib's own handler would end the process.
int OnXError(Display* display, XErrorEvent* error) {
  static std::atomic<bool> reported[256];
  if (reported[error->error_code].exchange(true)) return 0;
  char name[128] = "";
  XGetErrorText(display, error->error_code, name, sizeof name);
  fprintf(stderr, "quorvel: X error %s (code %d, request %d) ignored\n", name, error->error_code, error->request_code);
  return 0;
}

// Without its display the program can neither show nor ask anything. Records
// are saved whenever they change, so ending at once loses nothing. _exit, not
// exit: exit handlers could reach for the dead connection again.
[[noreturn]] int OnXIOError(Display*) {
  fputs("quorvel: the connection to the X display was lost\n", stderr);
  _exit(1);
}
}  // namespace

int32_t LinuxKeyCode(unsigned long keysym) {
  // Print, Insert and Menu share their low byte with letters; tell them apart
  // by the whole keysym.
  if (keysym == XK_Print) return 42;
  if (keysym == XK_Insert) return 45;
  if (keysym == XK_Menu) return 93;
  const int32_t low = static_cast<int32_t>(keysym & 0xFF);
  if (low >= 97 && low <= 126) return low - 32;
  if (low >= 81 && low <= 84) return low - 44;
  if (low >= 190 && low <= 201) return low - 78;
  // Keys outside the ranges: {low byte, key code}.
  static constexpr int32_t singles[][2] = {
      {227, 162}, {233, 164}, {234, 165}, {228, 163}, {225, 160}, {226, 161}, {127, 144}, {20, 145},  {158, 96},
      {156, 97},  {153, 98},  {155, 99},  {150, 100}, {157, 101}, {152, 102}, {149, 103}, {151, 104}, {154, 105},
      {235, 91},  {236, 92},  {80, 36},   {85, 33},   {255, 46},  {87, 35},   {86, 34},   {159, 110}, {141, 13},
      {171, 107}, {173, 109}, {170, 106}, {175, 111}, {96, 192},  {45, 189},  {61, 187},  {91, 219},  {93, 221},
      {92, 226},  {59, 186},  {39, 222},  {44, 188},  {46, 190},  {47, 191}};
  for (const auto& single : singles)
    if (single[0] == low) return single[1];
  return low;
}

TLinuxSystemDriver::TLinuxSystemDriver() {
  NativeState& native = Native();
  if (native.display) return;
  XInitThreads();
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
  native.display = XOpenDisplay(nullptr);
  if (native.display) native.displayFd = ConnectionNumber(native.display);
}

int32_t TLinuxSystemDriver::Poll() {
  Display* display = Native().display;
  if (!display) return 0;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    Emit(&event, nullptr);
  }
  FlushAsyncOps();
  // Due timers are taken out before any of them is raised, so a hook that
  // starts a timer again is not run over in this pass.
  std::vector<NativeTimer>& timers = Native().timers;
  std::vector<ObjectRef> due;
  const int32_t now = SystemClockMillis();
  for (auto it = timers.begin(); it != timers.end();) {
    if (static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(it->due)) >= 0) {
      due.push_back(it->source);
      it = timers.erase(it);
    } else {
      ++it;
    }
  }
  for (const ObjectRef& source : due) EventEmit(EventNew(TimerTick, source, 0, 0, 0, 0, nullptr));
  return 0;
}

int32_t TLinuxSystemDriver::StartTimer(int32_t ms, const ObjectRef& source) {
  StopTimer(source);
  const uint32_t due = static_cast<uint32_t>(SystemClockMillis()) + static_cast<uint32_t>(std::max(ms, 0));
  Native().timers.push_back({static_cast<int32_t>(due), source});
  return 0;
}

int32_t TLinuxSystemDriver::StopTimer(const ObjectRef& source) {
  std::vector<NativeTimer>& timers = Native().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const NativeTimer& t) { return t.source == source; }),
               timers.end());
  return 0;
}

namespace {
void ReleaseSleepDelay(const ObjectRef&, int32_t) { LogindSleepHandled(); }

// A completion posted here runs at the next flush, when the loop has taken
// the request and come back to wait: the program has locked, and may sleep.
void RaiseLockRequest(const ObjectRef&, int32_t reason) {
  Raise(SystemLockRequest, nullptr, reason, 0, 0);
  if (reason == LockReasonSleep) AsyncOp(ReleaseSleepDelay, nullptr, 0);
}

// Runs on a watch's thread: the event is raised on the main thread.
void PostLockRequest(int32_t reason) { AsyncOp(RaiseLockRequest, nullptr, reason); }

int64_t LockMinuteMillis() {
  constexpr int64_t minute = 60000;
  const char* seam = getenv("QUORVEL_LOCK_MINUTE_MS");
  const long long shorter = seam ? atoll(seam) : 0;
  return shorter > 0 && shorter < minute ? shorter : minute;
}
}  // namespace

int32_t TLinuxSystemDriver::WatchLock(int32_t idleMinutes) {
  LogindWatchStart(PostLockRequest);
  Display* display = Native().display;
  if (!display) return 0;
  const int64_t idleMillis = static_cast<int64_t>(std::max(idleMinutes, 0)) * LockMinuteMillis();
  return LinuxLockWatchIdle(DisplayString(display), idleMillis, PostLockRequest) ? 1 : 0;
}

int32_t TLinuxSystemDriver::Wait() {
  NativeState& native = Native();
  if (!native.display) return 0;
  XFlush(native.display);
  // Events Xlib has already read sit in its own buffer, where the socket no
  // longer shows them: sleeping on the socket would miss them.
  if (XEventsQueued(native.display, QueuedAlready) == 0) {
    // At most 10 s, and no longer than until the next timer is due.
    int timeout = 10000;
    const int32_t now = SystemClockMillis();
    for (const NativeTimer& timer : native.timers) {
      const int32_t left = static_cast<int32_t>(static_cast<uint32_t>(timer.due) - static_cast<uint32_t>(now));
      timeout = std::min(timeout, std::max(left, 0));
    }
    pollfd watched[2] = {{native.displayFd, POLLIN, 0}, {native.wakePipe[0], POLLIN, 0}};
    poll(watched, native.wakePipe[0] >= 0 ? 2 : 1, timeout);
  }
  return Poll();
}

int32_t TLinuxSystemDriver::Emit(XEvent* event, const ObjectRef& source) {
  Display* display = Native().display;
  switch (event->type) {
    case KeyPress:
      return RaiseKey(KeyDown, event->xkey, source);
    case KeyRelease: {
      // Auto-repeat arrives as a release immediately followed by a press of
      // the same key.
      if (display && XEventsQueued(display, QueuedAfterReading) > 0) {
        XEvent next;
        XPeekEvent(display, &next);
        if (next.type == KeyPress && next.xkey.keycode == event->xkey.keycode) {
          XNextEvent(display, &next);
          return RaiseKey(KeyRepeat, next.xkey, source);
        }
      }
      return RaiseKey(KeyUp, event->xkey, source);
    }
    case ButtonPress: {
      const XButtonEvent& button = event->xbutton;
      if (button.button == 4 || button.button == 5)
        Raise(MouseWheel, source, button.button == 4 ? 1 : -1, button.x, button.y);
      else
        Raise(MouseDown, source, MouseButton(button.button), button.x, button.y);
      return 1;
    }
    case ButtonRelease:
      Raise(MouseUp, source, MouseButton(event->xbutton.button), event->xbutton.x, event->xbutton.y);
      return 1;
    case MotionNotify:
      Raise(MouseMove, source, 0, event->xmotion.x, event->xmotion.y);
      return 1;
    case ClientMessage: {
      if (!display) return 0;
      Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", True);
      if (deleteWindow == None || event->xclient.format != 32 ||
          static_cast<Atom>(event->xclient.data.l[0]) != deleteWindow)
        return 0;
      Raise(AppTerminate, source, 0, 0, 0);
      return 1;
    }
    default:
      return 0;
  }
}

void TLinuxSystemDriver::FlushAsyncOps() {
  NativeState& native = Native();
  AsyncRecord* records;
  {
    std::lock_guard<std::mutex> hold(native.lock);
    // Drained even with no record waiting: a byte left behind keeps the pipe
    // readable, and a loop watching it would wake for nothing, over and over.
    int waiting = 0;
    if (ioctl(native.wakePipe[0], FIONREAD, &waiting) == 0 && waiting > 0) {
      if (native.drain.size() < static_cast<size_t>(waiting)) native.drain.resize(static_cast<size_t>(waiting));
      ssize_t drained = read(native.wakePipe[0], native.drain.data(), static_cast<size_t>(waiting));
      (void)drained;
    }
    records = native.first;
    if (!records) return;
    native.first = native.last = nullptr;
  }
  // Outside the lock, so that a callback may post again.
  while (records) {
    AsyncRecord* record = records;
    records = record->next;
    if (record->callback) record->callback(record->arg, record->value);
    delete record;
  }
}

int32_t TLinuxSystemDriver::MoveMouse(int32_t x, int32_t y) {
  NativeState& native = Native();
  if (!native.display) return 0;
  XWarpPointer(native.display, None, native.mouseWindow, 0, 0, 0, 0, x, y);
  XFlush(native.display);
  return 0;
}

int32_t TLinuxSystemDriver::SetMouseVisible(int32_t visible) {
  NativeState& native = Native();
  if (!native.display || native.mouseWindow == None) return 0;
  if (visible != 0) {
    XUndefineCursor(native.display, native.mouseWindow);
  } else {
    if (native.hiddenCursor == None) {
      static const char blank[8] = {0, 0, 0, 0, 0, 0, 0, 0};
      Pixmap bitmap = XCreateBitmapFromData(native.display, native.mouseWindow, blank, 8, 8);
      XColor black = {};
      native.hiddenCursor = XCreatePixmapCursor(native.display, bitmap, bitmap, &black, &black, 0, 0);
      XFreePixmap(native.display, bitmap);
    }
    XDefineCursor(native.display, native.mouseWindow, native.hiddenCursor);
  }
  XFlush(native.display);
  return 0;
}

int32_t TLinuxSystemDriver::Notify(const String& text, int32_t) { return ConsoleNotify(text); }

int32_t TLinuxSystemDriver::Confirm(const String& text, int32_t) { return ConsoleConfirm(text); }

int32_t TLinuxSystemDriver::Proceed(const String& text, int32_t) { return ConsoleProceed(text); }

String TLinuxSystemDriver::RequestFile(const String&, const String&, int32_t, const String&) {
  return ConsoleAsk("Enter a filename:");
}

String TLinuxSystemDriver::RequestDir(const String&, const String&) { return ConsoleAsk("Enter a directory name:"); }

int32_t TLinuxSystemDriver::OpenURL(const String& url) {
  auto isSet = [](const char* name) {
    const char* value = getenv(name);
    return value != nullptr && value[0] != 0;
  };
  // The URL is one argument of its own: nothing in it is ever interpreted.
  std::string target = NarrowString(url);
  std::vector<std::string> words;
  if (isSet("KDE_FULL_DESKTOP"))
    words = {"kfmclient", "exec", target};
  else if (isSet("GNOME_DESKTOP_SESSION_ID"))
    words = {"gnome-open", target};
  else
    return 0;
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
  int status;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return 0;
}

Display* TLinuxSystemDriver::GetDisplay() const { return Native().display; }

int TLinuxSystemDriver::DisplayFd() const { return Native().displayFd; }

int TLinuxSystemDriver::WakePipeReadFd() const { return Native().wakePipe[0]; }

void TLinuxSystemDriver::SetMouseWindow(unsigned long window) { Native().mouseWindow = window; }

void AsyncOp(TAsyncCallback callback, const ObjectRef& arg, int32_t value) {
  auto* record = new AsyncRecord;
  record->callback = callback;
  record->arg = arg;
  record->value = value;
  PostRecord(record);
}

void AsyncOpInBackground(TAsyncWork work, void* userData, TAsyncCallback callback, const ObjectRef& arg) {
  auto* record = new AsyncRecord;
  record->callback = callback;
  record->arg = arg;  // held until the callback has run
  record->work = work;
  record->userData = userData;
  std::thread([record] {
    record->value = record->work ? record->work(record->userData) : 0;
    PostRecord(record);
  }).detach();
}

bool LinuxSystemDriverInit() {
  if (driverTried) return driverOpened;
  driverTried = true;
  auto driver = New<TLinuxSystemDriver>();
  if (!driver->GetDisplay()) return false;
  SystemInit();
  systemDriver = driver;
  nativeDriver = driver;
  driverOpened = true;
  return true;
}

Ref<TLinuxSystemDriver> LinuxNativeDriver() { return nativeDriver; }
