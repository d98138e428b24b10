// The staged sample loop must give exactly the samples of the plain
// one-sample-at-a-time loop, for every waveform, mix and LFO set-up. The one
// allowed difference: a sine-type LFO may take its values in the staged
// loop from a series or a step table around one anchor per run, within
// 4.4e-16 of the full sine, so what it drives may differ in the last bits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/lfo_waveforms.h"
#include "engine/render_kernel.h"
#include "engine_harness.h"

namespace selvarin::test {
namespace {

struct Rendered {
  std::vector<double> left, right;
  EngineState state;
};

Rendered RenderWith(void (*kernel)(EngineState&, const BlockRamps&, const BlockIO&, int), const EngineState& from,
                    const BlockRamps& rp, const std::vector<double>* input, int n) {
  Rendered r{std::vector<double>(static_cast<size_t>(n)), std::vector<double>(static_cast<size_t>(n)), from};
  BlockIO io;
  io.outL = r.left.data();
  io.outR = r.right.data();
  if (input) {
    io.inL = input->data();
    io.inR = input->data() + 1;
  }
  kernel(r.state, rp, io, n);
  return r;
}

void ExpectSame(const Rendered& a, const Rendered& b, bool exact) {
  if (exact) {
    ASSERT_EQ(0, std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(double)));
    ASSERT_EQ(0, std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(double)));
    EXPECT_EQ(a.state.toneAPhase, b.state.toneAPhase);
    EXPECT_EQ(a.state.toneBPhase, b.state.toneBPhase);
    EXPECT_EQ(a.state.toneAIncrement, b.state.toneAIncrement);
    EXPECT_EQ(a.state.toneBIncrement, b.state.toneBIncrement);
  } else {
    for (size_t i = 0; i < a.left.size(); ++i) {
      ASSERT_NEAR(a.left[i], b.left[i], 1e-13) << i;
      ASSERT_NEAR(a.right[i], b.right[i], 1e-13) << i;
    }
    EXPECT_NEAR(a.state.toneAPhase, b.state.toneAPhase, 1e-13);
    EXPECT_NEAR(a.state.toneBPhase, b.state.toneBPhase, 1e-13);
    EXPECT_NEAR(a.state.toneAIncrement, b.state.toneAIncrement, 1e-15);
    EXPECT_NEAR(a.state.toneBIncrement, b.state.toneBIncrement, 1e-15);
  }
  // Single-precision quantities driven by an LFO round alike (a difference
  // of 4.4e-16 crosses a rounding boundary far too rarely to meet here).
  EXPECT_EQ(a.state.volume, b.state.volume);
  EXPECT_EQ(a.state.pan, b.state.pan);
  EXPECT_EQ(a.state.lfoPhase[0], b.state.lfoPhase[0]);
  EXPECT_EQ(a.state.lfoPhase[1], b.state.lfoPhase[1]);
  EXPECT_EQ(a.state.lfoSquareState[0], b.state.lfoSquareState[0]);
  EXPECT_EQ(a.state.lfoSquareState[1], b.state.lfoSquareState[1]);
}

TEST(StagedLoop, SameSamplesAsOneByOne) {
  const int lfoSetups[][4] = {
      // LFO1 target, wave; LFO2 target, wave
      {kTargetNone, 0, kTargetNone, 0},       {kTargetBinaural, kLfoSine, kTargetVolume, kLfoSine},
      {kTargetBaseFreq, kLfoSquare, kTargetBinaural, kLfoSaw}, {kTargetPan, kLfoSineHalf, kTargetVolume, kLfoHalfFlip},
      {kTargetVolume, kLfoTriangle, kTargetBaseFreq, kLfoSawFlip}, {kTargetPan, kLfoSquare, kTargetBinaural, kLfoSine},
  };
  std::vector<double> input(2 * 1000);
  for (size_t i = 0; i < input.size(); ++i) input[i] = 0.001 * static_cast<double>(i % 17);
  for (int wave = 0; wave < kNumToneWaves; ++wave) {
    for (int beats = 0; beats < 2; ++beats) {
      for (const auto& setup : lfoSetups) {
        SCOPED_TRACE(::testing::Message() << "wave " << wave << " beats " << beats << " lfo " << setup[0] << "/"
                                          << setup[2]);
        EngineHarness h;
        h.plug.Play(120.0);
        h.Set(kParamWave, wave);
        h.Set(kParamBeats, beats);
        h.Set(kParamLfo1Target, setup[0]);
        h.Set(kParamLfo1Wave, setup[1]);
        h.Set(kParamLfo2Target, setup[2]);
        h.Set(kParamLfo2Wave, setup[3]);
        h.Set(kParamLfo1RateNote, 3);
        h.Render(1024);  // mid-glide, LFOs running
        BlockRamps rp;
        rp.v = h.St().volumeTarget;
        rp.stepA = 1e-7;
        rp.stepB = -2e-7;
        rp.panStep = -0.0017f;
        rp.volumeStep = 0.0003f;
        // LFO2 runs at its default 1/1 (2 s at 120 BPM): slow enough for
        // the series; LFO1 at 1/16 is not.
        const bool exact = setup[2] == kTargetNone || !LfoWaveUsesTrig(setup[3]);
        for (int n : {1, 63, 64, 65, 300}) {
          ExpectSame(RenderWith(&RenderSamplesRT, h.St(), rp, nullptr, n),
                     RenderWith(&RenderSamplesOneByOneRT, h.St(), rp, nullptr, n), exact);
        }
        ExpectSame(RenderWith(&RenderSamplesRT, h.St(), rp, &input, 500),
                   RenderWith(&RenderSamplesOneByOneRT, h.St(), rp, &input, 500), exact);
      }
    }
  }
}

}  // namespace
}  // namespace selvarin::test
