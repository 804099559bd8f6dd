#include "system/SystemDriver.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "runtime/Errors.h"
#include "system/TestSeams.h"

Ref<TSystemDriver> systemDriver;

int32_t TSystemDriver::Poll() { throw TNullMethodException("TSystemDriver.Poll"); }
int32_t TSystemDriver::Wait() { throw TNullMethodException("TSystemDriver.Wait"); }
int32_t TSystemDriver::MoveMouse(int32_t, int32_t) { throw TNullMethodException("TSystemDriver.MoveMouse"); }
int32_t TSystemDriver::SetMouseVisible(int32_t) { throw TNullMethodException("TSystemDriver.SetMouseVisible"); }
int32_t TSystemDriver::Notify(const String&, int32_t) { throw TNullMethodException("TSystemDriver.Notify"); }
int32_t TSystemDriver::Confirm(const String&, int32_t) { throw TNullMethodException("TSystemDriver.Confirm"); }
int32_t TSystemDriver::Proceed(const String&, int32_t) { throw TNullMethodException("TSystemDriver.Proceed"); }
String TSystemDriver::RequestFile(const String&, const String&, int32_t, const String&) {
  throw TNullMethodException("TSystemDriver.RequestFile");
}
String TSystemDriver::RequestDir(const String&, const String&) {
  throw TNullMethodException("TSystemDriver.RequestDir");
}
int32_t TSystemDriver::OpenURL(const String&) { throw TNullMethodException("TSystemDriver.OpenURL"); }
int32_t TSystemDriver::StartTimer(int32_t, const ObjectRef&) { throw TNullMethodException("TSystemDriver.StartTimer"); }
int32_t TSystemDriver::StopTimer(const ObjectRef&) { throw TNullMethodException("TSystemDriver.StopTimer"); }
int32_t TSystemDriver::WatchLock(int32_t) { throw TNullMethodException("TSystemDriver.WatchLock"); }

namespace {
bool systemReady = false;
bool pumpBusy = false;

// Clears the busy flag however the driver's pump ends, a thrown error included.
class PumpGuard {
 public:
  PumpGuard() { pumpBusy = true; }
  ~PumpGuard() { pumpBusy = false; }
};

void RealSleepMicros(uint32_t micros) { usleep(micros); }

// Replaced only by tests, possibly while another thread sleeps; a sleep reads each once.
std::atomic<TSleepClock> sleepClock = SystemClockMillis;
std::atomic<TSleepMicros> sleepMicros = RealSleepMicros;

bool StartsWithLower(const String& text, const char* prefix) {
  for (size_t i = 0; prefix[i] != 0; ++i) {
    if (i >= text.size()) return false;
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<char16_t>(prefix[i])) return false;
  }
  return true;
}

// The absolute form of path: relative to the working directory, with "." and
// ".." components resolved by name (symbolic links are not followed).
std::string AbsolutePath(const std::string& path) {
  std::string full;
  if (path.empty() || path[0] != '/') {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (buffer.size() > (1u << 20)) return path;
      buffer.resize(buffer.size() * 2);
    }
    full = std::string(buffer.data()) + "/";
  }
  full += path;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= full.size()) {
    size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    std::string part = full.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const auto& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

String LocalTimeText(const char* format) {
  time_t now = time(nullptr);
  struct tm local;
  char buffer[256];
  if (localtime_r(&now, &local) == nullptr) return String();
  size_t length = strftime(buffer, sizeof buffer, format, &local);
  return WidenString(std::string_view(buffer, length));
}
}  // namespace

void SystemInit() {
  if (systemReady) return;
  systemReady = true;
  if (!systemDriver) systemDriver = New<TSystemDriver>();
}

int32_t SystemPollEvents() {
  if (pumpBusy) return 0;
  PumpGuard guard;
  systemDriver->Poll();
  return 0;
}

int32_t SystemWaitEvents() {
  if (pumpBusy) return 0;
  PumpGuard guard;
  systemDriver->Wait();
  return 0;
}

int32_t SystemPumping() { return pumpBusy ? 1 : 0; }

int32_t SystemNotify(const String& text, int32_t serious) {
  systemDriver->Notify(text, serious);
  return 0;
}

int32_t SystemConfirm(const String& text, int32_t serious) { return systemDriver->Confirm(text, serious); }

int32_t SystemProceed(const String& text, int32_t serious) { return systemDriver->Proceed(text, serious); }

String SystemRequestFile(const String& text, const String& extensions, int32_t save, const String& path) {
  return systemDriver->RequestFile(text, extensions, save, path);
}

String SystemRequestDir(const String& text, const String& path) { return systemDriver->RequestDir(text, path); }

int32_t SystemOpenURL(const String& url) { return systemDriver->OpenURL(SystemNormaliseURL(url)); }
int32_t SystemStartTimer(int32_t ms, const ObjectRef& source) { return systemDriver->StartTimer(ms, source); }
int32_t SystemStopTimer(const ObjectRef& source) { return systemDriver->StopTimer(source); }
int32_t SystemWatchLock(int32_t idleMinutes) { return systemDriver->WatchLock(idleMinutes); }

int32_t SystemMoveMouse(int32_t x, int32_t y) {
  systemDriver->MoveMouse(x, y);
  return 0;
}

int32_t SystemShowMouse() {
  systemDriver->SetMouseVisible(1);
  return 0;
}

int32_t SystemHideMouse() {
  systemDriver->SetMouseVisible(0);
  return 0;
}

String SystemNormaliseURL(const String& url) {
  if (StartsWithLower(url, "http:") || StartsWithLower(url, "file:") || StartsWithLower(url, "https:")) return url;
  size_t hash = url.find(u'#');
  String path = hash == String::npos ? url : url.substr(0, hash);
  String anchor = hash == String::npos ? String() : url.substr(hash);
  std::string absolute = AbsolutePath(NarrowString(path));
  struct stat info;
  if (stat(absolute.c_str(), &info) == 0) return S("file:") + WidenString(absolute) + anchor;
  return S("http:") + path + anchor;
}

String SystemDateText() { return LocalTimeText("%d %b %Y"); }

String SystemTimeText() { return LocalTimeText("%H:%M:%S"); }

void SystemSleepMillis(int32_t ms) {
  if (ms < 0) return;
  // The clock wraps in 32 bits, so measure the time passed as a wrapped
  // difference, and keep the remaining time in 64 bits: remaining × 1000 in
  // microseconds does not fit 32 bits for long waits.
  const TSleepClock clock = sleepClock;
  const TSleepMicros sleeper = sleepMicros;
  const int32_t start = clock();
  bool slept = false;
  for (;;) {
    uint32_t passed = static_cast<uint32_t>(clock()) - static_cast<uint32_t>(start);
    int64_t remaining = static_cast<int64_t>(ms) - static_cast<int64_t>(passed);
    if (remaining <= 0) break;
    // At most one second per call: usleep need not accept more.
    int64_t chunk = remaining < 1000 ? remaining : 1000;
    sleeper(static_cast<uint32_t>(chunk * 1000));
    slept = true;
  }
  if (!slept) sleeper(0);
}

void SystemSleepUseClock(TSleepClock clock, TSleepMicros sleeper) {
  sleepClock = clock ? clock : SystemClockMillis;
  sleepMicros = sleeper ? sleeper : RealSleepMicros;
}

void SystemEndProgram() { exit(0); }
