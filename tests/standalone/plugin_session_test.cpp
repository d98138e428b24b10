// The application's hold on the plug-in: what the window changes reaches the
// processor with the next block, as a DAW delivers it, and that block path
// (the audio callback's whole work) never touches the heap. Without an
// audio thread the changes go through at once, so the editor follows a
// preset even with no sound card.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/alloc_counter.h"
#include "tests/support/zero_crossing.h"
#include "tools/standalone/plugin_session.h"

namespace selvarin::test {
namespace {

struct Block {
  explicit Block(int frames) : left(frames), right(frames) {}
  float* channels[2];
  std::vector<float> left, right;
  float* const* Channels() {
    channels[0] = left.data();
    channels[1] = right.data();
    return channels;
  }
  float Peak() const {
    float p = 0.0f;
    for (size_t i = 0; i < left.size(); ++i) p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
    return p;
  }
};

TEST(PluginSession, ChangesReachTheProcessorWithTheNextBlockAndNothingIsAllocated) {
  PluginSession session(120.0);
  std::string error;
  ASSERT_TRUE(session.Create(&error)) << error;
  ASSERT_TRUE(session.Prepare(48000.0, 256));
  session.SetAudioThreadRunning(true);
  const int64_t play = session.ParamIdByTitle("Play Anyway");
  const int64_t base = session.ParamIdByTitle("Base Freq");
  ASSERT_GE(play, 0);
  ASSERT_GE(base, 0);

  // The transport stands still and PLAY is off: silence.
  Block block(256);
  session.ProcessOnAudioThread(block.Channels(), 256);
  EXPECT_EQ(block.Peak(), 0.0f);

  // More changes than one block's queues hold, PLAY among the first: none
  // is lost, the last value of each wins, and no block allocates.
  session.SetParam(static_cast<uint32_t>(play), 1.0);
  for (int i = 0; i < 300; ++i)
    session.SetParam(static_cast<uint32_t>(base), session.PlainToNormalized(base, 100.0 + i));
  session.SetParam(static_cast<uint32_t>(base), session.PlainToNormalized(base, 300.0));
  std::vector<double> left, right;
  Block big(1024);  // longer than the prepared blocks: rendered in pieces
  const long allocations = CountAllocations([&] {
    for (int b = 0; b < 94; ++b) session.ProcessOnAudioThread(big.Channels(), 1024);
  });
  EXPECT_EQ(allocations, 0);
  for (int b = 0; b < 47; ++b) {
    session.ProcessOnAudioThread(big.Channels(), 1024);
    left.insert(left.end(), big.left.begin(), big.left.end());
    right.insert(right.end(), big.right.begin(), big.right.end());
  }
  EXPECT_NEAR(ZeroCrossingHz(left, {0, left.size()}, 48000.0), 300.0, 0.05);
  EXPECT_NEAR(ZeroCrossingHz(right, {0, right.size()}, 48000.0), 304.0, 0.05);

  // No audio thread: a preset goes through at once.
  session.SetAudioThreadRunning(false);
  const double before = session.ParamNormalized(static_cast<uint32_t>(base));
  session.ChooseProgram(1);
  EXPECT_NE(session.ParamNormalized(static_cast<uint32_t>(base)), before);
}

}  // namespace
}  // namespace selvarin::test
