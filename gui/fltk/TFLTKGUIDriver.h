#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/core/GuiDriver.h"
#include "gui/fltk/TFLGUIFont.h"

class TFLWidget;

// The GUI driver of the FLTK back end. It attaches FLTK to the display the
// native system driver opened, installs the event handlers and the FLTK system
// driver, makes the gadget object of each class, and keeps the lists of
// deferred redraws and deferred frees that every poll works off.
class TFLTKGUIDriver : public TVuzIDODriver {
 public:
  // Raw memory blocks that FLTK may still use, released on the next poll.
  using TrashBlock = std::unique_ptr<void, void (*)(void*)>;

  // Installs the FLTK system driver, attaches FLTK to the native driver's
  // display (which must be open), watches the wake-up pipe and loads the
  // default GUI font. Made once by FLTKBackEndInit.
  TFLTKGUIDriver();

  String UserName() override;
  String ComputerName() override;
  Ref<TGuiFont> LoadFont(const String& fontName, int32_t size, int32_t style) override;
  Ref<TGadget> CreateGadget(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                            const Ref<TGadget>& group, int32_t style) override;
  Ref<TGadget> ActiveGadget() override;
  // FLTK's colour chooser, opened at (r, g, b): the colour picked as 0xRRGGBB,
  // 0 when cancelled (black answers 0 as well).
  int32_t RequestColor(int32_t r, int32_t g, int32_t b) override;
  // FLTK has no font dialog: always none, as if cancelled.
  Ref<TGuiFont> RequestFont(const Ref<TGuiFont>& font) override;
  int32_t SetPointer(int32_t shape) override;
  int32_t ClearClipboard() override;
  int32_t GrabKeyboard(const Ref<TGadget>& window) override;
  // Icon strips come from a pixmap (one square icon per pixmap height).
  Ref<TIconStrip> LoadIconStrip(const ObjectRef& source) override;

  // Queues a widget for one redraw at the next poll.
  void RefreshWidget(const Ref<TFLWidget>& widget);
  // Redraws every queued widget and empties the list.
  void RefreshWidgets();
  // Queues a block for release at the next poll: one object made with new,
  // or an array made with new[] (QueueFlDeleteArray).
  void QueueFlDelete(TrashBlock block);
  template <class T>
  void QueueFlDelete(T* object) {
    QueueFlDelete(TrashBlock(object, [](void* p) { delete static_cast<T*>(p); }));
  }
  template <class T>
  void QueueFlDeleteArray(T* array) {
    QueueFlDelete(TrashBlock(array, [](void* p) { delete[] static_cast<T*>(p); }));
  }
  void FreePointers();

  // The FLTK global handler: drop target and hot keys for events no widget used.
  static int EventHandler(int flEvent);
  // The key filter of filtered widgets: 0 swallows the key.
  static int KeyFilter(int32_t handle);
  // The FLTK system driver's pipe callback: runs posted completions.
  static void _FlushAsyncOpsProc(int fd, void* data);

  std::vector<Ref<TFLWidget>> RefreshList;
  std::vector<TrashBlock> PointerTrash;
  ObjectRef fontRequester;  // font dialog state; no dialog is offered
};

// The font every new gadget gets: the GUI face at its default size (12).
extern Ref<TFLGUIFont> defaultGuiFont;

// The active driver when it is the FLTK one, else none.
Ref<TFLTKGUIDriver> FLTKDriver();

// Starts the FLTK back end once: makes the driver and installs it as GuiDriver.
// Needs the native system driver with an open display. Later calls return at once.
void FLTKBackEndInit();
