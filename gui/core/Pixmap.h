#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Object.h"

// A plain in-memory image: width x height pixels, row by row, 0xAARRGGBB each.
// The back end turns it into a toolkit image when it shows one.
class TPixmap : public TObject {
 public:
  TPixmap() = default;
  TPixmap(int32_t w, int32_t h);

  // A new pixmap holding a copy of every pixel.
  Ref<TPixmap> Copy() const;
  // A new pixmap holding the part of this one that starts at (x, y) and is w by h;
  // pixels outside this pixmap come out transparent (0).
  Ref<TPixmap> Window(int32_t x, int32_t y, int32_t w, int32_t h) const;

  uint32_t Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t argb);

  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// A row of square icons held side by side in one pixmap.
class TIconStrip : public TObject {
 public:
  // None when index is not below count; the whole pixmap (copied) when index is
  // negative; otherwise the square icon at index.
  Ref<TPixmap> ExtractIconPixmap(int32_t index) const;

  Ref<TPixmap> pixmap;
  int32_t count = 0;
};
