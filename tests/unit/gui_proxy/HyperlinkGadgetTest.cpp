#include <gtest/gtest.h>

#include <algorithm>

#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Hook.h"
#include "gui/proxy/Proxy.h"
#include "gui/proxy/THyperlinkGadget.h"
#include "tests/unit/gui_proxy/ProxyRecording.h"

namespace {

const String url = S("http://example.org/");

class HyperlinkGadgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProxyInit();
    EventQueueInit();
    driver = New<TRecordingGuiDriver>();
    GuiDriver = driver;
    system = New<TRecordingSystemDriver>();
    systemDriver = system;
    // Settle the front end's pointer cache on a shape no test uses.
    GuiSetPointer(-1);
    driver->pointers.clear();
    while (EventQueuePoll() != 0) {
    }
    window = New<TRecordingGadget>(GadgetClassWindow);
  }

  void TearDown() override {
    for (auto& link : made) link->CleanUp();
    // Breaks the window/label reference cycles.
    window->CleanUp();
    GuiDriver = nullptr;
  }

  Ref<THyperlinkGadget> Make(int32_t style = 0, const String& customText = String()) {
    auto link = CreateHyperlinkGadget(url, 4, 5, 100, 20, window, style, customText);
    if (link) made.push_back(link);
    return link;
  }

  static Ref<TRecordingGadget> LabelOf(const Ref<THyperlinkGadget>& link) {
    return std::dynamic_pointer_cast<TRecordingGadget>(link->GetProxy());
  }

  static bool Listed(const Ref<THyperlinkGadget>& link) {
    const auto& listed = THyperlinkGadget::hyperlinkList->elements;
    return std::find(listed.begin(), listed.end(), link) != listed.end();
  }

  Ref<TRecordingGuiDriver> driver;
  Ref<TRecordingSystemDriver> system;
  Ref<TRecordingGadget> window;
  std::vector<Ref<THyperlinkGadget>> made;
};

TEST_F(HyperlinkGadgetTest, CreateWrapsALinkColouredLabelAndListsTheGadget) {
  auto link = Make();
  ASSERT_NE(link, nullptr);
  ASSERT_EQ(driver->made.size(), 1u);
  const auto& asked = driver->made[0];
  EXPECT_EQ(asked.gadgetClass, GadgetClassLabel);
  EXPECT_EQ(asked.text, url);
  EXPECT_EQ(asked.group, window);
  EXPECT_EQ(std::vector<int32_t>({asked.x, asked.y, asked.w, asked.h}), std::vector<int32_t>({4, 5, 100, 20}));

  auto label = LabelOf(link);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->source.lock(), link);
  EXPECT_EQ(label->sensitivity, 1);
  EXPECT_EQ(label->tooltip, String());
  EXPECT_EQ(label->font, THyperlinkGadget::linkFont);
  // The driver's GUI colour 4 replaces the built-in blue as the link colour.
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{10, 20, 30}));
  EXPECT_EQ(link->colors[0], (THyperlinkGadget::Rgb{10, 20, 30}));
  EXPECT_EQ(link->colors[1], (THyperlinkGadget::Rgb{255, 0, 0}));
  EXPECT_EQ(StringOfObject(link->extra), url);
  EXPECT_TRUE(Listed(link));
  // The label sits in the window; the proxy does not.
  EXPECT_EQ(window->kids, (std::vector<Ref<TGadget>>{label}));

  // The class-wide fonts: the library's kind 1 at the driver's default size,
  // plain and underlined.
  ASSERT_NE(THyperlinkGadget::linkFont, nullptr);
  ASSERT_NE(THyperlinkGadget::linkHoverFont, nullptr);
  EXPECT_EQ(THyperlinkGadget::linkFont->name, S("library 1"));
  EXPECT_EQ(THyperlinkGadget::linkFont->size, 0);
  EXPECT_EQ(THyperlinkGadget::linkFont->style, 0);
  EXPECT_EQ(THyperlinkGadget::linkHoverFont->style, 4);
}

TEST_F(HyperlinkGadgetTest, CustomTextIsShownWithTheUrlAsTooltip) {
  auto custom = Make(0, S("Our site"));
  EXPECT_EQ(LabelOf(custom)->text, S("Our site"));
  EXPECT_EQ(LabelOf(custom)->tooltip, url);
  EXPECT_EQ(StringOfObject(custom->extra), url);

  auto same = Make(0, url);
  EXPECT_EQ(LabelOf(same)->text, url);
  EXPECT_EQ(LabelOf(same)->tooltip, String());
}

TEST_F(HyperlinkGadgetTest, StyleDropsAFullLowPairAndKeepsOnlyLabelBitsForTheLabel) {
  struct Case {
    int32_t style, labelStyle, stored;
  };
  for (Case c : {Case{3, 0, 0}, Case{7, 4, 4}, Case{35, 0, 32}, Case{1, 1, 1}, Case{2 | 16, 18, 18}}) {
    auto link = Make(c.style);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(driver->made.back().style, c.labelStyle) << c.style;
    EXPECT_EQ(link->hyperlinkstyle, c.stored) << c.style;
  }
}

TEST_F(HyperlinkGadgetTest, NoLabelMeansNoGadgetAndNothingListed) {
  driver->refuse = true;
  auto link = New<THyperlinkGadget>();
  EXPECT_EQ(link->Create(url, 0, 0, 100, 20, window, 0, String()), nullptr);
  EXPECT_EQ(link->GetProxy(), GadgetPlaceholder());
  EXPECT_FALSE(Listed(link));
  EXPECT_EQ(CreateHyperlinkGadget(url, 0, 0, 100, 20, window, 0, String()), nullptr);

  // Its events are not the hook's business.
  GadgetPostEvent(MouseDown, link, 1, 0, 2, 3);
  EXPECT_EQ(EventQueuePoll(), MouseDown);
  EXPECT_TRUE(system->opened.empty());
}

TEST_F(HyperlinkGadgetTest, HoverSwitchesColourFontAndPointerAndBack) {
  auto link = Make();
  auto label = LabelOf(link);
  label->log.clear();

  GadgetPostEvent(MouseEnter, label);
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{255, 0, 0}));
  EXPECT_EQ(label->font, THyperlinkGadget::linkHoverFont);
  EXPECT_EQ(driver->pointers, (std::vector<int32_t>{12}));

  GadgetPostEvent(MouseLeave, label);
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{10, 20, 30}));
  EXPECT_EQ(label->font, THyperlinkGadget::linkFont);
  EXPECT_EQ(driver->pointers, (std::vector<int32_t>{12, 0}));
  EXPECT_EQ(label->log,
            (std::vector<std::string>{"SetTextColor 255 0 0", "SetFont", "SetTextColor 10 20 30", "SetFont"}));

  // Hovering uses the driver's stored colours without rewriting them.
  EXPECT_EQ(link->colors[1], (THyperlinkGadget::Rgb{255, 0, 0}));
  EXPECT_EQ(link->colors[0], (THyperlinkGadget::Rgb{10, 20, 30}));
}

TEST_F(HyperlinkGadgetTest, APressOpensTheUrlOncePerNewPosition) {
  auto link = Make();
  auto label = LabelOf(link);

  GadgetPostEvent(MouseDown, label, 1, 0, 7, 9);
  GadgetPostEvent(MouseUp, label, 1, 0, 7, 9);
  GadgetPostEvent(MouseDown, label, 1, 0, 7, 9);
  EXPECT_EQ(system->opened, (std::vector<String>{url}));
  EXPECT_EQ(link->lastclick, (std::array<int32_t, 2>{7, 9}));

  GadgetPostEvent(MouseDown, label, 1, 0, 8, 9);
  GadgetPostEvent(MouseDown, label, 1, 0, 8, 10);
  EXPECT_EQ(system->opened.size(), 3u);
  // Back at an earlier position that is not the last one opens again.
  GadgetPostEvent(MouseDown, label, 1, 0, 7, 9);
  EXPECT_EQ(system->opened.size(), 4u);
  // Entering and leaving does not forget the last press.
  GadgetPostEvent(MouseLeave, label);
  GadgetPostEvent(MouseEnter, label);
  GadgetPostEvent(MouseDown, label, 1, 0, 7, 9);
  EXPECT_EQ(system->opened.size(), 4u);

  // Each gadget remembers its own last press.
  auto second = Make();
  GadgetPostEvent(MouseDown, LabelOf(second), 1, 0, 7, 9);
  EXPECT_EQ(system->opened.size(), 5u);
}

TEST_F(HyperlinkGadgetTest, NoEventOfAHyperlinkReachesTheQueue) {
  auto link = Make();
  auto label = LabelOf(link);
  auto button = New<TRecordingGadget>(GadgetClassButton);

  // Later hooks see none for the link's events and the event for others.
  static std::vector<ObjectRef> seen;
  seen.clear();
  auto watcher = +[](int32_t, const ObjectRef& data, const ObjectRef&) -> ObjectRef {
    seen.push_back(data);
    return data;
  };
  HookAdd(EventEmitHookId, watcher, nullptr, -2);

  for (int32_t id : {MouseEnter, MouseMove, MouseDown, MouseUp, MouseWheel, MouseLeave, KeyChar, GadgetAction}) {
    GadgetPostEvent(id, label, 1, 0, id, id);
  }
  // An event raised with the proxy itself as source is swallowed just the same.
  EventEmit(EventNew(GadgetAction, link, 1));
  GadgetPostEvent(GadgetAction, button, 5);
  HookRemove(EventEmitHookId, watcher, nullptr);

  ASSERT_EQ(seen.size(), 10u);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(seen[i], nullptr) << i;
  EXPECT_NE(seen[9], nullptr);
  EXPECT_EQ(EventQueuePoll(), GadgetAction);
  EXPECT_EQ(CurrentEventSource(), button);
  EXPECT_EQ(EventQueuePoll(), 0);
  // Data that is not an event passes through untouched.
  auto text = MakeStringObject(S("not an event"));
  EXPECT_EQ(THyperlinkGadget::eventHandler(EventEmitHookId, text, nullptr), text);
}

TEST_F(HyperlinkGadgetTest, SetFontIsSharedByEveryHyperlinkInBothStates) {
  auto first = Make();
  auto second = Make();
  // The fonts are class-wide: give them back for the tests that follow.
  struct Restore {
    Ref<TGuiFont> font = THyperlinkGadget::linkFont, hoverFont = THyperlinkGadget::linkHoverFont;
    ~Restore() {
      THyperlinkGadget::linkFont = font;
      THyperlinkGadget::linkHoverFont = hoverFont;
    }
  } restore;
  auto chosen = New<TGuiFont>();
  chosen->name = S("chosen");

  first->SetFont(chosen);
  EXPECT_EQ(LabelOf(first)->font, chosen);
  EXPECT_EQ(THyperlinkGadget::linkFont, chosen);
  EXPECT_EQ(THyperlinkGadget::linkHoverFont, chosen);

  auto label = LabelOf(second);
  GadgetPostEvent(MouseEnter, label);
  EXPECT_EQ(label->font, chosen);
  GadgetPostEvent(MouseLeave, label);
  EXPECT_EQ(label->font, chosen);
  // A hyperlink made afterwards starts with it too.
  EXPECT_EQ(LabelOf(Make())->font, chosen);
}

TEST_F(HyperlinkGadgetTest, HoverColourWaitsForTheNextEnterWhileTextColourIsImmediate) {
  auto link = Make();
  auto label = LabelOf(link);
  label->log.clear();

  GadgetSetColor(link, 1, 2, 3, 1);
  EXPECT_TRUE(label->log.empty());
  EXPECT_EQ(link->colors[1], (THyperlinkGadget::Rgb{1, 2, 3}));
  GadgetPostEvent(MouseEnter, label);
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{1, 2, 3}));

  GadgetSetTextColor(link, 40, 50, 60);
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{40, 50, 60}));
  EXPECT_EQ(link->colors[0], (THyperlinkGadget::Rgb{40, 50, 60}));
  GadgetPostEvent(MouseLeave, label);
  EXPECT_EQ(label->textColor, (std::vector<int32_t>{40, 50, 60}));
}

TEST_F(HyperlinkGadgetTest, TheListKeepsAGadgetAliveUntilCleanUp) {
  std::weak_ptr<THyperlinkGadget> watch;
  Ref<TRecordingGadget> label;
  {
    auto link = CreateHyperlinkGadget(url, 0, 0, 100, 20, window, 0, String());
    watch = link;
    label = LabelOf(link);
  }
  ASSERT_FALSE(watch.expired());
  auto link = watch.lock();
  // A second Create rewraps but does not list the gadget twice.
  link->Create(url, 0, 0, 100, 20, window, 0, S("again"));
  EXPECT_EQ(std::count(THyperlinkGadget::hyperlinkList->elements.begin(),
                       THyperlinkGadget::hyperlinkList->elements.end(), link),
            1);
  auto rewrapped = LabelOf(link);
  EXPECT_EQ(label->source.lock(), nullptr);
  rewrapped->log.clear();

  GadgetFree(link);
  EXPECT_FALSE(Listed(link));
  EXPECT_EQ(rewrapped->log, (std::vector<std::string>{"Free"}));
  // Once unlisted, its events are ordinary events again.
  GadgetPostEvent(MouseDown, rewrapped, 1, 0, 1, 1);
  EXPECT_EQ(EventQueuePoll(), MouseDown);
  EXPECT_EQ(CurrentEventSource(), link);
  EXPECT_TRUE(system->opened.empty());

  // Released by everything but the current event, which the next poll drops.
  EXPECT_EQ(EventQueuePoll(), 0);
  link.reset();
  EXPECT_TRUE(watch.expired());
  label->CleanUp();
}

}  // namespace
