#include "gui/fltk/TFLWindow.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/x.H>

#include <cstring>
#include <string>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/FlKeyboardGrab.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/Fl_AWindow.h"
#include "gui/fltk/TFLLabel.h"
#include "gui/fltk/TFLMenu.h"
#include "gui/fltk/TFLPanel.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "runtime/HandleTable.h"

namespace {
std::weak_ptr<TFLWindow> activeWindow;

// Takes an inner widget out of the window's list of children without moving
// its FLTK widget: it stays where the window put it.
void DetachInner(TGadget& window, const Ref<TGadget>& inner) {
  auto& kids = window.kids;
  for (auto it = kids.begin(); it != kids.end(); ++it) {
    if (*it == inner) {
      kids.erase(it);
      break;
    }
  }
}

// Asks the window manager to add or remove the maximised state (EWMH).
void SetMaximized(Fl_Window* window, bool on) {
  if (!fl_display || !window->shown()) return;
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = fl_xid(window);
  event.xclient.message_type = XInternAtom(fl_display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = on ? 1 : 0;
  event.xclient.data.l[1] = static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
  event.xclient.data.l[2] = static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
  event.xclient.data.l[3] = 1;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  XFlush(fl_display);
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}
}  // namespace

Ref<TFLWindow> ActiveFLWindow() { return activeWindow.lock(); }

TFLWindow::~TFLWindow() = default;

int32_t TFLWindow::InitGadget() {
  // The FLTK window is always top-level; a parent only makes it stay above.
  const Ref<TGadget> owner = parent;
  parent = nullptr;
  fltype = FlKindWindow;
  InitWidget();
  Fl_AWindow* window = FlWidget<Fl_AWindow>();
  if (!window) return 0;
  if (!(style & WindowTitleBar)) window->border(0);
  CreateWindowClient();
  if (owner) {
    window->set_non_modal();
    parent = owner;
  }
  Rethink();
  SetShow((style & WindowHidden) ? 0 : 1);
  return 0;
}

int32_t TFLWindow::CreateWindowClient() {
  Fl_AWindow* window = FlWidget<Fl_AWindow>();
  if (!window) return 0;
  const Ref<TGadget> self = Self();
  if (style & WindowResizable) SetMinimumSize(64, 64);
  if (style & WindowAcceptFiles) window->SetAcceptsDrops(true);
  if (style & WindowMenu) {
    menubar = New<TFLWidget>()->CreateWidget(FlKindMenuBar, String(), -2, 0, width + 4, MENU_HEIGHT, self, -1,
                                             FL_THIN_UP_BOX);
    DetachInner(*this, menubar);
    menubar->parent = nullptr;
  }
  if (style & WindowStatus) {
    // The right-aligned label is made first, so it lies underneath and draws the
    // embossed bar for all three.
    const int32_t styles[3] = {LabelAlignRight, LabelAlignCenter, 0};
    const int slots[3] = {2, 1, 0};
    for (int i = 0; i < 3; ++i) {
      auto label = std::static_pointer_cast<TFLGadget>(New<TFLLabel>()->CreateGadget(
          String(), 0, height - STATUSBAR_HEIGHT, width, STATUSBAR_HEIGHT, self, styles[i]));
      if (Fl_Widget* widget = label->flhandle) {
        widget->box(slots[i] == 2 ? FL_EMBOSSED_BOX : FL_NO_BOX);
        widget->align(Fl_Align(widget->align() & ~FL_ALIGN_WRAP));
      }
      DetachInner(*this, label);
      label->parent = nullptr;
      statustext[static_cast<size_t>(slots[i])] = label;
    }
  }
  auto panel = std::static_pointer_cast<TFLWidget>(New<TFLPanel>()->CreateGadget(String(), 0, 0, 1, 1, self, 0));
  client = panel;
  DetachInner(*this, panel);
  panel->parent = self;
  RethinkWindow();
  return 0;
}

int32_t TFLWindow::RethinkWindow() {
  const int32_t m = MenuHeight();
  if (menubar) menubar->SetArea(-2, 0, width + 4, MENU_HEIGHT);
  for (const auto& label : statustext)
    if (label) label->SetArea(0, m + originy + ClientHeight(), width, STATUSBAR_HEIGHT);
  if (client) client->SetArea(0, m, ClientWidth(), ClientHeight());
  LayoutKids();
  return 0;
}

int32_t TFLWindow::Rethink() {
  if (!flhandle) return 0;
  int32_t x = AbsoluteX(), y = AbsoluteY(), w = width, h = height;
  if (style & WindowClientCoords) {
    y -= originy + MenuHeight();
    h += originy + MenuHeight();
    x -= originx;
    w += originx;
    h += StatusHeight();
  }
  // The window reports its own resize through its callback: nothing to report here.
  rethinking = true;
  flhandle->resize(x, y, w, h);
  rethinking = false;
  RethinkWindow();
  return 0;
}

int32_t TFLWindow::AbsoluteX() { return xpos; }
int32_t TFLWindow::AbsoluteY() { return ypos; }

int32_t TFLWindow::DoLayout() { return 0; }

int32_t TFLWindow::Class() { return GadgetClassWindow; }

// The title goes through Fl_Window's own copy_label, which also renames a
// window that is already on the screen; the widget's version would not.
int32_t TFLWindow::SetText(const String& text) {
  auto* window = flhandle ? flhandle->as_window() : nullptr;
  if (!window) return TFLWidget::SetText(text);
  window->copy_label(text.empty() ? nullptr : NarrowString(text).c_str());
  return 0;
}

String TFLWindow::GetText() { return TFLWidget::GetText(); }

int32_t TFLWindow::SetColor(int32_t r, int32_t g, int32_t b) {
  TFLGadget::SetColor(r, g, b);
  if (client) client->SetColor(r, g, b);
  return 0;
}

int32_t TFLWindow::Activate(int32_t command) {
  Fl_AWindow* window = FlWidget<Fl_AWindow>();
  switch (command) {
    case 4:
      if (window) window->iconize();
      return 0;
    case 5:
    case 6:
      if (window) {
        window->show();
        SetMaximized(window, command == 5);
      }
      LayoutKids();
      return 0;
    default:
      return TFLGadget::Activate(command);
  }
}

int32_t TFLWindow::SetShow(int32_t flag) {
  if (!flhandle) return 0;
  if (flag == 1) {
    flhandle->show();
  } else {
    FlReleaseKeyboardOf(flhandle->as_window());
    flhandle->hide();
  }
  return 0;
}

int32_t TFLWindow::SetEnabled(int32_t flag) {
  TFLGadget::SetEnabled(flag);
  for (const Ref<TFLWidget>& inner : {client, menubar}) {
    if (!inner || !inner->flhandle) continue;
    if (flag)
      inner->flhandle->activate();
    else
      inner->flhandle->deactivate();
  }
  return 0;
}

int32_t TFLWindow::ClientWidth() {
  if (style & WindowClientCoords) return width;
  return std::max(width - originx, 0);
}

int32_t TFLWindow::ClientHeight() {
  if (style & WindowClientCoords) return height;
  return std::max(height - originy - MenuHeight() - StatusHeight(), 0);
}

String TFLWindow::GetStatusText() {
  if (!statustext[0]) return String();
  return statustext[0]->GetText() + u'\t' + statustext[1]->GetText() + u'\t' + statustext[2]->GetText();
}

int32_t TFLWindow::SetStatusText(const String& text) {
  if (!statustext[0]) return 0;
  // Left and centre end at the first and second tab; the right part keeps the rest.
  String parts[3];
  size_t start = 0;
  for (int i = 0; i < 2; ++i) {
    const size_t tab = text.find(u'\t', start);
    if (tab == String::npos) {
      parts[i] = text.substr(start);
      start = String::npos;
      break;
    }
    parts[i] = text.substr(start, tab - start);
    start = tab + 1;
  }
  if (start != String::npos) parts[2] = text.substr(start);
  for (int i = 0; i < 3; ++i) statustext[static_cast<size_t>(i)]->SetText(parts[i]);
  return 0;
}

int32_t TFLWindow::SetMinimumSize(int32_t w, int32_t h) {
  if (Fl_AWindow* window = FlWidget<Fl_AWindow>()) window->SetMinimumSize(w, h);
  return 0;
}

int32_t TFLWindow::SetMaximumSize(int32_t w, int32_t h) {
  if (Fl_AWindow* window = FlWidget<Fl_AWindow>()) window->SetMaximumSize(w, h);
  return 0;
}

int32_t TFLWindow::UpdateMenu() {
  auto* bar = menubar ? menubar->FlWidget<Fl_Menu_Bar>() : nullptr;
  if (!bar || !menu) return 0;
  auto table = FlBuildMenuTable(menu);
  bar->menu(table->items.data());
  menuTable = std::move(table);
  bar->redraw();
  return 0;
}

int32_t TFLWindow::PopupMenu(const Ref<TGadget>& popup, const ObjectRef& popupExtra) {
  auto root = AsFLMenu(popup);
  if (!root || root->mkids.empty()) return 0;
  auto table = FlBuildMenuTable(root);
  const Fl_Menu_Item* picked = table->items[0].popup(Fl::event_x(), Fl::event_y());
  if (!picked) return 0;
  auto item = AsFLMenu(FromData(picked->user_data()));
  if (!item) return 0;
  if (item->check) item->checked = item->checked ? 0 : 1;
  GadgetPostEvent(MenuAction, item, item->tag, 0, 0, 0, popupExtra);
  return 0;
}

void TFLWindow::ClientRect(int& x, int& y, int& w, int& h) const {
  if (!(style & WindowClientCoords)) return;
  x += originx;
  y += originy + MenuHeight();
  w -= originx;
  h -= originy + MenuHeight() + StatusHeight();
}

void TFLWindow::PostActivate() {
  auto self = std::static_pointer_cast<TFLWindow>(Self());
  if (activeWindow.lock() == self) return;
  activeWindow = self;
  GadgetPostEvent(WindowActivate, self);
}

int32_t TFLWindow::OnCallback() {
  Fl_Widget* window = flhandle;
  if (!window || rethinking) return 0;
  const int event = CurrentFlEvent();
  switch (event) {
    case FL_PASTE:
      DropFiles();
      setDragDrop(nullptr);
      return 0;
    case FL_DND_ENTER:
      setDragDrop(Self());
      return 0;
    case FL_DND_LEAVE:
      setDragDrop(nullptr);
      return 0;
    default:
      break;
  }
  int x = window->x(), y = window->y(), w = window->w(), h = window->h();
  ClientRect(x, y, w, h);
  const bool moved = x != xpos || y != ypos;
  const bool sized = w != width || h != height;
  // FLTK leaves its last event number in place when it resizes a window, so a
  // close or focus event that comes with a new geometry is a move or resize.
  if (!moved && !sized) {
    if (event == FL_CLOSE) {
      GadgetPostEvent(WindowClose, Self());
    } else if (event == FL_FOCUS || event == FL_ACTIVATE) {
      PostActivate();
    }
    return 0;
  }
  SetRect(x, y, w, h);
  if (sized) RethinkWindow();
  const Ref<TGadget> self = Self();
  if (moved) GadgetPostEvent(WindowMove, self, 0, 0, x, y);
  if (sized) GadgetPostEvent(WindowSize, self, 0, 0, w, h);
  return 0;
}

String TFLWindow::DecodeURL(const String& url) {
  String path;
  if (url.rfind(u"file://", 0) == 0) {
    // An optional host name comes before the path.
    const size_t slash = url.find(u'/', 7);
    if (slash == String::npos) return String();
    path = url.substr(slash);
  } else if (!url.empty() && url[0] == u'/') {
    path = url;
  } else {
    return String();
  }
  String decoded;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == u'%' && i + 2 < path.size() && HexDigit(path[i + 1]) >= 0 && HexDigit(path[i + 2]) >= 0) {
      decoded += static_cast<char16_t>(HexDigit(path[i + 1]) * 16 + HexDigit(path[i + 2]));
      i += 2;
    } else {
      decoded += path[i];
    }
  }
  return decoded;
}

int32_t TFLWindow::DropFiles() {
  const char* text = Fl::event_text();
  if (!text) return 0;
  const String list = WidenString(std::string_view(text, static_cast<size_t>(std::max(Fl::event_length(), 0))));
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u'\n', start);
    if (end == String::npos) end = list.size();
    String line = list.substr(start, end - start);
    while (!line.empty() && (line.back() == u'\r' || line.back() == u'\0')) line.pop_back();
    const String path = DecodeURL(line);
    if (!path.empty()) GadgetQueueEvent(WindowAccept, Self(), 0, 0, 0, 0, MakeStringObject(path));
    start = end + 1;
  }
  return 0;
}

int32_t TFLWindow::Free() {
  // The inner widgets are not children of the window gadget: free them here,
  // before the FLTK window (deleted at once) takes their widgets with it.
  for (auto& label : statustext) {
    if (label) label->Free();
    label = nullptr;
  }
  if (menubar) menubar->Free();
  menubar = nullptr;
  if (menu) menu->Free();
  menu = nullptr;
  if (activeWindow.lock().get() == this) activeWindow.reset();
  if (flhandle) FlReleaseKeyboardOf(flhandle->as_window());
  TFLGadget::Free();
  FlFreeMenuTableLater(menuTable);
  return 0;
}
