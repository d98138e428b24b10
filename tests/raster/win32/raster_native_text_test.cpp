// GDI drawing text straight onto a DIB section, and the choice between that
// and the cached glyphs.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "raster/raster_font.h"
#include "raster/raster_mem_bitmap.h"
#include "raster/raster_native_text.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {
namespace {

std::unique_ptr<RasterCachedFont> EditorFont(const char* face, int size) {
  RasterFontRequest request;
  request.face = face;
  request.cellHeight = size;
  RasterSystemFont* system = RasterCreateSystemFont(request);
  if (!system) return nullptr;
  auto font = std::make_unique<RasterCachedFont>();
  font->SetFromSystemFont(system, kRasterFontOwnsSystemFont | kRasterFontAllowNative);
  return font;
}

void Fill(RasterBitmap& b, RasterPixel p) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.Bits()[y * b.RowSpan() + x] = p;
}

TEST(RasterNativeText, GdiDrawsAlignedTextInTheTextColourOnTheSection) {
  auto font = EditorFont("Arial", 15);
  ASSERT_TRUE(font);
  ASSERT_NE(font->SystemFont()->NativeHandle(), nullptr);
  RasterSysBitmap b(200, 60);
  Fill(b, 0xFF000000u);
  const RasterRect box{20, 10, 180, 50};
  const int height = RasterDrawTextNative(&b, font->SystemFont(), "Base 432.0 Hz", -1, box,
                                          kRasterTextCentre | kRasterTextVCentre, 0xFF40C0FFu);
  EXPECT_EQ(height, 15);
  int inkLeft = 200, inkRight = -1, inkTop = 60, inkBottom = -1, full = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      const RasterPixel p = b.Bits()[y * b.RowSpan() + x] & 0xFFFFFFu;
      if (p == 0) continue;
      inkLeft = std::min(inkLeft, x);
      inkRight = std::max(inkRight, x);
      inkTop = std::min(inkTop, y);
      inkBottom = std::max(inkBottom, y);
      if (p == 0x40C0FFu) ++full;
    }
  }
  ASSERT_GE(inkRight, 0) << "no ink";
  EXPECT_GT(full, 10);  // solid strokes in exactly the text colour
  // Centred both ways in the box, within a few pixels.
  EXPECT_NEAR((inkLeft + inkRight) / 2.0, 100.0, 4.0);
  EXPECT_NEAR((inkTop + inkBottom) / 2.0, 30.0, 4.0);
  EXPECT_GE(inkLeft, box.left);
  EXPECT_LT(inkRight, box.right);
  // No bitmap context, no native text.
  RasterMemBitmap plain(200, 60);
  EXPECT_EQ(RasterDrawTextNative(&plain, font->SystemFont(), "x", -1, box, 0, 0xFFFFFFFFu), 0);
}

TEST(RasterNativeText, UnderACompatibilityLayerOpaqueTextUsesTheGlyphRule) {
  HKEY wine = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &wine) != ERROR_SUCCESS) {
    GTEST_SKIP() << "not under Wine: opaque text is drawn natively here";
  }
  RegCloseKey(wine);
  EXPECT_FALSE(RasterNativeTextAvailable());
  // The same text on a bitmap with a context and on one without gives the
  // same pixels: both went through the cached glyphs.
  auto font = EditorFont("Arial", 15);
  ASSERT_TRUE(font);
  font->SetTextColor(0xFFFFFFFFu);
  RasterSysBitmap withContext(160, 40);
  RasterMemBitmap without(160, 40);
  Fill(withContext, 0xFF102030u);
  Fill(without, 0xFF102030u);
  RasterRect r1{0, 0, 160, 40}, r2 = r1;
  font->DrawText(&withContext, "THETA 7.5 Hz", -1, &r1, kRasterTextCentre | kRasterTextNoClip);
  font->DrawText(&without, "THETA 7.5 Hz", -1, &r2, kRasterTextCentre | kRasterTextNoClip);
  int differing = 0, ink = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 160; ++x) {
      const RasterPixel a = withContext.Bits()[y * withContext.RowSpan() + x];
      differing += a != without.Bits()[y * without.RowSpan() + x];
      ink += a != 0xFF102030u;
    }
  }
  EXPECT_GT(ink, 50);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace selvarin
