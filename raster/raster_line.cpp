#include <cmath>

#include "raster/raster_blend.h"
#include "raster/raster_draw.h"

namespace selvarin {

using namespace raster_detail;

namespace {

// Liang-Barsky clip of the segment to [0, maxX] x [0, maxY]; false when
// nothing of it is inside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double maxX, double maxY) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0.0, t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1, maxX - x1, y1, maxY - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
  x2 = x1 + t1 * dx;
  y2 = y1 + t1 * dy;
  x1 = nx1;
  y1 = ny1;
  return true;
}

struct Plotter {
  RasterPixel* bits;
  int span, width, height;
  RasterPixel colour;
  int mode;
  void operator()(int x, int y, int k) const {
    if (k <= 0 || x < 0 || y < 0 || x >= width || y >= height) return;
    RasterPixel& p = bits[static_cast<long>(y) * span + x];
    p = BlendColor(p, colour, k, mode);
  }
};

// Steps along the major axis; the minor coordinate follows the ideal line.
// With antialias the two pixels straddling it share k by coverage.
void DrawSegment(RasterBitmap* dest, double x1, double y1, double x2, double y2, RasterPixel colour, float opacity,
                 int mode, bool antialias) {
  if (!dest) return;
  RasterPixel* bits = dest->Bits();
  const int k = RasterOpacityToK(opacity);
  if (!bits || k == 0 || dest->Width() <= 0 || dest->Height() <= 0) return;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  if (!ClipSegment(x1, y1, x2, y2, dest->Width() - 1, dest->Height() - 1)) return;
  const Plotter plot{bits, dest->RowSpan(), dest->Width(), dest->Height(), colour, mode & ~kRasterUseSourceAlpha};

  const double dx = x2 - x1, dy = y2 - y1;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  double a1 = xMajor ? x1 : y1, a2 = xMajor ? x2 : y2;  // major axis
  double b1 = xMajor ? y1 : x1, b2 = xMajor ? y2 : x2;  // minor axis
  if (a1 > a2) {
    std::swap(a1, a2);
    std::swap(b1, b2);
  }
  const int start = static_cast<int>(std::floor(a1 + 0.5));
  const int end = static_cast<int>(std::floor(a2 + 0.5));
  const double slope = a2 > a1 ? (b2 - b1) / (a2 - a1) : 0.0;
  for (int a = start; a <= end; ++a) {
    const double b = b1 + (a - a1) * slope;
    if (antialias) {
      const double lower = std::floor(b);
      const double f = b - lower;
      const int kHigh = static_cast<int>(k * f);
      const int kLow = k - kHigh;
      const int bi = static_cast<int>(lower);
      if (xMajor) {
        plot(a, bi, kLow);
        plot(a, bi + 1, kHigh);
      } else {
        plot(bi, a, kLow);
        plot(bi + 1, a, kHigh);
      }
    } else {
      const int bi = static_cast<int>(std::floor(b + 0.5));
      if (xMajor) {
        plot(a, bi, k);
      } else {
        plot(bi, a, k);
      }
    }
  }
}

}  // namespace

void RasterLine(RasterBitmap* dest, int x1, int y1, int x2, int y2, RasterPixel colour, float opacity, int mode,
                bool antialias) {
  DrawSegment(dest, x1, y1, x2, y2, colour, opacity, mode, antialias);
}

void RasterLineF(RasterBitmap* dest, float x1, float y1, float x2, float y2, RasterPixel colour, float opacity,
                 int mode, bool antialias) {
  DrawSegment(dest, x1, y1, x2, y2, colour, opacity, mode, antialias);
}

}  // namespace selvarin
