#include "gui/fltk/TFLButton.h"

#include <FL/Enumerations.H>
#include <FL/Fl_Button.H>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"

int32_t TFLButton::InitGadget() {
  fltype = FlKindButton;
  int align = FL_ALIGN_INSIDE | FL_ALIGN_CLIP | FL_ALIGN_WRAP;
  const bool pushLike = (style & ButtonPushLike) != 0;
  switch (style & 7) {
    case ButtonPush:
      style = ButtonPushLike;
      break;
    case ButtonCheckBox:
      if (pushLike) {
        fltype = FlKindToggleCheck;
      } else {
        fltype = FlKindCheckButton;
        align |= FL_ALIGN_LEFT;
      }
      break;
    case ButtonRadio:
      if (pushLike) {
        fltype = FlKindToggleRadio;
      } else {
        fltype = FlKindRoundButton;
        align |= FL_ALIGN_LEFT;
      }
      break;
    case ButtonOk:
      fltype = FlKindReturnButton;
      break;
    case ButtonCancel:
      flkey = FL_Escape;
      break;
    default:
      break;
  }
  InitWidget();
  if (!flhandle) return 0;
  flhandle->align(Fl_Align(align));
  flhandle->when(FL_WHEN_RELEASE);
  return 0;
}

int32_t TFLButton::Class() { return GadgetClassButton; }

int32_t TFLButton::State() {
  Fl_Button* button = FlWidget<Fl_Button>();
  return TFLGadget::State() + (button && button->value() ? GadgetStateSelected : 0);
}

int32_t TFLButton::SetText(const String& text) {
  currentText = text;
  // 0x10: the button shows its picture without text.
  if (!(pixmapflags & 0x10)) TFLGadget::SetText(text);
  return 0;
}

String TFLButton::GetText() { return currentText; }

int32_t TFLButton::SetSelected(int32_t flag) {
  if (IsRadio() && flag) ExcludeOthers();
  if (Fl_Button* button = FlWidget<Fl_Button>()) button->value(flag ? 1 : 0);
  return 0;
}

int32_t TFLButton::ExcludeOthers() {
  if (!parent) return 0;
  const std::vector<Ref<TGadget>> siblings = parent->kids;
  for (const Ref<TGadget>& kid : siblings) {
    Ref<TFLWidget> other = AsFLWidget(kid);
    if (!other || other.get() == this) continue;
    if (other->fltype != FlKindRoundButton && other->fltype != FlKindToggleRadio) continue;
    if (auto* button = other->FlWidget<Fl_Button>()) button->value(0);
  }
  return 0;
}

int32_t TFLButton::SetHotKey(int32_t key, int32_t modifiers) {
  flkey = TFLGadget::SetHotKey(key, modifiers);
  if (Fl_Button* button = FlWidget<Fl_Button>()) button->shortcut(flkey);
  return 0;
}

int32_t TFLButton::OnCallback() {
  // FLTK has already toggled check and toggle buttons; a radio button is forced
  // on (a click on a radio button that is on leaves it on).
  if (IsRadio()) SetSelected(GadgetStateSelected);
  GadgetPostEvent(GadgetAction, Self(), State());
  return 0;
}
