#include <FL/Enumerations.H>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gui/fltk/FlKeyCodes.h"

namespace {

using Pair = std::pair<int32_t, int32_t>;

TEST(FlKeyCodes, KeyEventsGetVirtualKeyCodes) {
  const std::vector<Pair> table = {
      {FL_BackSpace, 8}, {FL_Tab, 9},       {FL_Enter, 13},     {FL_Pause, 0},       {FL_Scroll_Lock, 0},
      {FL_Escape, 27},   {FL_Home, 36},     {FL_Left, 37},      {FL_Up, 38},         {FL_Right, 39},
      {FL_Down, 40},     {FL_Page_Up, 33},  {FL_Page_Down, 34}, {FL_End, 35},        {FL_Print, 42},
      {FL_Insert, 45},   {FL_Menu, 0},      {FL_Help, 0},       {FL_Num_Lock, 0},    {0xFF80, 96},
      {0xFF89, 105},     {FL_KP + '0', 96}, {FL_KP + '7', 103}, {FL_KP_Enter, 13},   {FL_F + 1, 112},
      {FL_F + 12, 123},  {FL_Shift_L, 160}, {FL_Shift_R, 161},  {FL_Control_L, 162}, {FL_Control_R, 163},
      {FL_Caps_Lock, 0}, {FL_Meta_L, 91},   {FL_Meta_R, 92},    {FL_Alt_L, 164},     {FL_Alt_R, 165},
      {FL_Delete, 46},   {'a', 'A'},        {'z', 'Z'},         {'0', '0'},          {'9', '9'},
      {'[', 219},        {']', 221},        {'\\', 226},        {' ', ' '},          {0xFE20, 9},
  };
  for (const auto& [flKey, code] : table) EXPECT_EQ(ZelkKeyFromFlConst(flKey), code) << std::hex << flKey;
}

TEST(FlKeyCodes, ShortcutKeysTranslateBothWays) {
  EXPECT_EQ(KeyCodeFromFlKey(FL_F + 13), 124);
  EXPECT_EQ(KeyCodeFromFlKey('~'), '~' - 32);
  EXPECT_EQ(KeyCodeFromFlKey(FL_Home), FL_Home);  // not in the general table: unchanged
  const std::vector<Pair> reverse = {
      {8, FL_BackSpace}, {9, FL_Tab},   {13, FL_Enter}, {27, FL_Escape}, {33, FL_Page_Up}, {34, FL_Page_Down},
      {35, FL_End},      {36, FL_Home}, {37, FL_Left},  {40, FL_Down},   {42, FL_Print},   {45, FL_Insert},
      {46, FL_Delete},   {65, 'a'},     {90, 'z'},      {112, FL_F + 1}, {123, FL_F + 12}, {219, '['},
      {221, ']'},        {226, '\\'},   {'5', '5'},     {300, 300},
  };
  for (const auto& [code, flKey] : reverse) EXPECT_EQ(FlKeyFromKeyCode(code), flKey) << code;
  // Letters, digits and function keys survive the round trip.
  for (int32_t code : {65, 77, 90, 48, 57, 112, 123, 27, 9}) EXPECT_EQ(KeyCodeFromFlKey(FlKeyFromKeyCode(code)), code);
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
