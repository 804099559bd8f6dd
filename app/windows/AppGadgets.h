#pragma once

#include "gui/core/Gadget.h"

// The gadgets the application keeps for the life of the process and uses
// outside the main loop: by the Length field's key filter and by the record
// file (combo box refill, status bar). None until the main window is built.
extern Ref<TGadget> mainWindow;
extern Ref<TGadget> lengthField;
extern Ref<TGadget> recordCombo;
