// The Windows system bitmap: a DIB section in its own memory device
// context, so GDI drawing and direct pixel access see the same pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include "raster/raster_sys_bitmap.h"

namespace selvarin {
namespace {

TEST(RasterSysBitmapContext, GdiDrawingOnTheContextChangesTheBits) {
  RasterSysBitmap b(550, 363);
  HDC dc = static_cast<HDC>(b.DeviceContext());
  ASSERT_NE(dc, nullptr);
  ASSERT_NE(b.Bits(), nullptr);
  // GDI fills with R, G, B; the bits hold B, G, R in memory (0x00RRGGBB).
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  RECT r{10, 20, 30, 25};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  GdiFlush();
  const int span = b.RowSpan();
  EXPECT_EQ(b.Bits()[20 * span + 10] & 0xFFFFFFu, 0x123456u);
  EXPECT_EQ(b.Bits()[24 * span + 29] & 0xFFFFFFu, 0x123456u);
  EXPECT_EQ(b.Bits()[25 * span + 29], 0u);  // the fill's bottom edge is exclusive
  EXPECT_EQ(b.Bits()[20 * span + 30], 0u);

  // And direct writes show through GDI reads.
  b.Bits()[100 * span + 200] = 0xFF0A0B0Cu;
  EXPECT_EQ(GetPixel(dc, 200, 100), RGB(0x0A, 0x0B, 0x0C));
}

TEST(RasterSysBitmapContext, TheContextOutlivesResizesAndAnEmptySize) {
  RasterSysBitmap b(64, 64);
  HDC dc = static_cast<HDC>(b.DeviceContext());
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(b.Resize(0, 10));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.DeviceContext(), dc);
  // A new section is selected into the same context and drawn through it.
  EXPECT_TRUE(b.Resize(700, 400));
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(b.RowSpan(), 700);
  SetPixel(dc, 699, 399, RGB(1, 2, 3));
  GdiFlush();
  EXPECT_EQ(b.Bits()[399 * 700 + 699] & 0xFFFFFFu, 0x010203u);
}

}  // namespace
}  // namespace selvarin
