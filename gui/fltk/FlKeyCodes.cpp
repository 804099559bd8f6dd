#include "gui/fltk/FlKeyCodes.h"

#include <FL/Enumerations.H>

#include <span>
#include <utility>

namespace {
struct TKeyPair {
  int32_t flKey;
  int32_t code;
  bool backward;  // FlKeyFromKeyCode gives this key for the code
};

// Keys as key events report them. Keys the gadget layer does not name get 0;
// a code named by several keys (Return) translates back to the first of them.
constexpr TKeyPair kEventKeys[] = {
    {FL_BackSpace, 8, true},  {FL_Tab, 9, true},          {FL_Enter, 13, true},       {FL_Escape, 27, true},
    {FL_Page_Up, 33, true},   {FL_Page_Down, 34, true},   {FL_End, 35, true},         {FL_Home, 36, true},
    {FL_Left, 37, true},      {FL_Up, 38, true},          {FL_Right, 39, true},       {FL_Down, 40, true},
    {FL_Print, 42, true},     {FL_Insert, 45, true},      {FL_Delete, 46, true},      {FL_KP_Enter, 13, false},
    {FL_Shift_L, 160, false}, {FL_Shift_R, 161, false},   {FL_Control_L, 162, false}, {FL_Control_R, 163, false},
    {FL_Alt_L, 164, false},   {FL_Alt_R, 165, false},     {FL_Meta_L, 91, false},     {FL_Meta_R, 92, false},
    {FL_Pause, 0, false},     {FL_Scroll_Lock, 0, false}, {FL_Menu, 0, false},        {FL_Help, 0, false},
    {FL_Num_Lock, 0, false},  {FL_Caps_Lock, 0, false},
};

// Keys of shortcuts outside the ranges of letters, digits, arrows and
// function keys. ISO left tab is what X11 reports for Shift+Tab.
constexpr TKeyPair kShortcutKeys[] = {
    {FL_Escape, 27, true}, {FL_Tab, 9, true}, {0xFE20, 9, false}, {'[', 219, true}, {']', 221, true}, {'\\', 226, true},
};

// FLTK's state bits and the modifier mask, both ways.
constexpr std::pair<int32_t, int32_t> kModifierBits[] = {{FL_SHIFT, 1}, {FL_CTRL, 2}, {FL_ALT, 4}, {FL_META, 8}};

const TKeyPair* FindFlKey(std::span<const TKeyPair> table, int32_t flKey) {
  for (const TKeyPair& pair : table)
    if (pair.flKey == flKey) return &pair;
  return nullptr;
}

const TKeyPair* FindCode(std::span<const TKeyPair> table, int32_t code) {
  for (const TKeyPair& pair : table)
    if (pair.backward && pair.code == code) return &pair;
  return nullptr;
}
}  // namespace

int32_t ZelkKeyFromFlConst(int32_t flKey) {
  if (const TKeyPair* pair = FindFlKey(kEventKeys, flKey)) return pair->code;
  if (flKey >= FL_KP && flKey <= FL_KP + 9) return 96 + (flKey - FL_KP);
  // FLTK reports the keypad digits as FL_KP + '0' .. FL_KP + '9'; they get the
  // numeric-pad codes as well rather than passing through as raw key values.
  if (flKey >= FL_KP + '0' && flKey <= FL_KP + '9') return 96 + (flKey - FL_KP - '0');
  if (flKey >= FL_F + 1 && flKey <= FL_F + 12) return 112 + (flKey - FL_F - 1);
  return KeyCodeFromFlKey(flKey);
}

int32_t KeyCodeFromFlKey(int32_t flKey) {
  if (flKey >= '0' && flKey <= '9') return flKey;
  if (flKey >= 'a' && flKey <= '~') return flKey - 32;
  if (flKey >= FL_Left && flKey <= FL_Down) return 37 + (flKey - FL_Left);
  if (flKey >= FL_F + 1 && flKey <= FL_F + 13) return 112 + (flKey - FL_F - 1);
  const TKeyPair* pair = FindFlKey(kShortcutKeys, flKey);
  return pair ? pair->code : flKey;
}

int32_t FlKeyFromKeyCode(int32_t code) {
  if (const TKeyPair* pair = FindCode(kEventKeys, code)) return pair->flKey;
  if (const TKeyPair* pair = FindCode(kShortcutKeys, code)) return pair->flKey;
  if (code >= 65 && code <= 94) return code + 32;
  if (code >= 112 && code <= 123) return code + 0xFF4E;
  return code;
}

int32_t ModifiersFromFlState(int32_t state) {
  int32_t mods = 0;
  for (const auto& [flBit, bit] : kModifierBits)
    if (state & flBit) mods |= bit;
  return mods;
}

int32_t FlStateFromModifiers(int32_t mods) {
  int32_t state = 0;
  for (const auto& [flBit, bit] : kModifierBits)
    if (mods & bit) state |= flBit;
  return state;
}
