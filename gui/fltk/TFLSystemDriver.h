#pragma once

#include <cstdint>

#include "system/SystemDriver.h"

class TFLTKGUIDriver;

// The system driver that shows FLTK dialogs and hands everything else (event
// pumping, the pointer, URLs) to the driver it replaced.
class TFLSystemDriver : public TSystemDriver {
 public:
  // Keeps the current systemDriver as NativeDriver.
  TFLSystemDriver();

  int32_t Poll() override;
  int32_t Wait() override;
  int32_t MoveMouse(int32_t x, int32_t y) override;
  int32_t SetMouseVisible(int32_t visible) override;
  int32_t Notify(const String& text, int32_t serious) override;
  int32_t Confirm(const String& text, int32_t serious) override;
  int32_t Proceed(const String& text, int32_t serious) override;
  String RequestFile(const String& text, const String& extensions, int32_t save, const String& path) override;
  String RequestDir(const String& text, const String& path) override;
  int32_t OpenURL(const String& url) override;
  // Timers run on FLTK's clock, inside FLTK's wait.
  int32_t StartTimer(int32_t ms, const ObjectRef& source) override;
  int32_t StopTimer(const ObjectRef& source) override;
  // The native driver watches; 0 without one.
  int32_t WatchLock(int32_t idleMinutes) override;
  // Raises the events of a native X event through the native driver, when it is
  // the Linux one; 0 otherwise.
  virtual int32_t Emit(void* nativeEvent, const ObjectRef& source);
  virtual int32_t IsFullScreen();

  // The file chooser filter for a list of extensions: "txt,log" gives
  // "(*.{txt,log})"; "Text:txt;All:*" gives "Text(*.{txt})", a tab, "All(*)".
  static String FileFilter(const String& extensions);

  Ref<TSystemDriver> NativeDriver;
};

// The FLTK system driver installed by the GUI driver: it pumps events through
// FLTK's loop and works off the GUI driver's deferred redraws and frees.
class TFLGuiSystemDriver : public TFLSystemDriver {
 public:
  // Refreshes dirty widgets, handles pending FLTK events without blocking,
  // frees deferred memory and emits deferred gadget events.
  int32_t Poll() override;
  // Polls, then sleeps in FLTK's loop until something happens.
  int32_t Wait() override;

  static Ref<TFLGuiSystemDriver> Create(const Ref<TFLTKGUIDriver>& gui);

  Ref<TFLTKGUIDriver> gui;
};
