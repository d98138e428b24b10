#include <gtest/gtest.h>

#include <cmath>

#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster_test_util.h"

namespace selvarin {
namespace {

using test::At;
using test::CountNot;
using test::FillAll;

constexpr RasterPixel kBlack = 0xFF000000u;
constexpr RasterPixel kWhite = 0xFFFFFFFFu;
constexpr float kPi = 3.14159265f;

TEST(RasterLine, RunsIncludeBothEnds) {
  RasterMemBitmap b(10, 10);
  FillAll(b, kBlack);
  RasterLine(&b, 2, 3, 7, 3, kWhite, 1.0f, kRasterCopy, false);
  EXPECT_EQ(CountNot(b, kBlack), 6);
  for (int x = 2; x <= 7; ++x) EXPECT_EQ(At(b, x, 3), kWhite);
  FillAll(b, kBlack);
  RasterLine(&b, 4, 8, 4, 1, kWhite, 1.0f, kRasterCopy, true);  // antialias changes nothing on axes
  EXPECT_EQ(CountNot(b, kBlack), 8);
  FillAll(b, kBlack);
  RasterLine(&b, 1, 1, 6, 6, kWhite, 1.0f, kRasterCopy, true);  // diagonal: one pixel per step
  EXPECT_EQ(CountNot(b, kBlack), 6);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(At(b, i, i), kWhite);
}

TEST(RasterLine, OpacityUsesFillForms) {
  RasterMemBitmap b(4, 1);
  FillAll(b, 0);
  RasterLine(&b, 0, 0, 3, 0, kWhite, 0.5f, kRasterCopy, false);
  EXPECT_EQ(At(b, 1, 0), 0x7F7F7F7Fu);
  FillAll(b, 0);
  RasterLine(&b, 0, 0, 3, 0, kWhite, 0.25f, kRasterCopy, false);
  EXPECT_EQ(At(b, 2, 0), 0x3F3F3F3Fu);
}

TEST(RasterLine, AntialiasSharesOpacityByCoverage) {
  RasterMemBitmap b(11, 4);
  FillAll(b, 0);
  // Slope 1/10: at x = 5 the ideal line is at y = 1.5, split evenly.
  RasterLine(&b, 0, 1, 10, 2, kWhite, 1.0f, kRasterCopy, true);
  EXPECT_EQ(At(b, 5, 1), 0x7F7F7F7Fu);
  EXPECT_EQ(At(b, 5, 2), 0x7F7F7F7Fu);
  EXPECT_EQ(At(b, 0, 1), kWhite);
  EXPECT_EQ(At(b, 10, 2), kWhite);
  for (int x = 0; x <= 10; ++x) {
    const int sum = RasterGreen(At(b, x, 0)) + RasterGreen(At(b, x, 1)) + RasterGreen(At(b, x, 2)) +
                    RasterGreen(At(b, x, 3));
    EXPECT_NEAR(sum, 255, 2) << x;  // each column carries one pixel's worth
  }
}

TEST(RasterLine, ClipsToBitmap) {
  RasterMemBitmap b(10, 10);
  FillAll(b, kBlack);
  RasterLine(&b, -20, 5, 40, 5, kWhite, 1.0f, kRasterCopy, false);
  EXPECT_EQ(CountNot(b, kBlack), 10);
  FillAll(b, kBlack);
  RasterLine(&b, -5, -5, -1, 20, kWhite, 1.0f, kRasterCopy, true);
  RasterLine(&b, 11, 0, 30, 30, kWhite, 1.0f, kRasterCopy, false);
  RasterLineF(&b, 0.0f, 0.0f, NAN, 5.0f, kWhite, 1.0f, kRasterCopy, false);
  RasterLine(nullptr, 0, 0, 5, 5, kWhite, 1.0f, kRasterCopy, false);
  EXPECT_EQ(CountNot(b, kBlack), 0);
}

TEST(RasterLine, FloatEndPoints) {
  RasterMemBitmap b(10, 10);
  FillAll(b, kBlack);
  RasterLineF(&b, 1.0f, 2.25f, 8.0f, 2.25f, kWhite, 1.0f, kRasterCopy, true);
  // A quarter of the way down from row 2 toward row 3.
  EXPECT_NEAR(RasterGreen(At(b, 4, 2)), 255 * 192 / 256, 2);
  EXPECT_NEAR(RasterGreen(At(b, 4, 3)), 64, 1);
}

// Fraction of the pixels in a quadrant of the circle around (cx, cy) that are lit.
int LitIn(RasterBitmap& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += At(b, x, y) != kBlack;
  return n;
}

TEST(RasterArc, ZeroPointsUpAndAnglesGrowClockwise) {
  RasterMemBitmap b(41, 41);
  FillAll(b, kBlack);
  // Quarter from 0 (up) to pi/2 (right): the top-right quadrant only.
  RasterArc(&b, 20, 20, 15, 0.0f, kPi / 2, kWhite, 1.0f, kRasterCopy, true);
  EXPECT_GT(LitIn(b, 21, 0, 40, 19), 15);
  EXPECT_EQ(LitIn(b, 0, 0, 19, 19), 0);
  EXPECT_EQ(LitIn(b, 0, 21, 40, 40), 0);
  EXPECT_EQ(At(b, 20, 5), kWhite);   // the top point (angle 0)
  EXPECT_EQ(At(b, 35, 20), kWhite);  // the right point (angle pi/2)

  FillAll(b, kBlack);
  RasterArc(&b, 20, 20, 15, kPi, 3 * kPi / 2, kWhite, 1.0f, kRasterCopy, false);  // bottom-left
  EXPECT_GT(LitIn(b, 0, 21, 19, 40), 15);
  EXPECT_EQ(LitIn(b, 21, 0, 40, 40), 0);
  // Angles beyond 2*pi and given in reverse order keep their span.
  RasterMemBitmap c(41, 41);
  FillAll(c, kBlack);
  RasterArc(&c, 20, 20, 15, 3 * kPi / 2 + 4 * kPi, kPi + 4 * kPi, kWhite, 1.0f, kRasterCopy, false);
  EXPECT_EQ(CountNot(c, kBlack), CountNot(b, kBlack));
}

TEST(RasterArc, FullCircleAndNothingAtZeroOpacity) {
  RasterMemBitmap b(41, 41);
  FillAll(b, kBlack);
  RasterArc(&b, 20, 20, 10, 0.0f, 0.001f, kWhite, 0.003f, kRasterCopy, true);
  EXPECT_EQ(CountNot(b, kBlack), 0);
  RasterArc(&b, 20, 20, 10, -1.0f, -1.0f + 2 * kPi, kWhite, 1.0f, kRasterCopy, false);
  // Every point of the circle has a lit pixel next to it, and every lit pixel is near the circle.
  for (float a = 0; a < 2 * kPi; a += 0.05f) {
    const int x = static_cast<int>(std::lround(20 + 10 * std::sin(a)));
    const int y = static_cast<int>(std::lround(20 - 10 * std::cos(a)));
    int near = 0;
    for (int j = -1; j <= 1; ++j)
      for (int i = -1; i <= 1; ++i) near += At(b, x + i, y + j) != kBlack;
    EXPECT_GT(near, 0) << a;
    EXPECT_LT(near, 4) << a;  // a thin outline
  }
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x)
      if (At(b, x, y) != kBlack) {
        EXPECT_NEAR(std::hypot(x - 20.0, y - 20.0), 10.0, 0.75);
      }
}

TEST(RasterSector, QuarterMeetsStraightFillsWithoutOverlap) {
  // A rounded corner as the editor builds it: sector at (L + r, T + r) from
  // -pi/2 to 0 plus rectangles right of and below the centre.
  const int r = 6;
  RasterMemBitmap b(20, 20);
  FillAll(b, 0);
  RasterFilledSector(&b, r, r, r, -kPi / 2, 0.0f, 0xFFFFFFFF, 0.5f, kRasterCopy, false);
  RasterFillRect(&b, r + 1, 0, 13, r + 1, 0xFFFFFFFF, 0.5f, kRasterCopy);
  RasterFillRect(&b, 0, r + 1, 20, 10, 0xFFFFFFFF, 0.5f, kRasterCopy);
  // Painted once everywhere along the seams: never twice (0xBE..), never skipped.
  for (int x = 0; x < 20; ++x) EXPECT_EQ(At(b, x, r), 0x7F7F7F7Fu) << x;
  for (int y = 0; y < 17; ++y) EXPECT_EQ(At(b, r, y), 0x7F7F7F7Fu) << y;
  EXPECT_EQ(At(b, 0, 0), 0u);  // the rounded-off corner
  EXPECT_EQ(At(b, 0, r), 0x7F7F7F7Fu);
  EXPECT_EQ(At(b, r, 0), 0x7F7F7F7Fu);
}

TEST(RasterSector, AntialiasedDiscEdge) {
  RasterMemBitmap b(41, 41);
  FillAll(b, kBlack);
  RasterFilledSector(&b, 20, 20, 10, 0.0f, 2 * kPi, kWhite, 1.0f, kRasterCopy, true);
  EXPECT_EQ(At(b, 20, 20), kWhite);
  EXPECT_EQ(At(b, 20, 10), kWhite);  // on the radius
  EXPECT_EQ(At(b, 20, 9), kBlack);
  const int diagonal = RasterGreen(At(b, 28, 28));  // distance 11.3: outside
  EXPECT_EQ(diagonal, 0);
  const int edge = RasterGreen(At(b, 27, 27));  // distance 9.9: inside
  EXPECT_EQ(edge, 255);
  const int partial = RasterGreen(At(b, 27, 28));  // distance 10.6: partly covered
  EXPECT_GT(partial, 50);
  EXPECT_LT(partial, 210);
}

}  // namespace
}  // namespace selvarin
