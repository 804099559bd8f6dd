#pragma once

#include "runtime/Stream.h"

// Replaces a file so that a reader only ever sees the old or the new content:
// the new content goes to an owner-only temporary file in the same directory,
// which is flushed, synced and renamed over the target, then the directory is
// synced. A replacement that is not committed leaves no trace.
class TAtomicFile {
 public:
  explicit TAtomicFile(String path);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  bool Open();
  TStream& Stream() { return *stream_; }
  // Writes a line and remembers a failure for Commit.
  void WriteLine(const String& text);
  // True when the new content is in place; false leaves the old file as it was.
  bool Commit();

 private:
  void Discard();

  String path_;
  std::string tempPath_;
  Ref<TStream> stream_;
  bool failed_ = false;
};
