#pragma once

#include <FL/Fl_Double_Window.H>

// The top-level window of a window gadget. Its callback hears about close
// requests, moves and resizes (every resize runs it) and, when the window
// accepts dropped files, about drag-and-drop.
class Fl_AWindow : public Fl_Double_Window {
 public:
  Fl_AWindow(int w, int h, const char* label = nullptr);

  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

  // Size limits; 0 for a maximum means unlimited. With no minimum set the
  // window keeps its current size.
  void SetMinimumSize(int w, int h);
  void SetMaximumSize(int w, int h);
  void SetAcceptsDrops(bool accept) { acceptsDrops = accept; }
  bool AcceptsDrops() const { return acceptsDrops; }
  int MinimumWidth() const { return minw; }
  int MinimumHeight() const { return minh; }
  int MaximumWidth() const { return maxw; }
  int MaximumHeight() const { return maxh; }

 private:
  void ApplySizeRange();

  int minw = 0;
  int minh = 0;
  int maxw = 0;
  int maxh = 0;
  bool acceptsDrops = false;
};
