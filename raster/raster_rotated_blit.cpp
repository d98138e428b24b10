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

Fixed ToFixed(double v) { return static_cast<Fixed>(std::floor(v * 65536.0)); }

// The area samples may come from, in whole pixels [left, right) x [top, bottom).
struct SampleArea {
  int left, top, right, bottom;
  bool Empty() const { return left >= right || top >= bottom; }
};

inline int Lerp16(int a, int b, int f) { return (a * (0x10000 - f) + b * f) >> 16; }

inline RasterPixel LerpPixel(RasterPixel a, RasterPixel b, int f) {
  return static_cast<RasterPixel>(Lerp16(Channel(a, 0), Channel(b, 0), f)) |
         static_cast<RasterPixel>(Lerp16(Channel(a, 8), Channel(b, 8), f)) << 8 |
         static_cast<RasterPixel>(Lerp16(Channel(a, 16), Channel(b, 16), f)) << 16 |
         static_cast<RasterPixel>(Lerp16(Channel(a, 24), Channel(b, 24), f)) << 24;
}

// Bilinear sample around (fx, fy), using only neighbours inside the area.
RasterPixel SampleBilinear(const RasterPixel* bits, int span, const SampleArea& area, Fixed fx, Fixed fy) {
  Fixed px = fx - kOne / 2, py = fy - kOne / 2;
  int x0 = static_cast<int>(px >> 16), y0 = static_cast<int>(py >> 16);
  int fxw = static_cast<int>(px & 0xFFFF), fyw = static_cast<int>(py & 0xFFFF);
  if (x0 < area.left) { x0 = area.left; fxw = 0; }
  if (y0 < area.top) { y0 = area.top; fyw = 0; }
  const int x1 = x0 + 1 < area.right ? x0 + 1 : x0;
  const int y1 = y0 + 1 < area.bottom ? y0 + 1 : y0;
  const RasterPixel* r0 = bits + static_cast<long>(y0) * span;
  const RasterPixel* r1 = bits + static_cast<long>(y1) * span;
  const RasterPixel top = LerpPixel(r0[x0], r0[x1], fxw);
  const RasterPixel bottom = LerpPixel(r1[x0], r1[x1], fxw);
  return LerpPixel(top, bottom, fyw);
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

  SampleArea area{0, 0, src->Width(), src->Height()};
  if (clipToSourceRect) {
    const double l = std::min<double>(srcX, srcX + srcW), r = std::max<double>(srcX, srcX + srcW);
    const double t = std::min<double>(srcY, srcY + srcH), b = std::max<double>(srcY, srcY + srcH);
    area.left = std::max(area.left, static_cast<int>(std::max(-1.0, std::ceil(l))));
    area.top = std::max(area.top, static_cast<int>(std::max(-1.0, std::ceil(t))));
    area.right = std::min(area.right, static_cast<int>(std::min(2e9, std::floor(r))));
    area.bottom = std::min(area.bottom, static_cast<int>(std::min(2e9, std::floor(b))));
  }
  if (area.Empty()) return;

  // Destination pixels to visit.
  const std::int64_t vx0 = std::max<std::int64_t>(0, dx0), vy0 = std::max<std::int64_t>(0, dy0);
  const std::int64_t vx1 = std::min<std::int64_t>(dest->Width(), dx0 + dw);
  const std::int64_t vy1 = std::min<std::int64_t>(dest->Height(), dy0 + dh);
  if (vx0 >= vx1 || vy0 >= vy1) return;

  // Source position of a destination pixel centre: rotate by -angle about the
  // pivot, then scale destination size to source size.
  const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  const double pivotDX = dx0 + dw * 0.5 + centreOffsetX, pivotDY = dy0 + dh * 0.5 + centreOffsetY;
  const double pivotSX = srcX + srcW * 0.5 + centreOffsetX * scaleX;
  const double pivotSY = srcY + srcH * 0.5 + centreOffsetY * scaleY;
  const Fixed stepXx = ToFixed(c * scaleX), stepXy = ToFixed(-s * scaleY);  // per destination column
  const Fixed stepYx = ToFixed(s * scaleX), stepYy = ToFixed(c * scaleY);   // per destination row
  const double rx = vx0 + 0.5 - pivotDX, ry = vy0 + 0.5 - pivotDY;
  Fixed rowX = ToFixed(pivotSX + (c * rx + s * ry) * scaleX);
  Fixed rowY = ToFixed(pivotSY + (-s * rx + c * ry) * scaleY);

  const Fixed areaL = static_cast<Fixed>(area.left) << 16, areaR = static_cast<Fixed>(area.right) << 16;
  const Fixed areaT = static_cast<Fixed>(area.top) << 16, areaB = static_cast<Fixed>(area.bottom) << 16;
  const bool filter = (mode & kRasterFilterBilinear) != 0;
  const int dSpan = dest->RowSpan(), sSpan = src->RowSpan();
  const int combineMode = mode & ~kRasterFilterBilinear;

  for (std::int64_t y = vy0; y < vy1; ++y, rowX += stepYx, rowY += stepYy) {
    RasterPixel* d = dBits + y * dSpan;
    Fixed fx = rowX, fy = rowY;
    for (std::int64_t x = vx0; x < vx1; ++x, fx += stepXx, fy += stepXy) {
      if (fx < areaL || fx >= areaR || fy < areaT || fy >= areaB) continue;  // outside: left alone
      const RasterPixel sample = filter ? SampleBilinear(sBits, sSpan, area, fx, fy)
                                        : sBits[(fy >> 16) * sSpan + (fx >> 16)];
      d[x] = CombinePixel(d[x], sample, k, combineMode);
    }
  }
}

}  // namespace selvarin
