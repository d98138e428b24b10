#include <gtest/gtest.h>

#include "raster/raster_blend.h"
#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster_test_util.h"

namespace selvarin {
namespace {

using test::At;
using test::CountNot;
using test::FillAll;

RasterPixel FillOne(RasterPixel d, RasterPixel c, float opacity, int mode = kRasterCopy) {
  RasterMemBitmap b(1, 1);
  At(b, 0, 0) = d;
  RasterFillRect(&b, 0, 0, 1, 1, c, opacity, mode);
  return At(b, 0, 0);
}

TEST(RasterFill, ByteShiftForms) {
  EXPECT_EQ(FillOne(0x12345678, 0xFFFFFFFF, 1.0f), 0xFFFFFFFFu);
  EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.5f), 0x7F7F7F7Fu);
  // 0.25: d/2 + d/4 + c/4 per byte, no carries.
  EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.25f), 0xBEBEBEBEu);  // 127 + 63
  EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.25f), 0x3F3F3F3Fu);
  // 0.75: d/4 + c/2 + c/4.
  EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.75f), 0xBEBEBEBEu);
  EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.75f), 0x3F3F3F3Fu);
}

TEST(RasterFill, GeneralOpacity) {
  // k = 100: colours move toward c, alpha toward k.
  const RasterPixel r = FillOne(RasterPackArgb(255, 0, 200, 50), RasterPackArgb(255, 255, 0, 50), 100.0f / 256.0f);
  EXPECT_EQ(RasterRed(r), (0 - 255) * 156 / 256 + 255);
  EXPECT_EQ(RasterGreen(r), (200 - 0) * 156 / 256);
  EXPECT_EQ(RasterBlue(r), 50);
  EXPECT_EQ(RasterAlpha(r), 100 + (255 - 100) * 156 / 256);
}

TEST(RasterFill, RowsMatchThePixelRuleExactly) {
  RasterMemBitmap b(23, 3), ref(23, 3);
  unsigned seed = 99;
  const auto next = [&seed]() { return seed = seed * 1664525u + 1013904223u; };
  for (int k : {1, 37, 100, 129, 200, 255}) {
    const RasterPixel c = next();
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 23; ++x) At(b, x, y) = At(ref, x, y) = next();
    RasterFillRect(&b, 0, 0, 23, 3, c, k / 256.0f, kRasterCopy);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 23; ++x) ASSERT_EQ(At(b, x, y), raster_detail::FillCopy(At(ref, x, y), c, k)) << k;
  }
}

// Every opacity without a byte-shift form, every byte value in every channel,
// rows that start off a 4-pixel boundary and end in a partial group: the fill
// follows the per-channel rule, colours toward c and alpha toward k, exactly.
TEST(RasterFill, EveryGeneralOpacityMatchesTheChannelRule) {
  constexpr int kW = 263, kH = 4;
  RasterMemBitmap b(kW, kH);
  const auto source = [](int x, int y) {
    const int v = x & 0xFF;
    return RasterPackArgb((v * 3 + y) & 0xFF, (v + 85 * y) & 0xFF, 255 - v, v);
  };
  const auto rule = [](int d, int target, int k) { return (d - target) * (256 - k) / 256 + target; };
  for (RasterPixel c : {0x00000000u, 0xFFFFFFFFu, 0x7F80017Eu, 0x12C3A459u}) {
    for (int k = 1; k < 256; ++k) {
      if (k == 64 || k == 128 || k == 192) continue;  // the byte-shift forms
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) At(b, x, y) = source(x, y);
      RasterFillRect(&b, 1, 0, kW - 1, kH, c, k / 256.0f, kRasterCopy);
      for (int y = 0; y < kH; ++y) {
        ASSERT_EQ(At(b, 0, y), source(0, y));  // left of the fill
        for (int x = 1; x < kW; ++x) {
          const RasterPixel d = source(x, y), got = At(b, x, y);
          ASSERT_EQ(RasterBlue(got), rule(RasterBlue(d), RasterBlue(c), k)) << "k " << k << " x " << x;
          ASSERT_EQ(RasterGreen(got), rule(RasterGreen(d), RasterGreen(c), k)) << "k " << k << " x " << x;
          ASSERT_EQ(RasterRed(got), rule(RasterRed(d), RasterRed(c), k)) << "k " << k << " x " << x;
          ASSERT_EQ(RasterAlpha(got), rule(RasterAlpha(d), k, k)) << "k " << k << " x " << x;
        }
      }
    }
  }
}

TEST(RasterFill, AlphaWeighted) {
  // Colour alpha 0 with weighting: nothing drawn.
  EXPECT_EQ(FillOne(0x12345678, 0x00FFFFFF, 1.0f, kRasterUseSourceAlpha), 0x12345678u);
  // Alpha 128 scales the opacity to 0.502: the halving form.
  EXPECT_EQ(FillOne(0xFF000000, 0x80FEFEFE, 1.0f, kRasterUseSourceAlpha), 0xBF7F7F7Fu);
}

TEST(RasterFill, AddMode) {
  const RasterPixel r = FillOne(RasterPackArgb(10, 100, 250, 0), RasterPackArgb(255, 100, 100, 100), 0.5f, kRasterAdd);
  EXPECT_EQ(RasterRed(r), 150);
  EXPECT_EQ(RasterGreen(r), 255);
  EXPECT_EQ(RasterBlue(r), 50);
}

TEST(RasterFill, ClipsToBitmap) {
  RasterMemBitmap b(5, 4);
  FillAll(b, 0);
  RasterFillRect(&b, -2, -1, 4, 3, 0xFFFFFFFF, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(b, 0), 4);  // 2 x 2 at the corner
  EXPECT_EQ(At(b, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(At(b, 2, 1), 0u);
  FillAll(b, 0);
  RasterFillRect(&b, 3, 2, 100, 100, 0xFFFFFFFF, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(b, 0), 4);
  FillAll(b, 0);
  RasterFillRect(&b, 5, 0, 3, 3, 0xFFFFFFFF, 1.0f, kRasterCopy);
  RasterFillRect(&b, 0, 0, 0, 3, 0xFFFFFFFF, 1.0f, kRasterCopy);
  RasterFillRect(&b, 0, 0, 3, 3, 0xFFFFFFFF, 0.0f, kRasterCopy);
  RasterFillRect(&b, 0, 0, 3, 3, 0xFFFFFFFF, 0.003f, kRasterCopy);  // k truncates to 0
  RasterFillRect(nullptr, 0, 0, 3, 3, 0xFFFFFFFF, 1.0f, kRasterCopy);
  EXPECT_EQ(CountNot(b, 0), 0);
}

}  // namespace
}  // namespace selvarin
