// What the audio thread writes into the editor (pushed values, hidden
// knobs, the band label, the LFO indicators) is only published there; the
// editor thread takes it over at its next tick and repaints just what
// changed.
#include <gtest/gtest.h>

#include <vector>

#include "editor_harness.h"
#include "graphics/selvarin/panel_controls.h"

namespace selvarin::test {
namespace {

GRAPH* Indicator(EditorHarness& h, int lfo) { return static_cast<GRAPH*>(h.g->Control(1 + lfo)); }

TEST(EditorFromTheAudioThread, ValuesHidesAndTheBandLabelArriveAtTheNextTick) {
  EditorHarness h;
  IControl* volume = h.At(501, 129);
  auto* band = static_cast<ITextControl*>(h.g->Control(5));
  {
    // As the processing call does it, under the plug-in lock.
    ScopedLock lock(h.plug.Mutex());
    h.g->PushParamToControls(kParamVolume, 0.3, true);
    h.g->PushParamToControls(kParamFade, 500.0, false);  // plain values convert
    h.g->HideParamControls(kParamLfo1RateNote, true);
    h.plug.Param(kParamBinaural)->SetFromReal(10.0);
    h.plug.OnParameterChanged(kParamBinaural);
  }
  EXPECT_NE(volume->value, 0.3) << "no control is touched from the audio side";
  EXPECT_FALSE(h.g->Control(19)->hidden);
  EXPECT_EQ(band->Text(), "THETA");
  h.g->Tick();
  EXPECT_EQ(volume->value, 0.3);
  EXPECT_NEAR(h.At(352, 129)->value, h.plug.Param(kParamFade)->ToNormalized(500.0), 1e-12);
  EXPECT_TRUE(h.g->Control(19)->hidden);
  EXPECT_EQ(band->Text(), "ALPHA");
  // The label's rectangle repainted with the new text.
  bool ink = false;
  for (int y = 298; y < 313; ++y)
    for (int x = 233; x < 317; ++x) ink |= RasterRed(h.Pixel(x, y)) > 150;
  EXPECT_TRUE(ink);
}

TEST(EditorFromTheAudioThread, IndicatorsShowRangeValueActiveAndConflictMarks) {
  EditorHarness h;
  h.plug.Play(120.0);
  std::vector<RasterPixel> track;
  for (int x = 22; x < 223; ++x) track.push_back(h.Pixel(x, 323));
  h.Automate(kParamLfo1Target, 0.75);  // "Binaural Pan"
  h.RenderBlock();
  LfoIndicatorValues* v1 = Indicator(h, 0)->Values();
  EXPECT_TRUE(v1->active.load());
  EXPECT_EQ(v1->rangeLow.load(), -1.0f);
  EXPECT_EQ(v1->rangeHigh.load(), 1.0f);
  const int p = Indicator(h, 0)->MarkerOffset();
  h.g->Tick();
  EXPECT_GT(RasterRed(h.Pixel(22 + p + 3, 323)), RasterRed(track[p + 3]) + 60) << "a light marker on the track";
  int changed = 0;
  for (int x = 22; x < 223; ++x) changed += h.Pixel(x, 323) != track[x - 22];
  EXPECT_EQ(changed, 6) << "nothing else on the track";

  // LFO2 on the same target: inactive, with the red conflict mark.
  h.Automate(kParamLfo2Target, 0.75);
  h.RenderBlock();
  EXPECT_FALSE(Indicator(h, 1)->Values()->active.load());
  EXPECT_TRUE(Indicator(h, 1)->Values()->conflict.load());
  h.g->Tick();
  const RasterPixel red = h.Pixel(328, 322);
  EXPECT_GT(RasterRed(red), RasterGreen(red) + 80);
  // LFO1 elsewhere: LFO2 comes back at once.
  h.Automate(kParamLfo1Target, 1.0);
  EXPECT_TRUE(Indicator(h, 1)->Values()->active.load());

  // An empty or torn range never puts the marker off its track.
  LfoIndicatorValues* v2 = Indicator(h, 1)->Values();
  v2->SetRangeRT(0.0f, 0.0f);
  EXPECT_EQ(Indicator(h, 1)->MarkerOffset(), 0);
  v2->SetRangeRT(0.0f, 1.0f);
  v2->SetValueRT(7.0f);
  EXPECT_EQ(Indicator(h, 1)->MarkerOffset(), 195);
  v2->SetValueRT(1e30f);
  EXPECT_EQ(Indicator(h, 1)->MarkerOffset(), 195);
}

// The rectangles the last tick copied to the window, in any order.
std::vector<IArea> Presented(EditorHarness& h) {
  std::vector<IArea> v;
  for (int i = 0; i < h.g->PresentedInTick(); ++i) v.push_back(h.g->PresentedRect(i));
  return v;
}
bool Has(const std::vector<IArea>& v, IArea r) {
  for (const IArea& a : v)
    if (a == r) return true;
  return false;
}

TEST(EditorRedraw, OnlyDirtyAreasRepaint) {
  EditorHarness h;
  h.g->Tick();
  h.g->Tick();
  // Idle (nothing processed, nothing edited): a tick repaints nothing, so
  // a window host sends nothing to its window.
  IArea r;
  EXPECT_FALSE(h.g->NeedsRedraw(&r));
  h.g->Tick();
  EXPECT_EQ(Presented(h).size(), 0u);

  h.Automate(kParamPan, 0.25);
  ASSERT_TRUE(h.g->NeedsRedraw(&r));
  EXPECT_TRUE(r == (IArea{397, 100, 455, 178})) << "the pan knob alone";
  h.g->Tick();
  auto p = Presented(h);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_TRUE(p[0] == (IArea{397, 100, 455, 178}));
  h.g->Tick();
  EXPECT_TRUE(Has(Presented(h), IArea{397, 100, 455, 178})) << "a pushed value repaints one tick more";
  h.g->Tick();
  EXPECT_EQ(Presented(h).size(), 0u);

  // A running LFO moves its marker: its own track repaints while the
  // plug-in processes, and nothing once it stops.
  h.plug.Play(120.0);
  h.Automate(kParamLfo1Target, 0.75);  // "Binaural Pan"
  h.RenderBlock();
  h.g->Tick();
  h.g->Tick();
  const int before = static_cast<GRAPH*>(h.g->Control(1))->MarkerOffset();
  h.RenderBlock(4096);
  ASSERT_NE(static_cast<GRAPH*>(h.g->Control(1))->MarkerOffset(), before);
  h.g->Tick();
  p = Presented(h);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_TRUE(p[0] == (IArea{22, 322, 223, 324})) << "LFO1's track alone";
  h.g->Tick();
  EXPECT_EQ(Presented(h).size(), 0u);
  h.Automate(kParamLfo1Target, 0.0);  // no target: the marker goes
  h.g->Tick();
  EXPECT_TRUE(Has(Presented(h), IArea{22, 322, 223, 324}));
  h.g->Tick();
  h.g->Tick();
  EXPECT_EQ(Presented(h).size(), 0u);

  // A list attached over knobs repaints with them as one area; closing it
  // repaints the whole panel once.
  h.g->RightDown(197, 129);
  h.g->ButtonUp(197, 129);
  h.g->Tick();
  h.g->LeftDown(5, 5);
  h.g->ButtonUp(5, 5);
  h.g->Tick();
  p = Presented(h);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_TRUE(p[0] == (IArea{0, 0, 550, 363}));

  // Hovering a knob fades it; leaving the editor brings it back.
  h.g->MouseMove(48, 129);
  h.g->Tick();
  EXPECT_TRUE(Has(Presented(h), IArea{19, 100, 77, 178}));
  h.g->MouseLeave();
  EXPECT_EQ(h.g->mouseOverIdx, -1);

  // Many small repaints leave the window exactly as one full repaint does.
  h.plug.Play(120.0);
  h.Automate(kParamLfo1Target, 0.75);
  h.Automate(kParamLfo2Target, 1.0);
  for (int step = 0; step < 30; ++step) {
    h.RenderBlock(2048);
    h.Automate(step % 2 ? kParamVolume : kParamLfo1Depth, (step % 7) / 6.0);
    h.g->LeftDown(149, 277);
    h.g->MouseMove(149, 277 - step, LeftHeld());
    h.g->ButtonUp(149, 277 - step);
    h.g->MouseMove(150 + 10 * step, 129);
    h.g->Tick();
  }
  h.g->Tick();
  std::vector<RasterPixel> ticked;
  for (int y = 0; y < 363; ++y)
    for (int x = 0; x < 550; ++x) ticked.push_back(h.Pixel(x, y));
  h.g->Draw(IArea{0, 0, 550, 363});
  int differ = 0;
  for (int y = 0; y < 363; ++y)
    for (int x = 0; x < 550; ++x) differ += h.Pixel(x, y) != ticked[static_cast<size_t>(y * 550 + x)];
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace selvarin::test
