#pragma once
// Plain value types of the editor: rectangles, colours, text styles, images,
// pointer state and blend modes. Copied freely.
#include <cmath>
#include <cstdint>

#include "raster/raster_types.h"

namespace selvarin {

class RasterBitmap;
class RasterFont;

// A rectangle in editor pixels, origin top-left. Empty means all four are 0
// (a zero-size rectangle elsewhere is not empty by this rule).
struct IArea {
  int32_t L = 0, T = 0, R = 0, B = 0;

  int W() const { return R - L; }
  int H() const { return B - T; }
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  bool Overlaps(const IArea& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
  bool operator==(const IArea& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IArea& o) const { return !(*this == o); }
  IArea Intersect(const IArea& o) const {
    if (Empty() || o.Empty() || !Overlaps(o)) return IArea{};
    return IArea{L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B};
  }
  IArea Union(const IArea& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IArea{L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B};
  }
  // Inclusive on all four sides.
  bool Contains(int x, int y) const { return L <= x && x <= R && T <= y && y <= B; }
};

struct IRgba {
  int32_t A = 255, R = 0, G = 0, B = 0;
  RasterPixel Packed() const { return RasterPackArgb(A, R, G, B); }
  float AlphaFraction() const { return static_cast<float>(A) * 0.003921569f; }
};

struct ITextStyle {
  char face[32] = "Arial";
  int size = 15;  // cell height in pixels
  IRgba colour{255, 0, 0, 0};
  int style = 0;        // bit 0 bold, bit 1 italic
  int align = 0;        // 0 left, 1 centre, 2 right
  int orientation = 0;  // degrees
  int quality = 0;      // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
  RasterFont* cachedFont = nullptr;  // owned by the font cache
};

ITextStyle MakeTextStyle(const char* face, int size, IRgba colour, int align = 0);

struct IImage {
  RasterBitmap* raster = nullptr;  // owned by the bitmap cache
  int W = 0;
  int H = 0;
  int N = 1;
  bool framesHorizontal = false;
};

struct IPointerState {
  bool L = false, R = false, S = false, C = false, A = false;
};

// 0 (or anything outside 1..3): copy with the source's alpha; 1: plain copy;
// 2: additive; 3: colour dodge.
struct IBlendMode {
  int method = 0;
  float weight = 1.0f;
};

// Raster mode bits for a blend (no blend: copy with source alpha).
int RasterModeOf(const IBlendMode* blend);

// Half away from zero.
inline int RoundNearest(double v) { return static_cast<int>(v >= 0.0 ? v + 0.5 : v - 0.5); }
inline int RoundNearestF(float v) { return static_cast<int>(v >= 0.0f ? v + 0.5f : v - 0.5f); }

// The 1-based frame of an n-frame image that shows a normalised value:
// round((n - 1) * value) + 1, limited to 1..n.
inline int FrameForValue(double value, int n) {
  if (n < 2) return 1;
  const int frame = RoundNearest((n - 1) * value) + 1;
  return frame < 1 ? 1 : (frame > n ? n : frame);
}

}  // namespace selvarin
