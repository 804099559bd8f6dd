#pragma once

#include <cstdint>

#include "gui/fltk/TFLGadget.h"

class Fl_Text_Display;
class Fl_Text_Buffer;

// A multi-line text area: an editor, or with style bit 2 a read-only display;
// style bit 1 wraps lines at the widget's width; TextAreaSecret keeps its text
// out of the PRIMARY selection and lets no key of its own copy it. Positions and lengths count
// characters (units 1, one byte of the FLTK buffer each) or lines (units 2).
//
// Text typed or pasted by the user reports GadgetAction; text set by the
// program does not: every change the program makes adds one to `ignore`, and
// the buffer's modify callback swallows that many changes.
class TFLTextArea : public TFLGadget {
 public:
  int32_t InitGadget() override;
  int32_t Class() override;
  String GetText() override;
  int32_t SetText(const String& text) override;
  // 0 focus, 1 cut, 2 copy, 3 paste (through the desktop clipboard).
  int32_t Activate(int32_t command) override;
  int32_t CharAt(int32_t line) override;
  int32_t LineAt(int32_t index) override;
  int32_t CharX(int32_t index) override;
  int32_t CharY(int32_t index) override;
  int32_t LockText() override;
  int32_t UnlockText() override;
  int32_t SetTextColor(int32_t r, int32_t g, int32_t b) override;
  int32_t SetFont(const Ref<TGuiFont>& newFont) override;
  String AreaText(int32_t pos, int32_t length, int32_t units) override;
  int32_t AreaLen(int32_t units) override;
  int32_t AddText(const String& text) override;
  int32_t ReplaceText(int32_t pos, int32_t length, const String& text, int32_t units) override;
  int32_t GetCursorPos(int32_t units) override;
  int32_t GetSelectionLength(int32_t units) override;
  int32_t SetSelection(int32_t pos, int32_t length, int32_t units) override;
  int32_t Free() override;
  int32_t OnCallback() override;

  // Records the cursor (pos, or the current one when negative) and the
  // selection length; when either changed and emit is set, posts GadgetSelect.
  virtual int32_t CheckCursorPos(int32_t emit, int32_t pos);
  // The text buffer's modify callback; the user data is the gadget's handle.
  static void EditHandler(int pos, int inserted, int deleted, int restyled, const char* deletedText, void* handle);
  // n copies of fill.
  static String Rept(char16_t fill, int32_t n);

  int32_t textr = 0, textg = 0, textb = 0;
  int32_t locked = 0;
  int32_t lockedpos = 0, lockedlen = 0;
  int32_t intLastCursorPos = -1;
  int32_t intLastCursorLen = -1;

 private:
  Fl_Text_Buffer* Buffer() const;
  bool Editable() const;
  // Puts the selection on the desktop clipboard; false when nothing was copied.
  bool CopySelection();
  // Makes room in the buffer so that inserting bytes never reallocates it.
  void ReserveFor(size_t bytes) const;
  // Character range [start, end) for pos and length in the given units; a
  // negative length runs to the end. Both are kept inside the text.
  void Range(int32_t pos, int32_t length, int32_t units, int& start, int& end) const;
  void Select(int start, int end);
};
