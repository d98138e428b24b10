#pragma once
// The abstract 32-bit bitmap every drawing operation works on.
#include <cstdint>

#include "raster/raster_types.h"

namespace selvarin {

class RasterBitmap {
 public:
  virtual ~RasterBitmap() = default;
  // Address of pixel (0, 0); null when the bitmap holds no pixels.
  virtual RasterPixel* Bits() = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  // Pixels per row in memory (at least the width).
  virtual int RowSpan() = 0;
  virtual bool IsFlipped() { return false; }
  // True when the size changed. Pixel contents are not preserved.
  virtual bool Resize(int width, int height) = 0;
  // A platform context drawing into the same pixels, or none.
  virtual RasterDeviceContext DeviceContext() { return nullptr; }
  virtual std::intptr_t Extended(int id, void* data) {
    (void)id;
    (void)data;
    return 0;
  }

  RasterBitmap() = default;
  RasterBitmap(const RasterBitmap&) = delete;
  RasterBitmap& operator=(const RasterBitmap&) = delete;
};

}  // namespace selvarin
