// clang-format off
// gtest before Xlib: Xlib's None macro breaks gtest's headers.
#include <gtest/gtest.h>
#include <FL/Enumerations.H>
#include <X11/Xlib.h>
// clang-format on

#include "gui/fltk/FlKeyCodes.h"

namespace {

// FLTK's key values are X keysyms, so X's own key names are an outside
// reference for both directions (FL_Help is the one exception, left out). Codes are the virtual-key numbers. Flags:
// key events report the code (E), the code translates back to the key (B),
// shortcuts read the key as the code (S; without S they keep the key value).
constexpr int E = 1, B = 2, S = 4;
struct KeyRow {
  const char* name;
  int32_t code;
  int ways;
};

TEST(FlKeyCodes, NamedKeysGetTheirVirtualKeyCodesAndBack) {
  const KeyRow table[] = {
      {"BackSpace", 8, E | B},
      {"Tab", 9, E | B | S},
      {"Return", 13, E | B},
      {"Escape", 27, E | B | S},
      {"Prior", 33, E | B},
      {"Next", 34, E | B},
      {"End", 35, E | B},
      {"Home", 36, E | B},
      {"Left", 37, E | B | S},
      {"Up", 38, E | B | S},
      {"Right", 39, E | B | S},
      {"Down", 40, E | B | S},
      {"Print", 42, E | B},
      {"Insert", 45, E | B},
      {"Delete", 46, E | B},
      {"a", 65, E | B | S},
      {"m", 77, E | B | S},
      {"z", 90, E | B | S},
      {"F1", 112, E | B | S},
      {"F12", 123, E | B | S},
      {"F13", 124, S},
      {"0", 48, E | B | S},
      {"9", 57, E | B | S},
      {"space", 32, E | S},
      {"asciitilde", 94, E | S},
      {"bracketleft", 219, E | B | S},
      {"bracketright", 221, E | B | S},
      {"backslash", 226, E | B | S},
      {"ISO_Left_Tab", 9, E | S},
      {"KP_Enter", 13, E},
      {"KP_0", 96, E},
      {"KP_7", 103, E},
      {"KP_Space", 96, E},
      {"KP_Tab", 105, E},
      {"Shift_L", 160, E},
      {"Shift_R", 161, E},
      {"Control_L", 162, E},
      {"Control_R", 163, E},
      {"Alt_L", 164, E},
      {"Alt_R", 165, E},
      {"Meta_L", 91, E},
      {"Meta_R", 92, E},
      {"Pause", 0, E},
      {"Scroll_Lock", 0, E},
      {"Num_Lock", 0, E},
      {"Caps_Lock", 0, E},
      {"Menu", 0, E},
  };
  for (const KeyRow& row : table) {
    const auto key = static_cast<int32_t>(XStringToKeysym(row.name));
    ASSERT_NE(key, 0) << row.name;
    if (row.ways & E) {
      EXPECT_EQ(ZelkKeyFromFlConst(key), row.code) << row.name;
    }
    if (row.ways & B) {
      EXPECT_EQ(FlKeyFromKeyCode(row.code), key) << row.name;
    }
    EXPECT_EQ(KeyCodeFromFlKey(key), (row.ways & S) ? row.code : key) << row.name;
  }
  // Codes that name no key of their own pass through unchanged.
  for (int32_t code : {64, 95, 160, 300}) EXPECT_EQ(FlKeyFromKeyCode(code), code);
}

TEST(FlKeyCodes, ModifierMasksTranslateBothWays) {
  EXPECT_EQ(ModifiersFromFlState(0), 0);
  EXPECT_EQ(ModifiersFromFlState(FL_SHIFT), 1);
  EXPECT_EQ(ModifiersFromFlState(FL_CTRL), 2);
  EXPECT_EQ(ModifiersFromFlState(FL_ALT), 4);
  EXPECT_EQ(ModifiersFromFlState(FL_META), 8);
  // Lock keys and mouse buttons are not modifiers.
  EXPECT_EQ(ModifiersFromFlState(FL_SHIFT | FL_CAPS_LOCK | FL_NUM_LOCK | FL_BUTTON1), 1);
  for (int32_t mods = 0; mods < 16; ++mods) EXPECT_EQ(ModifiersFromFlState(FlStateFromModifiers(mods)), mods);
  EXPECT_EQ(FlStateFromModifiers(1 | 4), FL_SHIFT | FL_ALT);
}

}  // namespace
