// The scale a desktop asks for through Xft.dpi: rounded to a quarter,
// limited to 1..4, and 1 for anything that names no usable dpi.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/x11/x11_resources.h"

namespace selvarin {
namespace {

double Scale(const char* text) { return ScaleFromXResources(text, std::strlen(text)); }

TEST(XResources, XftDpiGivesTheScaleInQuarters) {
  EXPECT_EQ(Scale("Xft.dpi:\t192\n"), 2.0);
  EXPECT_EQ(Scale("Xft.antialias:\t1\nXft.dpi: 144\nXft.hinting:\t1\n"), 1.5);
  EXPECT_EQ(Scale("Xft.dpi:\t120"), 1.25);  // no final newline
  EXPECT_EQ(Scale("Xft.dpi:\t168\r\n"), 1.75);
  EXPECT_EQ(Scale("Xft.dpi:\t100\n"), 1.0);  // 1.04 rounds to 1
  EXPECT_EQ(Scale("Xft.dpi:\t110\n"), 1.25);  // 1.15 rounds to 1.25
  EXPECT_EQ(Scale("Xft.dpi:\t72\n"), 1.0);   // never below 1
  EXPECT_EQ(Scale("Xft.dpi:\t1000\n"), 4.0);  // nor above 4
  EXPECT_EQ(Scale("Xft.dpi:\t96\nXft.dpi:\t192\n"), 2.0) << "the last one counts";
  // Nothing usable: 1.
  for (const char* bad : {"", "Xcursor.size:\t48\n", "Xft.dpi:\t0\n", "Xft.dpi:\t-192\n", "Xft.dpi:\tbig\n",
                          "Xft.dpi:\t192px\n", "Xft.dpiX:\t192\n", "Xft.dpi:\tnan\n", "Xft.dpi:\tinf\n"})
    EXPECT_EQ(Scale(bad), 1.0) << bad;
  EXPECT_EQ(ScaleFromXResources(nullptr, 10), 1.0);
  const char embedded[] = "Xft.dpi:\t192\0garbage";
  EXPECT_EQ(ScaleFromXResources(embedded, sizeof embedded - 1), 2.0);
}

}  // namespace
}  // namespace selvarin
