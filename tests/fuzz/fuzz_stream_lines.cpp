// Feeds arbitrary bytes through the text-line reader that reads both data
// files, and checks what every reader relies on: no line holds CR, LF or NUL,
// and no byte is invented.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fd = memfd_create("lines", 0);
  if (fd < 0) abort();
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) abort();
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  auto stream = OpenForReading(WidenString(path));
  if (!stream) abort();
  size_t characters = 0;
  while (!stream->Eof()) {
    String line = stream->ReadLine();
    for (char16_t c : line) {
      if (c == 13 || c == 10 || c == 0 || c > 255) abort();
    }
    characters += line.size();
  }
  if (characters > size) abort();
  stream->Close();
  close(fd);
  return 0;
}
