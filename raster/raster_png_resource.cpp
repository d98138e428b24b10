// Image resources on builds without platform resources: the tables that
// selvarin_embed_images() generates.
#include "raster/raster_embedded.h"
#include "raster/raster_png.h"

namespace selvarin {

RasterBitmap* RasterLoadPngFromResource(const void* module, int resourceId, RasterBitmap* dest) {
  (void)module;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (!RasterFindEmbeddedImage(resourceId, &data, &size) || !data || size < 8) return nullptr;
  return RasterLoadPngFromMemory(data, size, dest);
}

}  // namespace selvarin
