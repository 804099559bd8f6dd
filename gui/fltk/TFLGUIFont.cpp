#include "gui/fltk/TFLGUIFont.h"

#include <FL/Enumerations.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cctype>
#include <string>

namespace {
struct FontFamily {
  const char* name;
  Fl_Font face;
};

// Families by name fragment, first match wins.
constexpr FontFamily fontFamilies[] = {
    {"serif", FL_TIMES},     {"times", FL_TIMES},   {"georgia", FL_TIMES},   {"mono", FL_COURIER},
    {"courier", FL_COURIER}, {"fixed", FL_COURIER}, {"console", FL_COURIER}, {"symbol", FL_SYMBOL},
};

bool IsSansName(const std::string& lower) { return lower.find("sans") != std::string::npos; }

Fl_Font FaceForName(const String& name) {
  std::string lower = NarrowString(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  for (const FontFamily& family : fontFamilies) {
    if (lower.find(family.name) == std::string::npos) continue;
    // "FreeSans" and "DejaVu Sans Mono" contain "sans": only the serif match is wrong for them.
    if (family.face == FL_TIMES && IsSansName(lower)) continue;
    return family.face;
  }
  return FL_HELVETICA;
}
}  // namespace

int32_t TFLGUIFont::CharWidth(int32_t character) {
  fl_font(flfont, flsize);
  const char c = char(character & 0xFF);
  return int32_t(fl_width(&c, 1) + 0.5);
}

Ref<TFLGUIFont> FlLoadFont(const String& name, int32_t size, int32_t style) {
  auto font = New<TFLGUIFont>();
  const int32_t pixels = size > 0 ? size : 12;
  Fl_Font face = FaceForName(name);
  // FLTK numbers the bold and italic faces right after each base face.
  if (face != FL_SYMBOL) {
    if (style & FontStyleBold) face += FL_BOLD;
    if (style & FontStyleItalic) face += FL_ITALIC;
  }
  font->name = name;
  font->style = style;
  font->size = font->flsize = pixels;
  font->handle = font->flfont = face;
  return font;
}
