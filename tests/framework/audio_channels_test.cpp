#include <gtest/gtest.h>

#include <vector>

#include "test_plugin.h"

namespace selvarin {
namespace {

constexpr int kFrames = 64;

struct Channels : ::testing::Test {
  RecordingPlugin p;
  std::vector<double> l64 = std::vector<double>(kFrames, -9.0), r64 = std::vector<double>(kFrames, -9.0);
  std::vector<float> l32 = std::vector<float>(kFrames, -9.0f), r32 = std::vector<float>(kFrames, -9.0f);
  double* out64[2] = {l64.data(), r64.data()};
  float* out32[2] = {l32.data(), r32.data()};

  void SetUp() override {
    p.SetMaxBlockSize(kFrames);
    p.SetOutputConnections(0, 2, true);
  }
};

TEST_F(Channels, SixtyFourBitOutputsAreRenderedInPlace) {
  p.SetParamsReady(true);
  p.AttachOutputs64(0, 2, out64);
  p.ProcessBlock64(kFrames);
  EXPECT_EQ(p.renders, 1);
  EXPECT_EQ(l64[0], 0.25);
  EXPECT_EQ(r64[10], 0.5 + 10e-3);
}

TEST_F(Channels, NothingIsRenderedUntilParametersAreReady) {
  p.AttachOutputs64(0, 2, out64);
  p.ProcessBlock64(kFrames);
  EXPECT_EQ(p.renders, 0);
  EXPECT_EQ(l64[0], -9.0);  // host buffer untouched

  p.AttachOutputs32(0, 2, out32);
  p.ProcessBlock32(kFrames);
  EXPECT_EQ(p.renders, 0);
  EXPECT_EQ(l32[0], 0.0f);  // the cleared scratch is written out
  EXPECT_EQ(r32[kFrames - 1], 0.0f);
}

TEST_F(Channels, ThirtyTwoBitOutputsAreConvertedAfterRendering) {
  p.SetParamsReady(true);
  p.AttachOutputs32(0, 2, out32);
  p.ProcessBlock32(kFrames);
  EXPECT_FLOAT_EQ(l32[3], 0.25f + 3e-3f);
  EXPECT_FLOAT_EQ(r32[3], 0.5f + 3e-3f);
}

TEST_F(Channels, UnconnectedOutputsRenderIntoScratch) {
  p.SetParamsReady(true);
  p.SetOutputConnections(1, 1, false);
  double* onlyLeft[1] = {l64.data()};
  p.AttachOutputs64(0, 2, onlyLeft);  // the unconnected channel takes no pointer
  p.ProcessBlock64(kFrames);
  EXPECT_EQ(l64[0], 0.25);
  EXPECT_EQ(r64[0], -9.0);

  p.SetOutputConnections(1, 1, false);
  float* left32[1] = {l32.data()};
  p.AttachOutputs32(0, 2, left32);
  p.ProcessBlock32(kFrames);
  EXPECT_FLOAT_EQ(l32[0], 0.25f);
  EXPECT_EQ(r32[0], -9.0f);
}

TEST_F(Channels, BypassIsSilenceWithoutInputs) {
  p.SetParamsReady(true);
  p.AttachOutputs64(0, 2, out64);
  p.BypassBlock64(kFrames);
  EXPECT_EQ(p.renders, 0);
  for (int s = 0; s < kFrames; ++s) ASSERT_EQ(l64[s] + r64[s], 0.0);
  p.AttachOutputs32(0, 2, out32);
  p.BypassBlock32(kFrames);
  EXPECT_EQ(l32[5], 0.0f);
}

TEST(ChannelsPassThrough, InputsAreCopiedTo64And32BitOutputs) {
  RecordingPlugin p("2-2");
  p.SetMaxBlockSize(8);
  p.SetInputConnections(0, 2, true);
  p.SetOutputConnections(0, 2, true);
  std::vector<float> inL(8, 0.5f), inR(8, -0.5f);
  float* in32[2] = {inL.data(), inR.data()};
  std::vector<float> outL(8), outR(8);
  float* out32[2] = {outL.data(), outR.data()};
  p.AttachInputs32(0, 2, in32, 8);
  p.AttachOutputs32(0, 2, out32);
  p.BypassBlock32(8);
  EXPECT_EQ(outL[7], 0.5f);
  EXPECT_EQ(outR[0], -0.5f);
}

TEST(ChannelsBlockSize, ScratchIsResizedAndClearedOnlyOnChange) {
  RecordingPlugin p;
  p.SetMaxBlockSize(16);
  p.SetOutputConnections(0, 2, true);
  p.SetParamsReady(true);
  std::vector<float> l(16), r(16);
  float* out32[2] = {l.data(), r.data()};
  p.AttachOutputs32(0, 2, out32);
  p.ProcessBlock32(16);  // scratch now holds rendered samples

  p.SetMaxBlockSize(16);  // same size: kept
  p.SetParamsReady(false);
  p.ProcessBlock32(16);
  EXPECT_FLOAT_EQ(l[0], 0.25f);

  p.SetMaxBlockSize(32);  // new size: cleared
  p.AttachOutputs32(0, 2, out32);
  p.ProcessBlock32(16);
  EXPECT_EQ(l[0], 0.0f);
  EXPECT_EQ(p.BlockSize(), 32);
}

TEST(ChannelsBlockSize, RangesOutsideTheChannelsDoNothing) {
  RecordingPlugin p;
  p.SetMaxBlockSize(4);
  p.SetOutputConnections(-1, 2, true);
  p.SetOutputConnections(2, 5, true);
  p.SetOutputConnections(0, 0, true);
  EXPECT_FALSE(p.IsOutputConnected(0));
  p.SetOutputConnections(1, 100, true);
  EXPECT_TRUE(p.IsOutputConnected(1));
  p.AttachOutputs64(0, 2, nullptr);  // no buffers given: ignored
  p.SetParamsReady(true);
  p.ProcessBlock64(-5);
  EXPECT_EQ(p.renders, 0);
  // A block of 0 frames reaches the renderer (its end-of-block steps) and writes nothing.
  p.ProcessBlock64(0);
  EXPECT_EQ(p.renders, 1);
}

TEST(ChannelsBlockSize, NoBlockSizeMeansNoRenderingIntoMissingBuffers) {
  RecordingPlugin p;  // SetMaxBlockSize never called: no scratch
  p.SetParamsReady(true);
  std::vector<float> l(8), r(8);
  float* out32[2] = {l.data(), r.data()};
  p.SetOutputConnections(0, 2, true);
  p.AttachOutputs32(0, 2, out32);
  p.ProcessBlock32(8);
  EXPECT_EQ(p.renders, 0);
}

}  // namespace
}  // namespace selvarin
