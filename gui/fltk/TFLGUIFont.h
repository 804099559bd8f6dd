#pragma once

#include <cstdint>

#include "gui/core/GuiDriver.h"

// A font of the FLTK back end: an FLTK font number and a pixel size. Style bit
// 4 (underlined) has no FLTK face; widgets that honour it draw the line.
class TFLGUIFont : public TGuiFont {
 public:
  int32_t CharWidth(int32_t character) override;

  int32_t flfont = 0;  // FLTK font number (face plus bold and italic)
  int32_t flsize = 12;
};

constexpr int32_t FontStyleBold = 1;
constexpr int32_t FontStyleItalic = 2;
constexpr int32_t FontStyleUnderline = 4;
constexpr int32_t FontStyleStrikeout = 8;

// Makes a font from a face name, a pixel size and style bits. Face names are
// matched without regard to case against the family table: serif, fixed-width
// and symbol families get FLTK's Times, Courier and Symbol faces, every other
// name FLTK's Helvetica. A size of 0 or less becomes 12.
Ref<TFLGUIFont> FlLoadFont(const String& name, int32_t size, int32_t style);
