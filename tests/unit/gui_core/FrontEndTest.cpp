#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "gui/core/FrontEnd.h"
#include "gui/core/Localization.h"
#include "runtime/Errors.h"
#include "tests/unit/NullMethod.h"
#include "tests/unit/gui_core/GadgetRecording.h"

namespace {

class FrontEndTest : public testing::Test {
 protected:
  void SetUp() override {
    FrontEndInit();
    driver = New<TRecordingDriver>();
    driver->desktop->SetRect(0, 0, 1024, 768);
    GuiDriver = driver;
  }
  void TearDown() override {
    driver->FreeAll();
    GuiDriver = nullptr;
    LocalizationStoreMode(0);
    LocalizationStoreLanguage(String());
    LocalizationClearTexts();
  }

  Ref<TRecordingGadget> Made(const Ref<TGadget>& g) { return std::dynamic_pointer_cast<TRecordingGadget>(g); }

  Ref<TRecordingDriver> driver;
};

TEST_F(FrontEndTest, CentredWindowsSitInTheMiddleOfTheirGroupOrTheDesktop) {
  auto onDesktop = MakeWindow(S("w"), 5, 5, 300, 200, nullptr, WindowCenter | WindowTitleBar);
  EXPECT_EQ(onDesktop->xpos, 362);
  EXPECT_EQ(onDesktop->ypos, 284);
  EXPECT_EQ(driver->created.back().style, WindowCenter | WindowTitleBar);  // style passed unchanged
  EXPECT_EQ(MakeWindow(S("odd"), 0, 0, 301, 200, nullptr, WindowCenter)->xpos, 361);

  // A desktop whose client area is smaller than itself centres on the client area.
  driver->desktop->clientWidth = 824;
  EXPECT_EQ(MakeWindow(S("c"), 0, 0, 300, 200, nullptr, WindowCenter)->xpos, 262);

  auto group = New<TRecordingGadget>(GadgetClassWindow);
  group->SetRect(100, 50, 500, 400);
  auto inGroup = MakeWindow(S("g"), 0, 0, 300, 100, group, WindowCenter);
  EXPECT_EQ(inGroup->xpos, 200);
  EXPECT_EQ(inGroup->ypos, 200);
  EXPECT_EQ(MakeWindow(S("left of it"), 0, 0, 601, 100, group, WindowCenter)->xpos, 50);  // -101 / 2 = -50

  auto plain = MakeWindow(S("p"), 7, 9, 300, 100, group, 0);
  EXPECT_EQ(plain->xpos, 7);
  EXPECT_EQ(plain->ypos, 9);

  // Extreme sizes and positions: exact where the centre fits in 32 bits,
  // clamped where it does not.
  auto huge = MakeWindow(S("h"), 0, 0, INT32_MIN, INT32_MIN, nullptr, WindowCenter);
  EXPECT_EQ(huge->xpos, 1073742236);  // (824 + 2^31) / 2
  EXPECT_EQ(huge->ypos, 1073742208);  // (768 + 2^31) / 2
  group->SetRect(INT32_MAX, INT32_MIN, INT32_MAX, 0);
  auto far = MakeWindow(S("f"), 0, 0, INT32_MIN, INT32_MAX, group, WindowCenter);
  EXPECT_EQ(far->xpos, INT32_MAX);
  EXPECT_EQ(far->ypos, INT32_MIN);
  group->CleanUp();
}

TEST_F(FrontEndTest, CreationPassesClassTextStyleAndTheUnproxiedGroup) {
  auto window = MakeWindow(S("Main"), 0, 0, 400, 300, nullptr, 0);
  auto proxy = New<TTestProxy>();
  auto outer = New<TTestProxy>();
  proxy->Wrap(window);
  outer->Wrap(proxy);

  auto button = MakeButton(S("OK"), 1, 2, 3, 4, outer, ButtonOk);
  EXPECT_EQ(button->parent, window);
  EXPECT_EQ(Made(button)->text, S("OK"));
  EXPECT_EQ(button->style, ButtonOk);
  EXPECT_EQ(MakePanel(0, 0, 10, 10, proxy, PanelGroup, S("Title"))->GetText(), S("Title"));
  EXPECT_EQ(MakeLabel(S("L"), 0, 0, 1, 1, window, 0)->Class(), GadgetClassLabel);
  EXPECT_EQ(MakeTextField(0, 0, 1, 1, window, 0)->Class(), GadgetClassTextField);
  EXPECT_EQ(MakeTextArea(0, 0, 1, 1, window, 0)->Class(), GadgetClassTextArea);
  EXPECT_EQ(MakeComboBox(0, 0, 1, 1, window, 0)->Class(), GadgetClassComboBox);
  EXPECT_EQ(MakeProgressBar(0, 0, 1, 1, window, 0)->Class(), GadgetClassProgressBar);
  auto canvas = MakeCanvas(0, 0, 1, 1, outer, 0);
  EXPECT_EQ(canvas->parent, window);
  EXPECT_EQ(Made(canvas)->CountCalls("AttachGraphics"), 1);
  EXPECT_EQ(GetDesktop(), driver->desktop);

  // Menus: the tag travels as the style; a hot key is set only when given.
  auto file = MakeMenu(S("File"), 0, window);
  auto exit = MakeMenu(S("Exit"), 1, file, 'q', 4);
  EXPECT_EQ(exit->style, 1);
  EXPECT_EQ(exit->parent, file);
  EXPECT_EQ(driver->created.back().w, 0);
  EXPECT_EQ(Made(file)->CountCalls("SetHotKey"), 0);
  EXPECT_EQ(Made(exit)->calls, std::vector<std::string>{"SetHotKey 113 4"});

  // Nodes come from a tree view; a gadget without nodes makes none. No driver makes nothing.
  EXPECT_EQ(NodeAdd(S("n"), window, 0, nullptr), nullptr);
  GuiDriver = nullptr;
  EXPECT_EQ(MakeButton(S("x"), 0, 0, 1, 1, window, 0), nullptr);
  EXPECT_EQ(MakeWindow(S("x"), 0, 0, 1, 1, nullptr, WindowCenter), nullptr);
}

TEST_F(FrontEndTest, StateQueriesReadTheRightBits) {
  auto box = MakeButton(S("Case"), 0, 0, 10, 10, nullptr, ButtonCheckBox);
  EXPECT_EQ(ButtonGetState(box), 0);
  ButtonSetState(box, 1);
  EXPECT_EQ(ButtonGetState(box), 1);
  MenuUncheck(box);
  EXPECT_EQ(MenuIsChecked(box), 0);
  MenuCheck(box);
  EXPECT_EQ(MenuIsChecked(box), 1);
  Made(box)->state = GadgetStateSelected | GadgetStateDisabled;
  EXPECT_EQ(ButtonGetState(box), 1);
  EXPECT_EQ(MenuIsChecked(box), 1);
  EXPECT_EQ(MenuIsEnabled(box), 0);
  Made(box)->state = GadgetStateIndeterminate;
  EXPECT_EQ(ButtonGetState(box), 1);
  Made(box)->state = GadgetStateHidden | GadgetStateMinimized;
  EXPECT_EQ(ButtonGetState(box), 0);
  EXPECT_EQ(WindowIsMinimized(box), 1);
  EXPECT_EQ(WindowIsMaximized(box), 0);

  auto panel = MakePanel(0, 0, 100, 100, nullptr, 0);
  auto field = MakeTextField(0, 0, 10, 10, panel, 0);
  Made(panel)->state = GadgetStateHidden;
  EXPECT_EQ(GadgetIsHidden(panel, 0), 8);
  EXPECT_EQ(GadgetIsHidden(field, 0), 0);
  EXPECT_EQ(GadgetIsHidden(field, 1), 1);
  EXPECT_EQ(GadgetIsDisabled(field, 1), 0);
  Made(field)->state = GadgetStateDisabled;
  EXPECT_EQ(GadgetIsDisabled(field, 0), 4);
  EXPECT_EQ(GadgetIsDisabled(field, 1), 1);
  Made(panel)->state = 0;
  EXPECT_EQ(GadgetIsHidden(field, 1), 0);
}

TEST_F(FrontEndTest, ForwardersReachTheGadgetWithTheirFixedArguments) {
  auto combo = MakeComboBox(0, 0, 100, 20, nullptr, 0);
  GadgetAddItem(combo, S("a"), 0, -1, S(""), nullptr);
  GadgetAddItem(combo, S("b"), 0, -1, S(""), nullptr);
  GadgetAddItem(combo, S("c"), 0, -1, S(""), nullptr);
  GadgetAddItem(combo, S("d"), 0, 5, S("tip"), nullptr);
  EXPECT_EQ(Made(combo)->calls.back(), "InsertListItem 3 d tip 5");
  GadgetSelectItem(combo, 3);
  EXPECT_EQ(GadgetSelectedItem(combo), 3);
  GadgetToggleItem(combo, 3);
  EXPECT_EQ(GadgetSelectedItem(combo), -1);
  GadgetDisableItem(combo, 1);
  EXPECT_EQ(Made(combo)->listStates[1], GadgetStateDisabled);
  GadgetSelectItem(combo, 1);
  GadgetEnableItem(combo, 1);
  EXPECT_EQ(Made(combo)->listStates[1], GadgetItemStateSelected);
  EXPECT_EQ(GadgetItemText(combo, 3), S("d"));
  EXPECT_EQ(GadgetItemText(combo, 4), String());
  GadgetRemoveItem(combo, 0);
  EXPECT_EQ(GadgetItemCount(combo), 3);

  GadgetCopyText(combo);
  GadgetFocus(combo);
  GadgetRedraw(combo);
  WindowRestore(combo);
  EXPECT_EQ(Made(combo)->CountCalls("Activate 2"), 1);
  EXPECT_EQ(Made(combo)->CountCalls("Activate 0"), 1);
  EXPECT_EQ(Made(combo)->CountCalls("Activate 13"), 1);
  EXPECT_EQ(Made(combo)->CountCalls("Activate 6"), 1);

  // The toolbar takes an icon strip as it is, or loads one from anything else.
  auto strip = New<TIconStrip>();
  strip->count = 3;
  auto toolbar = MakeToolbar(strip, 0, 0, 100, 20, nullptr, 0);
  EXPECT_EQ(GadgetItemCount(toolbar), 3);
  EXPECT_EQ(GadgetItemIcon(toolbar, 2), 2);
  EXPECT_EQ(Made(toolbar)->CountCalls("SetIconStrip 3"), 1);
  ToolbarSetTips(toolbar, {S("one"), S("two")});
  EXPECT_EQ(GadgetItemTip(toolbar, 1), S("two"));
  EXPECT_EQ(GadgetItemTip(toolbar, 2), String());
  EXPECT_EQ(GadgetItemIcon(toolbar, 1), 1);
  auto loaded = MakeToolbar(MakeStringObject(S("xy")), 0, 0, 100, 20, nullptr, 0);
  EXPECT_EQ(driver->iconStripLoads, 1);
  EXPECT_EQ(GadgetItemCount(loaded), 2);

  // None gadgets answer empty instead of crashing.
  EXPECT_EQ(GadgetGetText(nullptr), String());
  EXPECT_EQ(GadgetSetText(nullptr, S("x")), 0);
  EXPECT_EQ(GadgetSelectedItem(nullptr), -1);
  EXPECT_EQ(ButtonGetState(nullptr), 0);
}

TEST_F(FrontEndTest, ExplicitTextsTakeAGadgetOutOfLocalisation) {
  LocalizationAddText(S("fr"), S("ok"), S("d'accord"));
  LocalizationAddText(S("de"), S("ok"), S("gut"));
  LocalizationAddText(S("de"), S("ok.tip"), S("Tipp"));
  SetLocalizationMode(LocalizationOn);  // routed through the driver
  SetLocalizationLanguage(S("fr"));
  EXPECT_EQ(LocalizationMode(), LocalizationOn);

  auto button = MakeButton(S("x"), 0, 0, 10, 10, nullptr, 0);
  auto label = MakeLabel(S("y"), 0, 0, 10, 10, nullptr, 0);
  GadgetLocalize(button, S("ok"), S("ok.tip"));
  GadgetLocalize(label, S("ok"), String());
  EXPECT_EQ(GadgetGetText(button), S("d'accord"));
  EXPECT_EQ(GadgetIsLocalized(button), 1);

  GadgetSetText(label, S("mine"));
  EXPECT_EQ(GadgetIsLocalized(label), 0);
  SetLocalizationLanguage(S("de"));
  EXPECT_EQ(GadgetGetText(button), S("gut"));
  EXPECT_EQ(GadgetGetTooltip(button), S("Tipp"));
  EXPECT_EQ(GadgetGetText(label), S("mine"));

  // Toolbar items the front end fills are localised only under the override.
  auto strip = New<TIconStrip>();
  strip->count = 1;
  auto plainBar = MakeToolbar(strip, 0, 0, 10, 10, nullptr, 0);
  SetLocalizationMode(LocalizationOn | LocalizationOverride);
  auto localBar = MakeToolbar(strip, 0, 0, 10, 10, nullptr, 0);
  ToolbarSetTips(plainBar, {S("ok.tip")});
  ToolbarSetTips(localBar, {S("ok.tip")});
  EXPECT_EQ(Made(plainBar)->calls.back(), "SetListItem 0  ok.tip 0");
  EXPECT_EQ(Made(localBar)->calls.back(), "SetListItem 0  Tipp 0");
  SetLocalizationMode(LocalizationOn);

  GadgetSetTooltip(button, S("own tip"));
  EXPECT_EQ(GadgetIsLocalized(button), 0);

  // Turning localisation off re-applies the keys; freeing a gadget forgets it.
  GadgetLocalize(button, S("ok"), String());
  SetLocalizationMode(0);
  EXPECT_EQ(GadgetGetText(button), S("ok"));
  GadgetFree(button);
  EXPECT_EQ(driver->_mapLocalized.size(), 0u);
  EXPECT_EQ(GadgetLocalize(nullptr, S("ok"), String()), 0);
}

TEST_F(FrontEndTest, DriverServicesCacheThePointerAndTheColourPicked) {
  GuiSetPointer(1000);
  driver->pointerCalls.clear();
  GuiSetPointer(3);
  GuiSetPointer(3);
  GuiSetPointer(4);
  GuiSetPointer(3);
  EXPECT_EQ(driver->pointerCalls, (std::vector<int32_t>{3, 4, 3}));

  driver->colorAnswer = 0x12AB34;
  EXPECT_EQ(GuiRequestColor(0x1FF, -1, 0x80), 1);
  EXPECT_EQ(driver->colorRequests.back(), (std::vector<int32_t>{0xFF, 0xFF, 0x80}));
  EXPECT_EQ(ColorRequestRed(), 0x12);
  EXPECT_EQ(ColorRequestGreen(), 0xAB);
  EXPECT_EQ(ColorRequestBlue(), 0x34);
  driver->colorAnswer = 0;  // cancelled: the last colour stays
  EXPECT_EQ(GuiRequestColor(1, 2, 3), 0);
  EXPECT_EQ(ColorRequestGreen(), 0xAB);

  uint8_t r = 9, g = 9, b = 9;
  GuiLookupColor(3, r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{50, 150, 255}));
  GuiLookupColor(4, r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0, 0, 255}));
  GuiLookupColor(5, r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0, 0, 255}));

  auto font = GuiLibraryFont(2, 0, 1);
  EXPECT_EQ(FontGetName(font), S("Lucida"));
  EXPECT_EQ(FontGetSize(font), 12.0);
  EXPECT_EQ(FontGetName(GuiLibraryFont(9, 7.5, 0)), S("FreeSans"));
  EXPECT_EQ(FontGetSize(GuiLibraryFont(4, 7.5, 0)), 8.0);
  EXPECT_EQ(FontGetSize(GuiLoadFont(S("F"), 11.49, 1, 0, 1, 0)), 11.0);
  EXPECT_EQ(FontGetStyle(GuiLoadFont(S("F"), 11, 1, 0, 1, 0)), 5);
  EXPECT_EQ(FontGetStyle(GuiLoadFont(S("F"), 11, 0, 1, 0, 1)), 10);
  EXPECT_EQ(FontGetSize(GuiLoadFont(S("F"), 1e12, 0, 0, 0, 0)), 2147483647.0);
}

TEST_F(FrontEndTest, WithoutADriverServicesAnswerEmptyAndTheBaseDriverNamesWhatItLacks) {
  const std::pair<const char*, std::function<bool()>> cases[] = {
      {"UserName", [] { return GuiUserName().empty(); }},
      {"ComputerName", [] { return GuiComputerName().empty(); }},
      {"RequestColor", [] { return GuiRequestColor(1, 2, 3) == 0; }},
      {"RequestFont", [] { return GuiRequestFont(nullptr) == nullptr; }},
      {"LoadFont", [] { return GuiLoadFont(S("F"), 11) == nullptr; }},
      {"LoadFont", [] { return GuiLibraryFont(2, 0, 0) == nullptr; }},
      {"SetPointer", [] { return GuiSetPointer(77) == 0; }},
      {"LoadIconStrip", [] { return IconStripLoad(MakeStringObject(S("x"))) == nullptr; }},
      {"CreateGadget", [] { return MakeButton(S("b"), 0, 0, 1, 1, nullptr, 0) == nullptr; }},
      {"ActiveGadget", [] { return FocusedGadget() == nullptr; }},
  };
  GuiDriver = nullptr;
  for (const auto& [operation, call] : cases) EXPECT_TRUE(call()) << operation;

  GuiDriver = New<TVuzIDODriver>();
  for (const auto& [operation, call] : cases) {
    EXPECT_EQ(NullMethodMessage([&] { call(); }), std::string("Null method called: TVuzIDODriver.") + operation);
  }
  EXPECT_EQ(ClipboardClear(), 0) << "the base has no clipboard, which is not an error";
  EXPECT_THROW(TGuiFont().CharWidth('a'), TNullMethodException);
}

}  // namespace
