#include "gui/fltk/TFLMenu.h"

#include <FL/Enumerations.H>

#include <algorithm>
#include <cstring>

#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/GadgetEvents.h"
#include "gui/core/Localization.h"
#include "gui/fltk/FlKeyCodes.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/TFLComboBox.h"
#include "gui/fltk/TFLGadget.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "runtime/HandleTable.h"

Ref<TFLMenu> TFLMenu::CreateMenu(const String& itemText, int32_t itemTag, const Ref<TFLMenu>& parentItem) {
  auto item = New<TFLMenu>();
  item->text = itemText;
  item->tag = itemTag;
  if (parentItem) parentItem->AddMenu(item);
  if (LocalizationMode() & LocalizationOverride) GadgetLocalize(item, itemText, String());
  return item;
}

int32_t TFLMenu::count(int32_t start) {
  index = start;
  if (mkids.empty()) return start + 1;
  int32_t next = start + 1;
  for (const auto& kid : mkids) next = kid->count(next);
  return next + 1;
}

namespace {
// The font of the menu: the owner's font nearest the root wins.
void MenuFont(const TFLMenu& item, Fl_Font& face, Fl_Fontsize& size) {
  Ref<TFLGUIFont> found;
  for (const TFLMenu* at = &item; at;) {
    if (auto owner = at->Owner(); owner && owner->font) found = owner->font;
    auto up = at->Parent();
    at = up.get();
  }
  if (!found) found = defaultGuiFont;
  face = found ? static_cast<Fl_Font>(found->flfont) : FL_HELVETICA;
  size = found ? static_cast<Fl_Fontsize>(found->flsize) : FL_NORMAL_SIZE;
}

// FLTK draws "&&" as "&" and "@@" as "@", with no shortcut and no symbol.
std::string LiteralLabel(const std::string& text) {
  std::string label;
  label.reserve(text.size() + static_cast<size_t>(std::count_if(text.begin(), text.end(),
                                                                [](char c) { return c == '&' || c == '@'; })));
  for (char c : text) {
    if (c == '&' || c == '@') label += c;
    label += c;
  }
  return label;
}

void WriteItem(TFLMenuTable& table, TFLMenu& item, int flags) {
  if (item.index < 0 || item.index >= static_cast<int32_t>(table.items.size())) return;
  Fl_Menu_Item& slot = table.items[static_cast<size_t>(item.index)];
  const std::string bytes = NarrowString(item.text);
  table.labels.push_back(table.literalLabels ? LiteralLabel(bytes) : bytes);
  slot.text = table.labels.back().c_str();
  slot.shortcut_ = item.flshortcut;
  slot.callback_ = TFLWidget::CallbackHandler;
  slot.user_data_ = FlHandleData(item.ObjHandle());
  slot.flags = flags;
  slot.labeltype_ = FL_NORMAL_LABEL;
  MenuFont(item, slot.labelfont_, slot.labelsize_);
  slot.labelcolor_ = 0;
}
}  // namespace

int32_t TFLMenu::SetFLMenu(TFLMenuTable& table) {
  if (mkids.empty()) {
    int flags = 0;
    if (divider) flags |= FL_MENU_DIVIDER;
    if (text.empty()) flags |= FL_MENU_INVISIBLE;
    if (check) flags |= FL_MENU_TOGGLE | (checked ? FL_MENU_VALUE : 0);
    if (disabled) flags |= FL_MENU_INACTIVE;
    WriteItem(table, *this, flags);
    return 0;
  }
  WriteItem(table, *this, FL_SUBMENU);
  // An empty item is hidden and draws as a divider line under the item before it.
  for (const auto& kid : mkids) kid->divider = 0;
  for (size_t i = 1; i < mkids.size(); ++i)
    if (mkids[i]->text.empty()) mkids[i - 1]->divider = 1;
  for (const auto& kid : mkids) kid->SetFLMenu(table);
  return 0;
}

int32_t TFLMenu::AddMenu(const Ref<TFLMenu>& kid) { return InsertMenu(kid, -1); }

int32_t TFLMenu::InsertMenu(const Ref<TFLMenu>& kid, int32_t at) {
  kid->mparent = std::static_pointer_cast<TFLMenu>(shared_from_this());
  kid->owner = owner;
  if (at < 0 || at >= static_cast<int32_t>(mkids.size()))
    mkids.push_back(kid);
  else
    mkids.insert(mkids.begin() + at, kid);
  return 0;
}

int32_t TFLMenu::RemoveMenu(int32_t i) {
  if (i < 0 || i >= static_cast<int32_t>(mkids.size())) return 0;
  Ref<TFLMenu> kid = mkids[static_cast<size_t>(i)];
  return kid->Free();
}

int32_t TFLMenu::Class() { return GadgetClassMenu; }

int32_t TFLMenu::OnCallback() {
  auto self = std::static_pointer_cast<TFLMenu>(shared_from_this());
  for (Ref<TFLMenu> at = self; at; at = at->Parent()) {
    if (auto combo = std::dynamic_pointer_cast<TFLComboBox>(at->Owner())) {
      combo->_lastchoice = index;
      combo->SetText(text);
      GadgetPostEvent(GadgetAction, combo, index);
      return 0;
    }
  }
  if (check) checked = checked ? 0 : 1;
  GadgetPostEvent(MenuAction, self, tag);
  return 0;
}

int32_t TFLMenu::Free() {
  Ref<TFLMenu> keep = std::static_pointer_cast<TFLMenu>(shared_from_this());
  if (auto up = Parent()) {
    // Lists are usually emptied from the end, so look there first.
    auto& siblings = up->mkids;
    auto found = std::find(siblings.rbegin(), siblings.rend(), keep);
    if (found != siblings.rend()) siblings.erase(std::next(found).base());
  }
  owner.reset();
  mkids.clear();
  mparent.reset();
  parent.reset();
  tooltip.reset();
  if (objhandle) {
    HandleForget(objhandle);
    objhandle = 0;
  }
  return 0;
}

int32_t TFLMenu::SetHotKey(int32_t key, int32_t modifiers) {
  const int32_t flKey = FlKeyFromKeyCode(key);
  flshortcut = flKey ? flKey + FlStateFromModifiers(modifiers) : 0;
  return 0;
}

int32_t TFLMenu::State() { return (checked ? GadgetStateSelected : 0) + (disabled ? GadgetStateDisabled : 0); }

int32_t TFLMenu::SetSelected(int32_t flag) {
  check = 1;
  checked = flag ? 1 : 0;
  return 0;
}

int32_t TFLMenu::SetEnabled(int32_t flag) {
  disabled = flag ? 0 : 1;
  return 0;
}

int32_t TFLMenu::SetText(const String& newText) {
  text = newText;
  return 0;
}

String TFLMenu::GetText() { return text; }

int32_t TFLMenu::SetTooltip(const String& tip) {
  const std::string bytes = NarrowString(tip);
  tooltip.reset(new char[bytes.size() + 1]);
  std::memcpy(tooltip.get(), bytes.c_str(), bytes.size() + 1);
  return 0;
}

Ref<TGadget> TFLMenu::GetGroup() { return Parent(); }

std::unique_ptr<TFLMenuTable> FlBuildMenuTable(const Ref<TFLMenu>& root, bool literalLabels) {
  auto table = std::make_unique<TFLMenuTable>();
  table->literalLabels = literalLabels;
  const int32_t n = root ? root->count(-1) : 0;
  table->items.resize(static_cast<size_t>(std::max(n, 0)) + 2);
  if (root) root->SetFLMenu(*table);
  return table;
}

void FlFreeMenuTableLater(std::unique_ptr<TFLMenuTable>& table) {
  if (!table) return;
  if (auto driver = FLTKDriver())
    driver->QueueFlDelete(table.release());
  else
    table.reset();
}
