#include <gtest/gtest.h>

#include "gui/core/Gadget.h"
#include "tests/unit/gui_core/GadgetRecording.h"

namespace {

struct TRect {
  int32_t x, y, w, h;
  bool operator==(const TRect&) const = default;
};

TRect RectOf(const Ref<TGadget>& g) { return {g->xpos, g->ypos, g->width, g->height}; }

std::ostream& operator<<(std::ostream& out, const TRect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

class GadgetLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    GadgetInit();
    parent = New<TRecordingGadget>(GadgetClassPanel);
    parent->SetRect(0, 0, 400, 300);
  }
  void TearDown() override { parent->CleanUp(); }

  // A kid at (x, y, w, h) with the given horizontal locks (vertical both fixed).
  Ref<TRecordingGadget> Kid(int32_t x, int32_t w, int32_t left, int32_t right) {
    auto kid = New<TRecordingGadget>(GadgetClassButton);
    kid->SetRect(x, 20, w, 30);
    kid->_setparent(parent, -1);
    kid->SetLayout(left, right, EdgeFixed, EdgeFixed);
    return kid;
  }

  void ResizeParent(int32_t w) { parent->SetArea(0, 0, w, 300); }

  Ref<TRecordingGadget> parent;
};

TEST_F(GadgetLayoutTest, EdgeModesFollowTheParentWidth) {
  auto both = Kid(10, 380, EdgeFixed, EdgeFixed);
  auto leftOnly = Kid(10, 100, EdgeFixed, EdgeFree);
  auto rightOnly = Kid(290, 100, EdgeFree, EdgeFixed);
  auto scaled = Kid(100, 100, EdgeScaled, EdgeScaled);
  auto centred = Kid(100, 100, EdgeFree, EdgeFree);
  // Any other lock value leaves its edge where it is.
  auto unknownLeft = Kid(100, 100, 3, EdgeFixed);
  auto unknownRight = Kid(100, 100, EdgeFixed, -1);

  ResizeParent(500);
  EXPECT_EQ(RectOf(both), (TRect{10, 20, 480, 30}));
  EXPECT_EQ(RectOf(leftOnly), (TRect{10, 20, 100, 30}));
  EXPECT_EQ(RectOf(rightOnly), (TRect{390, 20, 100, 30}));  // still 10 from the right side
  EXPECT_EQ(RectOf(scaled), (TRect{125, 20, 125, 30}));
  EXPECT_EQ(RectOf(centred), (TRect{137, 20, 100, 30}));  // 500 * 150 / 400 = 187, minus 50
  EXPECT_EQ(RectOf(unknownLeft), (TRect{100, 20, 200, 30}));
  EXPECT_EQ(RectOf(unknownRight), (TRect{100, 20, 100, 30}));

  ResizeParent(300);
  EXPECT_EQ(RectOf(both), (TRect{10, 20, 280, 30}));
  EXPECT_EQ(RectOf(rightOnly), (TRect{190, 20, 100, 30}));

  ResizeParent(600);
  EXPECT_EQ(RectOf(scaled), (TRect{150, 20, 150, 30}));
  // Layout always starts from the locked rectangle, so the round trip is exact.
  ResizeParent(400);
  EXPECT_EQ(RectOf(both), (TRect{10, 20, 380, 30}));
  EXPECT_EQ(RectOf(scaled), (TRect{100, 20, 100, 30}));
  EXPECT_EQ(RectOf(centred), (TRect{100, 20, 100, 30}));
  EXPECT_GT(both->rethinks, 0);
}

TEST_F(GadgetLayoutTest, ArithmeticTruncatesTowardZeroAndTreatsAZeroWideParentAsOne) {
  // Centre at -75: 500 * -75 / 400 = -93.75 truncates to -93 (not -94), minus 25.
  auto leftOfParent = Kid(-100, 50, EdgeFree, EdgeFree);
  auto pinnedRight = Kid(10, 380, EdgeFree, EdgeFixed);
  ResizeParent(500);
  EXPECT_EQ(leftOfParent->xpos, -118);

  parent->clientWidth = 0;
  parent->DoLayout();  // no parent itself: nothing happens
  parent->LayoutKids();
  // The right edge keeps its distance from a 1-wide parent: 10 + 380 - 400 + 1.
  EXPECT_EQ(pinnedRight->xpos, -9 - 380);
  EXPECT_EQ(pinnedRight->width, 380);
  // Locked under a 0-wide, 0-high parent, a kid takes 1 as its reference and
  // follows the parent once it grows.
  parent->clientHeight = 0;
  auto lockedAtZero = Kid(5, 10, EdgeFixed, EdgeFixed);
  parent->clientHeight = -1;

  // Large coordinates wrap in 32 bits instead of being undefined.
  parent->clientWidth = -1;
  auto far = Kid(0x40000000, 100, EdgeScaled, EdgeFixed);
  ASSERT_EQ(far->lockcw, 500);
  ResizeParent(801);
  EXPECT_EQ(far->xpos, static_cast<int32_t>(801u * 0x40000000u) / 500);
  EXPECT_EQ(far->xpos + far->width, 0x40000000 + 100 - 500 + 801);
  EXPECT_EQ(RectOf(lockedAtZero), (TRect{5, 20, 5 + 10 - 1 + 801 - 5, 20 + 30 - 1 + 300 - 20}));
}

TEST_F(GadgetLayoutTest, ResizeRunsDownTheTreeButLeavesWindowsMenusAndNodes) {
  auto window = New<TRecordingGadget>(GadgetClassWindow);
  window->SetRect(50, 50, 400, 300);
  window->_setparent(parent, -1);
  window->SetLayout(EdgeFixed, EdgeFixed, EdgeFixed, EdgeFixed);

  auto panel = New<TRecordingGadget>(GadgetClassPanel);
  panel->SetRect(10, 10, 380, 280);
  panel->_setparent(window, -1);
  panel->SetLayout(EdgeFixed, EdgeFixed, EdgeFixed, EdgeFixed);
  auto button = New<TRecordingGadget>(GadgetClassButton);
  button->SetRect(270, 240, 100, 30);
  button->_setparent(panel, -1);
  button->SetLayout(EdgeFree, EdgeFixed, EdgeFree, EdgeFixed);
  auto menu = New<TRecordingGadget>(GadgetClassMenu);
  menu->_setparent(window, -1);
  menu->SetLayout(EdgeFixed, EdgeFixed, EdgeFixed, EdgeFixed);
  auto node = New<TRecordingGadget>(GadgetClassNode);
  node->SetRect(5, 5, 10, 10);
  node->_setparent(panel, -1);
  node->SetLayout(EdgeFixed, EdgeFixed, EdgeFixed, EdgeFixed);

  window->SetArea(50, 50, 500, 400);
  EXPECT_EQ(RectOf(panel), (TRect{10, 10, 480, 380}));
  EXPECT_EQ(RectOf(button), (TRect{370, 340, 100, 30}));  // follows the bottom-right corner
  EXPECT_EQ(RectOf(menu), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(RectOf(node), (TRect{5, 5, 10, 10}));

  // The parent of the window changing size does not move the window.
  ResizeParent(900);
  EXPECT_EQ(RectOf(window), (TRect{50, 50, 500, 400}));
}

TEST_F(GadgetLayoutTest, SetLayoutAndSetShapeRelockAtThePresentRectangle) {
  auto kid = Kid(10, 100, EdgeFixed, EdgeFree);
  ResizeParent(600);
  EXPECT_EQ(RectOf(kid), (TRect{10, 20, 100, 30}));

  kid->SetLayout(EdgeFixed, EdgeFixed, EdgeFixed, EdgeFixed);
  EXPECT_EQ(kid->lockcw, 600);
  ResizeParent(700);
  EXPECT_EQ(kid->width, 200);  // grew with the parent from the 600-wide reference

  kid->SetShape(20, 20, 50, 30);
  EXPECT_EQ(kid->lockx, 20);
  EXPECT_EQ(kid->lockw, 50);
  ResizeParent(800);
  EXPECT_EQ(RectOf(kid), (TRect{20, 20, 150, 30}));

  // Negative sizes are clamped; a kid that was never locked stays put.
  kid->SetRect(1, 2, -5, -6);
  EXPECT_EQ(RectOf(kid), (TRect{1, 2, 0, 0}));
  auto unlocked = New<TRecordingGadget>(GadgetClassButton);
  unlocked->SetRect(7, 8, 9, 10);
  unlocked->_setparent(parent, -1);
  ResizeParent(300);
  EXPECT_EQ(RectOf(unlocked), (TRect{7, 8, 9, 10}));
  EXPECT_EQ(unlocked->lockcw, 0);
}

TEST_F(GadgetLayoutTest, SetParentPlacesKidsByIndexAndMovesBetweenGroups) {
  auto a = New<TGadget>(), b = New<TGadget>(), c = New<TGadget>(), d = New<TGadget>();
  a->_setparent(parent, -1);
  b->_setparent(parent, 0);  // front
  c->_setparent(parent, 2);  // equal to the count: appended
  d->_setparent(parent, 1);  // before the kid at 1
  ASSERT_EQ(parent->kids.size(), 4u);
  EXPECT_EQ(parent->kids[0], b);
  EXPECT_EQ(parent->kids[1], d);
  EXPECT_EQ(parent->kids[2], a);
  EXPECT_EQ(parent->kids[3], c);
  EXPECT_EQ(parent->HasDescendant(parent), 1);
  EXPECT_EQ(parent->HasDescendant(d), 1);

  auto other = New<TGadget>();
  other->_setparent(parent, 99);
  d->_setparent(other, -1);
  EXPECT_EQ(parent->kids.size(), 4u);
  EXPECT_EQ(parent->HasDescendant(d), 1);  // through other
  EXPECT_EQ(d->GetGroup(), other);
  d->_setparent(nullptr, 0);
  EXPECT_EQ(parent->HasDescendant(d), 0);
  EXPECT_TRUE(other->kids.empty());
  EXPECT_EQ(d->parent, nullptr);

  // Under itself or under one of its descendants is refused and changes nothing.
  d->_setparent(other, -1);
  EXPECT_EQ(other->_setparent(other, 0), -1);
  EXPECT_EQ(other->_setparent(d, 0), -1);
  EXPECT_EQ(parent->_setparent(d, 0), -1);
  EXPECT_EQ(other->parent, parent);
  EXPECT_EQ(parent->parent, nullptr);
  EXPECT_EQ(parent->kids.size(), 4u);
  EXPECT_EQ(other->kids, std::vector<Ref<TGadget>>{d});
  EXPECT_TRUE(d->kids.empty());
  EXPECT_EQ(d->_setparent(parent, 0), 0);
}

}  // namespace
