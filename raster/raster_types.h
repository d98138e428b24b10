#pragma once
// Shared value types of the raster layer: the pixel, a rectangle and the
// blend-mode bits that every drawing operation takes.
#include <cstdint>

namespace selvarin {

// A*2^24 + R*2^16 + G*2^8 + B; in memory the bytes are B, G, R, A.
// Colour channels are not premultiplied by alpha.
using RasterPixel = std::uint32_t;

// Opaque handle of a platform device context (none on portable builds).
using RasterDeviceContext = void*;

struct RasterRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Low byte of a mode argument: how source and destination combine.
enum RasterCombine : int {
  kRasterCopy = 0,
  kRasterAdd = 1,
  kRasterColorDodge = 2,
  kRasterMultiply = 3,
  kRasterOverlay = 4,
  kRasterHsvAdjust = 5,
  kRasterCombineMask = 0xFF,
};

// Flags of a mode argument.
enum RasterModeFlag : int {
  kRasterFilterBilinear = 0x100,   // rotated blit only
  kRasterUseSourceAlpha = 0x10000, // weigh by the source pixel's alpha
};

constexpr RasterPixel RasterPackArgb(int a, int r, int g, int b) {
  return (static_cast<RasterPixel>(a & 0xFF) << 24) | (static_cast<RasterPixel>(r & 0xFF) << 16) |
         (static_cast<RasterPixel>(g & 0xFF) << 8) | static_cast<RasterPixel>(b & 0xFF);
}
constexpr int RasterAlpha(RasterPixel p) { return static_cast<int>(p >> 24); }
constexpr int RasterRed(RasterPixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int RasterGreen(RasterPixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int RasterBlue(RasterPixel p) { return static_cast<int>(p & 0xFF); }

// Opacity k in 1/256 steps: trunc(opacity * 256), opacity limited to 0..1.
int RasterOpacityToK(float opacity);

}  // namespace selvarin
