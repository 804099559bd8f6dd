#include "gui/fltk/FlWidgetLayer.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <cstdint>

int currentFlEvent = 0;

namespace {
FlKeyFilterFunc keyFilterFunc = nullptr;
FlWidgetHandlerFunc mouseHandlerFunc = nullptr;
FlWidgetHandlerFunc keyHandlerFunc = nullptr;
}  // namespace

void InitFlBackEnd(Display* display, FlEventHandlerFunc eventHandler, FlKeyFilterFunc keyFilter,
                   FlWidgetHandlerFunc mouseHandler, FlWidgetHandlerFunc keyHandler) {
  // FLTK is attached to our connection before the visual is chosen: choosing a
  // visual opens a display of FLTK's own when none is attached yet.
  fl_open_display(display);
  Fl::visual(FL_DOUBLE);
  FL_NORMAL_SIZE = 12;
  Fl_Tooltip::size(12);
  fl_message_font(FL_HELVETICA, 12);
  fl_register_images();
  Fl::scheme("gtk+");
  if (eventHandler) Fl::add_handler(eventHandler);
  keyFilterFunc = keyFilter;
  mouseHandlerFunc = mouseHandler;
  keyHandlerFunc = keyHandler;
  Fl::set_fonts();
  Fl::get_system_colors();
}

int CurrentFlEvent() { return currentFlEvent != 0 ? currentFlEvent : Fl::event(); }

int32_t FlUserHandle(const Fl_Widget* widget) { return widget ? FlDataHandle(widget->user_data()) : 0; }

void* FlHandleData(int32_t handle) { return reinterpret_cast<void*>(static_cast<intptr_t>(handle)); }

int32_t FlDataHandle(const void* data) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(data)); }

int FlRunKeyFilter(int32_t handle) { return keyFilterFunc ? keyFilterFunc(handle) : 1; }

bool FlIsMenuShortcut(const Fl_Widget* widget) {
  Fl_Window* window = widget ? widget->window() : nullptr;
  if (!window || !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META))) return false;
  for (int i = 0; i < window->children(); ++i) {
    auto* bar = dynamic_cast<Fl_Menu_Bar*>(window->child(i));
    if (bar && bar->active_r() && bar->test_shortcut()) return true;
  }
  return false;
}

int FlRunMouseHandler(Fl_Widget* widget, int32_t handle) {
  return mouseHandlerFunc ? mouseHandlerFunc(widget, handle) : 0;
}

int FlRunKeyHandler(Fl_Widget* widget, int32_t handle) { return keyHandlerFunc ? keyHandlerFunc(widget, handle) : 0; }
