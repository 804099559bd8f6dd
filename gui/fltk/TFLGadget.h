#pragma once

#include <cstdint>

#include "gui/fltk/TFLGUIFont.h"
#include "gui/fltk/TFLWidget.h"

class Fl_Image;
class TFLMenu;

// Gadget sensitivity bits read by the event bridge.
constexpr int32_t SensitivityMouse = 1;
constexpr int32_t SensitivityKeys = 2;

// The base of every concrete FLTK gadget class: creation through InitGadget,
// enabling, state, fonts, focus and redraw, the menu root, and the gadget side
// of the event bridge (mouse and key events).
class TFLGadget : public TFLWidget {
 public:
  TFLGadget() = default;
  ~TFLGadget() override;

  // Sets style, rectangle and parent, lets InitGadget build the widget, then
  // sets the text and the default font. Returns this gadget.
  virtual Ref<TGadget> CreateGadget(const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                                    const Ref<TGadget>& group, int32_t gadgetStyle);
  // Chooses the widget kind and builds the widget; the base makes a plain box.
  virtual int32_t InitGadget();
  // Shows an FLTK image on the widget (the gadget keeps ownership of it).
  virtual int32_t SetFLImage(Fl_Image* flImage);
  virtual int32_t OnMouseLeave();
  static void setDragDrop(const Ref<TGadget>& gadget);
  static Ref<TGadget> getDragDrop();

  int32_t SetHotKey(int32_t key, int32_t modifiers) override;
  int32_t SetEnabled(int32_t flag) override;
  int32_t SetFont(const Ref<TGuiFont>& newFont) override;
  // "@" starts a symbol in FLTK labels: it is doubled on the way in and
  // undoubled on the way out, so labels show and read back literally.
  int32_t SetText(const String& text) override;
  String GetText() override;
  int32_t State() override;
  int32_t Activate(int32_t command) override;
  int32_t SetPixmap(const Ref<TPixmap>& newPixmap, int32_t flags) override;
  int32_t SetIconStrip(const Ref<TIconStrip>& strip) override;
  int32_t ClearListItems() override;
  int32_t Free() override;
  Ref<TGadget> GetMenu() override;
  int32_t OnMouse() override;
  int32_t OnKey() override;

  Ref<TFLMenu> menu;
  int32_t enabled = 1;
  int32_t ignore = 0;
  Ref<TFLGUIFont> font;
  Ref<TPixmap> pixmap;
  int32_t pixmapflags = 0;
  Fl_Image* image = nullptr;  // owned
  Ref<TIconStrip> icons;
};

// The gadget gadget of a gadget, or none when it is not an FLTK gadget.
inline Ref<TFLGadget> AsFLGadget(const Ref<TGadget>& gadget) { return std::dynamic_pointer_cast<TFLGadget>(gadget); }

// "@" doubled, and undoubled.
String FlEscapeLabel(const String& text);
String FlUnescapeLabel(const String& text);
