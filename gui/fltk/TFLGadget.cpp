#include "gui/fltk/TFLGadget.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Widget.H>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/core/GuiDriver.h"
#include "gui/core/Localization.h"
#include "gui/fltk/FlEventBridge.h"
#include "gui/fltk/FlKeyCodes.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/TFLMenu.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "system/SystemDriver.h"

String FlEscapeLabel(const String& text) {
  String escaped;
  escaped.reserve(text.size());
  for (char16_t c : text) {
    escaped += c;
    if (c == u'@') escaped += u'@';
  }
  return escaped;
}

String FlUnescapeLabel(const String& text) {
  String plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    plain += text[i];
    if (text[i] == u'@' && i + 1 < text.size() && text[i + 1] == u'@') ++i;
  }
  return plain;
}

TFLGadget::~TFLGadget() { delete image; }

Ref<TGadget> TFLGadget::CreateGadget(const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                                     const Ref<TGadget>& group, int32_t gadgetStyle) {
  style = gadgetStyle;
  SetRect(x, y, w, h);
  parent = group;
  InitGadget();
  if ((LocalizationMode() & LocalizationOverride) && GuiDriver) {
    GuiDriver->SetGadgetLocalization(Self(), text, String());
  } else {
    SetText(text);
  }
  SetFont(defaultGuiFont);
  return Self();
}

int32_t TFLGadget::InitGadget() { return InitWidget(); }

int32_t TFLGadget::SetFLImage(Fl_Image* flImage) {
  if (!flhandle) return 0;
  flhandle->image(flImage);
  SetDirty();
  return 0;
}

int32_t TFLGadget::OnMouseLeave() {
  if (sensitivity & SensitivityMouse) {
    GadgetPostEvent(MouseLeave, Self(), 0, 0, lastMouseX, lastMouseY);
  }
  return 0;
}

void TFLGadget::setDragDrop(const Ref<TGadget>& gadget) { dragDropGadget = gadget; }

Ref<TGadget> TFLGadget::getDragDrop() { return dragDropGadget; }

int32_t TFLGadget::SetHotKey(int32_t key, int32_t modifiers) {
  // A plain gadget records no hot key. The FLTK shortcut is returned so that
  // gadgets with shortcuts (buttons, menu items) can apply it.
  const int32_t flKey = FlKeyFromKeyCode(key);
  if (flKey == 0) return 0;
  return flKey + FlStateFromModifiers(modifiers);
}

int32_t TFLGadget::SetEnabled(int32_t flag) {
  enabled = flag != 0 ? 1 : 0;
  if (flhandle) {
    if (enabled) {
      flhandle->activate();
    } else {
      flhandle->deactivate();
    }
  }
  return 0;
}

int32_t TFLGadget::SetFont(const Ref<TGuiFont>& newFont) {
  font = std::dynamic_pointer_cast<TFLGUIFont>(newFont);
  if (!font || !flhandle) return 0;
  flhandle->labelfont(Fl_Font(font->flfont));
  flhandle->labelsize(Fl_Fontsize(font->flsize));
  SetText(GetText());
  Redraw();
  return 0;
}

int32_t TFLGadget::SetText(const String& text) { return TFLWidget::SetText(FlEscapeLabel(text)); }

String TFLGadget::GetText() { return FlUnescapeLabel(TFLWidget::GetText()); }

int32_t TFLGadget::State() {
  int32_t state = 0;
  if (enabled == 0) state += GadgetStateDisabled;
  if (flhandle && !flhandle->visible()) state += GadgetStateHidden;
  return state;
}

int32_t TFLGadget::Activate(int32_t command) {
  switch (command) {
    case 0:
      if (flhandle) flhandle->take_focus();
      SystemPollEvents();
      return 0;
    case 13:
      return Redraw();
    default:
      return 0;
  }
}

int32_t TFLGadget::SetPixmap(const Ref<TPixmap>& newPixmap, int32_t flags) {
  pixmap = newPixmap;
  pixmapflags = flags;
  Fl_Image* old = image;
  image = ImageFromPixmap(pixmap);
  SetFLImage(image);
  delete old;
  return 0;
}

int32_t TFLGadget::SetIconStrip(const Ref<TIconStrip>& strip) {
  icons = strip;
  return 0;
}

int32_t TFLGadget::ClearListItems() {
  for (int32_t i = ItemCount() - 1; i >= 0; --i) RemoveListItem(i);
  return 0;
}

int32_t TFLGadget::Free() {
  TFLWidget::Free();
  pixmap = nullptr;
  icons = nullptr;
  delete image;
  image = nullptr;
  return 0;
}

Ref<TGadget> TFLGadget::GetMenu() {
  if (!menu) {
    menu = TFLMenu::CreateMenu(String(), 0, nullptr);
    menu->SetOwner(std::static_pointer_cast<TFLGadget>(Self()));
  }
  return menu;
}

int32_t TFLGadget::OnMouse() {
  const int event = CurrentFlEvent();
  const int32_t x = Fl::event_x() - AbsoluteX();
  const int32_t y = Fl::event_y() - AbsoluteY();
  if (mouseOverGadget && mouseOverGadget.get() != this) {
    const Ref<TFLGadget> left = mouseOverGadget;
    mouseOverGadget = nullptr;
    left->OnMouseLeave();
  }
  if (!(sensitivity & SensitivityMouse)) return 0;
  switch (event) {
    case FL_PUSH:
    case FL_RELEASE: {
      int32_t button = 0;
      switch (Fl::event_button()) {
        case FL_LEFT_MOUSE:
          button = 1;
          break;
        case FL_RIGHT_MOUSE:
          button = 2;
          break;
        case FL_MIDDLE_MOUSE:
          button = 3;
          break;
        default:
          break;
      }
      GadgetPostEvent(event == FL_PUSH ? MouseDown : MouseUp, Self(), button, 0, x, y);
      break;
    }
    // The event that brings the pointer in lies inside the gadget already:
    // it counts as the first move, so a pointer that jumps onto the gadget
    // does not need a second motion to be seen.
    case FL_ENTER:
    case FL_DRAG:
    case FL_MOVE: {
      const int state = Fl::event_state();
      const int32_t buttons = (state & FL_BUTTON2) ? 3 : (state & FL_BUTTON3) ? 2 : (state & FL_BUTTON1) ? 1 : 0;
      if (mouseOverGadget.get() == this) {
        if (x != lastMouseX || y != lastMouseY) GadgetPostEvent(MouseMove, Self(), buttons, 0, x, y);
      } else {
        GadgetPostEvent(MouseEnter, Self(), buttons, 0, x, y);
        mouseOverGadget = std::static_pointer_cast<TFLGadget>(Self());
      }
      lastMouseX = x;
      lastMouseY = y;
      break;
    }
    case FL_MOUSEWHEEL:
      GadgetPostEvent(MouseWheel, Self(), Fl::event_dy(), 0, x, y);
      break;
    default:
      break;
  }
  return 1;
}

int32_t TFLGadget::OnKey() {
  if (!(sensitivity & SensitivityKeys)) return 0;
  const int event = CurrentFlEvent();
  const int32_t code = ZelkKeyFromFlConst(Fl::event_key());
  const int32_t mods = ModifiersFromFlState(Fl::event_state());
  if (event == FL_KEYDOWN) {
    GadgetPostEvent(code == lastKeyDown ? KeyRepeat : KeyDown, Self(), code, mods);
    lastKeyDown = code;
  } else if (event == FL_KEYUP) {
    GadgetPostEvent(KeyUp, Self(), code, mods);
    lastKeyDown = 0;
  }
  return 0;
}
