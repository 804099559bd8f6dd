#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Text_Buffer.H>

#include <memory>

// Holds a text area's buffer. It is a base class listed before the FLTK text
// widget, so the buffer is created before the widget and destroyed after it:
// the widget's destructor still unregisters itself from the buffer.
class VuzIDOTextBufferOwner {
 protected:
  // Empty, with FLTK's preferred gap of 1024 bytes.
  std::unique_ptr<Fl_Text_Buffer> ownedBuffer{new Fl_Text_Buffer(0, 1024)};
};

// The text area widgets (T is Fl_Text_Editor or Fl_Text_Display), each with a
// buffer of its own that lives exactly as long as the widget.
//
// Only the left button reaches the FLTK text widget, so a middle click never
// pastes the primary selection and no other button drags a selection; every
// press, release and focus loss still runs the widget's callback, which turns
// it into gadget events. Key presses are filtered, and followed by the
// callback, in the key-filter wrapper around this one.
template <class T>
class VuzIDOTextArea : private VuzIDOTextBufferOwner, public T {
 public:
  VuzIDOTextArea(int x, int y, int w, int h, const char* label = nullptr) : T(x, y, w, h, label) {
    T::buffer(ownedBuffer.get());
  }

  int handle(int event) override {
    switch (event) {
      case FL_PUSH:
      case FL_RELEASE: {
        if (Fl::event_button() != FL_LEFT_MOUSE) {
          this->do_callback();
          return 1;
        }
        int used = T::handle(event);
        this->do_callback();
        return used;
      }
      case FL_UNFOCUS: {
        int used = T::handle(event);
        this->do_callback();
        return used;
      }
      default:
        return T::handle(event);
    }
  }
};
