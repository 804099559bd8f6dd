#pragma once

#include <cstdint>

#include "gui/fltk/TFLGadget.h"

class Fl_Button;

// Push, OK (Enter) and cancel (Escape) buttons, check boxes and radio buttons,
// the last two optionally drawn as toggling push buttons. A press reports
// GadgetAction with the button's state: 16 while checked, else 0.
class TFLButton : public TFLGadget {
 public:
  int32_t InitGadget() override;
  int32_t Class() override;
  int32_t State() override;
  int32_t SetText(const String& text) override;
  String GetText() override;
  int32_t SetSelected(int32_t flag) override;
  int32_t SetHotKey(int32_t key, int32_t modifiers) override;
  int32_t OnCallback() override;
  // Turns off every other radio button under the same parent.
  virtual int32_t ExcludeOthers();

  String currentText;

 private:
  bool IsRadio() const { return (style & 7) == ButtonRadio; }
};
