#pragma once

#include <cstdint>

// Translations between FLTK key values and state bits and the gadget layer's
// key codes (virtual-key numbering: A-Z 65-90, digits 48-57, F1 112) and
// modifier mask (1 Shift, 2 Control, 4 Alt, 8 System).

// The key code of an FLTK key as reported in key events; 0 for keys the gadget
// layer does not name (Pause, Caps Lock, ...).
int32_t ZelkKeyFromFlConst(int32_t flKey);
// The general mapping used for shortcuts and as the fallback of ZelkKeyFromFlConst.
int32_t KeyCodeFromFlKey(int32_t flKey);
// The FLTK key for a key code (used to build FLTK shortcuts).
int32_t FlKeyFromKeyCode(int32_t code);

int32_t ModifiersFromFlState(int32_t state);
int32_t FlStateFromModifiers(int32_t mods);
