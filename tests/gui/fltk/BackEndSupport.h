#pragma once

// Shared set-up of the FLTK back-end tests: the layers started as the program
// starts them, a gadget class whose widget kind the test chooses, an event
// recorder on the emit chain, real X input through XTest and a pump.

// clang-format off
// gtest before Xlib: Xlib's None macro breaks gtest's headers.
#include <gtest/gtest.h>
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
// clang-format on

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "gui/core/Event.h"
#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/core/Hook.h"
#include "gui/fltk/TFLGadget.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "runtime/Runtime.h"
#include "system/SystemDriver.h"
#include "system/linux/LinuxSystemDriver.h"

namespace backend_test {

inline void StartBackEnd() {
  RuntimeInit();
  HookInit();
  EventInit();
  SystemInit();
  ASSERT_TRUE(LinuxSystemDriverInit()) << "these tests need an X display in DISPLAY";
  EventQueueInit();
  GadgetInit();
  FrontEndInit();
  FLTKBackEndInit();
}

// A gadget of any widget kind, counting its redraws and callbacks.
class KindGadget : public TFLGadget {
 public:
  explicit KindGadget(int32_t kind) { fltype = kind; }
  int32_t InitGadget() override { return InitWidget(); }
  int32_t Redraw() override {
    ++redraws;
    return TFLGadget::Redraw();
  }
  int32_t OnCallback() override {
    ++callbacks;
    return 0;
  }
  int redraws = 0;
  int callbacks = 0;
};

inline Ref<KindGadget> MakeKind(int32_t kind, int32_t x, int32_t y, int32_t w, int32_t h,
                                const Ref<TGadget>& group = nullptr, const String& text = String()) {
  auto gadget = New<KindGadget>(kind);
  gadget->CreateGadget(text, x, y, w, h, group, 0);
  return gadget;
}

// A top-level window gadget with a client group below a strip of originTop
// pixels, built the way window gadgets hold their children.
inline Ref<KindGadget> MakeWindowWithClient(int32_t x, int32_t y, int32_t w, int32_t h, int32_t originTop) {
  auto window = MakeKind(0, x, y, w, h);
  auto client = MakeKind(13, 0, originTop, w, h - originTop, window);
  window->client = client;
  window->RemoveChild(client);
  client->parent = window;
  return window;
}

// Runs FLTK until done() holds or five seconds have passed.
inline bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    XSync(fl_display, False);
    Fl::wait(0.01);
  }
  return true;
}

inline void Pump(int rounds = 10) {
  for (int i = 0; i < rounds; ++i) {
    XSync(fl_display, False);
    Fl::wait(0.01);
  }
}

inline void ShowAndWait(Fl_Window* window) {
  window->show();
  window->wait_for_expose();
  Pump();
}

// Records every emitted event and keeps it from the queue while it lives.
class EventRecorder {
 public:
  EventRecorder() { HookAdd(EventEmitHookId, Record, nullptr, 1000000); }
  ~EventRecorder() {
    HookRemove(EventEmitHookId, Record, nullptr);
    Seen().clear();
  }
  std::vector<Ref<TEvent>>& Events() { return Seen(); }
  std::vector<Ref<TEvent>> Of(int32_t id) const {
    std::vector<Ref<TEvent>> found;
    for (const auto& event : Seen())
      if (event->id == id) found.push_back(event);
    return found;
  }
  void Clear() { Seen().clear(); }

 private:
  static std::vector<Ref<TEvent>>& Seen() {
    static std::vector<Ref<TEvent>> seen;
    return seen;
  }
  static ObjectRef Record(int32_t, const ObjectRef& data, const ObjectRef&) {
    if (auto event = std::dynamic_pointer_cast<TEvent>(data)) Seen().push_back(event);
    return nullptr;
  }
};

// Real pointer and keyboard input on the test display.
inline void MovePointer(int x, int y) {
  XTestFakeMotionEvent(fl_display, -1, x, y, CurrentTime);
  XSync(fl_display, False);
}

inline void PressKey(KeySym keysym) {
  const KeyCode code = XKeysymToKeycode(fl_display, keysym);
  XTestFakeKeyEvent(fl_display, code, True, CurrentTime);
  XTestFakeKeyEvent(fl_display, code, False, CurrentTime);
  XSync(fl_display, False);
}

inline void ClickButton(unsigned button) {
  XTestFakeButtonEvent(fl_display, button, True, CurrentTime);
  XTestFakeButtonEvent(fl_display, button, False, CurrentTime);
  XSync(fl_display, False);
}

// A selection ("clipboard" or "primary") as another program sees it, in the
// given target (xclip's default text when none). xclip asks this process for
// the text, so FLTK keeps running while it waits.
inline std::string SelectionText(const char* selection, const char* target = nullptr) {
  int fds[2];
  if (pipe(fds) != 0) return "<pipe failed>";
  const pid_t child = fork();
  if (child == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    if (target)
      execlp("xclip", "xclip", "-o", "-selection", selection, "-t", target, static_cast<char*>(nullptr));
    else
      execlp("xclip", "xclip", "-o", "-selection", selection, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string text;
  for (int round = 0; round < 300; ++round) {
    pollfd ready{fds[0], POLLIN, 0};
    if (poll(&ready, 1, 0) > 0) {
      char chunk[256];
      const ssize_t got = read(fds[0], chunk, sizeof chunk);
      if (got <= 0) break;
      text.append(chunk, static_cast<size_t>(got));
      continue;
    }
    Fl::wait(0.01);
  }
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return text;
}

// An FLTK key press as FLTK's own dispatch would deliver it to widget.
inline int SendKeyDown(Fl_Widget* widget, int keysym, const char* text, int length, int state = 0) {
  Fl::e_keysym = keysym;
  Fl::e_text = const_cast<char*>(text);
  Fl::e_length = length;
  Fl::e_state = state;
  Fl::e_number = FL_KEYDOWN;
  return widget->handle(FL_KEYDOWN);
}

}  // namespace backend_test
