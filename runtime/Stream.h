#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Object.h"
#include "runtime/String.h"

// A buffered byte stream over a file descriptor, with the text-line rules both
// data files share: a written line is its bytes (low 8 bits of each character)
// then CR LF; a read line ends at LF, NUL or the end of the file, and every CR
// in it is dropped.
class TStream : public TObject {
 public:
  TStream(int fd, bool writable);
  ~TStream() override;

  bool Eof();
  // The next byte, 0 to 255; 0 when the stream is at its end (test Eof first).
  int ReadByte();
  // Up to count bytes; 0 at the end of the stream.
  size_t Read(uint8_t* out, size_t count);
  String ReadLine();

  bool WriteBytes(const uint8_t* bytes, size_t count);
  // True only when the text and both terminator bytes were written.
  bool WriteLine(const String& text);
  bool Flush();
  // Flushes and asks the kernel to put the data on disk.
  bool Sync();
  // False when buffered data could not be written or the close failed.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }

 private:
  bool Fill();

  int fd_;
  bool writable_;
  bool failed_ = false;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  size_t len_ = 0;
  bool atEnd_ = false;
};

// 0: nothing at the path (or it cannot be examined), 1: regular file, 2: directory.
int PathKind(const String& path);
Ref<TStream> OpenForReading(const String& path);
// Creates or truncates the file (owner-only when created).
Ref<TStream> OpenForWriting(const String& path);
