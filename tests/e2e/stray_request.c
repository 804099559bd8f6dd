/* Asks the owner of the clipboard for its text on behalf of a window that
   does not exist, as when the asking window vanished meanwhile: the owner's
   answer then fails with a BadWindow protocol error.
   Usage: stray_request (prints the owner's window id, or fails) */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "stray_request: cannot open the display\n");
    return 1;
  }
  Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  Window owner = XGetSelectionOwner(display, clipboard);
  if (owner == None) {
    fprintf(stderr, "stray_request: nobody owns the clipboard\n");
    return 1;
  }
  XEvent event = {0};
  event.xselectionrequest.type = SelectionRequest;
  event.xselectionrequest.owner = owner;
  /* A window id of this client's own range that it never created. */
  event.xselectionrequest.requestor = XAllocID(display);
  event.xselectionrequest.selection = clipboard;
  event.xselectionrequest.target = XA_STRING;
  event.xselectionrequest.property = XInternAtom(display, "STRAY_REQUEST", False);
  event.xselectionrequest.time = CurrentTime;
  XSendEvent(display, owner, False, NoEventMask, &event);
  XSync(display, False);
  printf("0x%lx\n", (unsigned long)owner);
  XCloseDisplay(display);
  return 0;
}
