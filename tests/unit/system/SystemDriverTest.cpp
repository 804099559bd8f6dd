#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Errors.h"
#include "system/SystemDriver.h"
#include "system/TestSeams.h"
#include "tests/unit/NullMethod.h"
#include "tests/unit/TempDir.h"

namespace {
// Records what reaches it; Poll can run a nested pump or fail.
class TRecordingDriver : public TSystemDriver {
 public:
  int32_t Poll() override {
    ++polls;
    if (failPoll) throw TRuntimeError("poll failed");
    if (nest) {
      nestedResults.push_back(SystemPollEvents());
      nestedResults.push_back(SystemWaitEvents());
    }
    return 0;
  }
  int32_t Wait() override {
    ++waits;
    if (nest) nestedResults.push_back(SystemPollEvents());
    return 0;
  }
  int32_t SetMouseVisible(int32_t visible) override {
    visibility.push_back(visible);
    return 0;
  }
  int32_t Confirm(const String& text, int32_t serious) override {
    lastText = text;
    return serious ? 1 : 0;
  }
  int32_t OpenURL(const String& url) override {
    lastText = url;
    return 5;
  }
  int polls = 0;
  int waits = 0;
  bool nest = false;
  bool failPoll = false;
  std::vector<int32_t> nestedResults;
  std::vector<int32_t> visibility;
  String lastText;
};

class SystemDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    SystemInit();
    previous = systemDriver;
    driver = New<TRecordingDriver>();
    systemDriver = driver;
  }
  void TearDown() override { systemDriver = previous; }
  Ref<TSystemDriver> previous;
  Ref<TRecordingDriver> driver;
};

// A fake clock for the sleep: each sleep advances it by what was asked, or by
// a part of it to play an early wake-up.
int32_t fakeNow = 0;
int wakeDivisor = 1;
std::vector<uint32_t> sleeps;
int32_t FakeClock() { return fakeNow; }
void FakeSleep(uint32_t micros) {
  sleeps.push_back(micros);
  uint32_t advance = micros / 1000 / static_cast<uint32_t>(wakeDivisor);
  if (advance == 0 && micros > 0) advance = 1;
  fakeNow = static_cast<int32_t>(static_cast<uint32_t>(fakeNow) + advance);
}

void StartFakeSleep(int32_t now, int divisor) {
  fakeNow = now;
  wakeDivisor = divisor;
  sleeps.clear();
  SystemSleepUseClock(FakeClock, FakeSleep);
}
}  // namespace

TEST_F(SystemDriverTest, APumpStartedInsideAPumpDoesNothing) {
  driver->nest = true;
  EXPECT_EQ(SystemPollEvents(), 0);
  EXPECT_EQ(SystemWaitEvents(), 0);
  EXPECT_EQ(driver->polls, 1);
  EXPECT_EQ(driver->waits, 1);
  EXPECT_EQ(driver->nestedResults, (std::vector<int32_t>{0, 0, 0}));

  // A pump that fails does not leave the flag set.
  driver->nest = false;
  driver->failPoll = true;
  EXPECT_THROW(SystemPollEvents(), TRuntimeError);
  driver->failPoll = false;
  SystemPollEvents();
  EXPECT_EQ(driver->polls, 3);
}

TEST_F(SystemDriverTest, EachModuleFunctionReachesItsOwnOperationOfTheCurrentDriver) {
  // The driver SystemInit installs raises the null-method error of exactly the
  // operation a module function stands for; a pump that raised is not left busy.
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Poll", [] { SystemPollEvents(); }},
      {"Wait", [] { SystemWaitEvents(); }},
      {"MoveMouse", [] { SystemMoveMouse(1, 2); }},
      {"SetMouseVisible", [] { SystemShowMouse(); }},
      {"SetMouseVisible", [] { SystemHideMouse(); }},
      {"Notify", [] { SystemNotify(S("t"), 0); }},
      {"Confirm", [] { SystemConfirm(S("t"), 0); }},
      {"Proceed", [] { SystemProceed(S("t"), 0); }},
      {"RequestFile", [] { SystemRequestFile(S("t"), S("*"), 0, S("")); }},
      {"RequestDir", [] { SystemRequestDir(S("t"), S("")); }},
      {"OpenURL", [] { SystemOpenURL(S("http:x")); }},
      {"StartTimer", [] { SystemStartTimer(5, nullptr); }},
      {"StopTimer", [] { SystemStopTimer(nullptr); }},
      {"WatchLock", [] { SystemWatchLock(5); }},
  };
  ASSERT_NE(previous, nullptr);
  systemDriver = previous;
  for (const auto& [operation, call] : cases) {
    EXPECT_EQ(NullMethodMessage(call), std::string("Null method called: TSystemDriver.") + operation);
    EXPECT_EQ(SystemPumping(), 0) << operation;
  }

  // A replacement driver gets the arguments, translated where the module says so.
  systemDriver = driver;
  EXPECT_EQ(SystemConfirm(S("Delete?"), 1), 1);
  EXPECT_EQ(driver->lastText, S("Delete?"));
  EXPECT_EQ(SystemConfirm(S("Delete?"), 0), 0);
  SystemShowMouse();
  SystemHideMouse();
  EXPECT_EQ(driver->visibility, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(SystemOpenURL(S("example.org/a b")), 5);
  EXPECT_EQ(driver->lastText, S("http:example.org/a b"));
  SystemInit();
  EXPECT_EQ(systemDriver, driver) << "a later start-up keeps the installed driver";
}

TEST(SystemURL, PrefixedUrlsPassUnchangedAndOtherTextIsAPathOrAnAddress) {
  TempDir dir;
  TempDir::Write("notes.txt", "n");
  mkdir("sub", 0700);
  const String here = WidenString(dir.path());

  EXPECT_EQ(SystemNormaliseURL(S("HTTPS://Example.org/x#y")), S("HTTPS://Example.org/x#y"));
  EXPECT_EQ(SystemNormaliseURL(S("Http:notes.txt")), S("Http:notes.txt"));
  EXPECT_EQ(SystemNormaliseURL(S("fILe:/etc")), S("fILe:/etc"));
  EXPECT_EQ(SystemNormaliseURL(S("notes.txt#s2")), S("file:") + here + S("/notes.txt#s2"));
  EXPECT_EQ(SystemNormaliseURL(S("./sub/../notes.txt")), S("file:") + here + S("/notes.txt"));
  EXPECT_EQ(SystemNormaliseURL(S("sub/")), S("file:") + here + S("/sub"));
  EXPECT_EQ(SystemNormaliseURL(here + S("/sub/./#top")), S("file:") + here + S("/sub#top"));
  EXPECT_EQ(SystemNormaliseURL(S("missing.txt#a")), S("http:missing.txt#a"));
  EXPECT_EQ(SystemNormaliseURL(S("mailto:me@example.org")), S("http:mailto:me@example.org"));
  EXPECT_EQ(SystemNormaliseURL(S("www.example.org/software.php#quorvel")),
            S("http:www.example.org/software.php#quorvel"));
  // Shorter than a prefix: never a match.
  EXPECT_EQ(SystemNormaliseURL(S("http")), S("http:http"));
  EXPECT_EQ(SystemNormaliseURL(S("https")), S("http:https"));
}

TEST(SystemSleep, EdgeValuesAndLongWaitsSleepTheRightTime) {
  StartFakeSleep(1000, 1);
  SystemSleepMillis(-5);
  EXPECT_TRUE(sleeps.empty());
  SystemSleepMillis(0);
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{0})) << "zero yields once";

  // An early wake-up sleeps again for what is left.
  StartFakeSleep(1000, 2);
  SystemSleepMillis(25);
  EXPECT_EQ(fakeNow, 1025);
  ASSERT_GE(sleeps.size(), 2u);
  EXPECT_EQ(sleeps[0], 25000u);
  EXPECT_EQ(sleeps[1], 13000u);

  // The longest wait, across the clock's 32-bit wrap: no overflow, no sleep
  // call beyond a second, and exactly the asked time in total.
  StartFakeSleep(INT32_MAX - 5, 1);
  SystemSleepMillis(INT32_MAX);
  EXPECT_EQ(static_cast<uint32_t>(fakeNow) - static_cast<uint32_t>(INT32_MAX - 5), static_cast<uint32_t>(INT32_MAX));
  uint64_t total = 0;
  for (uint32_t micros : sleeps) {
    ASSERT_GT(micros, 0u);
    ASSERT_LE(micros, 1000000u);
    total += micros;
  }
  EXPECT_EQ(total, static_cast<uint64_t>(INT32_MAX) * 1000u);

  SystemSleepUseClock(nullptr, nullptr);
  auto start = std::chrono::steady_clock::now();
  SystemSleepMillis(20);
  auto slept = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GE(slept.count(), 19);
}

TEST(SystemClock, CountsFromBootNotFromStart) {
  std::string uptime = TempDir::Read("/proc/uptime");
  double seconds = std::stod(uptime);
  int64_t difference = static_cast<int64_t>(seconds * 1000) - SystemClockMillis();
  EXPECT_LT(std::llabs(difference), 5000);
}

TEST(SystemTexts, DateAndTimeUseTheirFormats) {
  std::string date = NarrowString(SystemDateText());
  std::string time = NarrowString(SystemTimeText());
  EXPECT_TRUE(std::regex_match(date, std::regex("[0-9]{2} [A-Z][a-z]{2} [0-9]{4}"))) << date;
  EXPECT_TRUE(std::regex_match(time, std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"))) << time;
}

TEST(SystemEndDeathTest, EndProgramExitsWithZeroAndRunsExitHandlers) {
  EXPECT_EXIT(
      {
        atexit([] { fputs("handler ran", stderr); });
        SystemEndProgram();
      },
      testing::ExitedWithCode(0), "handler ran");
}
