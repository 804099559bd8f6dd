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
  // Source coordinates in 64 bits: x + col passes INT32_MAX near the top of the range.
  for (int32_t row = 0; row < part->height; ++row) {
    int64_t from = int64_t{y} + row;
    if (from < 0 || from >= height) continue;
    for (int32_t col = 0; col < part->width; ++col) {
      int64_t at = int64_t{x} + col;
      if (at < 0 || at >= width) continue;
      part->SetPixel(col, row, Pixel(static_cast<int32_t>(at), static_cast<int32_t>(from)));
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

Ref<TPixmap> TIconStrip::ExtractIconPixmap(int32_t index) const {
  if (!pixmap || index >= count) return nullptr;
  if (index < 0) return pixmap->Copy();
  int32_t side = pixmap->height;
  int32_t offset = static_cast<int32_t>(static_cast<uint32_t>(index) * static_cast<uint32_t>(side));  // wraps
  return pixmap->Window(offset, 0, side, side);
}
