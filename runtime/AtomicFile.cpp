#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

bool TAtomicFile::Commit() { return Finish(true); }

bool TAtomicFile::CommitNew() { return Finish(false); }

bool TAtomicFile::Finish(bool replace) {
  if (!stream_) return false;
  bool ok = !failed_ && stream_->Sync();
  ok = stream_->Close() && ok;
  if (ok && replace) ok = ::rename(tempPath_.c_str(), path_.c_str()) == 0;
  // A hard link never replaces an existing file; the temporary name goes
  // afterwards (Discard).
  if (ok && !replace) ok = ::link(tempPath_.c_str(), path_.c_str()) == 0;
  if (!ok || !replace) Discard();
  if (!ok) return false;
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
