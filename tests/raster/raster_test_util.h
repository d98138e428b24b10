#pragma once
// Small helpers for pixel tests.
#include "raster/raster_bitmap.h"

namespace selvarin::test {

inline RasterPixel& At(RasterBitmap& b, int x, int y) { return b.Bits()[y * b.RowSpan() + x]; }

inline void FillAll(RasterBitmap& b, RasterPixel p) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) At(b, x, y) = p;
}

inline int CountNot(RasterBitmap& b, RasterPixel p) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += At(b, x, y) != p;
  return n;
}

}  // namespace selvarin::test
