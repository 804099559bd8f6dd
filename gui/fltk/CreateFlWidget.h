#pragma once

class Fl_Widget;

// Builds the FLTK widget for a widget kind code (the `fltype` of a widget
// gadget) at x, y (relative to the enclosing FLTK window) with the given size
// and label. Unknown kinds give null. Groups are closed again, so that later
// widgets are not added to them by FLTK's implicit current group.
Fl_Widget* CreateFlWidget(int x, int y, int w, int h, const char* label, int fltype);
