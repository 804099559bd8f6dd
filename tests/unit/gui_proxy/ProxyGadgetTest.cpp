#include <gtest/gtest.h>

#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/proxy/Proxy.h"
#include "gui/proxy/TProxyGadget.h"
#include "tests/unit/gui_proxy/ProxyRecording.h"

namespace {

class ProxyGadgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProxyInit();
    EventQueueInit();
    systemDriver = New<TRecordingSystemDriver>();
    while (EventQueuePoll() != 0) {
    }
  }
};

TEST_F(ProxyGadgetTest, UnwrappedProxyAnswersWithThePlaceholdersDefaults) {
  auto fresh = New<TProxyGadget>();
  EXPECT_EQ(fresh->GetProxy(), GadgetPlaceholder());

  auto emptied = New<TProxyGadget>();
  emptied->SetProxy(New<TRecordingGadget>());
  emptied->SetProxy(nullptr);
  EXPECT_EQ(emptied->GetProxy(), nullptr);

  for (const auto& proxy : {fresh, emptied}) {
    EXPECT_EQ(proxy->SetText(S("ignored")), 0);
    EXPECT_EQ(proxy->GetText(), String());
    EXPECT_EQ(proxy->Class(), 0);
    EXPECT_EQ(proxy->State(), 0);
    EXPECT_EQ(proxy->GetMenu(), nullptr);
    EXPECT_EQ(proxy->AreaText(0, -1, 0), String());
    EXPECT_EQ(proxy->Run(S("x")), String());
    EXPECT_EQ(proxy->ItemCount(), 0);
    EXPECT_EQ(proxy->SelectedItem(), -1);
    EXPECT_TRUE(proxy->SelectedItems().empty());
  }
  // Unwrapping must not leave anything pointing at the released gadget.
  EXPECT_EQ(GadgetUnproxy(emptied), nullptr);
}

TEST_F(ProxyGadgetTest, ForwardsOperationsAndResultsToTheWrappedGadget) {
  auto proxy = New<TProxyGadget>();
  auto inner = New<TRecordingGadget>(GadgetClassTextArea);
  inner->state = GadgetStateDisabled;
  proxy->SetProxy(inner);

  proxy->SetText(S("hello"));
  EXPECT_EQ(inner->text, S("hello"));
  EXPECT_EQ(proxy->GetText(), S("hello"));
  EXPECT_EQ(proxy->Class(), GadgetClassTextArea);
  EXPECT_EQ(proxy->State(), GadgetStateDisabled);
  EXPECT_EQ(proxy->ReplaceText(1, 2, S("ab"), 3), 7);
  EXPECT_EQ(proxy->Run(S("go")), S("ran go"));
  proxy->SetTextColor(1, 2, 3);
  proxy->SetColor(4, 5, 6);
  EXPECT_EQ(inner->log, (std::vector<std::string>{"ReplaceText 1 2 ab 3", "SetTextColor 1 2 3", "SetColor 4 5 6"}));

  // Geometry and items are the wrapped gadget's; the proxy's own fields stay put.
  proxy->SetShape(5, 6, 70, 80);
  EXPECT_EQ(inner->xpos, 5);
  EXPECT_EQ(inner->height, 80);
  EXPECT_EQ(proxy->GetXPos(), 5);
  EXPECT_EQ(proxy->GetWidth(), 70);
  EXPECT_EQ(proxy->xpos, 0);
  EXPECT_EQ(proxy->width, 0);
  proxy->SetLayout(EdgeFixed, EdgeScaled, EdgeFree, EdgeFixed);
  EXPECT_EQ(inner->lockr, EdgeScaled);
  EXPECT_EQ(proxy->lockr, 0);
  proxy->InsertItem(0, S("one"), S("t1"), -1, nullptr, GadgetItemDefault);
  proxy->InsertItem(1, S("two"), S(""), -1, nullptr, 0);
  EXPECT_EQ(inner->items.size(), 2u);
  EXPECT_TRUE(proxy->items.empty());
  EXPECT_EQ(proxy->ItemCount(), 2);
  EXPECT_EQ(proxy->ItemText(1), S("two"));
  EXPECT_EQ(proxy->ItemTip(0), S("t1"));
  EXPECT_EQ(proxy->SelectedItem(), 0);
  proxy->SelectItem(1, 1);
  EXPECT_EQ(proxy->SelectedItems(), (std::vector<int32_t>{0, 1}));

  // The key filter is not forwarded: it stays on the proxy, and the back end
  // asks the wrapped gadget, which has none.
  auto filter = +[](const Ref<TEvent>&, const ObjectRef&) -> int32_t { return 0; };
  proxy->SetFilter(filter, nullptr);
  EXPECT_EQ(proxy->eventfilter, filter);
  EXPECT_EQ(inner->eventfilter, nullptr);

  // Release goes to the wrapped gadget.
  proxy->CleanUp();
  EXPECT_EQ(inner->log.back(), "Free");
}

TEST_F(ProxyGadgetTest, StatusTextIsWrittenThroughButNeverRead) {
  auto proxy = New<TProxyGadget>();
  auto inner = New<TRecordingGadget>(GadgetClassWindow);
  proxy->SetProxy(inner);
  proxy->SetStatus(S("left\tright"));
  EXPECT_EQ(inner->statusText, S("left\tright"));
  proxy->SetStatusText(S("again"));
  EXPECT_EQ(inner->statusText, S("again"));
  EXPECT_EQ(inner->GetStatusText(), S("again"));
  EXPECT_EQ(proxy->GetStatusText(), String());
  EXPECT_EQ(WindowGetStatusText(proxy), String());
}

TEST_F(ProxyGadgetTest, SetProxyMovesTheSourceLinkAndLeavesOtherProxiesAlone) {
  auto proxy = New<TProxyGadget>();
  auto first = New<TRecordingGadget>();
  auto second = New<TRecordingGadget>();

  proxy->SetProxy(first);
  EXPECT_EQ(first->source.lock(), proxy);
  proxy->SetProxy(second);
  EXPECT_EQ(first->source.lock(), nullptr);
  EXPECT_EQ(second->source.lock(), proxy);

  // A gadget that another proxy has taken over keeps that proxy as source when
  // its former proxy moves on.
  auto other = New<TProxyGadget>();
  other->SetProxy(second);
  proxy->SetProxy(first);
  EXPECT_EQ(second->source.lock(), other);
  EXPECT_EQ(first->source.lock(), proxy);

  // Wrapping the placeholder never marks the shared placeholder.
  EXPECT_EQ(GadgetPlaceholder()->source.lock(), nullptr);

  // A proxy may not wrap itself, directly or through other proxies: refused,
  // nothing changes and forwarding still ends.
  EXPECT_EQ(other->SetProxy(other), -1);
  auto outer = New<TProxyGadget>();
  EXPECT_EQ(outer->SetProxy(other), 0);
  EXPECT_EQ(other->SetProxy(outer), -1);
  EXPECT_EQ(other->GetProxy(), second);
  EXPECT_EQ(second->source.lock(), other);
  EXPECT_EQ(other->source.lock(), outer);
  EXPECT_EQ(outer->GetWidth(), second->GetWidth());

  // The proxy owns its wrapped gadget, but not the other way round: dropping
  // the proxy frees it and leaves the gadget without a source.
  std::weak_ptr<TProxyGadget> gone = proxy;
  proxy.reset();
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(first->source.lock(), nullptr);
}

TEST_F(ProxyGadgetTest, NestedProxiesReportTheOutermostAndUnproxyToTheInnermost) {
  auto label = New<TRecordingGadget>();
  auto inner = New<TProxyGadget>();
  auto outer = New<TProxyGadget>();
  inner->SetProxy(label);
  outer->SetProxy(inner);

  EXPECT_EQ(GadgetUnproxy(outer), label);
  EXPECT_EQ(GadgetUnproxy(inner), label);
  EXPECT_EQ(GadgetUnproxy(label), label);

  // A gadget made with a proxy as its group lands in the wrapped gadget's kids.
  auto driver = New<TRecordingGuiDriver>();
  GuiDriver = driver;
  auto kid = MakeButton(S("b"), 0, 0, 10, 10, outer, 0);
  ASSERT_NE(kid, nullptr);
  EXPECT_EQ(driver->made.back().group, label);
  EXPECT_EQ(kid->parent, label);
  EXPECT_TRUE(outer->kids.empty());
  GuiDriver = nullptr;

  GadgetPostEvent(GadgetAction, label, 3);
  ASSERT_EQ(EventQueuePoll(), GadgetAction);
  EXPECT_EQ(CurrentEventSource(), outer);
  EXPECT_EQ(CurrentEventData(), 3);
  label->CleanUp();
}

}  // namespace
