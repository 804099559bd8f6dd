#pragma once

#include <cstdint>

#include "gui/fltk/TFLGadget.h"

class Fl_Input;

// A single-line text input; style bit 1 hides the characters. Each edit
// reports one GadgetAction; losing the focus reports GadgetLostFocus.
class TFLTextField : public TFLGadget {
 public:
  int32_t InitGadget() override;
  int32_t Class() override;
  String GetText() override;
  // Sets the text and selects all of it, insertion point at the start.
  int32_t SetText(const String& text) override;
  int32_t SetFont(const Ref<TGuiFont>& newFont) override;
  int32_t Activate(int32_t command) override;
  int32_t OnCallback() override;

 private:
};
