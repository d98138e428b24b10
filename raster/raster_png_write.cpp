#include "raster/raster_png_write.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace selvarin {

bool RasterSavePng(RasterBitmap* bitmap, const char* path, bool opaque) {
  if (!bitmap || !bitmap->Bits() || !path) return false;
  const int w = bitmap->Width(), h = bitmap->Height();
  if (w <= 0 || h <= 0) return false;
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  for (int y = 0; y < h; ++y) {
    const RasterPixel* row = bitmap->Bits() + static_cast<size_t>(y) * static_cast<size_t>(bitmap->RowSpan());
    unsigned char* out = &rgba[static_cast<size_t>(y) * static_cast<size_t>(w) * 4];
    for (int x = 0; x < w; ++x) {
      *out++ = static_cast<unsigned char>(RasterRed(row[x]));
      *out++ = static_cast<unsigned char>(RasterGreen(row[x]));
      *out++ = static_cast<unsigned char>(RasterBlue(row[x]));
      *out++ = static_cast<unsigned char>(opaque ? 255 : RasterAlpha(row[x]));
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  const int ok = png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace selvarin
