#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "system/SystemDriver.h"

// Xlib's own names for these, without pulling its macros into every includer.
typedef struct _XDisplay Display;
union _XEvent;

// Runs on the main thread with the arg and value of a posted completion.
using TAsyncCallback = void (*)(const ObjectRef& arg, int32_t value);
// Runs on a background thread; its result becomes the completion's value.
using TAsyncWork = int32_t (*)(void* userData);

// The system driver that talks to X11 directly: it owns the process's display
// connection and the wake-up pipe through which other threads hand finished
// work to the main thread, pumps X events into events, asks its questions on
// the console and opens URLs with the desktop's launcher.
class TLinuxSystemDriver : public TSystemDriver {
 public:
  // Puts Xlib into thread mode, opens the default display and creates the
  // wake-up pipe. Without a display GetDisplay() is null and the pump does
  // nothing. X protocol errors are reported on stderr, once per error code,
  // and ignored; a lost display connection ends the process with status 1.
  TLinuxSystemDriver();

  // Translates pending X events, then runs posted completions.
  int32_t Poll() override;
  // Sleeps until the display or the wake-up pipe is readable, at most 10 s,
  // then polls.
  int32_t Wait() override;
  // Warps the pointer: relative to its position while no window is designated.
  int32_t MoveMouse(int32_t x, int32_t y) override;
  // Shows or hides the pointer over the designated window; without one it does
  // nothing.
  int32_t SetMouseVisible(int32_t visible) override;
  int32_t Notify(const String& text, int32_t serious) override;
  int32_t Confirm(const String& text, int32_t serious) override;
  int32_t Proceed(const String& text, int32_t serious) override;
  String RequestFile(const String& text, const String& extensions, int32_t save, const String& path) override;
  String RequestDir(const String& text, const String& path) override;
  // Starts "kfmclient exec URL" when KDE_FULL_DESKTOP is set, else
  // "gnome-open URL" when GNOME_DESKTOP_SESSION_ID is set, without a shell,
  // and waits for it. Always 0.
  int32_t OpenURL(const String& url) override;
  // Timers run on SystemClockMillis; Wait sleeps no longer than until the next
  // one is due, and Poll raises the due ones.
  int32_t StartTimer(int32_t ms, const ObjectRef& source) override;
  int32_t StopTimer(const ObjectRef& source) override;
  // The display's idle time and screen saver are watched on a second
  // connection, logind on the system bus, each on a thread of its own; their
  // requests reach the pump as posted completions. QUORVEL_LOCK_MINUTE_MS, a
  // test seam, can only shorten the minute.
  int32_t WatchLock(int32_t idleMinutes) override;

  // Raises the events one X event stands for, with source as their source
  // (the pump passes none). A key release followed at once by a press of the
  // same key is auto-repeat: the press is taken too. Returns the number of
  // events raised.
  int32_t Emit(union _XEvent* event, const ObjectRef& source);

  // Drains the wake-up pipe, whether or not a completion is posted, then runs
  // every posted completion in posting order. Main thread only.
  void FlushAsyncOps();

  // The display connection (shared with the toolkit), null when none opened.
  Display* GetDisplay() const;
  int DisplayFd() const;
  // The read end of the wake-up pipe, for an event loop to watch.
  int WakePipeReadFd() const;
  // The window that MoveMouse and SetMouseVisible work on; 0 for none.
  void SetMouseWindow(unsigned long window);
};

// Posts a completion from any thread: callback(arg, value) runs on the main
// thread at the next flush, and the wait is woken.
void AsyncOp(TAsyncCallback callback, const ObjectRef& arg, int32_t value);
// Runs work(userData) on a detached thread, then posts its result as value.
void AsyncOpInBackground(TAsyncWork work, void* userData, TAsyncCallback callback, const ObjectRef& arg);

// The key code of an unshifted keysym.
int32_t LinuxKeyCode(unsigned long keysym);

// Creates the native driver and installs it as systemDriver. Returns false,
// installing nothing, when no X display can be opened. Later calls return the
// first call's result.
bool LinuxSystemDriverInit();
// The driver LinuxSystemDriverInit installed, or none.
Ref<TLinuxSystemDriver> LinuxNativeDriver();
