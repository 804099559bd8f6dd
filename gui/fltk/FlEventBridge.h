#pragma once

#include <cstdint>

#include "gui/core/Gadget.h"

class TFLGadget;

// State of the event bridge between FLTK events and gadget events.

// The gadget under the pointer that last received a mouse enter, or none.
extern Ref<TFLGadget> mouseOverGadget;
// Gadget-relative pointer position of the last move or enter event.
extern int32_t lastMouseX;
extern int32_t lastMouseY;
// Key code of the last key-down event, 0 after a key-up.
extern int32_t lastKeyDown;
// The gadget registered as target for dropped data, or none.
extern Ref<TGadget> dragDropGadget;

// Forgets a gadget that is being freed wherever the bridge still holds it.
void FlBridgeForget(const TGadget* gadget);
