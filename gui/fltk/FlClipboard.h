#pragma once

class Fl_Text_Buffer;

// The desktop clipboard for texts that may be secrets. The program owns the
// CLIPBOARD selection through a window of its own rather than through FLTK:
// besides the text it offers the target x-kde-passwordManagerHint with the
// value "secret", so that clipboard managers keep no history of it. It never
// asks a clipboard manager to keep the text after the program ends.
//
// Its copy of the text is wiped when the clipboard is cleared, when another
// program takes the selection and when a new text replaces it.

// Answers other programs' requests from now on; once, when the back end starts.
void FlClipboardInit();

// Puts length bytes on the clipboard. False, leaving the clipboard as it was,
// for no text and for a text too long to hand over in one reply (the X
// server's largest request; the incremental transfer is not offered).
bool FlCopyToClipboard(const char* bytes, int length);

// True while this process owns the clipboard, that is while it still holds
// what the program put there.
bool FlOwnsClipboard();

// Gives up a clipboard this process still owns, so it ends up empty, and wipes
// the copy; one that another program took meanwhile is left with that program.
void FlClearClipboard();

// Keeps the text of a secret area out of the selections FLTK serves, for as
// long as it lives around one event of the area's widget. FLTK's text widgets
// put a mouse selection into PRIMARY and may drag it out of the window; while
// the guard lives no drag starts, and whatever FLTK copied of the buffer's
// selection into either of its selections is overwritten in FLTK's copy and
// given up again before any other program could ask for it.
class FlSecretSelectionGuard {
 public:
  explicit FlSecretSelectionGuard(Fl_Text_Buffer* buffer);
  ~FlSecretSelectionGuard();
  FlSecretSelectionGuard(const FlSecretSelectionGuard&) = delete;
  FlSecretSelectionGuard& operator=(const FlSecretSelectionGuard&) = delete;

 private:
  Fl_Text_Buffer* buffer;
  char owned[2];
  bool dragText;
};
