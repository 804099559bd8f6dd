#include "system/LogindWatch.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "system/SystemDriver.h"

namespace {
constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

struct LogindWatch {
  sd_bus* bus = nullptr;
  TLockNotify notify = nullptr;
  std::string session;  // our session's object path, once logind has said it
};

std::atomic<int> sleepDelay = -1;  // the descriptor of logind's delay lock, while held

int OnSleepDelay(sd_bus_message* reply, void*, sd_bus_error*) {
  int fd = -1;
  if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "h", &fd) < 0) return 0;
  const int held = fcntl(fd, F_DUPFD_CLOEXEC, 3);  // the reply owns fd
  if (held < 0) return 0;
  const int old = sleepDelay.exchange(held);
  if (old >= 0) close(old);
  return 0;
}

int TakeSleepDelay(LogindWatch& watch) {
  return sd_bus_call_method_async(watch.bus, nullptr, kLogind, kManagerPath, kManager, "Inhibit", OnSleepDelay, nullptr,
                                  "ssss", "sleep", "Quorvel", "Locks the records before the machine sleeps", "delay");
}

// Another session's Lock concerns another login.
int OnSessionLock(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* watch = static_cast<LogindWatch*>(data);
  const char* path = sd_bus_message_get_path(message);
  if (path && !watch->session.empty() && watch->session == path) watch->notify(LockReasonSession);
  return 0;
}

// PrepareForSleep(false) comes after the resume: nothing to lock then, but
// the next sleep needs a delay lock again.
int OnPrepareForSleep(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* watch = static_cast<LogindWatch*>(data);
  int starting = 0;
  if (sd_bus_message_read(message, "b", &starting) < 0) return 0;
  if (starting)
    watch->notify(LockReasonSleep);
  else
    TakeSleepDelay(*watch);
  return 0;
}

// logind's answer to GetSession("auto"): this process's session or, for a
// program its user's service manager started outside any session, the user's
// graphical one. With no session there is no Lock to hear; sleep still is.
int OnSessionPath(sd_bus_message* reply, void* data, sd_bus_error*) {
  const char* path = nullptr;
  if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "o", &path) >= 0)
    static_cast<LogindWatch*>(data)->session = path;
  return 0;
}

int OpenBus(sd_bus** bus) {
  const char* address = getenv("QUORVEL_LOGIND_BUS");
  if (!address) return sd_bus_open_system(bus);
  if (!*address) return -ENOENT;
  int result = sd_bus_new(bus);
  if (result < 0) return result;
  if ((result = sd_bus_set_address(*bus, address)) < 0 || (result = sd_bus_set_bus_client(*bus, 1)) < 0 ||
      (result = sd_bus_start(*bus)) < 0)
    *bus = sd_bus_unref(*bus);
  return result;
}

// Every request goes out asynchronously, so the loop never blocks on logind
// and ends as soon as the connection fails. Both subscriptions are made before
// the session is asked for, and only signals sent as logind count: the bus
// lets no other client send under its name.
void Run(TLockNotify notify) {
  LogindWatch watch;
  watch.notify = notify;
  if (OpenBus(&watch.bus) < 0) return;
  if (sd_bus_match_signal_async(watch.bus, nullptr, kLogind, nullptr, "org.freedesktop.login1.Session", "Lock",
                                OnSessionLock, nullptr, &watch) >= 0 &&
      sd_bus_match_signal_async(watch.bus, nullptr, kLogind, kManagerPath, kManager, "PrepareForSleep",
                                OnPrepareForSleep, nullptr, &watch) >= 0 &&
      sd_bus_call_method_async(watch.bus, nullptr, kLogind, kManagerPath, kManager, "GetSession", OnSessionPath, &watch,
                               "s", "auto") >= 0 &&
      TakeSleepDelay(watch) >= 0) {
    for (;;) {
      int result = sd_bus_process(watch.bus, nullptr);
      if (result < 0) break;
      if (result > 0) continue;
      result = sd_bus_wait(watch.bus, UINT64_MAX);
      if (result < 0 && result != -EINTR) break;
    }
  }
  sd_bus_flush_close_unref(watch.bus);
}
}  // namespace

void LogindWatchStart(TLockNotify notify) {
  static std::atomic<bool> started = false;
  if (started.exchange(true)) return;
  std::thread(Run, notify).detach();
}

void LogindSleepHandled() {
  const int fd = sleepDelay.exchange(-1);
  if (fd >= 0) close(fd);
}
