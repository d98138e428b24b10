#pragma once
// Per-pixel combining rules shared by the drawing loops. Division by 256 is
// integer division truncating toward zero (signed operands), on purpose.
#include <algorithm>

#include "raster/raster_types.h"

namespace selvarin {
namespace raster_detail {

constexpr RasterPixel kHalfMask = 0x7F7F7F7Fu;
constexpr RasterPixel kQuarterMask = 0x3F3F3F3Fu;

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// v / 256 truncating toward zero, spelled with shifts: compilers otherwise
// sometimes emit a real division in these loops.
inline int Div256(int v) { return (v + ((v >> 31) & 255)) >> 8; }
inline int Channel(RasterPixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

inline RasterPixel Halves(RasterPixel d, RasterPixel s) {
  return ((d >> 1) & kHalfMask) + ((s >> 1) & kHalfMask);
}

// d = s + (d - s) * keep / 256 on one channel.
inline int Mix(int d, int s, int keep) { return s + Div256((d - s) * keep); }

// Plain copy at opacity k (source alpha ignored): all four bytes.
inline RasterPixel CopyPlain(RasterPixel d, RasterPixel s, int k) {
  const int keep = 256 - k;
  return static_cast<RasterPixel>(Mix(Channel(d, 0), Channel(s, 0), keep)) |
         static_cast<RasterPixel>(Mix(Channel(d, 8), Channel(s, 8), keep)) << 8 |
         static_cast<RasterPixel>(Mix(Channel(d, 16), Channel(s, 16), keep)) << 16 |
         static_cast<RasterPixel>(Mix(Channel(d, 24), Channel(s, 24), keep)) << 24;
}

// Copy weighted by the source alpha at full opacity.
inline RasterPixel CopyAlphaFull(RasterPixel d, RasterPixel s) {
  const int sa = static_cast<int>(s >> 24);
  if (sa == 0) return d;
  if (sa == 255) return s;
  const int keep = 255 - sa;
  const int a = std::min(255, sa + Channel(d, 24));
  return static_cast<RasterPixel>(Mix(Channel(d, 0), Channel(s, 0), keep)) |
         static_cast<RasterPixel>(Mix(Channel(d, 8), Channel(s, 8), keep)) << 8 |
         static_cast<RasterPixel>(Mix(Channel(d, 16), Channel(s, 16), keep)) << 16 |
         static_cast<RasterPixel>(a) << 24;
}

// Copy weighted by the source alpha at opacity k.
inline RasterPixel CopyAlpha(RasterPixel d, RasterPixel s, int k) {
  const int sa = static_cast<int>(s >> 24);
  if (sa == 0) return d;
  const int w = (k * (sa + 1)) >> 8;
  const int keep = 256 - w;
  const int a = std::min(255, w + Channel(d, 24));
  return static_cast<RasterPixel>(Mix(Channel(d, 0), Channel(s, 0), keep)) |
         static_cast<RasterPixel>(Mix(Channel(d, 8), Channel(s, 8), keep)) << 8 |
         static_cast<RasterPixel>(Mix(Channel(d, 16), Channel(s, 16), keep)) << 16 |
         static_cast<RasterPixel>(a) << 24;
}

// Additive: w = k * (sa + 1) / 256 when weighted by alpha, else k.
inline RasterPixel Add(RasterPixel d, RasterPixel s, int k, bool useAlpha) {
  const int sa = static_cast<int>(s >> 24);
  if (useAlpha && sa == 0) return d;
  const int w = useAlpha ? (k * (sa + 1)) >> 8 : k;
  return static_cast<RasterPixel>(Clamp255(Div256(w * Channel(s, 0)) + Channel(d, 0))) |
         static_cast<RasterPixel>(Clamp255(Div256(w * Channel(s, 8)) + Channel(d, 8))) << 8 |
         static_cast<RasterPixel>(Clamp255(Div256(w * Channel(s, 16)) + Channel(d, 16))) << 16 |
         static_cast<RasterPixel>(Clamp255(Div256(sa * w) + Channel(d, 24))) << 24;
}

inline int DodgeChannel(int d, int s, int w) {
  const int t = Div256(w * s);
  const int v = t > 254 ? d * 256 : d * 256 / (256 - t);
  return v > 255 ? 255 : v;
}

inline RasterPixel Dodge(RasterPixel d, RasterPixel s, int k, bool useAlpha) {
  const int sa = static_cast<int>(s >> 24);
  if (useAlpha && sa == 0) return d;
  const int w = useAlpha ? (k * (sa + 1)) >> 8 : k;
  return static_cast<RasterPixel>(DodgeChannel(Channel(d, 0), Channel(s, 0), w)) |
         static_cast<RasterPixel>(DodgeChannel(Channel(d, 8), Channel(s, 8), w)) << 8 |
         static_cast<RasterPixel>(DodgeChannel(Channel(d, 16), Channel(s, 16), w)) << 16 |
         static_cast<RasterPixel>(DodgeChannel(Channel(d, 24), sa, w)) << 24;
}

// One source pixel onto one destination pixel under a mode, as blits do.
// The halving form of a plain copy belongs to an opacity of exactly 0.5
// (exactHalf); nearby opacities that also give k = 128 use the general rule.
// Combines the editor never selects (multiply, overlay, HSV) leave d.
inline RasterPixel CombinePixel(RasterPixel d, RasterPixel s, int k, int mode, bool exactHalf = false) {
  const bool useAlpha = (mode & kRasterUseSourceAlpha) != 0;
  switch (mode & kRasterCombineMask) {
    case kRasterCopy:
      if (useAlpha) return k >= 256 ? CopyAlphaFull(d, s) : CopyAlpha(d, s, k);
      if (k >= 256) return s;
      if (exactHalf) return Halves(d, s);
      return CopyPlain(d, s, k);
    case kRasterAdd:
      return Add(d, s, k, useAlpha);
    case kRasterColorDodge:
      return Dodge(d, s, k, useAlpha);
    default:
      return d;
  }
}

// A solid colour at an opacity k without a byte-shift form: colours move
// toward c, alpha toward k.
inline RasterPixel FillCopyGeneral(RasterPixel d, RasterPixel c, int k) {
  const int keep = 256 - k;
  const int b = Div256((Channel(d, 0) - Channel(c, 0)) * keep) + Channel(c, 0);
  const int g = Div256((Channel(d, 8) - Channel(c, 8)) * keep) + Channel(c, 8);
  const int r = Div256((Channel(d, 16) - Channel(c, 16)) * keep) + Channel(c, 16);
  const int a = k + Div256((Channel(d, 24) - k) * keep);
  return static_cast<RasterPixel>(b) | static_cast<RasterPixel>(g) << 8 | static_cast<RasterPixel>(r) << 16 |
         static_cast<RasterPixel>(a) << 24;
}

// A solid colour onto one pixel at opacity k in copy mode, as fills do:
// byte-shift forms at 1.0, 0.75, 0.5 and 0.25.
inline RasterPixel FillCopy(RasterPixel d, RasterPixel c, int k) {
  switch (k) {
    case 256:
      return c;
    case 128:
      return Halves(d, c);
    case 64:
      return ((d >> 1) & kHalfMask) + ((d >> 2) & kQuarterMask) + ((c >> 2) & kQuarterMask);
    case 192:
      return ((d >> 2) & kQuarterMask) + ((c >> 1) & kHalfMask) + ((c >> 2) & kQuarterMask);
    default:
      return FillCopyGeneral(d, c, k);
  }
}

// A solid colour onto one pixel under a mode (alpha weighting already folded
// into k by the caller).
inline RasterPixel BlendColor(RasterPixel d, RasterPixel c, int k, int mode) {
  if ((mode & kRasterCombineMask) == kRasterCopy) return FillCopy(d, c, k);
  return CombinePixel(d, c, k, mode & ~kRasterUseSourceAlpha);
}

}  // namespace raster_detail
}  // namespace selvarin
