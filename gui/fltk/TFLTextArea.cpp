#include "gui/fltk/TFLTextArea.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Text_Editor.H>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gui/core/Event.h"
#include "gui/core/GadgetEvents.h"
#include "gui/fltk/FlClipboard.h"
#include "gui/fltk/FlWidgetLayer.h"
#include "gui/fltk/VuzIDOTemplates.h"
#include "runtime/Wipe.h"

namespace {
// Text read from the buffer may be a password: wipe FLTK's copy before freeing it.
String TakeBufferText(char* bytes, int length) {
  if (!bytes) return String();
  String text = WidenString(std::string_view(bytes, static_cast<size_t>(std::max(length, 0))));
  SecureWipe(bytes, static_cast<size_t>(std::max(length, 0)));
  std::free(bytes);
  return text;
}
}  // namespace

Fl_Text_Buffer* TFLTextArea::Buffer() const {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  return display ? display->buffer() : nullptr;
}

void TFLTextArea::ReserveFor(size_t bytes) const {
  if (auto* owner = FlWidget<FlTextBufferOwner>()) owner->SecureBuffer()->ReserveGap(static_cast<int>(bytes));
}

bool TFLTextArea::Editable() const { return fltype == FlKindTextEditor; }

int32_t TFLTextArea::InitGadget() {
  fltype = (style & 2) ? FlKindTextDisplay : FlKindTextEditor;
  InitWidget();
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  if (!display) return 0;
  display->box(FL_THIN_DOWN_BOX);
  if (style & 1) display->wrap_mode(Fl_Text_Display::WRAP_AT_COLUMN, 0);
  if (auto* owner = FlWidget<FlTextBufferOwner>()) owner->SetSecretText((style & TextAreaSecret) != 0);
  if (Fl_Text_Buffer* buffer = display->buffer()) buffer->add_modify_callback(EditHandler, FlHandleData(ObjHandle()));
  display->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED | FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
  return 0;
}

int32_t TFLTextArea::Class() { return GadgetClassTextArea; }

String TFLTextArea::GetText() { return AreaText(0, -1, 1); }

int32_t TFLTextArea::SetText(const String& text) { return ReplaceText(0, -1, text, 1); }

void TFLTextArea::Range(int32_t pos, int32_t length, int32_t units, int& start, int& end) const {
  Fl_Text_Buffer* buffer = Buffer();
  const int total = buffer ? buffer->length() : 0;
  if (units == 2 && buffer) {
    start = buffer->skip_lines(0, std::max(pos, 0));
    end = length < 0 ? total : buffer->skip_lines(0, std::max(pos, 0) + length);
  } else {
    start = pos;
    end = length < 0 ? total : pos + length;
  }
  start = std::clamp(start, 0, total);
  end = std::clamp(end, start, total);
}

String TFLTextArea::AreaText(int32_t pos, int32_t length, int32_t units) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return String();
  int start = 0, end = 0;
  Range(pos, length, units, start, end);
  return TakeBufferText(buffer->text_range(start, end), end - start);
}

int32_t TFLTextArea::AreaLen(int32_t units) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return 0;
  if (units == 2) return buffer->count_lines(0, buffer->length());
  return buffer->length();
}

int32_t TFLTextArea::AddText(const String& text) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  Fl_Text_Buffer* buffer = Buffer();
  if (!display || !buffer) return 0;
  std::string bytes = NarrowString(text);
  // FLTK reports no change for an empty insertion, so only a real one is ignored.
  if (!bytes.empty() && bytes[0] != '\0') {
    ++ignore;
    ReserveFor(bytes.size());
    buffer->append(bytes.c_str());
  }
  SecureWipe(bytes);
  buffer->unselect();
  display->insert_position(buffer->length());
  CheckCursorPos(0, -1);
  if (!locked) display->show_insert_position();
  return 0;
}

int32_t TFLTextArea::ReplaceText(int32_t pos, int32_t length, const String& text, int32_t units) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return 0;
  int start = 0, end = 0;
  Range(pos, length, units, start, end);
  std::string bytes = NarrowString(text);
  // replace() always reports one change, even when nothing changes.
  ++ignore;
  ReserveFor(bytes.size());
  buffer->replace(start, end, bytes.c_str());
  SecureWipe(bytes);
  CheckCursorPos(0, -1);
  return 0;
}

int32_t TFLTextArea::GetCursorPos(int32_t units) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  Fl_Text_Buffer* buffer = Buffer();
  if (!display || !buffer) return 0;
  int start = 0, end = 0;
  const int pos = (buffer->selection_position(&start, &end) && end > start) ? start : display->insert_position();
  return units == 2 ? buffer->count_lines(0, pos) : pos;
}

int32_t TFLTextArea::GetSelectionLength(int32_t units) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return 0;
  int start = 0, end = 0;
  if (!buffer->selection_position(&start, &end) || end <= start) return 0;
  if (units != 2) return end - start;
  return buffer->count_lines(0, end - 1) - buffer->count_lines(0, start) + 1;
}

void TFLTextArea::Select(int start, int end) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return;
  if (end > start)
    buffer->select(start, end);
  else
    buffer->unselect();
}

int32_t TFLTextArea::SetSelection(int32_t pos, int32_t length, int32_t units) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  Fl_Text_Buffer* buffer = Buffer();
  if (!display || !buffer) return 0;
  const int total = buffer->length();
  if (units == 2) {
    const int start = buffer->skip_lines(0, std::max(pos, 0));
    if (length >= 0) length = std::max(buffer->skip_lines(0, std::max(pos, 0) + length) - start, 0);
    pos = start;
  }
  if (length < 0) length = total - pos;
  if (length < 0) return 0;
  pos = std::clamp(pos, 0, total);
  length = std::min(length, total - pos);
  intLastCursorPos = pos;
  intLastCursorLen = length;
  Select(pos, pos + length);
  display->insert_position(pos + length);
  CheckCursorPos(0, -1);
  if (!locked) display->show_insert_position();
  return 0;
}

int32_t TFLTextArea::Activate(int32_t command) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  auto* editor = Editable() ? FlWidget<Fl_Text_Editor>() : nullptr;
  switch (command) {
    case 0:
      TFLGadget::Activate(0);
      if (display) display->show_cursor(1);
      return 0;
    case 1:
      // Cut and paste change the text: a read-only display offers copy only.
      // The selection goes to the clipboard as a copy does, then goes away
      // as a user's change.
      if (editor && CopySelection()) Fl_Text_Editor::kf_delete(0, editor);
      return 0;
    case 2:
      CopySelection();
      return 0;
    case 3:
      if (editor) Fl_Text_Editor::kf_paste(0, editor);
      return 0;
    default:
      return TFLGadget::Activate(command);
  }
}

bool TFLTextArea::CopySelection() {
  // As FLTK's editor copy: nothing without a selection, else the selected
  // bytes go to the desktop clipboard (and the copy read out is wiped).
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  Fl_Text_Buffer* buffer = Buffer();
  if (!display || !buffer || !buffer->selected()) return false;
  char* bytes = buffer->selection_text();
  const int length = bytes ? static_cast<int>(std::strlen(bytes)) : 0;
  const bool copied = length > 0 && FlCopyToClipboard(bytes, length);
  if (bytes) {
    SecureWipe(bytes, static_cast<size_t>(length));
    std::free(bytes);
  }
  display->show_insert_position();
  return copied;
}

int32_t TFLTextArea::CharAt(int32_t line) {
  Fl_Text_Buffer* buffer = Buffer();
  return buffer ? buffer->skip_lines(0, std::max(line, 0)) : 0;
}

int32_t TFLTextArea::LineAt(int32_t index) {
  Fl_Text_Buffer* buffer = Buffer();
  if (!buffer) return 0;
  return buffer->count_lines(0, std::clamp(index, 0, buffer->length()));
}

int32_t TFLTextArea::CharX(int32_t index) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  int x = 0, y = 0;
  if (!display || !display->position_to_xy(index, &x, &y)) return 0;
  return x - display->x();
}

int32_t TFLTextArea::CharY(int32_t index) {
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  int x = 0, y = 0;
  if (!display || !display->position_to_xy(index, &x, &y)) return 0;
  return y - display->y();
}

int32_t TFLTextArea::LockText() {
  ++locked;
  if (locked == 1) {
    lockedpos = GetCursorPos(1);
    lockedlen = GetSelectionLength(1);
    if (Fl_Text_Buffer* buffer = Buffer()) Select(0, buffer->length());
  }
  return 0;
}

int32_t TFLTextArea::UnlockText() {
  if (locked == 1) {
    Select(lockedpos, lockedpos + lockedlen);
    if (Fl_Text_Display* display = FlWidget<Fl_Text_Display>()) display->redraw();
  }
  if (locked > 0) --locked;
  return 0;
}

int32_t TFLTextArea::SetTextColor(int32_t r, int32_t g, int32_t b) {
  textr = r;
  textg = g;
  textb = b;
  if (Fl_Text_Display* display = FlWidget<Fl_Text_Display>()) {
    display->textcolor(
        fl_rgb_color(uchar(std::clamp(r, 0, 255)), uchar(std::clamp(g, 0, 255)), uchar(std::clamp(b, 0, 255))));
    SetDirty();
  }
  return 0;
}

int32_t TFLTextArea::SetFont(const Ref<TGuiFont>& newFont) {
  TFLGadget::SetFont(newFont);
  Fl_Text_Display* display = FlWidget<Fl_Text_Display>();
  if (display && font) {
    display->textfont(Fl_Font(font->flfont));
    display->textsize(Fl_Fontsize(font->flsize));
  }
  return 0;
}

int32_t TFLTextArea::Free() {
  if (Fl_Text_Buffer* buffer = Buffer()) buffer->remove_modify_callback(EditHandler, FlHandleData(objhandle));
  return TFLGadget::Free();
}

int32_t TFLTextArea::CheckCursorPos(int32_t emit, int32_t pos) {
  if (pos < 0) pos = GetCursorPos(1);
  const int32_t length = GetSelectionLength(1);
  if (pos == intLastCursorPos && length == intLastCursorLen) return 0;
  intLastCursorPos = pos;
  intLastCursorLen = length;
  if (emit) GadgetPostEvent(GadgetSelect, Self(), 0);
  return 0;
}

int32_t TFLTextArea::OnCallback() {
  if (!flhandle) return 0;
  const Ref<TGadget> self = Self();
  const int32_t x = Fl::event_x() - AbsoluteX();
  const int32_t y = Fl::event_y() - AbsoluteY();
  switch (CurrentFlEvent()) {
    case FL_PUSH: {
      Fl_Text_Buffer* buffer = Buffer();
      if (Fl::event_button() == FL_LEFT_MOUSE || !buffer || !buffer->selected()) CheckCursorPos(1, -1);
      break;
    }
    case FL_RELEASE:
      CheckCursorPos(1, -1);
      if (Fl::event_button() == FL_RIGHT_MOUSE) GadgetPostEvent(GadgetMenu, self, 0, 0, x, y);
      break;
    case FL_KEYDOWN:
      if (Editable() && flhandle->changed()) GadgetPostEvent(GadgetAction, self, 0);
      CheckCursorPos(1, -1);
      break;
    case FL_UNFOCUS:
      GadgetPostEvent(GadgetLostFocus, self);
      break;
    default:
      break;
  }
  return 0;
}

void TFLTextArea::EditHandler(int pos, int inserted, int deleted, int, const char*, void* handle) {
  auto area = std::dynamic_pointer_cast<TFLTextArea>(FromData(handle));
  if (!area) return;
  if (area->ignore > 0) {
    --area->ignore;
    return;
  }
  if (inserted || deleted) {
    area->CheckCursorPos(1, pos + inserted);
    GadgetPostEvent(GadgetAction, area->Self(), 0);
  }
}

String TFLTextArea::Rept(char16_t fill, int32_t n) { return String(static_cast<size_t>(std::max(n, 0)), fill); }
