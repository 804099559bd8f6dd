#include "gui/fltk/FlClipboard.h"

#include <FL/Fl.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/Wipe.h"

// FLTK's flags for the selections it serves (0 PRIMARY, 1 CLIPBOARD). Not in
// its headers, but exported: the guard reads them to learn whether an event
// made FLTK copy something.
extern char fl_i_own_selection[2];

namespace {
// The hint's value: ASCII, no line end.
constexpr char kSecretHint[] = "secret";

struct TClipboardAtoms {
  Atom clipboard = None, targets = None, utf8 = None, text = None, plainUtf8 = None, hint = None;
};

TClipboardAtoms atoms;
// The window the clipboard is owned with; made at the first copy, never mapped.
Window ownerWindow = None;
// The text served while this process owns the clipboard. A plain block, so
// that no destructor at exit runs before the clear registered with atexit.
char* served = nullptr;
size_t servedLength = 0;

const TClipboardAtoms& Atoms() {
  if (atoms.clipboard == None && fl_display) {
    atoms.clipboard = XInternAtom(fl_display, "CLIPBOARD", False);
    atoms.targets = XInternAtom(fl_display, "TARGETS", False);
    atoms.utf8 = XInternAtom(fl_display, "UTF8_STRING", False);
    atoms.text = XInternAtom(fl_display, "TEXT", False);
    atoms.plainUtf8 = XInternAtom(fl_display, "text/plain;charset=utf-8", False);
    atoms.hint = XInternAtom(fl_display, "x-kde-passwordManagerHint", False);
  }
  return atoms;
}

void WipeServed() {
  if (served) {
    SecureWipe(served, servedLength);
    std::free(served);
  }
  served = nullptr;
  servedLength = 0;
}

// The longest text one reply can carry: the server's largest request, less
// the request's own header.
size_t LongestReply() {
  long units = XExtendedMaxRequestSize(fl_display);
  if (units == 0) units = XMaxRequestSize(fl_display);
  return units > 64 ? static_cast<size_t>(units - 64) * 4 : 0;
}

// Writes the answer to one request into the requestor's property; false when
// the target is not one this clipboard offers.
bool Serve(const XSelectionRequestEvent& request, Atom property) {
  const TClipboardAtoms& a = Atoms();
  Display* display = request.display;
  if (request.target == a.targets) {
    const Atom offered[] = {a.targets, a.utf8, XA_STRING, a.text, a.plainUtf8, a.hint};
    XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), sizeof offered / sizeof offered[0]);
    return true;
  }
  if (request.target == a.hint) {
    XChangeProperty(display, request.requestor, property, a.hint, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kSecretHint), sizeof kSecretHint - 1);
    return true;
  }
  Atom type = None;
  if (request.target == a.utf8 || request.target == a.text)
    type = a.utf8;
  else if (request.target == XA_STRING || request.target == a.plainUtf8)
    type = request.target;
  if (type == None) return false;
  XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(served), static_cast<int>(servedLength));
  return true;
}

// A request is answered with the property written, or refused with None (for
// a target not offered, or a text no longer held). A requestor that names no
// property is an old client: the target names it.
void Answer(const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = request.display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = None;
  const Atom property = request.property != None ? request.property : request.target;
  if (request.selection == Atoms().clipboard && served && Serve(request, property)) reply.property = property;
  XEvent event{};
  event.xselection = reply;
  XSendEvent(request.display, request.requestor, False, NoEventMask, &event);
  XFlush(request.display);
}

// Runs before FLTK's own handling of every X event: the requests and the loss
// of the clipboard that concern the owner window are this module's alone.
int OnXEvent(void* event, void*) {
  const XEvent& x = *static_cast<const XEvent*>(event);
  if (ownerWindow == None) return 0;
  if (x.type == SelectionRequest && x.xselectionrequest.owner == ownerWindow) {
    Answer(x.xselectionrequest);
    return 1;
  }
  if (x.type == SelectionClear && x.xselectionclear.window == ownerWindow) {
    WipeServed();
    return 1;
  }
  return 0;
}

bool OwnerIsUs() {
  return fl_display && ownerWindow != None && XGetSelectionOwner(fl_display, Atoms().clipboard) == ownerWindow;
}
}  // namespace

void FlClipboardInit() { Fl::add_system_handler(OnXEvent, nullptr); }

bool FlCopyToClipboard(const char* bytes, int length) {
  if (!bytes || length <= 0 || !fl_display) return false;
  if (static_cast<size_t>(length) > LongestReply()) return false;
  char* copy = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
  if (!copy) return false;
  SecretPin(copy, static_cast<size_t>(length));
  std::memcpy(copy, bytes, static_cast<size_t>(length));
  WipeServed();
  served = copy;
  servedLength = static_cast<size_t>(length);
  if (ownerWindow == None)
    ownerWindow = XCreateSimpleWindow(fl_display, RootWindow(fl_display, fl_screen), 0, 0, 1, 1, 0, 0, 0);
  // The time of the event that asked for the copy; when another program
  // claimed the clipboard later than that (the event was long ago), now.
  XSetSelectionOwner(fl_display, Atoms().clipboard, ownerWindow, fl_event_time ? fl_event_time : CurrentTime);
  if (!OwnerIsUs()) XSetSelectionOwner(fl_display, Atoms().clipboard, ownerWindow, CurrentTime);
  if (!OwnerIsUs()) {
    WipeServed();
    return false;
  }
  return true;
}

bool FlOwnsClipboard() { return served && OwnerIsUs(); }

void FlClearClipboard() {
  if (OwnerIsUs()) {
    XSetSelectionOwner(fl_display, Atoms().clipboard, None, CurrentTime);
    XFlush(fl_display);
  }
  WipeServed();
}

FlSecretSelectionGuard::FlSecretSelectionGuard(Fl_Text_Buffer* textBuffer)
    : buffer(textBuffer),
      owned{fl_i_own_selection[0], fl_i_own_selection[1]},
      dragText(Fl::option(Fl::OPTION_DND_TEXT)) {
  fl_i_own_selection[0] = fl_i_own_selection[1] = 0;
  Fl::option(Fl::OPTION_DND_TEXT, false);
}

FlSecretSelectionGuard::~FlSecretSelectionGuard() {
  Fl::option(Fl::OPTION_DND_TEXT, dragText);
  for (int which = 0; which < 2; ++which) {
    if (!fl_i_own_selection[which]) {
      fl_i_own_selection[which] = owned[which];
      continue;
    }
    // FLTK copied the buffer's selection, as it does for a mouse selection.
    // Copying as many zeros overwrites FLTK's copy in place (a longer text
    // would make FLTK free it unwiped); then the selection is given up.
    size_t length = 0;
    if (char* text = buffer ? buffer->selection_text() : nullptr) {
      length = std::strlen(text);
      SecureWipe(text, length);
      std::free(text);
    }
    const std::vector<char> zeros(length + 1, '\0');
    Fl::copy(zeros.data(), static_cast<int>(length), which);
    if (fl_display) XSetSelectionOwner(fl_display, which ? Atoms().clipboard : XA_PRIMARY, None, CurrentTime);
    fl_i_own_selection[which] = 0;
  }
}
