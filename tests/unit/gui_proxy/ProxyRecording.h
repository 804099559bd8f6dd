#pragma once

#include <string>
#include <vector>

#include "gui/core/GuiDriver.h"
#include "runtime/String.h"
#include "system/SystemDriver.h"

// A gadget as a driver class would be, minus the widget: it keeps what it is
// told and logs the calls that have no field to land in.
class TRecordingGadget : public TGadget {
 public:
  explicit TRecordingGadget(int32_t gadgetClass = GadgetClassLabel) : kind(gadgetClass) {}

  int32_t Class() override { return kind; }
  int32_t State() override { return state; }
  int32_t Free() override {
    log.push_back("Free");
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
  int32_t SetFont(const Ref<TGuiFont>& value) override {
    font = value;
    log.push_back("SetFont");
    return 0;
  }
  int32_t SetTextColor(int32_t r, int32_t g, int32_t b) override {
    textColor = {r, g, b};
    log.push_back("SetTextColor " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    return 0;
  }
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override {
    log.push_back("SetColor " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    return 0;
  }
  String GetStatusText() override { return statusText; }
  int32_t SetStatusText(const String& value) override {
    statusText = value;
    return 0;
  }
  int32_t ReplaceText(int32_t pos, int32_t length, const String& value, int32_t units) override {
    log.push_back("ReplaceText " + std::to_string(pos) + " " + std::to_string(length) + " " + NarrowString(value) +
                  " " + std::to_string(units));
    return 7;
  }
  String Run(const String& script) override { return S("ran ") + script; }
  int32_t ListItemState(int32_t index) override {
    return index < static_cast<int32_t>(itemStates.size()) ? itemStates[index] : 0;
  }
  int32_t SetListItemState(int32_t index, int32_t value) override {
    if (index >= static_cast<int32_t>(itemStates.size())) itemStates.resize(index + 1);
    itemStates[index] = value;
    return 0;
  }

  int32_t kind;
  int32_t state = 0;
  String text, tooltip, statusText;
  Ref<TGuiFont> font;
  std::vector<int32_t> textColor;
  std::vector<int32_t> itemStates;
  std::vector<std::string> log;
};

// A GUI driver that makes recording gadgets and remembers what it was asked.
class TRecordingGuiDriver : public TVuzIDODriver {
 public:
  struct Made {
    int32_t gadgetClass;
    String text;
    int32_t x, y, w, h;
    Ref<TGadget> group;
    int32_t style;
  };

  Ref<TGadget> CreateGadget(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                            const Ref<TGadget>& group, int32_t style) override {
    made.push_back({gadgetClass, text, x, y, w, h, group, style});
    if (refuse) return nullptr;
    auto gadget = New<TRecordingGadget>(gadgetClass);
    gadget->style = style;
    gadget->SetRect(x, y, w, h);
    gadget->text = text;
    if (group) gadget->_setparent(group, -1);
    return gadget;
  }
  int32_t LookupColor(int32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) override {
    if (index != 4) return TVuzIDODriver::LookupColor(index, red, green, blue);
    red = 10, green = 20, blue = 30;
    return 1;
  }
  Ref<TGuiFont> LibraryFont(int32_t kind, double size, int32_t style) override {
    auto font = New<TGuiFont>();
    font->name = S("library ") + IntToString(kind);
    font->size = static_cast<int32_t>(size);
    font->style = style;
    return font;
  }
  int32_t SetPointer(int32_t shape) override {
    pointers.push_back(shape);
    return 0;
  }

  bool refuse = false;
  std::vector<Made> made;
  std::vector<int32_t> pointers;
};

// A system driver that opens nothing and pumps nothing, but records the URLs.
class TRecordingSystemDriver : public TSystemDriver {
 public:
  int32_t Poll() override { return 0; }
  int32_t Wait() override { return 0; }
  int32_t OpenURL(const String& url) override {
    opened.push_back(url);
    return 1;
  }
  std::vector<String> opened;
};
