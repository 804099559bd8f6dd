#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string DirectoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}
}  // namespace

TAtomicFile::TAtomicFile(String path) : path_(std::move(path)) {}

TAtomicFile::~TAtomicFile() { Discard(); }

bool TAtomicFile::Open() {
  std::string pattern = NarrowString(path_) + ".tmpXXXXXX";
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

bool TAtomicFile::Commit() {
  if (!stream_) return false;
  bool ok = !failed_ && stream_->Sync();
  ok = stream_->Close() && ok;
  std::string target = NarrowString(path_);
  if (ok) ok = ::rename(tempPath_.c_str(), target.c_str()) == 0;
  if (!ok) {
    Discard();
    return false;
  }
  tempPath_.clear();
  stream_.reset();
  int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void TAtomicFile::Discard() {
  if (stream_) stream_->Close();
  stream_.reset();
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}
