// The waveforms as shapes: values at the segment edges and continuity of
// the golden shapes, and the LFO waves.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_math.h"
#include "engine/lfo_waveforms.h"
#include "engine/tone_waveforms.h"

namespace selvarin {
namespace {

constexpr double kS = 3.8830083370775546;  // the golden split

GoldenShape Golden(int wave) {
  GoldenShape g;
  g.split = kS;
  SetGoldenCoefficients(wave, 0.618f, &g);
  return g;
}

TEST(ToneWaves, PlainShapesAtTheirEdges) {
  const GoldenShape g = Golden(kToneGoldenSine);
  EXPECT_DOUBLE_EQ(ToneWave(kToneTriangle, 0.0, g), -1.0);
  EXPECT_NEAR(ToneWave(kToneTriangle, kPi / 2, g), 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(ToneWave(kToneTriangle, kPi, g), 1.0);
  EXPECT_DOUBLE_EQ(ToneWave(kToneSaw, 0.0, g), 1.0);
  EXPECT_NEAR(ToneWave(kToneSaw, kPi, g), 0.0, 1e-15);
  EXPECT_NEAR(ToneWave(kToneSaw, std::nextafter(kTwoPi, 0.0), g), -1.0, 1e-15);
  EXPECT_EQ(ToneWave(kToneSquare, std::nextafter(kPi, 0.0), g), 1.0);
  EXPECT_EQ(ToneWave(kToneSquare, kPi, g), -1.0);
  EXPECT_EQ(ToneWave(kToneGoldenSquare, std::nextafter(kS, 0.0), g), 1.0);
  EXPECT_EQ(ToneWave(kToneGoldenSquare, kS, g), -1.0);
  EXPECT_EQ(ToneWave(42, kS, g), -1.0);  // unknown entries are "Gold. Square"
}

TEST(ToneWaves, GoldenSineTurnsAtTheSplit) {
  const GoldenShape g = Golden(kToneGoldenSine);
  EXPECT_DOUBLE_EQ(ToneWave(kToneGoldenSine, 0.0, g), 1.0);
  EXPECT_NEAR(ToneWave(kToneGoldenSine, kS, g), -1.0, 1e-12);
  EXPECT_NEAR(ToneWave(kToneGoldenSine, std::nextafter(kS, 0.0), g), -1.0, 1e-12);
  EXPECT_NEAR(ToneWave(kToneGoldenSine, std::nextafter(kTwoPi, 0.0), g), 1.0, 1e-12);
}

TEST(ToneWaves, GoldenShapesAreContinuous) {
  for (int wave : {kToneGoldenSine, kToneSineHalf, kToneGoldenTriangle}) {
    SCOPED_TRACE(wave);
    const GoldenShape g = Golden(wave);
    const double below = ToneWave(wave, std::nextafter(kS, 0.0), g);
    EXPECT_NEAR(ToneWave(wave, kS, g), below, 1e-6);
    EXPECT_NEAR(ToneWave(wave, std::nextafter(kTwoPi, 0.0), g), ToneWave(wave, 0.0, g), 1e-6);
    EXPECT_NEAR(below, 1.0 * (wave == kToneGoldenSine ? -1 : 1), 1e-6);
  }
  const GoldenShape g = Golden(kToneSineHalf);
  EXPECT_DOUBLE_EQ(ToneWave(kToneSineHalf, 0.0, g), -1.0);
  EXPECT_NEAR(ToneWave(kToneGoldenTriangle, 0.0, Golden(kToneGoldenTriangle)), -1.0, 1e-15);
}

TEST(ToneWaves, SquareAndPlainWavesKeepTheGoldenCoefficients) {
  GoldenShape g = Golden(kToneGoldenSine);
  const GoldenShape before = g;
  for (int wave : {kToneSine, kToneTriangle, kToneSaw, kToneSquare, kToneGoldenSquare}) {
    SetGoldenCoefficients(wave, 0.618f, &g);
    EXPECT_EQ(g.a, before.a);
    EXPECT_EQ(g.c, before.c);
  }
}

TEST(LfoWaves, Shapes) {
  double sq = 0.0;
  const SquareSmoothing w{0.01, 0.99};
  EXPECT_NEAR(LfoWaveRT(kLfoSine, kPi / 2, sq, w), 1.0, 1e-15);
  EXPECT_DOUBLE_EQ(LfoWaveRT(kLfoSaw, 0.0, sq, w), -1.0);
  EXPECT_NEAR(LfoWaveRT(kLfoSaw, kPi / 2, sq, w), 1.0, 1e-15);  // top after a quarter
  EXPECT_NEAR(LfoWaveRT(kLfoSaw, std::nextafter(kTwoPi, 0.0), sq, w), -1.0, 1e-12);
  EXPECT_DOUBLE_EQ(LfoWaveRT(kLfoSawFlip, 0.0, sq, w), -1.0);
  EXPECT_NEAR(LfoWaveRT(kLfoSawFlip, 3 * kPi / 2, sq, w), 1.0, 1e-12);  // top after three quarters
  EXPECT_NEAR(LfoWaveRT(kLfoSawFlip, std::nextafter(kTwoPi, 0.0), sq, w), -1.0, 1e-12);
  EXPECT_DOUBLE_EQ(LfoWaveRT(kLfoSineHalf, 0.0, sq, w), -1.0);
  EXPECT_NEAR(LfoWaveRT(kLfoSineHalf, kPi, sq, w), 1.0, 1e-15);
  EXPECT_NEAR(LfoWaveRT(kLfoHalfFlip, 0.0, sq, w), 1.0, 1e-15);
  EXPECT_NEAR(LfoWaveRT(kLfoHalfFlip, kPi, sq, w), -1.0, 1e-15);
  EXPECT_EQ(sq, 0.0);  // only "Square" moves its state
}

TEST(LfoWaves, SquareIsSmoothedNotSwitched) {
  double sq = -1.0;
  const SquareSmoothing w{0.01, 0.99};
  double y = 0.0;
  for (int i = 0; i < 100; ++i) y = LfoWaveRT(kLfoSquare, 0.5, sq, w);
  // From -1 towards +1 with a time constant of about 100 samples.
  EXPECT_NEAR(y, 1.0 - 2.0 * std::pow(0.99, 100.0), 1e-12);
  EXPECT_EQ(sq, y);
}

TEST(PhaseAdvance, WrapsOnceNormallyAndByWholeCyclesBeyond) {
  EXPECT_DOUBLE_EQ(AdvancePhaseRT(6.0, 0.5), 6.5 - kTwoPi);
  EXPECT_DOUBLE_EQ(AdvancePhaseRT(1.0, 0.5), 1.5);
  const double p = AdvancePhaseRT(1.0, 3.5 * kTwoPi);
  EXPECT_GE(p, 0.0);
  EXPECT_LT(p, kTwoPi);
  EXPECT_NEAR(p, 1.0 + 0.5 * kTwoPi, 1e-12);
}

}  // namespace
}  // namespace selvarin
