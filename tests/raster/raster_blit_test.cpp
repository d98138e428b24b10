#include <gtest/gtest.h>

#include <algorithm>

#include "raster/raster_blend.h"
#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster_test_util.h"

namespace selvarin {
namespace {

using test::At;
using test::CountNot;
using test::FillAll;

constexpr int kAlpha = kRasterUseSourceAlpha;

// One source pixel blitted onto one destination pixel.
RasterPixel BlitOne(RasterPixel d, RasterPixel s, float opacity, int mode) {
  RasterMemBitmap dst(1, 1), src(1, 1);
  At(dst, 0, 0) = d;
  At(src, 0, 0) = s;
  RasterBlit(&dst, &src, 0, 0, 0, 0, 1, 1, opacity, mode);
  return At(dst, 0, 0);
}

int Expected(int d, int s, int keep) { return s + (d - s) * keep / 256; }

TEST(RasterBlit, PlainCopy) {
  EXPECT_EQ(BlitOne(0xFF000000, 0x12345678, 1.0f, kRasterCopy), 0x12345678u);
  // Halving form: white over black gives 0x7F in every byte.
  EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 0.5f, kRasterCopy), 0x7F7F7F7Fu);
  // Just above 0.5 k is still 128, but the general rule applies: 255 - 127 = 128.
  EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 0.501f, kRasterCopy), 0x80808080u);
  // Other opacities: d = s + (d - s) * (256 - k) / 256 on all four bytes, k = 192.
  const RasterPixel r = BlitOne(RasterPackArgb(10, 200, 0, 100), RasterPackArgb(250, 0, 200, 100), 0.75f, kRasterCopy);
  EXPECT_EQ(RasterAlpha(r), Expected(10, 250, 64));
  EXPECT_EQ(RasterRed(r), Expected(200, 0, 64));
  EXPECT_EQ(RasterGreen(r), Expected(0, 200, 64));  // negative difference truncates toward zero
  EXPECT_EQ(RasterBlue(r), 100);
  // Plain copy ignores the source alpha.
  EXPECT_EQ(BlitOne(0xFF112233, 0x00445566, 1.0f, kRasterCopy), 0x00445566u);
}

TEST(RasterBlit, AlphaWeightedCopyAtFullOpacity) {
  const RasterPixel d = RasterPackArgb(255, 10, 200, 90);
  EXPECT_EQ(BlitOne(d, 0x00FFFFFF, 1.0f, kAlpha), d);  // transparent source leaves d
  EXPECT_EQ(BlitOne(d, 0xFF010203, 1.0f, kAlpha), 0xFF010203u);
  const RasterPixel s = RasterPackArgb(128, 250, 20, 90);
  const RasterPixel r = BlitOne(d, s, 1.0f, kAlpha);
  EXPECT_EQ(RasterAlpha(r), 255);
  EXPECT_EQ(RasterRed(r), Expected(10, 250, 127));
  EXPECT_EQ(RasterGreen(r), Expected(200, 20, 127));
  EXPECT_EQ(RasterBlue(r), 90);
  // Alpha accumulates up to 255 over a translucent destination.
  EXPECT_EQ(RasterAlpha(BlitOne(RasterPackArgb(100, 0, 0, 0), RasterPackArgb(100, 0, 0, 0), 1.0f, kAlpha)), 200);
}

TEST(RasterBlit, AlphaWeightedCopyAtOtherOpacity) {
  const RasterPixel d = RasterPackArgb(20, 10, 200, 90);
  EXPECT_EQ(BlitOne(d, 0x00FFFFFF, 0.75f, kAlpha), d);
  const RasterPixel s = RasterPackArgb(200, 250, 20, 90);
  const int w = 192 * 201 / 256;
  const RasterPixel r = BlitOne(d, s, 0.75f, kAlpha);
  EXPECT_EQ(RasterAlpha(r), std::min(255, w + 20));
  EXPECT_EQ(RasterRed(r), Expected(10, 250, 256 - w));
  EXPECT_EQ(RasterGreen(r), Expected(200, 20, 256 - w));
}

TEST(RasterBlit, AddAndDodge) {
  const RasterPixel d = RasterPackArgb(100, 100, 250, 0);
  const RasterPixel s = RasterPackArgb(128, 200, 100, 60);
  EXPECT_EQ(BlitOne(d, s & 0x00FFFFFF, 1.0f, kRasterAdd | kAlpha), d);
  const int w = 256 * 129 / 256;
  RasterPixel r = BlitOne(d, s, 1.0f, kRasterAdd | kAlpha);
  EXPECT_EQ(RasterRed(r), std::min(255, w * 200 / 256 + 100));
  EXPECT_EQ(RasterGreen(r), 255);  // clamped
  EXPECT_EQ(RasterBlue(r), w * 60 / 256);
  EXPECT_EQ(RasterAlpha(r), 128 * w / 256 + 100);

  EXPECT_EQ(BlitOne(d, s & 0x00FFFFFF, 1.0f, kRasterColorDodge | kAlpha), d);
  r = BlitOne(RasterPackArgb(255, 100, 0, 50), RasterPackArgb(255, 128, 255, 255), 1.0f, kRasterColorDodge | kAlpha);
  EXPECT_EQ(RasterRed(r), 100 * 256 / (256 - 128));
  EXPECT_EQ(RasterGreen(r), 0);    // t > 254: d * 256 with d = 0
  EXPECT_EQ(RasterBlue(r), 255);   // limited to 255
}

TEST(RasterBlit, TransparentSourceLeavesEveryAlphaModeAlone) {
  const RasterPixel d = 0x80402010;
  for (int mode : {kRasterCopy, kRasterAdd, kRasterColorDodge}) {
    for (float o : {1.0f, 0.5f, 0.3f}) EXPECT_EQ(BlitOne(d, 0x00FFFFFF, o, mode | kAlpha), d) << mode << " " << o;
  }
}

TEST(RasterBlit, AlphaRowsMatchThePixelRuleExactly) {
  // The row loops may be vectorised; every pixel must still follow the rule.
  RasterMemBitmap src(37, 5), dst(37, 5), ref(37, 5);
  unsigned seed = 12345;
  const auto next = [&seed]() { return seed = seed * 1664525u + 1013904223u; };
  for (float opacity : {1.0f, 0.75f, 0.5f, 0.39f, 0.03f}) {
    const int k = RasterOpacityToK(opacity);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 37; ++x) {
        RasterPixel sp = next();
        const unsigned pick = next() % 8;
        if (pick == 0) sp &= 0x00FFFFFFu;  // transparent
        if (pick == 1) sp |= 0xFF000000u;  // opaque
        At(src, x, y) = sp;
        At(dst, x, y) = At(ref, x, y) = next();
      }
    }
    // A row of opaque pixels and one of transparent ones take the shortcuts.
    for (int x = 0; x < 37; ++x) {
      At(src, x, 3) |= 0xFF000000u;
      At(src, x, 4) &= 0x00FFFFFFu;
    }
    RasterBlit(&dst, &src, 0, 0, 0, 0, 37, 5, opacity, kAlpha);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 37; ++x) {
        ASSERT_EQ(At(dst, x, y), raster_detail::CombinePixel(At(ref, x, y), At(src, x, y), k, kAlpha))
            << opacity << " at " << x << "," << y;
      }
    }
  }
}

TEST(RasterBlit, ClipsSourceAndDestination) {
  RasterMemBitmap src(4, 4), dst(8, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) At(src, x, y) = 0xFF000000u | (y << 8) | x;

  // Source rectangle partly left of and above the source: shifted on the destination.
  FillAll(dst, 0);
  RasterBlit(&dst, &src, 2, 2, -1, -2, 3, 4, 1.0f, kRasterCopy);
  EXPECT_EQ(At(dst, 3, 4), 0xFF000000u);        // source (0, 0)
  EXPECT_EQ(At(dst, 4, 5), 0xFF000101u);        // source (1, 1)
  EXPECT_EQ(CountNot(dst, 0), 4);               // 2 columns x 2 rows survive

  // Negative destination cuts the source side.
  FillAll(dst, 0);
  RasterBlit(&dst, &src, -3, -1, 0, 0, 4, 4, 1.0f, kRasterCopy);
  EXPECT_EQ(At(dst, 0, 0), 0xFF000103u);
  EXPECT_EQ(CountNot(dst, 0), 3);

  // Limited to the destination on the right and bottom.
  FillAll(dst, 0);
  RasterBlit(&dst, &src, 6, 7, 0, 0, 4, 4, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(dst, 0), 2);
  EXPECT_EQ(At(dst, 7, 7), 0xFF000001u);
}

TEST(RasterBlit, DrawsNothingWithoutBitmapsOrArea) {
  RasterMemBitmap src(4, 4), dst(4, 4), empty;
  FillAll(src, 0xFFFFFFFF);
  FillAll(dst, 0x11111111);
  RasterBlit(&dst, nullptr, 0, 0, 0, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(nullptr, &src, 0, 0, 0, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(&dst, &empty, 0, 0, 0, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(&empty, &src, 0, 0, 0, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(&dst, &src, 0, 0, 0, 0, 0, 4, 1.0f, kRasterCopy);
  RasterBlit(&dst, &src, 4, 0, 0, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(&dst, &src, 0, 0, 5, 0, 4, 4, 1.0f, kRasterCopy);
  RasterBlit(&dst, &src, 0, 0, 0, 0, 4, 4, 0.0f, kRasterCopy);
  RasterBlit(&dst, &src, -2147483647, 0, 0, 0, 2147483647, 4, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(dst, 0x11111111), 0);
}

TEST(RasterBlit, OverlappingBlitWithinOneBitmap) {
  RasterMemBitmap b(6, 1);
  for (int x = 0; x < 6; ++x) At(b, x, 0) = static_cast<RasterPixel>(x);
  RasterBlit(&b, &b, 1, 0, 0, 0, 5, 1, 1.0f, kRasterCopy);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(At(b, x, 0), static_cast<RasterPixel>(x - 1));
  for (int x = 0; x < 6; ++x) At(b, x, 0) = 0xFF000000u | static_cast<RasterPixel>(x * 10);
  RasterBlit(&b, &b, 0, 0, 1, 0, 5, 1, 0.5f, kRasterCopy);
  EXPECT_EQ(RasterBlue(At(b, 0, 0)), 10 / 2 + 0);
  EXPECT_EQ(RasterBlue(At(b, 1, 0)), 20 / 2 + 10 / 2);
}

}  // namespace
}  // namespace selvarin
