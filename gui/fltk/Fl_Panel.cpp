#include "gui/fltk/Fl_Panel.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/fl_draw.H>

#include <algorithm>

Fl_Panel::Fl_Panel(int x, int y, int w, int h, const char* label) : Fl_Group(x, y, w, h, label) {}

Fl_Panel::~Fl_Panel() {
  delete drawnImage;
  delete sourceImage;
}

void Fl_Panel::SetImage(const Fl_Image* image, int mode) {
  delete sourceImage;
  sourceImage = image ? const_cast<Fl_Image*>(image)->copy() : nullptr;
  imageMode = mode;
  RebuildImage();
}

void Fl_Panel::SetEnabled(bool flag) {
  if (flag == enabled) return;
  enabled = flag;
  RebuildImage();
}

void Fl_Panel::RebuildImage() {
  delete drawnImage;
  drawnImage = nullptr;
  if (!sourceImage || sourceImage->w() <= 0 || sourceImage->h() <= 0) return;
  const double rx = double(w()) / sourceImage->w();
  const double ry = double(h()) / sourceImage->h();
  int iw = sourceImage->w();
  int ih = sourceImage->h();
  switch (imageMode) {
    case ImageFit:
      iw = int(sourceImage->w() * std::min(rx, ry));
      ih = int(sourceImage->h() * std::min(rx, ry));
      break;
    case ImageStretch:
      iw = w();
      ih = h();
      break;
    case ImageFill:
      iw = int(sourceImage->w() * std::max(rx, ry));
      ih = int(sourceImage->h() * std::max(rx, ry));
      break;
    default:
      break;
  }
  drawnImage = sourceImage->copy(std::max(iw, 1), std::max(ih, 1));
  if (!enabled) drawnImage->color_average(FL_BACKGROUND_COLOR, 0.67f);
  redraw();
}

int Fl_Panel::LabelStripHeight() const {
  int lx, ly, lw, lh;
  LabelRect(lx, ly, lw, lh);
  return lh;
}

void Fl_Panel::LabelRect(int& lx, int& ly, int& lw, int& lh) const {
  lx = x();
  ly = y();
  lw = lh = 0;
  if (!label() || !*label()) return;
  int tw = 0, th = 0;
  fl_font(labelfont(), labelsize());
  fl_measure(label(), tw, th, 0);
  lw = tw + 4;
  lh = th + 2;
  if (align() & FL_ALIGN_LEFT) {
    lx = x() + 4;
  } else if (align() & FL_ALIGN_RIGHT) {
    lx = x() + w() - 8 - lw;
  } else {
    lx = x() + (w() - lw) / 2;
  }
}

void Fl_Panel::draw() {
  int lx, ly, lw, lh;
  LabelRect(lx, ly, lw, lh);
  const Fl_Boxtype b = box();
  const bool unframed = b == FL_NO_BOX || b == FL_FLAT_BOX;

  if (damage() & ~FL_DAMAGE_CHILD) {
    // The frame starts half a label below the top, so the label sits on the line.
    const int top = lh / 2;
    draw_box(b, x(), y() + top, w(), h() - top, color());
    if (drawnImage) {
      const int inset = unframed ? 0 : 3;
      const int ix = x() + inset, iy = y() + top + inset;
      const int iw = w() - 2 * inset, ih = h() - top - 2 * inset;
      if (iw > 0 && ih > 0) {
        fl_push_clip(ix, iy, iw, ih);
        if (imageMode == ImageFit || imageMode == ImageStretch || imageMode == ImageFill) {
          drawnImage->draw(ix + (iw - drawnImage->w()) / 2, iy + (ih - drawnImage->h()) / 2);
        } else {
          for (int ty = iy; ty < iy + ih; ty += drawnImage->h())
            for (int tx = ix; tx < ix + iw; tx += drawnImage->w()) drawnImage->draw(tx, ty);
        }
        fl_pop_clip();
      }
    }
  }

  if (unframed) {
    fl_push_clip(x(), y() + lh, w(), h() - lh);
  } else {
    fl_push_clip(x() + 2, y() + lh + 1, w() - 4, h() - lh - 3);
  }
  draw_children();
  fl_pop_clip();

  if (lh > 0) {
    if (damage() & ~FL_DAMAGE_CHILD) {
      fl_color(color());
      fl_rectf(lx, ly, lw, lh);
      draw_label(lx + 2, ly + 1, lw - 4, lh - 2, Fl_Align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT));
    }
  }
}
