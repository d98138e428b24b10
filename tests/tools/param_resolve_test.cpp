// How typed names and values find the plug-in's presets and parameters.
#include <gtest/gtest.h>

#include "tools/render/param_resolve.h"

namespace selvarin {
namespace {

std::vector<CatalogParam> Catalog() {
  CatalogParam base{0, "Base Freq", "Hz", 0, 20.0, 20000.0, 200.0, {}};
  CatalogParam wave{2, "Wave", "", 2, 0.0, 2.0, 0.0, {"Sine", "Triangle", "Saw"}};
  CatalogParam pan{3, "Binaural Pan", "%", 200, -100.0, 100.0, 100.0, {}};
  CatalogParam rateNote{11, "LFO1 Rate", "", 3, 0.0, 3.0, 1.0, {"1/32", "1/16T", "1/4", "1/1"}};
  CatalogParam rateMs{12, "LFO1 Rate", "ms", 63940, 60.0, 64000.0, 2000.0, {}};
  return {base, wave, pan, rateNote, rateMs};
}

// A linear stand-in for the plug-in's own conversion.
double Linear(uint32_t id, double plain) {
  for (const CatalogParam& p : Catalog())
    if (p.id == id) return (plain - p.minPlain) / (p.maxPlain - p.minPlain);
  return 0.0;
}

TEST(ParamResolveTest, NamesAreCaseInsensitiveAndIndicesWork) {
  ResolvedParam r;
  std::string error;
  ASSERT_TRUE(ResolveParam(Catalog(), {"base freq", "20000"}, Linear, &r, &error)) << error;
  EXPECT_EQ(r.id, 0u);
  EXPECT_DOUBLE_EQ(r.normalized, 1.0);
  ASSERT_TRUE(ResolveParam(Catalog(), {"3", "-100"}, Linear, &r, &error)) << error;
  EXPECT_EQ(r.id, 3u);
  EXPECT_DOUBLE_EQ(r.normalized, 0.0);
  ASSERT_TRUE(ResolveParam(Catalog(), {"Wave", "saw"}, Linear, &r, &error)) << error;
  EXPECT_DOUBLE_EQ(r.normalized, 1.0);
  ASSERT_TRUE(ResolveParam(Catalog(), {"Wave", "1"}, Linear, &r, &error)) << error;
  EXPECT_DOUBLE_EQ(r.normalized, 0.5);
}

TEST(ParamResolveTest, ANoteValueSetsTheNoteRateANumberTheMilliseconds) {
  ResolvedParam r;
  std::string error;
  ASSERT_TRUE(ResolveParam(Catalog(), {"LFO1 Rate", "1/4"}, Linear, &r, &error)) << error;
  EXPECT_EQ(r.id, 11u);
  EXPECT_DOUBLE_EQ(r.normalized, 2.0 / 3.0);
  ASSERT_TRUE(ResolveParam(Catalog(), {"lfo1 rate", "500"}, Linear, &r, &error)) << error;
  EXPECT_EQ(r.id, 12u);
  EXPECT_NEAR(r.normalized, (500.0 - 60.0) / (64000.0 - 60.0), 1e-12);
  ASSERT_TRUE(ResolveParam(Catalog(), {"11", "3"}, Linear, &r, &error)) << error;
  EXPECT_EQ(r.id, 11u);
  EXPECT_FALSE(ResolveParam(Catalog(), {"LFO1 Rate", "slow"}, Linear, &r, &error));
  EXPECT_NE(error.find("give the index"), std::string::npos) << error;
}

TEST(ParamResolveTest, BadTargetsAndValuesAreNamed) {
  ResolvedParam r;
  std::string error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Pitch", "3"}, Linear, &r, &error));
  EXPECT_NE(error.find("unknown parameter 'Pitch'"), std::string::npos) << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"40", "3"}, Linear, &r, &error));
  EXPECT_NE(error.find("no parameter with index 40"), std::string::npos) << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Base Freq", "30000"}, Linear, &r, &error));
  EXPECT_NE(error.find("out of range (20 to 20000 Hz)"), std::string::npos) << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Base Freq", "loud"}, Linear, &r, &error));
  EXPECT_NE(error.find("not a number"), std::string::npos) << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Wave", "Square"}, Linear, &r, &error));
  EXPECT_NE(error.find("one of: Sine, Triangle, Saw"), std::string::npos) << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Wave", "7"}, Linear, &r, &error));
}

TEST(ParamResolveTest, PresetsByNumberExactNameOrUniquePart) {
  const std::vector<std::string> names = {"---- default ----", "Alpha 10 Hz", "Alpha 12 Hz", "Beta", "Beta waves"};
  int i = -1;
  std::string error;
  ASSERT_TRUE(ResolvePreset(names, "3", &i, &error));
  EXPECT_EQ(i, 3);
  ASSERT_TRUE(ResolvePreset(names, "12 hz", &i, &error));
  EXPECT_EQ(i, 2);
  ASSERT_TRUE(ResolvePreset(names, "BETA", &i, &error));  // exact beats the longer name
  EXPECT_EQ(i, 3);
  EXPECT_FALSE(ResolvePreset(names, "alpha", &i, &error));
  EXPECT_EQ(error, "preset 'alpha' is ambiguous: 1 \"Alpha 10 Hz\", 2 \"Alpha 12 Hz\"");
  EXPECT_FALSE(ResolvePreset(names, "gamma", &i, &error));
  EXPECT_NE(error.find("no preset matches 'gamma'"), std::string::npos);
  EXPECT_FALSE(ResolvePreset(names, "5", &i, &error));
  EXPECT_NE(error.find("no preset number 5 (0 to 4)"), std::string::npos);
}

}  // namespace
}  // namespace selvarin

namespace selvarin {
namespace {

TEST(ParamResolveTest, EnumeratedParametersTakeWholeEntryNumbersOnly) {
  ResolvedParam r;
  std::string error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Wave", "1.5"}, Linear, &r, &error));
  EXPECT_NE(error.find("'1.5' is not an entry of 'Wave' (2) (a whole number from 0 to 2, or one of: Sine"),
            std::string::npos)
      << error;
  EXPECT_FALSE(ResolveParam(Catalog(), {"Wave", "0x1"}, Linear, &r, &error));
  ASSERT_TRUE(ResolveParam(Catalog(), {"Wave", "2.0"}, Linear, &r, &error)) << error;
  EXPECT_DOUBLE_EQ(r.normalized, 1.0);
  ASSERT_TRUE(ResolveParam(Catalog(), {"Base Freq", "432.5"}, Linear, &r, &error)) << error;  // numeric: fine
}

}  // namespace
}  // namespace selvarin
