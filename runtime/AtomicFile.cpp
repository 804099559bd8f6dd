#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {
TFileStamp StampOf(const struct stat& st) {
  TFileStamp stamp;
  stamp.exists = true;
  stamp.st_dev = st.st_dev;
  stamp.st_ino = st.st_ino;
  stamp.st_size = st.st_size;
  stamp.st_mtim = st.st_mtim;
  return stamp;
}
}  // namespace

bool TFileStamp::operator==(const TFileStamp& other) const {
  if (exists != other.exists) return false;
  return !exists || (st_dev == other.st_dev && st_ino == other.st_ino && st_size == other.st_size &&
                     st_mtim.tv_sec == other.st_mtim.tv_sec && st_mtim.tv_nsec == other.st_mtim.tv_nsec);
}

TFileStamp FileStampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return TFileStamp();
  return StampOf(st);
}

std::string DirectoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return current;
    std::string next(target.data(), static_cast<size_t>(n));
    if (next.empty()) return current;
    current = next[0] == '/' ? next : DirectoryOf(current) + "/" + next;
  }
  return current;
}

void SyncDirectoryOf(const std::string& path) {
  int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

TAtomicFile::TAtomicFile(String path) : path_(ResolveLinks(NarrowString(path))) {}

TAtomicFile::~TAtomicFile() { Discard(); }

bool TAtomicFile::Open() {
  std::string pattern = path_ + ".tmpXXXXXX";
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return false;
  ::fchmod(fd, 0600);
  tempPath_ = pattern;
  stream_ = New<TStream>(fd, true);
  failed_ = false;
  return true;
}

void TAtomicFile::WriteLine(const String& text) {
  if (!stream_ || !stream_->WriteLine(text)) failed_ = true;
}

void TAtomicFile::ExpectTarget(const TFileStamp& stamp) {
  expecting_ = true;
  expected_ = stamp;
}

bool TAtomicFile::Commit() { return Finish(true); }

bool TAtomicFile::CommitNew() { return Finish(false); }

bool TAtomicFile::Finish(bool replace) {
  if (!stream_) return false;
  targetChanged_ = false;
  written_ = TFileStamp();
  bool ok = !failed_ && stream_->Sync();
  struct stat st;
  if (ok && ::fstat(stream_->Descriptor(), &st) == 0) written_ = StampOf(st);
  ok = stream_->Close() && ok && written_.exists;
  // Looked at last, once the new content is on disk, so that a replacement
  // can only slip in during the few calls up to the rename.
  if (ok && expecting_ && FileStampOf(path_) != expected_) {
    targetChanged_ = true;
    ok = false;
  }
  if (ok && replace) ok = ::rename(tempPath_.c_str(), path_.c_str()) == 0;
  // A hard link never replaces an existing file; the temporary name goes
  // afterwards (Discard).
  if (ok && !replace) ok = ::link(tempPath_.c_str(), path_.c_str()) == 0;
  if (!ok || !replace) Discard();
  if (!ok) {
    written_ = TFileStamp();
    return false;
  }
  tempPath_.clear();
  stream_.reset();
  SyncDirectoryOf(path_);
  return true;
}

void TAtomicFile::Discard() {
  if (stream_) stream_->Close();
  stream_.reset();
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}
