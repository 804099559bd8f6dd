#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/Wipe.h"

// Item flags (TGadgetItem::flags) and the item state kept by the driver.
constexpr int32_t GadgetItemDefault = 1;    // selected when inserted or set
constexpr int32_t GadgetItemToggle = 2;     // shows icon + 1 while selected
constexpr int32_t GadgetItemLocalized = 4;  // text and tip go through the localisation service
constexpr int32_t GadgetItemStateSelected = 16;

// One item of a list-like gadget (combo box, list box, tabber, toolbar).
class TGadgetItem : public TObject {
 public:
  // An item's text may be a record's description: none outlives the item.
  ~TGadgetItem() override {
    SecureWipe(text);
    SecureWipe(tip);
  }

  void Set(const String& newText, const String& newTip, int32_t newIcon, const ObjectRef& newExtra, int32_t newFlags) {
    text = newText;
    tip = newTip;
    icon = newIcon;
    extra = newExtra;
    flags = newFlags;
  }

  String text;
  String tip;
  int32_t icon = 0;  // index into the gadget's icon strip, -1 for none
  int32_t flags = 0;
  ObjectRef extra;
};
