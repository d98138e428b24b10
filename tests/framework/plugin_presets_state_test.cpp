#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "test_plugin.h"

namespace selvarin {
namespace {

std::vector<double> Values(const RecordingPlugin& p) {
  std::vector<double> v;
  for (int i = 0; i < p.NParams(); ++i) v.push_back(p.Param(i)->Value());
  return v;
}

TEST(PluginIdentity, ConstructionFromTheIdentityValues) {
  RecordingPlugin p;
  EXPECT_STREQ(p.EffectName(), "Selvarin");
  EXPECT_STREQ(p.ProductName(), "");
  EXPECT_STREQ(p.MfrName(), "Kavelin");
  EXPECT_EQ(p.UniqueCode(), 0x76316964);
  EXPECT_EQ(p.MfrCode(), 0x4B764C6E);
  EXPECT_EQ(p.CurrentHostId(), -1);
  EXPECT_EQ(p.SampleRate(), 44100.0);
  EXPECT_FALSE(p.ParamsReady());
  char v[16];
  p.VersionString(v);
  EXPECT_STREQ(v, "v1.10");
}

TEST(PluginIdentity, ChannelStrings) {
  RecordingPlugin p("0-2");
  ASSERT_EQ(p.NChannelConfigs(), 1);
  EXPECT_EQ(p.GetChannelConfig(0)->inputs, 0);
  EXPECT_EQ(p.GetChannelConfig(0)->outputs, 2);
  EXPECT_EQ(p.NInChannels(), 0);
  EXPECT_EQ(p.NOutChannels(), 2);

  RecordingPlugin two("1-1 2-2");
  ASSERT_EQ(two.NChannelConfigs(), 2);
  EXPECT_EQ(two.NInChannels(), 2);
  EXPECT_EQ(two.NOutChannels(), 2);

  RecordingPlugin garbled("x-y");  // numbers that are not there read as 0
  ASSERT_EQ(garbled.NChannelConfigs(), 1);
  EXPECT_EQ(garbled.NOutChannels(), 0);
}

TEST(PluginPresets, FreshSlotsAreNumberedAndUnmade) {
  RecordingPlugin p;
  EXPECT_EQ(p.PresetCount(), 150);
  EXPECT_STREQ(p.PresetName(0), "- 1 -");
  EXPECT_STREQ(p.PresetName(149), "- 150 -");
  EXPECT_STREQ(p.PresetName(150), "");
  EXPECT_STREQ(p.PresetName(-1), "");
  EXPECT_FALSE(p.Preset(0)->initialized);
}

TEST(PluginPresets, AddPresetStoresValuesUnclampedAndIntegersWhole) {
  RecordingPlugin p;
  p.AddDefaultPreset("---- default ----", 1);
  std::vector<double> v(23, 5.0);
  v[0] = 99999.5;  // above the range: stored as given
  v[3] = 7.9;      // integer kind: stored whole
  v[4] = -7.9;     // toward zero
  v[5] = 1e12;     // beyond any int: saturates instead of undefined behaviour
  p.AddPreset("First", v.data());
  EXPECT_STREQ(p.PresetName(0), "---- default ----");
  EXPECT_EQ(p.Preset(0)->chunk.Size(), 0);
  const PresetSlot* s = p.Preset(1);
  ASSERT_TRUE(s->initialized);
  EXPECT_STREQ(s->name, "First");
  ASSERT_EQ(s->chunk.Size(), 184);
  double x;
  s->chunk.GetDouble(&x, 0);
  EXPECT_EQ(x, 99999.5);
  s->chunk.GetDouble(&x, 3 * 8);
  EXPECT_EQ(x, 7.0);
  s->chunk.GetDouble(&x, 4 * 8);
  EXPECT_EQ(x, -7.0);
  s->chunk.GetDouble(&x, 5 * 8);
  EXPECT_EQ(x, 2147483647.0);

  // Loading clamps into the range.
  EXPECT_TRUE(p.LoadPreset(1));
  EXPECT_EQ(p.Param(0)->Value(), 20000.0);
  EXPECT_EQ(p.CurrentPresetIdx(), 1);

  // A full table ignores further presets.
  RecordingPlugin small("0-2", 2);
  small.AddDefaultPreset(nullptr, 3);
  small.AddPreset("Lost", v.data());
  EXPECT_STREQ(small.PresetName(0), "Default");
  EXPECT_STREQ(small.PresetName(1), "Default");
}

TEST(PluginPresets, DefaultEntryRestoresEveryDefault) {
  RecordingPlugin p;
  p.AddDefaultPreset("---- default ----", 1);
  p.Param(0)->SetFromReal(1000);
  p.Param(5)->SetFromReal(-50);
  p.changed.clear();
  EXPECT_TRUE(p.LoadPreset(0));
  EXPECT_EQ(p.Param(0)->Value(), 200.0);
  EXPECT_EQ(p.Param(5)->Value(), 5.0);
  EXPECT_EQ(p.changed.size(), 23u);
  EXPECT_EQ(p.CurrentPresetIdx(), 0);
}

TEST(PluginPresets, UnmadeSlotsBecomeNumberedUserPresets) {
  RecordingPlugin p;
  EXPECT_TRUE(p.LoadPreset(10));
  EXPECT_STREQ(p.PresetName(10), "user preset 1");
  EXPECT_TRUE(p.LoadPreset(12));
  EXPECT_STREQ(p.PresetName(12), "user preset 2");
  EXPECT_EQ(p.Preset(12)->chunk.Size(), 0);
  EXPECT_FALSE(p.LoadPreset(150));
  EXPECT_FALSE(p.LoadPreset(-1));
}

TEST(PluginState, RoundTripIs184Bytes) {
  RecordingPlugin a;
  a.Param(0)->SetFromReal(432.1);
  a.Param(1)->SetFromReal(7.83);
  a.Param(9)->SetFromReal(-42);
  StateChunk c;
  ASSERT_TRUE(a.WriteParamState(&c));
  ASSERT_EQ(c.Size(), 184);
  // Little-endian doubles in index order.
  double first;
  std::memcpy(&first, c.Data(), 8);
  EXPECT_EQ(first, 432.1);

  RecordingPlugin b;
  EXPECT_EQ(b.ReadParamState(&c, 0), 184);
  EXPECT_EQ(Values(a), Values(b));
  EXPECT_EQ(b.changed.size(), 23u);
}

TEST(PluginState, ShortChunkKeepsWhatItCouldNotRead) {
  RecordingPlugin a;
  for (int i = 0; i < 23; ++i) a.Param(i)->SetFromReal(a.Param(i)->Min() + 1);
  StateChunk full;
  a.WriteParamState(&full);
  StateChunk part;
  part.PutBytes(full.Data(), 100);  // 12 whole values and half of the 13th

  RecordingPlugin b;
  const std::vector<double> before = Values(b);
  EXPECT_EQ(b.ReadParamState(&part, 0), -1);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b.Param(i)->Value(), a.Param(i)->Value()) << i;
  for (int i = 12; i < 23; ++i) EXPECT_EQ(b.Param(i)->Value(), before[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(b.changed.size(), 12u);

  StateChunk empty;
  EXPECT_EQ(b.ReadParamState(&empty, 0), -1);
  EXPECT_EQ(b.ReadParamState(&full, -1), -1);
  EXPECT_EQ(b.ReadParamState(nullptr, 0), -1);
}

TEST(PluginState, GarbledValuesAreClampedOrSkipped) {
  RecordingPlugin a;
  StateChunk c;
  for (int i = 0; i < 23; ++i) {
    double v = 1e12;
    if (i == 1) v = std::numeric_limits<double>::quiet_NaN();
    if (i == 2) v = -std::numeric_limits<double>::infinity();
    if (i == 3) v = -1e12;
    c.PutDouble(v);
  }
  EXPECT_EQ(a.ReadParamState(&c, 0), 184);
  EXPECT_EQ(a.Param(0)->Value(), 20000.0);
  EXPECT_EQ(a.Param(1)->Value(), 4.0);  // NaN: unchanged
  EXPECT_EQ(a.Param(2)->Value(), 0.0);  // -inf: unchanged
  EXPECT_EQ(a.Param(3)->Value(), -100.0);
  EXPECT_EQ(a.changed.size(), 21u);
}

TEST(PluginState, PresetBankRoundTrip) {
  RecordingPlugin a("0-2", 4);
  std::vector<double> v(23, 3.0);
  a.AddPreset("Two", v.data());
  a.AddPreset("Three", v.data());
  StateChunk bank;
  ASSERT_TRUE(a.WritePresetBank(&bank));

  RecordingPlugin b("0-2", 4);
  EXPECT_EQ(b.ReadPresetBank(&bank, 0), bank.Size());
  EXPECT_STREQ(b.PresetName(0), "Two");
  EXPECT_STREQ(b.PresetName(1), "Three");
  EXPECT_STREQ(b.PresetName(3), "- 4 -");
  EXPECT_TRUE(b.Preset(1)->initialized);
  EXPECT_FALSE(b.Preset(2)->initialized);
}

TEST(PluginState, StateStringsAreSavedAndRestored) {
  RecordingPlugin a;
  const int s = a.AddStateString(8);
  StateChunk c;
  a.WriteParamState(&c);
  EXPECT_EQ(c.Size(), 184 + 4 + 1);  // an empty string is saved as "0"
  std::strcpy(a.StateString(s), "hello");
  StateChunk d;
  a.WriteParamState(&d);

  RecordingPlugin b;
  b.AddStateString(3);
  EXPECT_EQ(b.ReadParamState(&d, 0), d.Size());
  EXPECT_STREQ(b.StateString(0), "hel");  // cut at its length

  StateChunk lying;
  a.WriteParamState(&lying);
  lying.Resize(184 + 2);  // the length itself is cut short
  EXPECT_EQ(b.ReadParamState(&lying, 0), -1);
}

}  // namespace
}  // namespace selvarin
