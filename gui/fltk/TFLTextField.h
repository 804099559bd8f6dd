#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/fltk/TFLGadget.h"

class Fl_Input;

// A single-line text input; style bit 1 hides the characters. Each edit
// reports one GadgetAction; losing the focus reports GadgetLostFocus.
//
// A hidden input holds a passphrase: FLTK's buffer gets room for
// kSecretFieldCapacity bytes up front and the text is kept shorter, so typing
// never moves it (a move would free a copy unwiped), and the whole buffer is
// wiped whenever the text is replaced and when the gadget is freed.
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
  int32_t Free() override;

  static constexpr size_t kSecretFieldCapacity = 1024;

 private:
  void WipeSecret();

  char* secretBuffer = nullptr;  // FLTK's buffer of a hidden input
};
