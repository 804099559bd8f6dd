#include "gui/fltk/FlKeyboardGrab.h"
#include "tests/gui/fltk/BackEndSupport.h"

using namespace backend_test;

// Seen from a second client: while the window holds the grab, that client's
// own grab fails; the window waits for a grab another client holds and lets
// go at once when told or when hidden.
TEST(KeyboardGrab, AShownWindowHoldsTheKeyboardUntilItLetsGoOrHides) {
  StartBackEnd();
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  const auto otherGrab = [other] {
    const int result = XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabSuccess) XUngrabKeyboard(other, CurrentTime);
    XSync(other, False);
    return result;
  };

  // Asked for before the window is on the screen: taken once it is.
  Ref<TGadget> window = MakeWindow(S("Passphrase"), 300, 200, 200, 100, nullptr, 1 | 32);
  WindowGrabKeyboard(window);
  ASSERT_TRUE(PumpUntil(FlKeyboardGrabbed));
  EXPECT_EQ(otherGrab(), AlreadyGrabbed);
  WindowGrabKeyboard(nullptr);
  EXPECT_FALSE(FlKeyboardGrabbed());
  EXPECT_EQ(otherGrab(), GrabSuccess);

  // Another client holds a grab: asked again until that client lets go.
  ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XSync(other, False);
  EXPECT_EQ(WindowGrabKeyboard(window), 0);
  Pump();
  EXPECT_FALSE(FlKeyboardGrabbed());
  XUngrabKeyboard(other, CurrentTime);
  XSync(other, False);
  ASSERT_TRUE(PumpUntil(FlKeyboardGrabbed));
  EXPECT_EQ(otherGrab(), AlreadyGrabbed);

  GadgetHide(window);
  XSync(fl_display, False);
  EXPECT_FALSE(FlKeyboardGrabbed());
  EXPECT_EQ(otherGrab(), GrabSuccess);
  GadgetFree(window);
  XCloseDisplay(other);
}
