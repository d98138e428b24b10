#include "framework/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace selvarin {
namespace {

TEST(DecimalNumber, ReadsOnlyDecimalNumbersAndSaysHowMuchItTook) {
  struct Case {
    const char* text;
    size_t taken;  // 0: no number
    double value;
  } cases[] = {
      {"432", 3, 432.0},        {"+2.5", 4, 2.5},       {"-0.25Hz", 5, -0.25},   {".5", 2, 0.5},
      {"5.", 2, 5.0},           {"2.5e2 Hz", 5, 250.0}, {"1E-3", 4, 0.001},      {"2e", 1, 2.0},
      {"2e+", 1, 2.0},          {"3e-x", 1, 3.0},       {"0x20", 1, 0.0},        {"1,5", 1, 1.0},
      {"nan", 0, 0.0},          {"inf", 0, 0.0},        {"-", 0, 0.0},           {".", 0, 0.0},
      {"", 0, 0.0},             {" 1", 0, 0.0},         {"e5", 0, 0.0},          {"--1", 0, 0.0},
      {"1e999", 5, HUGE_VAL},   {"-1e999", 6, -HUGE_VAL}, {"1e-999", 6, 0.0},   {"0e999", 5, 0.0},
  };
  for (const Case& c : cases) {
    double v = -7.0;
    EXPECT_EQ(ReadDecimal(c.text, std::strlen(c.text), &v), c.taken) << c.text;
    EXPECT_EQ(v, c.taken ? c.value : -7.0) << c.text << ": untouched when there is no number";
  }
  // Only the given length counts: no NUL needed, nothing read past it.
  double v = 0.0;
  EXPECT_EQ(ReadDecimal("1234", 2, &v), 2u);
  EXPECT_EQ(v, 12.0);
  EXPECT_EQ(ReadDecimal("1e5", 2, &v), 1u);
  EXPECT_EQ(v, 1.0);
}

TEST(DecimalNumber, LeadingAndWholeTextReadings) {
  // Typed values and host texts: the number after blanks, else 0.
  EXPECT_EQ(LeadingDecimal(" \t2.5e2Hz"), 250.0);
  EXPECT_EQ(LeadingDecimal("Hz 5"), 0.0);
  EXPECT_EQ(LeadingDecimal(nullptr), 0.0);
  EXPECT_EQ(LeadingDecimal("1e999"), HUGE_VAL) << "the parameter's range clamps it";

  // Options and resources: the whole text, finite, nothing around it.
  double v = 0.0;
  for (const char* bad : {"", " 1", "1 ", "1e999", "0x10", "2e", "1,5", "nan", "-inf"})
    EXPECT_FALSE(ParseDecimal(bad, std::strlen(bad), &v)) << bad;
  const std::string withNul("1\0" "5", 3);
  EXPECT_FALSE(ParseDecimal(withNul.data(), withNul.size(), &v)) << "a NUL inside is not the end";
  EXPECT_TRUE(ParseDecimal("-12.5e-1", 8, &v));
  EXPECT_EQ(v, -1.25);
  EXPECT_TRUE(ParseDecimal("1e-999", 6, &v));
  EXPECT_EQ(v, 0.0);
}

}  // namespace
}  // namespace selvarin
