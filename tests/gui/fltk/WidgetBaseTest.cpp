#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Text_Display.H>
// clang-format on

#include "gui/fltk/CreateFlWidget.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/Fl_AWindow.h"
#include "gui/fltk/TFLDesktop.h"
#include "gui/fltk/TFLSystemDriver.h"

using namespace backend_test;

namespace {

class WidgetBaseTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartBackEnd(); }
  void TearDown() override {
    for (auto& gadget : made) gadget->CleanUp();
    made.clear();
    SystemPollEvents();
  }
  Ref<KindGadget> Keep(Ref<KindGadget> gadget) {
    made.push_back(gadget);
    return gadget;
  }
  std::vector<Ref<KindGadget>> made;
};

TEST_F(WidgetBaseTest, BackEndInstallsItsDriversOnTheNativeDisplay) {
  auto driver = FLTKDriver();
  ASSERT_TRUE(driver);
  auto fltkSystem = std::dynamic_pointer_cast<TFLGuiSystemDriver>(systemDriver);
  ASSERT_TRUE(fltkSystem);
  EXPECT_EQ(fltkSystem->gui, driver);
  EXPECT_EQ(fltkSystem->NativeDriver, LinuxNativeDriver());
  EXPECT_EQ(fl_display, LinuxNativeDriver()->GetDisplay());
  EXPECT_EQ(FL_NORMAL_SIZE, 12);
  ASSERT_TRUE(defaultGuiFont);
  EXPECT_EQ(defaultGuiFont->flsize, 12);
  EXPECT_STREQ(Fl::scheme(), "gtk+");

  // A second start changes nothing.
  FLTKBackEndInit();
  EXPECT_EQ(FLTKDriver(), driver);
  EXPECT_EQ(systemDriver, fltkSystem);
}

TEST_F(WidgetBaseTest, FactoryBuildsEveryKindAndLeavesNoGroupOpen) {
  for (int kind = 0; kind <= 30; ++kind) {
    Fl_Group::current(nullptr);
    Fl_Widget* widget = CreateFlWidget(10, 20, 120, 40, "x", kind);
    ASSERT_NE(widget, nullptr) << "kind " << kind;
    EXPECT_EQ(Fl_Group::current(), nullptr) << "kind " << kind;
    EXPECT_STREQ(widget->label(), "x");
    if (kind == 0) {
      EXPECT_NE(dynamic_cast<Fl_AWindow*>(widget), nullptr);
      EXPECT_EQ(widget->x(), 10);
      EXPECT_EQ(widget->y(), 20);
    }
    if (kind == 18 || kind == 19) {
      auto* text = dynamic_cast<Fl_Text_Display*>(widget);
      ASSERT_NE(text, nullptr);
      ASSERT_NE(text->buffer(), nullptr);
      EXPECT_EQ(text->buffer()->length(), 0);
    }
    delete widget;
  }
  for (int kind : {-1, 31, 1000}) EXPECT_EQ(CreateFlWidget(0, 0, 10, 10, "", kind), nullptr);
}

TEST_F(WidgetBaseTest, DirtyMarksCoalesceIntoOneRedrawPerPoll) {
  auto window = Keep(MakeKind(0, 50, 50, 200, 100));
  auto box = Keep(MakeKind(21, 10, 10, 50, 20, window));
  auto driver = FLTKDriver();
  SystemPollEvents();
  box->redraws = 0;

  box->SetDirty();
  box->SetDirty();
  EXPECT_EQ(box->dirty, 1);
  EXPECT_EQ(std::count(driver->RefreshList.begin(), driver->RefreshList.end(), box), 1);
  SystemPollEvents();
  EXPECT_EQ(box->redraws, 1);
  EXPECT_EQ(box->dirty, 0);
  EXPECT_TRUE(driver->RefreshList.empty());

  // The next change after the poll queues again.
  box->SetDirty();
  SystemPollEvents();
  EXPECT_EQ(box->redraws, 2);
}

TEST_F(WidgetBaseTest, LabelsShowAtSignsLiterallyAndReadBackUnchanged) {
  auto window = Keep(MakeKind(0, 50, 50, 200, 100));
  auto box = Keep(MakeKind(21, 10, 10, 100, 20, window, S("mail@host @@ @")));
  EXPECT_STREQ(box->flhandle->label(), "mail@@host @@@@ @@");
  EXPECT_EQ(box->GetText(), S("mail@host @@ @"));
  box->SetText(String());
  EXPECT_EQ(box->flhandle->label(), nullptr);
  EXPECT_EQ(box->GetText(), String());

  // Characters cross into FLTK as their low byte.
  box->SetText(String(u"\u00e9\u0141"));
  EXPECT_STREQ(box->flhandle->label(), "\xe9\x41");
}

TEST_F(WidgetBaseTest, ClientSizeIsNeverNegative) {
  auto window = Keep(MakeKind(0, 50, 50, 200, 100));
  auto box = Keep(MakeKind(21, 0, 0, 30, 10, window));
  box->SetOrigin(40, 15);
  EXPECT_EQ(box->ClientWidth(), 0);
  EXPECT_EQ(box->ClientHeight(), 0);
  box->SetOrigin(4, 3);
  EXPECT_EQ(box->ClientWidth(), 26);
  EXPECT_EQ(box->ClientHeight(), 7);
}

TEST_F(WidgetBaseTest, AbsolutePositionsAddGroupsAndTheWindowClientButNotTheWindow) {
  auto window = Keep(MakeWindowWithClient(300, 200, 400, 300, 25));
  auto outer = Keep(MakeKind(22, 10, 20, 300, 200, window));
  outer->SetOrigin(4, 18);
  auto inner = Keep(MakeKind(22, 5, 6, 200, 100, outer));
  auto button = Keep(MakeKind(2, 7, 8, 60, 20, inner));

  EXPECT_EQ(outer->AbsoluteX(), 10);
  EXPECT_EQ(outer->AbsoluteY(), 25 + 20);
  EXPECT_EQ(button->AbsoluteX(), 7 + 5 + 4 + 10);
  EXPECT_EQ(button->AbsoluteY(), 8 + 6 + 18 + 20 + 25);
  // The FLTK widgets sit where those positions say, inside the client group.
  EXPECT_EQ(button->flhandle->x(), button->AbsoluteX());
  EXPECT_EQ(button->flhandle->y(), button->AbsoluteY());
  EXPECT_EQ(outer->flhandle->parent(), window->client->flhandle);
  EXPECT_EQ(button->flhandle->parent(), inner->flhandle);
  EXPECT_EQ(button->flhandle->window(), window->flhandle);

  // Moving a group moves what is inside it on the next layout.
  outer->SetShape(30, 20, 300, 200);
  EXPECT_EQ(button->flhandle->x(), 7 + 5 + 4 + 30);

  // Hit testing works in client coordinates, down to the deepest gadget.
  EXPECT_EQ(window->FindChildAtCoords(30 + 4 + 5 + 7 + 1, 20 + 18 + 6 + 8 + 1), button);
  EXPECT_EQ(window->FindChildAtCoords(30 + 4 + 1, 20 + 18 + 1), outer);
  EXPECT_EQ(window->FindChildAtCoords(0, 5), nullptr);
}

TEST_F(WidgetBaseTest, ChildrenMoveBetweenGroupsInBothTrees) {
  auto window = Keep(MakeKind(0, 50, 50, 300, 200));
  auto left = Keep(MakeKind(22, 0, 0, 100, 100, window));
  auto right = Keep(MakeKind(22, 150, 0, 100, 100, window));
  auto box = Keep(MakeKind(21, 5, 5, 20, 20, left));
  ASSERT_EQ(left->kids.size(), 1u);

  right->AddChild(box);
  EXPECT_TRUE(left->kids.empty());
  EXPECT_EQ(right->kids.size(), 1u);
  EXPECT_EQ(box->parent, right);
  EXPECT_EQ(box->flhandle->parent(), right->flhandle);
  EXPECT_EQ(static_cast<Fl_Group*>(left->flhandle)->children(), 0);
  EXPECT_EQ(box->flhandle->x(), 155);
  EXPECT_EQ(box->lockcw, 100);

  right->RemoveChild(box);
  EXPECT_EQ(box->parent, nullptr);
  EXPECT_EQ(box->flhandle->parent(), nullptr);
  delete box->flhandle;
  box->flhandle = nullptr;
}

TEST_F(WidgetBaseTest, FreedGadgetsLeaveTheirWidgetsAndLateCallbacksFindNothing) {
  auto window = MakeKind(0, 50, 50, 300, 200);
  auto button = MakeKind(2, 10, 10, 60, 20, window);
  Fl_Widget* widget = button->flhandle;
  const int32_t handle = button->objhandle;
  ASSERT_NE(handle, 0);
  EXPECT_EQ(TFLWidget::FromWidget(widget), button);
  widget->do_callback();
  EXPECT_EQ(button->callbacks, 1);

  Fl_Widget_Tracker tracker(widget);
  button->CleanUp();
  EXPECT_EQ(button->flhandle, nullptr);
  EXPECT_EQ(button->objhandle, 0);
  EXPECT_TRUE(window->kids.empty());
  // Deletion is deferred to FLTK's next wait; until then a late callback is harmless.
  ASSERT_FALSE(tracker.deleted());
  EXPECT_EQ(widget->parent(), nullptr);
  TFLWidget::CallbackHandler(widget, FlHandleData(handle));
  EXPECT_EQ(button->callbacks, 1);
  EXPECT_EQ(TFLWidget::FromHandle(handle), nullptr);
  SystemPollEvents();
  EXPECT_TRUE(tracker.deleted());

  window->CleanUp();
  EXPECT_EQ(window->flhandle, nullptr);
}

TEST_F(WidgetBaseTest, GadgetStateFollowsEnablingAndVisibility) {
  auto window = Keep(MakeKind(0, 50, 50, 300, 200));
  auto button = Keep(MakeKind(2, 10, 10, 60, 20, window));
  EXPECT_EQ(button->State(), 0);
  button->SetEnabled(0);
  EXPECT_EQ(button->State(), GadgetStateDisabled);
  EXPECT_FALSE(button->flhandle->active());
  button->SetShow(0);
  EXPECT_EQ(button->State(), GadgetStateDisabled | GadgetStateHidden);
  button->SetEnabled(1);
  button->SetShow(1);
  EXPECT_EQ(button->State(), 0);
  EXPECT_TRUE(button->flhandle->active());

  button->SetTooltip(S("Press me"));
  EXPECT_EQ(button->GetTooltip(), S("Press me"));
  EXPECT_STREQ(button->flhandle->tooltip(), "Press me");
}

TEST_F(WidgetBaseTest, ColoursKeepTheSelectionReadable) {
  auto window = Keep(MakeKind(0, 50, 50, 300, 200));
  auto box = Keep(MakeKind(21, 10, 10, 60, 20, window));
  const unsigned savedSelection = Fl::get_color(FL_SELECTION_COLOR);

  box->SetColor(0, 0, 0);
  EXPECT_EQ(box->flhandle->color(), FL_BLACK);
  // White contrasts with a dark selection colour: the default stays.
  Fl::set_color(FL_SELECTION_COLOR, 0, 0, 128);
  box->SetColor(255, 255, 255);
  EXPECT_EQ(box->flhandle->selection_color(), FL_SELECTION_COLOR);
  // A background close to the selection colour gets the inverse colour.
  box->SetColor(0, 0, 120);
  EXPECT_EQ(box->flhandle->selection_color(), fl_rgb_color(255, 255, 135));
  // Near mid-grey the inverse would look the same: each channel drops by 128.
  Fl::set_color(FL_SELECTION_COLOR, 128, 128, 128);
  box->SetColor(120, 130, 128);
  EXPECT_EQ(box->flhandle->selection_color(), fl_rgb_color(0, 2, 0));

  Fl::set_color(FL_SELECTION_COLOR, savedSelection);
  box->RemoveColor();
  EXPECT_EQ(box->flhandle->color(), FL_BACKGROUND_COLOR);
}

TEST_F(WidgetBaseTest, DriverServices) {
  auto driver = FLTKDriver();
  auto desktop = driver->CreateGadget(GadgetClassDesktop, String(), 0, 0, 0, 0, nullptr, 0);
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->Class(), GadgetClassDesktop);
  EXPECT_EQ(desktop->width, Fl::w());
  EXPECT_EQ(desktop->height, Fl::h());

  // Classes without a gadget class here answer none.
  for (int32_t cls : {7, 8, 9, 10, 11, 13, 14, 16, 17, 18, -1})
    EXPECT_EQ(driver->CreateGadget(cls, String(), 0, 0, 10, 10, nullptr, 0), nullptr) << cls;

  // Deferred frees run at the next poll, not before.
  struct Counted {
    explicit Counted(int& count) : count(count) {}
    ~Counted() { ++count; }
    int& count;
  };
  int freed = 0;
  driver->QueueFlDelete(new Counted(freed));
  driver->QueueFlDeleteArray(new char[16]);
  EXPECT_EQ(freed, 0);
  SystemPollEvents();
  EXPECT_EQ(freed, 1);
  EXPECT_TRUE(driver->PointerTrash.empty());

  EXPECT_EQ(driver->UserName(), String());
  auto font = driver->LoadFont(S("FreeSerif"), 14, 1);
  auto flFont = std::dynamic_pointer_cast<TFLGUIFont>(font);
  ASSERT_TRUE(flFont);
  EXPECT_EQ(flFont->flfont, FL_TIMES_BOLD);
  EXPECT_EQ(flFont->flsize, 14);
  EXPECT_GT(flFont->CharWidth('W'), 0);
}

TEST_F(WidgetBaseTest, FocusedGadgetIsFoundThroughTheWidget) {
  auto window = Keep(MakeKind(0, 100, 100, 300, 200));
  auto field = Keep(MakeKind(10, 10, 10, 100, 24, window));
  ShowAndWait(static_cast<Fl_Window*>(window->flhandle));
  field->Activate(0);
  EXPECT_EQ(FLTKDriver()->ActiveGadget(), field);
}

}  // namespace
