#include "framework/param_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace selvarin {
namespace {

std::string Format(const IParamEntry& p, double v, bool normalized = false) {
  char out[IParamEntry::kTextSize];
  p.FormatValue(v, normalized, out);
  return out;
}

TEST(ParamEntryDefine, PrecisionFollowsTheStep) {
  IParamEntry p;
  p.DefineDouble("Gain", 5, 0, 10, 0.01, "dB");
  EXPECT_EQ(p.Kind(), kParamDouble);
  EXPECT_EQ(p.Precision(), 2);
  EXPECT_EQ(Format(p, 5), "5.00");

  IParamEntry tenth;
  tenth.DefineDouble("Freq", 200, 20, 20000, 0.1, "Hz");
  EXPECT_EQ(tenth.Precision(), 1);
  IParamEntry fine;
  fine.DefineDouble("Fine", 0, 0, 1, 1e-9);
  EXPECT_EQ(fine.Precision(), 6);
}

TEST(ParamEntryDefine, RangeIsNeverNarrowerThanOneStep) {
  IParamEntry i;
  i.DefineInt("I", 0, 0, 0);
  EXPECT_EQ(i.Kind(), kParamInt);
  EXPECT_EQ(i.Max(), 1.0);

  IParamEntry e;
  e.DefineEnum("Wave", 0, 8);
  EXPECT_EQ(e.Kind(), kParamEnum);
  EXPECT_EQ(e.Min(), 0.0);
  EXPECT_EQ(e.Max(), 7.0);
  EXPECT_EQ(e.Step(), 1.0);
  EXPECT_EQ(e.Precision(), 0);

  IParamEntry one;
  one.DefineEnum("One", 0, 1);
  EXPECT_EQ(one.Max(), 1.0);

  // A second define keeps the kind set first.
  e.DefineDouble("Wave", 0, 0, 3, 0.5);
  EXPECT_EQ(e.Kind(), kParamEnum);
}

TEST(ParamEntryDefine, LongTextsAreCutAtThirtyOneCharacters) {
  const std::string longName(100, 'x');
  IParamEntry p;
  p.DefineDouble(longName.c_str(), 0, 0, 1, 0.1, longName.c_str());
  p.AddDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.Name()), std::string(31, 'x'));
  EXPECT_EQ(std::string(p.Label()), std::string(31, 'x'));
  EXPECT_EQ(std::string(p.DisplayTextFor(0)), std::string(31, 'x'));
}

TEST(ParamEntryNormalized, ShapedConversionsAndClamping) {
  IParamEntry p;
  p.DefineDouble("Shaped", 0, 0, 100, 0.1);
  p.SetCurveExponent(2.0);
  EXPECT_DOUBLE_EQ(p.FromNormalized(0.5), 25.0);
  EXPECT_DOUBLE_EQ(p.ToNormalized(25.0), 0.5);
  EXPECT_DOUBLE_EQ(p.ToNormalized(150.0), 1.0);
  EXPECT_DOUBLE_EQ(p.ToNormalized(-5.0), 0.0);
  p.SetCurveExponent(0.0);
  EXPECT_EQ(p.Shape(), 2.0);
}

TEST(ParamEntryNormalized, IntegerKindsSnapDoublesDoNot) {
  IParamEntry i;
  i.DefineInt("I", 0, 0, 10);
  i.SetFromNormalized(0.46);
  EXPECT_EQ(i.Value(), 5.0);
  i.SetFromNormalized(1.0);
  EXPECT_EQ(i.Value(), 10.0);

  IParamEntry d;
  d.DefineDouble("D", 0, 0, 10, 1.0);
  d.SetFromNormalized(0.46);
  EXPECT_DOUBLE_EQ(d.Value(), 4.6);
}

TEST(ParamEntryNormalized, HostValuesOutsideZeroToOneAreContained) {
  IParamEntry p;
  p.DefineInt("Vol", 90, 0, 100);
  p.SetFromNormalized(-3.0);
  EXPECT_EQ(p.Value(), 0.0);
  p.SetFromNormalized(7.0);
  EXPECT_EQ(p.Value(), 100.0);
  p.SetFromNormalized(0.5);
  p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.Value(), 50.0);
  p.SetFromNormalized(std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.Value(), 100.0);

  p.SetFromReal(1e9);
  EXPECT_EQ(p.Value(), 100.0);
  p.SetFromReal(std::nan(""));
  EXPECT_EQ(p.Value(), 100.0);
}

TEST(ParamEntryDisplay, TextsNumbersAndRounding) {
  IParamEntry w;
  w.DefineEnum("Wave", 0, 8);
  w.AddDisplayText(0, "Sine");
  EXPECT_EQ(Format(w, 0.0), "Sine");
  EXPECT_EQ(Format(w, 0.4), "Sine");
  EXPECT_EQ(Format(w, 0.6), "1");
  EXPECT_EQ(Format(w, 1.0 / 7.0, true), "1");

  IParamEntry n;
  n.DefineInt("Pan", 0, -100, 100);
  EXPECT_EQ(Format(n, -2.5), "-3");
  EXPECT_EQ(Format(n, 2.5), "3");
  EXPECT_EQ(Format(n, 0.0), "0");
  n.SetNegateDisplay(true);
  EXPECT_EQ(Format(n, 40.0), "-40");

  IParamEntry d;
  d.DefineDouble("Beat", 4, 0, 10000, 0.01);
  EXPECT_EQ(Format(d, 0.0), "0");  // zero has no decimals, whatever the precision
  EXPECT_EQ(Format(d, 4.0), "4.00");
  EXPECT_LE(Format(d, 1e300).size(), 31u);  // stays within its field
}

TEST(ParamEntryDisplay, EmptyTextFallsThroughAndFirstMatchWins) {
  IParamEntry p;
  p.DefineEnum("E", 0, 3);
  p.AddDisplayText(1, "");
  p.AddDisplayText(1, "Later");
  p.AddDisplayText(2, "Two");
  p.AddDisplayText(2, "Again");
  EXPECT_EQ(Format(p, 1.0), "1");
  EXPECT_EQ(std::string(p.DisplayTextFor(2)), "Two");
  EXPECT_EQ(std::string(p.DisplayTextFor(9)), "");
  EXPECT_EQ(p.DisplayTextCount(), 4);
}

TEST(ParamEntryDisplay, ParsingIsExactAndCaseSensitive) {
  IParamEntry p;
  p.DefineEnum("Wave", 0, 8);
  p.AddDisplayText(0, "Sine");
  p.AddDisplayText(3, "Square");
  int v = -7;
  EXPECT_FALSE(p.ParseDisplayText("sine", &v));
  EXPECT_EQ(v, -7);
  EXPECT_FALSE(p.ParseDisplayText(nullptr, &v));
  EXPECT_TRUE(p.ParseDisplayText("Square", &v));
  EXPECT_EQ(v, 3);
}

}  // namespace
}  // namespace selvarin
