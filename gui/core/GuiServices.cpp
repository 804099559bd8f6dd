#include "gui/core/GuiServices.h"

#include "gui/core/GuiDriver.h"

namespace {

int32_t pickedColor = 0;    // 0xRRGGBB
int32_t pointerShape = -1;  // as last passed to the driver

}  // namespace

String GuiUserName() { return GuiDriver ? GuiDriver->UserName() : String(); }
String GuiComputerName() { return GuiDriver ? GuiDriver->ComputerName() : String(); }

int32_t GuiLookupColor(int32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) {
  return GuiDriver ? GuiDriver->LookupColor(index, red, green, blue) : 0;
}

int32_t GuiRequestColor(int32_t r, int32_t g, int32_t b) {
  if (!GuiDriver) return 0;
  int32_t picked = GuiDriver->RequestColor(r & 0xFF, g & 0xFF, b & 0xFF);
  if (picked == 0) return 0;
  pickedColor = picked;
  return 1;
}

int32_t ColorRequestRed() { return (pickedColor >> 16) & 0xFF; }
int32_t ColorRequestGreen() { return (pickedColor >> 8) & 0xFF; }
int32_t ColorRequestBlue() { return pickedColor & 0xFF; }

Ref<TGuiFont> GuiRequestFont(const Ref<TGuiFont>& font) { return GuiDriver ? GuiDriver->RequestFont(font) : nullptr; }

Ref<TGuiFont> GuiLoadFont(const String& name, double size, int32_t bold, int32_t italic, int32_t underline,
                          int32_t strikeout) {
  if (!GuiDriver) return nullptr;
  int32_t style = (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeout ? 8 : 0);
  return GuiDriver->LoadFontWithDouble(name, size, style);
}

Ref<TGuiFont> GuiLibraryFont(int32_t kind, double size, int32_t style) {
  return GuiDriver ? GuiDriver->LibraryFont(kind, size, style) : nullptr;
}

String FontGetName(const Ref<TGuiFont>& font) { return font ? font->name : String(); }
double FontGetSize(const Ref<TGuiFont>& font) { return font ? static_cast<double>(font->size) : 0.0; }
int32_t FontGetStyle(const Ref<TGuiFont>& font) { return font ? font->style : 0; }

int32_t GuiSetPointer(int32_t shape) {
  if (!GuiDriver || shape == pointerShape) return 0;
  pointerShape = shape;
  return GuiDriver->SetPointer(shape);
}

Ref<TIconStrip> IconStripLoad(const ObjectRef& source) {
  return GuiDriver ? GuiDriver->LoadIconStrip(source) : nullptr;
}
