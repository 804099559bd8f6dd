#pragma once

#include <cstdint>

#include "gui/fltk/TFLGadget.h"

class Fl_Panel;

// A group of gadgets with an optional frame; style 3 is a titled group box
// whose children start below the title, style bit 4 makes the panel itself
// receive mouse and key events. A window's client area is a panel too.
class TFLPanel : public TFLGadget {
 public:
  int32_t InitGadget() override;
  int32_t Class() override;
  int32_t SetEnabled(int32_t flag) override;
  int32_t Rethink() override;
  int32_t SetFLImage(Fl_Image* flImage) override;
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  int32_t SetSensitivity(int32_t mask) override;
  int32_t OnMouse() override;

 private:
};
