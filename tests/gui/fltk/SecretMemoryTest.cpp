#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
// clang-format on

#include <FL/Fl_Input.H>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "runtime/Wipe.h"

using namespace backend_test;

namespace {

constexpr size_t kMarkerLength = 24;
constexpr uint8_t kMask = 0xA5;

// The marker password, held only masked: the test must not be a copy of
// what it looks for.
uint8_t maskedMarker[kMarkerLength];

void MakeMarker() {
  std::random_device random;
  for (uint8_t& b : maskedMarker) b = static_cast<uint8_t>(("0123456789abcdefABCDEFG"[random() % 23]) ^ kMask);
}

// The marker as a String for as long as a call needs it; wiped afterwards.
class TMarkerText {
 public:
  TMarkerText() {
    text.resize(kMarkerLength);
    for (size_t i = 0; i < kMarkerLength; ++i) text[i] = static_cast<char16_t>(maskedMarker[i] ^ kMask);
  }
  ~TMarkerText() { SecureWipe(text); }
  String text;
};

// Counts the places in the process's writable memory that hold the marker as
// bytes or as 16-bit characters. The scan's own buffer is a mapping of its
// own, skipped by the scan and wiped after each chunk.
int MarkerCopiesInMemory() {
  constexpr size_t kChunk = 1 << 20;
  void* scratch = mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (scratch == MAP_FAILED) return -1;
  auto* buffer = static_cast<uint8_t*>(scratch);
  const uintptr_t ownStart = reinterpret_cast<uintptr_t>(scratch);
  int memory = open("/proc/self/mem", O_RDONLY);
  FILE* maps = fopen("/proc/self/maps", "r");
  int copies = 0;
  char line[512];
  while (maps && memory >= 0 && fgets(line, sizeof line, maps)) {
    unsigned long start = 0, end = 0;
    char perms[5] = {};
    if (sscanf(line, "%lx-%lx %4s", &start, &end, perms) != 3 || perms[0] != 'r' || perms[1] != 'w') continue;
    // The sanitizer's shadow and reserved spaces span terabytes of nothing.
    if (start == ownStart || end - start > (1ul << 30)) continue;
    for (unsigned long at = start; at < end; at += kChunk - 2 * kMarkerLength) {
      const size_t want = std::min<unsigned long>(kChunk, end - at);
      const ssize_t got = pread(memory, buffer, want, static_cast<off_t>(at));
      if (got <= 0) break;
      const size_t size = static_cast<size_t>(got);
      for (size_t i = 0; i + kMarkerLength <= size; ++i) {
        size_t n = 0;
        while (n < kMarkerLength && buffer[i + n] == (maskedMarker[n] ^ kMask)) ++n;
        if (n == kMarkerLength) ++copies;
        n = 0;
        while (n < kMarkerLength && i + 2 * n + 1 < size && buffer[i + 2 * n] == (maskedMarker[n] ^ kMask) &&
               buffer[i + 2 * n + 1] == 0)
          ++n;
        if (n == kMarkerLength) ++copies;
      }
      SecureWipe(buffer, size);
      if (size < want) break;
    }
  }
  if (maps) fclose(maps);
  if (memory >= 0) close(memory);
  munmap(scratch, kChunk);
  return copies;
}

}  // namespace

// A password shown in a text area, copied to the clipboard and replaced
// leaves no copy in the process's memory: not in FLTK's text buffer (undo,
// gap, deleted text), not in FLTK's clipboard copy once the clipboard is
// cleared, not after the widgets are freed.
TEST(SecretMemory, APasswordLeavesNoCopyBehindOnceItIsGone) {
  StartBackEnd();
  MakeMarker();
  Ref<TGadget> window = MakeWindow(S("Secrets"), 300, 200, 400, 200, nullptr, 1 | 32);
  Ref<TGadget> area = MakeTextArea(4, 4, 300, 40, window, 0);
  Ref<TGadget> field = MakeTextField(4, 60, 100, 20, window, 0);
  Ref<TGadget> secret = MakeTextField(4, 90, 100, 20, window, TextFieldPassword);
  Ref<TGadget> secretArea = MakeTextArea(4, 120, 300, 40, window, TextAreaSecret);
  ShowAndWait(static_cast<Fl_Window*>(AsFLWidget(window)->flhandle));
  ASSERT_EQ(MarkerCopiesInMemory(), 0);

  {
    TMarkerText marker;
    GadgetSetText(area, marker.text);
  }
  Pump();
  ASSERT_GT(MarkerCopiesInMemory(), 0) << "the scan does not see the text area's text";
  // Another record shown: a shorter one, then a longer one that makes the
  // buffer grow.
  GadgetSetText(area, S("short"));
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the text area shows another text";
  GadgetSetText(area, String(3000, u'x'));
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the text area grew";

  // Copied, then the clipboard cleared.
  GadgetSetText(field, S("a longer text than the password was"));
  TextAreaSelect(field, 0, -1, 1);
  {
    TMarkerText marker;
    GadgetSetText(area, marker.text);
  }
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);
  GadgetSetText(area, S("next"));
  Pump();
  ClipboardClear();
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the clipboard was cleared";

  // Copied again, and another program takes the clipboard before the clear.
  {
    TMarkerText marker;
    GadgetSetText(area, marker.text);
  }
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);
  GadgetSetText(area, S("next"));
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  const Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(other, XInternAtom(other, "CLIPBOARD", False), owner, CurrentTime);
  XSync(other, False);
  Pump();
  ClipboardClear();
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the clipboard was cleared while another program held it";
  XCloseDisplay(other);

  // A passphrase typed into a hidden field, one key at a time as FLTK
  // inserts it, then read and cleared.
  auto* input = static_cast<Fl_Input*>(AsFLWidget(secret)->flhandle);
  {
    TMarkerText marker;
    for (char16_t c : marker.text) {
      const char key = static_cast<char>(c);
      input->insert(&key, 1);
    }
  }
  Pump();
  ASSERT_GT(MarkerCopiesInMemory(), 0) << "the scan does not see the hidden field's text";
  // Selected and typed over: FLTK keeps the text it replaced for an undo.
  input->position(0, input->size());
  input->insert("x", 1);
  GadgetSetText(secret, String());
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the hidden field's text was typed over";
  {
    TMarkerText marker;
    for (char16_t c : marker.text) {
      const char key = static_cast<char>(c);
      input->insert(&key, 1);
    }
  }
  {
    String typed = GadgetGetText(secret);
    GadgetSetText(secret, String());
    SecureWipe(typed);
  }
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the hidden field was read and cleared";

  // Selected with the mouse in a secret area: FLTK's copy for the PRIMARY
  // selection is overwritten, so only the area's own text remains.
  {
    TMarkerText marker;
    GadgetSetText(secretArea, marker.text);
  }
  Pump();
  const int shown = MarkerCopiesInMemory();
  MovePointer(300 + 4 + 5, 200 + 120 + 10);
  XTestFakeButtonEvent(fl_display, 1, True, CurrentTime);
  Pump();
  MovePointer(300 + 4 + 296, 200 + 120 + 10);
  Pump();
  XTestFakeButtonEvent(fl_display, 1, False, CurrentTime);
  Pump();
  ASSERT_EQ(TextAreaSelectionLength(secretArea, 1), static_cast<int32_t>(kMarkerLength));
  EXPECT_EQ(MarkerCopiesInMemory(), shown) << "after a mouse selection in a secret area";
  GadgetSetText(secretArea, String());

  // Still shown when the widgets are freed.
  {
    TMarkerText marker;
    GadgetSetText(area, marker.text);
    GadgetSetText(secret, marker.text);
  }
  Pump();
  GadgetFree(window);
  area = field = secret = secretArea = window = nullptr;
  Pump();
  EXPECT_EQ(MarkerCopiesInMemory(), 0) << "after the widgets were freed";
}
