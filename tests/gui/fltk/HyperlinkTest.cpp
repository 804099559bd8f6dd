#include "tests/gui/fltk/BackEndSupport.h"
// clang-format off
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <sys/stat.h>
// clang-format on

#include <cstdlib>
#include <string>

#include "gui/core/GuiServices.h"
#include "gui/fltk/FlEventBridge.h"
#include "gui/fltk/Fl_LabelBox.h"
#include "gui/proxy/Proxy.h"
#include "gui/proxy/THyperlinkGadget.h"
#include "tests/unit/TempDir.h"

using namespace backend_test;

namespace {

struct Rgb {
  int r, g, b;
};

// The pixels of a widget as they are on the screen.
struct Shot {
  int w = 0, h = 0;
  std::vector<Rgb> pixels;
  const Rgb& At(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)]; }
};

Shot Capture(Fl_Widget* widget) {
  SystemPollEvents();  // carries out the redraws queued since the last poll
  Pump(5);
  Shot shot;
  XImage* image = XGetImage(fl_display, fl_xid(widget->window()), widget->x(), widget->y(), unsigned(widget->w()),
                            unsigned(widget->h()), AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.w = widget->w();
  shot.h = widget->h();
  for (int y = 0; y < shot.h; ++y) {
    for (int x = 0; x < shot.w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      shot.pixels.push_back({int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)});
    }
  }
  XDestroyImage(image);
  return shot;
}

bool IsRed(const Rgb& c) { return c.r > 200 && c.g < 60 && c.b < 60; }
bool IsBlue(const Rgb& c) { return c.b > 200 && c.r < 60 && c.g < 60; }
bool IsReddish(const Rgb& c) { return c.r > c.b + 60 && c.r > c.g + 60; }

// The longest horizontal run of pixels in one row that match.
struct PixelRun {
  int length = 0, row = -1, start = -1;
};

template <class Pred>
PixelRun LongestRun(const Shot& shot, Pred match) {
  PixelRun best;
  for (int y = 0; y < shot.h; ++y) {
    int length = 0;
    for (int x = 0; x < shot.w; ++x) {
      length = match(shot.At(x, y)) ? length + 1 : 0;
      if (length > best.length) best = {length, y, x - length + 1};
    }
  }
  return best;
}

// Rows that hold a run of at least minLength matching pixels.
template <class Pred>
int RowsWithRun(const Shot& shot, int minLength, Pred match) {
  int rows = 0;
  for (int y = 0; y < shot.h; ++y) {
    int length = 0, longest = 0;
    for (int x = 0; x < shot.w; ++x) {
      length = match(shot.At(x, y)) ? length + 1 : 0;
      longest = std::max(longest, length);
    }
    if (longest >= minLength) ++rows;
  }
  return rows;
}

template <class Pred>
int LowestRow(const Shot& shot, Pred match) {
  for (int y = shot.h - 1; y >= 0; --y)
    for (int x = 0; x < shot.w; ++x)
      if (match(shot.At(x, y))) return y;
  return -1;
}

int TextWidth(const Ref<TGuiFont>& font, const char* text) {
  auto flFont = std::dynamic_pointer_cast<TFLGUIFont>(font);
  fl_font(Fl_Font(flFont->flfont), Fl_Fontsize(flFont->flsize));
  return int(fl_width(text) + 0.5);
}

Fl_LabelBox* Box(const Ref<TGadget>& gadget) {
  Ref<TGadget> inner = gadget;
  if (auto proxy = std::dynamic_pointer_cast<TProxyGadget>(gadget)) inner = proxy->GetProxy();
  return dynamic_cast<Fl_LabelBox*>(AsFLWidget(inner)->flhandle);
}

// The look of the cursor shown at the pointer: size, hot spot and pixels.
std::vector<unsigned long> CursorLook() {
  XSync(fl_display, False);
  XFixesCursorImage* image = XFixesGetCursorImage(fl_display);
  if (!image) return {};
  std::vector<unsigned long> look{image->width, image->height, image->xhot, image->yhot};
  look.insert(look.end(), image->pixels, image->pixels + size_t(image->width) * image->height);
  XFree(image);
  return look;
}

// A launcher for GNOME desktops first on PATH: it appends its argument to a file.
class FakeOpener {
 public:
  FakeOpener() : oldPath(getenv("PATH") ? getenv("PATH") : "") {
    TempDir::Write("gnome-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> " + dir.path() + "/opened\n");
    chmod("gnome-open", 0755);
    setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);
    unsetenv("KDE_FULL_DESKTOP");
    setenv("GNOME_DESKTOP_SESSION_ID", "1", 1);
  }
  ~FakeOpener() {
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("GNOME_DESKTOP_SESSION_ID");
  }
  std::string Opened() const { return TempDir::Read(dir.path() + "/opened"); }

  TempDir dir;
  std::string oldPath;
};

// Passes every emitted event on and remembers those of one source.
class SourceTap {
 public:
  explicit SourceTap(const ObjectRef& watched) {
    Watched() = watched;
    HookAdd(EventEmitHookId, Tap, nullptr, 100);
  }
  ~SourceTap() {
    HookRemove(EventEmitHookId, Tap, nullptr);
    Watched() = nullptr;
    Seen().clear();
  }
  std::vector<int32_t> Ids() const {
    std::vector<int32_t> ids;
    for (const auto& event : Seen()) ids.push_back(event->id);
    return ids;
  }
  std::vector<Ref<TEvent>> Of(int32_t id) const {
    std::vector<Ref<TEvent>> found;
    for (const auto& event : Seen())
      if (event->id == id) found.push_back(event);
    return found;
  }
  void Clear() { Seen().clear(); }

 private:
  static ObjectRef& Watched() {
    static ObjectRef watched;
    return watched;
  }
  static std::vector<Ref<TEvent>>& Seen() {
    static std::vector<Ref<TEvent>> seen;
    return seen;
  }
  static ObjectRef Tap(int32_t, const ObjectRef& data, const ObjectRef&) {
    auto event = std::dynamic_pointer_cast<TEvent>(data);
    if (event && event->source == Watched()) Seen().push_back(event);
    return data;
  }
};

// Takes every queued event; counts those whose source is one of the given objects.
int DrainQueueCounting(const ObjectRef& a, const ObjectRef& b) {
  int found = 0;
  while (EventQueueLength() > 0) {
    EventQueuePoll();
    const ObjectRef source = CurrentEventSource();
    if (source && (source == a || source == b)) ++found;
  }
  return found;
}

class HyperlinkTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartBackEnd();
    ProxyInit();
  }
  void SetUp() override {
    window = MakeWindow(S("Links"), 100, 100, 360, 220, nullptr, 1);
    ASSERT_TRUE(window);
    frame = static_cast<Fl_Window*>(AsFLWidget(window)->flhandle);
    ShowAndWait(frame);
  }
  void TearDown() override {
    for (auto& link : links) link->CleanUp();
    links.clear();
    GadgetFree(window);
    Pump(2);
    mouseOverGadget = nullptr;
  }
  void PointAt(int x, int y) { MovePointer(frame->x() + x, frame->y() + y); }

  Ref<TGadget> window;
  Fl_Window* frame = nullptr;
  std::vector<Ref<THyperlinkGadget>> links;
};

TEST_F(HyperlinkTest, UnderlinedFontDrawsALineUnderTheTextWhereverTheLabelPutsIt) {
  const Ref<TGuiFont> underlined = GuiLibraryFont(1, 0, 4);
  const Ref<TGuiFont> plain = GuiLibraryFont(1, 0, 0);
  auto flUnderlined = std::dynamic_pointer_cast<TFLGUIFont>(underlined);
  ASSERT_TRUE(flUnderlined);
  EXPECT_EQ(flUnderlined->style & 4, 4);
  EXPECT_EQ(flUnderlined->flsize, 12);

  const char* text = "HOME LINK";  // no descenders: the lowest ink is the baseline
  const int textWidth = TextWidth(underlined, text);
  struct Case {
    int32_t style;
    Ref<TGadget> label;
  };
  std::vector<Case> cases{{0, nullptr}, {8, nullptr}, {16, nullptr}};
  int32_t y = 10;
  for (auto& c : cases) {
    c.label = MakeLabel(S(text), 20, y, 200, 20, window, c.style);
    GadgetSetTextColor(c.label, 255, 0, 0);
    y += 30;
  }
  Pump();
  std::vector<int> baselines;
  for (auto& c : cases) {
    const Shot before = Capture(Box(c.label));
    EXPECT_LT(LongestRun(before, IsRed).length, textWidth / 2) << "style " << c.style << ": no line yet";
    baselines.push_back(LowestRow(before, IsReddish));
    GadgetSetFont(c.label, underlined);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    EXPECT_TRUE(Box(c.label)->Underlined());
    const Shot shot = Capture(Box(c.label));
    const PixelRun line = LongestRun(shot, IsRed);
    EXPECT_GE(line.length, textWidth - 1) << "style " << c.style;
    EXPECT_LE(line.length, textWidth + 1) << "style " << c.style;
    EXPECT_GT(line.row, baselines[i]) << "style " << c.style << ": under the text";
    EXPECT_LE(line.row, baselines[i] + 3) << "style " << c.style << ": just under the text";
    switch (c.style) {
      case 0:  // left: inset 3 pixels
        EXPECT_EQ(line.start, 3);
        break;
      case 8:  // right: ends 3 pixels from the right edge
        EXPECT_EQ(line.start + line.length, 200 - 3);
        break;
      default:  // centred
        EXPECT_NEAR(line.start, (200 - textWidth) / 2, 2);
        break;
    }
  }

  // A wrapped label gets one line under each of its text lines.
  auto wrapped = MakeLabel(S("HOME LINK"), 240, 10, 60, 40, window, 16);
  GadgetSetTextColor(wrapped, 255, 0, 0);
  GadgetSetFont(wrapped, underlined);
  const int wordWidth = TextWidth(underlined, "LINK");
  EXPECT_EQ(RowsWithRun(Capture(Box(wrapped)), wordWidth - 1, IsRed), 2);

  // A font without the style takes the line away, and the label area is
  // repainted so that no trace of it stays behind a label without a box.
  for (auto& c : cases) {
    GadgetSetFont(c.label, plain);
    EXPECT_FALSE(Box(c.label)->Underlined());
    EXPECT_LT(LongestRun(Capture(Box(c.label)), IsRed).length, textWidth / 2) << "style " << c.style;
  }
  // A new text colour shows after the next poll.
  GadgetSetTextColor(cases[1].label, 0, 0, 255);
  const Shot recoloured = Capture(Box(cases[1].label));
  EXPECT_EQ(LongestRun(recoloured, IsReddish).length, 0);
  EXPECT_GT(LongestRun(recoloured, IsBlue).length, 0);

  // A shorter text leaves nothing of the longer old one, on a label without
  // a box and on one with a frame, neither of which fills its inside.
  auto framed = MakeLabel(S(text), 20, 100, 200, 24, window, 2);
  GadgetSetTextColor(framed, 255, 0, 0);
  for (const Ref<TGadget>& label : {cases[0].label, framed}) {
    GadgetSetText(label, S("H"));
    const Shot shortened = Capture(Box(label));
    int inkedColumns = 0;
    for (int x = 0; x < shortened.w; ++x)
      for (int row = 0; row < shortened.h; ++row)
        if (IsReddish(shortened.At(x, row))) {
          ++inkedColumns;
          break;
        }
    EXPECT_GT(inkedColumns, 0);
    EXPECT_LT(inkedColumns, TextWidth(plain, "HO")) << "the old text was painted over";
  }
}

TEST_F(HyperlinkTest, RealPointerHoversTheLinkAndPressesOpenItOncePerPosition) {
  FakeOpener opener;
  const String url = S("http://example.org/home");
  auto panel = MakePanel(0, 0, 360, 220, window, 1, String());
  auto link = CreateHyperlinkGadget(url, 240, 190, 100, 20, panel, 0, S("HOME LINK"));
  ASSERT_TRUE(link);
  links.push_back(link);
  Ref<TGadget> label = link->GetProxy();
  Fl_LabelBox* box = Box(link);
  ASSERT_TRUE(box);
  const int textWidth = TextWidth(THyperlinkGadget::linkHoverFont, "HOME LINK");
  const int cx = box->x() + 20, cy = box->y() + box->h() / 2;

  // Normal state: the driver's link colour, no line, the URL as tooltip.
  EXPECT_EQ(box->labelcolor(), fl_rgb_color(0, 0, 255));
  EXPECT_FALSE(box->Underlined());
  EXPECT_EQ(GadgetGetTooltip(label), url);
  SourceTap tap(link);
  PointAt(20, 20);
  Pump();
  DrainQueueCounting(link, label);
  const auto plainCursor = CursorLook();
  const Shot normal = Capture(box);
  EXPECT_GT(LongestRun(normal, IsBlue).length, 0);
  EXPECT_EQ(LongestRun(normal, IsReddish).length, 0);

  // Over the link: hover colour, underline, hand pointer, and the tooltip.
  PointAt(cx, cy);
  ASSERT_TRUE(PumpUntil([&] { return box->labelcolor() == fl_rgb_color(255, 0, 0); })) << "no hover";
  EXPECT_TRUE(box->Underlined());
  const Shot hovered = Capture(box);
  EXPECT_GE(LongestRun(hovered, IsRed).length, textWidth - 1);
  const auto handCursor = CursorLook();
  EXPECT_NE(handCursor, plainCursor) << "the pointer changes over the link";
  EXPECT_TRUE(PumpUntil([&] { return Fl_Tooltip::current() == box; })) << "the tooltip is up for the link";
  ASSERT_FALSE(tap.Of(MouseEnter).empty());
  EXPECT_EQ(tap.Of(MouseEnter)[0]->source, link) << "the label's events come from the hyperlink";

  // A press opens the URL; one at the very same point does not open it again;
  // a press one pixel away does.
  ClickButton(1);
  ASSERT_TRUE(PumpUntil([&] { return opener.Opened() == NarrowString(url) + "\n"; })) << opener.Opened();
  ClickButton(1);
  Pump(20);
  EXPECT_EQ(opener.Opened(), NarrowString(url) + "\n") << "same point, no second opening";
  PointAt(cx + 1, cy);
  Pump();
  ClickButton(1);
  EXPECT_TRUE(PumpUntil([&] { return opener.Opened() == NarrowString(url) + "\n" + NarrowString(url) + "\n"; }));
  const auto presses = tap.Of(MouseDown);
  ASSERT_EQ(presses.size(), 3u);
  EXPECT_EQ(presses[0]->x, cx - box->x());
  EXPECT_EQ(presses[0]->y, cy - box->y());
  EXPECT_EQ(presses[2]->x, presses[0]->x + 1);
  EXPECT_EQ(link->lastclick[0], presses[2]->x);

  // Away inside the window: normal colour, no line left on the screen, default pointer.
  PointAt(20, 20);
  ASSERT_TRUE(PumpUntil([&] { return box->labelcolor() == fl_rgb_color(0, 0, 255); })) << "no leave";
  EXPECT_FALSE(box->Underlined());
  const Shot left = Capture(box);
  EXPECT_EQ(LongestRun(left, IsReddish).length, 0) << "nothing of the hover look stays";
  EXPECT_LT(LongestRun(left, IsBlue).length, textWidth / 2) << "no underline in the normal look";
  const auto leftCursor = CursorLook();
  EXPECT_NE(leftCursor, handCursor) << "the hand goes with the hover";

  // In again, then out of the window altogether: the link leaves hover too.
  PointAt(cx, cy);
  ASSERT_TRUE(PumpUntil([&] { return box->Underlined(); }));
  EXPECT_EQ(CursorLook(), handCursor);
  MovePointer(frame->x() + frame->w() + 50, frame->y() + 10);
  EXPECT_TRUE(PumpUntil([&] { return !box->Underlined() && box->labelcolor() == fl_rgb_color(0, 0, 255); }));
  // A tooltip that shows up under the pointer adds a leave and an enter of
  // its own, so only the balance and the minimum are fixed.
  EXPECT_GE(tap.Of(MouseEnter).size(), 2u);
  EXPECT_EQ(tap.Of(MouseLeave).size(), tap.Of(MouseEnter).size());

  // Every event of the link was swallowed before the queue.
  EXPECT_GE(tap.Ids().size(), 7u);
  EXPECT_EQ(DrainQueueCounting(link, label), 0);
}

}  // namespace
