#include "engine/factory_presets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/audio_plugin.h"
#include "test_adapter.h"

namespace selvarin {
namespace {

constexpr int kN = kFactoryPresetValueCount;
using Values = std::vector<double>;

// The reference set every factory preset starts from (base and beat vary).
const Values kReference = {0, 0, 0, 100, 0, 1, 1000, 90, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0};

// A plug-in with the tone engine's 23 parameters, presets as the engine makes them.
class PresetPlugin : public TestAdapter {
 public:
  explicit PresetPlugin(int presetCount = 150)
      : TestAdapter(InstanceInfo{}, kN, "0-2", presetCount, "Selvarin", "", "Kavelin", 0x00010A00,
                    FourCC('v', '1', 'i', 'd'), FourCC('K', 'v', 'L', 'n'), 0, true, false, true) {
    Param(0)->DefineDouble("Base Freq", 200, 20, 20000, 0.1, "Hz");
    Param(0)->SetCurveExponent(2);
    Param(1)->DefineDouble("Binaural", 4, 0, 10000, 0.01, "Hz");
    Param(2)->DefineEnum("Wave", 0, 8);
    Param(3)->DefineInt("Binaural Pan", 100, -100, 100, "%");
    Param(4)->DefineEnum("Beats", 0, 2);
    Param(5)->DefineEnum("Play Anyway", 0, 2);
    Param(6)->DefineInt("Fade", 1000, 1, 90000, "ms");
    Param(7)->DefineInt("Volume", 90, 0, 100, "%");
    for (int lfo = 0; lfo < 2; ++lfo) {
      const int p = 8 + 7 * lfo;
      Param(p)->DefineEnum(lfo ? "LFO2 Target" : "LFO1 Target", 0, 5);
      Param(p + 1)->DefineEnum(lfo ? "LFO2 Wave" : "LFO1 Wave", 0, 7);
      Param(p + 2)->DefineEnum(lfo ? "LFO2 Sync" : "LFO1 Sync", 1, 2);
      Param(p + 3)->DefineEnum(lfo ? "LFO2 Rate" : "LFO1 Rate", 15, 31);
      Param(p + 4)->DefineInt(lfo ? "LFO2 Rate" : "LFO1 Rate", 2000, 60, 64000, "ms");
      Param(p + 4)->SetCurveExponent(2);
      Param(p + 5)->DefineInt(lfo ? "LFO2 Depth" : "LFO1 Depth", 90, 0, 100, "%");
      Param(p + 6)->DefineInt(lfo ? "LFO2 Start" : "LFO1 Start", 0, 0, 100, "%");
    }
    Param(22)->DefineEnum("LFO's Sync", 0, 2);
    AddFactoryPresets(*this);
  }

  Values CurrentValues() const {
    Values v;
    for (int i = 0; i < kN; ++i) v.push_back(Param(i)->Value());
    return v;
  }
};

Values Row(int i) {
  Values v(kN, -12345.0);
  EXPECT_TRUE(FactoryPresetValues(i, v.data())) << i;
  return v;
}

int RowByName(const char* name) {
  for (int i = 0; i < FactoryPresetCount(); ++i)
    if (std::strcmp(FactoryPresetName(i), name) == 0) return i;
  ADD_FAILURE() << "no preset named " << name;
  return -1;
}

// Indices where a row differs from the reference set, base and beat excluded.
std::vector<int> Differences(const Values& v) {
  std::vector<int> d;
  for (int i = 2; i < kN; ++i)
    if (v[static_cast<size_t>(i)] != kReference[static_cast<size_t>(i)]) d.push_back(i);
  return d;
}

// The number that follows the given prefix in a preset name.
double NumberAfter(const std::string& name, const std::string& prefix) {
  EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
  return std::strtod(name.c_str() + prefix.size(), nullptr);
}

// Preset slot s (1-based, as the host lists them) holds row s - 2.
int RowOfSlot(int slot) { return slot - 2; }

TEST(FactoryPresetTable, CountAndGroupBoundaries) {
  EXPECT_EQ(FactoryPresetCount(), 140);
  EXPECT_STREQ(kFactoryDefaultPresetName, "---- default ----");
  const struct {
    int slot;
    const char* name;
  } bounds[] = {
      {2, "Higher frequencies"},
      {13, "Golden Square"},
      {14, "Binaural - 0.2 (Dental pain)"},
      {103, "Binaural - 221.23 (Venus: beauty, love, sexuality, sensuality, harmony)"},
      {104, "Healing - 110 Hz (Stomach)"},
      {121, "Healing - 586 Hz (Circulation  & sex)"},
      {122, "Solfeggio UT - 396 Hz (Turning grief into joy, liberating Guilt and Fear)"},
      {141, "Solfeggio - 936 Hz Hz LFO"},
  };
  for (const auto& b : bounds) EXPECT_STREQ(FactoryPresetName(RowOfSlot(b.slot)), b.name) << "slot " << b.slot;
  EXPECT_STREQ(FactoryPresetName(-1), "");
  EXPECT_STREQ(FactoryPresetName(140), "");
  double out[kN] = {};
  out[0] = 7.0;
  EXPECT_FALSE(FactoryPresetValues(-1, out));
  EXPECT_FALSE(FactoryPresetValues(140, out));
  EXPECT_EQ(out[0], 7.0);
}

TEST(FactoryPresetTable, OddNamesAreKeptLetterForLetter) {
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(34)), "Binaural - 3.5 (Feeling of unity with everythin)");
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(67)), "Binaural - 32.0 (Desensitizer; enhanced vigour & alertnes)");
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(57)), "Binaural - 9.6 (Earth's magnetic field)");
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(21)), "Binaural - 1 (Feeling of well-being, pituitary stimulation)");
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(25)), "Binaural - 2.0 (Nerve regeneration)");
  // Two blanks before the ampersand; the last name repeats "Hz".
  EXPECT_NE(std::strstr(FactoryPresetName(RowOfSlot(121)), "Circulation  & sex"), nullptr);
  EXPECT_EQ(std::strstr(FactoryPresetName(RowOfSlot(121)), "Circulation & sex"), nullptr);
  EXPECT_STREQ(FactoryPresetName(RowOfSlot(140)), "Solfeggio - 936 Hz (Pineal Gland Activator)");
  // Names fit the 255-character slot name and tell every preset apart.
  for (int i = 0; i < FactoryPresetCount(); ++i) {
    EXPECT_LT(std::strlen(FactoryPresetName(i)), 256u);
    for (int j = i + 1; j < FactoryPresetCount(); ++j)
      EXPECT_STRNE(FactoryPresetName(i), FactoryPresetName(j)) << i << " " << j;
  }
}

TEST(FactoryPresetTable, ExactRows) {
  const struct {
    const char* name;
    Values values;
  } rows[] = {
      {"Higher frequencies", {400, 4, 0, 100, 0, 1, 1000, 90, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Modulated Binaural", {200, 4, 0, 100, 0, 1, 1000, 90, 2, 0, 1, 21, 2000, 20, 0, 4, 0, 1, 18, 2000, 40, 0, 0}},
      {"Shift Between Ears", {200, 55, 4, 0, 0, 1, 1000, 90, 3, 0, 1, 21, 2000, 100, 0, 4, 0, 1, 18, 2000, 40, 0, 0}},
      {"Modulated Base Freq", {300, 5, 0, 100, 0, 1, 1000, 90, 1, 0, 1, 21, 2000, 30, 0, 4, 0, 1, 18, 2000, 40, 0, 0}},
      {"Golden Square", {200, 4, 7, 100, 0, 1, 1000, 60, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Binaural - 0.28 (Arthritis)",
       {200, 0.28, 0, 100, 0, 1, 1000, 90, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Binaural - 30.0 (Associated with marijuana)",
       {200, 30, 4, 100, 0, 1, 1000, 90, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Healing - 117.3 Hz (Pancreas)",
       {117.3, 0, 4, 100, 0, 1, 1000, 90, 0, 0, 1, 15, 2000, 90, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Solfeggio UT - 396 Hz LFO",
       {396, 0, 4, 100, 0, 1, 1000, 80, 4, 0, 1, 18, 2000, 40, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
      {"Solfeggio - 936 Hz Hz LFO",
       {936, 0, 4, 100, 0, 1, 1000, 80, 4, 0, 1, 18, 2000, 40, 0, 0, 0, 1, 15, 2000, 90, 0, 0}},
  };
  for (const auto& r : rows) {
    const int i = RowByName(r.name);
    if (i >= 0) {
      EXPECT_EQ(Row(i), r.values) << r.name;
    }
  }
}

TEST(FactoryPresetTable, GeneralPresetsDifferOnlyWhereListed) {
  using Diffs = std::vector<std::pair<int, double>>;
  const struct {
    int slot;
    double base, beat;
    Diffs differing;
  } rows[] = {
      {2, 400, 4, {}},
      {3, 200, 4, {{8, 2}, {11, 21}, {13, 20}, {15, 4}, {18, 18}, {20, 40}}},
      {4, 200, 4, {{2, 4}, {8, 2}, {11, 21}, {13, 20}, {15, 4}, {18, 18}, {20, 40}}},
      {5, 200, 55, {{2, 4}, {3, 0}, {8, 3}, {11, 21}, {13, 100}, {15, 4}, {18, 18}, {20, 40}}},
      {6, 300, 5, {{8, 1}, {11, 21}, {13, 30}, {15, 4}, {18, 18}, {20, 40}}},
      {7, 200, 4, {{2, 1}, {7, 80}}},
      {8, 200, 4, {{2, 2}, {7, 70}}},
      {9, 200, 4, {{2, 3}, {7, 60}}},
      {10, 200, 4, {{2, 4}}},
      {11, 200, 4, {{2, 5}}},
      {12, 200, 4, {{2, 6}, {7, 80}}},
      {13, 200, 4, {{2, 7}, {7, 60}}},
  };
  for (const auto& r : rows) {
    const Values v = Row(RowOfSlot(r.slot));
    EXPECT_EQ(v[0], r.base) << "slot " << r.slot;
    EXPECT_EQ(v[1], r.beat) << "slot " << r.slot;
    Diffs got;
    for (int i : Differences(v)) got.emplace_back(i, v[static_cast<size_t>(i)]);
    EXPECT_EQ(got, r.differing) << "slot " << r.slot;
  }
}

TEST(FactoryPresetTable, BeatPresetsPlayTheRateInTheirName) {
  for (int slot = 14; slot <= 103; ++slot) {
    const Values v = Row(RowOfSlot(slot));
    const std::string name = FactoryPresetName(RowOfSlot(slot));
    EXPECT_EQ(v[0], 200.0) << name;
    EXPECT_EQ(v[1], NumberAfter(name, "Binaural - ")) << name;
    const bool golden = slot == 65 || slot == 74 || slot == 76 || slot == 83;
    EXPECT_EQ(Differences(v), golden ? std::vector<int>{2} : std::vector<int>{}) << name;
    if (golden) {
      EXPECT_EQ(v[2], 4.0) << name;
    }
  }
  // Same rate, different names.
  EXPECT_EQ(Row(RowOfSlot(53)), Row(RowOfSlot(81)));
  EXPECT_EQ(Row(RowOfSlot(61)), Row(RowOfSlot(87)));
  EXPECT_EQ(Row(RowOfSlot(53))[1], 8.0);
  EXPECT_EQ(Row(RowOfSlot(61))[1], 15.0);
}

TEST(FactoryPresetTable, HealingAndSolfeggioCarriersHaveNoBeat) {
  for (int slot = 104; slot <= 121; ++slot) {
    const Values v = Row(RowOfSlot(slot));
    const std::string name = FactoryPresetName(RowOfSlot(slot));
    EXPECT_EQ(v[0], NumberAfter(name, "Healing - ")) << name;
    EXPECT_NE(name.find(" Hz ("), std::string::npos) << name;
    EXPECT_EQ(v[1], 0.0) << name;
    EXPECT_EQ(Differences(v), std::vector<int>{2}) << name;
    EXPECT_EQ(v[2], 4.0) << name;
  }
  for (int slot = 122; slot <= 141; slot += 2) {
    const Values plain = Row(RowOfSlot(slot));
    const Values swell = Row(RowOfSlot(slot + 1));
    const std::string plainName = FactoryPresetName(RowOfSlot(slot));
    const std::string swellName = FactoryPresetName(RowOfSlot(slot + 1));
    ASSERT_EQ(plainName.compare(0, 9, "Solfeggio"), 0) << plainName;
    EXPECT_EQ(plainName.back(), ')') << plainName;
    EXPECT_EQ(swellName.substr(swellName.size() - 7), " Hz LFO") << swellName;
    // Both carry the same frequency, the one before " Hz".
    const double hz = std::strtod(plainName.c_str() + plainName.find(" - ") + 3, nullptr);
    EXPECT_EQ(std::strtod(swellName.c_str() + swellName.find(" - ") + 3, nullptr), hz) << swellName;
    EXPECT_EQ(plain[0], hz);
    EXPECT_EQ(swell[0], hz);
    EXPECT_EQ(plain[1], 0.0);
    EXPECT_EQ(swell[1], 0.0);
    EXPECT_EQ(Differences(plain), std::vector<int>{2}) << plainName;
    EXPECT_EQ(Differences(swell), (std::vector<int>{2, 7, 8, 11, 13})) << swellName;
    EXPECT_EQ(swell[7], 80.0);
    EXPECT_EQ(swell[8], 4.0);    // LFO1 on the volume
    EXPECT_EQ(swell[11], 18.0);  // "2/1"
    EXPECT_EQ(swell[13], 40.0);
  }
}

TEST(FactoryPresetTable, EveryValueFitsItsParameter) {
  PresetPlugin plug;
  for (int r = 0; r < FactoryPresetCount(); ++r) {
    const Values v = Row(r);
    for (int i = 0; i < kN; ++i) {
      const IParamEntry* p = plug.Param(i);
      const double x = v[static_cast<size_t>(i)];
      EXPECT_GE(x, p->Min()) << FactoryPresetName(r) << " param " << i;
      EXPECT_LE(x, p->Max()) << FactoryPresetName(r) << " param " << i;
      if (IsIntegerKind(p->Kind())) {
        EXPECT_EQ(x, static_cast<double>(static_cast<int>(x))) << FactoryPresetName(r) << " param " << i;
      } else {
        // On the parameter's step grid (0.1 Hz base, 0.01 Hz beat).
        const double steps = x / p->Step();
        EXPECT_NEAR(steps, static_cast<double>(static_cast<long>(steps + 0.5)), 1e-6) << FactoryPresetName(r);
      }
    }
  }
}

TEST(FactoryPresetLibrary, FillsTheFirst141SlotsOfTheHostList) {
  PresetPlugin plug;
  ASSERT_EQ(plug.PresetCount(), 150);
  EXPECT_STREQ(plug.PresetName(0), "---- default ----");
  EXPECT_TRUE(plug.Preset(0)->initialized);
  EXPECT_EQ(plug.Preset(0)->chunk.Size(), 0);
  for (int r = 0; r < FactoryPresetCount(); ++r) {
    const PresetSlot* slot = plug.Preset(r + 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_TRUE(slot->initialized);
    EXPECT_STREQ(slot->name, FactoryPresetName(r));
    ASSERT_EQ(slot->chunk.Size(), 184) << slot->name;
    const Values want = Row(r);
    for (int i = 0; i < kN; ++i) {
      double x = 0.0;
      EXPECT_EQ(slot->chunk.GetDouble(&x, 8 * i), 8 * (i + 1));
      EXPECT_EQ(x, want[static_cast<size_t>(i)]) << slot->name << " param " << i;
    }
  }
  for (int s = 141; s < 150; ++s) {
    char name[16];
    std::snprintf(name, sizeof name, "- %d -", s + 1);
    EXPECT_FALSE(plug.Preset(s)->initialized) << s;
    EXPECT_STREQ(plug.PresetName(s), name);
    EXPECT_EQ(plug.Preset(s)->chunk.Size(), 0);
  }
}

TEST(FactoryPresetLibrary, RecallingAPresetSetsItsValues) {
  PresetPlugin plug;
  // "Shift Between Ears": no separation, 55 Hz beat, LFO1 on the pan at full depth and 4/1.
  ASSERT_TRUE(plug.LoadPreset(4));
  EXPECT_EQ(plug.CurrentPresetIdx(), 4);
  EXPECT_EQ(plug.Param(3)->Value(), 0.0);
  EXPECT_EQ(plug.Param(1)->Value(), 55.0);
  EXPECT_EQ(plug.Param(8)->Value(), 3.0);
  EXPECT_EQ(plug.Param(13)->Value(), 100.0);
  EXPECT_EQ(plug.Param(11)->Value(), 21.0);

  // Every healing preset: no beat and the golden sine.
  for (int slot = 104; slot <= 121; ++slot) {
    ASSERT_TRUE(plug.LoadPreset(slot - 1)) << slot;
    EXPECT_EQ(plug.Param(1)->Value(), 0.0) << slot;
    EXPECT_EQ(plug.Param(2)->Value(), 4.0) << slot;
  }

  // Each preset sets all 23 values, whatever was loaded before.
  for (int r = 0; r < FactoryPresetCount(); ++r) {
    ASSERT_TRUE(plug.LoadPreset(r + 1)) << FactoryPresetName(r);
    EXPECT_EQ(plug.CurrentValues(), Row(r)) << FactoryPresetName(r);
  }
}

TEST(FactoryPresetLibrary, PresetWithoutDifferencesIsTheDefaultSoundThatPlaysWhileStopped) {
  PresetPlugin plug;
  Values defaults;
  for (int i = 0; i < kN; ++i) defaults.push_back(plug.Param(i)->DefaultValue());
  Values v = Row(RowOfSlot(2));  // "Higher frequencies"
  EXPECT_EQ(v[0], 400.0);
  v[0] = defaults[0];
  EXPECT_EQ(v[5], 1.0);  // "Play Anyway" "Yes", where the parameter defaults to "No"
  v[5] = defaults[5];
  EXPECT_EQ(v, defaults);
}

TEST(FactoryPresetLibrary, ASmallerPresetTableTakesOnlyWhatFits) {
  PresetPlugin plug(10);
  ASSERT_EQ(plug.PresetCount(), 10);
  EXPECT_STREQ(plug.PresetName(0), "---- default ----");
  for (int s = 1; s < 10; ++s) EXPECT_STREQ(plug.PresetName(s), FactoryPresetName(s - 1));
  ASSERT_TRUE(plug.LoadPreset(9));
  EXPECT_EQ(plug.CurrentValues(), Row(8));
}

}  // namespace
}  // namespace selvarin
