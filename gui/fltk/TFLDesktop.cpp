#include "gui/fltk/TFLDesktop.h"

#include <FL/Fl.H>

int32_t TFLDesktop::InitGadget() {
  SetRect(Fl::x(), Fl::y(), Fl::w(), Fl::h());
  return 0;
}

int32_t TFLDesktop::Class() { return GadgetClassDesktop; }

Ref<TGadget> TFLDesktop::CreateDesktop() {
  InitGadget();
  return Self();
}
