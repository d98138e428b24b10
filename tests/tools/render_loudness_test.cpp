// Loudness as a publisher checks it: the written file measured by an
// independent meter (libebur128 on the samples read back), the true-peak
// ceiling, the waveform unchanged in shape, and the dry run that measures.
#include <ebur128.h>

#include <cmath>
#include <fstream>

#include "tests/tools/cli_support.h"

namespace selvarin {
namespace {

using test::Audio;
using test::CliResult;
using test::LoadAudio;
using test::PathExists;
using test::RunRender;

struct Measured {
  double integrated = 0.0, range = 0.0, truePeakDb = 0.0, samplePeakDb = 0.0;
};

// libebur128 on the file as a player reads it.
Measured MeasureFile(const std::string& path) {
  Audio a;
  EXPECT_TRUE(LoadAudio(path, &a)) << path;
  ebur128_state* st = ebur128_init(2, static_cast<unsigned>(a.info.samplerate),
                                   EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK);
  std::vector<double> frames;
  for (size_t i = 0; i < a.left.size(); ++i) {
    frames.push_back(a.left[i]);
    frames.push_back(a.right[i]);
  }
  ebur128_add_frames_double(st, frames.data(), a.left.size());
  Measured m;
  double tp[2] = {}, sp[2] = {};
  ebur128_loudness_global(st, &m.integrated);
  ebur128_loudness_range(st, &m.range);
  for (unsigned c = 0; c < 2; ++c) {
    ebur128_true_peak(st, c, &tp[c]);
    ebur128_sample_peak(st, c, &sp[c]);
  }
  m.truePeakDb = 20.0 * std::log10(std::fmax(tp[0], tp[1]));
  m.samplePeakDb = 20.0 * std::log10(std::fmax(sp[0], sp[1]));
  ebur128_destroy(&st);
  return m;
}

// A number of the JSON report ("key":value); NaN when absent or null.
double JsonValue(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\":");
  if (at == std::string::npos) return NAN;
  const char* p = json.c_str() + at + key.size() + 3;
  char* end = nullptr;
  const double v = std::strtod(p, &end);
  return end == p ? NAN : v;
}

class RenderLoudnessTest : public test::TempDirTest {};

TEST_F(RenderLoudnessTest, FilesMeetTheLoudnessAskedForAndReportWhatTheyHold) {
  // A ramping session gives the loudness range something to measure.
  const std::string session = Path("swell.txt");
  std::ofstream(session) << "0:00 Fade = 1\n0:00-8 Volume -> 60\nlength 10\n";
  const char* sounds[] = {"-d 6", "-P \"Sound sleep\" -d 6", "-P \"Square waves\" -d 6", "--session swell.txt"};
  for (const char* sound : sounds) {
    for (double target : {-16.0, -23.0}) {
      const std::string out = Path("out.wav");
      const CliResult r = RunRender("-b 32 --report json --no-progress " + std::string(sound) + " --loudness " +
                                    std::to_string(target) + " -o " + out, "cd '" + dir_ + "' && ");
      ASSERT_EQ(r.code, 0) << sound << ": " << r.output;
      const Measured m = MeasureFile(out);
      EXPECT_NEAR(m.integrated, target, 0.1) << sound;
      // The report describes the file as the independent meter sees it.
      EXPECT_NEAR(JsonValue(r.output, "integrated_lufs"), m.integrated, 0.02) << sound;
      EXPECT_NEAR(JsonValue(r.output, "loudness_range_lu"), m.range, 0.1) << sound;
      EXPECT_NEAR(JsonValue(r.output, "sample_peak_dbfs"), m.samplePeakDb, 0.01) << sound;
      EXPECT_NEAR(JsonValue(r.output, "true_peak_dbtp"), m.truePeakDb, 0.1) << sound;
      EXPECT_NEAR(JsonValue(r.output, "target_missed_lu"), 0.0, 1e-9) << r.output;
    }
  }
  // The session's volume ramp spans 9.6 dB: the range shows it.
  EXPECT_GT(MeasureFile(Path("out.wav")).range, 5.0);
}

TEST_F(RenderLoudnessTest, TheTruePeakCeilingHoldsAndTheShortfallIsSaid) {
  // A monaural square at full volume: at -1 LUFS its peaks would pass
  // full scale.
  const std::string loud = "-P \"Square waves\" -p Beats=Monaural -p Volume=100 -d 4 -b 24 --no-progress";
  CliResult r = RunRender(loud + " --loudness -1 --report json -o " + Path("capped.wav"));
  ASSERT_EQ(r.code, 0) << r.output;
  Measured m = MeasureFile(Path("capped.wav"));
  EXPECT_LE(m.truePeakDb, -1.0 + 0.05);
  EXPECT_GT(m.truePeakDb, -1.0 - 0.1);
  EXPECT_LT(m.integrated, -2.0);
  EXPECT_NEAR(JsonValue(r.output, "target_missed_lu"), -1.0 - m.integrated, 0.05) << r.output;
  EXPECT_NE(r.output.find("true-peak ceiling of -1.0 dBTP holds the loudness at"), std::string::npos) << r.output;
  // An explicit ceiling without a loudness target only lowers the level.
  r = RunRender(loud + " --true-peak -6 --report json -o " + Path("lowered.wav"));
  ASSERT_EQ(r.code, 0) << r.output;
  m = MeasureFile(Path("lowered.wav"));
  EXPECT_NEAR(m.truePeakDb, -6.0, 0.1);
  EXPECT_LT(JsonValue(r.output, "gain_db"), 0.0);
  // A quiet render under the ceiling is left as it is.
  r = RunRender("-d 2 -b 32 --true-peak -1 --report json -o " + Path("quiet.wav"));
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(JsonValue(r.output, "gain_db"), 0.0) << r.output;
}

TEST_F(RenderLoudnessTest, TheWrittenFileIsTheUnscaledRenderTimesOneConstant) {
  // Presets changing mid-session, fades and a ramp: one gain for all of it.
  const std::string session = Path("mix.txt");
  std::ofstream(session) << "0:00-2 Binaural -> 12\n2 preset \"Square waves\"\n3.5 preset 0\nlength 5\n";
  const std::string common = "--session " + session + " --fade-in 0.5 --fade-out 1 -b 32 --no-progress -o ";
  ASSERT_EQ(RunRender(common + Path("plain.wav")).code, 0);
  const CliResult r = RunRender("--loudness -23 --report json " + common + Path("scaled.wav"));
  ASSERT_EQ(r.code, 0) << r.output;
  Audio plain, scaled;
  ASSERT_TRUE(LoadAudio(Path("plain.wav"), &plain));
  ASSERT_TRUE(LoadAudio(Path("scaled.wav"), &scaled));
  ASSERT_EQ(plain.left.size(), scaled.left.size());
  // The constant, from the loudest sample.
  size_t loudest = 0;
  for (size_t i = 0; i < plain.left.size(); ++i)
    if (std::fabs(plain.left[i]) > std::fabs(plain.left[loudest])) loudest = i;
  const double gain = scaled.left[loudest] / plain.left[loudest];
  EXPECT_NEAR(20.0 * std::log10(gain), JsonValue(r.output, "gain_db"), 1e-4);
  size_t compared = 0;
  for (const auto& ch : {std::make_pair(&plain.left, &scaled.left), std::make_pair(&plain.right, &scaled.right)}) {
    for (size_t i = 0; i < ch.first->size(); ++i) {
      const double x = (*ch.first)[i], y = (*ch.second)[i];
      // Every sample: the same one times the gain, rounded to float once.
      ASSERT_NEAR(y, x * gain, 2e-7 * std::fabs(x * gain) + 1e-30) << "sample " << i;
      compared += std::fabs(x) > 1e-3;
    }
  }
  EXPECT_GT(compared, plain.left.size());
  EXPECT_NEAR(MeasureFile(Path("scaled.wav")).integrated, -23.0, 0.1);
}

TEST_F(RenderLoudnessTest, ADryRunMeasuresWithoutWritingAndSilenceCannotBeRaised) {
  const std::string out = Path("never.wav");
  CliResult r = RunRender("-P \"Sound sleep\" -d 5 --dry-run --report json --loudness -20 -o " + out);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_FALSE(PathExists(out));
  EXPECT_NE(r.output.find("\"written\":false"), std::string::npos) << r.output;
  // What it says it would write is what the render writes.
  const double expected = JsonValue(r.output, "true_peak_dbtp");
  r = RunRender("-P \"Sound sleep\" -d 5 -b 32 --report json --loudness -20 -o " + out);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NEAR(JsonValue(r.output, "true_peak_dbtp"), expected, 0.01);
  EXPECT_NEAR(JsonValue(r.output, "integrated_lufs"), -20.0, 0.01);
  // A silent render (transport stopped) has no loudness to raise.
  r = RunRender("-d 2 --stopped --loudness -16 -o " + Path("silent.wav"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.output.find("silent"), std::string::npos) << r.output;
  EXPECT_FALSE(PathExists(Path("silent.wav")));
}

}  // namespace
}  // namespace selvarin
