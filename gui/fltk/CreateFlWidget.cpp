#include "gui/fltk/CreateFlWidget.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Multi_Browser.H>
#include <FL/Fl_Pack.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Repeat_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Secret_Input.H>
#include <FL/Fl_Slider.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Tabs.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/Fl_Toggle_Button.H>
#include <FL/Fl_Tree.H>

#include "gui/fltk/Fl_AWindow.h"
#include "gui/fltk/Fl_LabelBox.h"
#include "gui/fltk/Fl_Panel.h"
#include "gui/fltk/VuzIDOTemplates.h"

namespace {
template <class T>
using Listener = VuzIDOEventListener<T>;
template <class T>
using Hover = VuzIDOEventListener<VuzIDOHoverEffect<T>>;
template <class T>
using Filtered = VuzIDOEventListener<VuzIDOKeyFilter<T>>;

Fl_Widget* MakeWidget(int x, int y, int w, int h, int fltype) {
  switch (fltype) {
    case 0: {
      auto* window = new Fl_AWindow(w, h);
      window->position(x, y);
      return window;
    }
    case 1:
      return new Fl_Menu_Bar(x, y, w, h);
    case 2:
      return new Hover<Fl_Button>(x, y, w, h);
    case 3:
      return new Listener<Fl_Check_Button>(x, y, w, h);
    case 4:
      return new Hover<Fl_Round_Button>(x, y, w, h);
    case 5:
    case 6: {
      auto* button = new Listener<Fl_Toggle_Button>(x, y, w, h);
      button->type(FL_TOGGLE_BUTTON);
      return button;
    }
    case 7:
      return new Hover<Fl_Return_Button>(x, y, w, h);
    case 8:
    case 9: {
      auto* panel = new Listener<Fl_Panel>(x, y, w, h);
      panel->clip_children(1);
      panel->box(FL_ENGRAVED_FRAME);
      panel->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
      return panel;
    }
    case 10:
      return new Filtered<Fl_Input>(x, y, w, h);
    case 11: {
      auto* input = new Filtered<Fl_Secret_Input>(x, y, w, h);
      input->type(FL_SECRET_INPUT);
      return input;
    }
    case 12:
      // The tabber is built on FLTK's own tabs widget.
      return new Listener<Fl_Tabs>(x, y, w, h);
    case 13: {
      auto* group = new Listener<Fl_Group>(x, y, w, h);
      group->clip_children(1);
      group->box(FL_NO_BOX);
      return group;
    }
    case 14: {
      auto* pack = new Listener<Fl_Pack>(x, y, w, h);
      pack->clip_children(1);
      return pack;
    }
    case 15:
      return new Listener<Fl_Hold_Browser>(x, y, w, h);
    case 16:
      return new Listener<Fl_Multi_Browser>(x, y, w, h);
    case 17:
      return new Hover<Fl_Choice>(x, y, w, h);
    case 18: {
      auto* editor = new Filtered<VuzIDOTextArea<Fl_Text_Editor>>(x, y, w, h);
      // Undo is not offered: Ctrl+Z would reach the editor's partial undo.
      editor->remove_key_binding('z', FL_CTRL);
      return editor;
    }
    case 19:
      return new Filtered<VuzIDOTextArea<Fl_Text_Display>>(x, y, w, h);
    case 20:
      // FLTK keeps Fl_Help_View::handle private, so the HTML view cannot carry the listener.
      return new Fl_Help_View(x, y, w, h);
    case 21:
      return new Listener<Fl_LabelBox>(x, y, w, h);
    case 22: {
      auto* group = new Listener<Fl_Group>(x, y, w, h);
      group->clip_children(1);
      return group;
    }
    case 23:
      return new Listener<Fl_Progress>(x, y, w, h);
    case 24: {
      auto* slider = new Listener<Fl_Slider>(x, y, w, h);
      slider->bounds(0, 100);
      return slider;
    }
    case 25:
      return new Listener<Fl_Scrollbar>(x, y, w, h);
    case 26:
      return new Listener<Fl_Spinner>(x, y, w, h);
    case 27:
      // The canvas is a plain box that its owner draws on.
      return new Listener<Fl_Box>(x, y, w, h);
    case 28:
      return new Listener<Fl_Input_Choice>(x, y, w, h);
    case 29:
      // The tree view is built on FLTK's own tree widget.
      return new Listener<Fl_Tree>(x, y, w, h);
    case 30:
      return new Hover<Fl_Repeat_Button>(x, y, w, h);
    default:
      return nullptr;
  }
}
}  // namespace

Fl_Widget* CreateFlWidget(int x, int y, int w, int h, const char* label, int fltype) {
  Fl_Widget* widget = MakeWidget(x, y, w, h, fltype);
  if (!widget) return nullptr;
  if (label && *label) widget->copy_label(label);
  if (Fl_Group* group = widget->as_group()) group->end();
  return widget;
}
