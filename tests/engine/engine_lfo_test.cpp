// The LFOs: ranges per target, the LFO2 conflict rule, restarts, rates in
// note values and milliseconds, and the nearest-note rule.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/editor_links.h"
#include "engine/note_values.h"
#include "engine_harness.h"

namespace selvarin::test {
namespace {

constexpr double kTwoPi = 6.283185307179586;

struct LfoHarness : EngineHarness {
  LfoHarness() {
    plug.SetLfoIndicator(0, &ind1);
    plug.SetLfoIndicator(1, &ind2);
    plug.Play(120.0);
    Set(kParamFade, 1);
    Render(256);  // started: sample rate and tempo known
  }
  LfoIndicatorValues ind1, ind2;
};

TEST(LfoConflict, SameTargetPausesLfo2UntilTheTargetsDiffer) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  h.Set(kParamLfo2Target, kTargetPan);
  EXPECT_TRUE(h.St().lfoActive[0]);
  EXPECT_FALSE(h.St().lfoActive[1]);
  EXPECT_TRUE(h.ind2.conflict.load());
  EXPECT_FALSE(h.ind2.active.load());

  h.Set(kParamLfo1Target, kTargetVolume);
  EXPECT_TRUE(h.St().lfoActive[0]);
  EXPECT_TRUE(h.St().lfoActive[1]);
  EXPECT_FALSE(h.ind2.conflict.load());
  EXPECT_TRUE(h.ind2.active.load());
  // LFO2 comes back with a live range, not the one it never computed.
  EXPECT_FLOAT_EQ(h.St().lfoSwing[1], 0.9f);
  EXPECT_FLOAT_EQ(h.ind2.rangeLow.load(), -1.0f);
  EXPECT_FLOAT_EQ(h.ind2.rangeHigh.load(), 1.0f);
}

TEST(LfoConflict, UnassignedLfoStopsAndKeepsItsRange) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  const float swing = h.St().lfoSwing[0];
  h.Set(kParamLfo1Target, kTargetNone);
  EXPECT_FALSE(h.St().lfoActive[0]);
  EXPECT_FALSE(h.ind1.active.load());
  EXPECT_EQ(h.St().lfoSwing[0], swing);
}

TEST(LfoRange, ZeroDepthHoldsTheQuantityAtItsClampedValue) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  h.Set(kParamLfo1Depth, 0);
  h.Set(kParamPan, 40);
  h.Render(2048);
  EXPECT_EQ(h.St().lfoSwing[0], 0.0f);
  EXPECT_FLOAT_EQ(h.St().pan, 0.4f);
}

TEST(LfoRange, PanSwingStaysInsideTheRange) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);  // depth 90 %, pan at 100 %
  EXPECT_FLOAT_EQ(h.St().lfoSwing[0], 0.9f);
  EXPECT_NEAR(h.St().lfoCentre[0], 0.1f, 1e-6);  // pushed in from the edge
}

TEST(LfoRange, BaseFreqDepthIsFourthPower) {
  LfoHarness h;
  const double r = 1.0 / 48000.0;
  const float low = static_cast<float>(125.66370614359172 * r);
  const float high = static_cast<float>(125663.70614359173 * r);
  h.Set(kParamLfo1Target, kTargetBaseFreq);
  h.Set(kParamLfo1Depth, 100);
  EXPECT_FLOAT_EQ(h.St().lfoSwing[0], (high - low) * 0.5f);
  EXPECT_FLOAT_EQ(h.St().lfoCentre[0], low + (high - low) * 0.5f);  // forced to the middle
  h.Set(kParamLfo1Depth, 50);
  EXPECT_FLOAT_EQ(h.St().lfoSwing[0], (high - low) / 32.0f);
  EXPECT_FLOAT_EQ(h.ind1.rangeLow.load(), low);
  EXPECT_FLOAT_EQ(h.ind1.rangeHigh.load(), high);
}

TEST(LfoRange, BaseFreqLfoIsNotGlidedAndFollowsTheBase) {
  LfoHarness h;
  h.Set(kParamFade, 90000);
  h.Set(kParamLfo1Target, kTargetBaseFreq);
  h.Set(kParamLfo1Depth, 0);
  h.Set(kParamBaseFreq, 1000.0);
  h.Render(48000);
  // Tone A jumps to 1000 Hz at once; tone B glides slowly toward 1004 Hz,
  // but the LFO puts it at the beat above tone A every sample.
  EXPECT_NEAR(ZeroCrossingHz(h.left, {4800, 48000}, 48000.0), 1000.0, 0.5);
  EXPECT_NEAR(ZeroCrossingHz(h.right, {4800, 48000}, 48000.0), 1004.0, 0.5);
}

TEST(LfoRun, VolumeLfoSwingsTheLevelAtItsRate) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetVolume);
  h.Set(kParamLfo1RateNote, 9);  // "1/4": one cycle per beat, 24000 samples
  h.Set(kParamLfo1Depth, 100);
  h.Clear();
  h.Render(48000);
  // Envelope per 1200-sample window: two swells in two beats.
  std::vector<double> env;
  for (size_t w = 0; w + 1200 <= h.left.size(); w += 1200) env.push_back(PeakAbs(h.left, w, w + 1200));
  int peaks = 0;
  for (size_t i = 1; i + 1 < env.size(); ++i)
    if (env[i] > env[i - 1] && env[i] >= env[i + 1] && env[i] > 0.8) ++peaks;
  EXPECT_EQ(peaks, 2);
}

TEST(LfoRun, SmoothedSquareApproachesWithAHundredSampleTimeConstant) {
  LfoHarness h;
  h.Set(kParamLfo1Wave, kLfoSquare);
  h.Set(kParamLfo1Target, kTargetPan);
  h.Set(kParamLfo1Depth, 100);
  h.Set(kParamPan, 0);
  // Start at the square's rise, from a settled -1: put the LFO in the low half.
  h.Set(kParamLfo1Sync, 0);
  h.Set(kParamLfo1RateMs, 64000);
  h.Set(kParamLfo1Start, 75);  // phase 3/2 pi + 1/2 pi offset = 0: raw +1
  h.Render(100, 1);
  const double s100 = h.St().lfoSquareState[0];
  // 100 steps of 0.01 in, 0.99 kept: 1 - 0.99^100 of the way from 0.
  EXPECT_NEAR(s100, (1.0 - std::pow(0.99, 100.0)), 1e-4);
}

TEST(LfoRestart, StartFiftyPercentSineBeginsAtPi) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  h.Set(kParamLfo1Start, 50);
  EXPECT_DOUBLE_EQ(h.St().lfoPhase[0], M_PI);
  h.Render(512);
  h.Set(kParamLfo1Start, 50);  // same value: no restart
  EXPECT_NE(h.St().lfoPhase[0], M_PI);
}

TEST(LfoRestart, EachWaveHasItsOffset) {
  LfoHarness h;
  const double expected[kNumLfoWaves] = {0.0, M_PI / 2, M_PI / 2, 0.0, M_PI / 2, 3 * M_PI / 2, M_PI / 2};
  for (int wave = 0; wave < kNumLfoWaves; ++wave) {
    h.Set(kParamLfo1Wave, wave);
    h.plug.OnReset();
    EXPECT_DOUBLE_EQ(h.St().lfoPhase[0], expected[wave]) << wave;
  }
  // Start 50 % with "Sine Half": pi + 3/2 pi wraps once to pi / 2.
  h.Set(kParamLfo1Wave, kLfoSineHalf);
  h.Set(kParamLfo1Start, 50);
  EXPECT_NEAR(h.St().lfoPhase[0], M_PI / 2, 1e-12);
}

TEST(LfoRestart, LfosSyncYesRestartsBothOnce) {
  LfoHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  h.Set(kParamLfo2Target, kTargetVolume);
  h.Set(kParamLfo2Start, 25);
  h.Render(1000);
  h.Set(kParamLfosSync, 1);
  EXPECT_EQ(h.St().lfoPhase[0], 0.0);
  EXPECT_DOUBLE_EQ(h.St().lfoPhase[1], M_PI / 2);
  EXPECT_TRUE(h.St().lfosSyncLatch);
  h.Render(1000);
  h.Set(kParamLfosSync, 1);  // unchanged: nothing happens
  EXPECT_NE(h.St().lfoPhase[0], 0.0);
  h.Set(kParamLfosSync, 0);
  EXPECT_FALSE(h.St().lfosSyncLatch);
  h.Set(kParamLfosSync, 1);
  EXPECT_EQ(h.St().lfoPhase[0], 0.0);
}

TEST(LfoRate, NoteValuesAt120BpmAnd48kHz) {
  LfoHarness h;
  EXPECT_DOUBLE_EQ(h.St().samplesPerWhole, 96000.0);
  EXPECT_DOUBLE_EQ(h.St().lfoIncrement[0], kTwoPi / 96000.0);  // "1/1": 2 s
  h.Set(kParamLfo1RateNote, 9);                                 // "1/4"
  EXPECT_NEAR(h.St().lfoIncrement[0], kTwoPi / 24000.0, 1e-18);
  h.Set(kParamLfo1RateNote, 30);  // "32/1"
  EXPECT_NEAR(h.St().lfoIncrement[0], kTwoPi / (32 * 96000.0), 1e-18);
}

TEST(LfoRate, NoteLengths) {
  EXPECT_FLOAT_EQ(NoteValueLength(0), 0.03125f);
  EXPECT_FLOAT_EQ(NoteValueLength(1), 0.041666668f);
  EXPECT_FLOAT_EQ(NoteValueLength(2), 0.046875f);
  EXPECT_FLOAT_EQ(NoteValueLength(15), 1.0f);
  EXPECT_FLOAT_EQ(NoteValueLength(29), 24.0f);
  EXPECT_FLOAT_EQ(NoteValueLength(30), 32.0f);
  for (int k = 1; k < kNumNoteValues; ++k) EXPECT_GT(NoteValueLength(k), NoteValueLength(k - 1)) << k;
}

TEST(LfoRate, TempoChangeReappliesNoteValuesBeforeTheBlock) {
  LfoHarness h;
  h.Set(kParamLfo2RateNote, 12);  // "1/2"
  h.plug.Play(60.0);
  h.Render(1, 1);
  EXPECT_DOUBLE_EQ(h.St().samplesPerWhole, 192000.0);
  EXPECT_DOUBLE_EQ(h.St().lfoIncrement[0], kTwoPi / 192000.0);
  EXPECT_DOUBLE_EQ(h.St().lfoIncrement[1], kTwoPi / 0.5 / 192000.0);
}

TEST(LfoRate, WithoutATempoNoteValuesKeepTheLastSpeed) {
  LfoHarness h;
  h.plug.Play(0.0);
  h.Render(256);
  EXPECT_EQ(h.St().samplesPerWhole, 0.0);
  EXPECT_DOUBLE_EQ(h.St().lfoIncrement[0], kTwoPi / 96000.0);
  h.Set(kParamLfo1RateNote, 3);
  EXPECT_DOUBLE_EQ(h.St().lfoIncrement[0], kTwoPi / 96000.0);
  EXPECT_TRUE(std::isfinite(h.St().lfoPhase[0]));
}

TEST(LfoRate, MillisecondsAt44100) {
  EngineHarness h(44100.0);
  h.plug.Play(120.0);
  h.Set(kParamLfo1Sync, 0);
  h.Set(kParamLfo1RateMs, 60);
  h.Render(64);
  EXPECT_NEAR(h.St().lfoIncrement[0], kTwoPi / 2646.0, 1e-15);
}

TEST(NearestNote, EachRateMapsToItsOwnEntry) {
  const double spw = 96000.0;
  for (int k = 1; k < kNumNoteValues; ++k) {
    double q = 0.0;
    ASSERT_TRUE(LfoIncrementFromNote(k, spw, &q));
    EXPECT_EQ(NearestNoteValue(q, spw), k) << k;
  }
  // The shortest note has no faster neighbour: the rule answers -1, which
  // the note-value parameter's range turns into entry 0.
  double q0 = 0.0;
  ASSERT_TRUE(LfoIncrementFromNote(0, spw, &q0));
  EXPECT_EQ(NearestNoteValue(q0, spw), -1);
}

TEST(NearestNote, DottedHalfForOneAndAHalfSeconds) {
  EXPECT_EQ(NearestNoteValue(kTwoPi / 72000.0, 96000.0), 14);
}

TEST(NearestNote, MidpointBelongsToTheLongerNote) {
  // Between "1/1" (2 s) and "1/1T"... take 1/2D (0.75) and 1/1 (1.0):
  const double q14 = kTwoPi / 0.75 / 96000.0, q15 = kTwoPi / 1.0 / 96000.0;
  EXPECT_EQ(NearestNoteValue((q14 + q15) / 2.0, 96000.0), 15);
  EXPECT_EQ(NearestNoteValue((q14 + q15) / 2.0 * 1.001, 96000.0), 14);
}

TEST(NearestNote, OutOfTheListAtBothEnds) {
  EXPECT_EQ(NearestNoteValue(1.0, 96000.0), -1);
  EXPECT_EQ(NearestNoteValue(1e-12, 96000.0), 31);
  EXPECT_EQ(NearestNoteValue(0.0, 96000.0), 31);
  EXPECT_EQ(NearestNoteValue(0.001, 0.0), 31);  // no tempo: every rate is "faster"
}

}  // namespace
}  // namespace selvarin::test
