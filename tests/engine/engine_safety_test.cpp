// The output stays finite and within its design peak (2.0, the monaural sum
// at full volume) in unusual host situations: pre-roll positions, positions
// past 32 bits, a volume LFO with tiny blocks, absurd rates and tempos; and
// an offline render does not depend on how fast it was written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "engine_harness.h"

namespace selvarin::test {
namespace {

constexpr double kSr = 48000.0;
constexpr double kDesignPeak = 2.0;

double WorstSample(const std::vector<double>& x) {
  double worst = 0.0;
  for (double v : x) worst = std::isfinite(v) ? std::fmax(worst, std::fabs(v)) : INFINITY;
  return worst;
}

// Monaural at volume 100 %: both tones summed, peaks near 1.998.
void LoudMonaural(EngineHarness& h) {
  h.plug.Play(120.0);
  h.Set(kParamFade, 1);
  h.Set(kParamBeats, 1);
  h.Set(kParamVolume, 100);
}

TEST(PreRoll, NegativeHostPositionsNeverOvershootInAnyWaveform) {
  for (int wave = 0; wave < kNumToneWaves; ++wave) {
    EngineHarness h;
    LoudMonaural(h);
    h.Set(kParamWave, wave);
    h.plug.samplePosition = -47999;  // a count-in: the block starts before the timeline
    h.Render(48000, 512);
    const double worst = WorstSample(h.left);
    EXPECT_LE(worst, kDesignPeak) << "wave " << wave;
    EXPECT_GT(worst, 0.5) << "wave " << wave;  // it does sound
  }
}

TEST(PreRoll, PositionsPast32BitsKeepTheirPlaceOnTheTimeline) {
  EngineHarness h;
  LoudMonaural(h);
  h.Render(2560);
  const int64_t twelveHours = (int64_t{1} << 31) + 12345;
  h.plug.samplePosition = twelveHours;
  h.plug.OnReset();
  double* outs[2] = {nullptr, nullptr};
  h.plug.RenderBlock(nullptr, outs, 0);
  const double p = static_cast<double>(twelveHours);
  const double expected = std::fmod(p * h.St().toneAIncrementTarget * 0.15915494309189535, 1.0) * 2.0 * M_PI;
  EXPECT_NEAR(h.St().toneAPhase, expected, 1e-6);
}

TEST(VolumeLfo, TinyBlocksDoNotAddTheVolumeRampOnTopOfTheLfo) {
  for (int block : {1, 32, 512}) {
    EngineHarness h;
    LoudMonaural(h);
    h.Set(kParamLfo1Target, kTargetVolume);
    h.Set(kParamLfo1Sync, 0);
    h.Set(kParamLfo1RateMs, 300);  // not the beat's 250 ms: its top meets the beat's
    h.Render(48000, block);
    const double worst = WorstSample(h.left);
    EXPECT_LE(worst, kDesignPeak) << "block " << block;
    EXPECT_GT(worst, 1.9) << "block " << block;  // the LFO still reaches its top

    // A transport stop still fades out over one block, then to exact silence.
    h.plug.Stop();
    h.Clear();
    h.Render(8 * 512, 512);
    EXPECT_LE(WorstSample(h.left), kDesignPeak);
    EXPECT_LT(PeakAbs(h.left, 512, h.left.size()), 1e-5) << "block " << block;
    EXPECT_EQ(PeakAbs(h.left, 4 * 512, h.left.size()), 0.0) << "block " << block;
  }
}

TEST(BackwardsTone, AGlideStepOnTopOfABaseFreqLfoNeverOvershoots) {
  // With an LFO on "Base Freq", tone B is the LFO's value plus the beat plus
  // the block's glide step; after a fall of the beat that step can be larger
  // than the rest, and tone B runs backwards for a while.
  EngineHarness h;
  LoudMonaural(h);
  h.Set(kParamWave, kToneTriangle);
  h.Set(kParamLfo1Depth, 0);
  double lowestIncrement = 0.0;
  for (int fall = 0; fall < 20; ++fall) {
    h.Set(kParamLfo1Target, kTargetNone);
    h.Set(kParamBinaural, 10000.0);
    h.Render(480 + 37 * fall, 480);
    h.Set(kParamBinaural, 0.0);
    h.Set(kParamLfo1Target, kTargetBaseFreq);
    h.Render(12, 12);
    lowestIncrement = std::fmin(lowestIncrement, h.St().toneBIncrement);
    h.Render(48, 12);
  }
  ASSERT_LT(lowestIncrement, 0.0);  // it did run backwards
  EXPECT_LE(WorstSample(h.left), kDesignPeak);
  EXPECT_GE(h.St().toneBPhase, 0.0);
  EXPECT_LT(h.St().toneBPhase, 2.0 * M_PI);
}

TEST(AbsurdHosts, AnySampleRateAndTempoGivesFiniteBoundedOutput) {
  const double rates[] = {4.9e-324, 1e-300, 0.5, 1.0, 10e6, 1e300};
  const double tempos[] = {4.9e-324, 1e-300, 1e-3, 120.0, 1e6, 1e300, -120.0};
  for (double rate : rates) {
    for (double tempo : tempos) {
      EngineHarness h(rate);
      LoudMonaural(h);
      h.plug.Play(tempo);
      h.Set(kParamLfo1Target, kTargetBaseFreq);  // note values at the host tempo
      h.Set(kParamLfo1Depth, 100);
      h.Set(kParamLfo2Target, kTargetVolume);  // milliseconds at the sample rate
      h.Set(kParamLfo2Sync, 0);
      h.Set(kParamLfo2RateMs, 60);
      h.Render(4096, 512);
      EXPECT_LE(WorstSample(h.left), kDesignPeak) << rate << " Hz, " << tempo << " BPM";
      EXPECT_LE(WorstSample(h.right), kDesignPeak) << rate << " Hz, " << tempo << " BPM";
      const EngineState& st = h.St();
      EXPECT_TRUE(std::isfinite(st.toneAIncrement) && std::isfinite(st.lfoIncrement[0]) &&
                  std::isfinite(st.lfoIncrement[1]) && std::isfinite(st.toneAPhase))
          << rate << " Hz, " << tempo << " BPM";
    }
  }
}

// Renders 2 s in 512-frame blocks, the clock moving 10 ms per block, and
// once by 600 ms when `stall` is set (a writer held up by its disk).
std::vector<double> RenderWithClock(bool offline, bool stall) {
  EngineHarness h;
  h.plug.offline = offline;
  h.plug.Play(120.0);  // the default glide is still moving when the stall comes
  for (int b = 0; b < 188; ++b) {
    FakeMs() += stall && b == 90 ? 600 : 10;
    h.plug.samplePosition = int64_t{512} * b;
    h.Render(512, 512);
  }
  return h.left;
}

TEST(Offline, AStalledRenderEqualsAnUnstalledOne) {
  EXPECT_EQ(RenderWithClock(true, true), RenderWithClock(true, false));
  // In real time a pause that long re-phases the tones, as it should.
  EXPECT_NE(RenderWithClock(false, true), RenderWithClock(false, false));
}

}  // namespace
}  // namespace selvarin::test
