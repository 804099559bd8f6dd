#include "gui/proxy/TProxyGadget.h"

#include <algorithm>

TProxyGadget::TProxyGadget() : proxy(GadgetPlaceholder()) {}

int32_t TProxyGadget::SetProxy(const Ref<TGadget>& gadget) {
  // A gadget whose chain of wrapped gadgets leads back here would make every
  // forwarded call recurse without end.
  std::vector<const TGadget*> visited;
  for (Ref<TGadget> at = gadget; at; at = at->ProxyTarget()) {
    if (at.get() == this) return -1;
    if (std::find(visited.begin(), visited.end(), at.get()) != visited.end()) break;
    visited.push_back(at.get());
  }
  // Only a gadget that still names this proxy is released; one that has been
  // rewrapped by another proxy keeps its new source.
  if (proxy && proxy->source.lock().get() == this) proxy->source.reset();
  proxy = gadget;
  if (proxy) proxy->source = std::static_pointer_cast<TGadget>(weak_from_this().lock());
  return 0;
}

Ref<TGadget> TProxyGadget::GetProxy() { return proxy; }

int32_t TProxyGadget::SetStatus(const String& text) { return SetStatusText(text); }

String TProxyGadget::GetStatusText() { return String(); }

bool TProxyGadget::IsProxy() const { return true; }

Ref<TGadget> TProxyGadget::ProxyTarget() const { return proxy; }

Ref<TGadget> TProxyGadget::Target() const {
  if (proxy) return proxy;
  return GadgetPlaceholder();
}

int32_t TProxyGadget::HasDescendant(const Ref<TGadget>& gadget) { return Target()->HasDescendant(gadget); }
int32_t TProxyGadget::GetXPos() { return Target()->GetXPos(); }
int32_t TProxyGadget::GetYPos() { return Target()->GetYPos(); }
int32_t TProxyGadget::GetWidth() { return Target()->GetWidth(); }
int32_t TProxyGadget::GetHeight() { return Target()->GetHeight(); }
Ref<TGadget> TProxyGadget::GetGroup() { return Target()->GetGroup(); }
int32_t TProxyGadget::SetShape(int32_t x, int32_t y, int32_t w, int32_t h) { return Target()->SetShape(x, y, w, h); }
int32_t TProxyGadget::SetLayout(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return Target()->SetLayout(left, right, top, bottom);
}
int32_t TProxyGadget::Clear() { return Target()->Clear(); }
int32_t TProxyGadget::InsertItem(int32_t index, const String& text, const String& tip, int32_t icon,
                                 const ObjectRef& itemExtra, int32_t flags) {
  return Target()->InsertItem(index, text, tip, icon, itemExtra, flags);
}
int32_t TProxyGadget::SetItem(int32_t index, const String& text, const String& tip, int32_t icon,
                              const ObjectRef& itemExtra, int32_t flags) {
  return Target()->SetItem(index, text, tip, icon, itemExtra, flags);
}
int32_t TProxyGadget::RemoveItem(int32_t index) { return Target()->RemoveItem(index); }
int32_t TProxyGadget::ItemCount() { return Target()->ItemCount(); }
String TProxyGadget::ItemText(int32_t index) { return Target()->ItemText(index); }
String TProxyGadget::ItemTip(int32_t index) { return Target()->ItemTip(index); }
int32_t TProxyGadget::ItemFlags(int32_t index) { return Target()->ItemFlags(index); }
int32_t TProxyGadget::ItemIcon(int32_t index) { return Target()->ItemIcon(index); }
ObjectRef TProxyGadget::ItemExtra(int32_t index) { return Target()->ItemExtra(index); }
int32_t TProxyGadget::SetItemState(int32_t index, int32_t state) { return Target()->SetItemState(index, state); }
int32_t TProxyGadget::ItemState(int32_t index) { return Target()->ItemState(index); }
int32_t TProxyGadget::SelectItem(int32_t index, int32_t op) { return Target()->SelectItem(index, op); }
int32_t TProxyGadget::SelectedItem() { return Target()->SelectedItem(); }
std::vector<int32_t> TProxyGadget::SelectedItems() { return Target()->SelectedItems(); }
int32_t TProxyGadget::Query(int32_t code) { return Target()->Query(code); }
int32_t TProxyGadget::CleanUp() { return Target()->CleanUp(); }
int32_t TProxyGadget::Free() { return Target()->Free(); }
int32_t TProxyGadget::Rethink() { return Target()->Rethink(); }
int32_t TProxyGadget::ClientWidth() { return Target()->ClientWidth(); }
int32_t TProxyGadget::ClientHeight() { return Target()->ClientHeight(); }
int32_t TProxyGadget::Activate(int32_t command) { return Target()->Activate(command); }
int32_t TProxyGadget::State() { return Target()->State(); }
int32_t TProxyGadget::SetText(const String& text) { return Target()->SetText(text); }
String TProxyGadget::GetText() { return Target()->GetText(); }
int32_t TProxyGadget::SetFont(const Ref<TGuiFont>& font) { return Target()->SetFont(font); }
int32_t TProxyGadget::SetColor(int32_t r, int32_t g, int32_t b) { return Target()->SetColor(r, g, b); }
int32_t TProxyGadget::RemoveColor() { return Target()->RemoveColor(); }
int32_t TProxyGadget::SetAlpha(float alpha) { return Target()->SetAlpha(alpha); }
int32_t TProxyGadget::SetTextColor(int32_t r, int32_t g, int32_t b) { return Target()->SetTextColor(r, g, b); }
int32_t TProxyGadget::SetTooltip(const String& tip) { return Target()->SetTooltip(tip); }
String TProxyGadget::GetTooltip() { return Target()->GetTooltip(); }
int32_t TProxyGadget::SetPixmap(const Ref<TPixmap>& pixmap, int32_t flags) {
  return Target()->SetPixmap(pixmap, flags);
}
int32_t TProxyGadget::SetIconStrip(const Ref<TIconStrip>& strip) { return Target()->SetIconStrip(strip); }
int32_t TProxyGadget::SetShow(int32_t flag) { return Target()->SetShow(flag); }
int32_t TProxyGadget::SetEnabled(int32_t flag) { return Target()->SetEnabled(flag); }
int32_t TProxyGadget::SetSelected(int32_t flag) { return Target()->SetSelected(flag); }
int32_t TProxyGadget::SetHotKey(int32_t key, int32_t modifiers) { return Target()->SetHotKey(key, modifiers); }
int32_t TProxyGadget::SetSensitivity(int32_t mask) { return Target()->SetSensitivity(mask); }
int32_t TProxyGadget::GetSensitivity() { return Target()->GetSensitivity(); }
int32_t TProxyGadget::Class() { return Target()->Class(); }
int32_t TProxyGadget::SetStatusText(const String& text) { return Target()->SetStatusText(text); }
Ref<TGadget> TProxyGadget::GetMenu() { return Target()->GetMenu(); }
int32_t TProxyGadget::PopupMenu(const Ref<TGadget>& menu, const ObjectRef& popupExtra) {
  return Target()->PopupMenu(menu, popupExtra);
}
int32_t TProxyGadget::UpdateMenu() { return Target()->UpdateMenu(); }
int32_t TProxyGadget::SetMinimumSize(int32_t w, int32_t h) { return Target()->SetMinimumSize(w, h); }
int32_t TProxyGadget::SetMaximumSize(int32_t w, int32_t h) { return Target()->SetMaximumSize(w, h); }
int32_t TProxyGadget::ClearListItems() { return Target()->ClearListItems(); }
int32_t TProxyGadget::InsertListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                                     const ObjectRef& itemExtra) {
  return Target()->InsertListItem(index, text, tip, icon, itemExtra);
}
int32_t TProxyGadget::SetListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                                  const ObjectRef& itemExtra) {
  return Target()->SetListItem(index, text, tip, icon, itemExtra);
}
int32_t TProxyGadget::RemoveListItem(int32_t index) { return Target()->RemoveListItem(index); }
int32_t TProxyGadget::SetListItemState(int32_t index, int32_t state) {
  return Target()->SetListItemState(index, state);
}
int32_t TProxyGadget::ListItemState(int32_t index) { return Target()->ListItemState(index); }
Ref<TGadget> TProxyGadget::RootNode() { return Target()->RootNode(); }
Ref<TGadget> TProxyGadget::InsertNode(int32_t index, const String& text, int32_t icon) {
  return Target()->InsertNode(index, text, icon);
}
int32_t TProxyGadget::ModifyNode(const String& text, int32_t icon) { return Target()->ModifyNode(text, icon); }
Ref<TGadget> TProxyGadget::SelectedNode() { return Target()->SelectedNode(); }
int32_t TProxyGadget::CountKids() { return Target()->CountKids(); }
int32_t TProxyGadget::ReplaceText(int32_t pos, int32_t length, const String& text, int32_t units) {
  return Target()->ReplaceText(pos, length, text, units);
}
int32_t TProxyGadget::AddText(const String& text) { return Target()->AddText(text); }
String TProxyGadget::AreaText(int32_t pos, int32_t length, int32_t units) {
  return Target()->AreaText(pos, length, units);
}
int32_t TProxyGadget::AreaLen(int32_t units) { return Target()->AreaLen(units); }
int32_t TProxyGadget::LockText() { return Target()->LockText(); }
int32_t TProxyGadget::UnlockText() { return Target()->UnlockText(); }
int32_t TProxyGadget::SetTabs(int32_t width) { return Target()->SetTabs(width); }
int32_t TProxyGadget::SetMargins(int32_t width) { return Target()->SetMargins(width); }
int32_t TProxyGadget::GetCursorPos(int32_t units) { return Target()->GetCursorPos(units); }
int32_t TProxyGadget::GetSelectionLength(int32_t units) { return Target()->GetSelectionLength(units); }
int32_t TProxyGadget::SetStyle(int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos, int32_t length,
                               int32_t units) {
  return Target()->SetStyle(r, g, b, flags, pos, length, units);
}
int32_t TProxyGadget::SetSelection(int32_t pos, int32_t length, int32_t units) {
  return Target()->SetSelection(pos, length, units);
}
int32_t TProxyGadget::CharX(int32_t index) { return Target()->CharX(index); }
int32_t TProxyGadget::CharY(int32_t index) { return Target()->CharY(index); }
int32_t TProxyGadget::CharAt(int32_t line) { return Target()->CharAt(line); }
int32_t TProxyGadget::LineAt(int32_t index) { return Target()->LineAt(index); }
int32_t TProxyGadget::SetValue(float value) { return Target()->SetValue(value); }
int32_t TProxyGadget::SetRange(int32_t visibleAmount, int32_t totalAmount) {
  return Target()->SetRange(visibleAmount, totalAmount);
}
int32_t TProxyGadget::SetProp(int32_t value) { return Target()->SetProp(value); }
int32_t TProxyGadget::GetProp() { return Target()->GetProp(); }
ObjectRef TProxyGadget::AttachGraphics(int32_t flags) { return Target()->AttachGraphics(flags); }
ObjectRef TProxyGadget::CanvasGraphics() { return Target()->CanvasGraphics(); }
String TProxyGadget::Run(const String& script) { return Target()->Run(script); }
