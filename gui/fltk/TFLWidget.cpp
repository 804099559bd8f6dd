#include "gui/fltk/TFLWidget.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/CreateFlWidget.h"
#include "gui/fltk/FlEventBridge.h"
#include "gui/fltk/FlKeyCodes.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/TFLGadget.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "runtime/HandleTable.h"

namespace {
std::unique_ptr<char[]> ByteCopy(const String& text) {
  const std::string bytes = NarrowString(text);
  auto copy = std::make_unique<char[]>(bytes.size() + 1);
  std::memcpy(copy.get(), bytes.c_str(), bytes.size() + 1);
  return copy;
}

Fl_Color RgbColor(int32_t r, int32_t g, int32_t b) {
  return fl_rgb_color(uchar(std::clamp(r, 0, 255)), uchar(std::clamp(g, 0, 255)), uchar(std::clamp(b, 0, 255)));
}
}  // namespace

TFLWidget::~TFLWidget() = default;

int32_t TFLWidget::ObjHandle() {
  if (objhandle == 0) objhandle = HandleFromObject(shared_from_this());
  return objhandle;
}

Ref<TFLWidget> TFLWidget::FromHandle(int32_t handle) {
  return std::dynamic_pointer_cast<TFLWidget>(HandleToObject(handle));
}

Ref<TFLWidget> TFLWidget::FromData(const void* data) { return FromHandle(FlDataHandle(data)); }

Ref<TFLWidget> TFLWidget::FromWidget(const Fl_Widget* widget) { return FromHandle(FlUserHandle(widget)); }

Ref<TFLWidget> TFLWidget::CreateWidget(int32_t kind, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                                       const Ref<TGadget>& parentGadget, int32_t align, int32_t box) {
  fltype = kind;
  SetRect(x, y, w, h);
  parent = parentGadget;
  InitWidget();
  if (flhandle) {
    if (align >= 0) flhandle->align(Fl_Align(align));
    if (box >= 0) flhandle->box(Fl_Boxtype(box));
  }
  if (!text.empty()) SetText(text);
  return std::static_pointer_cast<TFLWidget>(Self());
}

Fl_Widget* TFLWidget::WidgetHandle() { return flhandle; }

Fl_Widget* TFLWidget::QueryWidgetHandle(int32_t code) {
  if (code == QueryWidget) return flhandle;
  if (code == QueryClient) return client ? client->flhandle : flhandle;
  return nullptr;
}

Fl_Group* TFLWidget::ChildGroup() {
  Fl_Widget* widget = QueryWidgetHandle(QueryClient);
  return widget ? widget->as_group() : nullptr;
}

int32_t TFLWidget::Query(int32_t code) {
  if (code == QueryWidget) return flhandle ? ObjHandle() : 0;
  if (code == QueryClient) {
    if (client) return client->flhandle ? client->ObjHandle() : 0;
    return flhandle ? ObjHandle() : 0;
  }
  return 0;
}

int32_t TFLWidget::InitWidget() {
  Ref<TFLWidget> parentWidget = AsFLWidget(parent);
  Fl_Group* const previousGroup = Fl_Group::current();
  // New widgets join FLTK's current group: the parent's client group, or none.
  Fl_Group::current(parentWidget ? parentWidget->ChildGroup() : nullptr);
  flhandle = CreateFlWidget(AbsoluteX(), AbsoluteY(), width, height, "", fltype);
  Fl_Group::current(previousGroup);
  if (!flhandle) return 0;
  flhandle->callback(CallbackHandler, FlHandleData(ObjHandle()));
  if (parentWidget) {
    parentWidget->AddChild(Self());
  } else {
    LockLayout();
  }
  if (flkey != 0) {
    if (auto* button = FlWidget<Fl_Button>()) button->shortcut(flkey);
  }
  SetTooltip(String());
  return 1;
}

int32_t TFLWidget::Redraw() {
  if (flhandle) flhandle->redraw();
  dirty = 0;
  return 0;
}

int32_t TFLWidget::RemoveChild(const Ref<TGadget>& kid) {
  if (!kid) return 0;
  auto it = std::find(kids.begin(), kids.end(), kid);
  if (it != kids.end()) kids.erase(it);
  kid->parent = nullptr;
  Ref<TFLWidget> kidWidget = AsFLWidget(kid);
  if (kidWidget && kidWidget->flhandle) {
    if (Fl_Group* group = ChildGroup()) group->remove(kidWidget->flhandle);
    SetDirty();
  }
  return 0;
}

int32_t TFLWidget::AddChild(const Ref<TGadget>& kid) {
  if (!kid) return 0;
  if (Ref<TFLWidget> oldParent = AsFLWidget(kid->parent)) oldParent->RemoveChild(kid);
  kid->parent = Self();
  kids.push_back(kid);
  Ref<TFLWidget> kidWidget = AsFLWidget(kid);
  if (kidWidget && kidWidget->flhandle) {
    if (Fl_Group* group = ChildGroup()) group->add(kidWidget->flhandle);
    SetDirty();
  }
  kid->LockLayout();
  kid->Rethink();
  return 0;
}

int32_t TFLWidget::SetDirty() {
  if (dirty == 1) return 0;
  if (Ref<TFLTKGUIDriver> driver = FLTKDriver()) {
    dirty = 1;
    driver->RefreshWidget(std::static_pointer_cast<TFLWidget>(Self()));
  } else {
    Redraw();
  }
  return 0;
}

int32_t TFLWidget::SetOrigin(int32_t x, int32_t y) {
  originx = x;
  originy = y;
  return 0;
}

int32_t TFLWidget::AbsoluteX() {
  int32_t x = xpos;
  Ref<TFLWidget> p = AsFLWidget(parent);
  while (p) {
    x += p->originx;
    if (p->client && p->client.get() != this) x += p->client->xpos + p->client->originx;
    // FLTK places children relative to their window: the window's own position never counts.
    if (p->fltype == FlKindWindow) break;
    x += p->xpos;
    p = AsFLWidget(p->parent);
  }
  return x;
}

int32_t TFLWidget::AbsoluteY() {
  int32_t y = ypos;
  Ref<TFLWidget> p = AsFLWidget(parent);
  while (p) {
    y += p->originy;
    if (p->client && p->client.get() != this) y += p->client->ypos + p->client->originy;
    if (p->fltype == FlKindWindow) break;
    y += p->ypos;
    p = AsFLWidget(p->parent);
  }
  return y;
}

int32_t TFLWidget::OnCallback() { return 0; }
int32_t TFLWidget::OnMouse() { return 0; }
int32_t TFLWidget::OnKey() { return 0; }

void TFLWidget::CallbackHandler(Fl_Widget*, void* handle) {
  if (const Ref<TFLWidget> gadget = FromData(handle)) gadget->OnCallback();
}

int TFLWidget::MouseHandler(Fl_Widget* widget, int32_t handle) {
  const Ref<TFLWidget> gadget = FromHandle(handle);
  const int event = CurrentFlEvent();
  if (event == FL_LEAVE && mouseOverGadget) {
    const Ref<TFLGadget> left = mouseOverGadget;
    mouseOverGadget = nullptr;
    left->OnMouseLeave();
  } else if (event == FL_RELEASE) {
    const int button = Fl::event_button();
    if (button >= 1 && button <= GadgetDragSlotCount) {
      if (const Ref<TGadget> dragSource = GadgetDragSource(button)) {
        GadgetSetDragSource(button, nullptr);
        Fl_Widget* windowWidget = widget->as_window() ? widget : static_cast<Fl_Widget*>(widget->window());
        const Ref<TFLWidget> windowGadget = FromWidget(windowWidget);
        const int ex = Fl::event_x(), ey = Fl::event_y();
        const Ref<TGadget> target = windowGadget ? windowGadget->FindChildAtCoords(ex, ey) : nullptr;
        if (target) {
          int32_t x = ex, y = ey;
          Ref<TFLWidget> targetWidget = AsFLWidget(target);
          if (targetWidget && targetWidget->fltype != FlKindWindow) {
            x -= targetWidget->AbsoluteX();
            y -= targetWidget->AbsoluteY();
          }
          GadgetPostEvent(GadgetDrop, target, button, ModifiersFromFlState(Fl::event_state()), x, y, dragSource);
        }
      }
    }
  }
  return gadget ? gadget->OnMouse() : 0;
}

int TFLWidget::KeyHandler(Fl_Widget*, int32_t handle) {
  const Ref<TFLWidget> gadget = FromHandle(handle);
  return gadget ? gadget->OnKey() : 0;
}

Fl_RGB_Image* TFLWidget::ImageFromPixmap(const Ref<TPixmap>& pixmap) {
  if (!pixmap || pixmap->width <= 0 || pixmap->height <= 0) return nullptr;
  const size_t count = size_t(pixmap->width) * size_t(pixmap->height);
  auto* bytes = new uchar[count * 4];
  for (size_t i = 0; i < count; ++i) {
    const uint32_t argb = i < pixmap->pixels.size() ? pixmap->pixels[i] : 0;
    bytes[i * 4 + 0] = uchar(argb >> 16);
    bytes[i * 4 + 1] = uchar(argb >> 8);
    bytes[i * 4 + 2] = uchar(argb);
    bytes[i * 4 + 3] = uchar(argb >> 24);
  }
  auto* image = new Fl_RGB_Image(bytes, pixmap->width, pixmap->height, 4);
  image->alloc_array = 1;
  return image;
}

String TFLWidget::_RGBHex(int32_t r, int32_t g, int32_t b) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned(r & 0xFF), unsigned(g & 0xFF), unsigned(b & 0xFF));
  return WidenString(text);
}

Ref<TGadget> TFLWidget::FindChildAtCoords(int32_t x, int32_t y) {
  if (!(x > 0 && x < ClientWidth() && y > 0 && y < ClientHeight())) return nullptr;
  const std::vector<Ref<TGadget>> kidsNow = kids;
  for (const Ref<TGadget>& kid : kidsNow) {
    if (Ref<TFLWidget> kidWidget = AsFLWidget(kid)) {
      if (Ref<TGadget> found = kidWidget->FindChildAtCoords(x - kidWidget->xpos, y - kidWidget->ypos)) return found;
    }
  }
  return Self();
}

int32_t TFLWidget::Rethink() {
  if (!flhandle) return 0;
  flhandle->damage_resize(AbsoluteX(), AbsoluteY(), width, height);
  flhandle->redraw_label();
  return 0;
}

int32_t TFLWidget::SetText(const String& text) {
  if (!flhandle) return 0;
  if (text.empty()) {
    flhandle->copy_label(nullptr);
  } else {
    flhandle->copy_label(NarrowString(text).c_str());
  }
  return 0;
}

String TFLWidget::GetText() {
  if (!flhandle || !flhandle->label()) return String();
  return WidenString(flhandle->label());
}

int32_t TFLWidget::SetTooltip(const String& tip) {
  tooltip = ByteCopy(tip);
  if (flhandle) flhandle->copy_tooltip(tooltip[0] ? tooltip.get() : nullptr);
  return 0;
}

String TFLWidget::GetTooltip() { return tooltip ? WidenString(tooltip.get()) : String(); }

int32_t TFLWidget::SetShape(int32_t x, int32_t y, int32_t w, int32_t h) {
  TGadget::SetShape(x, y, w, h);
  if (parent) parent->Activate(13);
  return 0;
}

int32_t TFLWidget::SetColor(int32_t r, int32_t g, int32_t b) {
  if (!flhandle) return 0;
  const Fl_Color background = (r | g | b) == 0 ? FL_BLACK : RgbColor(r, g, b);
  flhandle->color(background);
  Fl_Color selection = FL_SELECTION_COLOR;
  if (fl_contrast(selection, background) != selection) {
    const int distance = std::abs(255 - 2 * r) + std::abs(255 - 2 * g) + std::abs(255 - 2 * b);
    selection = distance >= 64 ? RgbColor(255 - r, 255 - g, 255 - b) : RgbColor(r - 128, g - 128, b - 128);
  }
  flhandle->selection_color(selection);
  SetDirty();
  return 0;
}

int32_t TFLWidget::RemoveColor() {
  if (!flhandle) return 0;
  flhandle->color(FL_BACKGROUND_COLOR);
  SetDirty();
  return 0;
}

int32_t TFLWidget::SetTextColor(int32_t r, int32_t g, int32_t b) {
  if (!flhandle) return 0;
  flhandle->labelcolor(RgbColor(r, g, b));
  SetDirty();
  return 0;
}

int32_t TFLWidget::SetShow(int32_t flag) {
  if (!flhandle) return 0;
  if (flag != 0) {
    flhandle->show();
  } else {
    flhandle->hide();
  }
  return 0;
}

int32_t TFLWidget::ClientWidth() {
  if (client) return client->width;
  return std::max(width - originx, 0);
}

int32_t TFLWidget::ClientHeight() {
  if (client) return client->height;
  return std::max(height - originy, 0);
}

int32_t TFLWidget::Free() {
  if (client) {
    const Ref<TFLWidget> oldClient = client;
    client = nullptr;
    oldClient->CleanUp();
  }
  if (Ref<TFLWidget> parentWidget = AsFLWidget(parent)) parentWidget->RemoveChild(Self());
  FlBridgeForget(this);
  if (flhandle) {
    // A late callback must find no gadget.
    flhandle->user_data(nullptr);
    HandleForget(objhandle);
    objhandle = 0;
    if (fltype != FlKindWindow) {
      if (Fl_Group* group = flhandle->parent()) group->remove(flhandle);
      Fl::delete_widget(flhandle);
    } else {
      delete flhandle;
    }
  }
  tooltip.reset();
  flhandle = nullptr;
  parent = nullptr;
  return 0;
}

int32_t TFLWidget::CountKids() { return static_cast<int32_t>(kids.size()); }
