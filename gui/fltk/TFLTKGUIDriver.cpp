#include "gui/fltk/TFLTKGUIDriver.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/fl_draw.H>

#include <string>
#include <utility>

#include "gui/core/Event.h"
#include "gui/core/HotKey.h"
#include "gui/fltk/FlClipboard.h"
#include "gui/fltk/FlEventBridge.h"
#include "gui/fltk/FlKeyCodes.h"
#include "gui/fltk/FlKeyboardGrab.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/TFLButton.h"
#include "gui/fltk/TFLComboBox.h"
#include "gui/fltk/TFLDesktop.h"
#include "gui/fltk/TFLGadget.h"
#include "gui/fltk/TFLLabel.h"
#include "gui/fltk/TFLMenu.h"
#include "gui/fltk/TFLPanel.h"
#include "gui/fltk/TFLSystemDriver.h"
#include "gui/fltk/TFLTextArea.h"
#include "gui/fltk/TFLTextField.h"
#include "gui/fltk/TFLWindow.h"
#include "runtime/Errors.h"
#include "system/linux/LinuxSystemDriver.h"

Ref<TFLGUIFont> defaultGuiFont;

Ref<TFLTKGUIDriver> FLTKDriver() { return std::dynamic_pointer_cast<TFLTKGUIDriver>(GuiDriver); }

TFLTKGUIDriver::TFLTKGUIDriver() = default;

String TFLTKGUIDriver::UserName() { return String(); }

String TFLTKGUIDriver::ComputerName() { return String(); }

Ref<TGuiFont> TFLTKGUIDriver::LoadFont(const String& fontName, int32_t size, int32_t style) {
  return FlLoadFont(fontName, size, style);
}

Ref<TGadget> TFLTKGUIDriver::CreateGadget(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w,
                                          int32_t h, const Ref<TGadget>& group, int32_t style) {
  switch (gadgetClass) {
    case GadgetClassDesktop:
      return New<TFLDesktop>()->CreateDesktop();
    case GadgetClassWindow:
      return New<TFLWindow>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassButton:
      return New<TFLButton>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassPanel:
      return New<TFLPanel>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassTextField:
      return New<TFLTextField>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassTextArea:
      return New<TFLTextArea>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassComboBox:
      return New<TFLComboBox>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassLabel:
      return New<TFLLabel>()->CreateGadget(text, x, y, w, h, AsFLGadget(group), style);
    case GadgetClassMenu: {
      // A menu item's tag travels in the style argument. Items made directly
      // under a gadget go into that gadget's menu root.
      Ref<TFLMenu> parentItem = AsFLMenu(group);
      if (!parentItem) {
        if (Ref<TFLGadget> owner = AsFLGadget(group)) parentItem = AsFLMenu(owner->GetMenu());
      }
      return TFLMenu::CreateMenu(text, style, parentItem);
    }
    case GadgetClassListBox:
    case GadgetClassToolbar:
    case GadgetClassTabber:
    case GadgetClassTreeView:
    case GadgetClassHtmlView:
    case GadgetClassSlider:
    case GadgetClassProgressBar:
    case GadgetClassCanvas:
      // No gadget class is built for these kinds: nothing in the program makes one.
      return nullptr;
    default:
      return nullptr;
  }
}

Ref<TGadget> TFLTKGUIDriver::ActiveGadget() {
  SystemPollEvents();
  // Composite widgets (an editable combo box) give the focus to an inner
  // widget; the gadget is the nearest enclosing widget that carries a handle.
  for (Fl_Widget* widget = Fl::focus(); widget; widget = widget->parent()) {
    if (FlUserHandle(widget) != 0) return TFLWidget::FromWidget(widget);
  }
  return nullptr;
}

int32_t TFLTKGUIDriver::RequestColor(int32_t r, int32_t g, int32_t b) {
  uchar red = uchar(r), green = uchar(g), blue = uchar(b);
  if (!fl_color_chooser("", red, green, blue)) return 0;
  return (int32_t(red) << 16) | (int32_t(green) << 8) | int32_t(blue);
}

Ref<TGuiFont> TFLTKGUIDriver::RequestFont(const Ref<TGuiFont>&) { return nullptr; }

int32_t TFLTKGUIDriver::ClearClipboard() {
  FlClearClipboard();
  return 0;
}

int32_t TFLTKGUIDriver::GrabKeyboard(const Ref<TGadget>& window) {
  const Ref<TFLWidget> widget = AsFLWidget(window);
  Fl_Window* flWindow = widget && widget->flhandle ? widget->flhandle->as_window() : nullptr;
  return FlGrabKeyboard(flWindow) ? 1 : 0;
}

int32_t TFLTKGUIDriver::SetPointer(int32_t shape) {
  Fl_Cursor cursor = FL_CURSOR_DEFAULT;
  switch (shape) {
    case 1:
      cursor = FL_CURSOR_ARROW;
      break;
    case 2:
      cursor = FL_CURSOR_INSERT;
      break;
    case 3:
      cursor = FL_CURSOR_WAIT;
      break;
    case 4:
      cursor = FL_CURSOR_CROSS;
      break;
    case 5:
      cursor = FL_CURSOR_N;
      break;
    case 6:
      cursor = FL_CURSOR_NWSE;
      break;
    case 7:
      cursor = FL_CURSOR_NESW;
      break;
    case 8:
      cursor = FL_CURSOR_WE;
      break;
    case 9:
      cursor = FL_CURSOR_NS;
      break;
    case 10:
      cursor = FL_CURSOR_MOVE;
      break;
    case 11:
      cursor = FL_CURSOR_NONE;
      break;
    case 12:
      cursor = FL_CURSOR_HAND;
      break;
    case 13:
      cursor = FL_CURSOR_WAIT;
      break;
    case 14:
      cursor = FL_CURSOR_HELP;
      break;
    default:
      break;
  }
  fl_cursor(cursor, FL_BLACK, FL_WHITE);
  return 0;
}

Ref<TIconStrip> TFLTKGUIDriver::LoadIconStrip(const ObjectRef& source) {
  if (auto strip = std::dynamic_pointer_cast<TIconStrip>(source)) return strip;
  auto pixmap = std::dynamic_pointer_cast<TPixmap>(source);
  if (!pixmap || pixmap->height <= 0) return nullptr;
  auto strip = New<TIconStrip>();
  strip->pixmap = pixmap;
  strip->count = pixmap->width / pixmap->height;
  return strip;
}

void TFLTKGUIDriver::RefreshWidget(const Ref<TFLWidget>& widget) { RefreshList.push_back(widget); }

void TFLTKGUIDriver::RefreshWidgets() {
  std::vector<Ref<TFLWidget>> pending;
  pending.swap(RefreshList);
  for (const Ref<TFLWidget>& widget : pending) widget->Redraw();
}

void TFLTKGUIDriver::QueueFlDelete(TrashBlock block) { PointerTrash.push_back(std::move(block)); }

void TFLTKGUIDriver::FreePointers() {
  std::vector<TrashBlock> trash;
  trash.swap(PointerTrash);
}

int TFLTKGUIDriver::EventHandler(int flEvent) {
  switch (flEvent) {
    case FL_DND_RELEASE:
      if (auto target = AsFLWidget(dragDropGadget)) {
        if (target->flhandle) Fl::belowmouse(target->flhandle);
      }
      return 1;
    case FL_SHORTCUT: {
      const int32_t key = KeyCodeFromFlKey(Fl::event_key());
      const int32_t mods = ModifiersFromFlState(Fl::event_state());
      const Ref<TEvent> event = HotKeyFind(key, mods, FlUserHandle(Fl::focus()));
      if (!event) return 0;
      event->Emit();
      return 1;
    }
    default:
      return 0;
  }
}

int TFLTKGUIDriver::KeyFilter(int32_t handle) {
  const Ref<TFLWidget> gadget = TFLWidget::FromHandle(handle);
  if (Fl::event_key() == FL_Control_R) return 0;
  if (!gadget || !gadget->eventfilter) return 1;
  // The filter may change or drop itself while it runs: use the one set now.
  const TKeyFilter filter = gadget->eventfilter;
  const ObjectRef filterContext = gadget->context;
  const int32_t key = ZelkKeyFromFlConst(Fl::event_key());
  std::string text;
  if (Fl::event_text() && Fl::event_length() > 0) text.assign(Fl::event_text(), size_t(Fl::event_length()));
  const int32_t mods = ModifiersFromFlState(Fl::event_state());
  if (key != 0) {
    if (filter(TEvent::Create(KeyDown, gadget, key, mods), filterContext) == 0) return 0;
    if (text.empty() && key == 9) text.assign(1, '\t');
  }
  for (unsigned char byte : text) {
    if (filter(TEvent::Create(KeyChar, gadget, byte, mods), filterContext) == 0) return 0;
  }
  return 1;
}

void TFLTKGUIDriver::_FlushAsyncOpsProc(int, void*) {
  if (Ref<TLinuxSystemDriver> native = LinuxNativeDriver()) native->FlushAsyncOps();
}

void FLTKBackEndInit() {
  static bool started = false;
  if (started) return;
  Ref<TLinuxSystemDriver> native = LinuxNativeDriver();
  if (!native || !native->GetDisplay()) throw TRuntimeError("The FLTK back end needs an open X display");
  started = true;

  auto driver = New<TFLTKGUIDriver>();
  GuiDriver = driver;
  // The FLTK system driver keeps the current (native) driver underneath.
  systemDriver = TFLGuiSystemDriver::Create(driver);
  InitFlBackEnd(native->GetDisplay(), TFLTKGUIDriver::EventHandler, TFLTKGUIDriver::KeyFilter, TFLWidget::MouseHandler,
                TFLWidget::KeyHandler);
  Fl::add_fd(native->WakePipeReadFd(), FL_READ, TFLTKGUIDriver::_FlushAsyncOpsProc, nullptr);
  defaultGuiFont = std::dynamic_pointer_cast<TFLGUIFont>(driver->LibraryFont(1, 0.0, 0));
  FlClipboardInit();
  // Whichever way the program ends, a password it copied does not stay on
  // the clipboard or in the copy served from.
  atexit(FlClearClipboard);
}
