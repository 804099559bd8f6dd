#pragma once

#include "gui/fltk/TFLGadget.h"

// The desktop gadget: FLTK's screen work area, without a widget of its own.
class TFLDesktop : public TFLGadget {
 public:
  // Takes the work area as the gadget's rectangle.
  int32_t InitGadget() override;
  int32_t Class() override;
  // Runs InitGadget and returns the gadget.
  Ref<TGadget> CreateDesktop();
};
