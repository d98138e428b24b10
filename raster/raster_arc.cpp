#include <algorithm>
#include <cmath>

#include "raster/raster_blend.h"
#include "raster/raster_draw.h"

namespace selvarin {

using namespace raster_detail;

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kAngleSlack = 1e-4;  // end angles on an axis include that axis' pixels

struct AngleRange {
  bool full = true;
  double from = 0.0;
  double span = 0.0;

  // Angle of the pixel offset (dx, dy): 0 up, clockwise.
  bool Contains(double dx, double dy) const {
    if (full || (dx == 0.0 && dy == 0.0)) return true;  // the centre belongs to every sector
    const double up = -dy;
    const double a = std::atan2(dx, up == 0.0 ? 0.0 : up);  // +0.0: atan2(x, -0) would flip sign
    double t = std::fmod(a - from, kTwoPi);
    if (t < 0.0) t += kTwoPi;
    return t <= span + kAngleSlack || t >= kTwoPi - kAngleSlack;
  }
};

AngleRange MakeRange(double a1, double a2) {
  AngleRange r;
  if (a1 > a2) std::swap(a1, a2);
  r.span = a2 - a1;
  r.full = r.span >= kTwoPi;
  // Bring the start into -2pi..2pi keeping the span.
  r.from = std::fmod(a1, kTwoPi);
  return r;
}

// coverage(dx, dy): 0..1 for the pixel at that offset from the centre.
template <typename Coverage>
void DrawRound(RasterBitmap* dest, float cx, float cy, float radius, float minAngle, float maxAngle,
               RasterPixel colour, float opacity, int mode, Coverage coverage) {
  if (!dest) return;
  RasterPixel* bits = dest->Bits();
  const int k = RasterOpacityToK(opacity);
  if (!bits || k == 0) return;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius) || radius < 0.0f) return;
  if (!std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
  const AngleRange range = MakeRange(minAngle, maxAngle);
  const int m = mode & ~kRasterUseSourceAlpha;

  const double reach = static_cast<double>(radius) + 1.5;
  const int x0 = static_cast<int>(std::max(0.0, std::floor(cx - reach)));
  const int y0 = static_cast<int>(std::max(0.0, std::floor(cy - reach)));
  const int x1 = static_cast<int>(std::min<double>(dest->Width() - 1, std::ceil(cx + reach)));
  const int y1 = static_cast<int>(std::min<double>(dest->Height() - 1, std::ceil(cy + reach)));
  const int span = dest->RowSpan();
  for (int y = y0; y <= y1; ++y) {
    RasterPixel* row = bits + static_cast<long>(y) * span;
    const double dy = y - cy;
    for (int x = x0; x <= x1; ++x) {
      const double dx = x - cx;
      const double cover = coverage(dx, dy);
      if (cover <= 0.0) continue;
      if (!range.Contains(dx, dy)) continue;
      const int kk = cover >= 1.0 ? k : static_cast<int>(k * cover);
      if (kk > 0) row[x] = BlendColor(row[x], colour, kk, m);
    }
  }
}

}  // namespace

void RasterArc(RasterBitmap* dest, float centreX, float centreY, float radius, float minAngle, float maxAngle,
               RasterPixel colour, float opacity, int mode, bool antialias) {
  const double r = radius;
  if (antialias) {
    DrawRound(dest, centreX, centreY, radius, minAngle, maxAngle, colour, opacity, mode,
              [r](double dx, double dy) { return 1.0 - std::fabs(std::hypot(dx, dy) - r); });
  } else {
    // Without antialias: along each column (or row, where the circle is
    // steeper) the one pixel nearest the circle, so the outline is connected.
    DrawRound(dest, centreX, centreY, radius, minAngle, maxAngle, colour, opacity, mode,
              [r](double dx, double dy) {
                const double ax = std::fabs(dx), ay = std::fabs(dy);
                const double major = ax <= ay ? ay : ax, minor = ax <= ay ? ax : ay;
                const double onCircle = std::sqrt(std::max(0.0, r * r - minor * minor));
                return minor <= r && major - onCircle >= -0.5 && major - onCircle < 0.5 ? 1.0 : 0.0;
              });
  }
}

void RasterFilledSector(RasterBitmap* dest, float centreX, float centreY, float radius, float minAngle,
                        float maxAngle, RasterPixel colour, float opacity, int mode, bool antialias) {
  const double r = radius;
  if (antialias) {
    // Full coverage up to the radius so sectors meet straight fills without a seam.
    DrawRound(dest, centreX, centreY, radius, minAngle, maxAngle, colour, opacity, mode,
              [r](double dx, double dy) { return std::min(1.0, r + 1.0 - std::hypot(dx, dy)); });
  } else {
    DrawRound(dest, centreX, centreY, radius, minAngle, maxAngle, colour, opacity, mode,
              [r](double dx, double dy) { return std::hypot(dx, dy) < r + 0.5 ? 1.0 : 0.0; });
  }
}

}  // namespace selvarin
