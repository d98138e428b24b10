// Pixels tie the drawing to the images: the background copied as it is,
// knob caps turned by the angle rule, film-strip frames chosen by value,
// switches lit by their images.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "editor_harness.h"

namespace selvarin::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

RasterPixel ImagePixel(RasterBitmap* b, int x, int y) { return b->Bits()[y * b->RowSpan() + x]; }

int ChannelDiff(RasterPixel a, RasterPixel b) {
  return std::abs(RasterRed(a) - RasterRed(b)) + std::abs(RasterGreen(a) - RasterGreen(b)) +
         std::abs(RasterBlue(a) - RasterBlue(b));
}

// The window's pixels in a square around (cx, cy).
std::vector<RasterPixel> Grab(EditorHarness& h, int cx, int cy, int r) {
  std::vector<RasterPixel> v;
  for (int y = cy - r; y <= cy + r; ++y)
    for (int x = cx - r; x <= cx + r; ++x) v.push_back(h.Pixel(x, y));
  return v;
}

// Where the knob's pointer went: the direction (degrees clockwise from up)
// of the pixels inside the cap that grew brighter from `before` to `after`.
double PointerAngle(const std::vector<RasterPixel>& before, const std::vector<RasterPixel>& after, int r) {
  const int side = 2 * r + 1;
  double sx = 0, sy = 0;
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x) {
      if (x * x + y * y > r * r) continue;
      const int i = (y + r) * side + x + r;
      const int gain = ChannelDiff(after[i], 0) - ChannelDiff(before[i], 0);
      if (gain > 120) sx += x * gain, sy += y * gain;
    }
  return std::atan2(sx, -sy) * 180.0 / kPi;
}

TEST(EditorDrawing, TheBackgroundIsCopiedAsItIs) {
  EditorHarness h;
  // An image never loaded, or missing from the module, has no raster and
  // draws nothing; it is not cached, so a later load may still find it.
  EXPECT_EQ(h.g->CachedImage(999).raster, nullptr);
  const IImage missing = h.g->LoadImageResource(999, "img/none.png", 3);
  EXPECT_EQ(missing.raster, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_TRUE(h.g->BlitImageFrame(missing, IArea{0, 0, 550, 363}, 2, nullptr, true));

  RasterBitmap* bg = h.g->CachedImage(100).raster;
  ASSERT_NE(bg, nullptr) << "the background image is embedded";
  EXPECT_EQ(bg->Width(), 550);
  EXPECT_EQ(bg->Height(), 363);
  // Corners and the space between the panels carry no control drawing.
  const int spots[][2] = {{2, 2}, {547, 360}, {300, 240}, {10, 200}, {540, 60}};
  for (const auto& s : spots) {
    const RasterPixel want = ImagePixel(bg, s[0], s[1]) | 0xFF000000u;
    EXPECT_EQ(h.Pixel(s[0], s[1]) | 0xFF000000u, want) << s[0] << "," << s[1];
  }
}

TEST(EditorDrawing, KnobCapsTurnByTheAngleRule) {
  EditorHarness h;
  const int r = 26;
  h.Automate(kParamVolume, 0.5);
  h.g->Tick();
  const auto upright = Grab(h, 501, 129, r);
  h.Automate(kParamVolume, 1.0);
  h.g->Tick();
  h.g->Tick();
  const auto full = Grab(h, 501, 129, r);
  h.Automate(kParamVolume, 0.0);
  h.g->Tick();
  h.g->Tick();
  const auto none = Grab(h, 501, 129, r);
  // Value 1 turns the cap's pointer 150 degrees clockwise from upright,
  // value 0 150 degrees the other way; upright at 0.5.
  EXPECT_NEAR(PointerAngle(upright, full, r), 150.0, 15.0);
  EXPECT_NEAR(PointerAngle(upright, none, r), -150.0, 15.0);
  EXPECT_NEAR(PointerAngle(full, upright, r), 0.0, 15.0);
}

TEST(EditorDrawing, FilmStripFramesFollowTheValueAndSwitchesLight) {
  EditorHarness h;
  IImage wave = h.g->CachedImage(103);
  ASSERT_NE(wave.raster, nullptr);
  ASSERT_EQ(wave.W, 464);
  const int fw = wave.W / 8;
  for (int k = 0; k < 8; ++k) {
    h.Automate(kParamWave, k / 7.0);
    h.g->Tick();
    h.g->Tick();
    // The frame that best matches the window's pixels where frames are solid.
    int best = -1;
    double bestErr = 1e18;
    for (int f = 0; f < 8; ++f) {
      double err = 0;
      for (int y = 0; y < wave.H; ++y)
        for (int x = 0; x < fw; ++x) {
          const RasterPixel s = ImagePixel(wave.raster, f * fw + x, y);
          if (RasterAlpha(s) == 255) err += ChannelDiff(s, h.Pixel(168 + x, 100 + y));
        }
      if (err < bestErr) bestErr = err, best = f;
    }
    EXPECT_EQ(best, k) << "value " << k << "/7";
  }

  // "Beats": the background caption while binaural, the lit image when monaural.
  RasterBitmap* bg = h.g->CachedImage(100).raster;
  RasterBitmap* lit = h.g->CachedImage(106).raster;
  ASSERT_NE(lit, nullptr);
  int same = 0, total = 0;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 79; ++x) {
      same += (h.Pixel(235 + x, 103 + y) & 0xFFFFFFu) == (ImagePixel(bg, 235 + x, 103 + y) & 0xFFFFFFu);
      ++total;
    }
  EXPECT_EQ(same, total);
  h.Automate(kParamBeats, 1.0);
  h.g->Tick();
  int litMatch = 0, solid = 0;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 79; ++x) {
      const RasterPixel s = ImagePixel(lit, x, y);
      if (RasterAlpha(s) != 255) continue;
      ++solid;
      litMatch += ChannelDiff(s, h.Pixel(235 + x, 103 + y)) <= 3;
    }
  EXPECT_GT(solid, 0);
  EXPECT_EQ(litMatch, solid);
}

}  // namespace
}  // namespace selvarin::test
