#pragma once

#include <cstdint>
#include <memory>

#include "gui/fltk/TFLGadget.h"

class Fl_Menu_;
class Fl_Input_Choice;
struct TFLMenuTable;
class TFLMenu;

// A drop-down list (FLTK's choice), or with style bit 1 an editable input with
// a drop-down button. The items are TFLMenu children of the gadget's root menu.
//
// The FLTK item table is rebuilt from the items only when it is next needed:
// when the selection is read or set, or before FLTK next draws or handles
// events. Filling the list item by item thus costs one rebuild, not one per item.
class TFLComboBox : public TFLGadget {
 public:
  TFLComboBox() = default;
  ~TFLComboBox() override;

  int32_t InitGadget() override;
  int32_t Class() override;
  String GetText() override;
  int32_t SetText(const String& text) override;
  int32_t InsertListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                         const ObjectRef& itemExtra) override;
  int32_t SetListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                      const ObjectRef& itemExtra) override;
  int32_t RemoveListItem(int32_t index) override;
  int32_t SetListItemState(int32_t index, int32_t state) override;
  int32_t ListItemState(int32_t index) override;
  int32_t OnCallback() override;
  // Brings the FLTK item table up to date before the widget is redrawn.
  int32_t Redraw() override;
  int32_t Free() override;

  // Rebuilds the FLTK item table when the items changed since the last build.
  // The item shown as selected stays selected (wherever it moved); when it was
  // removed the first item is shown.
  void UpdateTable();

  int32_t _lastchoice = -1;

 private:
  bool Editable() const;
  // The FLTK menu widget that holds the items: the choice, or the drop-down
  // button of the editable box.
  Fl_Menu_* MenuWidget() const;
  void TableChanged();
  // The root of the items, made on first use with this box as its owner.
  Ref<TFLMenu> RootMenu();

  std::unique_ptr<TFLMenuTable> table;
  bool tableStale = false;
};
