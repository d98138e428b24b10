// The processing call must never touch the heap, whatever the block brings:
// this binary counts every allocation made inside process(). The module's
// plug-in has its editor attached from construction, so automation also
// reaches the editor's controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "tests/support/alloc_counter.h"
#include "tests/vst3/plugin_fixture.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

class ProcessAllocTest : public PluginTest {
 protected:
  // Processes `frames` with whatever is queued, counting allocations.
  long Process(int frames) {
    FillContext(&context_, HostTransport{rate_, 120.0, true}, position_);
    sv::ProcessData& data = output_->data;
    data.numSamples = frames;
    sb::tresult r = sb::kResultFalse;
    const long count = CountAllocations([&] { r = plugin.processor->process(data); });
    EXPECT_EQ(r, sb::kResultOk);
    position_ += frames;
    changes.Clear();
    events.Clear();
    return count;
  }
  void Bind(int bits) {
    output_ = std::make_unique<StereoOutput>(bits == 64 ? sv::kSample64 : sv::kSample32, 4096);
    output_->SetInputs(&changes, &events, &context_);
  }
  void Exercise() {
    EXPECT_EQ(Process(512), 0);
    for (sv::ParamID id = 0; id < 23; ++id) Queue(id, (id % 5) / 4.0);
    EXPECT_EQ(Process(512), 0) << "parameter changes";
    // The other way round: both Sync switches flip again, so the editor's
    // rate knobs are hidden and shown from the processing call.
    for (sv::ParamID id = 0; id < 23; ++id) Queue(id, ((id + 3) % 5) / 4.0);
    EXPECT_EQ(Process(512), 0) << "parameter changes, Sync flipped";
    Queue(kPrst, 0.5);
    EXPECT_EQ(Process(300), 0) << "factory preset";
    Queue(kPrst, 1.0);
    EXPECT_EQ(Process(300), 0) << "empty preset slot";
    Queue(kBpas, 1.0);
    EXPECT_EQ(Process(256), 0) << "bypass";
    Queue(kBpas, 0.0);
    sv::Event on{};
    on.type = sv::Event::kNoteOnEvent;
    on.noteOn.pitch = 60;
    on.noteOn.velocity = 1.0f;
    events.addEvent(on);
    EXPECT_EQ(Process(1), 0) << "note event";
    EXPECT_EQ(Process(4096), 0) << "a block longer than the announced maximum";
    EXPECT_EQ(Process(0), 0) << "a parameter flush";
  }

  sv::ProcessContext context_{};
  std::unique_ptr<StereoOutput> output_;
};

TEST_F(ProcessAllocTest, TheCounterSeesTheModulesAllocations) {
  // Processing set-up sizes the scratch buffers: that does allocate.
  sv::ProcessSetup setup{sv::kRealtime, sv::kSample32, 2048, 48000.0};
  EXPECT_GT(CountAllocations([&] { plugin.processor->setupProcessing(setup); }), 0);
}

TEST_F(ProcessAllocTest, SixtyFourBitProcessingAllocatesNothing) {
  Prepare(48000.0, 512, 64);
  Bind(64);
  Exercise();
}

TEST_F(ProcessAllocTest, ThirtyTwoBitProcessingAllocatesNothing) {
  Prepare(48000.0, 512, 32);
  Bind(32);
  Exercise();
}

}  // namespace
}  // namespace test
}  // namespace selvarin
