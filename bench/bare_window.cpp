// A bare FLTK program for start-up comparisons: it sets FLTK up the way
// Quorvel's FLTK back end does (own X connection handed to FLTK, double-buffered
// visual, "gtk+" scheme, 12-point default sizes, image handlers, the server's
// fonts and the system colours) and shows one empty 640x347 window with
// Quorvel's title. Nothing else: no records, no key file, no gadgets.
#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <stdio.h>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "bare_window: cannot open the X display\n");
    return 1;
  }
  fl_open_display(display);
  Fl::visual(FL_DOUBLE);
  FL_NORMAL_SIZE = 12;
  Fl_Tooltip::size(12);
  fl_message_font(FL_HELVETICA, 12);
  fl_register_images();
  Fl::scheme("gtk+");
  Fl::set_fonts();
  Fl::get_system_colors();

  Fl_Double_Window window(640, 347, "Quorvel v1.2b");
  window.end();
  window.show();
  return Fl::run();
}
