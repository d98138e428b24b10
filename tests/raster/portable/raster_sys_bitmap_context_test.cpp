// The portable system bitmap: plain memory, no device context at any size.
#include <gtest/gtest.h>

#include "raster/raster_sys_bitmap.h"

namespace selvarin {
namespace {

TEST(RasterSysBitmapContext, PortableBitmapHasNoDeviceContext) {
  RasterSysBitmap b(550, 363);
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_FALSE(b.Resize(0, 10));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.DeviceContext(), nullptr);
}

}  // namespace
}  // namespace selvarin
