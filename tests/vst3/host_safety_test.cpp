// What the host hears in the situations where a plug-in is easily caught
// out: rates no host runs at, processing calls without samples, blocks the
// plug-in cannot render, and project positions past 32 bits.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/vst3/plugin_fixture.h"
#include "tests/vst3/signal_measure.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

using HostSafetyTest = PluginTest;

// One processing call of `frames` samples into host buffers that still hold
// 0.25 from before (stale audio); returns what they hold afterwards, left
// channel then right, as doubles.
std::vector<double> ProcessIntoStaleBuffers(sv::IAudioProcessor* processor, int sampleSize, int frames) {
  StereoOutput output(sampleSize, frames, 0.25);
  sv::ProcessContext context;
  FillContext(&context, HostTransport{48000.0, 120.0, true}, 0);
  output.SetInputs(nullptr, nullptr, &context);
  output.data.numSamples = frames;
  EXPECT_EQ(processor->process(output.data), sb::kResultOk);
  std::vector<double> out;
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < static_cast<size_t>(frames); ++i) out.push_back(output.Sample(c, i));
  return out;
}

bool AllZero(const std::vector<double>& x) {
  for (double v : x)
    if (v != 0.0) return false;
  return true;
}

TEST_F(HostSafetyTest, RatesOutsideOneHertzToTenMegahertzAreRefused) {
  for (double rate : {4.9e-324, 1e-300, 0.5, 10e6 * 1.0000001, 1e300, std::numeric_limits<double>::infinity()}) {
    sv::ProcessSetup setup{sv::kRealtime, sv::kSample64, 512, rate};
    EXPECT_EQ(plugin.processor->setupProcessing(setup), sb::kResultFalse) << rate;
  }
  // Refused set-ups changed nothing: the plug-in is still not set up and
  // renders nothing, leaving silence in the host's buffers.
  EXPECT_TRUE(AllZero(ProcessIntoStaleBuffers(plugin.processor, sv::kSample64, 256)));

  for (double rate : {1.0, 10e6}) {
    plugin.Destroy();
    SetUp();
    position_ = 0;
    Prepare(rate, 512, 32);
    const Rendered r = Render(rate < 10.0 ? 64 : 48000, 512);
    EXPECT_TRUE(AllFinite(r.left)) << rate;
    EXPECT_LE(Peak(r.left), 1.0) << rate;
  }
}

TEST_F(HostSafetyTest, ABlockWithoutSamplesEndsLikeABlock) {
  // Two instances play alike; one gets a pan change in a call without
  // samples, the other had that pan all along. From then on they must sound
  // the same: the pan is at its target, not ramping over the next block.
  // (Offline: a stall of the test machine must not re-phase one of them.)
  Queue(3, 0.5);  // "Binaural Pan" 0 %
  Prepare(48000.0, 512, 64, /*offline=*/true);
  Render(4800, 480);
  Queue(3, 1.0);  // 100 %
  Flush();
  const Rendered changed = Render(480, 480);

  plugin.Destroy();
  SetUp();
  position_ = 0;
  Prepare(48000.0, 512, 64, /*offline=*/true);
  Render(4800, 480);
  const Rendered steady = Render(480, 480);
  ASSERT_EQ(changed.left.size(), steady.left.size());
  for (size_t i = 0; i < steady.left.size(); ++i) {
    ASSERT_NEAR(changed.left[i], steady.left[i], 1e-12) << i;
    ASSERT_NEAR(changed.right[i], steady.right[i], 1e-12) << i;
  }
}

TEST_F(HostSafetyTest, BlocksThatAreNotRenderedLeaveSilenceNotStaleAudio) {
  // Before set-up, in both sample sizes.
  EXPECT_TRUE(AllZero(ProcessIntoStaleBuffers(plugin.processor, sv::kSample64, 300)));
  EXPECT_TRUE(AllZero(ProcessIntoStaleBuffers(plugin.processor, sv::kSample32, 300)));

  // Buffers of the other sample size than the set-up: cleared as what they are.
  Prepare(48000.0, 512, 32);
  Render(4800);
  EXPECT_TRUE(AllZero(ProcessIntoStaleBuffers(plugin.processor, sv::kSample64, 700)));
  const std::vector<double> rendered = ProcessIntoStaleBuffers(plugin.processor, sv::kSample32, 512);
  EXPECT_GT(Peak(rendered), 0.1);
  EXPECT_LE(Peak(rendered), 1.0);

  // After terminate.
  ASSERT_EQ(plugin.component->terminate(), sb::kResultOk);
  EXPECT_TRUE(AllZero(ProcessIntoStaleBuffers(plugin.processor, sv::kSample32, 512)));
  ASSERT_EQ(plugin.component->initialize(&host), sb::kResultOk);
}

TEST_F(HostSafetyTest, ProjectPositionsPast32BitsStayOnTheTimeline) {
  // One second apart the default tones (200 and 204 Hz) have run whole
  // cycles, so renders starting at positions one second apart sound alike,
  // also when the second lies past 2^31 samples (about 12 hours in).
  const int64_t before = (int64_t{1} << 31) - 24000;
  position_ = before;
  Prepare(48000.0, 512, 64, /*offline=*/true);
  const Rendered first = Render(4800, 480);
  plugin.Destroy();
  SetUp();
  position_ = before + 48000;
  Prepare(48000.0, 512, 64, /*offline=*/true);
  const Rendered second = Render(4800, 480);
  double worst = 0.0;
  for (size_t i = 0; i < first.left.size(); ++i) {
    worst = std::fmax(worst, std::fabs(first.left[i] - second.left[i]));
    worst = std::fmax(worst, std::fabs(first.right[i] - second.right[i]));
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(Peak(second.left), 0.01);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
