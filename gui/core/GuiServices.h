#pragma once

#include <cstdint>

#include "gui/core/Gadget.h"
#include "runtime/Object.h"
#include "runtime/String.h"

// Services of the active GUI driver, and the little state the front end keeps
// about them: the last colour picked and the last pointer shape set. Without an
// installed driver each answers 0, the empty string or none.

String GuiUserName();
String GuiComputerName();
int32_t GuiLookupColor(int32_t index, uint8_t& red, uint8_t& green, uint8_t& blue);
// Runs the colour dialog; 1 and the picked colour remembered, or 0 when cancelled.
int32_t GuiRequestColor(int32_t r, int32_t g, int32_t b);
int32_t ColorRequestRed();
int32_t ColorRequestGreen();
int32_t ColorRequestBlue();
Ref<TGuiFont> GuiRequestFont(const Ref<TGuiFont>& font);
// Style bits 1, 2, 4 and 8 for the flags that are non-zero, in order.
Ref<TGuiFont> GuiLoadFont(const String& name, double size, int32_t bold = 0, int32_t italic = 0, int32_t underline = 0,
                          int32_t strikeout = 0);
Ref<TGuiFont> GuiLibraryFont(int32_t kind, double size, int32_t style);
String FontGetName(const Ref<TGuiFont>& font);
double FontGetSize(const Ref<TGuiFont>& font);
int32_t FontGetStyle(const Ref<TGuiFont>& font);
// Tells the driver only when the shape differs from the last one set.
int32_t GuiSetPointer(int32_t shape);
Ref<TIconStrip> IconStripLoad(const ObjectRef& source);
