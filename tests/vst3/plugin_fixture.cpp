#include "tests/vst3/plugin_fixture.h"

#include <cmath>

namespace selvarin {
namespace test {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

Vst3Module& SharedModule() {
  static Vst3Module module;
  // Loaded once, also when tests on several threads ask at the same time.
  static const bool loaded = [] {
    std::string error;
    const bool ok = module.Load(SELVARIN_TEST_BUNDLE, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }();
  (void)loaded;
  return module;
}

void PluginTest::SetUp() {
  std::string error;
  ASSERT_NE(SharedModule().Factory(), nullptr);
  ASSERT_TRUE(plugin.Create(SharedModule().Factory(), &host, &error)) << error;
}

void PluginTest::TearDown() { plugin.Destroy(); }

void PluginTest::Prepare(double rate, int maxBlock, int bits, bool offline) {
  rate_ = rate;
  bits_ = bits;
  // Hosts activate the busses they use; none is active before.
  plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  plugin.component->activateBus(sv::kEvent, sv::kInput, 0, true);
  ASSERT_TRUE(plugin.Setup(rate, maxBlock, bits == 64 ? sv::kSample64 : sv::kSample32,
                           offline ? sv::kOffline : sv::kRealtime));
  ASSERT_TRUE(plugin.SetActive(true));
  plugin.processor->setProcessing(true);
}

Rendered PluginTest::Render(int frames, int block, bool playing) {
  Rendered out;
  out.left.resize(static_cast<size_t>(frames));
  out.right.resize(static_cast<size_t>(frames));
  StereoOutput output(bits_ == 64 ? sv::kSample64 : sv::kSample32, block);
  sv::ProcessContext context;
  output.SetInputs(&changes, &events, &context);
  sv::ProcessData& data = output.data;
  for (int done = 0; done < frames;) {
    const int n = frames - done < block ? frames - done : block;
    FillContext(&context, HostTransport{rate_, 120.0, playing}, position_);
    data.numSamples = n;
    EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
    changes.Clear();
    events.Clear();
    for (int i = 0; i < n; ++i) {
      out.left[static_cast<size_t>(done + i)] = output.Sample(0, static_cast<size_t>(i));
      out.right[static_cast<size_t>(done + i)] = output.Sample(1, static_cast<size_t>(i));
    }
    done += n;
    position_ += n;
  }
  return out;
}

void PluginTest::Flush() {
  sv::ProcessData data;
  data.symbolicSampleSize = bits_ == 64 ? sv::kSample64 : sv::kSample32;
  data.inputParameterChanges = &changes;
  EXPECT_EQ(plugin.processor->process(data), sb::kResultOk);
  changes.Clear();
}

double PluginTest::Plain(sv::ParamID id) {
  return plugin.controller->normalizedParamToPlain(id, plugin.controller->getParamNormalized(id));
}

}  // namespace test
}  // namespace selvarin
