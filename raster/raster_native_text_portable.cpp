// Without device contexts all text goes through the cached glyphs.
#include "raster/raster_native_text.h"

namespace selvarin {

bool RasterNativeTextAvailable() { return false; }

int RasterDrawTextNative(RasterBitmap*, RasterSystemFont*, const char*, int, const RasterRect&, int, RasterPixel) {
  return 0;
}

}  // namespace selvarin
