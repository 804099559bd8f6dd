#pragma once

#include <cstdint>
#include <vector>

#include "gui/core/DataSource.h"
#include "gui/core/GadgetItem.h"
#include "gui/core/Pixmap.h"
#include "runtime/Object.h"
#include "runtime/String.h"

class TEvent;
class TGadget;
class TGuiFont;

// A gadget's key filter: called by the back end with a KeyDown or KeyChar event
// before the widget sees the key; 0 swallows the key. Not set = nullptr.
using TKeyFilter = int32_t (*)(const Ref<TEvent>& event, const ObjectRef& context);

// Gadget classes, as answered by Class() and passed to the driver's CreateGadget.
constexpr int32_t GadgetClassDesktop = 0;
constexpr int32_t GadgetClassWindow = 1;
constexpr int32_t GadgetClassButton = 2;
constexpr int32_t GadgetClassPanel = 3;
constexpr int32_t GadgetClassTextField = 4;
constexpr int32_t GadgetClassTextArea = 5;
constexpr int32_t GadgetClassComboBox = 6;
constexpr int32_t GadgetClassListBox = 7;
constexpr int32_t GadgetClassToolbar = 8;
constexpr int32_t GadgetClassTabber = 9;
constexpr int32_t GadgetClassTreeView = 10;
constexpr int32_t GadgetClassHtmlView = 11;
constexpr int32_t GadgetClassLabel = 12;
constexpr int32_t GadgetClassSlider = 13;
constexpr int32_t GadgetClassProgressBar = 14;
constexpr int32_t GadgetClassMenu = 15;
constexpr int32_t GadgetClassNode = 16;  // a tree-view item; never made through CreateGadget
constexpr int32_t GadgetClassCanvas = 17;

// Bits of State().
constexpr int32_t GadgetStateMinimized = 1;
constexpr int32_t GadgetStateMaximized = 2;
constexpr int32_t GadgetStateDisabled = 4;
constexpr int32_t GadgetStateHidden = 8;
constexpr int32_t GadgetStateSelected = 16;
constexpr int32_t GadgetStateIndeterminate = 64;

// Window styles.
constexpr int32_t WindowTitleBar = 1;
constexpr int32_t WindowResizable = 2;
constexpr int32_t WindowMenu = 4;
constexpr int32_t WindowStatus = 8;
constexpr int32_t WindowClientCoords = 32;
constexpr int32_t WindowHidden = 64;
constexpr int32_t WindowAcceptFiles = 128;
constexpr int32_t WindowCenter = 512;

// Button styles (low three bits select the kind; 8 makes check and radio buttons push-like).
constexpr int32_t ButtonPush = 0;
constexpr int32_t ButtonCheckBox = 2;
constexpr int32_t ButtonRadio = 3;
constexpr int32_t ButtonOk = 4;
constexpr int32_t ButtonCancel = 5;
constexpr int32_t ButtonPushLike = 8;

// Panel styles (low two bits select the frame).
constexpr int32_t PanelBorderNone = 0;
constexpr int32_t PanelBorderSunken = 1;
constexpr int32_t PanelBorderRaised = 2;
constexpr int32_t PanelGroup = 3;
constexpr int32_t PanelActive = 4;

// Label styles (low three bits select the frame; 8 and 16 the alignment).
constexpr int32_t LabelFrameNone = 0;
constexpr int32_t LabelFrameFlat = 1;
constexpr int32_t LabelFrameSunken = 2;
constexpr int32_t LabelFrameSeparator = 3;
constexpr int32_t LabelAlignRight = 8;
constexpr int32_t LabelAlignCenter = 16;

constexpr int32_t TextFieldPassword = 1;
// Text area styles: 1 wraps lines, 2 is read-only, and TextAreaSecret holds a
// secret, which neither a mouse selection nor the area's own copy keys hand
// to another program (the program copies it itself).
constexpr int32_t TextAreaSecret = 4;
constexpr int32_t ComboBoxEditable = 1;

// Edge-lock modes of lockl, lockr, lockt and lockb; any other value leaves its edge where it is.
constexpr int32_t EdgeFree = 0;    // follows from the other edge and the locked size
constexpr int32_t EdgeFixed = 1;   // keeps its distance from the parent's side
constexpr int32_t EdgeScaled = 2;  // keeps its proportional place in the parent

// One element of the user interface, independent of any widget set. The tree,
// the rectangle, the edge-lock layout and the item bookkeeping live here; every
// operation that touches the screen is virtual and does nothing in this base
// class. A driver derives one class per gadget class and overrides what it supports.
class TGadget : public TObject {
 public:
  TGadget() = default;

  // The gadget as a counted reference (the gadget must be owned by a Ref).
  Ref<TGadget> Self();

  // Virtual operations, in slot order.
  virtual int32_t SetFilter(TKeyFilter filter, const ObjectRef& filterContext);
  virtual int32_t HasDescendant(const Ref<TGadget>& gadget);
  // Moves the gadget into group's kids at index (none detaches it); 0. Refuses
  // the gadget itself or one of its descendants as group: -1, nothing changes.
  virtual int32_t _setparent(const Ref<TGadget>& group, int32_t index);
  virtual int32_t SelectionChanged();
  virtual Ref<TGadget> Handle();
  virtual int32_t GetXPos();
  virtual int32_t GetYPos();
  virtual int32_t GetWidth();
  virtual int32_t GetHeight();
  virtual Ref<TGadget> GetGroup();
  virtual int32_t SetShape(int32_t x, int32_t y, int32_t w, int32_t h);
  virtual int32_t SetArea(int32_t x, int32_t y, int32_t w, int32_t h);
  virtual int32_t SetRect(int32_t x, int32_t y, int32_t w, int32_t h);
  virtual int32_t LockLayout();
  virtual int32_t SetLayout(int32_t left, int32_t right, int32_t top, int32_t bottom);
  virtual int32_t LayoutKids();
  virtual int32_t DoLayout();
  virtual int32_t SetDataSource(const ObjectRef& source);
  static std::vector<String> KeysFromList(const Ref<TList>& list);
  static std::vector<String> KeysFromObjectArray(const std::vector<ObjectRef>& array);
  virtual int32_t SyncDataSource();
  virtual int32_t SyncData(const std::vector<String>& keys);
  virtual int32_t InsertItemFromKey(int32_t index, const String& key);
  virtual int32_t Clear();
  virtual int32_t InsertItem(int32_t index, const String& text, const String& tip, int32_t icon,
                             const ObjectRef& itemExtra, int32_t flags);
  virtual int32_t SetItem(int32_t index, const String& text, const String& tip, int32_t icon,
                          const ObjectRef& itemExtra, int32_t flags);
  virtual int32_t RemoveItem(int32_t index);
  virtual int32_t ItemCount();
  virtual String ItemText(int32_t index);
  virtual String ItemTip(int32_t index);
  virtual int32_t ItemFlags(int32_t index);
  virtual int32_t ItemIcon(int32_t index);
  virtual ObjectRef ItemExtra(int32_t index);
  virtual int32_t SetItemState(int32_t index, int32_t state);
  virtual int32_t ItemState(int32_t index);
  virtual int32_t SelectItem(int32_t index, int32_t op);
  virtual int32_t SelectedItem();
  virtual std::vector<int32_t> SelectedItems();
  virtual int32_t Insert(const Ref<TGadget>& gadget, int32_t index);
  virtual int32_t Query(int32_t code);
  virtual int32_t CleanUp();
  virtual int32_t Free();
  virtual int32_t Rethink();
  virtual int32_t ClientWidth();
  virtual int32_t ClientHeight();
  virtual int32_t Activate(int32_t command);
  virtual int32_t State();
  virtual int32_t SetText(const String& text);
  virtual String GetText();
  virtual int32_t SetFont(const Ref<TGuiFont>& font);
  virtual int32_t SetColor(int32_t r, int32_t g, int32_t b);
  virtual int32_t RemoveColor();
  virtual int32_t SetAlpha(float alpha);
  virtual int32_t SetTextColor(int32_t r, int32_t g, int32_t b);
  virtual int32_t SetTooltip(const String& tip);
  virtual String GetTooltip();
  virtual int32_t SetPixmap(const Ref<TPixmap>& pixmap, int32_t flags);
  virtual int32_t SetIconStrip(const Ref<TIconStrip>& strip);
  virtual int32_t SetShow(int32_t flag);
  virtual int32_t SetEnabled(int32_t flag);
  virtual int32_t SetSelected(int32_t flag);
  virtual int32_t SetHotKey(int32_t key, int32_t modifiers);
  virtual int32_t SetSensitivity(int32_t mask);
  virtual int32_t GetSensitivity();
  virtual int32_t Class();
  virtual String GetStatusText();
  virtual int32_t SetStatusText(const String& text);
  virtual Ref<TGadget> GetMenu();
  virtual int32_t PopupMenu(const Ref<TGadget>& menu, const ObjectRef& popupExtra);
  virtual int32_t UpdateMenu();
  virtual int32_t SetMinimumSize(int32_t w, int32_t h);
  virtual int32_t SetMaximumSize(int32_t w, int32_t h);
  virtual int32_t ClearListItems();
  virtual int32_t InsertListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                                 const ObjectRef& itemExtra);
  virtual int32_t SetListItem(int32_t index, const String& text, const String& tip, int32_t icon,
                              const ObjectRef& itemExtra);
  virtual int32_t RemoveListItem(int32_t index);
  virtual int32_t SetListItemState(int32_t index, int32_t state);
  virtual int32_t ListItemState(int32_t index);
  virtual Ref<TGadget> RootNode();
  virtual Ref<TGadget> InsertNode(int32_t index, const String& text, int32_t icon);
  virtual int32_t ModifyNode(const String& text, int32_t icon);
  virtual Ref<TGadget> SelectedNode();
  virtual int32_t CountKids();
  virtual int32_t ReplaceText(int32_t pos, int32_t length, const String& text, int32_t units);
  virtual int32_t AddText(const String& text);
  virtual String AreaText(int32_t pos, int32_t length, int32_t units);
  virtual int32_t AreaLen(int32_t units);
  virtual int32_t LockText();
  virtual int32_t UnlockText();
  virtual int32_t SetTabs(int32_t width);
  virtual int32_t SetMargins(int32_t width);
  virtual int32_t GetCursorPos(int32_t units);
  virtual int32_t GetSelectionLength(int32_t units);
  virtual int32_t SetStyle(int32_t r, int32_t g, int32_t b, int32_t flags, int32_t pos, int32_t length, int32_t units);
  virtual int32_t SetSelection(int32_t pos, int32_t length, int32_t units);
  virtual int32_t CharX(int32_t index);
  virtual int32_t CharY(int32_t index);
  virtual int32_t CharAt(int32_t line);
  virtual int32_t LineAt(int32_t index);
  virtual int32_t SetValue(float value);
  virtual int32_t SetRange(int32_t visibleAmount, int32_t totalAmount);
  virtual int32_t SetProp(int32_t value);
  virtual int32_t GetProp();
  virtual ObjectRef AttachGraphics(int32_t flags);
  virtual ObjectRef CanvasGraphics();
  virtual String Run(const String& script);

  // Not part of the operations above: lets the front end see through proxy
  // gadgets without depending on them. A proxy answers true and its wrapped gadget.
  virtual bool IsProxy() const;
  virtual Ref<TGadget> ProxyTarget() const;

  // The proxy that reports this gadget's events, if it is wrapped. It observes
  // the proxy without keeping it alive: the proxy owns the wrapped gadget.
  std::weak_ptr<TGadget> source;
  Ref<TGadget> parent;  // counted; CleanUp breaks the parent/kids cycle
  std::vector<Ref<TGadget>> kids;
  int32_t xpos = 0, ypos = 0;
  int32_t width = 0, height = 0;
  String name;
  ObjectRef extra;
  int32_t style = 0;
  int32_t sensitivity = 0;
  int32_t visible = 0;
  int32_t total = 1;
  int32_t lockl = 0, lockr = 0, lockt = 0, lockb = 0;
  int32_t lockx = 0, locky = 0, lockw = 0, lockh = 0;
  int32_t lockcw = 0, lockch = 0;
  TKeyFilter eventfilter = nullptr;
  ObjectRef context;
  std::vector<Ref<TGadgetItem>> items;
  std::vector<int32_t> arrPrevSelection;
  ObjectRef datasource;
  std::vector<String> datakeys;

 private:
  bool ValidItem(int32_t index) const { return index >= 0 && index < static_cast<int32_t>(items.size()); }
};

// Starts the gadget model once: registers GadgetDrag and GadgetDrop, empties the
// drag slots and makes the placeholder gadget. Later calls return at once.
void GadgetInit();
