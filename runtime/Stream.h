#pragma once

#include <cstdint>
#include <string>
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
  // ReadLine for outside files: a line longer than maxChars characters (CRs
  // not counted) answers false with out wiped and emptied, and the stream
  // stops just past the character that broke the cap, so a hostile file never
  // grows a line beyond it. At the end of the stream out is empty and the
  // answer true, as ReadLine answers an empty line there.
  bool ReadLineBounded(String& out, size_t maxChars);

  // At most maxBytes more bytes are read from the descriptor (set it before
  // reading); past them the stream reads as ended and LimitExceeded answers
  // true, so that a file growing while it is read cannot make a reader hold
  // more than it allowed for.
  void SetReadLimit(uint64_t maxBytes);
  bool LimitExceeded() const { return limitExceeded_; }

  bool WriteBytes(const uint8_t* bytes, size_t count);
  // True only when the text and both terminator bytes were written.
  bool WriteLine(const String& text);
  bool Flush();
  // Flushes and asks the kernel to put the data on disk.
  bool Sync();
  // False when buffered data could not be written or the close failed.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }
  // The open descriptor, or -1; the stream still owns it.
  int Descriptor() const { return fd_; }

 private:
  bool Fill();
  bool ReadLineInto(String& line, size_t maxChars);

  int fd_;
  bool writable_;
  bool failed_ = false;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  size_t len_ = 0;
  bool atEnd_ = false;
  uint64_t readLimit_ = UINT64_MAX;  // bytes that may still be read from fd_
  bool limitExceeded_ = false;
};

// 0: nothing at the path (or it cannot be examined), 1: regular file, 2: directory.
int PathKind(const String& path);
Ref<TStream> OpenForReading(const String& path);

// Why OpenRegularForReading or ReadRegularFile gave nothing.
enum class TOpenRefusal { None, Missing, NotRegular, TooLarge, Unreadable };

// Opens a file whose content comes from outside: only a regular file (or a
// symbolic link to one) of at most maxBytes bytes, and the stream never
// delivers more than that even if the file grows. A FIFO, device, socket or
// directory is refused without waiting and without reading from it. Null on
// refusal, with the reason in *why when why is given.
Ref<TStream> OpenRegularForReading(const String& path, uint64_t maxBytes, TOpenRefusal* why = nullptr);
// The exact bytes of a small regular file, under the same rules; false leaves
// bytes empty (and wiped: a key file's bytes are secret).
bool ReadRegularFile(const String& path, uint64_t maxBytes, std::string& bytes, TOpenRefusal* why = nullptr);
// Creates or truncates the file (owner-only when created).
Ref<TStream> OpenForWriting(const String& path);
