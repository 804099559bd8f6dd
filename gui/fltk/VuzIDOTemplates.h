#pragma once

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

#include <memory>

#include "gui/fltk/FlClipboard.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/Fl_SecureTextBuffer.h"

// Class templates that wrap an FLTK widget's handle() so that its events reach
// the gadget behind it. Each derives from its parameter and keeps its
// constructors.

// Hands mouse and key events to the back end's mouse and key handlers.
template <class T>
class VuzIDOEventListener : public T {
 public:
  using T::T;

  int handle(int event) override {
    Fl_Widget_Tracker tracker(this);
    int result = T::handle(event);
    // The wrapped widget's own callback may have freed the gadget and this widget.
    if (tracker.deleted()) return result;
    if (!this->active_r()) return 0;
    if (event == FL_FOCUS) return 1;

    Fl_Widget* below = Fl::belowmouse();
    if (!below || !below->user_data()) {
      Fl::belowmouse(this);
      below = this;
    }
    Fl_Widget* focus = Fl::focus();
    if (!focus || !focus->user_data()) focus = this;

    const int savedEvent = currentFlEvent;
    currentFlEvent = event;
    if (event >= FL_DND_ENTER) {
      result = 0;
    } else {
      switch (event) {
        case FL_PUSH:
          // A press is this widget's own when nothing inside it that takes
          // events lies under the pointer. FLTK's widget under the mouse
          // cannot tell here: FLTK handles a motion only after the events
          // read with it, so a press right after the pointer jumped still
          // names the widget it came from, often a group around the one
          // pressed, which would then take the focus from it.
          if (PressIsOwn() || result == 0) FlRunMouseHandler(this, FlUserHandle(this));
          result = 1;
          break;
        case FL_RELEASE:
        case FL_ENTER:
        case FL_LEAVE:
        case FL_DRAG:
        case FL_MOVE:
        case FL_MOUSEWHEEL:
          if (below == this || result == 0) FlRunMouseHandler(this, FlUserHandle(this));
          result = 1;
          break;
        case FL_KEYUP:
          result = 1;
          if (focus == this) FlRunKeyHandler(this, FlUserHandle(this));
          break;
        case FL_KEYDOWN:
          if (focus == this) FlRunKeyHandler(this, FlUserHandle(this));
          break;
        default:
          // Other events keep the wrapped widget's answer: a group that passed a
          // shortcut to a child must report it used, or FLTK offers the same
          // shortcut again to every window and finally closes one on Escape.
          break;
      }
    }
    if (!tracker.deleted()) currentFlEvent = savedEvent;
    return result;
  }

 private:
  bool PressIsOwn() {
    Fl_Group* group = this->as_group();
    for (int i = group ? group->children() : 0; i--;) {
      Fl_Widget* child = group->child(i);
      if (child->takesevents() && Fl::event_inside(child)) return false;
    }
    return true;
  }
};

// Runs every key press through the gadget's key filter before the widget sees
// it; an accepted key press always reaches the widget's callback.
template <class T>
class VuzIDOKeyFilter : public T {
 public:
  using T::T;

  int handle(int event) override {
    if (event != FL_KEYDOWN) return T::handle(event);
    // Left to the menu bar, which FLTK offers it to next.
    if (FlIsMenuShortcut(this)) return 0;
    if (!FlRunKeyFilter(FlUserHandle(this))) return 1;
    Fl_Widget_Tracker tracker(this);
    int result = T::handle(event);
    if (!tracker.deleted()) this->do_callback(this, this->user_data());
    return result;
  }
};

// Lightens an active widget while the pointer is over it.
template <class T>
class VuzIDOHoverEffect : public T {
 public:
  using T::T;

  int handle(int event) override {
    if (this->active_r()) {
      if (event == FL_ENTER) {
        // A second enter without a leave keeps the colours saved by the first.
        if (!hovering) {
          savedColor = this->color();
          savedSelectionColor = this->selection_color();
          hovering = true;
        }
        this->color(fl_color_average(savedColor, FL_WHITE, 0.67f));
        this->selection_color(fl_color_average(savedSelectionColor, FL_WHITE, 0.67f));
        this->redraw();
        return 1;
      }
      if (event == FL_LEAVE) {
        if (hovering) {
          this->color(savedColor);
          this->selection_color(savedSelectionColor);
          hovering = false;
        }
        this->redraw();
        return 1;
      }
    }
    return T::handle(event);
  }

  bool Hovering() const { return hovering; }

 private:
  Fl_Color savedColor = this->color();
  Fl_Color savedSelectionColor = this->selection_color();
  bool hovering = false;
};

// Holds a text widget's buffer, one that wipes what it held. It is a base
// listed before the FLTK widget, so the buffer outlives the widget, whose
// destructor still detaches from it.
class FlTextBufferOwner {
 public:
  Fl_SecureTextBuffer* SecureBuffer() const { return ownedBuffer.get(); }
  // A secret text (a password, notes) never reaches FLTK's selections.
  void SetSecretText(bool secret) { secretText = secret; }
  bool SecretText() const { return secretText; }

  // The keys with which FLTK's text widgets copy or cut the selection to the
  // clipboard: Ctrl+C, Ctrl+Insert, Ctrl+X and Shift+Delete.
  static bool IsCopyKey() {
    const int key = Fl::event_key();
    const int state = Fl::event_state();
    if (state & FL_CTRL) return key == 'c' || key == 'x' || key == FL_Insert;
    return (state & FL_SHIFT) && key == FL_Delete;
  }

 protected:
  std::unique_ptr<Fl_SecureTextBuffer> ownedBuffer = std::make_unique<Fl_SecureTextBuffer>();
  bool secretText = false;
};

// The text area widget: owns its text buffer, lets only the left mouse button
// reach the text widget (no middle-button paste, no drag with other buttons)
// and runs the callback after mouse presses, releases and focus loss. Key
// presses come through VuzIDOKeyFilter, which runs the callback after them.
// A secret area's text widget sees every event under a secret-selection
// guard, and never its copy keys: copying a secret is the program's to do,
// through the clipboard that is cleared in time.
template <class T>
class VuzIDOTextArea : public FlTextBufferOwner, public T {
 public:
  VuzIDOTextArea(int x, int y, int w, int h, const char* label = nullptr) : FlTextBufferOwner(), T(x, y, w, h, label) {
    T::buffer(ownedBuffer.get());
  }

  int handle(int event) override {
    switch (event) {
      case FL_PUSH:
      case FL_RELEASE: {
        if (Fl::event_button() != FL_LEFT_MOUSE) {
          this->do_callback(this, this->user_data());
          return 1;
        }
        Fl_Widget_Tracker tracker(this);
        int result = TextHandle(event);
        if (!tracker.deleted()) this->do_callback(this, this->user_data());
        return result;
      }
      case FL_DRAG:
        // The text widget extends its selection on any drag; only the left
        // button, the one that started it, may.
        if (!(Fl::event_state() & FL_BUTTON1)) return 1;
        return TextHandle(event);
      case FL_UNFOCUS: {
        Fl_Widget_Tracker tracker(this);
        int result = TextHandle(event);
        if (!tracker.deleted()) this->do_callback(this, this->user_data());
        return result;
      }
      case FL_KEYDOWN:
      case FL_SHORTCUT:
        if (secretText && IsCopyKey()) return 1;
        return TextHandle(event);
      default:
        return TextHandle(event);
    }
  }

 private:
  int TextHandle(int event) {
    if (!secretText) return T::handle(event);
    FlSecretSelectionGuard guard(ownedBuffer.get());
    return T::handle(event);
  }
};
