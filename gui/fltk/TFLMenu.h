#pragma once

#include <FL/Fl_Menu_Item.H>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "gui/fltk/TFLWidget.h"
#include "runtime/Wipe.h"

class TFLGadget;

// A flat FLTK item table built from a menu tree, together with the label bytes
// its items point at. The FLTK menu widget is handed the table itself, so the
// owner of the widget keeps the table alive for as long as the widget may use it.
struct TFLMenuTable {
  std::vector<Fl_Menu_Item> items;  // zeroed; unused slots end submenus and the table
  std::deque<std::string> labels;   // a deque never moves what it already holds
  // FLTK reads "&" in an item label as a shortcut mark and "@" as the start of
  // a symbol. Menus keep that; a list of the user's own texts (a combo box's)
  // escapes both so that every label shows exactly its text.
  bool literalLabels = false;

  // The labels may be a list's descriptions: none outlives the table.
  ~TFLMenuTable() {
    for (std::string& label : labels) SecureWipe(label);
  }
};

// One menu item; a tree of them describes a window's menu bar, a popup menu or
// the drop-down list of a combo box. The root of a tree has no text and is not
// shown. Items own their children; the parent item and the owning gadget are
// only observed, so a tree never keeps its owner (or itself) alive.
class TFLMenu : public TFLWidget {
 public:
  ~TFLMenu() override { SecureWipe(text); }
  // An item with text and tag, appended to parent when one is given.
  static Ref<TFLMenu> CreateMenu(const String& itemText, int32_t itemTag, const Ref<TFLMenu>& parentItem);

  // Numbers this item and its subtree with their slots in the flat FLTK table,
  // starting at start; returns the first slot after the subtree. Every item
  // takes one slot and every submenu one more after its children (FLTK's
  // end-of-submenu marker). The root is numbered from -1 and never written.
  virtual int32_t count(int32_t start);
  // Writes this item and its subtree into table at the slots count assigned.
  virtual int32_t SetFLMenu(TFLMenuTable& table);
  virtual int32_t AddMenu(const Ref<TFLMenu>& kid);
  // Like AddMenu, but at position at of the children (appends when at is
  // negative or past the end).
  virtual int32_t InsertMenu(const Ref<TFLMenu>& kid, int32_t at);
  virtual int32_t RemoveMenu(int32_t i);

  int32_t Class() override;
  int32_t OnCallback() override;
  int32_t Free() override;
  int32_t SetHotKey(int32_t key, int32_t modifiers) override;
  int32_t State() override;
  int32_t SetSelected(int32_t flag) override;
  int32_t SetEnabled(int32_t flag) override;
  int32_t SetText(const String& newText) override;
  String GetText() override;
  // Kept with the item; FLTK menu items show no tooltips.
  int32_t SetTooltip(const String& tip) override;
  // The parent item (items do not hold their parent through the gadget tree).
  Ref<TGadget> GetGroup() override;

  Ref<TFLGadget> Owner() const { return owner.lock(); }
  Ref<TFLMenu> Parent() const { return mparent.lock(); }
  // The owner given to this item and, through AddMenu, to items added later.
  void SetOwner(const Ref<TFLGadget>& gadget) { owner = gadget; }

  String text;
  std::weak_ptr<TFLGadget> owner;
  std::weak_ptr<TFLMenu> mparent;
  std::vector<Ref<TFLMenu>> mkids;
  int32_t checked = 0;
  int32_t disabled = 0;
  int32_t divider = 0;
  int32_t check = 0;
  int32_t index = 0;
  int32_t flshortcut = 0;
};

inline Ref<TFLMenu> AsFLMenu(const Ref<TGadget>& gadget) { return std::dynamic_pointer_cast<TFLMenu>(gadget); }

// The FLTK item table for the tree under root (numbered and written afresh),
// with literal labels when literalLabels is set.
std::unique_ptr<TFLMenuTable> FlBuildMenuTable(const Ref<TFLMenu>& root, bool literalLabels = false);
// Lets go of a table whose widget FLTK deletes later: the table is freed at the
// next poll, so the items stay readable until then.
void FlFreeMenuTableLater(std::unique_ptr<TFLMenuTable>& table);
