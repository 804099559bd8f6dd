#pragma once

#include <sys/types.h>
#include <time.h>

#include "runtime/Stream.h"

// The identity of what a path names, to tell whether another program has
// replaced or rewritten a file since we last read or wrote it (a sync tool
// renames its own copy over it). Two stamps of nothing are equal.
struct TFileStamp {
  bool exists = false;
  dev_t st_dev = 0;
  ino_t st_ino = 0;
  off_t st_size = 0;
  timespec st_mtim{};

  bool operator==(const TFileStamp& other) const;
};

// The stamp of the file path names, symbolic links followed; exists is false
// when there is nothing there (or it cannot be examined).
TFileStamp FileStampOf(const std::string& path);

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

  // Commit and CommitNew then first check that the target is still what
  // stamp describes (a stamp of nothing: that there is still nothing), right
  // before the rename; when it is not, the new content is discarded, the
  // other program's file stays, the commit fails and TargetChanged answers
  // true.
  void ExpectTarget(const TFileStamp& stamp);
  bool TargetChanged() const { return targetChanged_; }
  // After a successful commit: the stamp of the file now in place. It is
  // taken from the temporary file once it is written and synced; the rename
  // keeps device, inode, size and modification time, so no replacement after
  // the rename can pass for our own file.
  const TFileStamp& Written() const { return written_; }

 private:
  void Discard();
  bool Finish(bool replace);

  std::string path_;  // the target with its symbolic links resolved
  std::string tempPath_;
  Ref<TStream> stream_;
  bool failed_ = false;
  bool expecting_ = false;
  TFileStamp expected_;
  bool targetChanged_ = false;
  TFileStamp written_;
};

// The file a path finally names: symbolic links are followed (relative ones
// from the link's own directory), up to 40 of them; the last link's target
// need not exist yet. A path that is no link comes back as it is.
std::string ResolveLinks(const std::string& path);

// The directory part of path ("." for a bare name).
std::string DirectoryOf(const std::string& path);

// Makes the entries of path's directory durable (fsync of the directory).
void SyncDirectoryOf(const std::string& path);
