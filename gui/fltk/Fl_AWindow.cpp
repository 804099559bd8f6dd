#include "gui/fltk/Fl_AWindow.h"

#include <FL/Fl.H>

#include "gui/fltk/FlWidgetLayer.h"

namespace {
// Until its gadget installs the real callback the window reports to no one;
// FLTK's default window callback would hide it.
void IgnoreCallback(Fl_Widget*, void*) {}
}  // namespace

Fl_AWindow::Fl_AWindow(int w, int h, const char* label) : Fl_Double_Window(w, h, label) { callback(IgnoreCallback); }

int Fl_AWindow::handle(int event) {
  const int savedEvent = currentFlEvent;
  currentFlEvent = event;
  if (acceptsDrops && (event == FL_PASTE || event == FL_DND_ENTER || event == FL_DND_DRAG || event == FL_DND_LEAVE ||
                       event == FL_DND_RELEASE)) {
    do_callback();
    currentFlEvent = savedEvent;
    return 1;
  }
  currentFlEvent = 0;
  const int result = Fl_Double_Window::handle(event);
  currentFlEvent = savedEvent;
  return result;
}

void Fl_AWindow::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  do_callback();
}

void Fl_AWindow::SetMinimumSize(int w, int h) {
  minw = w;
  minh = h;
  ApplySizeRange();
}

void Fl_AWindow::SetMaximumSize(int w, int h) {
  maxw = w;
  maxh = h;
  ApplySizeRange();
}

void Fl_AWindow::ApplySizeRange() {
  if (minw != 0 || minh != 0) {
    resizable(this);
    size_range(minw, minh, maxw, maxh);
  } else {
    resizable(nullptr);
    size_range(w(), h(), w(), h());
  }
}
