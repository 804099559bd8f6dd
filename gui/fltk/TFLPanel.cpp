#include "gui/fltk/TFLPanel.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/Fl_Panel.h"

int32_t TFLPanel::InitGadget() {
  fltype = FlKindPanel;
  InitWidget();
  if (!flhandle) return 0;
  switch (style & 3) {
    case PanelBorderNone:
      flhandle->box(FL_NO_BOX);
      break;
    case PanelBorderSunken:
      flhandle->box(FL_DOWN_FRAME);
      break;
    case PanelBorderRaised:
      flhandle->box(FL_UP_FRAME);
      break;
    case PanelGroup:
      // The frame stays engraved; children start below the title on the frame line.
      SetOrigin(4, 18);
      break;
  }
  if (style & PanelActive) SetSensitivity(SensitivityMouse | SensitivityKeys);
  return 0;
}

int32_t TFLPanel::Class() { return GadgetClassPanel; }

int32_t TFLPanel::SetEnabled(int32_t flag) {
  TFLGadget::SetEnabled(flag);
  if (Fl_Panel* panel = FlWidget<Fl_Panel>()) panel->SetEnabled(flag != 0);
  return 0;
}

int32_t TFLPanel::Rethink() {
  if (Fl_Panel* panel = FlWidget<Fl_Panel>()) {
    // The picture follows the panel's size; resize first so the rebuild sees it.
    TFLGadget::Rethink();
    panel->RebuildImage();
    return 0;
  }
  return TFLGadget::Rethink();
}

int32_t TFLPanel::SetFLImage(Fl_Image* flImage) {
  if (Fl_Panel* panel = FlWidget<Fl_Panel>()) {
    panel->SetImage(flImage, pixmapflags);
    SetDirty();
  }
  return 0;
}

int32_t TFLPanel::SetColor(int32_t r, int32_t g, int32_t b) {
  if (Fl_Panel* panel = FlWidget<Fl_Panel>()) {
    if (!panel->ColorGiven()) {
      // A frame shows no background: the first colour turns it into its filled box.
      switch (panel->box()) {
        case FL_UP_FRAME:
          panel->box(FL_UP_BOX);
          break;
        case FL_DOWN_FRAME:
          panel->box(FL_DOWN_BOX);
          break;
        case FL_NO_BOX:
          panel->box(FL_FLAT_BOX);
          break;
        default:
          break;
      }
      panel->SetColorGiven(true);
    }
  }
  TFLGadget::SetColor(r, g, b);
  Redraw();
  return 0;
}

int32_t TFLPanel::SetSensitivity(int32_t mask) {
  TGadget::SetSensitivity(mask);
  if (Fl_Panel* panel = FlWidget<Fl_Panel>()) panel->SetSensitive(mask != 0);
  return 0;
}

int32_t TFLPanel::OnMouse() {
  if (CurrentFlEvent() == FL_PUSH) {
    if (Fl_Widget* inner = QueryWidgetHandle(QueryClient)) inner->take_focus();
  }
  return TFLGadget::OnMouse();
}
