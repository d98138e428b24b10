#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "raster/raster_blend.h"
#include "raster/raster_blit_rows.h"
#include "raster/raster_draw.h"

namespace selvarin {

using namespace raster_detail;

int RasterOpacityToK(float opacity) {
  if (!(opacity > 0.0f)) return 0;  // also NaN
  if (opacity >= 1.0f) return 256;
  return static_cast<int>(opacity * 256.0f);
}

namespace {

// Runs op(dest pixel, source pixel) over the rows.
template <typename Op>
void ForEachPixel(RasterPixel* d, int dSpan, const RasterPixel* s, int sSpan, int w, int h, Op op) {
  for (int y = 0; y < h; ++y, d += dSpan, s += sSpan) {
    for (int x = 0; x < w; ++x) d[x] = op(d[x], s[x]);
  }
}

// exactHalf: the opacity was exactly 0.5, which has its own halving form.
void BlitRows(RasterPixel* d, int dSpan, const RasterPixel* s, int sSpan, int w, int h, int k, bool exactHalf,
              int mode) {
  const bool useAlpha = (mode & kRasterUseSourceAlpha) != 0;
  switch (mode & kRasterCombineMask) {
    case kRasterCopy:
      if (useAlpha) {
        for (int y = 0; y < h; ++y, d += dSpan, s += sSpan) CopyAlphaRow(d, s, w, k);
      } else if (k == 256) {
        for (int y = 0; y < h; ++y, d += dSpan, s += sSpan) std::memmove(d, s, static_cast<std::size_t>(w) * 4);
      } else if (exactHalf) {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [](RasterPixel dp, RasterPixel sp) { return Halves(dp, sp); });
      } else {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [k](RasterPixel dp, RasterPixel sp) { return CopyPlain(dp, sp, k); });
      }
      break;
    case kRasterAdd:
      if (useAlpha) {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [k](RasterPixel dp, RasterPixel sp) { return Add(dp, sp, k, true); });
      } else {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [k](RasterPixel dp, RasterPixel sp) { return Add(dp, sp, k, false); });
      }
      break;
    case kRasterColorDodge:
      if (useAlpha) {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [k](RasterPixel dp, RasterPixel sp) { return Dodge(dp, sp, k, true); });
      } else {
        ForEachPixel(d, dSpan, s, sSpan, w, h, [k](RasterPixel dp, RasterPixel sp) { return Dodge(dp, sp, k, false); });
      }
      break;
    default:
      break;  // combines the editor never selects draw nothing
  }
}

}  // namespace

void RasterBlit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int srcX, int srcY, int srcW, int srcH,
                float opacity, int mode) {
  if (!dest || !src || opacity == 0.0f) return;
  const int k = RasterOpacityToK(opacity);
  if (k == 0) return;  // every rule leaves the destination as it is
  RasterPixel* dBits = dest->Bits();
  RasterPixel* sBits = src->Bits();
  if (!dBits || !sBits) return;

  // Wide arithmetic so that extreme rectangles cannot wrap around.
  std::int64_t sx = srcX, sy = srcY, w = srcW, h = srcH, dx = destX, dy = destY;
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (sx + w > src->Width()) w = src->Width() - sx;
  if (sy + h > src->Height()) h = src->Height() - sy;
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  if (dx + w > dest->Width()) w = dest->Width() - dx;
  if (dy + h > dest->Height()) h = dest->Height() - dy;
  if (w <= 0 || h <= 0) return;

  const int dSpan = dest->RowSpan();
  int sSpan = src->RowSpan();
  RasterPixel* d = dBits + dy * dSpan + dx;
  const RasterPixel* s = sBits + sy * sSpan + sx;

  // A blit within one bitmap may overlap itself: work from a copy of the source.
  RasterPixel* copy = nullptr;
  if (dest == src || dBits == sBits) {
    copy = static_cast<RasterPixel*>(std::malloc(static_cast<std::size_t>(w * h) * 4));
    if (!copy) return;
    for (std::int64_t y = 0; y < h; ++y) std::memcpy(copy + y * w, s + y * sSpan, static_cast<std::size_t>(w) * 4);
    s = copy;
    sSpan = static_cast<int>(w);
  }
  BlitRows(d, dSpan, s, sSpan, static_cast<int>(w), static_cast<int>(h), k, opacity == 0.5f, mode);
  std::free(copy);
}

}  // namespace selvarin
