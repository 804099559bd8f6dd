#include "gui/fltk/TFLLabel.h"

#include <FL/Enumerations.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

#include "gui/fltk/Fl_LabelBox.h"

int32_t TFLLabel::InitGadget() {
  fltype = FlKindBox;
  InitWidget();
  if (!flhandle) return 0;
  int align = FL_ALIGN_INSIDE | FL_ALIGN_CLIP | FL_ALIGN_WRAP;
  switch (style & (LabelAlignRight | LabelAlignCenter)) {
    case 0:
      align |= FL_ALIGN_LEFT;
      break;
    case LabelAlignRight:
      align |= FL_ALIGN_RIGHT;
      break;
    default:
      break;
  }
  flhandle->align(Fl_Align(align));
  switch (style & 7) {
    case LabelFrameFlat:
      flhandle->box(FL_BORDER_BOX);
      break;
    case LabelFrameSunken:
      flhandle->box(FL_THIN_DOWN_FRAME);
      break;
    case LabelFrameSeparator:
      flhandle->box(FL_EMBOSSED_FRAME);
      break;
    default:
      flhandle->box(FL_NO_BOX);
      break;
  }
  return 0;
}

int32_t TFLLabel::Class() { return GadgetClassLabel; }

int32_t TFLLabel::SetColor(int32_t r, int32_t g, int32_t b) {
  // A frame has no inside to fill: switch to the filled box so the colour shows.
  if (flhandle) {
    switch (style & 7) {
      case LabelFrameFlat:
        flhandle->box(FL_BORDER_BOX);
        break;
      case LabelFrameSunken:
        flhandle->box(FL_THIN_DOWN_BOX);
        break;
      case LabelFrameSeparator:
        flhandle->box(FL_EMBOSSED_BOX);
        break;
      default:
        flhandle->box(FL_FLAT_BOX);
        break;
    }
  }
  return TFLGadget::SetColor(r, g, b);
}

int32_t TFLLabel::SetText(const String& text) {
  TFLGadget::SetText(text);
  Redraw();
  return 0;
}

int32_t TFLLabel::SetRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  if ((style & 3) == LabelFrameSeparator) {
    if (h < w)
      h = 2;
    else
      w = 2;
  }
  return TGadget::SetRect(x, y, w, h);
}

int32_t TFLLabel::SetFont(const Ref<TGuiFont>& newFont) {
  if (auto* box = FlWidget<Fl_LabelBox>()) {
    auto flFont = std::dynamic_pointer_cast<TFLGUIFont>(newFont);
    if (flFont) box->SetUnderlined((flFont->style & FontStyleUnderline) != 0);
  }
  return TFLGadget::SetFont(newFont);
}

int32_t TFLLabel::Redraw() {
  if (flhandle) {
    const Fl_Boxtype b = flhandle->box();
    // fl_box() turns a frame into its filled box and leaves boxes alone.
    const bool paintsBackground = b != FL_NO_BOX && fl_box(b) == b;
    Fl_Window* window = flhandle->window();
    if (!paintsBackground && window) {
      window->damage(FL_DAMAGE_ALL, flhandle->x(), flhandle->y(), flhandle->w(), flhandle->h());
    }
  }
  return TFLGadget::Redraw();
}
