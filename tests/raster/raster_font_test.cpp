#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "raster/raster_draw.h"
#include "raster/raster_font.h"
#include "raster/raster_mem_bitmap.h"
#include "raster/raster_sys_bitmap.h"
#include "raster_test_util.h"
#include "test_png_writer.h"

namespace selvarin {
namespace {

using test::At;
using test::CountNot;
using test::FillAll;

// A platform font with known coverage: every character is a 2 x 2 block of
// coverage 255, 128 / 64, 1 at (1, 2) inside a 6 x 10 cell.
class BlockFont : public RasterSystemFont {
 public:
  explicit BlockFont(int* destroyed = nullptr) : destroyed_(destroyed) {}
  ~BlockFont() override {
    if (destroyed_) ++*destroyed_;
  }
  int LineHeight() const override { return 10; }
  int Ascent() const override { return 8; }
  const char* FamilyName() const override { return "Block"; }
  int Advance(std::uint32_t) override { return 6; }
  bool DrawGlyph(RasterBitmap* scratch, int x, int y, std::uint32_t cp) override {
    ++renders[cp];
    const int cov[4] = {255, 128, 64, 1};
    for (int i = 0; i < 4; ++i) At(*scratch, x + 1 + i % 2, y + 2 + i / 2) = 0xFF000000u | cov[i] * 0x010101u;
    return true;
  }
  std::map<std::uint32_t, int> renders;

 private:
  int* destroyed_;
};

struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive bounds
  int count = 0;
};

Ink InkOf(RasterBitmap& b, RasterPixel background) {
  Ink ink;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (At(b, x, y) == background) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
    }
  }
  return ink;
}

TEST(RasterCachedFont, CompositesCoverageByTheFormulas) {
  BlockFont block;
  RasterCachedFont font;
  font.SetFromSystemFont(&block, 0);
  EXPECT_EQ(font.LineHeight(), 10);
  EXPECT_EQ(font.SetTextColor(0xFFFF0000u), 0u);
  EXPECT_EQ(font.TextColor(), 0xFFFF0000u);
  RasterSysBitmap b(20, 20);
  FillAll(b, 0xFF0000FFu);
  RasterRect r{0, 0, 20, 20};
  EXPECT_EQ(font.DrawText(&b, "A", -1, &r, 0), 10);
  EXPECT_EQ(At(b, 1, 2), 0xFFFF0000u);  // full coverage: the text colour
  const RasterPixel half = At(b, 2, 2);  // c = 128
  EXPECT_EQ(RasterBlue(half), 255 * 127 / 256);
  EXPECT_EQ(RasterRed(half), (0 - 255) * 127 / 256 + 255);
  EXPECT_EQ(RasterAlpha(half), 255);
  EXPECT_EQ(CountNot(b, 0xFF0000FFu), 4);

  // Over a transparent destination the alpha follows the coverage.
  FillAll(b, 0x000000FFu);
  font.DrawText(&b, "A", -1, &r, 0);
  EXPECT_EQ(RasterAlpha(At(b, 2, 2)), 255 - (127 * 255) / 256);

  // Alpha-weighted call with text alpha 128: opacity k = 128, w = k * c / 256.
  font.SetTextColor(0x80FF0000u);
  FillAll(b, 0xFF0000FFu);
  font.DrawText(&b, "A", -1, &r, kRasterTextUseColourAlpha);
  const RasterPixel weighted = At(b, 2, 2);
  const int w = 128 * 128 / 256;
  EXPECT_EQ(RasterBlue(weighted), 255 * (256 - w) / 256);
  EXPECT_EQ(RasterRed(weighted), 255 + (0 - 255) * (256 - w) / 256);
  // Text alpha 0 with the flag draws nothing.
  font.SetTextColor(0x00FF0000u);
  FillAll(b, 0xFF0000FFu);
  EXPECT_EQ(font.DrawText(&b, "A", -1, &r, kRasterTextUseColourAlpha), 0);
  EXPECT_EQ(CountNot(b, 0xFF0000FFu), 0);
}

TEST(RasterCachedFont, AlignsInTheRectangle) {
  BlockFont block;
  RasterCachedFont font;
  font.SetFromSystemFont(&block, 0);
  font.SetTextColor(0xFFFFFFFFu);
  RasterMemBitmap b(100, 40);
  const auto inkFor = [&](int flags) {
    FillAll(b, 0xFF000000u);
    RasterRect r{0, 0, 100, 30};
    font.DrawText(&b, "AB", -1, &r, flags);
    return InkOf(b, 0xFF000000u);
  };
  EXPECT_EQ(inkFor(0).left, 1);
  EXPECT_EQ(inkFor(kRasterTextCentre).left, (100 - 12) / 2 + 1);
  EXPECT_EQ(inkFor(kRasterTextRight).left, 100 - 12 + 1);
  EXPECT_EQ(inkFor(kRasterTextRight).right, 100 - 6 + 2);
  EXPECT_EQ(inkFor(kRasterTextVCentre).top, (30 - 10) / 2 + 2);
  EXPECT_EQ(inkFor(kRasterTextBottom).top, 30 - 10 + 2);

  // Clipped to the rectangle unless told not to.
  FillAll(b, 0xFF000000u);
  RasterRect narrow{0, 0, 8, 30};
  font.DrawText(&b, "AB", -1, &narrow, 0);
  EXPECT_EQ(InkOf(b, 0xFF000000u).right, 7);  // B's ink starts at 7 and is cut at 8
  font.DrawText(&b, "AB", -1, &narrow, kRasterTextNoClip);
  EXPECT_EQ(InkOf(b, 0xFF000000u).right, 8);

  // Measuring fills in the extent; two lines are twice as high.
  RasterRect m{5, 5, 5, 5};
  EXPECT_EQ(font.DrawText(nullptr, "AB\nC", -1, &m, kRasterTextMeasure), 20);
  EXPECT_EQ(m.right, 17);
  EXPECT_EQ(m.bottom, 25);
}

TEST(RasterCachedFont, RendersEachCharacterOnce) {
  BlockFont block;
  RasterCachedFont font;
  font.SetFromSystemFont(&block, 0);
  RasterMemBitmap b(200, 20);
  RasterRect r{0, 0, 200, 20};
  font.DrawText(&b, "AAA", -1, &r, 0);
  font.DrawText(&b, "AAA", -1, &r, 0);
  EXPECT_EQ(block.renders['A'], 1);
  // UTF-8 is read as Unicode; code points above 127 go to the sorted list.
  font.DrawText(&b, "\xC3\xA9\xE2\x82\xAC\xC3\xA9z", -1, &r, 0);
  EXPECT_EQ(block.renders[0xE9], 1);
  EXPECT_EQ(block.renders[0x20AC], 1);
  EXPECT_EQ(block.renders['z'], 1);
  // Invalid UTF-8 is read byte by byte.
  font.DrawText(&b, "\xE9\xFF", 2, &r, 0);
  EXPECT_EQ(block.renders[0xE9], 1);
  EXPECT_EQ(block.renders[0xFF], 1);
  // An explicit length stops early.
  font.DrawText(&b, "qrs", 1, &r, 0);
  EXPECT_EQ(block.renders.count('r'), 0u);
}

TEST(RasterCachedFont, SetUpFlags) {
  const int live = RasterCachedFont::LiveCount();
  int destroyed = 0;
  {
    auto* owned = new BlockFont(&destroyed);
    RasterCachedFont font;
    EXPECT_EQ(RasterCachedFont::LiveCount(), live + 1);
    font.SetFromSystemFont(owned, kRasterFontOwnsSystemFont | kRasterFontPrerenderAscii);
    EXPECT_EQ(owned->renders.size(), 128u);
    font.SetFromSystemFont(owned, kRasterFontOwnsSystemFont);  // the same font again: kept
    EXPECT_EQ(destroyed, 0);
    BlockFont* other = new BlockFont(&destroyed);
    font.SetFromSystemFont(other, kRasterFontOwnsSystemFont);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(font.SystemFont(), other);
  }
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(RasterCachedFont::LiveCount(), live);

  RasterCachedFont empty;
  RasterMemBitmap b(10, 10);
  RasterRect r{0, 0, 10, 10};
  EXPECT_EQ(empty.DrawText(&b, "x", -1, &r, 0), 0);  // no platform font: nothing drawn
}

std::unique_ptr<RasterCachedFont> MakeFont(const char* face, int size, int weight = 400,
                                           int quality = kRasterQualityDefault) {
  RasterFontRequest req;
  req.face = face;
  req.cellHeight = size;
  req.weight = weight;
  req.quality = quality;
  RasterSystemFont* sys = RasterCreateSystemFont(req);
  if (!sys) return nullptr;
  auto font = std::make_unique<RasterCachedFont>();
  font->SetFromSystemFont(sys, kRasterFontOwnsSystemFont | kRasterFontAllowNative);
  return font;
}

TEST(RasterSystemFontText, InkLiesInsideTheAlignedRectangle) {
  auto font = MakeFont("Arial", 15);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->LineHeight(), 15);  // the size is the cell height
  font->SetTextColor(0xFFFFFFFFu);
  RasterSysBitmap b(200, 60);
  const RasterRect box{20, 10, 180, 50};

  for (int align : {kRasterTextLeft, kRasterTextCentre, kRasterTextRight}) {
    FillAll(b, 0xFF000000u);
    RasterRect r = box;
    font->DrawText(&b, "Hello, Wave", -1, &r, align | kRasterTextNoClip);
    const Ink ink = InkOf(b, 0xFF000000u);
    ASSERT_GT(ink.count, 50) << align;
    EXPECT_GE(ink.left, box.left) << align;
    EXPECT_LT(ink.right, box.right) << align;
    EXPECT_GE(ink.top, box.top) << align;
    EXPECT_LT(ink.bottom, box.top + 15) << align;
    if (align == kRasterTextCentre) {
      EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, (box.left + box.right) / 2.0, 2.0);
    }
    if (align == kRasterTextRight) {
      EXPECT_GE(ink.right, box.right - 3);
    }
    if (align == kRasterTextLeft) {
      EXPECT_LE(ink.left, box.left + 2);
    }
  }

  // Vertical centring puts the cell in the middle.
  FillAll(b, 0xFF000000u);
  RasterRect r = box;
  font->DrawText(&b, "Hxg", -1, &r, kRasterTextVCentre);
  const Ink ink = InkOf(b, 0xFF000000u);
  EXPECT_GE(ink.top, 10 + (40 - 15) / 2);
  EXPECT_LT(ink.bottom, 10 + (40 - 15) / 2 + 15);
}

TEST(RasterSystemFontText, FacesWeightsAndQuality) {
  auto arial = MakeFont("Arial", 15);
  ASSERT_TRUE(arial);
  EXPECT_STREQ(arial->SystemFont()->FamilyName(), "Liberation Sans");  // Arial's metrics
  auto verdana = MakeFont("Verdana", 14);
  ASSERT_TRUE(verdana);
  EXPECT_EQ(verdana->LineHeight(), 14);
  EXPECT_GT(verdana->Advance('W'), 5);
  EXPECT_STRNE(verdana->SystemFont()->FamilyName(), "");

  // Large sizes still go through the glyph path: the scratch grows to fit.
  auto large = MakeFont("Arial", 300);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->LineHeight(), 300);
  large->SetTextColor(0xFFFFFFFFu);
  RasterMemBitmap big(400, 320);
  FillAll(big, 0xFF000000u);
  RasterRect all{0, 0, 400, 320};
  large->DrawText(&big, "W", -1, &all, kRasterTextCentre);
  const Ink w = InkOf(big, 0xFF000000u);
  EXPECT_GT(w.right - w.left, 200);
  EXPECT_GT(w.bottom - w.top, 150);

  auto regular = MakeFont("Arial", 20);
  auto bold = MakeFont("Arial", 20, 700);
  auto mono = MakeFont("Arial", 20, 400, kRasterQualityNonAntialiased);
  ASSERT_TRUE(regular && bold && mono);
  RasterMemBitmap b(200, 30);
  const auto inkCount = [&](RasterCachedFont& f, bool onlyExtremes) {
    f.SetTextColor(0xFFFFFFFFu);
    FillAll(b, 0xFF000000u);
    RasterRect r{0, 0, 200, 30};
    f.DrawText(&b, "Delta Theta", -1, &r, 0);
    int n = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 200; ++x) {
        const int g = RasterGreen(At(b, x, y));
        if (onlyExtremes ? (g != 0 && g != 255) : g != 0) ++n;
      }
    return n;
  };
  EXPECT_GT(inkCount(*bold, false), inkCount(*regular, false));
  EXPECT_EQ(inkCount(*mono, true), 0);  // no partial coverage without antialiasing
  EXPECT_GT(inkCount(*regular, true), 0);
}

// Renders a sample of everything to /tmp for a look.
TEST(RasterPreview, WritesSampleImage) {
  RasterSysBitmap b(360, 200);
  FillAll(b, 0xFF202830u);
  RasterFillRect(&b, 10, 10, 150, 80, 0xFF3060A0u, 1.0f, kRasterCopy);
  const float pi = 3.14159265f;
  const int r = 10;
  const RasterPixel c = 0xC0E0E0E0u;
  const float o = static_cast<float>(RasterAlpha(c)) / 255.0f;
  // A rounded rectangle as the editor builds one.
  const int L = 180, T = 10, R = 340, B = 90;
  RasterFillRect(&b, L, T + r + 1, R - L, B - T - 2 * r - 2, c, 1.0f, kRasterUseSourceAlpha);
  RasterFillRect(&b, L + r + 1, T, R - L - 2 * r - 2, r + 1, c, 1.0f, kRasterUseSourceAlpha);
  RasterFillRect(&b, L + r + 1, B - r - 1, R - L - 2 * r - 2, r + 1, c, 1.0f, kRasterUseSourceAlpha);
  RasterFilledSector(&b, L + r, T + r, r, -pi / 2, 0, c, o, kRasterCopy, true);
  RasterFilledSector(&b, R - r - 1, T + r, r, 0, pi / 2, c, o, kRasterCopy, true);
  RasterFilledSector(&b, R - r - 1, B - r - 1, r, pi / 2, pi, c, o, kRasterCopy, true);
  RasterFilledSector(&b, L + r, B - r - 1, r, pi, 3 * pi / 2, c, o, kRasterCopy, true);
  for (int i = 0; i < 12; ++i) {
    const float a = i * pi / 6;
    RasterLineF(&b, 60.0f, 150.0f, 60.0f + 40 * std::sin(a), 150.0f - 40 * std::cos(a), 0xFFFFD040u, 1.0f,
                kRasterCopy, true);
  }
  RasterArc(&b, 150, 150, 35, -3 * pi / 4, 3 * pi / 4, 0xFF80FF80u, 1.0f, kRasterCopy, true);
  RasterMemBitmap knob(57, 57);
  FillAll(knob, 0);
  RasterFilledSector(&knob, 28, 28, 26, 0, 2 * pi, 0xFF808890u, 1.0f, kRasterCopy, true);
  RasterFillRect(&knob, 26, 4, 5, 20, 0xFFFFFFFFu, 1.0f, kRasterCopy);
  RasterRotatedBlit(&b, &knob, 200, 115, 57, 57, 0, 0, 57, 57, pi / 3, false, 1.0f,
                    kRasterCopy | kRasterUseSourceAlpha | kRasterFilterBilinear);
  auto arial = MakeFont("Arial", 15);
  auto verdana = MakeFont("Verdana", 13, 700);
  ASSERT_TRUE(arial && verdana);
  arial->SetTextColor(0xFFFFFFFFu);
  RasterRect t1{10, 10, 160, 90};
  arial->DrawText(&b, "Base 432.0 Hz", -1, &t1, kRasterTextCentre | kRasterTextVCentre | kRasterTextNoClip);
  verdana->SetTextColor(0xA0000000u);
  RasterRect t2{180, 10, 340, 90};
  verdana->DrawText(&b, "THETA \xC3\xA9\xE2\x82\xAC", -1, &t2, kRasterTextCentre | kRasterTextVCentre |
                    kRasterTextNoClip | kRasterTextUseColourAlpha);
  RasterRect t3{270, 130, 350, 190};
  arial->DrawText(&b, "right", -1, &t3, kRasterTextRight | kRasterTextBottom);
  EXPECT_TRUE(test::SaveBitmapPng(&b, "/tmp/selvarin_raster_preview.png"));
  // The right half four times larger, to look at edges.
  RasterMemBitmap zoom(720, 400);
  RasterRotatedBlit(&zoom, &b, 0, 0, 720, 400, 170, 0, 180, 100, 0.0f, true, 1.0f, kRasterCopy);
  EXPECT_TRUE(test::SaveBitmapPng(&zoom, "/tmp/selvarin_raster_preview_zoom.png"));
}

}  // namespace
}  // namespace selvarin
