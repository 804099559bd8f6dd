#include "gui/fltk/TFLTextField.h"

#include <FL/Enumerations.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>

#include <string>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "runtime/Wipe.h"

namespace {
// FLTK keeps one undo buffer for all its inputs: the text the last edit took
// out (a selected passphrase typed over), freed unwiped when it grows. An
// input of this module's own, in no window, overwrites it: an edit in another
// widget makes FLTK copy its undo text to the buffer's start, so cutting a
// value of kSecretFieldCapacity spaces covers whatever a hidden field (kept
// shorter) left there; emptying the value then leaves no undo to anyone. The
// first scrub also makes the buffer that long, so that no edit of a hidden
// field grows (and frees) it later.
void ScrubInputUndo() {
  static Fl_Input* scrubber = [] {
    Fl_Group* current = Fl_Group::current();
    Fl_Group::current(nullptr);
    auto* input = new Fl_Input(0, 0, 1, 1);
    Fl_Group::current(current);
    input->when(FL_WHEN_NEVER);
    return input;
  }();
  const std::string filler(TFLTextField::kSecretFieldCapacity, ' ');
  scrubber->value(filler.data(), static_cast<int>(filler.size()));
  scrubber->replace(0, scrubber->size(), nullptr, 0);
  scrubber->value("", 0);
}
}  // namespace

int32_t TFLTextField::InitGadget() {
  fltype = (style & TextFieldPassword) ? FlKindSecretInput : FlKindInput;
  InitWidget();
  if (flhandle) flhandle->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED | FL_WHEN_RELEASE);
  Fl_Input* input = FlWidget<Fl_Input>();
  if (input && fltype == FlKindSecretInput) {
    // Copying a value of the full capacity makes FLTK allocate its buffer
    // once; an empty value then leaves that buffer for the typing to use.
    const std::string room(kSecretFieldCapacity, ' ');
    input->value(room.data(), static_cast<int>(room.size()));
    secretBuffer = const_cast<char*>(input->value());
    input->value("", 0);
    input->maximum_size(static_cast<int>(kSecretFieldCapacity) - 16);
    ScrubInputUndo();
  }
  return 0;
}

void TFLTextField::WipeSecret() {
  if (!secretBuffer) return;
  SecureWipe(secretBuffer, kSecretFieldCapacity);
  ScrubInputUndo();
}

int32_t TFLTextField::Free() {
  WipeSecret();
  secretBuffer = nullptr;
  return TFLGadget::Free();
}

int32_t TFLTextField::Class() { return GadgetClassTextField; }

String TFLTextField::GetText() {
  Fl_Input* input = FlWidget<Fl_Input>();
  if (!input || !input->value()) return String();
  return WidenString(std::string_view(input->value(), static_cast<size_t>(input->size())));
}

int32_t TFLTextField::SetText(const String& text) {
  Fl_Input* input = FlWidget<Fl_Input>();
  if (!input) return 0;
  std::string bytes = NarrowString(text);
  if (secretBuffer) {
    input->value("", 0);
    WipeSecret();
    if (bytes.size() > static_cast<size_t>(input->maximum_size())) bytes.resize(input->maximum_size());
  }
  input->value(bytes.data(), static_cast<int>(bytes.size()));
  input->position(0, input->size());
  SecureWipe(bytes);
  return 0;
}

int32_t TFLTextField::SetFont(const Ref<TGuiFont>& newFont) {
  TFLGadget::SetFont(newFont);
  Fl_Input* input = FlWidget<Fl_Input>();
  if (input && font) {
    input->textfont(Fl_Font(font->flfont));
    input->textsize(Fl_Fontsize(font->flsize));
  }
  return 0;
}

int32_t TFLTextField::Activate(int32_t command) {
  TFLGadget::Activate(command);
  if (command == 0) {
    if (Fl_Input* input = FlWidget<Fl_Input>()) input->position(input->size(), 0);
  }
  return 0;
}

int32_t TFLTextField::OnCallback() {
  Fl_Input* input = FlWidget<Fl_Input>();
  if (!input) return 0;
  const Ref<TGadget> self = Self();
  if (input->changed()) {
    input->clear_changed();
    // A hidden field's edit leaves nothing to undo: no passphrase stays in
    // FLTK's undo buffer between keys.
    if (secretBuffer) ScrubInputUndo();
    GadgetPostEvent(GadgetAction, self, 0);
  }
  if (CurrentFlEvent() == FL_UNFOCUS) GadgetPostEvent(GadgetLostFocus, self);
  return 0;
}
