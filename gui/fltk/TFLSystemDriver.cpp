#include "gui/fltk/TFLSystemDriver.h"

#include "gui/core/EventQueue.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/FlNativeGlue.h"
#include "gui/fltk/FlTimers.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "system/linux/LinuxSystemDriver.h"

namespace {
void ReplaceAll(String& text, const String& from, const String& to) {
  for (size_t at = text.find(from); at != String::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

String ChooserResult(const std::optional<std::string>& chosen) { return chosen ? WidenString(*chosen) : String(); }
}  // namespace

TFLSystemDriver::TFLSystemDriver() : NativeDriver(systemDriver) {}

int32_t TFLSystemDriver::Poll() {
  if (NativeDriver) NativeDriver->Poll();
  return 0;
}

int32_t TFLSystemDriver::Wait() {
  if (NativeDriver) NativeDriver->Wait();
  return 0;
}

int32_t TFLSystemDriver::MoveMouse(int32_t x, int32_t y) {
  if (NativeDriver) NativeDriver->MoveMouse(x, y);
  return 0;
}

int32_t TFLSystemDriver::SetMouseVisible(int32_t visible) {
  if (NativeDriver) NativeDriver->SetMouseVisible(visible);
  return 0;
}

int32_t TFLSystemDriver::OpenURL(const String& url) { return NativeDriver ? NativeDriver->OpenURL(url) : 0; }

int32_t TFLSystemDriver::StartTimer(int32_t ms, const ObjectRef& source) {
  FlStartTimer(ms, source);
  return 0;
}

int32_t TFLSystemDriver::StopTimer(const ObjectRef& source) {
  FlStopTimer(source);
  return 0;
}

int32_t TFLSystemDriver::WatchLock(int32_t idleMinutes) {
  return NativeDriver ? NativeDriver->WatchLock(idleMinutes) : 0;
}

int32_t TFLSystemDriver::Notify(const String& text, int32_t serious) {
  FlMessageBox(NarrowString(text), serious != 0 ? 1 : 0);
  return 0;
}

int32_t TFLSystemDriver::Confirm(const String& text, int32_t) { return FlMessageBox(NarrowString(text), 2); }

int32_t TFLSystemDriver::Proceed(const String& text, int32_t) { return FlMessageBox(NarrowString(text), 3) - 1; }

String TFLSystemDriver::FileFilter(const String& extensions) {
  if (extensions.empty()) return String();
  if (extensions.find(u':') == String::npos) return S("(*.{") + extensions + S("})");
  String filter = extensions;
  ReplaceAll(filter, S(":"), S("(*.{"));
  ReplaceAll(filter, S(";"), S("})\t"));
  filter += S("})");
  ReplaceAll(filter, S("*.{*}"), S("*"));
  return filter;
}

String TFLSystemDriver::RequestFile(const String& text, const String& extensions, int32_t save, const String& path) {
  return ChooserResult(
      FlFileChooser(NarrowString(text), NarrowString(FileFilter(extensions)), NarrowString(path), save));
}

String TFLSystemDriver::RequestDir(const String& text, const String& path) {
  return ChooserResult(FlDirChooser(NarrowString(text), NarrowString(path)));
}

int32_t TFLSystemDriver::Emit(void* nativeEvent, const ObjectRef& source) {
  auto native = std::dynamic_pointer_cast<TLinuxSystemDriver>(NativeDriver);
  if (!native || !nativeEvent) return 0;
  return native->Emit(static_cast<union _XEvent*>(nativeEvent), source);
}

int32_t TFLSystemDriver::IsFullScreen() { return 0; }

Ref<TFLGuiSystemDriver> TFLGuiSystemDriver::Create(const Ref<TFLTKGUIDriver>& gui) {
  auto driver = New<TFLGuiSystemDriver>();
  driver->gui = gui;
  return driver;
}

int32_t TFLGuiSystemDriver::Poll() {
  if (gui) gui->RefreshWidgets();
  FlWaitEvents(0);
  if (gui) gui->FreePointers();
  GadgetFlushEvents();
  return 0;
}

int32_t TFLGuiSystemDriver::Wait() {
  // The non-blocking pass may already have produced events (a button's
  // release read together with its press); blocking then would hold them
  // back until the next, unrelated X event.
  Poll();
  if (EventQueueLength() > 0) return 0;
  FlWaitEvents(-1);
  return 0;
}
