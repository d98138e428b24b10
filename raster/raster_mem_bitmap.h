#pragma once
// A bitmap in plain memory: 64-byte-aligned rows, padded to the line
// alignment, whose buffer grows by a quarter and never shrinks while in use.
#include <cstddef>

#include "raster/raster_bitmap.h"

namespace selvarin {

class RasterMemBitmap : public RasterBitmap {
 public:
  // lineAlignment in pixels (powers of two up to 16 are meaningful; images use 4).
  RasterMemBitmap(int width = 0, int height = 0, int lineAlignment = 4);
  ~RasterMemBitmap() override;

  RasterPixel* Bits() override;
  int Width() override { return width_; }
  int Height() override { return height_; }
  int RowSpan() override { return (width_ + rowMask_) & ~rowMask_; }
  bool Resize(int width, int height) override;

  std::size_t AllocatedBytes() const { return allocated_; }

 private:
  void ReleaseBuffer();

  unsigned char* buffer_ = nullptr;  // allocated with 63 spare bytes for alignment
  int width_ = 0;
  int height_ = 0;
  std::size_t allocated_ = 0;  // usable bytes, spare excluded
  int rowMask_ = 0;
};

}  // namespace selvarin
