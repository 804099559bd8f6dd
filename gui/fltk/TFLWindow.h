#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gui/fltk/TFLGadget.h"

class Fl_AWindow;
struct TFLMenuTable;

// A top-level window with an optional menu bar and three-part status bar.
// Children go into the client panel between the two. With style bit 0x20 the
// gadget's rectangle is the client area and the FLTK window grows around it.
class TFLWindow : public TFLGadget {
 public:
  static constexpr int32_t MENU_HEIGHT = 25;
  static constexpr int32_t STATUSBAR_HEIGHT = 22;

  ~TFLWindow() override;

  // Builds the menu bar, the status bar labels and the client panel.
  virtual int32_t CreateWindowClient();
  // Places the menu bar, the status bar and the client inside the window and
  // lays out the children.
  virtual int32_t RethinkWindow();
  // Queues one WindowAccept event per dropped local file.
  virtual int32_t DropFiles();
  // The local path of a dropped "file:" URI (percent escapes decoded), or the
  // empty string for anything else.
  static String DecodeURL(const String& url);

  int32_t InitGadget() override;
  int32_t Class() override;
  // The title is shown as given: FLTK does not treat "@" in window titles.
  int32_t SetText(const String& text) override;
  String GetText() override;
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  // 4 minimise, 5 maximise, 6 restore; others as every gadget.
  int32_t Activate(int32_t command) override;
  // Only exactly 1 shows the window.
  int32_t SetShow(int32_t flag) override;
  int32_t SetEnabled(int32_t flag) override;
  int32_t OnCallback() override;
  int32_t Rethink() override;
  int32_t DoLayout() override;
  String GetStatusText() override;
  int32_t SetStatusText(const String& text) override;
  int32_t ClientWidth() override;
  int32_t ClientHeight() override;
  int32_t SetMaximumSize(int32_t w, int32_t h) override;
  int32_t SetMinimumSize(int32_t w, int32_t h) override;
  int32_t UpdateMenu() override;
  int32_t PopupMenu(const Ref<TGadget>& popup, const ObjectRef& popupExtra) override;
  // A window sits on the screen: only its own position counts.
  int32_t AbsoluteX() override;
  int32_t AbsoluteY() override;
  int32_t Free() override;

  Ref<TFLWidget> menubar;
  std::array<Ref<TFLGadget>, 3> statustext;

 private:
  int32_t MenuHeight() const { return menubar ? MENU_HEIGHT : 0; }
  int32_t StatusHeight() const { return statustext[0] ? STATUSBAR_HEIGHT : 0; }
  // Gadget rectangle of an FLTK window rectangle.
  void ClientRect(int& x, int& y, int& w, int& h) const;
  void PostActivate();

  std::unique_ptr<TFLMenuTable> menuTable;
  bool rethinking = false;
};

// The window that last reported WindowActivate, if it still exists.
Ref<TFLWindow> ActiveFLWindow();
