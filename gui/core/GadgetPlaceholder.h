#pragma once

#include "gui/core/Gadget.h"

// The plain gadget that a new proxy wraps until it is given a real one: made on
// first use and shared by every proxy.
inline Ref<TGadget> GadgetPlaceholder() {
  static const Ref<TGadget> placeholder = New<TGadget>();
  return placeholder;
}
