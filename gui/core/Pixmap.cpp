#include "gui/core/Pixmap.h"

#include <algorithm>

TPixmap::TPixmap(int32_t w, int32_t h)
    : width(std::max(w, 0)), height(std::max(h, 0)), pixels(static_cast<size_t>(width) * height, 0) {}

Ref<TPixmap> TPixmap::Copy() const {
  auto copy = New<TPixmap>();
  copy->width = width;
  copy->height = height;
  copy->pixels = pixels;
  return copy;
}

Ref<TPixmap> TPixmap::Window(int32_t x, int32_t y, int32_t w, int32_t h) const {
  auto part = New<TPixmap>(w, h);
  for (int32_t row = 0; row < part->height; ++row) {
    for (int32_t col = 0; col < part->width; ++col) {
      part->SetPixel(col, row, Pixel(x + col, y + row));
    }
  }
  return part;
}

uint32_t TPixmap::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return pixels[static_cast<size_t>(y) * width + x];
}

void TPixmap::SetPixel(int32_t x, int32_t y, uint32_t argb) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<size_t>(y) * width + x] = argb;
}
