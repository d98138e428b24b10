// What a listener hears: pitch per ear, the beat, the glide, levels, the
// transport gate, the pan ramp and the re-phase to the host timeline.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_harness.h"

namespace selvarin::test {
namespace {

constexpr double kSr = 48000.0;

// A playing host at 120 BPM and a glide short enough to finish in a block.
void PlayFast(EngineHarness& h) {
  h.plug.Play(120.0);
  h.Set(kParamFade, 1);
}

TEST(EarPitch, LeftHearsBaseRightHearsBasePlusBeat) {
  EngineHarness h;
  PlayFast(h);
  h.Render(48000);
  EXPECT_NEAR(ZeroCrossingHz(h.left, {4800, 48000}, kSr), 200.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(h.right, {4800, 48000}, kSr), 204.0, 0.05);
}

TEST(EarPitch, FullNegativePanSwapsTheEars) {
  EngineHarness h;
  PlayFast(h);
  h.Set(kParamPan, -100);
  h.Set(kParamBaseFreq, 440.0);
  h.Set(kParamBinaural, 10.0);
  h.Render(48000);
  EXPECT_NEAR(ZeroCrossingHz(h.left, {4800, 48000}, kSr), 450.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(h.right, {4800, 48000}, kSr), 440.0, 0.05);
}

TEST(EarPitch, ToneAboveTheSampleRateStaysFiniteAndBounded) {
  EngineHarness h(22050.0);
  PlayFast(h);
  h.Set(kParamBaseFreq, 20000.0);
  h.Set(kParamBinaural, 10000.0);  // tone B at 30 kHz, above 22.05 kHz
  h.Set(kParamVolume, 100);
  h.Render(22050);
  const EngineState& st = h.St();
  EXPECT_GE(st.toneBPhase, 0.0);
  EXPECT_LT(st.toneBPhase, 2.0 * M_PI);
  for (double x : h.right) {
    ASSERT_TRUE(std::isfinite(x));
    ASSERT_LE(std::fabs(x), 1.0);
  }
}

TEST(Beat, PanZeroGivesIdenticalEarsThatBeatAtTheBeatRate) {
  EngineHarness h;
  PlayFast(h);
  h.Set(kParamPan, 0);
  h.Render(96000);
  for (size_t i = 0; i < h.left.size(); ++i) ASSERT_EQ(h.left[i], h.right[i]) << i;
  // The sum of 200 Hz and 204 Hz swells and fades 4 times a second: count
  // the quiet 10 ms windows between louder ones over the last 1.5 s.
  std::vector<double> rms;
  for (size_t w = 24000; w + 480 <= h.left.size(); w += 480) {
    double e = 0.0;
    for (size_t i = w; i < w + 480; ++i) e += h.left[i] * h.left[i];
    rms.push_back(std::sqrt(e / 480.0));
  }
  int dips = 0;
  for (size_t i = 1; i + 1 < rms.size(); ++i)
    if (rms[i] < rms[i - 1] && rms[i] <= rms[i + 1] && rms[i] < 0.1) ++dips;
  EXPECT_EQ(dips, 6);  // 1.5 s x 4 Hz
}

TEST(Beat, MonauralSendsTheUnhalvedSumToBothEars) {
  EngineHarness h;
  PlayFast(h);
  h.Set(kParamBeats, 1);
  h.Set(kParamVolume, 100);
  h.Render(48000);
  for (size_t i = 0; i < h.left.size(); ++i) ASSERT_EQ(h.left[i], h.right[i]);
  const double peak = PeakAbs(h.left, 4800, 48000);
  EXPECT_GT(peak, 1.99);
  EXPECT_LE(peak, 1.998 + 1e-9);
}

TEST(Glide, FirstSoundRisesFromZeroWithTheFadeTimeConstant) {
  EngineHarness h;  // "Fade" 1000 ms: a quarter of it, 12000 samples
  h.plug.Play(120.0);
  h.Render(187 * 64, 64);
  EXPECT_EQ(h.St().fadeSamples, 12000u);
  // Each 64-sample block moves 64/12000 of the remaining way.
  const double done = 1.0 - std::pow(1.0 - 64.0 / 12000.0, 187.0);
  EXPECT_NEAR(done, 0.632, 0.002);
  EXPECT_NEAR(h.St().toneAIncrement / h.St().toneAIncrementTarget, done, 1e-9);
  EXPECT_NEAR(h.St().toneBIncrement / h.St().toneBIncrementTarget, done, 1e-9);
  // Heard as a pitch of about 63 % of 200 Hz around that point.
  EXPECT_NEAR(ZeroCrossingHz(h.left, {11000, 187 * 64}, kSr), 200.0 * done, 4.0);
  // The very start is far below the set pitch.
  EXPECT_LT(ZeroCrossingHz(h.left, {0, 2400}, kSr), 40.0);
}

TEST(Glide, ABlockLongerThanTheFadeGoesTheWholeWay) {
  EngineHarness h;
  PlayFast(h);  // 12 samples of glide, blocks of 256
  h.Render(256);
  EXPECT_NEAR(h.St().toneAIncrement, h.St().toneAIncrementTarget, 1e-15);
  h.Set(kParamBaseFreq, 300.0);
  h.Render(256);
  EXPECT_NEAR(h.St().toneAIncrement, h.St().toneAIncrementTarget, 1e-15);
}

TEST(Transport, StoppedWithoutPlayAnywayIsExactSilence) {
  EngineHarness h;
  h.Set(kParamLfo1Target, kTargetPan);
  const double lfoPhase = h.St().lfoPhase[0];
  h.Render(4800);
  for (size_t i = 0; i < h.left.size(); ++i) {
    ASSERT_EQ(h.left[i], 0.0);
    ASSERT_EQ(h.right[i], 0.0);
  }
  EXPECT_EQ(h.St().volume, 0.0f);
  EXPECT_EQ(h.St().lfoPhase[0], lfoPhase);  // the LFO did not move
}

TEST(Transport, StopFadesOutOverOneBlockThenSilenceThenFadesIn) {
  EngineHarness h;
  PlayFast(h);
  h.Render(2560);
  h.plug.Stop();
  h.Clear();
  h.Render(256);
  // Linear fade: the envelope limit falls from the volume to 0 in one block.
  const double vol = h.St().volumeTarget;
  for (int i = 0; i < 256; ++i) EXPECT_LE(std::fabs(h.left[i]), vol * (255.0 - i) / 256.0 + 1e-6) << i;
  EXPECT_LE(std::fabs(h.St().volume), 1e-6);
  h.Render(2560);  // what single precision left of the fade runs out
  h.Clear();
  h.Render(2560);
  for (double x : h.left) ASSERT_EQ(x, 0.0);
  for (double x : h.right) ASSERT_EQ(x, 0.0);

  h.plug.Play(120.0);
  h.Clear();
  h.Render(256);
  EXPECT_NEAR(h.St().volume, h.St().volumeTarget, 1e-5);  // single-precision ramp
  EXPECT_GT(PeakAbs(h.left, 128, 256), 0.2);
}

TEST(Transport, PlayAnywaySoundsWhileStopped) {
  EngineHarness h;
  h.Set(kParamPlayAnyway, 1);
  h.Set(kParamFade, 1);
  h.Render(4800);
  EXPECT_NEAR(PeakAbs(h.left, 2400, 4800), 0.4769, 0.001);  // "Volume" 90 %: -6.4 dB
}

TEST(Transport, VolumeLfoNeverHoldsUpTheFadeOut) {
  EngineHarness h;
  PlayFast(h);
  h.Set(kParamLfo1Target, kTargetVolume);
  h.Render(2560);
  h.plug.Stop();
  h.Render(2560);
  h.Clear();
  h.Render(2560);
  for (double x : h.left) ASSERT_EQ(x, 0.0);
}

TEST(Volume, ZeroPercentIsQuietNotSilent) {
  EngineHarness h;
  PlayFast(h);
  h.Set(kParamVolume, 0);
  h.Render(4800);
  EXPECT_NEAR(h.St().volumeTarget, 0.00061458, 1e-8);
  EXPECT_NEAR(PeakAbs(h.left, 2400, 4800), 0.00061458, 2e-6);
}

// Pan implied by one stereo sample of the two known tones.
double ImpliedPan(double l, double r, double a, double b, double vol) { return (l - r) / ((a - b) * vol); }

TEST(Pan, ChangeRampsLinearlyOverOneBlockAndEndsOnTarget) {
  EngineHarness h;
  PlayFast(h);
  h.Render(2560);
  const EngineState before = h.St();
  h.Set(kParamPan, -100);
  h.Clear();
  const int n = 512;
  h.Render(n, n);
  int checked = 0;
  for (int i = 0; i < n; ++i) {
    const double a = std::sin(before.toneAPhase + i * before.toneAIncrement);
    const double b = std::sin(before.toneBPhase + i * before.toneBIncrement);
    if (std::fabs(a - b) < 0.2) continue;
    const double expected = 1.0 + (-1.0 - 1.0) * (i + 1) / n;
    EXPECT_NEAR(ImpliedPan(h.left[i], h.right[i], a, b, before.volume), expected, 1e-4) << i;
    ++checked;
  }
  EXPECT_GT(checked, 100);
  EXPECT_EQ(h.St().pan, -1.0f);
  EXPECT_EQ(h.St().panTarget, -1.0f);
}

TEST(Pan, EmptyBlockStillSnapsPanAndTakesTheClock) {
  EngineHarness h;
  PlayFast(h);
  h.Render(256);
  h.Set(kParamPan, 30);
  FakeMs() += 7;
  double* outs[2] = {nullptr, nullptr};
  h.plug.RenderBlock(nullptr, outs, 0);
  EXPECT_FLOAT_EQ(h.St().pan, 0.3f);
  EXPECT_EQ(h.St().lastBlockClock, FakeMs());
}

// The phase a tone must have at host position p after a re-phase.
double TimelinePhase(double p, double increment) {
  return std::fmod(p * increment * 0.15915494309189535, 1.0) * 2.0 * M_PI;
}

TEST(Rephase, AfterResetTheTonesFollowTheHostPosition) {
  EngineHarness h;
  PlayFast(h);
  h.Render(2560);
  h.plug.samplePosition = 123457;
  h.plug.OnReset();
  const EngineState st = h.St();
  h.Clear();
  h.Render(256);
  // Pan 100: the left ear is tone A alone, at its re-phased start.
  const double expectedA = TimelinePhase(123457.0, st.toneAIncrementTarget);
  EXPECT_NEAR(h.left[0], std::sin(expectedA) * st.volumeTarget, 1e-6);
  const double expectedB = TimelinePhase(123457.0, st.toneBIncrementTarget);
  EXPECT_NEAR(h.right[0], std::sin(expectedB) * st.volumeTarget, 1e-6);
}

TEST(Rephase, OnlyAGapOfMoreThan500MsRephases) {
  EngineHarness h;
  PlayFast(h);
  h.Render(2560);
  h.plug.samplePosition = 777777;
  FakeMs() += 500;  // not more than 500: the tones run on
  const EngineState before = h.St();
  h.Clear();
  h.Render(1, 1);
  EXPECT_NEAR(h.left[0], std::sin(before.toneAPhase) * before.volume, 1e-6);

  FakeMs() += 501;
  const EngineState st = h.St();
  h.Clear();
  h.Render(1, 1);
  EXPECT_NEAR(h.left[0], std::sin(TimelinePhase(777777.0, st.toneAIncrementTarget)) * st.volume, 1e-6);
}

TEST(Rephase, ClockWrapAroundCountsAsAShortGap) {
  EngineHarness h;
  PlayFast(h);
  FakeMs() = 0xFFFFFF00u;
  h.Render(256);
  FakeMs() = 0x00000010u;  // 272 ms later across the wrap
  h.plug.samplePosition = 5000000;
  const EngineState before = h.St();
  h.Clear();
  h.Render(1, 1);
  EXPECT_NEAR(h.left[0], std::sin(before.toneAPhase) * before.volume, 1e-6);
}

TEST(Rephase, NegativeHostPositionGivesPhasesInZeroToTwoPi) {
  EngineHarness h;
  PlayFast(h);
  h.plug.samplePosition = -100001;
  h.plug.OnReset();
  double* outs[2] = {nullptr, nullptr};
  h.plug.RenderBlock(nullptr, outs, 0);
  EXPECT_GE(h.St().toneAPhase, 0.0);
  EXPECT_LT(h.St().toneAPhase, 2.0 * M_PI);
  EXPECT_GE(h.St().toneBPhase, 0.0);
  EXPECT_LT(h.St().toneBPhase, 2.0 * M_PI);
  // The same point of the cycle as the timeline's phase, one turn up.
  EXPECT_NEAR(h.St().toneAPhase, TimelinePhase(-100001.0, h.St().toneAIncrementTarget) + 2.0 * M_PI, 1e-9);
  h.Render(48000);
  EXPECT_NEAR(ZeroCrossingHz(h.left, {4800, 48000}, kSr), 200.0, 0.05);
}

}  // namespace
}  // namespace selvarin::test
