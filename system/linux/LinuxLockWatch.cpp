#include "system/linux/LinuxLockWatch.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>
#include <thread>

#include "system/SystemDriver.h"

namespace {
// Once an idle period is reported, the watch looks this often for the input
// that ends it; before that it sleeps until the period can reach the limit.
constexpr int64_t kRecheckMillis = 2000;

struct IdleWatch {
  Display* display = nullptr;
  Window root = 0;
  int eventBase = 0;
  XScreenSaverInfo* info = nullptr;
  int wake[2] = {-1, -1};  // a changed limit wakes the thread
  std::atomic<int64_t> limit = 0;
  TLockNotify notify = nullptr;
  int64_t since = 0;                // when watching began
  int64_t reportedFor = LLONG_MIN;  // the last input of the idle period reported
};

int64_t NowMillis() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Reports the idle period when it has reached the limit; returns how long the
// thread may sleep before it must look again (-1: until woken).
int CheckIdle(IdleWatch& watch) {
  const int64_t limit = watch.limit;
  if (limit <= 0 || !XScreenSaverQueryInfo(watch.display, watch.root, watch.info)) return -1;
  const int64_t now = NowMillis();
  // The server's idle time as the moment of the last input, on our clock.
  const int64_t lastInput = std::max(now - static_cast<int64_t>(watch.info->idle), watch.since);
  // The two clocks agree only to a few milliseconds, while input that starts a
  // new period comes at least a whole limit after the last reported one.
  const int64_t slack = std::min<int64_t>(250, limit / 2);
  const bool reported = watch.reportedFor != LLONG_MIN && lastInput <= watch.reportedFor + slack;
  if (reported) return static_cast<int>(std::min(kRecheckMillis, limit));
  const int64_t idle = now - lastInput;
  if (idle < limit) return static_cast<int>(std::min<int64_t>(limit - idle, INT_MAX));
  watch.reportedFor = lastInput;
  watch.notify(LockReasonIdle);
  return static_cast<int>(std::min(kRecheckMillis, limit));
}

void Run(IdleWatch* watch) {
  Display* display = watch->display;
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == watch->eventBase + ScreenSaverNotify &&
          reinterpret_cast<XScreenSaverNotifyEvent*>(&event)->state == ScreenSaverOn)
        watch->notify(LockReasonScreenSaver);
    }
    const int timeout = CheckIdle(*watch);
    // The query's round trip may have read events into Xlib's buffer, where
    // the socket no longer shows them.
    if (XEventsQueued(display, QueuedAlready) > 0) continue;
    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {watch->wake[0], POLLIN, 0}};
    poll(watched, 2, timeout);
    if (watched[1].revents & POLLIN) {
      char drained[16];
      while (read(watch->wake[0], drained, sizeof drained) > 0) {
      }
    }
  }
}

IdleWatch* OpenWatch(const char* displayName, TLockNotify notify) {
  Display* display = XOpenDisplay(displayName);
  if (!display) return nullptr;
  int eventBase = 0, errorBase = 0;
  XScreenSaverInfo* info = nullptr;
  int wake[2];
  if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase) || !(info = XScreenSaverAllocInfo()) ||
      pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    if (info) XFree(info);
    XCloseDisplay(display);
    return nullptr;
  }
  auto* watch = new IdleWatch;  // lives as long as the process, as its thread does
  watch->info = info;
  watch->wake[0] = wake[0];
  watch->wake[1] = wake[1];
  watch->display = display;
  watch->root = DefaultRootWindow(display);
  watch->eventBase = eventBase;
  watch->notify = notify;
  watch->since = NowMillis();
  XScreenSaverSelectInput(display, watch->root, ScreenSaverNotifyMask);
  XFlush(display);
  return watch;
}
}  // namespace

bool LinuxLockWatchIdle(const char* displayName, int64_t idleMillis, TLockNotify notify) {
  static std::mutex starting;
  static IdleWatch* watch = nullptr;
  static bool tried = false;
  std::lock_guard<std::mutex> hold(starting);
  if (!tried) {
    tried = true;
    watch = OpenWatch(displayName, notify);
    if (watch) {
      watch->limit = idleMillis;
      std::thread(Run, watch).detach();
    }
    return watch != nullptr;
  }
  if (!watch) return false;
  watch->limit = idleMillis;
  char wake = 1;
  ssize_t written = write(watch->wake[1], &wake, 1);
  (void)written;
  return true;
}
