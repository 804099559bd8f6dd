#include "gui/fltk/FlEventBridge.h"

#include "gui/fltk/TFLGadget.h"

Ref<TFLGadget> mouseOverGadget;
int32_t lastMouseX = 0;
int32_t lastMouseY = 0;
int32_t lastKeyDown = 0;
Ref<TGadget> dragDropGadget;

void FlBridgeForget(const TGadget* gadget) {
  if (mouseOverGadget.get() == gadget) mouseOverGadget = nullptr;
  if (dragDropGadget.get() == gadget) dragDropGadget = nullptr;
}
