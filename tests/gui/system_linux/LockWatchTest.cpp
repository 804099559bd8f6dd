// clang-format off
// gtest before Xlib: Xlib's None macro breaks gtest's headers.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/core/EventQueue.h"
#include "gui/core/Hook.h"
#include "system/linux/LinuxSystemDriver.h"

// The bus is chosen at a process's first SystemWatchLock: the logind test comes first.
namespace {
using Reasons = std::vector<int32_t>;
constexpr const char *kManagerPath = "/org/freedesktop/login1", *kManager = "org.freedesktop.login1.Manager";
constexpr const char* kOurs = "/org/freedesktop/login1/session/c7";
std::string askedFor, inhibited;
int delayLock = -1;  // our end of the last delay lock handed out

// Answers GetSession with kOurs and Inhibit with a pipe's write end.
int FakeLogind(sd_bus_message* call, void*, sd_bus_error*) {
  const char *name = "", *who, *why, *mode = "";
  if (sd_bus_message_is_method_call(call, kManager, "GetSession") && sd_bus_message_read(call, "s", &name) >= 0) {
    askedFor = name;
    return sd_bus_reply_method_return(call, "o", kOurs);
  }
  if (!sd_bus_message_is_method_call(call, kManager, "Inhibit") ||
      sd_bus_message_read(call, "ssss", &name, &who, &why, &mode) < 0)
    return 0;
  int ends[2];
  pipe2(ends, O_CLOEXEC);
  if (delayLock >= 0) close(delayLock);
  delayLock = ends[0];
  inhibited = std::string(name) + " " + mode;
  const int replied = sd_bus_reply_method_return(call, "h", ends[1]);
  close(ends[1]);
  return replied;
}

bool Released(int fd) {
  pollfd watched = {fd, POLLIN, 0};
  return poll(&watched, 1, 0) == 1 && (watched.revents & POLLHUP);
}

// The lock requests raised within millis (serving the fake logind meanwhile),
// or until one of reason stop came.
Reasons Collect(int millis, sd_bus* serve = nullptr, int32_t stop = 0) {
  Reasons seen;
  for (int waited = 0;; waited += 10, usleep(10000)) {
    while (serve && sd_bus_process(serve, nullptr) > 0) continue;
    while (EventQueuePoll() != 0)
      if (CurrentEventId() == SystemLockRequest) seen.push_back(CurrentEventData());
    if (waited >= millis || (stop && std::count(seen.begin(), seen.end(), stop) > 0)) break;
  }
  return seen;
}

// Then a round trip: the signal is routed before anything another connection sends later.
void Signal(sd_bus* from, const char* path, const char* member, int sleeping) {
  sd_bus_emit_signal(from, path, sleeping < 0 ? "org.freedesktop.login1.Session" : kManager, member,
                     sleeping < 0 ? nullptr : "b", sleeping);
  sd_bus_call_method(from, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping",
                     nullptr, nullptr, nullptr);
}

class LockWatchTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HookInit();
    EventInit();
    ASSERT_TRUE(LinuxSystemDriverInit()) << "these tests need an X display in DISPLAY";
    EventQueueInit();
  }
};
}  // namespace

TEST_F(LockWatchTest, LogindLockOfOurSessionAndSleepAskForALockAndNothingElseDoes) {
  const std::string address = "unix:path=/tmp/quorvel-test-bus-" + std::to_string(getpid());
  FILE* out = popen(("dbus-daemon --session --fork --print-pid=1 --address=" + address).c_str(), "r");
  char pid[32] = "";
  ASSERT_TRUE(fgets(pid, sizeof pid, out)) << "dbus-daemon did not start";
  pclose(out);
  const std::shared_ptr<void> stopDaemon(nullptr, [daemon = atoi(pid)](void*) { kill(daemon, SIGTERM); });
  setenv("QUORVEL_LOGIND_BUS", address.c_str(), 1);
  sd_bus *logind = nullptr, *stranger = nullptr;
  for (sd_bus** bus : {&logind, &stranger})
    ASSERT_TRUE(sd_bus_new(bus) >= 0 && sd_bus_set_address(*bus, address.c_str()) >= 0 &&
                sd_bus_set_bus_client(*bus, 1) >= 0 && sd_bus_start(*bus) >= 0);
  ASSERT_GE(sd_bus_request_name(logind, "org.freedesktop.login1", 0), 0);
  ASSERT_GE(sd_bus_add_object(logind, nullptr, kManagerPath, FakeLogind, nullptr), 0);
  SystemWatchLock(0);
  // The watch subscribes and asks asynchronously: signal until it hears, then
  // once more to clear what the retries left behind.
  for (int round = 0; round < 50 && (Collect(200, logind, LockReasonSleep).empty() || askedFor.empty()); ++round)
    Signal(logind, kManagerPath, "PrepareForSleep", 1);
  Signal(logind, kManagerPath, "PrepareForSleep", 1);
  Collect(3000, logind, LockReasonSleep);
  EXPECT_EQ(askedFor, "auto");
  EXPECT_EQ(inhibited, "sleep delay");

  // Sent and heard in this order (what leaked would come before the last):
  // only the first and the last ask for a lock.
  const std::tuple<sd_bus*, const char*, const char*, int> signals[] = {
      {logind, kOurs, "Lock", -1},
      {logind, "/org/freedesktop/login1/session/c8", "Lock", -1},
      {logind, kOurs, "Unlock", -1},
      {logind, kManagerPath, "PrepareForSleep", 0},
      {stranger, kOurs, "Lock", -1},
      {stranger, kManagerPath, "PrepareForSleep", 1},
      {logind, kManagerPath, "PrepareForSleep", 1}};
  for (auto [from, path, member, sleeping] : signals) Signal(from, path, member, sleeping);
  EXPECT_EQ(Collect(1000, logind), (Reasons{LockReasonSession, LockReasonSleep}));

  // After a resume a new delay lock holds the sleep back until the loop has
  // taken the request and comes back to wait.
  inhibited.clear();
  Signal(logind, kManagerPath, "PrepareForSleep", 0);
  for (int round = 0; round < 300 && inhibited.empty(); ++round) Collect(10, logind);
  Signal(logind, kManagerPath, "PrepareForSleep", 1);
  for (int round = 0; round < 300 && EventQueuePoll() != SystemLockRequest; ++round) usleep(10000);
  EXPECT_EQ(CurrentEventData(), LockReasonSleep);
  EXPECT_FALSE(Released(delayLock));
  EventQueuePoll();
  EXPECT_TRUE(Released(delayLock));
  sd_bus_flush_close_unref(stranger);
  sd_bus_flush_close_unref(logind);
}

// The display's idle time and its screen saver, with logind's bus taking the
// connection and never answering: nothing may wait on it.
TEST_F(LockWatchTest, AnIdleDisplayAsksOncePerIdlePeriodAndTheScreenSaverOnItsTurningOn) {
  sockaddr_un silent = {AF_UNIX, {}};
  snprintf(silent.sun_path, sizeof silent.sun_path, "/tmp/quorvel-silent-bus-%d", getpid());
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_TRUE(bind(listener, reinterpret_cast<sockaddr*>(&silent), sizeof silent) == 0 && listen(listener, 4) == 0);
  setenv("QUORVEL_LOGIND_BUS", (std::string("unix:path=") + silent.sun_path).c_str(), 1);
  setenv("QUORVEL_LOCK_MINUTE_MS", "1000", 1);
  Display* input = XOpenDisplay(nullptr);
  auto nudge = [input, x = 0]() mutable {
    XTestFakeMotionEvent(input, -1, 200 + (x ^= 1), 200, CurrentTime), XSync(input, False);
  };
  // every: 0 no input, -1 one nudge first, else a nudge every that many ms.
  const std::tuple<int32_t, int, int, const char*, Reasons, const char*> phases[] = {
      {1, 100, 2500, "", {}, "input keeps coming"},
      {1, 0, 3000, "", {LockReasonIdle}, "no input: once, and not again"},
      {1, -1, 2500, "", {LockReasonIdle}, "new input, new period"},
      {0, -1, 2000, "", {}, "0 minutes: never"},
      {0, 0, 1000, "activate", {LockReasonScreenSaver}, "screen saver on"},
      {0, 0, 1000, "reset", {}, "screen saver off"},
      {2, -1, 1500, "", {}, "2 minutes: not after 1.5"},
      {2, 0, 1500, "", {LockReasonIdle}, "2 minutes: after 3"}};
  for (auto [minutes, every, millis, screenSaver, expected, what] : phases) {
    if (every < 0) nudge();
    EXPECT_EQ(SystemWatchLock(minutes), 1);
    for (int waited = 0; every > 0 && waited < millis; waited += every) nudge(), usleep(every * 1000);
    EXPECT_EQ(*screenSaver ? system((std::string("xset s ") + screenSaver).c_str()) : 0, 0);
    EXPECT_EQ(Collect(every > 0 ? 300 : millis), expected) << what;
  }
  XCloseDisplay(input);
  close(listener);
  unlink(silent.sun_path);
}
