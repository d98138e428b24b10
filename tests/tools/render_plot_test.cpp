// The session plot as a reader sees it: its size, a lane for each
// parameter the session moves and none for the others, ramps that run from
// their start value to their end value between their times (straight or
// curved as they sound), a step where it happens, the beat's bands, and no
// audio written by a dry run.
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "raster/raster_png.h"
#include "tests/tools/cli_support.h"
#include "tools/render/plot_draw.h"

namespace selvarin {
namespace {

using test::CliResult;
using test::PathExists;
using test::RunRender;

class RenderPlotTest : public test::TempDirTest {};

std::unique_ptr<RasterBitmap> LoadPng(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::unique_ptr<RasterBitmap>(RasterLoadPngFromMemory(bytes.data(), bytes.size()));
}

RasterPixel At(RasterBitmap* b, int x, int y) { return b->Bits()[static_cast<long>(y) * b->RowSpan() + x]; }

bool IsValueLine(RasterPixel p) {
  const int d = std::abs(RasterRed(p) - RasterRed(kPlotValueColour)) +
                std::abs(RasterGreen(p) - RasterGreen(kPlotValueColour)) +
                std::abs(RasterBlue(p) - RasterBlue(kPlotValueColour));
  return d < 40;
}

// The value lines crossing a column, top to bottom: the middle row of each
// run of line pixels.
std::vector<double> LinesAt(RasterBitmap* b, int x) {
  std::vector<double> rows;
  for (int y = 0; y < b->Height();) {
    if (!IsValueLine(At(b, x, y))) {
      ++y;
      continue;
    }
    const int top = y;
    while (y < b->Height() && IsValueLine(At(b, x, y))) ++y;
    rows.push_back((top + y - 1) / 2.0);
  }
  return rows;
}

TEST_F(RenderPlotTest, LanesFollowTheSessionAndRampsAreDrawnAsTheySound) {
  const std::string session = Path("plot.txt");
  std::ofstream(session) << "0:00 Fade = 1\n"            // set, never moved: no lane
                            "0:00 Base Freq = 100\n"
                            "0:00 Binaural = 10\n"
                            "0:10-0:50 Base Freq ->~ 400\n"
                            "0:10-0:50 Binaural -> 2\n"
                            "0:30 Wave = Saw\n"
                            "length 1:00\n";
  const std::string audio = Path("never.wav");
  const CliResult r = RunRender("--session " + session + " --dry-run --plot " + Path("plot.png") + " -o " + audio);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("lanes: Base Freq, Binaural, Wave\n"), std::string::npos) << r.output;
  EXPECT_FALSE(PathExists(audio));
  std::unique_ptr<RasterBitmap> png = LoadPng(Path("plot.png"));
  ASSERT_TRUE(png);
  ASSERT_EQ(png->Width(), 1200);
  ASSERT_EQ(png->Height(), 600);

  // The time axis: the lines run from 0:00 at the first column they cover
  // to 1:00 at the last.
  int first = -1, last = -1;
  for (int x = 0; x < png->Width(); ++x) {
    if (LinesAt(png.get(), x).size() != 3) continue;
    if (first < 0) first = x;
    last = x;
  }
  ASSERT_GT(last - first, 800);
  auto column = [&](double t) { return static_cast<int>(std::lround(first + t / 60.0 * (last - first))); };
  // Three lanes, top to bottom: Base Freq, Binaural, Wave.
  auto line = [&](size_t lane, double t) {
    const std::vector<double> rows = LinesAt(png.get(), column(t));
    EXPECT_EQ(rows.size(), 3u) << "at " << t << " s";
    return rows.size() == 3 ? rows[lane] : NAN;
  };
  // Binaural: 10 Hz held, a straight line down to 2 Hz from 0:10 to 0:50,
  // then held.
  const double at10 = line(1, 5.0), at2 = line(1, 55.0);
  EXPECT_GT(at2 - at10, 20.0);
  EXPECT_NEAR(line(1, 9.5), at10, 1.0);
  EXPECT_NEAR(line(1, 50.5), at2, 1.0);
  for (double t : {15.0, 20.0, 30.0, 40.0, 45.0})
    EXPECT_NEAR(line(1, t), at10 + (t - 10.0) / 40.0 * (at2 - at10), 1.5) << t;
  // Base Freq: 100 Hz to 400 Hz with equal ratios per second, so 200 Hz at
  // the middle: a third of the way up, not half.
  const double at100 = line(0, 5.0), at400 = line(0, 55.0);
  EXPECT_GT(at100 - at400, 20.0);
  EXPECT_NEAR(line(0, 30.0), at100 + (at400 - at100) / 3.0, 1.5);
  EXPECT_NEAR(line(0, 40.0), at100 + (at400 - at100) * (std::pow(2.0, 1.5) - 1.0) / 3.0, 1.5);
  // Wave: one step, at 0:30.
  EXPECT_NE(line(2, 29.0), line(2, 31.0));
  EXPECT_EQ(line(2, 1.0), line(2, 29.0));
  bool stepped = false;
  for (int x = column(30.0) - 1; x <= column(30.0) + 1; ++x) {
    const std::vector<double> rows = LinesAt(png.get(), x);
    stepped = stepped || (rows.size() == 3 && std::fabs(rows[2] - line(2, 29.0)) > 2.0 &&
                          std::fabs(rows[2] - line(2, 31.0)) > 2.0);
  }
  EXPECT_TRUE(stepped);
  // The beat's bands behind its lane: theta (6 Hz) and alpha (9 Hz) rows
  // differ from each other and from a lane without bands.
  const int x = column(58.0);
  const double perHz = (at2 - at10) / -8.0;  // rows per Hz (negative: up)
  const RasterPixel theta = At(png.get(), x, static_cast<int>(std::lround(at10 + (6.0 - 10.0) * perHz)));
  const RasterPixel alpha = At(png.get(), x, static_cast<int>(std::lround(at10 + (9.0 - 10.0) * perHz)));
  const RasterPixel plain = At(png.get(), x, static_cast<int>(std::lround((at100 + at400) / 2.0)));
  EXPECT_NE(theta, alpha);
  EXPECT_NE(theta, plain);
  EXPECT_NE(alpha, plain);
}

TEST_F(RenderPlotTest, ThePlotTakesTheSizeAskedForAndRefusesNoPlace) {
  const std::string out = Path("small.png");
  CliResult r = RunRender("--dry-run --plot " + out + " --plot-size 800x400 -p Fade=1");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("lanes: none"), std::string::npos) << r.output;
  std::unique_ptr<RasterBitmap> png = LoadPng(out);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->Width(), 800);
  EXPECT_EQ(png->Height(), 400);
  // Written through the renderer's checked output: a missing folder fails.
  r = RunRender("--dry-run --plot " + Path("missing/plot.png"));
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(PathExists(Path("missing")));
}

}  // namespace
}  // namespace selvarin
