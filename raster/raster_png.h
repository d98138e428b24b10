#pragma once
// PNG decoding into 32-bit bitmaps (pixels A*2^24 + R*2^16 + G*2^8 + B, not
// premultiplied). Every failure yields none and frees whatever was made.
#include <cstddef>

#include "raster/raster_bitmap.h"

namespace selvarin {

// Decodes a PNG held in memory. With a destination the image goes into it
// (resized) and it is returned; otherwise a new RasterMemBitmap (alignment 4)
// owned by the caller is returned.
RasterBitmap* RasterLoadPngFromMemory(const void* bytes, std::size_t length, RasterBitmap* dest = nullptr);

// Decodes the PNG image compiled into the module under the resource id. The
// module handle identifies the module where the platform keeps resources per
// module; embedded tables ignore it.
RasterBitmap* RasterLoadPngFromResource(const void* module, int resourceId, RasterBitmap* dest = nullptr);

}  // namespace selvarin
