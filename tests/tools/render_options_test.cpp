// Command-line parsing: what is accepted, and the one-line reasons for what
// is not.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "tools/render/render_options.h"

namespace selvarin {
namespace {

struct Parsed {
  ParseResult result;
  RenderOptions options;
  std::string error;
};

Parsed Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv = {"selvarin-render"};
  argv.insert(argv.end(), args.begin(), args.end());
  Parsed p;
  p.result = ParseRenderOptions(static_cast<int>(argv.size()), argv.data(), &p.options, &p.error);
  return p;
}

// Each command line is refused with a one-line reason holding the text.
void ExpectRefused(const std::vector<std::pair<std::vector<const char*>, const char*>>& cases) {
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"selvarin-render"};
    argv.insert(argv.end(), c.first.begin(), c.first.end());
    RenderOptions o;
    std::string error;
    EXPECT_EQ(ParseRenderOptions(static_cast<int>(argv.size()), argv.data(), &o, &error), ParseResult::kError)
        << c.second;
    EXPECT_NE(error.find(c.second), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(RenderOptionsTest, DefaultsAndAFullCommandLine) {
  Parsed p = Parse({"-o", "out.wav"});
  ASSERT_EQ(p.result, ParseResult::kRun) << p.error;
  EXPECT_EQ(p.options.output, "out.wav");
  EXPECT_EQ(p.options.seconds, 10.0);
  EXPECT_EQ(p.options.sampleRate, 48000.0);
  EXPECT_EQ(p.options.fileType, FileType::kWav);
  EXPECT_EQ(p.options.format, SampleFormat::kPcm24);
  EXPECT_TRUE(p.options.playing);
  EXPECT_EQ(p.options.precision, 32);

  p = Parse({"--output=x.FLAC", "-d", "1:30", "-r", "96000", "-b", "16", "-P", "alpha", "-p", "Base Freq=300",
             "--param", "LFO1 Rate=1/4", "--block", "64", "--tempo", "90.5", "--stopped", "--precision", "64",
             "--plugin", "/p/Selvarin.vst3", "--no-progress"});
  ASSERT_EQ(p.result, ParseResult::kRun) << p.error;
  EXPECT_EQ(p.options.fileType, FileType::kFlac);
  EXPECT_EQ(p.options.seconds, 90.0);
  EXPECT_EQ(p.options.sampleRate, 96000.0);
  EXPECT_EQ(p.options.format, SampleFormat::kPcm16);
  EXPECT_EQ(p.options.preset, "alpha");
  ASSERT_EQ(p.options.params.size(), 2u);
  EXPECT_EQ(p.options.params[0].target, "Base Freq");
  EXPECT_EQ(p.options.params[0].value, "300");
  EXPECT_EQ(p.options.params[1].value, "1/4");
  EXPECT_EQ(p.options.blockSize, 64);
  EXPECT_EQ(p.options.tempo, 90.5);
  EXPECT_FALSE(p.options.playing);
  EXPECT_EQ(p.options.precision, 64);
  EXPECT_EQ(p.options.pluginPath, "/p/Selvarin.vst3");
  EXPECT_FALSE(p.options.progress);

  EXPECT_EQ(Parse({"--help"}).result, ParseResult::kHelp);
  EXPECT_EQ(Parse({"--list-presets"}).result, ParseResult::kRun);  // no output needed to list
  EXPECT_EQ(Parse({"-o", "a.flac", "--format", "wav", "-b", "32"}).result, ParseResult::kRun);
}

TEST(RenderOptionsTest, DurationsInSecondsMinutesAndHours) {
  double s = 0.0;
  EXPECT_TRUE(ParseDuration("2.5", &s));
  EXPECT_EQ(s, 2.5);
  EXPECT_TRUE(ParseDuration("1:00:00", &s));
  EXPECT_EQ(s, 3600.0);
  EXPECT_TRUE(ParseDuration("0:07.5", &s));
  EXPECT_EQ(s, 7.5);
  for (const char* bad : {"", "abc", "-3", "1:75", "1::2", "1:2:3:4", "nan", "inf", "1.5:00", " 3", "3s"})
    EXPECT_FALSE(ParseDuration(bad, &s)) << bad;
}

TEST(RenderOptionsTest, EachBadOptionGetsOneLineNamingTheProblem) {
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{}, "no output file"},
      {{"-o"}, "needs a file name"},
      {{"-o", "x.wav", "--bogus"}, "unknown option '--bogus'"},
      {{"-o", "x.wav", "stray"}, "unexpected argument 'stray'"},
      {{"-o", "x.wav", "-d", "0"}, "bad duration '0'"},
      {{"-o", "x.wav", "-d", "25:00:00"}, "bad duration"},
      {{"-o", "x.wav", "-r", "999"}, "bad sample rate '999'"},
      {{"-o", "x.wav", "-r", "1200001"}, "bad sample rate"},
      {{"-o", "x.wav", "-r", "44100.5"}, "bad sample rate"},
      {{"-o", "x.wav", "-b", "8"}, "bad sample format '8'"},
      {{"-o", "x.wav", "--format", "aiff"}, "bad file type 'aiff'"},
      {{"-o", "x.flac", "-b", "32"}, "FLAC holds no 32-bit float"},
      {{"-o", "x.flac", "-r", "700000"}, "FLAC holds sample rates up to"},
      {{"-o", "x.wav", "-p", "Volume"}, "bad parameter setting 'Volume'"},
      {{"-o", "x.wav", "-p", "=3"}, "bad parameter setting"},
      {{"-o", "x.wav", "--block", "0"}, "bad block size '0'"},
      {{"-o", "x.wav", "--block", "65537"}, "bad block size"},
      {{"-o", "x.wav", "--tempo", "0"}, "bad tempo '0'"},
      {{"-o", "x.wav", "--precision", "16"}, "bad precision '16'"},
      {{"-o", "x.wav", "--stopped=yes"}, "takes no value"},
      {{"-o", ""}, "output file name is empty"},
      {{"-o", "x.wav", "-P", ""}, "preset name is empty"},
  };
  ExpectRefused(cases);
}

}  // namespace
}  // namespace selvarin

namespace selvarin {
namespace {

TEST(RenderOptionsTest, HexadecimalNumbersAndDurationsUnderOneFrameAreRefused) {
  double v = 0.0;
  for (const char* hex : {"0x10", "0X1p3", "-0x2", "1x"}) EXPECT_FALSE(ParseNumber(hex, &v)) << hex;
  EXPECT_TRUE(ParseNumber("1e3", &v));
  EXPECT_EQ(v, 1000.0);
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"-o", "x.wav", "-d", "0x10"}, "bad duration '0x10'"},
      {{"-o", "x.wav", "-r", "0xBB80"}, "bad sample rate '0xBB80'"},
      {{"-o", "x.wav", "--tempo", "0x78"}, "bad tempo"},
      {{"-o", "x.wav", "-d", "0.00001"}, "shorter than one frame at 48000 Hz"},
      {{"-o", "x.wav", "-d", "0.0004", "-r", "1000"}, "shorter than one frame at 1000 Hz"},
  };
  ExpectRefused(cases);
  EXPECT_EQ(Parse({"-o", "x.wav", "-d", "0.001", "-r", "1000"}).result, ParseResult::kRun);  // exactly one frame
}

}  // namespace
}  // namespace selvarin

namespace selvarin {
namespace {

TEST(RenderOptionsTest, LoudnessReportAndPlotOptions) {
  Parsed p = Parse({"-o", "x.wav", "--loudness", "-23", "--report", "json", "--plot", "p.png", "--plot-size", "800x450"});
  ASSERT_EQ(p.result, ParseResult::kRun) << p.error;
  EXPECT_TRUE(p.options.loudnessGiven);
  EXPECT_EQ(p.options.loudness, -23.0);
  EXPECT_TRUE(p.options.truePeakGiven);  // a loudness target keeps under -1 dBTP
  EXPECT_EQ(p.options.truePeak, -1.0);
  EXPECT_EQ(p.options.report, ReportFormat::kJson);
  EXPECT_EQ(p.options.plotWidth, 800);
  EXPECT_EQ(p.options.plotHeight, 450);
  // --report takes json or text only when one follows; a dry run that
  // reports measures.
  p = Parse({"--dry-run", "--report", "-o", "x.wav"});
  ASSERT_EQ(p.result, ParseResult::kRun) << p.error;
  EXPECT_EQ(p.options.report, ReportFormat::kText);
  EXPECT_EQ(p.options.output, "x.wav");
  EXPECT_TRUE(NeedsMeasuringPass(p.options));
  EXPECT_FALSE(NeedsMeasuringPass(Parse({"--dry-run", "--plot", "p.png"}).options));
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"-o", "x.wav", "--loudness", "3"}, "bad loudness '3'"},
      {{"-o", "x.wav", "--loudness", "-71"}, "bad loudness"},
      {{"-o", "x.wav", "--true-peak", "loud"}, "bad true-peak ceiling 'loud'"},
      {{"-o", "x.wav", "--report=xml"}, "bad report format 'xml'"},
      {{"-o", "-", "--report", "json"}, "--report json prints to standard output"},
      {{"-o", "x.wav", "--plot", "-"}, "the plot goes to a file"},
      {{"-o", "x.wav", "--plot", "p.png", "--plot-size", "100x100"}, "bad plot size '100x100'"},
      {{"-o", "x.wav", "--plot-size", "800x600"}, "--plot-size applies to --plot"},
  };
  ExpectRefused(cases);
}

}  // namespace
}  // namespace selvarin
