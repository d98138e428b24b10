// Hosts send odd input; none of it may crash the plug-in or make its output
// anything but finite.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <thread>

#include "tests/vst3/plugin_fixture.h"
#include "tests/vst3/signal_measure.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

using RobustnessTest = PluginTest;

TEST_F(RobustnessTest, QueuedValuesOutsideTheRangeOrNotFiniteAreSafe) {
  Prepare();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (sv::ParamID id = 0; id < 23; ++id) Queue(id, id % 3 == 0 ? nan : id % 3 == 1 ? inf : -5.0);
  Queue(kPrst, nan);
  Queue(kBpas, -inf);
  Queue(0x7FFFFFFF, 0.5);  // unknown id
  Queue(4000, 2.0);
  Rendered r = Render(24000);
  EXPECT_TRUE(AllFinite(r.left));
  EXPECT_TRUE(AllFinite(r.right));
  for (sv::ParamID id = 0; id < 23; ++id) {
    const double x = plugin.controller->getParamNormalized(id);
    EXPECT_TRUE(x >= 0.0 && x <= 1.0) << id;
  }
  for (sv::ParamID id = 0; id < 23; ++id) Queue(id, 1e9);
  r = Render(24000);
  EXPECT_TRUE(AllFinite(r.left));
  EXPECT_LE(Peak(r.left), 1.0);
}

TEST_F(RobustnessTest, ZeroFramesNoBussesAndNullPointersFlushParameters) {
  Prepare();
  sv::ProcessData data;
  data.symbolicSampleSize = sv::kSample64;
  data.inputParameterChanges = &changes;
  // Zero frames, no busses: a parameter flush.
  Queue(0, plugin.controller->plainParamToNormalized(0, 300.0));
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  changes.Clear();
  EXPECT_NEAR(Plain(0), 300.0, 1e-6);
  // Frames but no busses.
  data.numSamples = 256;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  // A bus with null channel pointers, then one null channel of two.
  sv::AudioBusBuffers bus;
  bus.numChannels = 2;
  bus.channelBuffers64 = nullptr;
  data.numOutputs = 1;
  data.outputs = &bus;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  std::vector<double> left(256, 7.0);
  double* channels[2] = {left.data(), nullptr};
  bus.channelBuffers64 = channels;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  EXPECT_TRUE(AllFinite(left));
  // More channels than the plug-in has, a negative count, negative frames.
  bus.numChannels = 8;
  double* many[8] = {left.data(), left.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  bus.channelBuffers64 = many;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  bus.numChannels = -3;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  data.numSamples = -100;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  data.numOutputs = 1;
  data.outputs = nullptr;
  data.numSamples = 64;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
}

TEST_F(RobustnessTest, BlockSizesThatVaryUpToTheMaximumAndBeyond) {
  Prepare(48000.0, 512, 32);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> size(1, 512);
  Rendered all;
  while (all.left.size() < 192000) {
    const Rendered r = Render(size(rng), 512);
    all.left.insert(all.left.end(), r.left.begin(), r.left.end());
    all.right.insert(all.right.end(), r.right.begin(), r.right.end());
  }
  const size_t n = all.left.size();
  EXPECT_NEAR(ZeroCrossingHz(all.left, {n - 24000, n}, 48000.0), 200.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(all.right, {n - 24000, n}, 48000.0), 204.0, 0.05);
  // A host that exceeds its announced maximum is still served, in pieces.
  const Rendered big = Render(5000, 5000);
  EXPECT_TRUE(AllFinite(big.left));
  EXPECT_NEAR(ZeroCrossingHz(big.left, {0, 5000}, 48000.0), 200.0, 0.5);
  double jump = 0.0;
  for (size_t i = 1; i < big.left.size(); ++i) jump = std::fmax(jump, std::fabs(big.left[i] - big.left[i - 1]));
  EXPECT_LT(jump, 0.05);  // continuous across the pieces
}

TEST_F(RobustnessTest, SampleRatesFromOneKilohertzToOnePointTwoMegahertz) {
  for (double rate : {1000.0, 8000.0, 22050.0, 96000.0, 384000.0, 1200000.0}) {
    plugin.Destroy();
    SetUp();
    position_ = 0;
    Prepare(rate, 1024, 64);
    const int frames = static_cast<int>(rate * 3.5);
    const Rendered r = Render(frames, 1024);
    EXPECT_TRUE(AllFinite(r.left)) << rate;
    EXPECT_TRUE(AllFinite(r.right)) << rate;
    EXPECT_LE(Peak(r.left), 1.0) << rate;
    if (rate >= 8000.0) {
      EXPECT_NEAR(ZeroCrossingHz(r.left, {static_cast<size_t>(rate * 3.0), r.left.size()}, rate), 200.0, 0.2) << rate;
    }
  }
  sv::ProcessSetup bad{sv::kRealtime, sv::kSample64, 512, std::numeric_limits<double>::quiet_NaN()};
  EXPECT_EQ(plugin.processor->setupProcessing(bad), sb::kResultFalse);
  bad.sampleRate = -48000.0;
  EXPECT_EQ(plugin.processor->setupProcessing(bad), sb::kResultFalse);
  sv::ProcessSetup huge{sv::kRealtime, sv::kSample32, 1 << 30, 48000.0};
  EXPECT_EQ(plugin.processor->setupProcessing(huge), sb::kResultOk);
  sv::ProcessSetup none{sv::kRealtime, sv::kSample32, 0, 48000.0};
  EXPECT_EQ(plugin.processor->setupProcessing(none), sb::kResultOk);
  const Rendered r = Render(300, 300);
  EXPECT_TRUE(AllFinite(r.left));
}

TEST_F(RobustnessTest, ProcessOnAnotherThreadThanSetUp) {
  Prepare();
  Rendered r;
  std::thread audio([&] { r = Render(192000); });
  // The user-interface thread keeps working meanwhile.
  for (int i = 0; i < 200; ++i) {
    plugin.controller->setParamNormalized(13, (i % 10) / 10.0);
    sv::String128 s;
    plugin.controller->getParamStringByValue(0, 0.5, s);
  }
  audio.join();
  EXPECT_TRUE(AllFinite(r.left));
  const size_t n = r.left.size();
  EXPECT_NEAR(ZeroCrossingHz(r.left, {n - 24000, n}, 48000.0), 200.0, 0.05);
}

TEST_F(RobustnessTest, InactiveOutputBusLeavesTheHostBufferAlone) {
  Prepare();
  Render(4800);
  ASSERT_EQ(plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, false), sb::kResultTrue);
  StereoOutput output(sv::kSample64, 512, 0.25);
  output.data.numSamples = 512;
  EXPECT_EQ(plugin.processor->process(output.data), sb::kResultOk);
  for (double v : output.samples64[0]) EXPECT_EQ(v, 0.25);
  ASSERT_EQ(plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true), sb::kResultTrue);
  const Rendered r = Render(4800);
  EXPECT_GT(Peak(r.left), 0.1);
}

TEST_F(RobustnessTest, BuffersOfAnotherSampleSizeThanTheSetUpAreNotOverrun) {
  Prepare(48000.0, 512, 64);
  Render(4800);
  // The set-up said 64-bit; a host that sends float buffers must not get
  // doubles written into them: it gets float silence for its 512 samples.
  StereoOutput output(sv::kSample32, 1024, 0.25);
  output.data.numSamples = 512;
  EXPECT_EQ(plugin.processor->process(output.data), sb::kResultOk);
  const std::vector<float>& l = output.samples32[0];
  for (size_t i = 0; i < l.size(); ++i) ASSERT_EQ(l[i], i < 512 ? 0.0f : 0.25f) << i;
  const Rendered after = Render(4800);
  EXPECT_GT(Peak(after.left), 0.1);
}

TEST_F(RobustnessTest, ActivationAndProcessingCallsInAnyOrder) {
  // Processing before any set-up or activation.
  {
    StereoOutput output(sv::kSample64, 64);
    output.data.numSamples = 64;
    EXPECT_EQ(plugin.processor->process(output.data), sb::kResultOk);
    EXPECT_TRUE(AllFinite(output.samples64[0]));
  }
  plugin.processor->setProcessing(true);
  EXPECT_EQ(plugin.component->setActive(true), sb::kResultOk);
  EXPECT_EQ(plugin.component->setActive(true), sb::kResultOk);
  Prepare();
  plugin.processor->setProcessing(false);
  EXPECT_EQ(plugin.component->setActive(false), sb::kResultOk);
  EXPECT_EQ(plugin.component->setActive(false), sb::kResultOk);
  Rendered r = Render(2048);
  EXPECT_TRUE(AllFinite(r.left));
  EXPECT_EQ(plugin.component->setActive(true), sb::kResultOk);
  plugin.processor->setProcessing(true);
  r = Render(2048);
  EXPECT_TRUE(AllFinite(r.right));
  // Terminate while active and processing; the fixture releases it after.
  EXPECT_EQ(plugin.component->terminate(), sb::kResultOk);
  EXPECT_EQ(plugin.component->initialize(&host), sb::kResultOk);
  EXPECT_EQ(plugin.controller->getParameterCount(), 24);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
