#include "gui/fltk/FlKeyCodes.h"

#include <FL/Enumerations.H>

int32_t ZelkKeyFromFlConst(int32_t flKey) {
  switch (flKey) {
    case FL_BackSpace:
      return 8;
    case FL_Tab:
      return 9;
    case FL_Enter:
      return 13;
    case FL_Pause:
    case FL_Scroll_Lock:
      return 0;
    case FL_Escape:
      return 27;
    case FL_Home:
      return 36;
    case FL_Left:
      return 37;
    case FL_Up:
      return 38;
    case FL_Right:
      return 39;
    case FL_Down:
      return 40;
    case FL_Page_Up:
      return 33;
    case FL_Page_Down:
      return 34;
    case FL_End:
      return 35;
    case FL_Print:
      return 42;
    case FL_Insert:
      return 45;
    case FL_Menu:
    case FL_Help:
    case FL_Num_Lock:
      return 0;
    case FL_KP_Enter:
      return 13;
    case FL_Shift_L:
      return 160;
    case FL_Shift_R:
      return 161;
    case FL_Control_L:
      return 162;
    case FL_Control_R:
      return 163;
    case FL_Caps_Lock:
      return 0;
    case FL_Meta_L:
      return 91;
    case FL_Meta_R:
      return 92;
    case FL_Alt_L:
      return 164;
    case FL_Alt_R:
      return 165;
    case FL_Delete:
      return 46;
    default:
      break;
  }
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
  switch (flKey) {
    case FL_Escape:
      return 27;
    case FL_Tab:
    case 0xFE20:
      return 9;  // ISO left tab (Shift+Tab on X11)
    case '[':
      return 219;
    case ']':
      return 221;
    case '\\':
      return 226;
    default:
      return flKey;
  }
}

int32_t FlKeyFromKeyCode(int32_t code) {
  switch (code) {
    case 8:
      return FL_BackSpace;
    case 9:
      return FL_Tab;
    case 13:
      return FL_Enter;
    case 27:
      return FL_Escape;
    case 33:
      return FL_Page_Up;
    case 34:
      return FL_Page_Down;
    case 35:
      return FL_End;
    case 36:
      return FL_Home;
    case 37:
      return FL_Left;
    case 38:
      return FL_Up;
    case 39:
      return FL_Right;
    case 40:
      return FL_Down;
    case 42:
      return FL_Print;
    case 45:
      return FL_Insert;
    case 46:
      return FL_Delete;
    case 219:
      return '[';
    case 221:
      return ']';
    case 226:
      return '\\';
    default:
      break;
  }
  if (code >= 65 && code <= 94) return code + 32;
  if (code >= 112 && code <= 123) return code + 0xFF4E;
  return code;
}

int32_t ModifiersFromFlState(int32_t state) {
  int32_t mods = 0;
  if (state & FL_SHIFT) mods |= 1;
  if (state & FL_CTRL) mods |= 2;
  if (state & FL_ALT) mods |= 4;
  if (state & FL_META) mods |= 8;
  return mods;
}

int32_t FlStateFromModifiers(int32_t mods) {
  int32_t state = 0;
  if (mods & 1) state |= FL_SHIFT;
  if (mods & 2) state |= FL_CTRL;
  if (mods & 4) state |= FL_ALT;
  if (mods & 8) state |= FL_META;
  return state;
}
