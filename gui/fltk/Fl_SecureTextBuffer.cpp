#include "gui/fltk/Fl_SecureTextBuffer.h"

#include <cstdlib>
#include <cstring>

#include "runtime/Wipe.h"

namespace {
// Room kept free after each change, so that typing never makes FLTK grow the
// storage on its own.
constexpr int kTypingRoom = 256;
}  // namespace

Fl_SecureTextBuffer::Fl_SecureTextBuffer() : Fl_Text_Buffer(0, 1024) {
  canUndo(0);
  add_modify_callback(Scrub, this);
}

Fl_SecureTextBuffer::~Fl_SecureTextBuffer() {
  remove_modify_callback(Scrub, this);
  SecureWipe(mBuf, static_cast<size_t>(mLength + mGapEnd - mGapStart));
}

void Fl_SecureTextBuffer::WipeGap() { SecureWipe(mBuf + mGapStart, static_cast<size_t>(mGapEnd - mGapStart)); }

void Fl_SecureTextBuffer::ReserveGap(int bytes) {
  const int gap = mGapEnd - mGapStart;
  if (bytes <= gap) return;
  const int newGap = bytes + kTypingRoom;
  char* storage = static_cast<char*>(std::malloc(static_cast<size_t>(mLength + newGap)));
  if (!storage) return;
  std::memcpy(storage, mBuf, static_cast<size_t>(mGapStart));
  std::memcpy(storage + mGapStart + newGap, mBuf + mGapEnd, static_cast<size_t>(mLength - mGapStart));
  std::memset(storage + mGapStart, 0, static_cast<size_t>(newGap));
  SecureWipe(mBuf, static_cast<size_t>(mLength + gap));
  std::free(mBuf);
  mBuf = storage;
  mGapEnd = mGapStart + newGap;
}

void Fl_SecureTextBuffer::Scrub(int, int, int deleted, int, const char* deletedText, void* self) {
  auto* buffer = static_cast<Fl_SecureTextBuffer*>(self);
  // FLTK frees its copy of the deleted text unwiped once every listener has
  // seen it. Line breaks stay, because the display counts the deleted lines.
  if (deletedText && deleted > 0) {
    char* text = const_cast<char*>(deletedText);
    for (int i = 0; i < deleted; ++i) {
      if (text[i] != '\n') text[i] = ' ';
    }
  }
  buffer->WipeGap();
  buffer->ReserveGap(kTypingRoom);
  // The storage that holds the text now is kept out of swap and core dumps.
  SecretPin(buffer->mBuf, static_cast<size_t>(buffer->mLength + buffer->mGapEnd - buffer->mGapStart));
}
