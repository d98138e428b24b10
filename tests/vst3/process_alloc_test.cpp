// The processing call must never touch the heap, whatever the block brings:
// this binary counts every allocation made inside process(). The module's
// plug-in has its editor attached from construction, so automation also
// reaches the editor's controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

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
    FillContext(&context_, rate_, position_, true);
    data_.numSamples = frames;
    sb::tresult r = sb::kResultFalse;
    const long count = CountAllocations([&] { r = plugin.processor->process(data_); });
    EXPECT_EQ(r, sb::kResultOk);
    position_ += frames;
    changes.Clear();
    events.Clear();
    return count;
  }
  void Bind(int bits) {
    bus_.numChannels = 2;
    if (bits == 64) bus_.channelBuffers64 = ch64_; else bus_.channelBuffers32 = ch32_;
    data_.symbolicSampleSize = bits == 64 ? sv::kSample64 : sv::kSample32;
    data_.numOutputs = 1;
    data_.outputs = &bus_;
    data_.inputParameterChanges = &changes;
    data_.inputEvents = &events;
    data_.processContext = &context_;
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

  sv::ProcessData data_;
  sv::ProcessContext context_{};
  sv::AudioBusBuffers bus_;
  std::vector<double> l64_ = std::vector<double>(4096), r64_ = std::vector<double>(4096);
  std::vector<float> l32_ = std::vector<float>(4096), r32_ = std::vector<float>(4096);
  double* ch64_[2] = {l64_.data(), r64_.data()};
  float* ch32_[2] = {l32_.data(), r32_.data()};
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
