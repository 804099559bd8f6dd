#pragma once

#include <cstdint>
#include <vector>

#include "gui/core/Gadget.h"
#include "gui/core/GadgetPlaceholder.h"

// A gadget without a widget of its own. It wraps another gadget, its proxy, and
// passes nearly every operation on to it, so that a control built from ordinary
// gadgets looks like one gadget to the application. The wrapped gadget's source
// names this proxy, so its events are reported as this proxy's events.
//
// Layout, tree, key filter and data-source operations are not forwarded: they
// act on the proxy object itself. A key filter set on a proxy is therefore never
// consulted by the back end, which asks the wrapped gadget.
class TProxyGadget : public TGadget {
 public:
  // Wraps the shared placeholder gadget until SetProxy is called.
  TProxyGadget();

  // Wraps gadget (none unwraps): a gadget released here stops naming this proxy
  // as its source, the new one starts; 0. Refuses this proxy itself or a proxy
  // that wraps it, directly or through other proxies: -1, nothing changes.
  virtual int32_t SetProxy(const Ref<TGadget>& gadget);
  virtual Ref<TGadget> GetProxy();
  // Same as SetStatusText, which forwards.
  virtual int32_t SetStatus(const String& text);

  // A proxy has no status text of its own and does not ask the wrapped gadget.
  String GetStatusText() override;

  bool IsProxy() const override;
  Ref<TGadget> ProxyTarget() const override;

  int32_t HasDescendant(const Ref<TGadget>& gadget) override;
  int32_t GetXPos() override;
  int32_t GetYPos() override;
  int32_t GetWidth() override;
  int32_t GetHeight() override;
  Ref<TGadget> GetGroup() override;
  int32_t SetShape(int32_t x, int32_t y, int32_t w, int32_t h) override;
  int32_t SetLayout(int32_t left, int32_t right, int32_t top, int32_t bottom) override;
  int32_t Clear() override;
  int32_t InsertItem(int32_t index, const String& text, const String& tip, int32_t icon, const ObjectRef& itemExtra,
                     int32_t flags) override;
  int32_t SetItem(int32_t index, const String& text, const String& tip, int32_t icon, const ObjectRef& itemExtra,
                  int32_t flags) override;
  int32_t RemoveItem(int32_t index) override;
  int32_t ItemCount() override;
  String ItemText(int32_t index) override;
  String ItemTip(int32_t index) override;
  int32_t ItemFlags(int32_t index) override;
  int32_t ItemIcon(int32_t index) override;
  ObjectRef ItemExtra(int32_t index) override;
  int32_t SetItemState(int32_t index, int32_t state) override;
  int32_t ItemState(int32_t index) override;
  int32_t SelectItem(int32_t index, int32_t op) override;
  int32_t SelectedItem() override;
  std::vector<int32_t> SelectedItems() override;
  int32_t Query(int32_t code) override;
  int32_t CleanUp() override;
  int32_t Free() override;
  int32_t Rethink() override;
  int32_t ClientWidth() override;
  int32_t ClientHeight() override;
  int32_t Activate(int32_t command) override;
  int32_t State() override;
  int32_t SetText(const String& text) override;
  String GetText() override;
  int32_t SetFont(const Ref<TGuiFont>& font) override;
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  int32_t RemoveColor() override;
  int32_t SetAlpha(float alpha) override;
  int32_t SetTextColor(int32_t r, int32_t g, int32_t b) override;
  int32_t SetTooltip(const String& tip) override;
  String GetTooltip() override;
  int32_t SetPixmap(const Ref<TPixmap>& pixmap, int32_t flags) override;
  int32_t SetIconStrip(const Ref<TIconStrip>& strip) override;
  int32_t SetShow(int32_t flag) override;
  int32_t SetEnabled(int32_t flag) override;
  int32_t SetSelected(int32_t flag) override;
  int32_t SetHotKey(int32_t key, int32_t modifiers) override;
  int32_t SetSensitivity(int32_t mask) override;
  int32_t GetSensitivity() override;
  int32_t Class() override;
  int32_t SetStatusText(const String& text) override;
  Ref<TGadget> GetMenu() override;
  int32_t PopupMenu(const Ref<TGadget>& menu, const ObjectRef& popupExtra) override;
  int32_t UpdateMenu() override;
  int32_t SetMinimumSize(int32_t w, int32_t h) override;
  int32_t SetMaximumSize(int32_t w, int32_t h) override;
  int32_t ClearListItems() override;
  int32_t InsertListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                         const ObjectRef& itemExtra) override;
  int32_t SetListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                      const ObjectRef& itemExtra) override;
  int32_t RemoveListItem(int32_t index) override;
  int32_t SetListItemState(int32_t index, int32_t state) override;
  int32_t ListItemState(int32_t index) override;
  Ref<TGadget> RootNode() override;
  Ref<TGadget> InsertNode(int32_t index, const String& text, int32_t icon) override;
  int32_t ModifyNode(const String& text, int32_t icon) override;
  Ref<TGadget> SelectedNode() override;
  int32_t CountKids() override;
  int32_t ReplaceText(int32_t pos, int32_t length, const String& text, int32_t units) override;
  int32_t AddText(const String& text) override;
  String AreaText(int32_t pos, int32_t length, int32_t units) override;
  int32_t AreaLen(int32_t units) override;
  int32_t LockText() override;
  int32_t UnlockText() override;
  int32_t SetTabs(int32_t width) override;
  int32_t SetMargins(int32_t width) override;
  int32_t GetCursorPos(int32_t units) override;
  int32_t GetSelectionLength(int32_t units) override;
  int32_t SetStyle(int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos, int32_t length, int32_t units) override;
  int32_t SetSelection(int32_t pos, int32_t length, int32_t units) override;
  int32_t CharX(int32_t index) override;
  int32_t CharY(int32_t index) override;
  int32_t CharAt(int32_t line) override;
  int32_t LineAt(int32_t index) override;
  int32_t SetValue(float value) override;
  int32_t SetRange(int32_t visibleAmount, int32_t totalAmount) override;
  int32_t SetProp(int32_t value) override;
  int32_t GetProp() override;
  ObjectRef AttachGraphics(int32_t flags) override;
  ObjectRef CanvasGraphics() override;
  String Run(const String& script) override;

  // The wrapped gadget; owned. The placeholder until SetProxy is called.
  Ref<TGadget> proxy;

 private:
  // Where forwarded operations go: the wrapped gadget, or the placeholder when
  // the proxy was unwrapped with SetProxy(none), so that nothing ever calls
  // through a null reference. The returned reference keeps the target alive
  // for the whole forwarded call, even if that call rewraps this proxy.
  Ref<TGadget> Target() const;
};
