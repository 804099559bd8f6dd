#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
// clang-format on

#include "gui/fltk/Fl_Panel.h"
#include "gui/fltk/TFLMenu.h"
#include "gui/fltk/TFLWindow.h"

using namespace backend_test;

namespace {

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void TearDown() override {
    for (auto& window : windows) GadgetFree(window);
    windows.clear();
    Pump(2);
  }
  Ref<TFLWindow> Make(int32_t x, int32_t y, int32_t w, int32_t h, int32_t style) {
    auto window = std::dynamic_pointer_cast<TFLWindow>(MakeWindow(S("Test"), x, y, w, h, nullptr, style));
    windows.push_back(window);
    return window;
  }
  static Fl_Widget* Widget(const Ref<TGadget>& gadget) { return AsFLWidget(gadget)->flhandle; }

  std::vector<Ref<TGadget>> windows;
};

TEST_F(WindowTest, ClientAreaSitsBetweenMenuBarAndStatusBar) {
  // Client coordinates: the FLTK window grows around a 400 x 300 client area.
  auto window = Make(100, 200, 400, 300, 1 | 4 | 8 | 32);
  Fl_Widget* frame = Widget(window);
  EXPECT_EQ(frame->x(), 100);
  EXPECT_EQ(frame->y(), 175);
  EXPECT_EQ(frame->w(), 400);
  EXPECT_EQ(frame->h(), 347);
  EXPECT_EQ(window->ClientWidth(), 400);
  EXPECT_EQ(window->ClientHeight(), 300);
  Fl_Widget* bar = window->menubar->flhandle;
  EXPECT_EQ(bar->x(), -2);
  EXPECT_EQ(bar->y(), 0);
  EXPECT_EQ(bar->w(), 404);
  EXPECT_EQ(bar->h(), 25);
  for (const auto& label : window->statustext) {
    EXPECT_EQ(label->flhandle->y(), 325);
    EXPECT_EQ(label->flhandle->h(), 22);
    EXPECT_EQ(label->flhandle->w(), 400);
  }
  // Children are placed in the client area, below the menu bar.
  auto button = MakeButton(S("B"), 10, 0, 50, 20, window, 0);
  EXPECT_EQ(Widget(button)->y(), 25);
  EXPECT_EQ(Widget(button)->parent(), window->client->flhandle);
  EXPECT_TRUE(window->kids.size() == 1 && window->kids[0] == button);

  // Outer coordinates: the same request keeps 400 x 300 outside.
  auto outer = Make(100, 200, 400, 300, 1 | 4 | 8);
  EXPECT_EQ(Widget(outer)->y(), 200);
  EXPECT_EQ(Widget(outer)->h(), 300);
  EXPECT_EQ(outer->ClientHeight(), 253);
  EXPECT_EQ(outer->statustext[0]->flhandle->y(), 278);
  EXPECT_EQ(outer->client->flhandle->h(), 253);

  // A window without bars: the client covers it all.
  auto plain = Make(10, 10, 200, 100, 1);
  EXPECT_EQ(plain->ClientHeight(), 100);
  EXPECT_EQ(plain->GetStatusText(), String());
  plain->SetStatusText(S("ignored"));
  EXPECT_EQ(plain->GetStatusText(), String());
}

TEST_F(WindowTest, StatusTextIsSplitAtTabsIntoThreeParts) {
  auto window = Make(100, 100, 300, 200, 1 | 8);
  WindowSetStatusText(window, S("a\tb\tc\td"));
  EXPECT_EQ(window->statustext[0]->GetText(), S("a"));
  EXPECT_EQ(window->statustext[1]->GetText(), S("b"));
  EXPECT_EQ(window->statustext[2]->GetText(), S("c\td"));
  EXPECT_EQ(WindowGetStatusText(window), S("a\tb\tc\td"));
  EXPECT_EQ(window->statustext[0]->flhandle->align() & FL_ALIGN_LEFT, FL_ALIGN_LEFT);
  EXPECT_EQ(window->statustext[2]->flhandle->align() & FL_ALIGN_RIGHT, FL_ALIGN_RIGHT);

  WindowSetStatusText(window, S("Error while trying to save the password record."));
  EXPECT_EQ(window->statustext[0]->GetText(), S("Error while trying to save the password record."));
  EXPECT_EQ(window->statustext[1]->GetText(), String());
  EXPECT_EQ(window->statustext[2]->GetText(), String());
}

// Notes whether a menu item was already flipped when its MenuAction went out.
int32_t checkedAtAction = -1;
ObjectRef NoteCheckState(int32_t, const ObjectRef& data, const ObjectRef&) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  if (event && event->id == MenuAction)
    checkedAtAction = MenuIsChecked(std::static_pointer_cast<TGadget>(event->source));
  return data;
}

TEST_F(WindowTest, MenuTreeBecomesTheMenuBarTable) {
  auto window = Make(100, 100, 300, 200, 1 | 4);
  auto file = MakeMenu(S("&File"), 0, WindowGetMenu(window));
  auto open = MakeMenu(S("Open"), 11, file);
  MakeMenu(String(), 0, file);
  auto quit = MakeMenu(S("Quit"), 12, file);
  auto view = MakeMenu(S("View"), 0, WindowGetMenu(window));
  auto wrap = MakeMenu(S("Wrap"), 21, view);
  MenuCheck(wrap);
  MenuDisable(quit);
  WindowUpdateMenu(window);

  auto* bar = static_cast<Fl_Menu_Bar*>(window->menubar->flhandle);
  const Fl_Menu_Item* items = bar->menu();
  ASSERT_NE(items, nullptr);
  EXPECT_STREQ(items[0].label(), "&File");
  EXPECT_TRUE(items[0].submenu());
  EXPECT_STREQ(items[1].label(), "Open");
  EXPECT_TRUE(items[1].flags & FL_MENU_DIVIDER);  // the empty item draws as a line under Open
  EXPECT_FALSE(items[2].visible());
  EXPECT_STREQ(items[3].label(), "Quit");
  EXPECT_FALSE(items[3].active());
  EXPECT_EQ(items[4].label(), nullptr);  // end of the File submenu
  EXPECT_STREQ(items[5].label(), "View");
  EXPECT_TRUE(items[6].checkbox());
  EXPECT_TRUE(items[6].value());
  EXPECT_EQ(items[8].label(), nullptr);  // end of the table

  // Picking an item posts MenuAction with its tag; a checkable item has flipped by then.
  EventRecorder recorder;
  HookAdd(EventEmitHookId, NoteCheckState, nullptr, 2000000);
  bar->picked(&items[1]);
  bar->picked(&items[6]);
  HookRemove(EventEmitHookId, NoteCheckState, nullptr);
  auto actions = recorder.Of(MenuAction);
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0]->source, open);
  EXPECT_EQ(actions[0]->data, 11);
  EXPECT_EQ(actions[1]->source, wrap);
  EXPECT_EQ(actions[1]->data, 21);
  EXPECT_EQ(checkedAtAction, 0);
  EXPECT_EQ(MenuIsChecked(wrap), 0);

  // A freed item is gone from the next table; a late pick of its old slot does nothing.
  const Fl_Menu_Item* stale = &items[1];
  MenuFree(open);
  recorder.Clear();
  bar->picked(stale);
  EXPECT_TRUE(recorder.Of(MenuAction).empty());
  WindowUpdateMenu(window);
  EXPECT_STREQ(bar->menu()[1].label(), "");
}

TEST_F(WindowTest, MovesAndResizesPostTheirEventsAndEscapePostsNothing) {
  auto window = Make(100, 100, 300, 200, 1 | 4 | 32);
  auto* frame = static_cast<Fl_Window*>(Widget(window));
  ShowAndWait(frame);
  EventRecorder recorder;

  XMoveWindow(fl_display, fl_xid(frame), 150, 160);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(WindowMove).empty(); }));
  Pump();
  ASSERT_EQ(recorder.Events().size(), 1u);
  EXPECT_EQ(recorder.Events()[0]->x, 150);
  EXPECT_EQ(recorder.Events()[0]->y, 185);  // the client area starts below the menu bar
  EXPECT_EQ(window->xpos, 150);
  EXPECT_EQ(window->ypos, 185);

  recorder.Clear();
  XMoveResizeWindow(fl_display, fl_xid(frame), 120, 130, 360, 265);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(WindowSize).empty(); }));
  Pump();
  ASSERT_EQ(recorder.Events().size(), 2u);
  EXPECT_EQ(recorder.Events()[0]->id, WindowMove);
  EXPECT_EQ(recorder.Events()[1]->id, WindowSize);
  EXPECT_EQ(recorder.Events()[1]->x, 360);
  EXPECT_EQ(recorder.Events()[1]->y, 240);
  EXPECT_EQ(window->ClientHeight(), 240);
  EXPECT_EQ(window->client->flhandle->h(), 240);

  // Escape that nothing uses reaches the window callback and changes nothing;
  // a close request from the window manager, sent after it, asks the
  // application, and nothing more.
  recorder.Clear();
  MovePointer(200, 250);
  Pump();
  PressKey(XK_Escape);
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = fl_xid(frame);
  close.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
  XSendEvent(fl_display, fl_xid(frame), False, NoEventMask, &close);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.Of(WindowClose).empty(); }));
  ASSERT_EQ(recorder.Events().size(), 1u) << "Escape posted an event";
  EXPECT_EQ(recorder.Of(WindowClose)[0]->source, window);
  EXPECT_TRUE(frame->shown());
}

TEST_F(WindowTest, ShowEnableAndActivation) {
  auto window = Make(100, 100, 300, 200, 1 | 4 | 64);
  Fl_Widget* frame = Widget(window);
  EXPECT_FALSE(frame->visible());
  GadgetShow(window);
  EXPECT_TRUE(frame->visible());
  window->SetShow(2);
  EXPECT_FALSE(frame->visible());

  GadgetDisable(window);
  EXPECT_FALSE(window->client->flhandle->active());
  EXPECT_FALSE(window->menubar->flhandle->active());
  EXPECT_EQ(GadgetIsDisabled(window, 0), 4);
  GadgetEnable(window);
  EXPECT_TRUE(window->client->flhandle->active());
  EXPECT_TRUE(window->menubar->flhandle->active());

  // Focus reports WindowActivate once per change of active window.
  auto other = Make(500, 100, 100, 100, 1 | 64);
  EventRecorder recorder;
  Fl::e_number = FL_FOCUS;
  window->OnCallback();
  window->OnCallback();
  other->OnCallback();
  window->OnCallback();
  Fl::e_number = 0;
  auto activations = recorder.Of(WindowActivate);
  ASSERT_EQ(activations.size(), 3u);
  EXPECT_EQ(activations[0]->source, window);
  EXPECT_EQ(activations[1]->source, other);
  EXPECT_EQ(activations[2]->source, window);
}

TEST_F(WindowTest, PanelsAndLabelsFrameTheirContent) {
  auto window = Make(100, 100, 400, 300, 1);
  auto titled = MakePanel(10, 20, 200, 150, window, 3, S("Group"));
  auto inner = MakeLabel(S("x"), 0, 0, 50, 20, titled, 0);
  EXPECT_EQ(Widget(inner)->x(), 14);
  EXPECT_EQ(Widget(inner)->y(), 38);
  EXPECT_EQ(titled->ClientHeight(), 132);

  auto sunken = MakePanel(0, 0, 50, 50, window, 1, String());
  EXPECT_EQ(Widget(sunken)->box(), FL_DOWN_FRAME);
  PanelSetColor(sunken, 200, 10, 10);
  EXPECT_EQ(Widget(sunken)->box(), FL_DOWN_BOX);
  auto active = MakePanel(0, 0, 50, 50, window, 4, String());
  EXPECT_EQ(GadgetGetSensitivity(active), 3);
  EXPECT_TRUE(dynamic_cast<Fl_Panel*>(Widget(active))->Sensitive());

  auto across = MakeLabel(String(), 0, 0, 200, 10, window, 3);
  auto down = MakeLabel(String(), 0, 0, 10, 200, window, 3);
  EXPECT_EQ(Widget(across)->w(), 200);
  EXPECT_EQ(Widget(across)->h(), 2);
  EXPECT_EQ(Widget(down)->w(), 2);
  EXPECT_EQ(Widget(down)->h(), 200);
  EXPECT_EQ(Widget(across)->box(), FL_EMBOSSED_FRAME);

  auto centred = MakeLabel(S("me@home"), 0, 0, 100, 20, window, 16 | 1);
  EXPECT_EQ(Widget(centred)->box(), FL_BORDER_BOX);
  EXPECT_EQ(Widget(centred)->align() & (FL_ALIGN_LEFT | FL_ALIGN_RIGHT), 0);
  EXPECT_EQ(GadgetGetText(centred), S("me@home"));
  EXPECT_STREQ(Widget(centred)->label(), "me@@home");
}

}  // namespace
