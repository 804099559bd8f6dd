#include "gui/core/Gadget.h"

#include <algorithm>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/core/GadgetPlaceholder.h"
#include "gui/core/Hook.h"
#include "gui/core/Localization.h"

namespace {

bool gadgetStarted = false;

// Layout arithmetic is 32-bit and wraps like the machine does; going through
// unsigned keeps wrapping defined instead of undefined.
int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
// Truncating division by a divisor that LockLayout keeps at least 1.
int32_t Div(int32_t a, int32_t b) { return a / b; }

// One axis of DoLayout: from the current edges (p0, p1), the two lock modes, the
// locked position and size, the locked and the present parent extent.
void LayoutAxis(int32_t& p0, int32_t& p1, int32_t lockLow, int32_t lockHigh, int32_t lockPos, int32_t lockSize,
                int32_t lockExtent, int32_t extent) {
  if (lockLow == EdgeFree && lockHigh == EdgeFree) {
    int32_t half = lockSize / 2;
    p0 = Sub(Div(Mul(extent, Add(lockPos, half)), lockExtent), half);
    p1 = Add(p0, lockSize);
    return;
  }
  if (lockLow == EdgeFixed) p0 = lockPos;
  if (lockLow == EdgeScaled) p0 = Div(Mul(extent, lockPos), lockExtent);
  if (lockHigh == EdgeFixed) p1 = Add(Sub(Add(lockPos, lockSize), lockExtent), extent);
  if (lockHigh == EdgeScaled) p1 = Div(Mul(extent, Add(lockPos, lockSize)), lockExtent);
  if (lockLow == EdgeFree) {
    p0 = Sub(p1, lockSize);
  } else if (lockHigh == EdgeFree) {
    p1 = Add(p0, lockSize);
  }
}

}  // namespace

Ref<TGadget> TGadget::Self() { return std::static_pointer_cast<TGadget>(shared_from_this()); }

int32_t TGadget::SetFilter(TKeyFilter filter, const ObjectRef& filterContext) {
  eventfilter = filter;
  context = filterContext;
  return 0;
}

int32_t TGadget::HasDescendant(const Ref<TGadget>& gadget) {
  if (gadget.get() == this) return 1;
  for (auto& kid : std::vector<Ref<TGadget>>(kids)) {
    if (int32_t found = kid->HasDescendant(gadget)) return found;
  }
  return 0;
}

int32_t TGadget::_setparent(const Ref<TGadget>& group, int32_t index) {
  // Under itself or its own subtree the tree would become a loop that every
  // walker (HasDescendant, LayoutKids, CleanUp) follows without end.
  if (group && (group.get() == this || HasDescendant(group))) return -1;
  auto self = Self();
  if (parent) {
    auto& siblings = parent->kids;
    auto at = std::find(siblings.begin(), siblings.end(), self);
    if (at != siblings.end()) siblings.erase(at);
  }
  parent = group;
  if (!group) return 0;
  auto& siblings = group->kids;
  if (index < 0 || index >= static_cast<int32_t>(siblings.size())) {
    siblings.push_back(self);
  } else {
    siblings.insert(siblings.begin() + index, self);
  }
  return 0;
}

int32_t TGadget::SelectionChanged() {
  std::vector<int32_t> old = std::move(arrPrevSelection);
  std::vector<int32_t> now = SelectedItems();
  arrPrevSelection = now;
  size_t common = std::min(old.size(), now.size());
  for (size_t i = 0; i < common; ++i) {
    if (old[i] != now[i]) return std::min(old[i], now[i]);
  }
  if (old.size() > common) return old[common];
  if (now.size() > common) return now[common];
  return -1;
}

Ref<TGadget> TGadget::Handle() { return Self(); }
int32_t TGadget::GetXPos() { return xpos; }
int32_t TGadget::GetYPos() { return ypos; }
int32_t TGadget::GetWidth() { return width; }
int32_t TGadget::GetHeight() { return height; }
Ref<TGadget> TGadget::GetGroup() { return parent; }

int32_t TGadget::SetShape(int32_t x, int32_t y, int32_t w, int32_t h) {
  SetArea(x, y, w, h);
  LockLayout();
  return 0;
}

int32_t TGadget::SetArea(int32_t x, int32_t y, int32_t w, int32_t h) {
  SetRect(x, y, w, h);
  Rethink();
  LayoutKids();
  return 0;
}

int32_t TGadget::SetRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  xpos = x;
  ypos = y;
  width = std::max(w, 0);
  height = std::max(h, 0);
  return 0;
}

int32_t TGadget::LockLayout() {
  lockx = xpos;
  locky = ypos;
  lockw = width;
  lockh = height;
  lockcw = 1;
  lockch = 1;
  if (parent) {
    lockcw = std::max(parent->ClientWidth(), 1);
    lockch = std::max(parent->ClientHeight(), 1);
  }
  return 0;
}

int32_t TGadget::SetLayout(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  lockl = left;
  lockr = right;
  lockt = top;
  lockb = bottom;
  LockLayout();
  return 0;
}

int32_t TGadget::LayoutKids() {
  for (auto& kid : std::vector<Ref<TGadget>>(kids)) kid->DoLayout();
  return 0;
}

int32_t TGadget::DoLayout() {
  if (!parent) return 0;
  int32_t kind = Class();
  if (kind == GadgetClassWindow || kind == GadgetClassMenu || kind == GadgetClassNode) return 0;
  // A gadget that was never locked has no layout reference (and nothing to
  // divide by); it stays where it is until its first lock.
  if (lockcw < 1 || lockch < 1) return 0;
  int32_t cw = std::max(parent->ClientWidth(), 1);
  int32_t ch = std::max(parent->ClientHeight(), 1);
  int32_t x0 = xpos, x1 = Add(xpos, width);
  int32_t y0 = ypos, y1 = Add(ypos, height);
  LayoutAxis(x0, x1, lockl, lockr, lockx, lockw, lockcw, cw);
  LayoutAxis(y0, y1, lockt, lockb, locky, lockh, lockch, ch);
  SetArea(x0, y0, Sub(x1, x0), Sub(y1, y0));
  return 0;
}

int32_t TGadget::SetDataSource(const ObjectRef& source) {
  Clear();
  datasource = source;
  datakeys.clear();
  return SyncDataSource();
}

std::vector<String> TGadget::KeysFromList(const Ref<TList>& list) {
  if (!list) return {};
  return KeysFromObjectArray(list->elements);
}

std::vector<String> TGadget::KeysFromObjectArray(const std::vector<ObjectRef>& array) {
  std::vector<String> keys(array.size());
  size_t filled = 0;
  for (const auto& element : array) {
    if (element) keys[filled++] = element->ToString();
  }
  return keys;
}

int32_t TGadget::SyncDataSource() {
  if (!datasource) return 0;
  std::vector<String> keys;
  if (auto list = std::dynamic_pointer_cast<TList>(datasource)) {
    keys = KeysFromList(list);
  } else if (auto strings = std::dynamic_pointer_cast<TStringArray>(datasource)) {
    keys = strings->values;
  } else if (auto objects = std::dynamic_pointer_cast<TObjectArray>(datasource)) {
    keys = KeysFromObjectArray(objects->elements);
  }
  if (keys.empty()) {
    // The items no longer mirror any keys, so the remembered keys go too;
    // otherwise the next sync would edit items that are not there.
    datakeys.clear();
    if (items.empty()) return 0;
    Clear();
    return 1;
  }
  SyncData(keys);
  datakeys = keys;
  return 0;
}

int32_t TGadget::SyncData(const std::vector<String>& keys) {
  const std::vector<String> previous = datakeys;
  const size_t prevCount = previous.size();
  size_t j = 0;
  int32_t p = 0;
  for (size_t n = 0; n < keys.size(); ++n) {
    const String& key = keys[n];
    if (j >= prevCount) {
      InsertItemFromKey(p++, key);
      continue;
    }
    if (key == previous[j]) {
      ++j;
      ++p;
      continue;
    }
    size_t match = j + 1;
    while (match < prevCount && previous[match] != key) ++match;
    size_t skip = match - j;
    size_t run = 1;
    while (n + run < keys.size() && match + run < prevCount && keys[n + run] == previous[match + run]) ++run;
    if (match < prevCount && run > skip) {
      for (size_t i = 0; i < skip; ++i) RemoveItem(p);
      j += skip + 1;
      ++p;
    } else {
      InsertItemFromKey(p++, key);
    }
  }
  for (int32_t count = ItemCount(); p < count;) {
    RemoveItem(p);
    int32_t left = ItemCount();
    if (left >= count) break;  // nothing was removed: stop rather than spin
    count = left;
  }
  return 0;
}

int32_t TGadget::InsertItemFromKey(int32_t index, const String& key) {
  return InsertItem(index, key, String(), 0, datasource, 0);
}

int32_t TGadget::Clear() {
  ClearListItems();
  items.clear();
  return 0;
}

int32_t TGadget::InsertItem(int32_t index, const String& text, const String& tip, int32_t icon,
                            const ObjectRef& itemExtra, int32_t flags) {
  if (index < 0 || index > static_cast<int32_t>(items.size())) return 0;
  auto item = New<TGadgetItem>();
  item->Set(text, tip, icon, itemExtra, flags);
  items.insert(items.begin() + index, item);
  if (flags & GadgetItemLocalized) {
    InsertListItem(index, GadgetLocalizeText(text), GadgetLocalizeText(tip), icon, itemExtra);
  } else {
    InsertListItem(index, text, tip, icon, itemExtra);
  }
  if (flags & GadgetItemDefault) SelectItem(index, 1);
  return 1;
}

int32_t TGadget::SetItem(int32_t index, const String& text, const String& tip, int32_t icon, const ObjectRef& itemExtra,
                         int32_t flags) {
  if (!ValidItem(index)) return 0;
  items[index]->Set(text, tip, icon, itemExtra, flags);
  if (flags & GadgetItemLocalized) {
    SetListItem(index, GadgetLocalizeText(text), GadgetLocalizeText(tip), icon, itemExtra);
  } else {
    SetListItem(index, text, tip, icon, itemExtra);
  }
  if (flags & GadgetItemDefault) SelectItem(index, 1);
  return 1;
}

int32_t TGadget::RemoveItem(int32_t index) {
  if (!ValidItem(index)) return 0;
  items.erase(items.begin() + index);
  RemoveListItem(index);
  return 1;
}

int32_t TGadget::ItemCount() { return static_cast<int32_t>(items.size()); }
String TGadget::ItemText(int32_t index) { return ValidItem(index) ? items[index]->text : String(); }
String TGadget::ItemTip(int32_t index) { return ValidItem(index) ? items[index]->tip : String(); }
int32_t TGadget::ItemFlags(int32_t index) { return ValidItem(index) ? items[index]->flags : 0; }
int32_t TGadget::ItemIcon(int32_t index) { return ValidItem(index) ? items[index]->icon : 0; }
ObjectRef TGadget::ItemExtra(int32_t index) { return ValidItem(index) ? items[index]->extra : nullptr; }

int32_t TGadget::SetItemState(int32_t index, int32_t state) {
  if (!ValidItem(index)) return 0;
  return SetListItemState(index, state);
}

int32_t TGadget::ItemState(int32_t index) {
  if (!ValidItem(index)) return 0;
  return ListItemState(index);
}

int32_t TGadget::SelectItem(int32_t index, int32_t op) {
  if (index == -1) {
    for (int32_t i = 0; i < ItemCount(); ++i) SelectItem(i, op);
    return 1;
  }
  if (!ValidItem(index)) return 0;
  int32_t state = ItemState(index);
  if (op == 0) state &= ~GadgetItemStateSelected;
  if (op == 1) state |= GadgetItemStateSelected;
  if (op == 2) state ^= GadgetItemStateSelected;
  Ref<TGadgetItem> item = items[index];
  if (item->icon > -1 && (item->flags & GadgetItemToggle)) {
    int32_t shown = item->icon + ((state & GadgetItemStateSelected) ? 1 : 0);
    if (item->flags & GadgetItemLocalized) {
      SetListItem(index, GadgetLocalizeText(item->text), GadgetLocalizeText(item->tip), shown, item->extra);
    } else {
      SetListItem(index, item->text, item->tip, shown, item->extra);
    }
  }
  SetItemState(index, state);
  return 1;
}

int32_t TGadget::SelectedItem() {
  std::vector<int32_t> selected = SelectedItems();
  return selected.size() == 1 ? selected[0] : -1;
}

std::vector<int32_t> TGadget::SelectedItems() {
  std::vector<int32_t> selected;
  int32_t count = static_cast<int32_t>(items.size());
  for (int32_t i = 0; i < count; ++i) {
    if (ListItemState(i) & GadgetItemStateSelected) selected.push_back(i);
  }
  return selected;
}

int32_t TGadget::CleanUp() {
  auto self = Self();
  for (auto& kid : std::vector<Ref<TGadget>>(kids)) kid->CleanUp();
  Free();
  GadgetDelocalizeFreed(self);
  kids.clear();
  parent = nullptr;
  extra = nullptr;
  context = nullptr;
  eventfilter = nullptr;
  items.clear();
  for (int32_t button = 1; button <= GadgetDragSlotCount; ++button) {
    if (GadgetDragSource(button) == self) GadgetSetDragSource(button, nullptr);
  }
  return 0;
}

// The do-nothing defaults that a driver's gadget classes override.
int32_t TGadget::Insert(const Ref<TGadget>&, int32_t) { return 0; }
int32_t TGadget::Query(int32_t) { return 0; }
int32_t TGadget::Free() { return 0; }
int32_t TGadget::Rethink() { return 0; }
int32_t TGadget::ClientWidth() { return 0; }
int32_t TGadget::ClientHeight() { return 0; }
int32_t TGadget::Activate(int32_t) { return 0; }
int32_t TGadget::State() { return 0; }
int32_t TGadget::SetText(const String&) { return 0; }
String TGadget::GetText() { return String(); }
int32_t TGadget::SetFont(const Ref<TGuiFont>&) { return 0; }
int32_t TGadget::SetColor(int32_t, int32_t, int32_t) { return 0; }
int32_t TGadget::RemoveColor() { return 0; }
int32_t TGadget::SetAlpha(float) { return 0; }
int32_t TGadget::SetTextColor(int32_t, int32_t, int32_t) { return 0; }
int32_t TGadget::SetTooltip(const String&) { return 0; }
String TGadget::GetTooltip() { return String(); }
int32_t TGadget::SetPixmap(const Ref<TPixmap>&, int32_t) { return 0; }
int32_t TGadget::SetIconStrip(const Ref<TIconStrip>&) { return 0; }
int32_t TGadget::SetShow(int32_t) { return 0; }
int32_t TGadget::SetEnabled(int32_t) { return 0; }
int32_t TGadget::SetSelected(int32_t) { return 0; }
int32_t TGadget::SetHotKey(int32_t, int32_t) { return 0; }
int32_t TGadget::SetSensitivity(int32_t mask) {
  sensitivity = mask;
  return 0;
}
int32_t TGadget::GetSensitivity() { return sensitivity; }
int32_t TGadget::Class() { return GadgetClassDesktop; }
String TGadget::GetStatusText() { return String(); }
int32_t TGadget::SetStatusText(const String&) { return 0; }
Ref<TGadget> TGadget::GetMenu() { return nullptr; }
int32_t TGadget::PopupMenu(const Ref<TGadget>&, const ObjectRef&) { return 0; }
int32_t TGadget::UpdateMenu() { return 0; }
int32_t TGadget::SetMinimumSize(int32_t, int32_t) { return 0; }
int32_t TGadget::SetMaximumSize(int32_t, int32_t) { return 0; }
int32_t TGadget::ClearListItems() { return 0; }
int32_t TGadget::InsertListItem(int32_t, const String&, const String&, int32_t, const ObjectRef&) { return 0; }
int32_t TGadget::SetListItem(int32_t, const String&, const String&, int32_t, const ObjectRef&) { return 0; }
int32_t TGadget::RemoveListItem(int32_t) { return 0; }
int32_t TGadget::SetListItemState(int32_t, int32_t) { return 0; }
int32_t TGadget::ListItemState(int32_t) { return 0; }
Ref<TGadget> TGadget::RootNode() { return nullptr; }
Ref<TGadget> TGadget::InsertNode(int32_t, const String&, int32_t) { return nullptr; }
int32_t TGadget::ModifyNode(const String&, int32_t) { return 0; }
Ref<TGadget> TGadget::SelectedNode() { return nullptr; }
int32_t TGadget::CountKids() { return 0; }
int32_t TGadget::ReplaceText(int32_t, int32_t, const String&, int32_t) { return 0; }
int32_t TGadget::AddText(const String&) { return 0; }
String TGadget::AreaText(int32_t, int32_t, int32_t) { return String(); }
int32_t TGadget::AreaLen(int32_t) { return 0; }
int32_t TGadget::LockText() { return 0; }
int32_t TGadget::UnlockText() { return 0; }
int32_t TGadget::SetTabs(int32_t) { return 0; }
int32_t TGadget::SetMargins(int32_t) { return 0; }
int32_t TGadget::GetCursorPos(int32_t) { return 0; }
int32_t TGadget::GetSelectionLength(int32_t) { return 0; }
int32_t TGadget::SetStyle(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t TGadget::SetSelection(int32_t, int32_t, int32_t) { return 0; }
int32_t TGadget::CharX(int32_t) { return 0; }
int32_t TGadget::CharY(int32_t) { return 0; }
int32_t TGadget::CharAt(int32_t) { return 0; }
int32_t TGadget::LineAt(int32_t) { return 0; }
int32_t TGadget::SetValue(float) { return 0; }
int32_t TGadget::SetRange(int32_t, int32_t) { return 0; }
int32_t TGadget::SetProp(int32_t) { return 0; }
int32_t TGadget::GetProp() { return 0; }
ObjectRef TGadget::AttachGraphics(int32_t) { return nullptr; }
ObjectRef TGadget::CanvasGraphics() { return nullptr; }
String TGadget::Run(const String&) { return String(); }

bool TGadget::IsProxy() const { return false; }
Ref<TGadget> TGadget::ProxyTarget() const { return nullptr; }

void GadgetInit() {
  if (gadgetStarted) return;
  gadgetStarted = true;
  HookInit();
  EventInit();
  TEvent::RegisterId(GadgetDrag, S("GadgetDrag"));
  TEvent::RegisterId(GadgetDrop, S("GadgetDrop"));
  for (int32_t button = 1; button <= GadgetDragSlotCount; ++button) GadgetSetDragSource(button, nullptr);
  GadgetPlaceholder();
}
