#include "raster/raster_png_write.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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
  // Encoded in memory, then written through a UTF-8 path (libpng's own
  // file writer takes the ANSI code page on Windows).
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return false;
  std::vector<char> png(size);
  const int ok = png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr);
  png_image_free(&image);
  if (!ok) return false;
  const std::filesystem::path name = std::filesystem::u8path(path);
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(png.data(), static_cast<std::streamsize>(size));
  file.close();
  if (!file.fail()) return true;
  std::error_code ignored;
  std::filesystem::remove(name, ignored);  // no half-written picture
  return false;
}

}  // namespace selvarin
