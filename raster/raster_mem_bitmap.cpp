#include "raster/raster_mem_bitmap.h"

#include <cstdint>
#include <cstdlib>

namespace selvarin {

namespace {

int RowMaskFor(int lineAlignment) {
  if (lineAlignment < 2) return 0;
  const int lowest = lineAlignment & -lineAlignment;
  const int mask = lowest - 1;
  // Rows align to at most 16 pixels; 15 is the widest mask that is all ones.
  return mask > 15 ? 15 : mask;
}

}  // namespace

RasterMemBitmap::RasterMemBitmap(int width, int height, int lineAlignment)
    : rowMask_(RowMaskFor(lineAlignment)) {
  if (width > 0 && height > 0) Resize(width, height);
}

RasterMemBitmap::~RasterMemBitmap() { ReleaseBuffer(); }

void RasterMemBitmap::ReleaseBuffer() {
  std::free(buffer_);
  buffer_ = nullptr;
  allocated_ = 0;
}

RasterPixel* RasterMemBitmap::Bits() {
  if (!buffer_) return nullptr;
  const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(buffer_);
  return reinterpret_cast<RasterPixel*>((a + 63) & ~static_cast<std::uintptr_t>(63));
}

bool RasterMemBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;

  // Computed wide so that huge sizes fail as an allocation instead of wrapping.
  std::uint64_t needed = 0;
  if (width > 0 && height > 0) {
    const std::uint64_t span = (static_cast<std::uint64_t>(width) + rowMask_) & ~static_cast<std::uint64_t>(rowMask_);
    // Row spans beyond the int range could not be reported: no buffer.
    needed = span > static_cast<std::uint64_t>(INT32_MAX) ? 0 : static_cast<std::uint64_t>(height) * span * 4u;
  }
  constexpr std::uint64_t kMaxBytes = std::uint64_t(1) << 40;

  if (needed > 0 && needed < kMaxBytes) {
    if (!buffer_) {
      buffer_ = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(needed) + 63));
      allocated_ = buffer_ ? static_cast<std::size_t>(needed) : 0;
    } else if (allocated_ < needed) {
      const std::size_t grown = static_cast<std::size_t>(needed * 5 / 4);
      void* moved = std::realloc(buffer_, grown + 63);
      if (moved) {
        buffer_ = static_cast<unsigned char*>(moved);
        allocated_ = grown;
      } else {
        ReleaseBuffer();
        buffer_ = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(needed) + 63));
        allocated_ = buffer_ ? static_cast<std::size_t>(needed) : 0;
      }
    }
  } else {
    ReleaseBuffer();
  }
  if (!buffer_) {
    width_ = 0;
    height_ = 0;
  }
  return true;
}

}  // namespace selvarin
