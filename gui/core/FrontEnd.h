#pragma once

#include <cstdint>
#include <vector>

#include "gui/core/Gadget.h"
#include "gui/core/GadgetEvents.h"
#include "gui/core/GuiDriver.h"
#include "gui/core/GuiServices.h"
#include "gui/core/HotKey.h"
#include "runtime/Object.h"
#include "runtime/String.h"

// The gadget front end: the flat operations through which the application makes
// and changes gadgets. Each creation operation asks GuiDriver for a gadget of a
// fixed class; every other operation forwards to one operation of its gadget.
// A none gadget (or no installed driver) does nothing and answers 0, the empty
// string, none or an empty list (GadgetSelectedItem: -1, no single selection).

// Activation commands for TGadget::Activate.
constexpr int32_t ActivateFocus = 0;
constexpr int32_t ActivateCut = 1;
constexpr int32_t ActivateCopy = 2;
constexpr int32_t ActivatePaste = 3;
constexpr int32_t ActivateMinimize = 4;
constexpr int32_t ActivateMaximize = 5;
constexpr int32_t ActivateRestore = 6;
constexpr int32_t ActivateExpand = 7;
constexpr int32_t ActivateCollapse = 8;
constexpr int32_t ActivateSelect = 9;
constexpr int32_t ActivateBack = 10;
constexpr int32_t ActivateForward = 11;
constexpr int32_t ActivatePrint = 12;
constexpr int32_t ActivateRedraw = 13;

// Flags MakeCanvas passes to AttachGraphics.
constexpr int32_t GraphicsDefaultFlags = 0;

// Creation. All but GetDesktop and MakeToolbar place the new gadget in
// GadgetUnproxy(group).
Ref<TGadget> GetDesktop();
// Style WindowCenter centres the window on its group, or on the desktop; a
// centre beyond the 32-bit range is clamped to it.
Ref<TGadget> MakeWindow(const String& title, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                        int32_t style);
Ref<TGadget> MakeButton(const String& label, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                        int32_t style);
Ref<TGadget> MakePanel(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style,
                       const String& title = String());
Ref<TGadget> MakeTextField(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeTextArea(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeComboBox(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeListBox(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
// iconSource is an icon strip, or anything IconStripLoad can load one from.
Ref<TGadget> MakeToolbar(const ObjectRef& iconSource, int32_t x, int32_t y, int32_t w, int32_t h,
                         const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeTabber(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeTreeView(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeHtmlView(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeLabel(const String& text, int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group,
                       int32_t style);
Ref<TGadget> MakeSlider(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
Ref<TGadget> MakeProgressBar(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);
// tag becomes the data of the menu's MenuAction events; a non-zero hotKey is set on the new menu.
Ref<TGadget> MakeMenu(const String& text, int32_t tag, const Ref<TGadget>& parent, int32_t hotKey = 0,
                      int32_t modifiers = 0);
Ref<TGadget> MakeCanvas(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);

// Gadgets.
int32_t GadgetFree(const Ref<TGadget>& gadget);
int32_t MenuFree(const Ref<TGadget>& menu);
int32_t NodeFree(const Ref<TGadget>& node);
int32_t GadgetClientWidth(const Ref<TGadget>& gadget);
int32_t GadgetClientHeight(const Ref<TGadget>& gadget);
int32_t GadgetGetX(const Ref<TGadget>& gadget);
int32_t GadgetGetY(const Ref<TGadget>& gadget);
int32_t GadgetGetWidth(const Ref<TGadget>& gadget);
int32_t GadgetGetHeight(const Ref<TGadget>& gadget);
Ref<TGadget> GadgetGetGroup(const Ref<TGadget>& gadget);
int32_t GadgetGetClass(const Ref<TGadget>& gadget);
int32_t GadgetShow(const Ref<TGadget>& gadget);
int32_t GadgetHide(const Ref<TGadget>& gadget);
int32_t GadgetEnable(const Ref<TGadget>& gadget);
int32_t GadgetDisable(const Ref<TGadget>& gadget);
int32_t MenuEnable(const Ref<TGadget>& menu);
int32_t MenuDisable(const Ref<TGadget>& menu);
// Recursive 0: the state bit itself (8, respectively 4) or 0. Otherwise 1 when the
// gadget or any of its groups has the bit, else 0.
int32_t GadgetIsHidden(const Ref<TGadget>& gadget, int32_t recursive);
int32_t GadgetIsDisabled(const Ref<TGadget>& gadget, int32_t recursive);
int32_t GadgetSetShape(const Ref<TGadget>& gadget, int32_t x, int32_t y, int32_t w, int32_t h);
int32_t GadgetSetLayout(const Ref<TGadget>& gadget, int32_t left, int32_t right, int32_t top, int32_t bottom);
int32_t GadgetSetSensitivity(const Ref<TGadget>& gadget, int32_t mask);
int32_t GadgetGetSensitivity(const Ref<TGadget>& gadget);
int32_t GadgetSetExtra(const Ref<TGadget>& gadget, const ObjectRef& extra);
ObjectRef GadgetGetExtra(const Ref<TGadget>& gadget);

int32_t GadgetFocus(const Ref<TGadget>& gadget);
int32_t WindowFocus(const Ref<TGadget>& window);
int32_t GadgetCutText(const Ref<TGadget>& gadget);
int32_t GadgetCopyText(const Ref<TGadget>& gadget);
int32_t GadgetPasteText(const Ref<TGadget>& gadget);
int32_t WindowMinimize(const Ref<TGadget>& window);
int32_t WindowMaximize(const Ref<TGadget>& window);
int32_t WindowRestore(const Ref<TGadget>& window);
int32_t NodeExpand(const Ref<TGadget>& node);
int32_t NodeCollapse(const Ref<TGadget>& node);
int32_t NodeSelect(const Ref<TGadget>& node);
int32_t HtmlViewBack(const Ref<TGadget>& view);
int32_t HtmlViewForward(const Ref<TGadget>& view);
int32_t GadgetPrintOut(const Ref<TGadget>& gadget);
int32_t GadgetRedraw(const Ref<TGadget>& gadget);
Ref<TGadget> FocusedGadget();
// Empties the desktop clipboard if it still holds what this program copied.
int32_t ClipboardClear();
// While the window is shown, other clients on the display get none of the
// keystrokes (a window that asks for a passphrase); none lets go at once. A
// grab another client holds is tried again for a few seconds, never waited
// for. 1 when the grab holds now.
int32_t WindowGrabKeyboard(const Ref<TGadget>& window);

// An explicit text or tooltip takes the gadget out of the driver's localisation
// map, so a later change of language leaves it alone.
int32_t GadgetSetText(const Ref<TGadget>& gadget, const String& text);
int32_t MenuSetText(const Ref<TGadget>& menu, const String& text);
String GadgetGetText(const Ref<TGadget>& gadget);
String MenuGetText(const Ref<TGadget>& menu);
String TextFieldGetText(const Ref<TGadget>& field);
int32_t GadgetSetTooltip(const Ref<TGadget>& gadget, const String& tip);
String GadgetGetTooltip(const Ref<TGadget>& gadget);
int32_t GadgetSetFont(const Ref<TGadget>& gadget, const Ref<TGuiFont>& font);
int32_t TextAreaSetFont(const Ref<TGadget>& area, const Ref<TGuiFont>& font);
// background non-zero: the background colour; zero: the text colour.
int32_t GadgetSetColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b, int32_t background = 1);
int32_t TextAreaSetColor(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t background = 1);
int32_t GadgetSetTextColor(const Ref<TGadget>& gadget, int32_t r, int32_t g, int32_t b);
int32_t PanelSetColor(const Ref<TGadget>& panel, int32_t r, int32_t g, int32_t b);
int32_t GadgetRemoveColor(const Ref<TGadget>& gadget);
int32_t GadgetSetPixmap(const Ref<TGadget>& gadget, const Ref<TPixmap>& pixmap, int32_t flags);
int32_t PanelSetPixmap(const Ref<TGadget>& panel, const Ref<TPixmap>& pixmap, int32_t flags);
int32_t GadgetSetAlpha(const Ref<TGadget>& gadget, float alpha);
int32_t GadgetSetHotKey(const Ref<TGadget>& gadget, int32_t key, int32_t modifiers);
int32_t GadgetSetFilter(const Ref<TGadget>& gadget, TKeyFilter filter, const ObjectRef& context);
int32_t GadgetLocalize(const Ref<TGadget>& gadget, const String& textKey, const String& tipKey);
int32_t GadgetIsLocalized(const Ref<TGadget>& gadget);
int32_t GadgetDelocalize(const Ref<TGadget>& gadget);
int32_t GadgetSetIconStrip(const Ref<TGadget>& gadget, const Ref<TIconStrip>& strip);
int32_t GadgetQuery(const Ref<TGadget>& gadget, int32_t code);

int32_t MenuCheck(const Ref<TGadget>& menu);
int32_t MenuUncheck(const Ref<TGadget>& menu);
int32_t MenuIsChecked(const Ref<TGadget>& menu);
int32_t MenuIsEnabled(const Ref<TGadget>& menu);
Ref<TGadget> WindowGetMenu(const Ref<TGadget>& window);
int32_t WindowUpdateMenu(const Ref<TGadget>& window);
int32_t WindowPopupMenu(const Ref<TGadget>& window, const Ref<TGadget>& menu, const ObjectRef& extra);
int32_t WindowSetStatusText(const Ref<TGadget>& window, const String& text);
String WindowGetStatusText(const Ref<TGadget>& window);
int32_t WindowSetMinSize(const Ref<TGadget>& window, int32_t w, int32_t h);
int32_t WindowSetMaxSize(const Ref<TGadget>& window, int32_t w, int32_t h);
int32_t WindowIsMinimized(const Ref<TGadget>& window);
int32_t WindowIsMaximized(const Ref<TGadget>& window);
int32_t ButtonSetState(const Ref<TGadget>& button, int32_t state);
// 1 when the button is checked (or indeterminate), 0 otherwise.
int32_t ButtonGetState(const Ref<TGadget>& button);

// Lists: combo box, list box, tabber, toolbar.
int32_t GadgetClearItems(const Ref<TGadget>& gadget);
int32_t GadgetAddItem(const Ref<TGadget>& gadget, const String& text, int32_t flags, int32_t icon, const String& tip,
                      const ObjectRef& extra);
int32_t GadgetInsertItem(const Ref<TGadget>& gadget, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra);
int32_t GadgetModifyItem(const Ref<TGadget>& gadget, int32_t index, const String& text, int32_t flags, int32_t icon,
                         const String& tip, const ObjectRef& extra);
int32_t GadgetRemoveItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetEnableItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetDisableItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetSelectItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetDeselectItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetToggleItem(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetSelectedItem(const Ref<TGadget>& gadget);
std::vector<int32_t> GadgetSelectedItems(const Ref<TGadget>& gadget);
int32_t GadgetItemCount(const Ref<TGadget>& gadget);
String GadgetItemText(const Ref<TGadget>& gadget, int32_t index);
String GadgetItemTip(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetItemIcon(const Ref<TGadget>& gadget, int32_t index);
ObjectRef GadgetItemExtra(const Ref<TGadget>& gadget, int32_t index);
int32_t GadgetItemFlags(const Ref<TGadget>& gadget, int32_t index);
int32_t ToolbarSetTips(const Ref<TGadget>& toolbar, const std::vector<String>& tips);

// Text areas. units: 1 characters, 2 lines.
int32_t TextAreaSetText(const Ref<TGadget>& area, const String& text, int32_t pos, int32_t length, int32_t units);
int32_t TextAreaAddText(const Ref<TGadget>& area, const String& text);
String TextAreaGetText(const Ref<TGadget>& area, int32_t pos, int32_t length, int32_t units);
int32_t TextAreaLength(const Ref<TGadget>& area, int32_t units);
int32_t TextAreaLock(const Ref<TGadget>& area);
int32_t TextAreaUnlock(const Ref<TGadget>& area);
int32_t TextAreaSetTabs(const Ref<TGadget>& area, int32_t width);
int32_t TextAreaSetMargins(const Ref<TGadget>& area, int32_t width);
int32_t TextAreaCursor(const Ref<TGadget>& area, int32_t units);
int32_t TextAreaSelectionLength(const Ref<TGadget>& area, int32_t units);
int32_t TextAreaFormat(const Ref<TGadget>& area, int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos,
                       int32_t length, int32_t units);
int32_t TextAreaSelect(const Ref<TGadget>& area, int32_t pos, int32_t length, int32_t units);
int32_t TextAreaCharAt(const Ref<TGadget>& area, int32_t line);
int32_t TextAreaLineAt(const Ref<TGadget>& area, int32_t index);
int32_t TextAreaCharX(const Ref<TGadget>& area, int32_t index);
int32_t TextAreaCharY(const Ref<TGadget>& area, int32_t index);

// Tree views, HTML views, sliders, progress bars and canvases.
Ref<TGadget> NodeAdd(const String& text, const Ref<TGadget>& parentNode, int32_t icon, const ObjectRef& extra);
Ref<TGadget> NodeInsert(int32_t index, const String& text, const Ref<TGadget>& parentNode, int32_t icon,
                        const ObjectRef& extra);
int32_t NodeModify(const Ref<TGadget>& node, const String& text, int32_t icon);
Ref<TGadget> TreeViewRoot(const Ref<TGadget>& tree);
Ref<TGadget> TreeViewSelectedNode(const Ref<TGadget>& tree);
int32_t NodeCountKids(const Ref<TGadget>& node);
int32_t TreeViewClear(const Ref<TGadget>& tree);
int32_t HtmlViewGo(const Ref<TGadget>& view, const String& url);
int32_t HtmlViewStatus(const Ref<TGadget>& view);
String HtmlViewCurrentUrl(const Ref<TGadget>& view);
String HtmlViewRun(const Ref<TGadget>& view, const String& script);
int32_t SliderSetRange(const Ref<TGadget>& slider, int32_t visibleAmount, int32_t totalAmount);
int32_t SliderSetValue(const Ref<TGadget>& slider, int32_t value);
int32_t SliderGetValue(const Ref<TGadget>& slider);
int32_t ProgressBarUpdate(const Ref<TGadget>& bar, float value);
ObjectRef CanvasGetGraphics(const Ref<TGadget>& canvas);

// Starts the front end once (after the event module and the gadget model, which
// it starts if need be): routes the localisation service through GuiDriver and
// empties the pending events. Later calls return at once.
void FrontEndInit();
