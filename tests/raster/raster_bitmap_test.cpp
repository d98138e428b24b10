#include <gtest/gtest.h>

#include <cstdint>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {
namespace {

TEST(RasterMemBitmap, AlignsBitsAndRows) {
  RasterMemBitmap b(5, 3, 4);
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.Bits()) % 64, 0u);
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.RowSpan(), 8);
  EXPECT_FALSE(b.IsFlipped());
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_EQ(b.Extended(1, nullptr), 0);

  EXPECT_EQ(RasterMemBitmap(5, 1, 1).RowSpan(), 5);   // alignment below 2: no padding
  EXPECT_EQ(RasterMemBitmap(5, 1, 12).RowSpan(), 8);  // lowest set bit of 12 is 4
  EXPECT_EQ(RasterMemBitmap(5, 1, 64).RowSpan(), 16);  // mask capped at 16
  EXPECT_EQ(RasterMemBitmap(17, 1, 64).RowSpan(), 32);
}

TEST(RasterMemBitmap, GrowsByAQuarterAndNeverShrinks) {
  RasterMemBitmap b(4, 4, 4);
  EXPECT_EQ(b.AllocatedBytes(), 64u);
  EXPECT_FALSE(b.Resize(4, 4));
  EXPECT_TRUE(b.Resize(8, 8));
  EXPECT_EQ(b.AllocatedBytes(), 320u);  // 256 needed, grown by a quarter
  EXPECT_TRUE(b.Resize(2, 2));
  EXPECT_EQ(b.AllocatedBytes(), 320u);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_TRUE(b.Resize(8, 10));  // 320 bytes: fits the block already held
  EXPECT_EQ(b.AllocatedBytes(), 320u);
  EXPECT_TRUE(b.Resize(0, 10));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
}

TEST(RasterMemBitmap, FailedAllocationLeavesEmptyBitmap) {
  RasterMemBitmap b(4, 4, 4);
  EXPECT_TRUE(b.Resize(2000000000, 2000000000));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_TRUE(b.Resize(3, 3));  // usable again afterwards
  EXPECT_NE(b.Bits(), nullptr);
  // A row span beyond the int range cannot be had either.
  EXPECT_TRUE(b.Resize(2147483647, 1));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.RowSpan(), 0);
}

TEST(RasterSysBitmap, RoundsWidthAndOnlyGrows) {
  RasterSysBitmap b(550, 363);
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.Bits()) % 64, 0u);
  EXPECT_EQ(b.RowSpan(), 552);
  EXPECT_EQ(b.AllocatedHeight(), 363);
  EXPECT_EQ(b.Bits()[0], 0u);  // a new section starts cleared
  RasterPixel* first = b.Bits();
  EXPECT_FALSE(b.Resize(550, 363));
  EXPECT_TRUE(b.Resize(100, 50));
  EXPECT_EQ(b.Bits(), first);  // smaller sizes keep the section
  EXPECT_EQ(b.RowSpan(), 552);
  EXPECT_EQ(b.Width(), 100);
  EXPECT_TRUE(b.Resize(600, 10));
  EXPECT_EQ(b.RowSpan(), 600);
  EXPECT_EQ(b.AllocatedHeight(), 10);
  EXPECT_FALSE(b.Resize(0, 10));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  // A width that cannot be rounded up to four pixels gives no section.
  EXPECT_TRUE(b.Resize(2147483647, 1));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
}

}  // namespace
}  // namespace selvarin
