// What the host and the editor see of a fresh plug-in: its identity, its 23
// parameters and the engine's starting state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(Parameters, WhatTheHostLists) {
  EngineHarness h(48000.0, false);
  const CLS_SELVARIN& p = h.plug;
  // One rate per LFO is shown at a time, so the pairs share a name.
  EXPECT_STREQ(p.Param(kParamLfo1RateNote)->Name(), "LFO1 Rate");
  EXPECT_STREQ(p.Param(kParamLfo1RateMs)->Name(), "LFO1 Rate");
  EXPECT_STREQ(p.Param(kParamLfo2RateMs)->Name(), "LFO2 Rate");
  EXPECT_STREQ(p.Param(kParamLfosSync)->Name(), "LFO's Sync");
  // Square-root knobs for the wide ranges, linear elsewhere.
  for (int i = 0; i < kNumParams; ++i) {
    const bool sqrtShape = i == kParamBaseFreq || i == kParamLfo1RateMs || i == kParamLfo2RateMs;
    EXPECT_EQ(p.Param(i)->Shape(), sqrtShape ? 2.0 : 1.0) << i;
  }
  EXPECT_EQ(p.Param(kParamPan)->Value(), 100.0);  // full separation by default
  EXPECT_EQ(p.Param(kParamPan)->Min(), -100.0);
  EXPECT_EQ(p.Param(kParamBaseFreq)->Precision(), 1);
  EXPECT_EQ(p.Param(kParamBinaural)->Precision(), 2);
  EXPECT_EQ(p.Param(kParamBinaural)->Max(), 10000.0);
  EXPECT_EQ(p.Param(kParamFade)->Max(), 90000.0);
  EXPECT_STREQ(p.Param(kParamFade)->Label(), "ms");
  EXPECT_EQ(p.Param(kParamLfo2Sync)->Value(), 1.0);
  EXPECT_EQ(p.Param(kParamLfo2RateNote)->Max(), 30.0);
  EXPECT_EQ(p.Param(kParamLfo1RateMs)->Min(), 60.0);
  EXPECT_EQ(p.Param(kParamBaseFreq)->Kind(), kParamDouble);
  EXPECT_EQ(p.Param(kParamPan)->Kind(), kParamInt);
  EXPECT_EQ(p.Param(kParamWave)->Kind(), kParamEnum);
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
  // The constructor builds the editor, which links its indicators and label.
  EXPECT_NE(st.lfoIndicator[0], nullptr);
  EXPECT_NE(st.lfoIndicator[1], nullptr);
  EXPECT_NE(st.bandLabel, nullptr);
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
