// Portable pixel section: zeroed, 64-byte-aligned memory and no device
// context. Text and shapes are drawn by the raster layer itself.
#include <cstdint>
#include <cstdlib>

#include "raster/raster_sys_bitmap.h"

namespace selvarin {

void RasterSysBitmap::CreateContext() { context_ = nullptr; }
void RasterSysBitmap::DestroyContext() { context_ = nullptr; }
bool RasterSysBitmap::ContextReady() const { return true; }
RasterDeviceContext RasterSysBitmap::DeviceContext() { return nullptr; }

bool RasterSysBitmap::CreateSection() {
  const std::uint64_t bytes = static_cast<std::uint64_t>(allocWidth_) * static_cast<std::uint64_t>(allocHeight_) * 4u;
  if (bytes == 0 || bytes >= (std::uint64_t(1) << 40)) return false;
  void* block = std::calloc(static_cast<std::size_t>(bytes) + 63, 1);
  if (!block) return false;
  section_ = block;
  const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(block);
  bits_ = reinterpret_cast<RasterPixel*>((a + 63) & ~static_cast<std::uintptr_t>(63));
  return true;
}

void RasterSysBitmap::DestroySection() {
  std::free(section_);
  section_ = nullptr;
  previousObject_ = nullptr;
  bits_ = nullptr;
}

}  // namespace selvarin
