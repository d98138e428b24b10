#include <gtest/gtest.h>

#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster_test_util.h"

namespace selvarin {
namespace {

using test::At;
using test::CountNot;
using test::FillAll;

constexpr float kPi = 3.14159265f;
constexpr RasterPixel kMarker = 0x12345678u;

// Source pixels that tell their position: 0xFF, y, x, 0x80.
void Number(RasterBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) At(b, x, y) = RasterPackArgb(255, y, x, 0x80);
}

TEST(RasterRotatedBlit, ZeroAngleCopies) {
  RasterMemBitmap src(4, 3), dst(8, 8);
  Number(src);
  FillAll(dst, kMarker);
  RasterRotatedBlit(&dst, &src, 2, 1, 4, 3, 0, 0, 4, 3, 0.0f, false, 1.0f, kRasterCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(dst, 2 + x, 1 + y), At(src, x, y));
  EXPECT_EQ(CountNot(dst, kMarker), 12);
}

TEST(RasterRotatedBlit, QuarterTurnIsClockwise) {
  RasterMemBitmap src(3, 3), dst(3, 3);
  Number(src);
  RasterRotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, kPi / 2, false, 1.0f, kRasterCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(dst, x, y), At(src, y, 2 - x)) << x << "," << y;
}

TEST(RasterRotatedBlit, NegativeSizesMirror) {
  RasterMemBitmap src(4, 2), dst(4, 2);
  Number(src);
  RasterRotatedBlit(&dst, &src, 4, 0, -4, 2, 0, 0, 4, 2, 0.0f, false, 1.0f, kRasterCopy);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(dst, x, y), At(src, 3 - x, y));
  RasterRotatedBlit(&dst, &src, 0, 2, 4, -2, 0, 0, 4, 2, 0.0f, false, 1.0f, kRasterCopy);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(At(dst, x, 0), At(src, x, 1));
  RasterRotatedBlit(&dst, &src, 0, 0, 4, 2, 4, 0, -4, 2, 0.0f, true, 1.0f, kRasterCopy);  // negative source width
  for (int x = 0; x < 4; ++x) EXPECT_EQ(At(dst, x, 1), At(src, 3 - x, 1));
}

TEST(RasterRotatedBlit, PixelsOutsideTheSampledAreaStay) {
  RasterMemBitmap src(10, 10), dst(10, 10);
  FillAll(src, 0xFFFFFFFF);
  FillAll(dst, kMarker);
  RasterRotatedBlit(&dst, &src, 0, 0, 10, 10, 0, 0, 10, 10, kPi / 4, false, 1.0f, kRasterCopy | kRasterFilterBilinear);
  EXPECT_EQ(At(dst, 0, 0), kMarker);  // corners map outside the rotated square
  EXPECT_EQ(At(dst, 9, 9), kMarker);
  EXPECT_EQ(At(dst, 5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(At(dst, 5, 0), 0xFFFFFFFFu);

  // Clipping to a source sub-rectangle: only its pixels are ever sampled.
  RasterMemBitmap numbered(6, 6);
  Number(numbered);
  FillAll(dst, kMarker);
  RasterRotatedBlit(&dst, &numbered, 0, 0, 10, 10, 2, 2, 2, 2, 0.3f, true, 1.0f, kRasterCopy);
  int drawn = 0;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const RasterPixel p = At(dst, x, y);
      if (p == kMarker) continue;
      ++drawn;
      EXPECT_TRUE(RasterRed(p) >= 2 && RasterRed(p) <= 3 && RasterGreen(p) >= 2 && RasterGreen(p) <= 3);
    }
  }
  EXPECT_GT(drawn, 40);
  EXPECT_LT(drawn, 100);
}

TEST(RasterRotatedBlit, BilinearUsesOnlyExistingNeighbours) {
  RasterMemBitmap src(2, 1), dst(4, 1);
  At(src, 0, 0) = 0xFF000000u;
  At(src, 1, 0) = 0xFFFFFFFFu;
  RasterRotatedBlit(&dst, &src, 0, 0, 4, 1, 0, 0, 2, 1, 0.0f, false, 1.0f, kRasterCopy | kRasterFilterBilinear);
  EXPECT_EQ(RasterGreen(At(dst, 0, 0)), 0);
  EXPECT_NEAR(RasterGreen(At(dst, 1, 0)), 64, 1);
  EXPECT_NEAR(RasterGreen(At(dst, 2, 0)), 191, 1);
  EXPECT_EQ(RasterGreen(At(dst, 3, 0)), 255);  // last column: no right neighbour
  EXPECT_EQ(RasterAlpha(At(dst, 2, 0)), 255);
}

TEST(RasterRotatedBlit, CombinesLikeBlit) {
  RasterMemBitmap src(2, 2), dst(2, 2);
  FillAll(src, 0xFFFFFFFF);
  FillAll(dst, 0);
  RasterRotatedBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 2, 2, 0.0f, false, 0.5f, kRasterCopy);
  EXPECT_EQ(At(dst, 1, 1), 0x7F7F7F7Fu);
  FillAll(dst, 0);
  RasterRotatedBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 2, 2, 0.0f, false, 0.501f, kRasterCopy);
  EXPECT_EQ(At(dst, 1, 1), 0x80808080u);  // only exactly 0.5 takes the halving form
  FillAll(src, 0x00FFFFFF);
  FillAll(dst, kMarker);
  RasterRotatedBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 2, 2, 0.5f, false, 1.0f, kRasterCopy | kRasterUseSourceAlpha);
  EXPECT_EQ(CountNot(dst, kMarker), 0);
  RasterRotatedBlit(&dst, &src, 0, 0, 0, 2, 0, 0, 2, 2, 0.0f, false, 1.0f, kRasterCopy);
  RasterRotatedBlit(&dst, nullptr, 0, 0, 2, 2, 0, 0, 2, 2, 0.0f, false, 1.0f, kRasterCopy);
  RasterRotatedBlit(nullptr, &src, 0, 0, 2, 2, 0, 0, 2, 2, 0.0f, false, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(dst, kMarker), 0);
}

TEST(RasterRotatedBlit, HugeScalesSampleNothing) {
  RasterMemBitmap src(2, 2), dst(4, 4);
  FillAll(src, 0xFFFFFFFF);
  FillAll(dst, kMarker);
  RasterRotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 3e38f, 3e38f, 0.0f, false, 1.0f, kRasterCopy);
  RasterRotatedBlit(&dst, &src, 0, 0, 4, 4, -3e38f, 1e30f, 2, 2, 0.3f, false, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(dst, kMarker), 0);
}

}  // namespace
}  // namespace selvarin
