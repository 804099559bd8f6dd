#include "app/windows/AppGadgets.h"

Ref<TGadget> mainWindow;
Ref<TGadget> lengthField;
Ref<TGadget> recordCombo;
