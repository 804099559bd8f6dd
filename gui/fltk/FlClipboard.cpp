#include "gui/fltk/FlClipboard.h"

#include <FL/Fl.H>
// The window FLTK owns selections with is one of FLTK's internals.
#define FL_INTERNALS
#include <FL/x.H>
#undef FL_INTERNALS

#include <vector>

namespace {
// The longest text ever handed to FLTK for the clipboard: FLTK's buffer is at
// least this long, so copying this many zeros overwrites all of it in place.
int longest = 0;

Atom ClipboardAtom() { return XInternAtom(fl_display, "CLIPBOARD", False); }

// FLTK's copy can only be reached through Fl::copy, which also claims the
// clipboard.
void CopyZeros() {
  std::vector<char> zeros(static_cast<size_t>(longest), '\0');
  Fl::copy(zeros.data(), longest, 1);
}
}  // namespace

void FlCopyToClipboard(const char* bytes, int length) {
  if (!bytes || length <= 0) return;
  if (length > longest) {
    if (longest > 0) CopyZeros();
    longest = length;
  }
  Fl::copy(bytes, length, 1);
}

bool FlOwnsClipboard() {
  return fl_display && fl_message_window && XGetSelectionOwner(fl_display, ClipboardAtom()) == fl_message_window;
}

void FlClearClipboard() {
  if (longest == 0 || !fl_display) return;
  if (FlOwnsClipboard()) {
    CopyZeros();
    XSetSelectionOwner(fl_display, ClipboardAtom(), None, CurrentTime);
  } else {
    // Another program owns the clipboard now. A claim dated before its own is
    // ignored by the X server, so FLTK's copy is overwritten without taking
    // the clipboard back; a SelectionClear then tells FLTK it owns nothing.
    const ulong savedTime = fl_event_time;
    fl_event_time = 1;
    CopyZeros();
    fl_event_time = savedTime;
    XEvent clear{};
    clear.xselectionclear.type = SelectionClear;
    clear.xselectionclear.display = fl_display;
    clear.xselectionclear.window = fl_message_window;
    clear.xselectionclear.selection = ClipboardAtom();
    clear.xselectionclear.time = CurrentTime;
    if (fl_message_window) XSendEvent(fl_display, fl_message_window, False, NoEventMask, &clear);
  }
  XFlush(fl_display);
}
