#pragma once

#include <FL/Fl_Text_Buffer.H>

// A text buffer that may hold passwords: it keeps no undo copies, and no text
// that leaves it stays behind in memory. Text deleted or replaced is scrubbed
// in FLTK's deleted-text copy and in the buffer's gap, the storage grows only
// through a reallocation that wipes the old block, and the whole storage is
// wiped when the buffer goes.
class Fl_SecureTextBuffer : public Fl_Text_Buffer {
 public:
  Fl_SecureTextBuffer();
  ~Fl_SecureTextBuffer();
  Fl_SecureTextBuffer(const Fl_SecureTextBuffer&) = delete;
  Fl_SecureTextBuffer& operator=(const Fl_SecureTextBuffer&) = delete;

  // Makes room for inserting bytes without FLTK reallocating (and freeing an
  // unwiped copy of) the text.
  void ReserveGap(int bytes);

 private:
  // Runs after every change, whoever made it: scrubs the deleted text and the
  // gap and keeps room for typing.
  static void Scrub(int pos, int inserted, int deleted, int restyled, const char* deletedText, void* self);
  void WipeGap();
};
