#pragma once

#include <cstdint>

#include "gui/fltk/TFLGadget.h"

// A static text, optionally framed; style 3 is a separator line.
class TFLLabel : public TFLGadget {
 public:
  int32_t InitGadget() override;
  int32_t Class() override;
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  int32_t SetText(const String& text) override;
  // A separator is 2 pixels across its shorter side, whatever it is given.
  int32_t SetRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  // The underlined style draws a line under the text; other styles remove it.
  int32_t SetFont(const Ref<TGuiFont>& newFont) override;
  // A label without a filled box does not paint its background: the area
  // under it is redrawn too, so that old text, colour and underline go.
  int32_t Redraw() override;
};
