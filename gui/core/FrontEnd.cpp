#include "gui/core/FrontEnd.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "gui/core/Localization.h"

namespace {

bool frontEndStarted = false;

Ref<TGadget> Create(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                    const Ref<TGadget>& group, int32_t style) {
  if (!GuiDriver) return nullptr;
  return GuiDriver->CreateGadget(gadgetClass, text, x, y, w, h, group, style);
}

// start + (room - size) / 2, worked out in 64 bits (the 32-bit sum and
// difference can overflow at extreme values) and clamped to 32 bits.
int32_t Centred(int32_t start, int32_t room, int32_t size) {
  int64_t at = int64_t{start} + (int64_t{room} - size) / 2;
  return static_cast<int32_t>(std::clamp<int64_t>(at, INT32_MIN, INT32_MAX));
}

// The shape of nearly every operation below: op on a gadget that is there;
// for none, fallback, which by default is the empty value of the result type.
template <auto fallback = nullptr, typename R, typename... P, typename... A>
R Forward(const Ref<TGadget>& g, R (TGadget::*op)(P...), A&&... args) {
  if (g) return (g.get()->*op)(std::forward<A>(args)...);
  if constexpr (std::is_null_pointer_v<decltype(fallback)>)
    return R();
  else
    return fallback;
}

// Recursive 0: the bit itself. Otherwise 1 as soon as the gadget or one of its
// groups has the bit.
int32_t StateBit(const Ref<TGadget>& gadget, int32_t bit, int32_t recursive) {
  if (!gadget) return 0;
  if (!recursive) return gadget->State() & bit;
  std::vector<const TGadget*> visited;
  for (Ref<TGadget> at = gadget; at; at = at->GetGroup()) {
    if (std::find(visited.begin(), visited.end(), at.get()) != visited.end()) break;
    visited.push_back(at.get());
    if (at->State() & bit) return 1;
  }
  return 0;
}

void RouteMode(int32_t mode) {
  if (GuiDriver) {
    GuiDriver->SetLocalizationMode(mode);
  } else {
    LocalizationStoreMode(mode);
  }
}

void RouteLanguage(const String& language) {
  if (GuiDriver) {
    GuiDriver->SetLanguage(language);
  } else {
    LocalizationStoreLanguage(language);
  }
}

void DelocalizeThroughDriver(const Ref<TGadget>& gadget) {
  if (GuiDriver) GuiDriver->DelocalizeGadget(gadget);
}

}  // namespace

Ref<TGadget> GetDesktop() { return Create(GadgetClassDesktop, String(), 0, 0, 0, 0, nullptr, 0); }

Ref<TGadget> MakeWindow(const String& title, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                        int32_t style) {
  if (!GuiDriver) return nullptr;
  Ref<TGadget> parent = GadgetUnproxy(group);
  if (style & WindowCenter) {
    if (group) {
      x = Centred(group->GetXPos(), group->GetWidth(), w);
      y = Centred(group->GetYPos(), group->GetHeight(), h);
    } else if (Ref<TGadget> desktop = GetDesktop()) {
      x = Centred(0, std::min(desktop->GetWidth(), desktop->ClientWidth()), w);
      y = Centred(0, std::min(desktop->GetHeight(), desktop->ClientHeight()), h);
    }
  }
  return Create(GadgetClassWindow, title, x, y, w, h, parent, style);
}

Ref<TGadget> MakeButton(const String& label, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                        int32_t style) {
  return Create(GadgetClassButton, label, x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakePanel(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style,
                       const String& title) {
  return Create(GadgetClassPanel, title, x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeTextField(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassTextField, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeTextArea(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassTextArea, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeComboBox(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassComboBox, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeListBox(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassListBox, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeToolbar(const ObjectRef& iconSource, int32_t x, int32_t y, int32_t w, int32_t h,
                         const Ref<TGadget>& group, int32_t style) {
  if (!GuiDriver) return nullptr;
  Ref<TIconStrip> strip = std::dynamic_pointer_cast<TIconStrip>(iconSource);
  if (!strip) strip = IconStripLoad(iconSource);
  Ref<TGadget> toolbar = Create(GadgetClassToolbar, String(), x, y, w, h, group, style);
  if (toolbar && strip) {
    toolbar->SetIconStrip(strip);
    int32_t flags = (LocalizationMode() & LocalizationOverride) ? GadgetItemLocalized : 0;
    for (int32_t i = 0; i < strip->count; ++i) GadgetAddItem(toolbar, String(), flags, i, String(), nullptr);
  }
  return toolbar;
}

Ref<TGadget> MakeTabber(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassTabber, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeTreeView(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassTreeView, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeHtmlView(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassHtmlView, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeLabel(const String& text, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                       int32_t style) {
  return Create(GadgetClassLabel, text, x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeSlider(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassSlider, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeProgressBar(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  return Create(GadgetClassProgressBar, String(), x, y, w, h, GadgetUnproxy(group), style);
}

Ref<TGadget> MakeMenu(const String& text, int32_t tag, const Ref<TGadget>& parent, int32_t hotKey, int32_t modifiers) {
  Ref<TGadget> menu = Create(GadgetClassMenu, text, 0, 0, 0, 0, GadgetUnproxy(parent), tag);
  if (menu && hotKey != 0) menu->SetHotKey(hotKey, modifiers);
  return menu;
}

Ref<TGadget> MakeCanvas(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  Ref<TGadget> canvas = Create(GadgetClassCanvas, String(), x, y, w, h, GadgetUnproxy(group), style);
  if (canvas) canvas->AttachGraphics(GraphicsDefaultFlags);
  return canvas;
}

int32_t GadgetFree(const Ref<TGadget>& g) { return Forward(g, &TGadget::CleanUp); }
int32_t MenuFree(const Ref<TGadget>& menu) { return GadgetFree(menu); }
int32_t NodeFree(const Ref<TGadget>& node) { return GadgetFree(node); }
int32_t GadgetClientWidth(const Ref<TGadget>& g) { return Forward(g, &TGadget::ClientWidth); }
int32_t GadgetClientHeight(const Ref<TGadget>& g) { return Forward(g, &TGadget::ClientHeight); }
int32_t GadgetGetX(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetXPos); }
int32_t GadgetGetY(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetYPos); }
int32_t GadgetGetWidth(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetWidth); }
int32_t GadgetGetHeight(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetHeight); }
Ref<TGadget> GadgetGetGroup(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetGroup); }
int32_t GadgetGetClass(const Ref<TGadget>& g) { return Forward(g, &TGadget::Class); }
int32_t GadgetShow(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetShow, 1); }
int32_t GadgetHide(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetShow, 0); }
int32_t GadgetEnable(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetEnabled, 1); }
int32_t GadgetDisable(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetEnabled, 0); }
int32_t MenuEnable(const Ref<TGadget>& menu) { return GadgetEnable(menu); }
int32_t MenuDisable(const Ref<TGadget>& menu) { return GadgetDisable(menu); }

int32_t GadgetIsHidden(const Ref<TGadget>& gadget, int32_t recursive) {
  return StateBit(gadget, GadgetStateHidden, recursive);
}
int32_t GadgetIsDisabled(const Ref<TGadget>& gadget, int32_t recursive) {
  return StateBit(gadget, GadgetStateDisabled, recursive);
}

int32_t GadgetSetShape(const Ref<TGadget>& g, int32_t x, int32_t y, int32_t w, int32_t h) {
  return Forward(g, &TGadget::SetShape, x, y, w, h);
}
int32_t GadgetSetLayout(const Ref<TGadget>& g, int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return Forward(g, &TGadget::SetLayout, left, right, top, bottom);
}

int32_t GadgetSetSensitivity(const Ref<TGadget>& g, int32_t mask) { return Forward(g, &TGadget::SetSensitivity, mask); }
int32_t GadgetGetSensitivity(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetSensitivity); }

int32_t GadgetSetExtra(const Ref<TGadget>& gadget, const ObjectRef& extra) {
  if (gadget) gadget->extra = extra;
  return 0;
}
ObjectRef GadgetGetExtra(const Ref<TGadget>& gadget) { return gadget ? gadget->extra : nullptr; }

int32_t GadgetFocus(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateFocus); }
int32_t WindowFocus(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateFocus); }
int32_t GadgetCutText(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateCut); }
int32_t GadgetCopyText(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateCopy); }
int32_t GadgetPasteText(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivatePaste); }
int32_t WindowMinimize(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateMinimize); }
int32_t WindowMaximize(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateMaximize); }
int32_t WindowRestore(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateRestore); }
int32_t NodeExpand(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateExpand); }
int32_t NodeCollapse(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateCollapse); }
int32_t NodeSelect(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateSelect); }
int32_t HtmlViewBack(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateBack); }
int32_t HtmlViewForward(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateForward); }
int32_t GadgetPrintOut(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivatePrint); }
int32_t GadgetRedraw(const Ref<TGadget>& g) { return Forward(g, &TGadget::Activate, ActivateRedraw); }
Ref<TGadget> FocusedGadget() { return GuiDriver ? GuiDriver->ActiveGadget() : nullptr; }
int32_t ClipboardClear() { return GuiDriver ? GuiDriver->ClearClipboard() : 0; }
int32_t WindowGrabKeyboard(const Ref<TGadget>& window) { return GuiDriver ? GuiDriver->GrabKeyboard(window) : 0; }

int32_t GadgetSetText(const Ref<TGadget>& g, const String& text) {
  if (g) GadgetDelocalize(g);
  return Forward(g, &TGadget::SetText, text);
}
int32_t MenuSetText(const Ref<TGadget>& menu, const String& text) { return GadgetSetText(menu, text); }
String GadgetGetText(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetText); }
String MenuGetText(const Ref<TGadget>& menu) { return GadgetGetText(menu); }
String TextFieldGetText(const Ref<TGadget>& field) { return GadgetGetText(field); }

int32_t GadgetSetTooltip(const Ref<TGadget>& g, const String& tip) {
  if (g) GadgetDelocalize(g);
  return Forward(g, &TGadget::SetTooltip, tip);
}
String GadgetGetTooltip(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetTooltip); }

int32_t GadgetSetFont(const Ref<TGadget>& g, const Ref<TGuiFont>& font) { return Forward(g, &TGadget::SetFont, font); }
int32_t TextAreaSetFont(const Ref<TGadget>& area, const Ref<TGuiFont>& font) { return GadgetSetFont(area, font); }

int32_t GadgetSetColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b, int32_t background) {
  return Forward(gadget, background ? &TGadget::SetColor : &TGadget::SetTextColor, r, g, b);
}
int32_t TextAreaSetColor(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t background) {
  return GadgetSetColor(area, r, g, b, background);
}
int32_t GadgetSetTextColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b) {
  return Forward(gadget, &TGadget::SetTextColor, r, g, b);
}
int32_t PanelSetColor(const Ref<TGadget>& panel, int32_t r, int32_t g, int32_t b) {
  return Forward(panel, &TGadget::SetColor, r, g, b);
}
int32_t GadgetRemoveColor(const Ref<TGadget>& g) { return Forward(g, &TGadget::RemoveColor); }
int32_t GadgetSetPixmap(const Ref<TGadget>& g, const Ref<TPixmap>& pixmap, int32_t flags) {
  return Forward(g, &TGadget::SetPixmap, pixmap, flags);
}
int32_t PanelSetPixmap(const Ref<TGadget>& panel, const Ref<TPixmap>& pixmap, int32_t flags) {
  return GadgetSetPixmap(panel, pixmap, flags);
}
int32_t GadgetSetAlpha(const Ref<TGadget>& g, float alpha) { return Forward(g, &TGadget::SetAlpha, alpha); }
int32_t GadgetSetHotKey(const Ref<TGadget>& g, int32_t key, int32_t modifiers) {
  return Forward(g, &TGadget::SetHotKey, key, modifiers);
}
int32_t GadgetSetFilter(const Ref<TGadget>& g, TKeyFilter filter, const ObjectRef& context) {
  return Forward(g, &TGadget::SetFilter, filter, context);
}

int32_t GadgetLocalize(const Ref<TGadget>& gadget, const String& textKey, const String& tipKey) {
  return GuiDriver ? GuiDriver->SetGadgetLocalization(gadget, textKey, tipKey) : 0;
}
int32_t GadgetIsLocalized(const Ref<TGadget>& gadget) { return GuiDriver ? GuiDriver->GadgetLocalized(gadget) : 0; }
int32_t GadgetDelocalize(const Ref<TGadget>& gadget) { return GuiDriver ? GuiDriver->DelocalizeGadget(gadget) : 0; }

int32_t GadgetSetIconStrip(const Ref<TGadget>& g, const Ref<TIconStrip>& strip) {
  return Forward(g, &TGadget::SetIconStrip, strip);
}
int32_t GadgetQuery(const Ref<TGadget>& g, int32_t code) { return Forward(g, &TGadget::Query, code); }

int32_t MenuCheck(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetSelected, 1); }
int32_t MenuUncheck(const Ref<TGadget>& g) { return Forward(g, &TGadget::SetSelected, 0); }
int32_t MenuIsChecked(const Ref<TGadget>& g) { return (Forward(g, &TGadget::State) & GadgetStateSelected) ? 1 : 0; }
int32_t MenuIsEnabled(const Ref<TGadget>& g) { return g && !(g->State() & GadgetStateDisabled) ? 1 : 0; }
Ref<TGadget> WindowGetMenu(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetMenu); }
int32_t WindowUpdateMenu(const Ref<TGadget>& g) { return Forward(g, &TGadget::UpdateMenu); }
int32_t WindowPopupMenu(const Ref<TGadget>& g, const Ref<TGadget>& menu, const ObjectRef& extra) {
  return Forward(g, &TGadget::PopupMenu, menu, extra);
}
int32_t WindowSetStatusText(const Ref<TGadget>& g, const String& text) {
  return Forward(g, &TGadget::SetStatusText, text);
}
String WindowGetStatusText(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetStatusText); }
int32_t WindowSetMinSize(const Ref<TGadget>& g, int32_t w, int32_t h) {
  return Forward(g, &TGadget::SetMinimumSize, w, h);
}
int32_t WindowSetMaxSize(const Ref<TGadget>& g, int32_t w, int32_t h) {
  return Forward(g, &TGadget::SetMaximumSize, w, h);
}
int32_t WindowIsMinimized(const Ref<TGadget>& g) {
  return (Forward(g, &TGadget::State) & GadgetStateMinimized) ? 1 : 0;
}
int32_t WindowIsMaximized(const Ref<TGadget>& g) {
  return (Forward(g, &TGadget::State) & GadgetStateMaximized) ? 1 : 0;
}
int32_t ButtonSetState(const Ref<TGadget>& g, int32_t state) { return Forward(g, &TGadget::SetSelected, state); }
int32_t ButtonGetState(const Ref<TGadget>& g) {
  return (Forward(g, &TGadget::State) & (GadgetStateSelected | GadgetStateIndeterminate)) ? 1 : 0;
}

int32_t GadgetClearItems(const Ref<TGadget>& g) { return Forward(g, &TGadget::Clear); }

int32_t GadgetAddItem(const Ref<TGadget>& g, const String& text, int32_t flags, int32_t icon, const String& tip,
                      const ObjectRef& extra) {
  return Forward(g, &TGadget::InsertItem, GadgetItemCount(g), text, tip, icon, extra, flags);
}
int32_t GadgetInsertItem(const Ref<TGadget>& g, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra) {
  return Forward(g, &TGadget::InsertItem, index, text, tip, icon, extra, flags);
}
int32_t GadgetModifyItem(const Ref<TGadget>& g, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra) {
  return Forward(g, &TGadget::SetItem, index, text, tip, icon, extra, flags);
}
int32_t GadgetRemoveItem(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::RemoveItem, index); }
int32_t GadgetEnableItem(const Ref<TGadget>& g, int32_t index) {
  return Forward(g, &TGadget::SetItemState, index, Forward(g, &TGadget::ItemState, index) & ~GadgetStateDisabled);
}
int32_t GadgetDisableItem(const Ref<TGadget>& g, int32_t index) {
  return Forward(g, &TGadget::SetItemState, index, Forward(g, &TGadget::ItemState, index) | GadgetStateDisabled);
}
int32_t GadgetSelectItem(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::SelectItem, index, 1); }
int32_t GadgetDeselectItem(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::SelectItem, index, 0); }
int32_t GadgetToggleItem(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::SelectItem, index, 2); }
int32_t GadgetSelectedItem(const Ref<TGadget>& g) { return Forward<-1>(g, &TGadget::SelectedItem); }
std::vector<int32_t> GadgetSelectedItems(const Ref<TGadget>& g) { return Forward(g, &TGadget::SelectedItems); }
int32_t GadgetItemCount(const Ref<TGadget>& g) { return Forward(g, &TGadget::ItemCount); }
String GadgetItemText(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::ItemText, index); }
String GadgetItemTip(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::ItemTip, index); }
int32_t GadgetItemIcon(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::ItemIcon, index); }
ObjectRef GadgetItemExtra(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::ItemExtra, index); }
int32_t GadgetItemFlags(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::ItemFlags, index); }

int32_t ToolbarSetTips(const Ref<TGadget>& toolbar, const std::vector<String>& tips) {
  if (!toolbar) return 0;
  for (int32_t i = 0; i < static_cast<int32_t>(tips.size()); ++i) {
    GadgetModifyItem(toolbar, i, toolbar->ItemText(i), toolbar->ItemFlags(i), toolbar->ItemIcon(i), tips[i],
                     toolbar->ItemExtra(i));
  }
  return 0;
}

int32_t TextAreaSetText(const Ref<TGadget>& g, const String& text, int32_t pos, int32_t length, int32_t units) {
  return Forward(g, &TGadget::ReplaceText, pos, length, text, units);
}
int32_t TextAreaAddText(const Ref<TGadget>& g, const String& text) { return Forward(g, &TGadget::AddText, text); }
String TextAreaGetText(const Ref<TGadget>& g, int32_t pos, int32_t length, int32_t units) {
  return Forward(g, &TGadget::AreaText, pos, length, units);
}
int32_t TextAreaLength(const Ref<TGadget>& g, int32_t units) { return Forward(g, &TGadget::AreaLen, units); }
int32_t TextAreaLock(const Ref<TGadget>& g) { return Forward(g, &TGadget::LockText); }
int32_t TextAreaUnlock(const Ref<TGadget>& g) { return Forward(g, &TGadget::UnlockText); }
int32_t TextAreaSetTabs(const Ref<TGadget>& g, int32_t width) { return Forward(g, &TGadget::SetTabs, width); }
int32_t TextAreaSetMargins(const Ref<TGadget>& g, int32_t width) { return Forward(g, &TGadget::SetMargins, width); }
int32_t TextAreaCursor(const Ref<TGadget>& g, int32_t units) { return Forward(g, &TGadget::GetCursorPos, units); }
int32_t TextAreaSelectionLength(const Ref<TGadget>& g, int32_t units) {
  return Forward(g, &TGadget::GetSelectionLength, units);
}
int32_t TextAreaFormat(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos,
                       int32_t length, int32_t units) {
  return Forward(area, &TGadget::SetStyle, r, g, b, flags, pos, length, units);
}
int32_t TextAreaSelect(const Ref<TGadget>& g, int32_t pos, int32_t length, int32_t units) {
  return Forward(g, &TGadget::SetSelection, pos, length, units);
}
int32_t TextAreaCharAt(const Ref<TGadget>& g, int32_t line) { return Forward(g, &TGadget::CharAt, line); }
int32_t TextAreaLineAt(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::LineAt, index); }
int32_t TextAreaCharX(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::CharX, index); }
int32_t TextAreaCharY(const Ref<TGadget>& g, int32_t index) { return Forward(g, &TGadget::CharY, index); }

Ref<TGadget> NodeAdd(const String& text, const Ref<TGadget>& parentNode, int32_t icon, const ObjectRef& extra) {
  return NodeInsert(-1, text, parentNode, icon, extra);
}

Ref<TGadget> NodeInsert(int32_t index, const String& text, const Ref<TGadget>& parentNode, int32_t icon,
                        const ObjectRef& extra) {
  if (!parentNode) return nullptr;
  Ref<TGadget> node = parentNode->InsertNode(index, text, icon);
  if (node) node->extra = extra;
  return node;
}

int32_t NodeModify(const Ref<TGadget>& g, const String& text, int32_t icon) {
  return Forward(g, &TGadget::ModifyNode, text, icon);
}
Ref<TGadget> TreeViewRoot(const Ref<TGadget>& g) { return Forward(g, &TGadget::RootNode); }
Ref<TGadget> TreeViewSelectedNode(const Ref<TGadget>& g) { return Forward(g, &TGadget::SelectedNode); }
int32_t NodeCountKids(const Ref<TGadget>& g) { return Forward(g, &TGadget::CountKids); }

int32_t TreeViewClear(const Ref<TGadget>& tree) {
  Ref<TGadget> root = TreeViewRoot(tree);
  if (!root) return 0;
  for (auto& kid : std::vector<Ref<TGadget>>(root->kids)) kid->CleanUp();
  return 0;
}

int32_t HtmlViewGo(const Ref<TGadget>& g, const String& url) { return Forward(g, &TGadget::SetText, url); }
int32_t HtmlViewStatus(const Ref<TGadget>& g) { return Forward(g, &TGadget::State); }
String HtmlViewCurrentUrl(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetText); }
String HtmlViewRun(const Ref<TGadget>& g, const String& script) { return Forward(g, &TGadget::Run, script); }
int32_t SliderSetRange(const Ref<TGadget>& g, int32_t visibleAmount, int32_t totalAmount) {
  return Forward(g, &TGadget::SetRange, visibleAmount, totalAmount);
}
int32_t SliderSetValue(const Ref<TGadget>& g, int32_t value) { return Forward(g, &TGadget::SetProp, value); }
int32_t SliderGetValue(const Ref<TGadget>& g) { return Forward(g, &TGadget::GetProp); }
int32_t ProgressBarUpdate(const Ref<TGadget>& g, float value) { return Forward(g, &TGadget::SetValue, value); }
ObjectRef CanvasGetGraphics(const Ref<TGadget>& g) { return Forward(g, &TGadget::CanvasGraphics); }

void FrontEndInit() {
  if (frontEndStarted) return;
  frontEndStarted = true;
  GadgetInit();
  LocalizationSetRoutes(RouteMode, RouteLanguage);
  GadgetSetLocalization(LocalizeString, DelocalizeThroughDriver);
  PendingGuiEvents.clear();
}
