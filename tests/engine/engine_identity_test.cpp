// What the host and the editor see of a fresh plug-in: its identity, its 23
// parameters and the engine's starting state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/param_table.h"
#include "engine_harness.h"

namespace selvarin::test {
namespace {

TEST(Identity, NamesCodesAndShape) {
  EngineHarness h(48000.0, false);
  const CLS_SELVARIN& p = h.plug;
  EXPECT_STREQ(p.EffectName(), "Selvarin");
  EXPECT_STREQ(p.ProductName(), "");
  EXPECT_STREQ(p.MfrName(), "Kavelin");
  EXPECT_EQ(p.VendorVersion(), 0x00010A00);
  EXPECT_EQ(p.UniqueCode(), 0x76316964);  // 'v1id'
  EXPECT_EQ(p.MfrCode(), 0x4B764C6E);     // 'KvLn'
  EXPECT_EQ(p.NParams(), 23);
  EXPECT_EQ(p.PresetCount(), 150);
  EXPECT_EQ(p.NInChannels(), 0);
  EXPECT_EQ(p.NOutChannels(), 2);
  EXPECT_TRUE(p.IsInstrument());
  EXPECT_TRUE(p.DoesMidi());
  EXPECT_FALSE(p.DoesStateChunks());
  EXPECT_EQ(p.Latency(), 0);
  EXPECT_STREQ(p.PresetName(0), "---- default ----");
  EXPECT_STREQ(p.PresetName(3), "Modulated Binaural Golden");
}

struct Expected {
  const char* name;
  double def, min, max, step;
  const char* label;
  double shape;
  int precision;
  int texts;
};

TEST(Parameters, TheTable) {
  EngineHarness h(48000.0, false);
  const Expected e[kNumParams] = {
      {"Base Freq", 200, 20, 20000, 0.1, "Hz", 2, 1, 0},   {"Binaural", 4, 0, 10000, 0.01, "Hz", 1, 2, 0},
      {"Wave", 0, 0, 7, 1, "", 1, 0, 8},                   {"Binaural Pan", 100, -100, 100, 1, "%", 1, 0, 0},
      {"Beats", 0, 0, 1, 1, "", 1, 0, 2},                  {"Play Anyway", 0, 0, 1, 1, "", 1, 0, 2},
      {"Fade", 1000, 1, 90000, 1, "ms", 1, 0, 0},          {"Volume", 90, 0, 100, 1, "%", 1, 0, 0},
      {"LFO1 Target", 0, 0, 4, 1, "", 1, 0, 5},            {"LFO1 Wave", 0, 0, 6, 1, "", 1, 0, 7},
      {"LFO1 Sync", 1, 0, 1, 1, "", 1, 0, 2},              {"LFO1 Rate", 15, 0, 30, 1, "", 1, 0, 31},
      {"LFO1 Rate", 2000, 60, 64000, 1, "ms", 2, 0, 0},    {"LFO1 Depth", 90, 0, 100, 1, "%", 1, 0, 0},
      {"LFO1 Start", 0, 0, 100, 1, "%", 1, 0, 0},          {"LFO2 Target", 0, 0, 4, 1, "", 1, 0, 5},
      {"LFO2 Wave", 0, 0, 6, 1, "", 1, 0, 7},              {"LFO2 Sync", 1, 0, 1, 1, "", 1, 0, 2},
      {"LFO2 Rate", 15, 0, 30, 1, "", 1, 0, 31},           {"LFO2 Rate", 2000, 60, 64000, 1, "ms", 2, 0, 0},
      {"LFO2 Depth", 90, 0, 100, 1, "%", 1, 0, 0},         {"LFO2 Start", 0, 0, 100, 1, "%", 1, 0, 0},
      {"LFO's Sync", 0, 0, 1, 1, "", 1, 0, 2},
  };
  for (int i = 0; i < kNumParams; ++i) {
    const IParamEntry* p = h.plug.Param(i);
    SCOPED_TRACE(i);
    EXPECT_STREQ(p->Name(), e[i].name);
    EXPECT_EQ(p->Value(), e[i].def);
    EXPECT_EQ(p->DefaultValue(), e[i].def);
    EXPECT_EQ(p->Min(), e[i].min);
    EXPECT_EQ(p->Max(), e[i].max);
    EXPECT_EQ(p->Step(), e[i].step);
    EXPECT_STREQ(p->Label(), e[i].label);
    EXPECT_EQ(p->Shape(), e[i].shape);
    EXPECT_EQ(p->Precision(), e[i].precision);
    EXPECT_EQ(p->DisplayTextCount(), e[i].texts);
  }
  EXPECT_EQ(h.plug.Param(kParamBaseFreq)->Kind(), kParamDouble);
  EXPECT_EQ(h.plug.Param(kParamPan)->Kind(), kParamInt);
  EXPECT_EQ(h.plug.Param(kParamWave)->Kind(), kParamEnum);
}

TEST(Parameters, DisplayTexts) {
  EngineHarness h(48000.0, false);
  auto text = [&](int idx, int v) { return std::string(h.plug.Param(idx)->DisplayTextFor(v)); };
  EXPECT_EQ(text(kParamWave, 0), "Sine");
  EXPECT_EQ(text(kParamWave, 6), "Gold. Triangle");
  EXPECT_EQ(text(kParamWave, 7), "Gold. Square");
  EXPECT_EQ(text(kParamBeats, 1), "Monaural");
  EXPECT_EQ(text(kParamPlayAnyway, 1), "Yes");
  EXPECT_EQ(text(kParamLfo2Target, 3), "Binaural Pan");
  EXPECT_EQ(text(kParamLfo1Wave, 3), "Saw Flip");
  EXPECT_EQ(text(kParamLfo1Wave, 6), "Half Flip");
  EXPECT_EQ(text(kParamLfo1RateNote, 0), "1/32");
  EXPECT_EQ(text(kParamLfo1RateNote, 14), "1/2D");
  EXPECT_EQ(text(kParamLfo2RateNote, 28), "32/1T");
  EXPECT_EQ(text(kParamLfo2RateNote, 30), "32/1");
  EXPECT_EQ(text(kParamLfosSync, 0), "No");
  char out[32];
  h.plug.Param(kParamBaseFreq)->FormatValue(0.5, true, out);  // shape 2: a quarter of the range
  EXPECT_STREQ(out, "5015.0");
}

TEST(InitialState, UnusualStartingValues) {
  EngineHarness h(48000.0, false);
  const EngineState& st = h.St();
  for (int32_t v : st.lastApplied) EXPECT_EQ(v, -1684300901);
  uint32_t bits;
  std::memcpy(&bits, &st.squareInputWeight, 4);
  EXPECT_EQ(bits, 0x3C23D700u);
  EXPECT_EQ(st.squareFeedbackWeight, 0.99f);
  EXPECT_EQ(st.goldenFraction, 0.618f);
  EXPECT_EQ(static_cast<double>(st.goldenFraction), 0.6179999709129333);
  EXPECT_EQ(st.goldenSplit, 3.8830083370775546);
  EXPECT_TRUE(st.lfoSynced[0]);
  EXPECT_TRUE(st.lfoSynced[1]);
  EXPECT_EQ(st.lfoTargetParam[0], -1);
  EXPECT_EQ(st.lfoTargetParam[1], -1);
  EXPECT_FALSE(st.started);
  EXPECT_FALSE(st.playAnyway);
  EXPECT_FALSE(st.inputPassThrough);
  EXPECT_EQ(st.sampleRate, 0.0);
  EXPECT_EQ(st.lfoIndicator[0], nullptr);
  EXPECT_EQ(st.bandLabel, nullptr);
  EXPECT_EQ(h.plug.Census().remaining, 23);
  EXPECT_FALSE(h.plug.ParamsReady());
}

TEST(InitialState, ResetBeforeTheFirstBlockDoesNothing) {
  EngineHarness h;
  h.plug.OnReset();
  EXPECT_EQ(h.St().sampleRate, 0.0);
  EXPECT_FALSE(h.St().rephasePending);
}

}  // namespace
}  // namespace selvarin::test
