#include "framework/host_info.h"

#include <gtest/gtest.h>

#include <string>

#include "test_plugin.h"

namespace selvarin {
namespace {

TEST(HostId, NamesMatchByLowerCaseSubstringInTableOrder) {
  EXPECT_EQ(HostIdFromName("REAPER"), 1);
  EXPECT_EQ(HostIdFromName("REAPER 7.1/x64"), 1);
  EXPECT_EQ(HostIdFromName("Cubase 13"), 3);
  EXPECT_EQ(HostIdFromName("Cubase Live"), 3);  // cubase comes before live
  EXPECT_EQ(HostIdFromName("Ableton Live 12"), 9);
  EXPECT_EQ(HostIdFromName("Golden Host"), 30);
  EXPECT_EQ(HostIdFromName("EntrainStudio Cubase"), 29);
  EXPECT_EQ(HostIdFromName("Ardour"), 27);
  EXPECT_EQ(HostIdFromName(""), 0);
  EXPECT_EQ(HostIdFromName(nullptr), 0);
  EXPECT_EQ(HostIdFromName("Bitwig Studio"), 0);
}

TEST(HostId, LongNamesAreLookedUpWithinTheirFirst255Characters) {
  std::string name(251, 'x');
  EXPECT_EQ(HostIdFromName((name + "live").c_str()), 9);   // 255 characters, whole
  EXPECT_EQ(HostIdFromName((name + "xlive").c_str()), 0);  // the key lies past 255
  EXPECT_EQ(HostIdFromName(std::string(10000, 'a').c_str()), 0);
}

TEST(HostId, IdentifyHostStoresTheResult) {
  RecordingPlugin p;
  EXPECT_EQ(p.CurrentHostId(), -1);
  p.IdentifyHost("Nuendo", 0);
  EXPECT_EQ(p.CurrentHostId(), 4);
}

TEST(Transport, SamplesPerBeatNeedsAPositiveTempo) {
  RecordingPlugin p;
  p.SetSampleRate(48000);
  p.transport.tempo = 120;
  EXPECT_EQ(p.SamplesPerBeat(), 24000.0);
  p.transport.tempo = 0;
  EXPECT_EQ(p.SamplesPerBeat(), 0.0);
  p.transport.tempo = -10;
  EXPECT_EQ(p.SamplesPerBeat(), 0.0);
}

}  // namespace
}  // namespace selvarin
