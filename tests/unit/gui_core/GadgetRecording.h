#pragma once

#include <string>
#include <vector>

#include "gui/core/GuiDriver.h"
#include "runtime/String.h"

// A gadget class as a driver would write it, minus the widget: it keeps the
// list-item mirror and the state bits, and logs every driver-side call it gets.
class TRecordingGadget : public TGadget {
 public:
  explicit TRecordingGadget(int32_t gadgetClass = GadgetClassPanel) : kind(gadgetClass) {}

  int32_t Class() override { return kind; }
  int32_t State() override { return state; }
  int32_t ClientWidth() override { return clientWidth >= 0 ? clientWidth : width; }
  int32_t ClientHeight() override { return clientHeight >= 0 ? clientHeight : height; }
  int32_t Rethink() override {
    ++rethinks;
    return 0;
  }
  int32_t Free() override {
    Log("Free");
    if (parent) {
      auto& siblings = parent->kids;
      for (auto at = siblings.begin(); at != siblings.end(); ++at) {
        if (at->get() == this) {
          siblings.erase(at);
          break;
        }
      }
    }
    return 0;
  }
  int32_t SetText(const String& value) override {
    text = value;
    return 0;
  }
  String GetText() override { return text; }
  int32_t SetTooltip(const String& value) override {
    tooltip = value;
    return 0;
  }
  String GetTooltip() override { return tooltip; }
  int32_t SetSelected(int32_t flag) override {
    state = flag ? (state | GadgetStateSelected) : (state & ~GadgetStateSelected);
    return 0;
  }
  int32_t SetHotKey(int32_t key, int32_t modifiers) override {
    Log("SetHotKey " + std::to_string(key) + " " + std::to_string(modifiers));
    return 0;
  }
  int32_t SetIconStrip(const Ref<TIconStrip>& strip) override {
    Log("SetIconStrip " + std::to_string(strip ? strip->count : -1));
    return 0;
  }
  int32_t Activate(int32_t command) override {
    Log("Activate " + std::to_string(command));
    return 0;
  }
  ObjectRef AttachGraphics(int32_t flags) override {
    Log("AttachGraphics " + std::to_string(flags));
    return nullptr;
  }

  int32_t ClearListItems() override {
    Log("ClearListItems");
    listTexts.clear();
    listIcons.clear();
    listStates.clear();
    return 0;
  }
  int32_t InsertListItem(int32_t index, const String& itemText, const String& tip, int32_t icon,
                         const ObjectRef& itemExtra) override {
    Log("InsertListItem " + std::to_string(index) + " " + NarrowString(itemText) + " " + NarrowString(tip) + " " +
        std::to_string(icon) + (itemExtra ? " extra" : ""));
    listTexts.insert(listTexts.begin() + index, itemText);
    listIcons.insert(listIcons.begin() + index, icon);
    listStates.insert(listStates.begin() + index, 0);
    return 0;
  }
  int32_t SetListItem(int32_t index, const String& itemText, const String& tip, int32_t icon,
                      const ObjectRef&) override {
    Log("SetListItem " + std::to_string(index) + " " + NarrowString(itemText) + " " + NarrowString(tip) + " " +
        std::to_string(icon));
    listTexts.at(index) = itemText;
    listIcons.at(index) = icon;
    return 0;
  }
  int32_t RemoveListItem(int32_t index) override {
    Log("RemoveListItem " + std::to_string(index));
    listTexts.erase(listTexts.begin() + index);
    listIcons.erase(listIcons.begin() + index);
    listStates.erase(listStates.begin() + index);
    return 0;
  }
  int32_t SetListItemState(int32_t index, int32_t itemState) override {
    Log("SetListItemState " + std::to_string(index) + " " + std::to_string(itemState));
    listStates.at(index) = itemState;
    return 0;
  }
  int32_t ListItemState(int32_t index) override { return listStates.at(index); }

  void Log(const std::string& call) { calls.push_back(call); }
  // Calls whose log line starts with prefix.
  int CountCalls(const std::string& prefix) const {
    int n = 0;
    for (const auto& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  int32_t kind;
  int32_t state = 0;
  int32_t clientWidth = -1;  // -1: the gadget's own width
  int32_t clientHeight = -1;
  int rethinks = 0;
  String text;
  String tooltip;
  std::vector<String> listTexts;
  std::vector<int32_t> listIcons;
  std::vector<int32_t> listStates;
  std::vector<std::string> calls;
};

// A plain proxy for the tests: it stands for a wrapped gadget and reports the
// wrapped gadget's events as its own.
class TTestProxy : public TGadget {
 public:
  bool IsProxy() const override { return true; }
  Ref<TGadget> ProxyTarget() const override { return proxy; }
  void Wrap(const Ref<TGadget>& gadget) {
    proxy = gadget;
    if (gadget) gadget->source = Self();
  }
  Ref<TGadget> proxy;
};

// A driver that makes recording gadgets and attaches them the way a real
// driver does, remembering what it was asked for.
class TRecordingDriver : public TVuzIDODriver {
 public:
  struct TCreateCall {
    int32_t gadgetClass;
    String text;
    int32_t x, y, w, h;
    Ref<TGadget> group;
    int32_t style;
  };

  Ref<TGadget> CreateGadget(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                            const Ref<TGadget>& group, int32_t style) override {
    if (gadgetClass == GadgetClassDesktop) return desktop;
    created.push_back({gadgetClass, text, x, y, w, h, group, style});
    if (gadgetClass < 0 || gadgetClass > GadgetClassCanvas || gadgetClass == GadgetClassNode) return nullptr;
    auto gadget = New<TRecordingGadget>(gadgetClass);
    gadget->style = style;
    gadget->SetRect(x, y, w, h);
    gadget->_setparent(group, -1);
    gadget->LockLayout();
    gadget->Rethink();
    gadget->SetText(text);
    made.push_back(gadget);
    return gadget;
  }
  int32_t SetPointer(int32_t shape) override {
    pointerCalls.push_back(shape);
    return 1;
  }
  int32_t RequestColor(int32_t r, int32_t g, int32_t b) override {
    colorRequests.push_back({r, g, b});
    return colorAnswer;
  }
  Ref<TGuiFont> LoadFont(const String& fontName, int32_t size, int32_t style) override {
    auto font = New<TGuiFont>();
    font->name = fontName;
    font->size = size;
    font->style = style;
    return font;
  }
  Ref<TIconStrip> LoadIconStrip(const ObjectRef& source) override {
    ++iconStripLoads;
    auto strip = New<TIconStrip>();
    strip->count = static_cast<int32_t>(StringOfObject(source).size());
    return strip;
  }

  // Frees every gadget it made, so that parent/kid links do not outlive a test.
  void FreeAll() {
    for (auto& gadget : made) gadget->CleanUp();
    made.clear();
    desktop->CleanUp();
  }

  Ref<TRecordingGadget> desktop = New<TRecordingGadget>(GadgetClassDesktop);
  std::vector<TCreateCall> created;
  std::vector<Ref<TRecordingGadget>> made;
  std::vector<int32_t> pointerCalls;
  std::vector<std::vector<int32_t>> colorRequests;
  int32_t colorAnswer = 0;
  int iconStripLoads = 0;
};
