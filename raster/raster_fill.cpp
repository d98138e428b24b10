#include <cstdint>

#include "raster/raster_blend.h"
#include "raster/raster_blit_rows.h"
#include "raster/raster_draw.h"

namespace selvarin {

using namespace raster_detail;

namespace {

template <typename Op>
void ForEachPixel(RasterPixel* d, int span, int w, int h, Op op) {
  for (int y = 0; y < h; ++y, d += span) {
    for (int x = 0; x < w; ++x) d[x] = op(d[x]);
  }
}

}  // namespace

void RasterFillRect(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel colour, float opacity, int mode) {
  if (!dest) return;
  RasterPixel* bits = dest->Bits();
  if (!bits) return;
  if (mode & kRasterUseSourceAlpha) opacity *= static_cast<float>(RasterAlpha(colour)) / 255.0f;

  std::int64_t x0 = x, y0 = y, ww = w, hh = h;
  if (x0 < 0) { ww += x0; x0 = 0; }
  if (y0 < 0) { hh += y0; y0 = 0; }
  if (x0 + ww > dest->Width()) ww = dest->Width() - x0;
  if (y0 + hh > dest->Height()) hh = dest->Height() - y0;
  const int k = RasterOpacityToK(opacity);
  if (ww <= 0 || hh <= 0 || k == 0) return;

  const int span = dest->RowSpan();
  RasterPixel* d = bits + y0 * span + x0;
  const int cw = static_cast<int>(ww), ch = static_cast<int>(hh);
  const RasterPixel c = colour;
  if ((mode & kRasterCombineMask) != kRasterCopy) {
    const int m = mode & ~kRasterUseSourceAlpha;
    ForEachPixel(d, span, cw, ch, [c, k, m](RasterPixel p) { return CombinePixel(p, c, k, m); });
    return;
  }
  switch (k) {
    case 256:
      ForEachPixel(d, span, cw, ch, [c](RasterPixel) { return c; });
      break;
    case 128: {
      const RasterPixel half = (c >> 1) & kHalfMask;
      ForEachPixel(d, span, cw, ch, [half](RasterPixel p) { return ((p >> 1) & kHalfMask) + half; });
      break;
    }
    case 64: {
      const RasterPixel quarter = (c >> 2) & kQuarterMask;
      ForEachPixel(d, span, cw, ch,
                   [quarter](RasterPixel p) { return ((p >> 1) & kHalfMask) + ((p >> 2) & kQuarterMask) + quarter; });
      break;
    }
    case 192: {
      const RasterPixel three = ((c >> 1) & kHalfMask) + ((c >> 2) & kQuarterMask);
      ForEachPixel(d, span, cw, ch, [three](RasterPixel p) { return ((p >> 2) & kQuarterMask) + three; });
      break;
    }
    default:
      for (int y = 0; y < ch; ++y, d += span) FillGeneralRow(d, cw, c, k);
      break;
  }
}

}  // namespace selvarin
