#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include <zlib.h>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png.h"
#include "raster_test_util.h"
#include "test_png_writer.h"

namespace selvarin {
namespace {

using test::At;
using test::EncodePng;
using test::PngImageDesc;

std::unique_ptr<RasterBitmap> Load(const std::vector<unsigned char>& file) {
  return std::unique_ptr<RasterBitmap>(RasterLoadPngFromMemory(file.data(), file.size()));
}

PngImageDesc Desc(int w, int h, int type, int depth, std::vector<unsigned char> rows) {
  PngImageDesc s;
  s.width = w;
  s.height = h;
  s.colourType = type;
  s.bitDepth = depth;
  s.rows = std::move(rows);
  return s;
}

TEST(RasterPng, RgbaAndRgb) {
  auto rgba = Load(EncodePng(Desc(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4, 250, 251, 252, 0})));
  ASSERT_TRUE(rgba);
  EXPECT_EQ(rgba->Width(), 2);
  EXPECT_EQ(rgba->RowSpan(), 4);  // a memory bitmap with 4-pixel row alignment
  EXPECT_EQ(At(*rgba, 0, 0), 0x04010203u);
  EXPECT_EQ(At(*rgba, 1, 0), 0x00FAFBFCu);  // not premultiplied
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(rgba->Bits());
  EXPECT_EQ(bytes[0], 3);  // memory order B, G, R, A
  EXPECT_EQ(bytes[3], 4);

  auto rgb = Load(EncodePng(Desc(1, 2, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60})));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(At(*rgb, 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(At(*rgb, 0, 1), 0xFF28323Cu);

  // 16-bit RGBA keeps the high bytes.
  auto deep = Load(EncodePng(Desc(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x11, 0xFF, 0x22, 0x00, 0x33, 0x80, 0x44, 0x01})));
  ASSERT_TRUE(deep);
  EXPECT_EQ(At(*deep, 0, 0), 0x44112233u);
}

TEST(RasterPng, PaletteWithTransparency) {
  PngImageDesc s = Desc(4, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3});
  s.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
  s.transparency = {0, 128, 255};  // the last entry has none: opaque
  auto img = Load(EncodePng(s));
  ASSERT_TRUE(img);
  EXPECT_EQ(At(*img, 0, 0), 0x00FF0000u);
  EXPECT_EQ(At(*img, 1, 0), 0x8000FF00u);
  EXPECT_EQ(At(*img, 2, 0), 0xFF0000FFu);
  EXPECT_EQ(At(*img, 3, 0), 0xFF090807u);

  // Sub-8-bit palette indices are unpacked.
  PngImageDesc packed = Desc(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011011});
  packed.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
  auto small = Load(EncodePng(packed));
  ASSERT_TRUE(small);
  EXPECT_EQ(At(*small, 0, 0), 0xFF010101u);
  EXPECT_EQ(At(*small, 2, 0), 0xFF030303u);
}

TEST(RasterPng, GreyKinds) {
  auto grey16 = Load(EncodePng(Desc(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34, 0xFF, 0xFF})));
  ASSERT_TRUE(grey16);
  EXPECT_EQ(At(*grey16, 0, 0), 0xFF121212u);
  EXPECT_EQ(At(*grey16, 1, 0), 0xFFFFFFFFu);

  auto grey1 = Load(EncodePng(Desc(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000})));
  ASSERT_TRUE(grey1);
  EXPECT_EQ(At(*grey1, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(At(*grey1, 1, 0), 0xFF000000u);
  auto grey2 = Load(EncodePng(Desc(2, 1, PNG_COLOR_TYPE_GRAY, 2, {0b10010000})));
  ASSERT_TRUE(grey2);
  EXPECT_EQ(At(*grey2, 0, 0), 0xFFAAAAAAu);
  EXPECT_EQ(At(*grey2, 1, 0), 0xFF555555u);
  auto grey4 = Load(EncodePng(Desc(1, 1, PNG_COLOR_TYPE_GRAY, 4, {0x70})));
  ASSERT_TRUE(grey4);
  EXPECT_EQ(At(*grey4, 0, 0), 0xFF777777u);

  auto greyAlpha = Load(EncodePng(Desc(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 50})));
  ASSERT_TRUE(greyAlpha);
  EXPECT_EQ(At(*greyAlpha, 0, 0), 0x32646464u);

  PngImageDesc keyed = Desc(2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 8});
  keyed.greyKey = true;
  keyed.greyKeyValue = 7;
  auto key = Load(EncodePng(keyed));
  ASSERT_TRUE(key);
  EXPECT_EQ(RasterAlpha(At(*key, 0, 0)), 0);
  EXPECT_EQ(At(*key, 1, 0), 0xFF080808u);
}

TEST(RasterPng, InterlacedAndIntoGivenBitmap) {
  std::vector<unsigned char> rows;
  for (int i = 0; i < 9 * 7; ++i) rows.insert(rows.end(), {static_cast<unsigned char>(i), 1, 2});
  PngImageDesc s = Desc(9, 7, PNG_COLOR_TYPE_RGB, 8, rows);
  s.interlaced = true;
  const std::vector<unsigned char> file = EncodePng(s);
  RasterMemBitmap given(1, 1, 4);
  RasterBitmap* out = RasterLoadPngFromMemory(file.data(), file.size(), &given);
  ASSERT_EQ(out, &given);
  EXPECT_EQ(given.Width(), 9);
  EXPECT_EQ(given.Height(), 7);
  EXPECT_EQ(given.RowSpan(), 12);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(RasterRed(At(given, x, y)), y * 9 + x);
}

// Replaces a chunk's CRC after editing its data.
void FixCrc(std::vector<unsigned char>& f, size_t chunkStart, size_t dataLength) {
  const uLong crc = crc32(0, f.data() + chunkStart + 4, static_cast<uInt>(dataLength + 4));
  const size_t at = chunkStart + 8 + dataLength;
  f[at] = static_cast<unsigned char>(crc >> 24);
  f[at + 1] = static_cast<unsigned char>(crc >> 16);
  f[at + 2] = static_cast<unsigned char>(crc >> 8);
  f[at + 3] = static_cast<unsigned char>(crc);
}

std::vector<unsigned char> WithSize(std::vector<unsigned char> f, unsigned w, unsigned h) {
  // IHDR data starts at byte 16: width, height as big-endian 32-bit values.
  for (int i = 0; i < 4; ++i) {
    f[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
    f[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
  }
  FixCrc(f, 8, 13);
  return f;
}

TEST(RasterPng, BadInputYieldsNone) {
  std::vector<unsigned char> rows(16 * 16 * 4, 0x5A);
  const std::vector<unsigned char> good = EncodePng(Desc(16, 16, PNG_COLOR_TYPE_RGB_ALPHA, 8, rows));
  ASSERT_TRUE(Load(good));

  EXPECT_EQ(RasterLoadPngFromMemory(nullptr, 100), nullptr);
  EXPECT_EQ(RasterLoadPngFromMemory(good.data(), 7), nullptr);
  std::vector<unsigned char> notPng = good;
  notPng[1] = 'Q';
  EXPECT_FALSE(Load(notPng));

  // Every truncation inside the header and the image data.
  for (size_t n = 8; n + 12 < good.size(); ++n) {
    EXPECT_EQ(RasterLoadPngFromMemory(good.data(), n), nullptr) << n;
  }

  std::vector<unsigned char> badCrc = good;
  badCrc[29] ^= 0xFF;  // IHDR CRC
  EXPECT_FALSE(Load(badCrc));
  std::vector<unsigned char> badData = good;
  for (size_t i = 41; i < badData.size() - 16; ++i) badData[i] ^= 0x5C;  // scramble the compressed stream
  EXPECT_FALSE(Load(badData));

  // Headers declaring enormous images are refused before pixels are allocated.
  EXPECT_FALSE(Load(WithSize(good, 100000, 100000)));
  EXPECT_FALSE(Load(WithSize(good, 16000, 16000)));
  EXPECT_FALSE(Load(WithSize(good, 0x7FFFFFFF, 1)));

  // A given destination survives a failed decode.
  RasterMemBitmap given(2, 2, 4);
  EXPECT_EQ(RasterLoadPngFromMemory(badData.data(), badData.size(), &given), nullptr);
  EXPECT_TRUE(given.Resize(3, 3));
}

TEST(RasterPngResource, EmbeddedImagesById) {
  std::unique_ptr<RasterBitmap> small(RasterLoadPngFromResource(nullptr, 100));
  ASSERT_TRUE(small);
  EXPECT_EQ(small->Width(), 3);
  EXPECT_EQ(small->Height(), 2);
  // Pixel i of the generated image: R = 40 i, G = 255 - 40 i, B = i, A = 100 + i.
  EXPECT_EQ(At(*small, 0, 0), RasterPackArgb(100, 0, 255, 0));
  EXPECT_EQ(At(*small, 2, 1), RasterPackArgb(105, 200, 55, 5));

  std::unique_ptr<RasterBitmap> surface(RasterLoadPngFromResource(nullptr, 102));
  ASSERT_TRUE(surface);
  EXPECT_EQ(surface->Width(), 550);
  EXPECT_EQ(surface->Height(), 363);
  EXPECT_EQ(At(*surface, 300, 200), RasterPackArgb(255, 300 & 0xFF, 200, (300 * 200) & 0xFF));

  EXPECT_EQ(RasterLoadPngFromResource(nullptr, 104), nullptr);  // shorter than a signature
  EXPECT_EQ(RasterLoadPngFromResource(nullptr, 101), nullptr);  // no such id
  EXPECT_EQ(RasterLoadPngFromResource(nullptr, -1), nullptr);
}

}  // namespace
}  // namespace selvarin
