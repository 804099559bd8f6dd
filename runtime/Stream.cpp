#include "runtime/Stream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "runtime/TestSeams.h"
#include "runtime/Wipe.h"

namespace {
constexpr size_t kBufferSize = 16384;
int64_t writeBudget = -1;

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    size_t allowed = count;
    if (writeBudget >= 0) {
      if (writeBudget == 0) return false;
      allowed = count < static_cast<size_t>(writeBudget) ? count : static_cast<size_t>(writeBudget);
    }
    ssize_t n = ::write(fd, bytes, allowed);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (writeBudget >= 0) writeBudget -= n;
    bytes += n;
    count -= static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

void StreamFailWritesAfter(int64_t bytes) { writeBudget = bytes; }

TStream::TStream(int fd, bool writable) : fd_(fd), writable_(writable) { buffer_.reserve(kBufferSize); }

TStream::~TStream() {
  Close();
  // The buffer may have held key material or plaintext.
  SecureWipe(buffer_);
}

bool TStream::Fill() {
  if (fd_ < 0 || writable_ || atEnd_) return false;
  buffer_.resize(kBufferSize);
  for (;;) {
    // At the limit one more byte is asked for, only to learn whether the
    // file goes on; it is never delivered.
    const size_t want = readLimit_ < kBufferSize ? static_cast<size_t>(readLimit_) : kBufferSize;
    ssize_t n = ::read(fd_, buffer_.data(), want > 0 ? want : 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed_ = true;
    if (n > 0 && want == 0) {
      limitExceeded_ = true;
      SecureWipe(buffer_.data(), 1);
      n = 0;
    }
    if (n <= 0) {
      atEnd_ = true;
      pos_ = len_ = 0;
      return false;
    }
    readLimit_ -= static_cast<uint64_t>(n);
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    return true;
  }
}

void TStream::SetReadLimit(uint64_t maxBytes) { readLimit_ = maxBytes; }

bool TStream::Eof() {
  if (pos_ < len_) return false;
  return !Fill();
}

int TStream::ReadByte() {
  if (pos_ >= len_ && !Fill()) return 0;
  return buffer_[pos_++];
}

size_t TStream::Read(uint8_t* out, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (pos_ >= len_ && !Fill()) break;
    size_t take = len_ - pos_;
    if (take > count - done) take = count - done;
    std::memcpy(out + done, buffer_.data() + pos_, take);
    pos_ += take;
    done += take;
  }
  return done;
}

String TStream::ReadLine() {
  String line;
  ReadLineInto(line, SIZE_MAX);
  return line;
}

bool TStream::ReadLineBounded(String& out, size_t maxChars) { return ReadLineInto(out, maxChars); }

bool TStream::ReadLineInto(String& line, size_t maxChars) {
  // The line may be a secret: it is taken in runs up to the line end or the
  // buffer's end, and its storage grows by hand so that every outgrown copy
  // is wiped before it is released.
  SecureWipe(line);
  line.clear();
  while (pos_ < len_ || Fill()) {
    // Locals: the compiler cannot keep members in registers across stores
    // through byte pointers.
    const uint8_t* const data = buffer_.data();
    const size_t start = pos_, length = len_;
    size_t end = start, kept = line.size();
    while (end < length && data[end] != 10 && data[end] != 0 && kept <= maxChars) {
      if (data[end] != 13) ++kept;
      ++end;
    }
    if (kept > maxChars) {
      pos_ = end;
      SecureWipe(line);
      line.clear();
      return false;
    }
    if (kept > line.capacity()) {
      String bigger;
      bigger.reserve(std::max(line.capacity() * 2, kept + 16));
      bigger = line;
      SecureWipe(line);
      line.swap(bigger);
    }
    size_t at = line.size();
    line.resize(kept);
    char16_t* const out = line.data();
    for (size_t i = start; i < end; ++i) {
      if (data[i] != 13) out[at++] = static_cast<char16_t>(data[i]);
    }
    const bool complete = end < length;
    pos_ = complete ? end + 1 : end;
    if (complete) break;
  }
  return true;
}

bool TStream::WriteBytes(const uint8_t* bytes, size_t count) {
  if (fd_ < 0 || !writable_) return false;
  if (len_ + count > kBufferSize) {
    if (!Flush()) return false;
    if (count > kBufferSize) return WriteAll(fd_, bytes, count) || (failed_ = true, false);
  }
  if (buffer_.size() < kBufferSize) buffer_.resize(kBufferSize);
  for (size_t i = 0; i < count; ++i) buffer_[len_ + i] = bytes[i];
  len_ += count;
  return true;
}

bool TStream::WriteLine(const String& text) {
  // Sized once: growing would leave an unwiped copy of a key line behind.
  ByteArray bytes(text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<uint8_t>(text[i] & 0xFF);
  bytes[text.size()] = 13;
  bytes[text.size() + 1] = 10;
  bool ok = WriteBytes(bytes.data(), bytes.size());
  SecureWipe(bytes);
  return ok;
}

bool TStream::Flush() {
  if (fd_ < 0 || !writable_) return !failed_;
  if (len_ > 0) {
    if (!WriteAll(fd_, buffer_.data(), len_)) failed_ = true;
    SecureWipe(buffer_.data(), len_);
    len_ = 0;
  }
  return !failed_;
}

bool TStream::Sync() {
  if (!Flush()) return false;
  if (fd_ >= 0 && ::fsync(fd_) != 0) failed_ = true;
  return !failed_;
}

bool TStream::Close() {
  if (fd_ < 0) return !failed_;
  bool ok = Flush();
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  SecureWipe(buffer_);
  pos_ = len_ = 0;
  return ok && !failed_;
}

int PathKind(const String& path) {
  struct stat st;
  if (::stat(NarrowString(path).c_str(), &st) != 0) return 0;
  if (S_ISREG(st.st_mode)) return 1;
  if (S_ISDIR(st.st_mode)) return 2;
  return 0;
}

Ref<TStream> OpenForReading(const String& path) {
  int fd = ::open(NarrowString(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // A directory opens, but reading it fails; it is not a readable file.
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return New<TStream>(fd, false);
}

namespace {
TOpenRefusal RefusalOf(int error) {
  return error == ENOENT || error == ENOTDIR ? TOpenRefusal::Missing : TOpenRefusal::Unreadable;
}

TOpenRefusal CheckRegular(const struct stat& st, uint64_t maxBytes) {
  if (!S_ISREG(st.st_mode)) return TOpenRefusal::NotRegular;
  if (static_cast<uint64_t>(st.st_size) > maxBytes) return TOpenRefusal::TooLarge;
  return TOpenRefusal::None;
}

Ref<TStream> OpenRegular(const std::string& name, uint64_t maxBytes, TOpenRefusal& why) {
  // Looked at before opening, because opening a device can do something of
  // its own; the descriptor decides afterwards, as the path may name
  // something else by then.
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) {
    why = RefusalOf(errno);
    return nullptr;
  }
  if ((why = CheckRegular(st, maxBytes)) != TOpenRefusal::None) return nullptr;
  // Should a FIFO have taken the file's place, O_NONBLOCK opens it at once
  // instead of waiting for a writer; a terminal never becomes ours.
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = RefusalOf(errno);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fstat(fd, &st) != 0) {
    why = TOpenRefusal::Unreadable;
  } else if ((why = CheckRegular(st, maxBytes)) == TOpenRefusal::None &&
             ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    why = TOpenRefusal::Unreadable;
  }
  if (why != TOpenRefusal::None) {
    ::close(fd);
    return nullptr;
  }
  Ref<TStream> stream = New<TStream>(fd, false);
  stream->SetReadLimit(maxBytes);
  return stream;
}

// Appends without leaving an unwiped copy behind when the storage grows.
void AppendWiping(std::string& bytes, const uint8_t* data, size_t count) {
  if (bytes.size() + count > bytes.capacity()) {
    std::string bigger;
    bigger.reserve(std::max(bytes.capacity() * 2, bytes.size() + count));
    bigger = bytes;
    SecureWipe(bytes);
    bytes.swap(bigger);
  }
  bytes.append(reinterpret_cast<const char*>(data), count);
}
}  // namespace

Ref<TStream> OpenRegularForReading(const String& path, uint64_t maxBytes, TOpenRefusal* why) {
  TOpenRefusal refusal = TOpenRefusal::None;
  Ref<TStream> stream = OpenRegular(NarrowString(path), maxBytes, refusal);
  if (why) *why = refusal;
  return stream;
}

bool ReadRegularFile(const String& path, uint64_t maxBytes, std::string& bytes, TOpenRefusal* why) {
  SecureWipe(bytes);
  bytes.clear();
  TOpenRefusal refusal = TOpenRefusal::None;
  if (Ref<TStream> stream = OpenRegular(NarrowString(path), maxBytes, refusal)) {
    // Room for the whole file at once, so that no outgrown copy is made.
    struct stat st;
    if (::stat(NarrowString(path).c_str(), &st) == 0 && st.st_size > 0)
      bytes.reserve(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(st.st_size), maxBytes)) + 1);
    uint8_t chunk[65536];
    for (size_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) AppendWiping(bytes, chunk, n);
    SecureWipe(chunk, sizeof chunk);
    // Close fails after a read error: the bytes would not be the whole file.
    if (!stream->Close()) refusal = TOpenRefusal::Unreadable;
    if (stream->LimitExceeded()) refusal = TOpenRefusal::TooLarge;
  }
  if (refusal != TOpenRefusal::None) {
    SecureWipe(bytes);
    bytes.clear();
  }
  if (why) *why = refusal;
  return refusal == TOpenRefusal::None;
}

Ref<TStream> OpenForWriting(const String& path) {
  int fd = ::open(NarrowString(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  return New<TStream>(fd, true);
}
