// What the host hears: the default tone, parameter queues, transport,
// 32- and 64-bit buffers, bypass and preset selection.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/vst3/plugin_fixture.h"
#include "tests/vst3/signal_measure.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

constexpr double kRate = 48000.0;
// The glide approaches its target gradually; by 3 s it has arrived.
constexpr int kFourSeconds = 192000;

class ProcessTest : public PluginTest {
 protected:
  double Norm(sv::ParamID id, double plain) { return plugin.controller->plainParamToNormalized(id, plain); }
  // Left and right pitch over the last quarter (the last second).
  void ExpectPitches(const Rendered& r, double left, double right, double tol = 0.05) {
    const size_t n = r.left.size();
    EXPECT_NEAR(ZeroCrossingHz(r.left, {n - n / 4, n}, rate_), left, tol);
    EXPECT_NEAR(ZeroCrossingHz(r.right, {n - n / 4, n}, rate_), right, tol);
  }
};

TEST_F(ProcessTest, DefaultToneIs200HzLeftAnd204HzRightAfterTheGlide) {
  Prepare(kRate, 512, 64);
  const Rendered r = Render(kFourSeconds);
  ExpectPitches(r, 200.0, 204.0);
  EXPECT_GT(Peak(r.left, kFourSeconds / 2), 0.2);
  EXPECT_LE(Peak(r.left), 1.0);
  EXPECT_TRUE(AllFinite(r.left));
  EXPECT_TRUE(AllFinite(r.right));
}

TEST_F(ProcessTest, ThirtyTwoBitBuffersCarryTheSameSignal) {
  Prepare(kRate, 512, 64);
  const Rendered r64 = Render(20000);
  plugin.Destroy();
  SetUp();
  position_ = 0;
  Prepare(kRate, 512, 32);
  const Rendered r32 = Render(20000);
  double worst = 0.0;
  for (size_t i = 0; i < r64.left.size(); ++i) {
    worst = std::fmax(worst, std::fabs(r64.left[i] - r32.left[i]));
    worst = std::fmax(worst, std::fabs(r64.right[i] - r32.right[i]));
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(Peak(r32.left), 0.1);
}

TEST_F(ProcessTest, OnlyTheLastPointOfAQueueApplies) {
  Prepare(kRate, 512, 64);
  Queue(6, Norm(6, 1.0));  // glide of 1 ms
  Queue(0, Norm(0, 300.0), 0);
  Queue(0, Norm(0, 440.0), 256);
  const Rendered r = Render(kFourSeconds);
  ExpectPitches(r, 440.0, 444.0);
  EXPECT_NEAR(Plain(0), 440.0, 1e-6);
}

TEST_F(ProcessTest, StoppedTransportIsSilentUnlessPlayAnyway) {
  Prepare(kRate, 512, 64);
  Rendered r = Render(20000, 512, /*playing=*/false);
  EXPECT_EQ(Peak(r.left), 0.0);
  EXPECT_EQ(Peak(r.right), 0.0);
  Queue(5, 1.0);  // Play Anyway: Yes
  r = Render(kFourSeconds, 512, false);
  EXPECT_GT(Peak(r.left, kFourSeconds / 2), 0.2);
  ExpectPitches(r, 200.0, 204.0);
}

TEST_F(ProcessTest, BypassAboveOneHalfSilencesTheInstrument) {
  Prepare(kRate, 512, 64);
  Queue(kBpas, 0.5);
  Rendered r = Render(10000);
  EXPECT_GT(Peak(r.left, 5000), 0.1);
  EXPECT_EQ(plugin.controller->getParamNormalized(kBpas), 0.0);
  Queue(kBpas, 0.51);
  r = Render(4096);
  EXPECT_EQ(Peak(r.left), 0.0);
  EXPECT_EQ(Peak(r.right), 0.0);
  EXPECT_EQ(plugin.controller->getParamNormalized(kBpas), 1.0);
  Queue(kBpas, 0.0);
  r = Render(4096);
  EXPECT_GT(Peak(r.left), 0.1);
}

TEST_F(ProcessTest, BypassWorksWithThirtyTwoBitBuffersToo) {
  Prepare(kRate, 512, 32);
  Queue(kBpas, 1.0);
  const Rendered r = Render(4096);
  EXPECT_EQ(Peak(r.left), 0.0);
  EXPECT_EQ(Peak(r.right), 0.0);
}

TEST_F(ProcessTest, ProgramChangeLoadsTheFactoryPreset) {
  Prepare(kRate, 512, 64);
  Queue(kPrst, 1.0 / 149.0);  // "Higher frequencies": 400 Hz and 4 Hz
  const Rendered r = Render(kFourSeconds);
  ExpectPitches(r, 400.0, 404.0);
  EXPECT_NEAR(plugin.controller->getParamNormalized(kPrst), 1.0 / 149.0, 1e-12);
  Queue(kPrst, 0.5);
  Flush();
  EXPECT_NEAR(plugin.controller->getParamNormalized(kPrst), 75.0 / 149.0, 1e-12);
}

// A host shows and automates the values it is told about: after a program
// change every parameter comes back as an output change.
TEST_F(ProcessTest, ProgramChangeReportsEveryParameterToTheHost) {
  Prepare(kRate, 512, 64);
  HostParamChanges out;
  auto processWithOutput = [&]() {
    sv::ProcessData data;
    data.symbolicSampleSize = sv::kSample64;
    data.inputParameterChanges = &changes;
    data.outputParameterChanges = &out;
    EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
    changes.Clear();
  };
  auto reported = [&](sv::ParamID id, double* value) {
    for (sb::int32 q = 0; q < out.getParameterCount(); ++q) {
      sv::IParamValueQueue* queue = out.getParameterData(q);
      if (!queue || queue->getParameterId() != id || queue->getPointCount() < 1) continue;
      sb::int32 offset = -1;
      return queue->getPoint(queue->getPointCount() - 1, offset, *value) == sb::kResultOk;
    }
    return false;
  };

  Queue(kPrst, 1.0 / 149.0);  // "Higher frequencies": 400 Hz
  processWithOutput();
  EXPECT_EQ(out.getParameterCount(), 23);
  for (sv::ParamID id = 0; id < 23; ++id) {
    double value = -1.0;
    ASSERT_TRUE(reported(id, &value)) << "parameter " << id;
    EXPECT_DOUBLE_EQ(value, plugin.controller->getParamNormalized(id)) << "parameter " << id;
  }
  double base = -1.0;
  ASSERT_TRUE(reported(0, &base));
  EXPECT_NEAR(plugin.controller->normalizedParamToPlain(0, base), 400.0, 1e-9);

  // An ordinary automation point is the host's own value: nothing comes back.
  out.Clear();
  Queue(1, Norm(1, 7.0));
  processWithOutput();
  EXPECT_EQ(out.getParameterCount(), 0);

  // Back to the default entry: "Base Freq" returns to 200 Hz.
  out.Clear();
  Queue(kPrst, 0.0);
  processWithOutput();
  ASSERT_TRUE(reported(0, &base));
  EXPECT_NEAR(plugin.controller->normalizedParamToPlain(0, base), 200.0, 1e-9);

  // A host that passes no output list is left alone.
  Queue(kPrst, 2.0 / 149.0);
  Flush();
  EXPECT_NEAR(plugin.controller->getParamNormalized(kPrst), 2.0 / 149.0, 1e-12);
}

TEST_F(ProcessTest, NoteEventsLeaveTheToneAlone) {
  Prepare(kRate, 512, 64);
  sv::Event on{};
  on.type = sv::Event::kNoteOnEvent;
  on.noteOn.pitch = 60;
  on.noteOn.velocity = 1.0f;
  events.addEvent(on);
  sv::Event off{};
  off.type = sv::Event::kNoteOffEvent;
  off.sampleOffset = 100;
  off.noteOff.pitch = 60;
  events.addEvent(off);
  sv::Event odd{};
  odd.type = sv::Event::kNoteOnEvent;
  odd.noteOn.pitch = 999;
  odd.noteOn.channel = -4;
  odd.noteOn.velocity = std::nanf("");
  events.addEvent(odd);
  const Rendered r = Render(kFourSeconds);
  ExpectPitches(r, 200.0, 204.0);
}

TEST_F(ProcessTest, TempoSyncedLfoFollowsTheHostTempo) {
  Prepare(kRate, 512, 64);
  // LFO1 on the volume, a quarter note at 120 BPM: 2 Hz tremolo.
  Queue(8, Norm(8, 4.0));
  Queue(11, 9.0 / 30.0);
  Queue(13, 1.0);
  Queue(6, 0.0);
  const Rendered r = Render(kFourSeconds);
  // The envelope's peak per 1/8 s window rises and falls twice a second.
  std::vector<double> env;
  for (size_t w = 0; w + 6000 <= r.left.size(); w += 6000) env.push_back(Peak(r.left, w, w + 6000));
  int turns = 0;
  for (size_t i = 2; i < env.size(); ++i)
    if ((env[i - 1] - env[i - 2]) * (env[i] - env[i - 1]) < 0) ++turns;
  EXPECT_GE(turns, 6);  // about 2 maxima and 2 minima per second
  EXPECT_TRUE(AllFinite(r.left));
}

}  // namespace
}  // namespace test
}  // namespace selvarin
