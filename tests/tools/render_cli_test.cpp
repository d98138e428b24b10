// selvarin-render as a user runs it: files of the right shape and sound,
// listings, and errors that leave no file behind.
#include <string>
#include <vector>

#include "tests/tools/cli_support.h"
#include "tests/vst3/signal_measure.h"
#include "tools/platform/file_system.h"
#include "tools/platform/run_command.h"

namespace selvarin {
namespace {

using test::Audio;
using test::CliResult;

CliResult Render(const std::string& args) { return test::RunRender(args); }
bool Exists(const std::string& path) { return test::PathExists(path); }
bool Load(const std::string& path, Audio* a) { return test::LoadAudio(path, a); }

class RenderCliTest : public test::TempDirTest {};

TEST_F(RenderCliTest, DefaultRenderIs200HzLeftAnd204HzRight) {
  const std::string out = Path("default.wav");
  const CliResult r = Render("-o " + out + " -d 4 --no-progress");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("Wrote " + out), std::string::npos);
  Audio a;
  ASSERT_TRUE(Load(out, &a));
  EXPECT_EQ(a.info.frames, 192000);
  EXPECT_EQ(a.info.samplerate, 48000);
  EXPECT_EQ(a.info.channels, 2);
  EXPECT_EQ(a.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  EXPECT_NEAR(test::ZeroCrossingHz(a.left, {144000, 192000}, 48000.0), 200.0, 0.05);
  EXPECT_NEAR(test::ZeroCrossingHz(a.right, {144000, 192000}, 48000.0), 204.0, 0.05);
  EXPECT_GT(test::Peak(a.left, 144000), 0.2);
  EXPECT_FALSE(Exists(out + ".part"));
}

TEST_F(RenderCliTest, FormatsRatesAndPrecisionsGiveTheRequestedFile) {
  struct Case {
    const char* name;
    const char* args;
    int format;
    int rate;
    sf_count_t frames;
  };
  const Case cases[] = {
      {"a.flac", "-d 0.5 -r 44100 -b 16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 22050},
      {"b.flac", "-d 0.25 -r 96000 -b 24 --precision 64", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 24000},
      {"c.wav", "-d 0:01 -r 22050 -b 32 --block 100", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 22050},
      {"d.wav", "-d 0.1 -r 8000 -b 16 --precision 64 --block 1", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 800},
  };
  for (const Case& c : cases) {
    const std::string out = Path(c.name);
    const CliResult r = Render("-o " + out + " " + c.args);
    ASSERT_EQ(r.code, 0) << c.name << ": " << r.output;
    Audio a;
    ASSERT_TRUE(Load(out, &a)) << c.name;
    EXPECT_EQ(a.info.format, c.format) << c.name;
    EXPECT_EQ(a.info.samplerate, c.rate) << c.name;
    EXPECT_EQ(a.info.frames, c.frames) << c.name;
    EXPECT_EQ(a.info.channels, 2) << c.name;
    EXPECT_TRUE(test::AllFinite(a.left)) << c.name;
  }
}

TEST_F(RenderCliTest, PresetsAndParametersChangeWhatIsHeard) {
  std::string out = Path("preset.wav");
  CliResult r = Render("-o " + out + " -d 4 -P 'higher freq'");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(Load(out, &a));
  EXPECT_NEAR(test::ZeroCrossingHz(a.left, {144000, 192000}, 48000.0), 400.0, 0.1);

  out = Path("params.wav");
  r = Render("-o " + out + " -d 4 -P 1 -p 'base freq=300' -p Binaural=10 -p Beats=Binaural -p 'LFO1 Rate=1/4' "
             "-p 'LFO1 Rate=500'");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio b;
  ASSERT_TRUE(Load(out, &b));
  EXPECT_NEAR(test::ZeroCrossingHz(b.left, {144000, 192000}, 48000.0), 300.0, 0.1);
  EXPECT_NEAR(test::ZeroCrossingHz(b.right, {144000, 192000}, 48000.0), 310.0, 0.1);
}

TEST_F(RenderCliTest, StoppedTransportIsSilentWithoutPlayAnyway) {
  const std::string out = Path("stopped.wav");
  CliResult r = Render("-o " + out + " -d 1 --stopped");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio a;
  ASSERT_TRUE(Load(out, &a));
  EXPECT_EQ(test::Peak(a.left), 0.0);
  r = Render("-o " + out + " -d 1 --stopped -p 'Play Anyway=Yes'");
  ASSERT_EQ(r.code, 0) << r.output;
  Audio b;
  ASSERT_TRUE(Load(out, &b));
  EXPECT_GT(test::Peak(b.left), 0.1);
}

TEST_F(RenderCliTest, ListingsShowPresetsAndParameters) {
  CliResult r = Render("--list-presets");
  ASSERT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("  0  ---- default ----"), std::string::npos);
  EXPECT_NE(r.output.find("  1  Higher frequencies"), std::string::npos);
  EXPECT_NE(r.output.find("149  - 150 -"), std::string::npos);
  r = Render("--list-params");
  ASSERT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("Base Freq"), std::string::npos);
  EXPECT_NE(r.output.find("20 to 20000 Hz"), std::string::npos);
  EXPECT_NE(r.output.find("Sine, Triangle, Saw"), std::string::npos);
  EXPECT_NE(r.output.find("60 to 64000 ms"), std::string::npos);
}

TEST_F(RenderCliTest, ErrorsAreOneLineExitNonZeroAndWriteNothing) {
  const std::string out = Path("never.wav");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"-o " + out + " -d abc", "bad duration"},
      {"-o " + out + " -P nosuchpreset", "no preset matches 'nosuchpreset'"},
      {"-o " + out + " -P Binaural", "is ambiguous: "},
      {"-o " + out + " -P 150", "no preset number 150"},
      {"-o " + out + " -p Pitch=3", "unknown parameter 'Pitch'"},
      {"-o " + out + " -p 'Base Freq=5'", "out of range"},
      {"-o " + out + " -p Wave=Noise", "is not a value of 'Wave'"},
      {"-o " + out + " --frobnicate", "unknown option"},
      {"-o " + dir_ + "/missing/dir/x.wav -d 0.1", "cannot create"},
  };
  for (const auto& c : cases) {
    const CliResult r = Render(c.first);
    EXPECT_NE(r.code, 0) << c.first;
    EXPECT_NE(r.output.find(c.second), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\n'), r.output.size() - 1) << r.output;  // one line
    EXPECT_FALSE(Exists(out)) << c.first;
    EXPECT_FALSE(Exists(out + ".part")) << c.first;
  }
  const CliResult r = Render("-o " + out + " --plugin /nonexistent/Selvarin.vst3");
  EXPECT_NE(r.code, 0);
  EXPECT_FALSE(Exists(out));
}

TEST_F(RenderCliTest, HelpDescribesTheOptions) {
  const CliResult r = Render("--help");
  EXPECT_EQ(r.code, 0);
  for (const char* s : {"--output", "--duration", "--preset", "--param", "--list-presets", "--list-params",
                        "--precision", "--stopped", "--tempo", "--block", "--bits"})
    EXPECT_NE(r.output.find(s), std::string::npos) << s;
}

}  // namespace
}  // namespace selvarin
