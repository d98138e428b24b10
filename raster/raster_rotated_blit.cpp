#include <algorithm>
#include <cmath>
#include <cstdint>

#include "raster/raster_blend.h"
#include "raster/raster_draw.h"

namespace selvarin {

using namespace raster_detail;

namespace {

using Fixed = std::int64_t;  // 16.16
constexpr Fixed kOne = 0x10000;

// Limited to +-2^20 pixels so that huge scales or offsets cannot overflow
// the conversion or the per-pixel stepping.
Fixed ToFixed(double v) {
  constexpr double kLimit = 68719476736.0;  // 2^36 = 2^20 pixels in 16.16
  const double f = std::floor(v * 65536.0);
  return static_cast<Fixed>(f < -kLimit ? -kLimit : (f > kLimit ? kLimit : f));
}

// The area samples may come from, in whole pixels [left, right) x [top, bottom).
struct SampleArea {
  int left, top, right, bottom;
  bool Empty() const { return left >= right || top >= bottom; }
};

// Two channels of a pixel in the 32-bit lanes of one 64-bit word, so that
// weighted sums with 16-bit weights need half the multiplications.
inline std::uint64_t LanesBR(RasterPixel p) { return (p & 0xFFu) | (static_cast<std::uint64_t>(p & 0xFF0000u) << 16); }
inline std::uint64_t LanesGA(RasterPixel p) { return ((p >> 8) & 0xFFu) | (static_cast<std::uint64_t>(p >> 24) << 32); }

// Bilinear sample around (fx, fy) with 16-bit fractional weights, using only
// the neighbours inside the area (at its last row and column the missing
// ones are left out).
// With kSkipClear, *clear tells that all four neighbours are fully
// transparent (an alpha-weighted combine of the sample leaves the
// destination alone), and the sample is then not computed.
template <bool kSkipClear>
inline RasterPixel SampleBilinear(const RasterPixel* bits, int span, const SampleArea& area, Fixed fx, Fixed fy,
                                  bool* clear) {
  const Fixed px = fx - kOne / 2, py = fy - kOne / 2;
  int x0 = static_cast<int>(px >> 16), y0 = static_cast<int>(py >> 16);
  std::uint64_t wx = static_cast<std::uint64_t>(px & 0xFFFF), wy = static_cast<std::uint64_t>(py & 0xFFFF);
  if (x0 < area.left) { x0 = area.left; wx = 0; }
  if (y0 < area.top) { y0 = area.top; wy = 0; }
  if (x0 + 1 >= area.right) wx = 0;
  if (y0 + 1 >= area.bottom) wy = 0;
  const int x1 = wx ? x0 + 1 : x0, y1 = wy ? y0 + 1 : y0;
  const RasterPixel* r0 = bits + static_cast<long>(y0) * span;
  const RasterPixel* r1 = bits + static_cast<long>(y1) * span;
  const RasterPixel p00 = r0[x0], p10 = r0[x1], p01 = r1[x0], p11 = r1[x1];
  if (kSkipClear) {
    *clear = ((p00 | p10 | p01 | p11) >> 24) == 0;
    if (*clear) return 0;
  }
  // Weights sum to exactly 65536, so no lane can exceed 255 after the shift.
  const std::uint64_t w11 = (wx * wy) >> 16, w10 = wx - w11, w01 = wy - w11, w00 = 65536 - wx - wy + w11;
  const std::uint64_t br = LanesBR(p00) * w00 + LanesBR(p10) * w10 + LanesBR(p01) * w01 + LanesBR(p11) * w11;
  const std::uint64_t ga = LanesGA(p00) * w00 + LanesGA(p10) * w10 + LanesGA(p01) * w01 + LanesGA(p11) * w11;
  return static_cast<RasterPixel>((br >> 16) & 0xFF) | static_cast<RasterPixel>((ga >> 16) & 0xFF) << 8 |
         static_cast<RasterPixel>((br >> 48) & 0xFF) << 16 | static_cast<RasterPixel>((ga >> 48) & 0xFF) << 24;
}

struct RotateJob {
  RasterPixel* dBits;
  const RasterPixel* sBits;
  int dSpan, sSpan;
  SampleArea area;
  std::int64_t x0, x1, y0, y1;  // destination pixels visited
  Fixed rowX, rowY;             // source position of (x0, y0)
  Fixed stepXx, stepXy, stepYx, stepYy;
  int k;
  bool exactHalf;  // opacity exactly 0.5
};

// Mode and filtering are template arguments so the per-pixel loop has no
// decisions besides the area test.
template <int kMode, bool kFilter>
void RotateLoop(const RotateJob& j) {
  constexpr bool kWeighsAlpha = (kMode & kRasterUseSourceAlpha) != 0;
  const Fixed areaL = static_cast<Fixed>(j.area.left) << 16, areaR = static_cast<Fixed>(j.area.right) << 16;
  const Fixed areaT = static_cast<Fixed>(j.area.top) << 16, areaB = static_cast<Fixed>(j.area.bottom) << 16;
  Fixed rowX = j.rowX, rowY = j.rowY;
  for (std::int64_t y = j.y0; y < j.y1; ++y, rowX += j.stepYx, rowY += j.stepYy) {
    RasterPixel* d = j.dBits + y * j.dSpan;
    Fixed fx = rowX, fy = rowY;
    for (std::int64_t x = j.x0; x < j.x1; ++x, fx += j.stepXx, fy += j.stepXy) {
      if (fx < areaL || fx >= areaR || fy < areaT || fy >= areaB) continue;  // outside: left alone
      bool clear = false;
      const RasterPixel sample = kFilter ? SampleBilinear<kWeighsAlpha>(j.sBits, j.sSpan, j.area, fx, fy, &clear)
                                         : j.sBits[(fy >> 16) * j.sSpan + (fx >> 16)];
      // Transparent source pixels weigh nothing where the source alpha weighs.
      if (kWeighsAlpha && (kFilter ? clear : (sample >> 24) == 0)) continue;
      d[x] = CombinePixel(d[x], sample, j.k, kMode, j.exactHalf);
    }
  }
}

template <int kMode>
void Dispatch(const RotateJob& job, bool filter) {
  if (filter) {
    RotateLoop<kMode, true>(job);
  } else {
    RotateLoop<kMode, false>(job);
  }
}

// Runs the loop specialised for the blit's combine mode and filtering.
void RunRotateJob(const RotateJob& job, int mode) {
  const bool filter = (mode & kRasterFilterBilinear) != 0;
  const int combine = mode & (kRasterCombineMask | kRasterUseSourceAlpha);
  switch (combine) {
    case kRasterCopy | kRasterUseSourceAlpha: return Dispatch<kRasterCopy | kRasterUseSourceAlpha>(job, filter);
    case kRasterCopy: return Dispatch<kRasterCopy>(job, filter);
    case kRasterAdd | kRasterUseSourceAlpha: return Dispatch<kRasterAdd | kRasterUseSourceAlpha>(job, filter);
    case kRasterAdd: return Dispatch<kRasterAdd>(job, filter);
    case kRasterColorDodge | kRasterUseSourceAlpha:
      return Dispatch<kRasterColorDodge | kRasterUseSourceAlpha>(job, filter);
    case kRasterColorDodge: return Dispatch<kRasterColorDodge>(job, filter);
    default: return;  // combines the editor never selects draw nothing
  }
}

// The source pixels a blit may sample: the whole bitmap, or with
// clipToSourceRect only the whole pixels inside the source rectangle.
SampleArea SourceArea(RasterBitmap& src, float srcX, float srcY, float srcW, float srcH, bool clipToSourceRect) {
  SampleArea area{0, 0, src.Width(), src.Height()};
  if (clipToSourceRect) {
    const double l = std::min<double>(srcX, srcX + srcW), r = std::max<double>(srcX, srcX + srcW);
    const double t = std::min<double>(srcY, srcY + srcH), b = std::max<double>(srcY, srcY + srcH);
    const auto whole = [](double v) { return static_cast<int>(std::clamp(v, -1.0, 2e9)); };
    area.left = std::max(area.left, whole(std::ceil(l)));
    area.top = std::max(area.top, whole(std::ceil(t)));
    area.right = std::min(area.right, whole(std::floor(r)));
    area.bottom = std::min(area.bottom, whole(std::floor(b)));
  }
  return area;
}

}  // namespace

void RasterRotatedBlit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int destW, int destH, float srcX,
                       float srcY, float srcW, float srcH, float angle, bool clipToSourceRect, float opacity, int mode,
                       float centreOffsetX, float centreOffsetY) {
  if (!dest || !src || destW == 0 || destH == 0) return;
  const int k = RasterOpacityToK(opacity);
  RasterPixel* dBits = dest->Bits();
  const RasterPixel* sBits = src->Bits();
  if (k == 0 || !dBits || !sBits) return;
  const float inputs[] = {srcX, srcY, srcW, srcH, angle, centreOffsetX, centreOffsetY};
  for (float v : inputs) {
    if (!std::isfinite(v)) return;
  }

  // Negative destination sizes mirror: normalise the rectangle, flip the scale.
  double scaleX = static_cast<double>(srcW) / destW;
  double scaleY = static_cast<double>(srcH) / destH;
  std::int64_t dx0 = destX, dy0 = destY, dw = destW, dh = destH;
  if (dw < 0) { dx0 += dw; dw = -dw; }
  if (dh < 0) { dy0 += dh; dh = -dh; }

  const SampleArea area = SourceArea(*src, srcX, srcY, srcW, srcH, clipToSourceRect);
  if (area.Empty()) return;

  RotateJob job;
  job.dBits = dBits;
  job.sBits = sBits;
  job.dSpan = dest->RowSpan();
  job.sSpan = src->RowSpan();
  job.area = area;
  job.k = k;
  job.exactHalf = opacity == 0.5f;

  // Destination pixels to visit.
  job.x0 = std::max<std::int64_t>(0, dx0);
  job.y0 = std::max<std::int64_t>(0, dy0);
  job.x1 = std::min<std::int64_t>(dest->Width(), dx0 + dw);
  job.y1 = std::min<std::int64_t>(dest->Height(), dy0 + dh);
  if (job.x0 >= job.x1 || job.y0 >= job.y1) return;

  // Source position of a destination pixel centre: rotate by -angle about the
  // pivot, then scale destination size to source size.
  const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  const double pivotDX = dx0 + dw * 0.5 + centreOffsetX, pivotDY = dy0 + dh * 0.5 + centreOffsetY;
  const double pivotSX = srcX + srcW * 0.5 + centreOffsetX * scaleX;
  const double pivotSY = srcY + srcH * 0.5 + centreOffsetY * scaleY;
  job.stepXx = ToFixed(c * scaleX);  // per destination column
  job.stepXy = ToFixed(-s * scaleY);
  job.stepYx = ToFixed(s * scaleX);  // per destination row
  job.stepYy = ToFixed(c * scaleY);
  const double rx = job.x0 + 0.5 - pivotDX, ry = job.y0 + 0.5 - pivotDY;
  job.rowX = ToFixed(pivotSX + (c * rx + s * ry) * scaleX);
  job.rowY = ToFixed(pivotSY + (-s * rx + c * ry) * scaleY);
  RunRotateJob(job, mode);
}

}  // namespace selvarin
