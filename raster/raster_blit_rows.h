#pragma once
// Row loops of the alpha-weighted copy, the blit that the editor uses most,
// and of fills at general opacities.
// Vector versions where the processor offers them; identical results.
#include "raster/raster_types.h"

namespace selvarin {
namespace raster_detail {

// d[i] = CopyAlphaFull(d[i], s[i]) when k is 256, else CopyAlpha(d[i], s[i], k).
void CopyAlphaRow(RasterPixel* d, const RasterPixel* s, int n, int k);

// d[i] = FillCopyGeneral(d[i], c, k): a fill at an opacity without a byte-shift form.
void FillGeneralRow(RasterPixel* d, int n, RasterPixel c, int k);

}  // namespace raster_detail
}  // namespace selvarin
