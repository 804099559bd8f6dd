#pragma once

#include "runtime/Stream.h"

// Replaces a file so that a reader only ever sees the old or the new content:
// the new content goes to an owner-only temporary file in the same directory,
// which is flushed, synced and renamed over the target, then the directory is
// synced. A replacement that is not committed leaves no trace. A target that
// is a symbolic link is replaced through it: its final target gets the new
// content and the link stays.
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
  // Like Commit, but only when nothing exists at the target: a file that
  // appeared meanwhile is kept and the answer is false.
  bool CommitNew();

 private:
  void Discard();
  bool Finish(bool replace);

  std::string path_;  // the target with its symbolic links resolved
  std::string tempPath_;
  Ref<TStream> stream_;
  bool failed_ = false;
};

// The file a path finally names: symbolic links are followed (relative ones
// from the link's own directory), up to 40 of them; the last link's target
// need not exist yet. A path that is no link comes back as it is.
std::string ResolveLinks(const std::string& path);

// The directory part of path ("." for a bare name).
std::string DirectoryOf(const std::string& path);

// Makes the entries of path's directory durable (fsync of the directory).
void SyncDirectoryOf(const std::string& path);
