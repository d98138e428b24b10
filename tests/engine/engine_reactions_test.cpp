// Parameter reactions: rounding and change detection, the band label, the
// glide length, the Sync conversion, the editor's rate knobs and the census.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/editor_links.h"
#include "engine/engine_math.h"
#include "engine_harness.h"

namespace selvarin::test {
namespace {

struct LabelHarness : EngineHarness {
  LabelHarness() : EngineHarness(48000.0, false) {
    plug.SetBandLabel(&label);
    for (int i = 0; i < kNumParams; ++i) plug.OnParameterChanged(i);
  }
  std::string Label() const { return label.Text(); }
  BandLabelSlot label;
};

TEST(BandLabel, ThresholdsBelongToTheBandAbove) {
  LabelHarness h;
  EXPECT_EQ(h.Label(), "THETA");  // the default 4 Hz
  const struct {
    double hz;
    const char* text;
  } cases[] = {{0.01, "EPSILON"}, {0.49, "EPSILON"}, {0.5, "DELTA"},   {3.99, "DELTA"},  {4.0, "THETA"},
               {7.99, "THETA"},   {8.0, "ALPHA"},    {13.99, "ALPHA"}, {14.0, "BETA"},   {29.99, "BETA"},
               {30.0, "GAMMA"},   {99.99, "GAMMA"},  {100.0, "LAMBDA"}, {10000.0, "LAMBDA"}};
  for (const auto& c : cases) {
    h.Set(kParamBinaural, c.hz);
    EXPECT_EQ(h.Label(), c.text) << c.hz;
  }
}

TEST(BandLabel, ZeroBeatNamesTheMode) {
  LabelHarness h;
  h.Set(kParamBinaural, 0.0);
  EXPECT_EQ(h.Label(), "Binaural Off");
  h.Set(kParamBeats, 1);
  EXPECT_EQ(h.Label(), "Monaural Off");
  h.Set(kParamBinaural, 4.0);
  EXPECT_EQ(h.Label(), "THETA");
  h.Set(kParamBeats, 0);  // the band does not depend on the mode
  EXPECT_EQ(h.Label(), "THETA");
}

TEST(Rounding, ChangesBelowTheResolutionHaveNoEffect) {
  LabelHarness h;
  h.Set(kParamBinaural, 4.001);
  const uint32_t serial = h.label.Serial();
  const double beat = h.St().beatIncrement;
  h.Set(kParamBinaural, 4.004);  // both are 400 hundredths
  EXPECT_EQ(h.label.Serial(), serial);
  EXPECT_EQ(h.St().beatIncrement, beat);
  h.Set(kParamBaseFreq, 200.04);  // 2000 tenths, as the default
  EXPECT_EQ(h.St().lastApplied[kParamBaseFreq], 2000);
}

TEST(Rounding, HalfAwayFromZeroAndNeverUndefined) {
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfAway(2.4999), 2);
  EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
  EXPECT_EQ(RoundHalfAway(1e300), INT32_MAX);
  EXPECT_EQ(RoundHalfAway(-1e300), INT32_MIN);
  EXPECT_EQ(RoundHalfAwayUnsigned(11.025), 11u);
  EXPECT_EQ(RoundHalfAwayUnsigned(-3.0), 0u);
  EXPECT_EQ(RoundHalfAwayUnsigned(1e20), UINT32_MAX);
}

TEST(Fade, IsAQuarterOfTheTimeInSamples) {
  EngineHarness h44(44100.0);
  h44.Set(kParamFade, 1);
  h44.Render(1);
  EXPECT_EQ(h44.St().fadeSamples, 11u);  // 11.025
  EngineHarness h48(48000.0);
  h48.Set(kParamFade, 90000);
  h48.Render(1);
  EXPECT_EQ(h48.St().fadeSamples, 1080000u);
}

TEST(SampleRate, ResetAtANewRateReappliesTheRateDependentParameters) {
  EngineHarness h;
  h.plug.Play(120.0);
  h.Render(256);
  h.plug.SetSampleRate(96000.0);
  h.plug.OnReset();
  EXPECT_EQ(h.St().sampleRate, 96000.0);
  EXPECT_EQ(h.St().fadeSamples, 24000u);
  EXPECT_DOUBLE_EQ(h.St().toneAIncrementTarget, 200.0 * 6.283185307179586 / 96000.0);
  h.Render(256);
  EXPECT_DOUBLE_EQ(h.St().samplesPerWhole, 192000.0);  // tempo follows at the next block
}

// An editor that records what the engine asks of it.
class RecordingEditor : public EditorLink {
 public:
  struct Hide {
    int param;
    bool hide;
  };
  explicit RecordingEditor(std::vector<Hide>* hides) : hides_(hides) {}
  void PushParamToControls(int, double, bool) override {}
  void ForwardControlValue(int, double) override {}
  void HideParamControls(int paramIdx, bool hide) override { hides_->push_back({paramIdx, hide}); }
  void PrepareSurface() override {}
  int FrameRate() const override { return 24; }
  void StartEditEndTimer(int) override {}
  void CancelEditEndTimer() override {}

 private:
  std::vector<Hide>* hides_;
};

TEST(SyncButtons, OneRateKnobVisiblePerLfo) {
  EngineHarness h;
  std::vector<RecordingEditor::Hide> hides;
  h.plug.AttachEditor(new RecordingEditor(&hides));
  h.Set(kParamLfo2Sync, 0);
  ASSERT_EQ(hides.size(), 2u);
  EXPECT_EQ(hides[0].param, kParamLfo2RateNote);
  EXPECT_TRUE(hides[0].hide);
  EXPECT_EQ(hides[1].param, kParamLfo2RateMs);
  EXPECT_FALSE(hides[1].hide);
  h.Set(kParamLfo2Sync, 1);
  ASSERT_EQ(hides.size(), 4u);
  EXPECT_EQ(hides[2].param, kParamLfo2RateNote);
  EXPECT_FALSE(hides[2].hide);
  EXPECT_EQ(hides[3].param, kParamLfo2RateMs);
  EXPECT_TRUE(hides[3].hide);
  h.Set(kParamLfo2Sync, 1);  // no change: nothing shown or hidden
  EXPECT_EQ(hides.size(), 4u);
}

// An editor Sync-button click: the flag, then the new value.
void ClickSync(EngineHarness& h, int param, int value) {
  *h.plug.SyncClickedFlag() = true;
  h.Set(param, value);
}

TEST(SyncButtons, ClickingOffKeepsTheSpeedInMilliseconds) {
  EngineHarness h;
  h.plug.Play(120.0);
  h.Render(256);  // "1/1" at 120 BPM: 2 s per cycle
  const double inc = h.St().lfoIncrement[0];
  ClickSync(h, kParamLfo1Sync, 0);
  EXPECT_NEAR(h.plug.Param(kParamLfo1RateMs)->Value(), 2000.0, 1e-9);
  EXPECT_NEAR(h.St().lfoIncrement[0], inc, 1e-15);
  EXPECT_FALSE(*h.plug.SyncClickedFlag());
  // Told to the host as one edit gesture on the millisecond rate.
  ASSERT_GE(h.plug.edits.size(), 3u);
  EXPECT_EQ(h.plug.edits.front().paramIdx, kParamLfo1RateMs);
  EXPECT_EQ(h.plug.edits.back().kind, TestAdapter::EditEvent::kEnd);
}

TEST(SyncButtons, ClickingOnPicksTheNearestNoteValue) {
  EngineHarness h;
  h.plug.Play(120.0);
  h.Set(kParamLfo1Sync, 0);
  h.Set(kParamLfo1RateMs, 1500);
  h.Render(256);
  ClickSync(h, kParamLfo1Sync, 1);
  EXPECT_EQ(h.plug.Param(kParamLfo1RateNote)->Value(), 14.0);  // "1/2D"
  EXPECT_NEAR(h.St().lfoIncrement[0], 6.283185307179586 / 72000.0, 1e-15);
}

TEST(SyncButtons, StandingLfoConvertsToTheSlowestRateNotInfinity) {
  EngineHarness h;  // no tempo ever: the note-value LFO has no speed
  h.plug.Play(0.0);
  h.Render(256);
  EXPECT_EQ(h.St().lfoIncrement[0], 0.0);
  ClickSync(h, kParamLfo1Sync, 0);
  EXPECT_EQ(h.plug.Param(kParamLfo1RateMs)->Value(), 64000.0);
  EXPECT_NEAR(h.St().lfoIncrement[0], 6283.185307179586 / 64000.0 / 48000.0, 1e-18);
}

TEST(SyncButtons, HostOrPresetChangesDoNotConvert) {
  EngineHarness h;
  h.plug.Play(120.0);
  h.Set(kParamLfo1Sync, 0);
  h.Set(kParamLfo1RateMs, 500);
  h.Render(256);
  const double msSpeed = h.St().lfoIncrement[0];
  h.Set(kParamLfo1Sync, 1);  // rate "1/1" untouched: the LFO keeps its speed
  EXPECT_EQ(h.St().lfoIncrement[0], msSpeed);
  EXPECT_TRUE(h.plug.edits.empty());
  h.plug.Play(90.0);
  h.Render(256);  // a tempo change re-derives it
  EXPECT_NE(h.St().lfoIncrement[0], msSpeed);
}

TEST(Census, ReadyOnlyAfterEveryParameterWasApplied) {
  EngineHarness h(48000.0, false);
  EXPECT_FALSE(h.plug.ParamsReady());
  for (int i = 0; i < kNumParams - 1; ++i) {
    h.plug.OnParameterChanged(i);
    h.plug.OnParameterChanged(i);  // twice counts once
  }
  EXPECT_FALSE(h.plug.ParamsReady());
  EXPECT_EQ(h.plug.Census().remaining, 1);
  h.plug.OnParameterChanged(kNumParams - 1);
  EXPECT_TRUE(h.plug.ParamsReady());
}

TEST(Census, AStateRestoreOpensIt) {
  EngineHarness h(48000.0, false);
  StateChunk chunk;
  ASSERT_TRUE(h.plug.WriteParamState(&chunk));
  EXPECT_EQ(h.plug.ReadParamState(&chunk, 0), 8 * kNumParams);
  EXPECT_TRUE(h.plug.ParamsReady());
}

}  // namespace
}  // namespace selvarin::test
