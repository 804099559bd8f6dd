#include "gui/fltk/Fl_LabelBox.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/fl_draw.H>

Fl_LabelBox::Fl_LabelBox(int x, int y, int w, int h, const char* label) : Fl_Box(x, y, w, h, label) {}

std::vector<std::string> Fl_LabelBox::LabelLines(const char* text, int maxWidth, bool wrap) {
  std::string plain;
  for (const char* p = text; *p; ++p) {
    plain += *p;
    if (p[0] == '@' && p[1] == '@') ++p;
  }
  // The same breaking as FLTK's label drawing: a line ends at a newline, or
  // before the word that would make it wider than maxWidth, unless that word
  // is the first one on the line. The space at a wrap point is dropped.
  std::vector<std::string> lines;
  size_t p = 0;
  for (;;) {
    std::string line;
    size_t wordEnd = 0;
    size_t wordStart = p;
    bool last = false;
    for (;; ++p) {
      const char c = p < plain.size() ? plain[p] : '\0';
      if (c == '\0' || c == ' ' || c == '\n') {
        if (wrap && wordStart < p) {
          if (wordEnd > 0 && int(fl_width(line.c_str(), int(line.size()))) > maxWidth) {
            line.resize(wordEnd);
            p = wordStart;
            break;
          }
          wordEnd = line.size();
        }
        if (c == '\0') {
          last = true;
          break;
        }
        if (c == '\n') {
          ++p;
          last = p >= plain.size();
          break;
        }
        wordStart = p + 1;
      }
      line += c;
    }
    lines.push_back(line);
    if (last) return lines;
  }
}

void Fl_LabelBox::draw() {
  Fl_Box::draw();
  if (underlined) DrawUnderline();
}

void Fl_LabelBox::DrawUnderline() {
  if (!label() || !*label() || !(align() & FL_ALIGN_INSIDE)) return;
  // The label area as Fl_Widget::draw_label() computes it.
  int X = x() + Fl::box_dx(box());
  int W = w() - Fl::box_dw(box());
  if (W > 11 && (align() & (FL_ALIGN_LEFT | FL_ALIGN_RIGHT))) {
    X += 3;
    W -= 6;
  }
  const int Y = y() + Fl::box_dy(box());
  const int H = h() - Fl::box_dh(box());

  fl_font(labelfont(), labelsize());
  const std::vector<std::string> lines = LabelLines(label(), W, (align() & FL_ALIGN_WRAP) != 0);
  const int lineHeight = fl_height();
  const int count = int(lines.size());
  int baseline;
  if (align() & FL_ALIGN_BOTTOM) {
    baseline = Y + H - (count - 1) * lineHeight;
  } else if (align() & FL_ALIGN_TOP) {
    baseline = Y + lineHeight;
  } else {
    baseline = Y + (H - count * lineHeight) / 2 + lineHeight;
  }
  baseline -= fl_descent();

  const bool clip = (align() & FL_ALIGN_CLIP) != 0;
  if (clip) fl_push_clip(X, Y, W, H);
  fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
  for (const std::string& line : lines) {
    const int width = int(fl_width(line.c_str(), int(line.size())) + 0.5);
    int left;
    if (align() & FL_ALIGN_LEFT) {
      left = X;
    } else if (align() & FL_ALIGN_RIGHT) {
      left = X + W - width;
    } else {
      left = X + (W - width) / 2;
    }
    if (width > 0) fl_xyline(left, baseline + 1, left + width - 1);
    baseline += lineHeight;
  }
  if (clip) fl_pop_clip();
}
