#include "raster/raster_sys_bitmap.h"

#include <climits>

namespace selvarin {

RasterSysBitmap::RasterSysBitmap(int width, int height) {
  CreateContext();
  Resize(width, height);
}

RasterSysBitmap::~RasterSysBitmap() {
  DestroySection();
  DestroyContext();
}

bool RasterSysBitmap::Resize(int width, int height) {
  if (!ContextReady()) {
    width_ = 0;
    height_ = 0;
    return false;
  }
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  if (width > 0 && height > 0 && bits_ && allocWidth_ >= width && allocHeight_ >= height) {
    return true;  // the section only grows
  }
  DestroySection();
  if (width < 1 || height < 1) {
    // Nothing to allocate: report an empty bitmap rather than a size without pixels.
    width_ = 0;
    height_ = 0;
    return false;
  }
  // Widths that cannot be rounded up to four pixels within an int cannot be had.
  const bool roundable = width <= INT_MAX - 3;
  allocWidth_ = roundable ? (width + 3) & ~3 : 0;
  allocHeight_ = height;
  if (!roundable || !CreateSection()) {
    width_ = 0;
    height_ = 0;
    allocWidth_ = 0;
    allocHeight_ = 0;
  }
  return true;
}

}  // namespace selvarin
