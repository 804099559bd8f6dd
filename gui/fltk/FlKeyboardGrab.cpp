#include "gui/fltk/FlKeyboardGrab.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <memory>

namespace {
constexpr double kRetrySeconds = 0.05;
constexpr int kAttempts = 100;

// The window the grab is for; the tracker notices when FLTK deletes it.
std::unique_ptr<Fl_Widget_Tracker> grabWindow;
bool grabbed = false;
int attemptsLeft = 0;

void Retry(void*);

void LetGo() {
  Fl::remove_timeout(Retry);
  if (grabbed && fl_display) {
    // Synchronously: "at once" means before any other client asks again.
    XUngrabKeyboard(fl_display, CurrentTime);
    XSync(fl_display, False);
  }
  grabbed = false;
  grabWindow.reset();
}

bool TryGrab() {
  if (!grabWindow || grabWindow->deleted() || !fl_display) {
    LetGo();
    return false;
  }
  auto* window = static_cast<Fl_Window*>(grabWindow->widget());
  // Only a window on the screen can hold the grab (else GrabNotViewable).
  if (window->shown() && window->visible()) {
    const int result = XGrabKeyboard(fl_display, fl_xid(window), True, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabSuccess) {
      grabbed = true;
      return true;
    }
  }
  if (--attemptsLeft > 0) Fl::add_timeout(kRetrySeconds, Retry);
  return false;
}

void Retry(void*) { TryGrab(); }
}  // namespace

bool FlGrabKeyboard(Fl_Window* window) {
  LetGo();
  if (!window) return false;
  grabWindow = std::make_unique<Fl_Widget_Tracker>(window);
  attemptsLeft = kAttempts;
  return TryGrab();
}

void FlReleaseKeyboardOf(Fl_Window* window) {
  if (grabWindow && (grabWindow->deleted() || grabWindow->widget() == window)) LetGo();
}

bool FlKeyboardGrabbed() { return grabbed; }
