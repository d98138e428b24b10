// Decodes arbitrary bytes as a PNG image, into a new bitmap and into an
// existing one. Anything that is not a well-formed image within the size
// limits must come back as no image, without reading or writing outside
// the input and the bitmap.
#include <cstdint>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png.h"
#include "tests/fuzz/fuzz_check.h"

using selvarin::RasterBitmap;
using selvarin::RasterMemBitmap;
using selvarin::RasterPixel;

namespace {

// Reads every pixel, so a bitmap that is smaller than it claims is caught.
void CheckImage(RasterBitmap* image) {
  SELVARIN_FUZZ_REQUIRE(image->Width() > 0 && image->Height() > 0 && image->Bits());
  SELVARIN_FUZZ_REQUIRE(image->RowSpan() >= image->Width());
  volatile RasterPixel sum = 0;
  for (int y = 0; y < image->Height(); ++y) {
    const RasterPixel* row = image->Bits() + static_cast<size_t>(y) * image->RowSpan();
    for (int x = 0; x < image->Width(); ++x) sum = sum + row[x];
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (RasterBitmap* image = selvarin::RasterLoadPngFromMemory(data, size)) {
    CheckImage(image);
    delete image;
  }
  RasterMemBitmap given(3, 5, 4);
  if (RasterBitmap* image = selvarin::RasterLoadPngFromMemory(data, size, &given)) {
    SELVARIN_FUZZ_REQUIRE(image == &given);
    CheckImage(image);
  }
  return 0;
}
