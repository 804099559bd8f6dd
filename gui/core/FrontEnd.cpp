#include "gui/core/FrontEnd.h"

#include <algorithm>
#include <cstdint>

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

int32_t ActivateWith(const Ref<TGadget>& gadget, int32_t command) { return gadget ? gadget->Activate(command) : 0; }

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

int32_t GadgetFree(const Ref<TGadget>& gadget) { return gadget ? gadget->CleanUp() : 0; }
int32_t MenuFree(const Ref<TGadget>& menu) { return GadgetFree(menu); }
int32_t NodeFree(const Ref<TGadget>& node) { return GadgetFree(node); }
int32_t GadgetClientWidth(const Ref<TGadget>& gadget) { return gadget ? gadget->ClientWidth() : 0; }
int32_t GadgetClientHeight(const Ref<TGadget>& gadget) { return gadget ? gadget->ClientHeight() : 0; }
int32_t GadgetGetX(const Ref<TGadget>& gadget) { return gadget ? gadget->GetXPos() : 0; }
int32_t GadgetGetY(const Ref<TGadget>& gadget) { return gadget ? gadget->GetYPos() : 0; }
int32_t GadgetGetWidth(const Ref<TGadget>& gadget) { return gadget ? gadget->GetWidth() : 0; }
int32_t GadgetGetHeight(const Ref<TGadget>& gadget) { return gadget ? gadget->GetHeight() : 0; }
Ref<TGadget> GadgetGetGroup(const Ref<TGadget>& gadget) { return gadget ? gadget->GetGroup() : nullptr; }
int32_t GadgetGetClass(const Ref<TGadget>& gadget) { return gadget ? gadget->Class() : 0; }
int32_t GadgetShow(const Ref<TGadget>& gadget) { return gadget ? gadget->SetShow(1) : 0; }
int32_t GadgetHide(const Ref<TGadget>& gadget) { return gadget ? gadget->SetShow(0) : 0; }
int32_t GadgetEnable(const Ref<TGadget>& gadget) { return gadget ? gadget->SetEnabled(1) : 0; }
int32_t GadgetDisable(const Ref<TGadget>& gadget) { return gadget ? gadget->SetEnabled(0) : 0; }
int32_t MenuEnable(const Ref<TGadget>& menu) { return GadgetEnable(menu); }
int32_t MenuDisable(const Ref<TGadget>& menu) { return GadgetDisable(menu); }

int32_t GadgetIsHidden(const Ref<TGadget>& gadget, int32_t recursive) {
  return StateBit(gadget, GadgetStateHidden, recursive);
}

int32_t GadgetIsDisabled(const Ref<TGadget>& gadget, int32_t recursive) {
  return StateBit(gadget, GadgetStateDisabled, recursive);
}

int32_t GadgetSetShape(const Ref<TGadget>& gadget, int32_t x, int32_t y, int32_t w, int32_t h) {
  return gadget ? gadget->SetShape(x, y, w, h) : 0;
}

int32_t GadgetSetLayout(const Ref<TGadget>& gadget, int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return gadget ? gadget->SetLayout(left, right, top, bottom) : 0;
}

int32_t GadgetSetSensitivity(const Ref<TGadget>& gadget, int32_t mask) {
  return gadget ? gadget->SetSensitivity(mask) : 0;
}
int32_t GadgetGetSensitivity(const Ref<TGadget>& gadget) { return gadget ? gadget->GetSensitivity() : 0; }

int32_t GadgetSetExtra(const Ref<TGadget>& gadget, const ObjectRef& extra) {
  if (gadget) gadget->extra = extra;
  return 0;
}
ObjectRef GadgetGetExtra(const Ref<TGadget>& gadget) { return gadget ? gadget->extra : nullptr; }

int32_t GadgetFocus(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivateFocus); }
int32_t WindowFocus(const Ref<TGadget>& window) { return ActivateWith(window, ActivateFocus); }
int32_t GadgetCutText(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivateCut); }
int32_t GadgetCopyText(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivateCopy); }
int32_t GadgetPasteText(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivatePaste); }
int32_t WindowMinimize(const Ref<TGadget>& window) { return ActivateWith(window, ActivateMinimize); }
int32_t WindowMaximize(const Ref<TGadget>& window) { return ActivateWith(window, ActivateMaximize); }
int32_t WindowRestore(const Ref<TGadget>& window) { return ActivateWith(window, ActivateRestore); }
int32_t NodeExpand(const Ref<TGadget>& node) { return ActivateWith(node, ActivateExpand); }
int32_t NodeCollapse(const Ref<TGadget>& node) { return ActivateWith(node, ActivateCollapse); }
int32_t NodeSelect(const Ref<TGadget>& node) { return ActivateWith(node, ActivateSelect); }
int32_t HtmlViewBack(const Ref<TGadget>& view) { return ActivateWith(view, ActivateBack); }
int32_t HtmlViewForward(const Ref<TGadget>& view) { return ActivateWith(view, ActivateForward); }
int32_t GadgetPrintOut(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivatePrint); }
int32_t GadgetRedraw(const Ref<TGadget>& gadget) { return ActivateWith(gadget, ActivateRedraw); }
Ref<TGadget> FocusedGadget() { return GuiDriver ? GuiDriver->ActiveGadget() : nullptr; }
int32_t ClipboardClear() { return GuiDriver ? GuiDriver->ClearClipboard() : 0; }

int32_t GadgetSetText(const Ref<TGadget>& gadget, const String& text) {
  if (!gadget) return 0;
  if (GuiDriver) GuiDriver->DelocalizeGadget(gadget);
  return gadget->SetText(text);
}
int32_t MenuSetText(const Ref<TGadget>& menu, const String& text) { return GadgetSetText(menu, text); }
String GadgetGetText(const Ref<TGadget>& gadget) { return gadget ? gadget->GetText() : String(); }
String MenuGetText(const Ref<TGadget>& menu) { return GadgetGetText(menu); }
String TextFieldGetText(const Ref<TGadget>& field) { return GadgetGetText(field); }

int32_t GadgetSetTooltip(const Ref<TGadget>& gadget, const String& tip) {
  if (!gadget) return 0;
  if (GuiDriver) GuiDriver->DelocalizeGadget(gadget);
  return gadget->SetTooltip(tip);
}
String GadgetGetTooltip(const Ref<TGadget>& gadget) { return gadget ? gadget->GetTooltip() : String(); }

int32_t GadgetSetFont(const Ref<TGadget>& gadget, const Ref<TGuiFont>& font) {
  return gadget ? gadget->SetFont(font) : 0;
}
int32_t TextAreaSetFont(const Ref<TGadget>& area, const Ref<TGuiFont>& font) { return GadgetSetFont(area, font); }

int32_t GadgetSetColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b, int32_t background) {
  if (!gadget) return 0;
  return background ? gadget->SetColor(r, g, b) : gadget->SetTextColor(r, g, b);
}
int32_t TextAreaSetColor(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t background) {
  return GadgetSetColor(area, r, g, b, background);
}
int32_t GadgetSetTextColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b) {
  return gadget ? gadget->SetTextColor(r, g, b) : 0;
}
int32_t PanelSetColor(const Ref<TGadget>& panel, int32_t r, int32_t g, int32_t b) {
  return panel ? panel->SetColor(r, g, b) : 0;
}
int32_t GadgetRemoveColor(const Ref<TGadget>& gadget) { return gadget ? gadget->RemoveColor() : 0; }
int32_t GadgetSetPixmap(const Ref<TGadget>& gadget, const Ref<TPixmap>& pixmap, int32_t flags) {
  return gadget ? gadget->SetPixmap(pixmap, flags) : 0;
}
int32_t PanelSetPixmap(const Ref<TGadget>& panel, const Ref<TPixmap>& pixmap, int32_t flags) {
  return GadgetSetPixmap(panel, pixmap, flags);
}
int32_t GadgetSetAlpha(const Ref<TGadget>& gadget, float alpha) { return gadget ? gadget->SetAlpha(alpha) : 0; }
int32_t GadgetSetHotKey(const Ref<TGadget>& gadget, int32_t key, int32_t modifiers) {
  return gadget ? gadget->SetHotKey(key, modifiers) : 0;
}
int32_t GadgetSetFilter(const Ref<TGadget>& gadget, TKeyFilter filter, const ObjectRef& context) {
  return gadget ? gadget->SetFilter(filter, context) : 0;
}

int32_t GadgetLocalize(const Ref<TGadget>& gadget, const String& textKey, const String& tipKey) {
  return GuiDriver ? GuiDriver->SetGadgetLocalization(gadget, textKey, tipKey) : 0;
}
int32_t GadgetIsLocalized(const Ref<TGadget>& gadget) { return GuiDriver ? GuiDriver->GadgetLocalized(gadget) : 0; }
int32_t GadgetDelocalize(const Ref<TGadget>& gadget) { return GuiDriver ? GuiDriver->DelocalizeGadget(gadget) : 0; }

int32_t GadgetSetIconStrip(const Ref<TGadget>& gadget, const Ref<TIconStrip>& strip) {
  return gadget ? gadget->SetIconStrip(strip) : 0;
}
int32_t GadgetQuery(const Ref<TGadget>& gadget, int32_t code) { return gadget ? gadget->Query(code) : 0; }

int32_t MenuCheck(const Ref<TGadget>& menu) { return menu ? menu->SetSelected(1) : 0; }
int32_t MenuUncheck(const Ref<TGadget>& menu) { return menu ? menu->SetSelected(0) : 0; }
int32_t MenuIsChecked(const Ref<TGadget>& menu) { return menu && (menu->State() & GadgetStateSelected) ? 1 : 0; }
int32_t MenuIsEnabled(const Ref<TGadget>& menu) { return menu && !(menu->State() & GadgetStateDisabled) ? 1 : 0; }
Ref<TGadget> WindowGetMenu(const Ref<TGadget>& window) { return window ? window->GetMenu() : nullptr; }
int32_t WindowUpdateMenu(const Ref<TGadget>& window) { return window ? window->UpdateMenu() : 0; }
int32_t WindowPopupMenu(const Ref<TGadget>& window, const Ref<TGadget>& menu, const ObjectRef& extra) {
  return window ? window->PopupMenu(menu, extra) : 0;
}
int32_t WindowSetStatusText(const Ref<TGadget>& window, const String& text) {
  return window ? window->SetStatusText(text) : 0;
}
String WindowGetStatusText(const Ref<TGadget>& window) { return window ? window->GetStatusText() : String(); }
int32_t WindowSetMinSize(const Ref<TGadget>& window, int32_t w, int32_t h) {
  return window ? window->SetMinimumSize(w, h) : 0;
}
int32_t WindowSetMaxSize(const Ref<TGadget>& window, int32_t w, int32_t h) {
  return window ? window->SetMaximumSize(w, h) : 0;
}
int32_t WindowIsMinimized(const Ref<TGadget>& window) {
  return window && (window->State() & GadgetStateMinimized) ? 1 : 0;
}
int32_t WindowIsMaximized(const Ref<TGadget>& window) {
  return window && (window->State() & GadgetStateMaximized) ? 1 : 0;
}
int32_t ButtonSetState(const Ref<TGadget>& button, int32_t state) { return button ? button->SetSelected(state) : 0; }
int32_t ButtonGetState(const Ref<TGadget>& button) {
  if (!button) return 0;
  return (button->State() & (GadgetStateSelected | GadgetStateIndeterminate)) ? 1 : 0;
}

int32_t GadgetClearItems(const Ref<TGadget>& gadget) { return gadget ? gadget->Clear() : 0; }

int32_t GadgetAddItem(const Ref<TGadget>& gadget, const String& text, int32_t flags, int32_t icon, const String& tip,
                      const ObjectRef& extra) {
  return gadget ? gadget->InsertItem(gadget->ItemCount(), text, tip, icon, extra, flags) : 0;
}

int32_t GadgetInsertItem(const Ref<TGadget>& gadget, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra) {
  return gadget ? gadget->InsertItem(index, text, tip, icon, extra, flags) : 0;
}

int32_t GadgetModifyItem(const Ref<TGadget>& gadget, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra) {
  return gadget ? gadget->SetItem(index, text, tip, icon, extra, flags) : 0;
}

int32_t GadgetRemoveItem(const Ref<TGadget>& gadget, int32_t index) { return gadget ? gadget->RemoveItem(index) : 0; }

int32_t GadgetEnableItem(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->SetItemState(index, gadget->ItemState(index) & ~GadgetStateDisabled) : 0;
}
int32_t GadgetDisableItem(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->SetItemState(index, gadget->ItemState(index) | GadgetStateDisabled) : 0;
}
int32_t GadgetSelectItem(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->SelectItem(index, 1) : 0;
}
int32_t GadgetDeselectItem(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->SelectItem(index, 0) : 0;
}
int32_t GadgetToggleItem(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->SelectItem(index, 2) : 0;
}
int32_t GadgetSelectedItem(const Ref<TGadget>& gadget) { return gadget ? gadget->SelectedItem() : -1; }
std::vector<int32_t> GadgetSelectedItems(const Ref<TGadget>& gadget) {
  return gadget ? gadget->SelectedItems() : std::vector<int32_t>();
}
int32_t GadgetItemCount(const Ref<TGadget>& gadget) { return gadget ? gadget->ItemCount() : 0; }
String GadgetItemText(const Ref<TGadget>& gadget, int32_t index) { return gadget ? gadget->ItemText(index) : String(); }
String GadgetItemTip(const Ref<TGadget>& gadget, int32_t index) { return gadget ? gadget->ItemTip(index) : String(); }
int32_t GadgetItemIcon(const Ref<TGadget>& gadget, int32_t index) { return gadget ? gadget->ItemIcon(index) : 0; }
ObjectRef GadgetItemExtra(const Ref<TGadget>& gadget, int32_t index) {
  return gadget ? gadget->ItemExtra(index) : nullptr;
}
int32_t GadgetItemFlags(const Ref<TGadget>& gadget, int32_t index) { return gadget ? gadget->ItemFlags(index) : 0; }

int32_t ToolbarSetTips(const Ref<TGadget>& toolbar, const std::vector<String>& tips) {
  if (!toolbar) return 0;
  for (int32_t i = 0; i < static_cast<int32_t>(tips.size()); ++i) {
    GadgetModifyItem(toolbar, i, toolbar->ItemText(i), toolbar->ItemFlags(i), toolbar->ItemIcon(i), tips[i],
                     toolbar->ItemExtra(i));
  }
  return 0;
}

int32_t TextAreaSetText(const Ref<TGadget>& area, const String& text, int32_t pos, int32_t length, int32_t units) {
  return area ? area->ReplaceText(pos, length, text, units) : 0;
}
int32_t TextAreaAddText(const Ref<TGadget>& area, const String& text) { return area ? area->AddText(text) : 0; }
String TextAreaGetText(const Ref<TGadget>& area, int32_t pos, int32_t length, int32_t units) {
  return area ? area->AreaText(pos, length, units) : String();
}
int32_t TextAreaLength(const Ref<TGadget>& area, int32_t units) { return area ? area->AreaLen(units) : 0; }
int32_t TextAreaLock(const Ref<TGadget>& area) { return area ? area->LockText() : 0; }
int32_t TextAreaUnlock(const Ref<TGadget>& area) { return area ? area->UnlockText() : 0; }
int32_t TextAreaSetTabs(const Ref<TGadget>& area, int32_t width) { return area ? area->SetTabs(width) : 0; }
int32_t TextAreaSetMargins(const Ref<TGadget>& area, int32_t width) { return area ? area->SetMargins(width) : 0; }
int32_t TextAreaCursor(const Ref<TGadget>& area, int32_t units) { return area ? area->GetCursorPos(units) : 0; }
int32_t TextAreaSelectionLength(const Ref<TGadget>& area, int32_t units) {
  return area ? area->GetSelectionLength(units) : 0;
}
int32_t TextAreaFormat(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos,
                       int32_t length, int32_t units) {
  return area ? area->SetStyle(r, g, b, flags, pos, length, units) : 0;
}
int32_t TextAreaSelect(const Ref<TGadget>& area, int32_t pos, int32_t length, int32_t units) {
  return area ? area->SetSelection(pos, length, units) : 0;
}
int32_t TextAreaCharAt(const Ref<TGadget>& area, int32_t line) { return area ? area->CharAt(line) : 0; }
int32_t TextAreaLineAt(const Ref<TGadget>& area, int32_t index) { return area ? area->LineAt(index) : 0; }
int32_t TextAreaCharX(const Ref<TGadget>& area, int32_t index) { return area ? area->CharX(index) : 0; }
int32_t TextAreaCharY(const Ref<TGadget>& area, int32_t index) { return area ? area->CharY(index) : 0; }

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

int32_t NodeModify(const Ref<TGadget>& node, const String& text, int32_t icon) {
  return node ? node->ModifyNode(text, icon) : 0;
}
Ref<TGadget> TreeViewRoot(const Ref<TGadget>& tree) { return tree ? tree->RootNode() : nullptr; }
Ref<TGadget> TreeViewSelectedNode(const Ref<TGadget>& tree) { return tree ? tree->SelectedNode() : nullptr; }
int32_t NodeCountKids(const Ref<TGadget>& node) { return node ? node->CountKids() : 0; }

int32_t TreeViewClear(const Ref<TGadget>& tree) {
  Ref<TGadget> root = TreeViewRoot(tree);
  if (!root) return 0;
  for (auto& kid : std::vector<Ref<TGadget>>(root->kids)) kid->CleanUp();
  return 0;
}

int32_t HtmlViewGo(const Ref<TGadget>& view, const String& url) { return view ? view->SetText(url) : 0; }
int32_t HtmlViewStatus(const Ref<TGadget>& view) { return view ? view->State() : 0; }
String HtmlViewCurrentUrl(const Ref<TGadget>& view) { return view ? view->GetText() : String(); }
String HtmlViewRun(const Ref<TGadget>& view, const String& script) { return view ? view->Run(script) : String(); }
int32_t SliderSetRange(const Ref<TGadget>& slider, int32_t visibleAmount, int32_t totalAmount) {
  return slider ? slider->SetRange(visibleAmount, totalAmount) : 0;
}
int32_t SliderSetValue(const Ref<TGadget>& slider, int32_t value) { return slider ? slider->SetProp(value) : 0; }
int32_t SliderGetValue(const Ref<TGadget>& slider) { return slider ? slider->GetProp() : 0; }
int32_t ProgressBarUpdate(const Ref<TGadget>& bar, float value) { return bar ? bar->SetValue(value) : 0; }
ObjectRef CanvasGetGraphics(const Ref<TGadget>& canvas) { return canvas ? canvas->CanvasGraphics() : nullptr; }

void FrontEndInit() {
  if (frontEndStarted) return;
  frontEndStarted = true;
  GadgetInit();
  LocalizationSetRoutes(RouteMode, RouteLanguage);
  GadgetSetLocalization(LocalizeString, DelocalizeThroughDriver);
  PendingGuiEvents.clear();
}
