#include "gui/fltk/TFLComboBox.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_.H>

#include <memory>
#include <vector>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/TFLMenu.h"

TFLComboBox::~TFLComboBox() = default;

int32_t TFLComboBox::InitGadget() {
  fltype = Editable() ? FlKindInputChoice : FlKindChoice;
  InitWidget();
  return 0;
}

int32_t TFLComboBox::Class() { return GadgetClassComboBox; }

bool TFLComboBox::Editable() const { return (style & ComboBoxEditable) != 0; }

Fl_Menu_* TFLComboBox::MenuWidget() const {
  if (Fl_Input_Choice* box = FlWidget<Fl_Input_Choice>()) return box->menubutton();
  return FlWidget<Fl_Choice>();
}

String TFLComboBox::GetText() {
  if (Fl_Input_Choice* box = FlWidget<Fl_Input_Choice>()) return WidenString(box->value() ? box->value() : "");
  if (_lastchoice < 0 || !menu || _lastchoice >= static_cast<int32_t>(menu->mkids.size())) return String();
  return menu->mkids[static_cast<size_t>(_lastchoice)]->text;
}

int32_t TFLComboBox::SetText(const String& text) {
  Fl_Input_Choice* box = FlWidget<Fl_Input_Choice>();
  if (!box) return 0;
  const std::string bytes = NarrowString(text);
  box->input()->value(bytes.data(), static_cast<int>(bytes.size()));
  box->input()->position(0, static_cast<int>(bytes.size()));
  return 0;
}

Ref<TFLMenu> TFLComboBox::RootMenu() {
  if (!menu) menu = New<TFLMenu>();
  menu->SetOwner(std::static_pointer_cast<TFLGadget>(Self()));
  return menu;
}

namespace {
// Combo boxes whose item table is behind their items. FLTK runs its check
// callbacks at the start of every wait, before it draws or handles any event,
// so a table is always current by the time FLTK looks at it: in the main
// loop's poll as well as in the loop of a modal dialog.
std::vector<std::weak_ptr<TFLComboBox>> staleBoxes;

void UpdateStaleTables(void*) {
  if (staleBoxes.empty()) return;
  const auto boxes = std::move(staleBoxes);
  staleBoxes.clear();
  for (const auto& box : boxes)
    if (auto combo = box.lock()) combo->UpdateTable();
}
}  // namespace

void TFLComboBox::TableChanged() {
  if (tableStale) return;
  tableStale = true;
  static const bool checking = (Fl::add_check(UpdateStaleTables), true);
  (void)checking;
  staleBoxes.push_back(std::static_pointer_cast<TFLComboBox>(Self()));
}

int32_t TFLComboBox::InsertListItem(int32_t index, const String& text, const String&, int32_t, const ObjectRef&) {
  auto item = TFLMenu::CreateMenu(text, 0, nullptr);
  const Ref<TFLMenu> root = RootMenu();
  const auto count = static_cast<int32_t>(root->mkids.size());
  const int32_t at = (index < 0 || index > count) ? count : index;
  root->InsertMenu(item, at);
  // The item the user picked keeps being the one GetText reports.
  if (_lastchoice >= at) ++_lastchoice;
  TableChanged();
  return 0;
}

int32_t TFLComboBox::SetListItem(int32_t index, const String& text, const String&, int32_t, const ObjectRef&) {
  const int32_t selected = SelectedItem();
  if (menu && index >= 0 && index < static_cast<int32_t>(menu->mkids.size())) {
    menu->mkids[static_cast<size_t>(index)]->text = text;
    TableChanged();
  }
  if (selected >= 0) SelectItem(selected, 1);
  return 0;
}

int32_t TFLComboBox::RemoveListItem(int32_t index) {
  const Ref<TFLMenu> root = RootMenu();
  if (index < 0 || index >= static_cast<int32_t>(root->mkids.size())) return 0;
  root->RemoveMenu(index);
  if (_lastchoice == index)
    _lastchoice = -1;
  else if (_lastchoice > index)
    --_lastchoice;
  TableChanged();
  return 0;
}

int32_t TFLComboBox::SetListItemState(int32_t index, int32_t state) {
  if (!(state & GadgetItemStateSelected)) return 0;
  UpdateTable();
  Fl_Menu_* list = MenuWidget();
  if (!list || index < 0 || index >= list->size()) return 0;
  list->value(index);
  // The item's own text: the FLTK label has its "&" and "@" doubled.
  if (Fl_Input_Choice* box = FlWidget<Fl_Input_Choice>();
      box && menu && index < static_cast<int32_t>(menu->mkids.size()))
    box->value(NarrowString(menu->mkids[static_cast<size_t>(index)]->text).c_str());
  list->redraw();
  return 0;
}

int32_t TFLComboBox::ListItemState(int32_t index) {
  if (Editable()) return index == _lastchoice ? GadgetItemStateSelected : 0;
  UpdateTable();
  Fl_Menu_* list = MenuWidget();
  return list && list->value() == index ? GadgetItemStateSelected : 0;
}

int32_t TFLComboBox::OnCallback() {
  const int event = CurrentFlEvent();
  if (event == FL_KEYDOWN && Fl::event_text() && Fl::event_text()[0]) {
    _lastchoice = -1;
    GadgetPostEvent(GadgetAction, Self(), -1);
  } else if (event == FL_UNFOCUS) {
    GadgetPostEvent(GadgetLostFocus, Self());
  }
  return 0;
}

int32_t TFLComboBox::Redraw() {
  UpdateTable();
  return TFLGadget::Redraw();
}

void TFLComboBox::UpdateTable() {
  if (!tableStale) return;
  Fl_Menu_* list = MenuWidget();
  if (!list) return;
  tableStale = false;
  // Remember the item shown as selected by identity: its slot may have moved.
  Ref<TFLMenu> shown;
  if (table && list->mvalue()) shown = AsFLMenu(TFLWidget::FromData(list->mvalue()->user_data()));
  auto fresh = FlBuildMenuTable(menu, true);
  list->menu(fresh->items.data());
  if (shown && shown->Parent() == menu) list->value(shown->index);
  table = std::move(fresh);
  list->redraw();
}

int32_t TFLComboBox::Free() {
  FlFreeMenuTableLater(table);
  if (menu) menu->Free();
  menu.reset();
  return TFLGadget::Free();
}
