#pragma once

class Fl_Window;

// The keyboard grab of a window that takes a secret (the passphrase): while it
// holds, the X server reports every key to this program alone, so other
// clients on the display see none of the keystrokes. Keys still reach the
// program's own windows as usual (a message the window opens gets them).

// Grabs the keyboard for window, letting go of any earlier grab; none lets go.
// A window not yet on the screen, or a grab another client holds, is tried
// again every 50 ms for five seconds from the main loop, never waited for.
// True when the grab holds at once.
bool FlGrabKeyboard(Fl_Window* window);

// Lets go of the grab when window holds it, or is still waiting for it;
// nothing otherwise. For a window being hidden or freed.
void FlReleaseKeyboardOf(Fl_Window* window);

// True while the grab holds.
bool FlKeyboardGrabbed();
