#pragma once
// Resampling a bitmap to another size with a real filter: a tent whose width
// follows the size ratio, so enlarging interpolates bilinearly and reducing
// averages every source pixel under the destination pixel. Colours are
// weighted by their alpha, so transparent pixels lend no colour to an edge.
#include "raster/raster_bitmap.h"

namespace selvarin {

// A new bitmap (memory, line alignment 4) of width x height holding src
// resampled; none when src has no pixels, a size is not positive, or memory
// cannot be had. The caller owns the result.
RasterBitmap* RasterResample(RasterBitmap* src, int width, int height);

}  // namespace selvarin
