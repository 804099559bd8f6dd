#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"
#include "system/Clock.h"

// The desktop behind one replaceable object: pumping system events, small
// modal dialogs, opening URLs and the mouse pointer. Every operation of this
// base class raises TNullMethodException; a driver overrides what it serves.
class TSystemDriver : public TObject {
 public:
  // Processes pending system events without blocking.
  virtual int32_t Poll();
  // Blocks until system events arrive (or a wake-up), then processes them.
  virtual int32_t Wait();
  virtual int32_t MoveMouse(int32_t x, int32_t y);
  virtual int32_t SetMouseVisible(int32_t visible);
  virtual int32_t Notify(const String& text, int32_t serious);
  // 1 yes, 0 no.
  virtual int32_t Confirm(const String& text, int32_t serious);
  // 1 yes, 0 no, -1 cancel.
  virtual int32_t Proceed(const String& text, int32_t serious);
  // The chosen path, or "" when nothing was chosen.
  virtual String RequestFile(const String& text, const String& extensions, int32_t save, const String& path);
  virtual String RequestDir(const String& text, const String& path);
  virtual int32_t OpenURL(const String& url);
  // A one-shot timer: after ms milliseconds (at least 0) one TimerTick event
  // with source as its source is raised from the pump. Starting a timer again
  // for the same source restarts it.
  virtual int32_t StartTimer(int32_t ms, const ObjectRef& source);
  // Forgets the timer of source, if one is pending.
  virtual int32_t StopTimer(const ObjectRef& source);
  // Has the system tell the program when it should lock: after idleMinutes
  // without input on the whole display (0 or less: never), when the screen
  // saver turns on, when the session is locked and before the machine sleeps.
  // Each is raised as one SystemLockRequest event from the pump, its data a
  // TLockReason. Calling it again changes only the minutes. 1 when the
  // display's idle time and screen saver can be watched, else 0.
  virtual int32_t WatchLock(int32_t idleMinutes);
};

// Why the system asks for a lock: the data of a SystemLockRequest event.
enum TLockReason : int32_t {
  LockReasonIdle = 1,         // no input on the display for the minutes asked
  LockReasonScreenSaver = 2,  // the X screen saver turned on
  LockReasonSession = 3,      // logind locks this session
  LockReasonSleep = 4,        // the machine is about to suspend or hibernate
};

// The current driver. After SystemInit it is never null; a native or toolkit
// driver replaces it at start-up.
extern Ref<TSystemDriver> systemDriver;

// Installs a base driver (every operation raises TNullMethodException) until a
// real one is installed. Later calls return at once.
void SystemInit();

// One pump at a time: a pump started from inside a driver's Poll or Wait
// returns 0 without pumping.
int32_t SystemPollEvents();
int32_t SystemWaitEvents();
// 1 while a driver's Poll or Wait runs (a pump started now would do nothing).
int32_t SystemPumping();
int32_t SystemNotify(const String& text, int32_t serious);
int32_t SystemConfirm(const String& text, int32_t serious);
int32_t SystemProceed(const String& text, int32_t serious);
String SystemRequestFile(const String& text, const String& extensions, int32_t save, const String& path);
String SystemRequestDir(const String& text, const String& path);
// Opens url with the desktop after SystemNormaliseURL.
int32_t SystemOpenURL(const String& url);
int32_t SystemMoveMouse(int32_t x, int32_t y);
int32_t SystemShowMouse();
int32_t SystemHideMouse();

int32_t SystemStartTimer(int32_t ms, const ObjectRef& source);
int32_t SystemStopTimer(const ObjectRef& source);
int32_t SystemWatchLock(int32_t idleMinutes);

// "http:", "https:" and "file:" URLs (any letter case) pass unchanged. Any
// other text is a path with an optional "#anchor": an existing file or
// directory becomes "file:" + its absolute path + anchor, anything else
// "http:" + the text as given.
String SystemNormaliseURL(const String& url);

// Local date as "%d %b %Y" and local time as "%H:%M:%S".
String SystemDateText();
String SystemTimeText();

// Sleeps the calling thread for ms milliseconds of SystemClockMillis; returns
// at once for ms < 0 and yields once for ms = 0.
void SystemSleepMillis(int32_t ms);

// Ends the process with status 0; exit handlers and static destructors run.
[[noreturn]] void SystemEndProgram();
