// The editor at display scales above 1: the window's size, a picture that
// reduced to the editor's size looks like the editor drawn at 1, and clicks
// and drags at the scaled window's positions that do what they do at 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "editor_harness.h"
#include "graphics/prompt_popup.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin::test {
namespace {

// The window's colours reduced by `factor` (an integer) with a box filter,
// as float channels (B, G, R) per pixel of the reduced picture.
std::vector<float> BoxReduced(RasterBitmap* b, int factor, int w, int h) {
  std::vector<float> out(static_cast<size_t>(w) * h * 3, 0.0f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int dy = 0; dy < factor; ++dy)
        for (int dx = 0; dx < factor; ++dx) {
          const RasterPixel p = b->Bits()[(y * factor + dy) * b->RowSpan() + x * factor + dx];
          float* o = &out[(static_cast<size_t>(y) * w + x) * 3];
          o[0] += RasterBlue(p) / float(factor * factor);
          o[1] += RasterGreen(p) / float(factor * factor);
          o[2] += RasterRed(p) / float(factor * factor);
        }
  return out;
}

// Where the light (text) pixels of an area lie.
struct Extent {
  int l = 1 << 30, t = 1 << 30, r = -1, b = -1;
  int W() const { return r - l + 1; }
  int H() const { return b - t + 1; }
};
Extent TextExtent(RasterBitmap* b, const IArea& a) {
  Extent e;
  for (int y = a.T; y < a.B; ++y)
    for (int x = a.L; x < a.R; ++x) {
      const RasterPixel p = b->Bits()[y * b->RowSpan() + x];
      if (RasterRed(p) > 150 && RasterGreen(p) > 150 && RasterBlue(p) > 150)
        e.l = std::min(e.l, x), e.r = std::max(e.r, x), e.t = std::min(e.t, y), e.b = std::max(e.b, y);
    }
  return e;
}

// A session of interactions at window positions `at(x, y)` of layout
// points; returns the parameter values it leaves and the host's edit count.
struct Outcome {
  std::vector<double> values;
  size_t edits = 0;
};
Outcome Interact(EditorHarness& h) {
  HeadlessGraphics& g = *h.g;
  auto X = [&](int v) { return g.ToDevice(v); };
  // Drag "Volume" up 40 layout pixels in 4-pixel steps, then "Base Freq"
  // down with Shift (ten times finer).
  g.LeftDown(X(501), X(129));
  for (int k = 1; k <= 10; ++k) g.MouseMove(X(501), X(129 - 4 * k), LeftHeld());
  g.ButtonUp(X(501), X(89));
  IPointerState fine = LeftHeld();
  fine.S = true;
  g.LeftDown(X(48), X(129));
  for (int k = 1; k <= 5; ++k) g.MouseMove(X(48), X(129 + 7 * k), fine);
  g.ButtonUp(X(48), X(164));
  g.Tick();
  // Three wheel notches on "Fade", a double-click that resets "Binaural"
  // after a notch moved it.
  g.Wheel(X(352), X(129), 3);
  g.Wheel(X(122), X(129), 2);
  g.LeftDoubleClick(X(122), X(129));
  for (int i = 0; i < 14; ++i) g.Tick();
  // Right-click "Wave": the list opens; choose its fourth row.
  g.RightDown(X(197), X(129));
  g.ButtonUp(X(197), X(129));
  g.Tick();
  auto* popup = dynamic_cast<PromptPopup*>(g.OpenPopup());
  if (popup) {
    const IArea cell = popup->Cell(3);
    g.MouseMove(X(cell.L + 10), X((cell.T + cell.B) / 2));
    g.LeftDown(X(cell.L + 10), X((cell.T + cell.B) / 2));
    g.ButtonUp(X(cell.L + 10), X((cell.T + cell.B) / 2));
  }
  g.Tick();
  // The LFO 1 target drop-down: open, choose the last row.
  g.LeftDown(X(120), X(222));
  g.ButtonUp(X(120), X(222));
  g.Tick();
  g.LeftDown(X(120), X(315));
  g.ButtonUp(X(120), X(315));
  g.Tick();
  g.Tick();
  // Value entry over "Base Freq": typed, then committed by a click elsewhere.
  g.RightDown(X(48), X(129));
  g.ButtonUp(X(48), X(129));
  g.TypeText("432");
  g.LeftDown(X(540), X(355));
  g.ButtonUp(X(540), X(355));
  g.Tick();
  // The Sync switch of LFO 2 and the "Beats" switch.
  g.LeftDown(X(511), X(204));
  g.ButtonUp(X(511), X(204));
  g.LeftDown(X(274), X(114));
  g.ButtonUp(X(274), X(114));
  g.Tick();
  Outcome o;
  for (int i = 0; i < kNumParams; ++i) o.values.push_back(h.plug.Param(i)->Value());
  o.edits = h.plug.edits.size();
  return o;
}

TEST(EditorScale, TheWindowIsTheEditorTimesTheScaleAndLooksLikeItAtOne) {
  EditorHarness one;
  for (double s : {1.5, 2.0}) {
    EditorHarness h(48000.0, s);
    h.g->Tick();
    RasterBitmap* screen = h.g->Screen();
    EXPECT_EQ(screen->Width(), static_cast<int>(std::lround(550 * s))) << s;
    EXPECT_EQ(screen->Height(), static_cast<int>(std::lround(363 * s))) << s;
    if (s != 2.0) {
      // The editor's own resize keeps the scale.
      h.g->Resize(600, 400);
      EXPECT_EQ(h.g->Screen()->Width(), 900);
      EXPECT_EQ(h.g->Surface()->Height(), 600);
      continue;
    }
    // Reduced by two, the picture is the editor at 1 up to the finer detail
    // the larger artwork and text carry.
    one.g->Tick();
    const std::vector<float> big = BoxReduced(screen, 2, 550, 363), small = BoxReduced(one.g->Screen(), 1, 550, 363);
    double sum = 0.0;
    for (size_t i = 0; i < big.size(); ++i) sum += std::fabs(big[i] - small[i]);
    EXPECT_LT(sum / big.size(), 3.0) << "mean difference per channel";
    // No 10 x 10 area differs much in colour: nothing moved, nothing is
    // missing (text set at twice the size, by whichever font engine, runs a
    // little wider or narrower, no more).
    double worst = 0.0;
    for (int by = 0; by + 10 <= 363; by += 10)
      for (int bx = 0; bx + 10 <= 550; bx += 10)
        for (int c = 0; c < 3; ++c) {
          double d = 0.0;
          for (int y = by; y < by + 10; ++y)
            for (int x = bx; x < bx + 10; ++x) {
              const size_t i = (static_cast<size_t>(y) * 550 + x) * 3 + c;
              d += big[i] - small[i];
            }
          worst = std::max(worst, std::fabs(d) / 100.0);
        }
    EXPECT_LT(worst, 32.0) << "worst 10 x 10 area";
    // Text is set at twice its size, not drawn small: the value text of
    // "Base Freq" covers twice the width and height.
    const Extent small1 = TextExtent(one.g->Screen(), IArea{19, 163, 77, 178});
    const Extent big2 = TextExtent(screen, IArea{38, 326, 154, 356});
    ASSERT_GT(small1.W(), 20);
    EXPECT_NEAR(big2.W(), 2 * small1.W(), 0.12 * 2 * small1.W());
    EXPECT_NEAR(big2.H(), 2 * small1.H(), 4);
  }
}

TEST(EditorScale, ClicksAndDragsAtScaledPositionsDoWhatTheyDoAtOne) {
  EditorHarness one;
  const Outcome want = Interact(one);
  for (double s : {1.25, 1.5, 2.0, 3.0}) {
    EditorHarness h(48000.0, s);
    const Outcome got = Interact(h);
    EXPECT_EQ(got.edits, want.edits) << "scale " << s;
    for (int i = 0; i < kNumParams; ++i)
      EXPECT_DOUBLE_EQ(got.values[static_cast<size_t>(i)], want.values[static_cast<size_t>(i)])
          << "parameter " << h.plug.Param(i)->Name() << " at scale " << s;
  }
  // The session changed what it meant to change.
  EditorHarness fresh;
  EXPECT_DOUBLE_EQ(want.values[kParamBaseFreq], 432.0);
  EXPECT_EQ(want.values[kParamWave], 3.0);
  EXPECT_EQ(want.values[kParamLfo1Target], 4.0);
  EXPECT_NE(want.values[kParamVolume], fresh.Plain(kParamVolume));
  EXPECT_NE(want.values[kParamFade], fresh.Plain(kParamFade));
}

}  // namespace
}  // namespace selvarin::test
